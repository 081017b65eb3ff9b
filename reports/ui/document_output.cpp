#include "reports/ui/document_output.h"

#include "platform/print_queue.h"
#include "reports/ui/report_output.h"

namespace tawela::reports {

bool DocumentOutput::print(const QList<ReportRequest>& documents,
                           std::optional<qint64> marginWhenEmpty)
{
    const InstalledPrinters printers = platform::printQueues();
    bool all = true;
    for (const ReportRequest& d : documents) {
        const PrintTarget target = d.kind.isEmpty() ? m_choice.current(printers.names)
                                                    : m_choice.prepare(m_settings, d.kind, printers,
                                                                       m_prompt, marginWhenEmpty);
        const QString name = d.name.isEmpty() ? d.file : d.name;
        try {
            const LaidOutReport report = m_runner.build(d);
            all = outputReport(report, name, target, m_prompt) && all;
        } catch (const ReportError& e) {
            m_prompt.error(QStringLiteral("พิมพ์ \"") + name + QStringLiteral("\" ไม่สำเร็จ: ") +
                           e.description());
            all = false;
        }
    }
    return all;
}

} // namespace tawela::reports
