#pragma once

#include "reports/printer_settings.h"
#include "reports/report_runner.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tawela::reports {

// Sends the documents of a save to paper or to the preview: receipts after
// printer preparation for "ใบเสร็จรับเงิน", the other documents to the
// printer that is current. A document that cannot be made is said through
// the prompt; the ones after it still print.
class DocumentOutput {
public:
    DocumentOutput(const ReportRunner& runner, PrinterSettings settings, PrinterChoice& choice,
                   platform::Prompt& prompt)
        : m_runner(runner), m_settings(std::move(settings)), m_choice(choice), m_prompt(prompt)
    {}

    // prepareFor names the Printer_tb kind to prepare first (empty: the
    // current printer); marginWhenEmpty stands in for a row without margin.
    void print(const QList<ReportRequest>& jobs, const QString& prepareFor = {},
               std::optional<qint64> marginWhenEmpty = std::nullopt);

private:
    const ReportRunner& m_runner;
    PrinterSettings m_settings;
    PrinterChoice& m_choice;
    platform::Prompt& m_prompt;
};

} // namespace tawela::reports
