#pragma once

#include "reports/printer_settings.h"
#include "reports/report_runner.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tawela::reports {

// Sends the documents of a save to paper or to the preview, each to the
// printer of its own Printer_tb kind with that row's settings. A document
// that cannot be made or printed is said through the prompt with its name;
// the ones after it still print.
class DocumentOutput {
public:
    DocumentOutput(const ReportRunner& runner, PrinterSettings settings, PrinterChoice& choice,
                   platform::Prompt& prompt)
        : m_runner(runner), m_settings(std::move(settings)), m_choice(choice), m_prompt(prompt)
    {}

    // marginWhenEmpty stands in for a row without margin. False when any
    // document failed (it was said).
    bool print(const QList<ReportRequest>& documents,
               std::optional<qint64> marginWhenEmpty = std::nullopt);
    // One report in the preview, to be looked at (labels against their
    // sheet) before it is printed from there: on the printer of its kind,
    // or without one on the printer chosen last.
    bool preview(const ReportRequest& document);

private:
    bool output(const ReportRequest& document, const PrintTarget& target);

    const ReportRunner& m_runner;
    PrinterSettings m_settings;
    PrinterChoice& m_choice;
    platform::Prompt& m_prompt;
};

} // namespace tawela::reports
