#pragma once

#include "admin/company.h"

#include <QWidget>

#include <memory>

namespace tawela::admin {

// "ชื่อ - ที่อยู่บริษัท": the shop's details, Enter moving down to "จัดเก็บ".
class CompanyScreen : public QWidget {
    Q_OBJECT
public:
    explicit CompanyScreen(std::unique_ptr<CompanyForm> form, QWidget* parent = nullptr);
    CompanyForm& form() { return *m_form; }

private:
    std::unique_ptr<CompanyForm> m_form;
};

} // namespace tawela::admin
