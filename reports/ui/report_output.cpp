#include "reports/ui/report_output.h"

#include "platform/ui/screen_parts.h"

#include "platform/print_queue.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace tawela::reports {

namespace {

void setUp(QPrinter& printer, const LaidOutReport& report, const PrintTarget& target)
{
    if (!target.printerName.isEmpty())
        printer.setPrinterName(target.printerName);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(report.pageSize, QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
}

} // namespace

ReportPreview::ReportPreview(LaidOutReport report, const QString& title, PrintTarget target,
                             QWidget* parent)
    : QWidget(parent), m_report(std::move(report)), m_target(std::move(target)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("reportPreview"));
    setWindowTitle(title.isEmpty() ? QStringLiteral("ตัวอย่างก่อนพิมพ์") : title);
    setUp(*m_printer, m_report, m_target);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        bar->addWidget(b);
        return b;
    };
    QPushButton* previous = button("cmdPrevious", QStringLiteral("< หน้าก่อน"));
    QPushButton* next = button("cmdNext", QStringLiteral("หน้าถัดไป >"));
    m_pageLabel = new QLabel;
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    bar->addWidget(m_pageLabel);
    QPushButton* zoomIn = button("cmdZoomIn", QStringLiteral("ขยาย"));
    QPushButton* zoomOut = button("cmdZoomOut", QStringLiteral("ย่อ"));
    QPushButton* fit = button("cmdFit", QStringLiteral("พอดีหน้า"));
    bar->addStretch();
    QPushButton* print = button("cmdPrint", QStringLiteral("พิมพ์"));
    QPushButton* pdf = button("cmdPdf", QStringLiteral("บันทึกเป็น PDF"));
    QPushButton* close = button("cmdClose", QStringLiteral("ปิด"));
    layout->addLayout(bar);
    m_view = new QPrintPreviewWidget(m_printer.get());
    m_view->setObjectName(QStringLiteral("preview"));
    layout->addWidget(m_view, 1);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        paintReport(m_report, *printer, double(m_target.leftMargin.value_or(0)));
    });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::updatePageLabel);
    connect(previous, &QPushButton::clicked, this, [this] {
        m_view->setCurrentPage(m_view->currentPage() - 1);
        updatePageLabel();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        m_view->setCurrentPage(m_view->currentPage() + 1);
        updatePageLabel();
    });
    connect(zoomIn, &QPushButton::clicked, m_view, [this] { m_view->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_view, [this] { m_view->zoomOut(); });
    connect(fit, &QPushButton::clicked, m_view, &QPrintPreviewWidget::fitInView);
    connect(print, &QPushButton::clicked, m_view, &QPrintPreviewWidget::print);
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString path = platform::ui::saveFileName(this, QStringLiteral("บันทึกเป็น PDF"),
                                                        QString(), QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty())
            saveAsPdf(path);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // As tall as a page is comfortable to read, never taller than the screen.
    QSize size(900, 1000);
    if (QScreen* where = QGuiApplication::primaryScreen())
        size = size.boundedTo(where->availableGeometry().size() * 0.95);
    resize(size);
    updatePageLabel();
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::pageCount() const
{
    return int(m_report.pages.size());
}

void ReportPreview::saveAsPdf(const QString& path)
{
    writePdf(m_report, path);
}

void ReportPreview::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral("หน้า %1 / %2")
                             .arg(std::max(1, m_view->currentPage()))
                             .arg(m_report.pages.size()));
}

bool outputReport(const LaidOutReport& report, const QString& jobName, const PrintTarget& target,
                  platform::Prompt& prompt)
{
    if (target.preview || target.printerIndex < 0) {
        auto* preview = new ReportPreview(report, jobName, target);
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->show();
        return true;
    }
    // The pages go to the queue as a PDF, so that a queue that does not take
    // the job says so (Qt's own printing passes such a refusal over).
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/tawela-print-XXXXXX.pdf"));
    if (!pdf.open()) {
        prompt.error(QStringLiteral("พิมพ์ \"") + jobName +
                     QStringLiteral("\" ไม่สำเร็จ: เขียนแฟ้มชั่วคราวไม่ได้ ") + pdf.errorString());
        return false;
    }
    pdf.close();
    QString error;
    if (!writePdf(report, pdf.fileName(), &error, double(target.leftMargin.value_or(0)))) {
        prompt.error(QStringLiteral("พิมพ์ \"") + jobName + QStringLiteral("\" ไม่สำเร็จ: ") + error);
        return false;
    }
    try {
        platform::submitPdf(target.printerName, pdf.fileName(), jobName, report.pageSize);
    } catch (const platform::PrintRefused& e) {
        prompt.error(QStringLiteral("พิมพ์ \"") + jobName + QStringLiteral("\" ไม่สำเร็จ: ") +
                     e.description());
        return false;
    }
    return true;
}

} // namespace tawela::reports
