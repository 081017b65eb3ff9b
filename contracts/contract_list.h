#pragma once

#include "contracts/contract.h"
#include "platform/db/recordset.h"
#include "platform/prompt.h"

#include <memory>
#include <optional>

namespace tawela::contracts {

// The contract screen's list: the status filter, the search key and value,
// search and "หาถัดไป", over the contract set (highest number first).
class ContractList {
public:
    enum class Key { PolicyNo, KuId, KuName, RefNo };

    // "เลขที่สัญญา", "เลขที่บัตรประชาชน", "ชื่อ นามสกุล", "เลขที่สัญญากำหนดเอง"
    static QStringList keyTexts();
    static QString columnOf(Key key);

    ContractList(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt);

    // Sets the contract set for the filter; the cursor goes to the first row.
    void chooseFilter(ContractFilter filter);
    void chooseKey(Key key);
    ContractFilter filter() const { return m_filter; }
    Key key() const { return m_key; }
    // "หาถัดไป" is shown for every key but the contract number.
    bool findNextVisible() const { return m_key != Key::PolicyNo; }

    // The distinct non-empty values of the key in the set that begin with the
    // prefix, in order, at most limit of them: the value box completes as the
    // person types instead of holding every value of a large shop.
    QStringList values(const QString& prefix = QString(), int limit = 200) const;

    // Searches from the first row; "ไม่พบสัญญาที่หา" when nothing matches.
    std::optional<Contract> search(const QString& value);
    // The next match; "End of File" once the set is past its last row.
    std::optional<Contract> findNext();

    QString lastSearchValue() const { return m_lastValue; }
    platform::db::Recordset& set() { return *m_set; }

private:
    void reload();

    std::shared_ptr<platform::db::Database> m_db;
    platform::Prompt& m_prompt;
    ContractFilter m_filter = ContractFilter::Open;
    Key m_key = Key::PolicyNo;
    std::unique_ptr<platform::db::Recordset> m_set;
    platform::db::Condition m_criterion;
    QString m_lastValue;
};

} // namespace tawela::contracts
