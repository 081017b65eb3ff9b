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

bool CustomerReportsPanel::print()
{
    if (!panel.choice) {
        m_form.m_prompt.plain(QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
        return false;
    }
    const std::optional<double> left = offsetOf(panel.left);
    const std::optional<double> top = offsetOf(panel.top);
    if (!left || !top) {
        m_form.m_prompt.error(QStringLiteral(
            "+/-Left และ +/-Top ต้องเป็นตัวเลขมิลลิเมตร ระหว่าง -50 ถึง 50 เช่น 2 หรือ -1.5"));
        return false;
    }
    const platform::ReportRequest request =
        customerReportRequest(*panel.choice, m_form.userCaptions, m_form.customer.code,
                              m_form.m_filter.reportFilter(), *left, *top);
    const auto& output =
        *panel.choice == CustomerReport::Csv ? m_form.m_reports.exportCsv : m_form.m_reports.print;
    if (output)
        output(request);
    return true;
}

void CustomerReportsPanel::choosePrinter()
{
    if (m_form.m_reports.choosePrinter)
        m_form.m_reports.choosePrinter();
}

void CustomerHistoryView::toggle()
{
    const QString code = m_form.m_opening.mode == OpeningMode::ContractCustomer
                             ? m_form.m_opening.value
                             : m_form.customer.code;
    try {
        panel.rows = buildHistory(*m_form.m_main, code);
    } catch (const platform::db::DbError& e) {
        m_form.m_prompt.plain(e.description());
        return;
    }
    panel.wide = !panel.wide;
    ++panel.builds;
}

void CustomerHistoryView::print()
{
    if (!m_form.m_reports.print)
        return;
    platform::ReportRequest request;
    request.file = QStringLiteral("Hist.rpt");
    request.name = QStringLiteral("ประวัติการเข้ารับบริการ");
    m_form.m_reports.print(request);
}

} // namespace tawela::customers
