#include "customers/customer_form.h"
#include "platform/db/db_error.h"

#include <cmath>

namespace tawela::customers {

namespace {

// An offset box: millimetres, empty for none; nullopt when it is no number
// or further than a sheet could be off.
std::optional<double> offsetOf(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    bool ok = false;
    const double mm = t.toDouble(&ok);
    if (!ok || !std::isfinite(mm) || std::abs(mm) > 50)
        return std::nullopt;
    return mm;
}

} // namespace

bool CustomerForm::printReport()
{
    if (!reporting.choice) {
        m_prompt.plain(QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
        return false;
    }
    const std::optional<double> left = offsetOf(reporting.left);
    const std::optional<double> top = offsetOf(reporting.top);
    if (!left || !top) {
        m_prompt.error(QStringLiteral(
            "+/-Left และ +/-Top ต้องเป็นตัวเลขมิลลิเมตร ระหว่าง -50 ถึง 50 เช่น 2 หรือ -1.5"));
        return false;
    }
    const platform::ReportRequest request = customerReportRequest(
        *reporting.choice, userCaptions, customer.code, reportFilter(), *left, *top);
    const auto& output =
        *reporting.choice == CustomerReport::Csv ? m_reports.exportCsv : m_reports.print;
    if (output)
        output(request);
    return true;
}

void CustomerForm::choosePrinter()
{
    if (m_reports.choosePrinter)
        m_reports.choosePrinter();
}

void CustomerForm::toggleHistory()
{
    const QString code =
        m_opening.mode == OpeningMode::ContractCustomer ? m_opening.value : customer.code;
    try {
        history.rows = buildHistory(*m_main, code);
    } catch (const platform::db::DbError& e) {
        m_prompt.plain(e.description());
        return;
    }
    history.wide = !history.wide;
    ++history.builds;
}

void CustomerForm::printHistory()
{
    if (!m_reports.print)
        return;
    platform::ReportRequest request;
    request.file = QStringLiteral("Hist.rpt");
    request.name = QStringLiteral("ประวัติการเข้ารับบริการ");
    m_reports.print(request);
}

} // namespace tawela::customers
