#pragma once

#include "platform/db/database.h"
#include "platform/prompt.h"

#include <memory>

namespace tawela::admin {

// The shop's own details every new contract copies, kept alike in the
// config_setting row of the main and of the customer database.
struct CompanyDetails {
    QString name, owner, address1, address2, tel, fax, taxNo;
    bool operator==(const CompanyDetails&) const = default;
};

// "ชื่อ - ที่อยู่บริษัท"
class CompanyForm {
public:
    CompanyForm(std::shared_ptr<platform::db::Database> main,
                std::shared_ptr<platform::db::Database> customer, platform::Prompt& prompt);

    CompanyDetails details;
    // Reads the main database's row; false (said) when it cannot be read.
    bool open();
    // "จัดเก็บ": every field that is not empty into both rows (an emptied
    // field keeps the stored value), both or neither. True when stored.
    bool save();

private:
    std::shared_ptr<platform::db::Database> m_main, m_customer;
    platform::Prompt& m_prompt;
};

} // namespace tawela::admin
