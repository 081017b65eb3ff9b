#include "reports/ui/document_output.h"

#include "reports/ui/report_output.h"

namespace tawela::reports {

void DocumentOutput::print(const QList<ReportRequest>& jobs, const QString& prepareFor,
                           std::optional<qint64> marginWhenEmpty)
{
    const QStringList printers = installedPrinters();
    // A receipt's printer is prepared even when no receipt is printed: the
    // renewal document that follows uses it.
    const PrintTarget target =
        prepareFor.isEmpty()
            ? m_choice.current(printers)
            : m_choice.prepare(m_settings, prepareFor, printers, m_prompt, marginWhenEmpty);
    for (const ReportRequest& job : jobs) {
        try {
            const LaidOutReport report = m_runner.build(job);
            outputReport(report, job.file, target, m_prompt);
        } catch (const ReportError& e) {
            m_prompt.error(e.description());
        }
    }
}

} // namespace tawela::reports
