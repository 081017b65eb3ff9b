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
        all = output(d, target) && all;
    }
    return all;
}

bool DocumentOutput::preview(const ReportRequest& document)
{
    PrintTarget target =
        document.kind.isEmpty()
            ? m_choice.current(platform::printQueues().names)
            : m_choice.prepare(m_settings, document.kind, platform::printQueues(), m_prompt);
    target.preview = true;
    return output(document, target);
}

bool DocumentOutput::output(const ReportRequest& document, const PrintTarget& target)
{
    const QString name = document.name.isEmpty() ? document.file : document.name;
    try {
        return outputReport(m_runner.build(document), name, target, m_prompt);
    } catch (const ReportError& e) {
        m_prompt.error(QStringLiteral("พิมพ์ \"") + name + QStringLiteral("\" ไม่สำเร็จ: ") +
                       e.description());
        return false;
    }
}

} // namespace tawela::reports
