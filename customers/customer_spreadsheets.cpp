// The customer file in spreadsheets, out and in.
#include "customers/customer_form.h"

#include "customers/customer_export.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

#include <algorithm>

namespace tawela::customers {

using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;
using platform::db::DbError;

void CustomerSpreadsheets::exportFailed(const ExportError& e)
{
    if (e.openElsewhere())
        m_form.m_prompt.show(QStringLiteral("File summary.xls is open"), e.description(),
                             PromptIcon::Critical, PromptButtons::Ok);
    else
        m_form.m_prompt.error(e.description());
}

std::optional<QString> CustomerSpreadsheets::exportCurrent()
{
    if (!m_form.commands().exportOne)
        return std::nullopt;
    try {
        return exportRecordCard(m_form.customer, m_folder, m_font);
    } catch (const ExportError& e) {
        exportFailed(e);
        return std::nullopt;
    }
}

std::optional<QString> CustomerSpreadsheets::exportShown()
{
    if (!m_form.commands().exportAll)
        return std::nullopt;
    try {
        QString file = exportAll(*m_form.m_records, m_folder, m_font);
        m_form.m_prompt.plain(QStringLiteral("Export to Excel completed"));
        return file;
    } catch (const ExportError& e) {
        exportFailed(e);
        return std::nullopt;
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
        return std::nullopt;
    }
}

std::optional<ImportResult> CustomerSpreadsheets::importFile(const QString& path,
                                                             const ImportProgress& progress)
{
    if (m_form.readOnly() || !m_form.close())
        return std::nullopt;
    try {
        ImportResult result =
            importCustomerFile(*m_form.m_store.database(), path, m_form.ImportColumns, progress);
        if (result.cancelled) {
            m_form.m_prompt.plain(QStringLiteral("ยกเลิกการนำเข้าแล้ว ไม่มีข้อมูลใดถูกจัดเก็บ"));
            return std::nullopt;
        }
        const QString notRead =
            result.afterLast == 0
                ? QString()
                : QStringLiteral("\nไม่ได้นำเข้า %1 แถวท้ายตารางที่มีรหัสลูกค้า แต่อยู่ต่อจากแถวสุดท้ายที่มีคำนำหน้าชื่อ "
                                 "(ช่อง B) ให้ใส่คำนำหน้าชื่อในแถวเหล่านั้นแล้วนำเข้าอีกครั้ง")
                      .arg(result.afterLast);
        if (result.added + result.updated + result.unchanged == 0 && result.problems.isEmpty()) {
            m_form.m_prompt.stop(
                QStringLiteral("ไม่พบข้อมูลลูกค้าในแฟ้มนี้: ตั้งแต่แถวที่ 2 ลงไปต้องมีรหัสลูกค้าในช่อง A "
                               "และคำนำหน้าชื่อในช่อง B ตามแบบที่ All2Excel เขียน") +
                notRead);
            return std::nullopt;
        }
        m_form.m_prompt.show(QStringLiteral("Information"), QStringLiteral("Data saved ") + notRead,
                             PromptIcon::Information, PromptButtons::Ok);
        return result;
    } catch (const platform::SpreadsheetError& e) {
        m_form.m_prompt.error(e.description());
    } catch (const DbError& e) {
        m_form.m_prompt.error(e.description() + QStringLiteral("\nไม่มีข้อมูลใดถูกจัดเก็บ"));
    }
    return std::nullopt;
}

} // namespace tawela::customers
