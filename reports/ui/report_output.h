#pragma once

#include "reports/printer_settings.h"
#include "reports/report_engine.h"

#include <QWidget>

class QPrintPreviewWidget;
class QPrinter;
class QLabel;

namespace tawela::reports {

// The preview window: pages, zoom, print and save as PDF.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    ReportPreview(LaidOutReport report, const QString& title, PrintTarget target,
                  QWidget* parent = nullptr);
    ~ReportPreview() override;

    int pageCount() const;
    void saveAsPdf(const QString& path);

private:
    void updatePageLabel();

    LaidOutReport m_report;
    PrintTarget m_target;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_view;
    QLabel* m_pageLabel;
};

// Sends the pages to the target's printer as a job named jobName, or opens
// the preview when the target asks for it (the caller keeps nothing: the
// window deletes itself). A job the printer does not take is told through
// the prompt with the document's name; false then.
bool outputReport(const LaidOutReport& report, const QString& jobName, const PrintTarget& target,
                  platform::Prompt& prompt);

} // namespace tawela::reports
