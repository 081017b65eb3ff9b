#include "admin/company.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "platform/db/transaction.h"

namespace tawela::admin {

namespace {

using Field = QString CompanyDetails::*;
const std::pair<const char*, Field> Columns[] = {
    {"company_name", &CompanyDetails::name}, {"address3", &CompanyDetails::owner},
    {"address1", &CompanyDetails::address1}, {"address2", &CompanyDetails::address2},
    {"Tel", &CompanyDetails::tel},           {"Fax", &CompanyDetails::fax},
    {"Tax_no", &CompanyDetails::taxNo},
};

void writeInto(const std::shared_ptr<platform::db::Database>& db, const CompanyDetails& d)
{
    platform::db::Recordset row = settingsRecord(db);
    for (const auto& [column, field] : Columns)
        if (!(d.*field).trimmed().isEmpty())
            row.setText(QLatin1String(column), (d.*field).trimmed());
    row.store();
}

} // namespace

CompanyForm::CompanyForm(std::shared_ptr<platform::db::Database> main,
                         std::shared_ptr<platform::db::Database> customer, platform::Prompt& prompt)
    : m_main(std::move(main)), m_customer(std::move(customer)), m_prompt(prompt)
{}

bool CompanyForm::open()
{
    try {
        const platform::db::Recordset row = settingsRecord(m_main);
        for (const auto& [column, field] : Columns)
            details.*field = row.text(QLatin1String(column));
        return true;
    } catch (const platform::db::DbError& e) {
        m_prompt.error(QStringLiteral("อ่านข้อมูลบริษัทไม่ได้: ") + e.description());
        return false;
    }
}

bool CompanyForm::save()
{
    // Both rows are written before either is committed, so a failure up to
    // the commits stores nothing.
    bool customerStored = false;
    try {
        platform::db::Transaction customer(*m_customer);
        platform::db::Transaction main(*m_main);
        writeInto(m_customer, details);
        writeInto(m_main, details);
        customer.commit();
        customerStored = true;
        main.commit();
        return true;
    } catch (const platform::db::DbError& e) {
        m_prompt.error(customerStored
                           ? QStringLiteral("จัดเก็บข้อมูลบริษัทลงฐานข้อมูลลูกค้าแล้ว แต่ฐานข้อมูลหลักไม่ได้ "
                                            "กรุณากดจัดเก็บอีกครั้ง: ") +
                                 e.description()
                           : QStringLiteral("จัดเก็บข้อมูลบริษัทไม่ได้ ยังไม่มีการเปลี่ยนแปลงใด: ") +
                                 e.description());
        return false;
    }
}

} // namespace tawela::admin
