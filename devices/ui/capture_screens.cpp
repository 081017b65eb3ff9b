#include "devices/ui/capture_screens.h"

#include "platform/ui/screen_parts.h"

#include <QApplication>
#include <QCamera>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

#include <utility>

namespace tawela::devices {

namespace {

// A picture shown scaled into its box, its proportions kept.
void showPicture(QLabel* box, const QImage& picture)
{
    box->setPixmap(QPixmap::fromImage(
        picture.scaled(box->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QLabel* pictureBox(const char* name, const QString& spoken)
{
    auto* box = new QLabel;
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(spoken);
    box->setMinimumSize(500, 400);
    box->setAlignment(Qt::AlignCenter);
    box->setFrameShape(QFrame::StyledPanel);
    return box;
}

void failed(platform::Prompt& prompt, const QString& why)
{
    prompt.show(QStringLiteral("พบข้อผิดพลาด"), why, platform::PromptIcon::Critical,
                platform::PromptButtons::Ok);
}

class CameraSource : public FrameSource {
public:
    bool start(std::function<void(const QImage&)> frame) override
    {
        const QCameraDevice device = QMediaDevices::defaultVideoInput();
        if (device.isNull())
            return false;
        m_camera = std::make_unique<QCamera>(device);
        m_sink = std::make_unique<QVideoSink>();
        m_session.setCamera(m_camera.get());
        m_session.setVideoSink(m_sink.get());
        QObject::connect(m_sink.get(), &QVideoSink::videoFrameChanged, m_sink.get(),
                         [frame](const QVideoFrame& f) { frame(f.toImage()); });
        m_camera->start();
        return m_camera->isActive() || m_camera->error() == QCamera::NoError;
    }
    void stop() override
    {
        if (m_camera)
            m_camera->stop();
    }

private:
    QMediaCaptureSession m_session;
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QVideoSink> m_sink;
};

} // namespace

std::unique_ptr<FrameSource> cameraSource()
{
    return std::make_unique<CameraSource>();
}

ScanScreen::ScanScreen(QString imagesFolder, Deliver deliver, platform::Prompt& prompt,
                       QWidget* parent)
    : QWidget(parent), m_images(std::move(imagesFolder)), m_deliver(std::move(deliver)),
      m_prompt(prompt)
{
    setObjectName(QStringLiteral("frmPicScan"));
    setWindowTitle(QStringLiteral("Picture Scan"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    auto* bar = new QMenuBar;
    QMenu* menu = bar->addMenu(QStringLiteral("Scan"));
    menu->setObjectName(QStringLiteral("mnuScan"));
    QAction* scan = menu->addAction(QStringLiteral("Scan รูปภาพ"));
    scan->setObjectName(QStringLiteral("mnuScanPicture"));
    QAction* choose = menu->addAction(QStringLiteral("เลือกเครื่อง Scan"));
    choose->setObjectName(QStringLiteral("mnuSelectSource"));
    QAction* exit = menu->addAction(QStringLiteral("Exit   "));
    exit->setObjectName(QStringLiteral("mnuExit"));
    v->setMenuBar(bar);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblScanner"));
    m_status->setWordWrap(true);
    v->addWidget(m_status);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("prgScan"));
    m_progress->setAccessibleName(QStringLiteral("ความคืบหน้าการสแกน"));
    m_progress->hide();
    v->addWidget(m_progress);
    m_cancelButton = platform::ui::button("cmdCancel", QStringLiteral("ยกเลิกการสแกน"));
    m_cancelButton->hide();
    v->addLayout(platform::ui::rightAligned({m_cancelButton}));
    v->addStretch(1);
    resize(420, 160);

    // The service looks on USB and the network: off this thread.
    m_status->setText(QStringLiteral("กำลังค้นหาเครื่องสแกน…"));
    QPointer<ScanScreen> self = this;
    QThread* search = QThread::create([self] {
        const QList<ScannerDevice> devices = Scanner::devices();
        QMetaObject::invokeMethod(qApp, [self, devices] {
            if (self)
                self->found(devices);
        });
    });
    connect(search, &QThread::finished, search, &QObject::deleteLater);
    search->start();
    m_choose = [this](const QList<ScannerDevice>& all, const QString& current) {
        QStringList titles;
        int at = 0;
        for (qsizetype i = 0; i < all.size(); ++i) {
            titles << all[i].title + QStringLiteral("  (") + all[i].name + u')';
            if (all[i].name == current)
                at = int(i);
        }
        QInputDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("เลือกเครื่อง Scan"));
        dialog.setLabelText(QStringLiteral("เครื่องสแกน"));
        dialog.setComboBoxItems(titles);
        dialog.setTextValue(titles.value(at));
        dialog.setOkButtonText(QStringLiteral("ตกลง"));
        dialog.setCancelButtonText(QStringLiteral("ยกเลิก"));
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return all.value(titles.indexOf(dialog.textValue())).name;
    };
    connect(scan, &QAction::triggered, this, &ScanScreen::scanPicture);
    connect(choose, &QAction::triggered, this, &ScanScreen::chooseDevice);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(m_cancelButton, &QPushButton::clicked, this, &ScanScreen::cancelScan);
}

void ScanScreen::found(const QList<ScannerDevice>& devices)
{
    m_searching = false;
    if (!devices.isEmpty())
        m_device = devices.first().name;
    m_status->setText(devices.isEmpty() ? QStringLiteral("ไม่พบเครื่องสแกนในเครื่องนี้")
                                        : QStringLiteral("เครื่องสแกน: ") + devices.first().title);
    if (std::exchange(m_scanWhenFound, false))
        scanPicture();
}

void ScanScreen::chooseDevice()
{
    if (m_searching)
        return; // the list comes in a moment; the line above says so
    // Looked for again: a scanner switched on since the screen opened.
    const QList<ScannerDevice> found = Scanner::devices();
    if (found.isEmpty()) {
        m_prompt.information(QStringLiteral("ไม่พบเครื่องสแกนในเครื่องนี้"));
        return;
    }
    const QString chosen = m_choose(found, m_device);
    if (chosen.isEmpty())
        return;
    m_device = chosen;
    for (const ScannerDevice& d : found)
        if (d.name == chosen)
            m_status->setText(QStringLiteral("เครื่องสแกน: ") + d.title);
}

void ScanScreen::scanPicture()
{
    if (m_scanning)
        return;
    if (m_searching) {
        m_scanWhenFound = true;
        return;
    }
    if (m_device.isEmpty()) {
        m_prompt.information(QStringLiteral("ไม่พบเครื่องสแกนในเครื่องนี้"));
        return;
    }
    m_scanning = true;
    m_cancel = false;
    m_progress->setValue(0);
    m_progress->show();
    m_cancelButton->show();
    // Progress from the scanning thread, shown here.
    QPointer<QProgressBar> bar = m_progress;
    const QString device = m_device;
    QThread* worker = QThread::create([this, device, bar] {
        QImage page;
        QString failure;
        try {
            page = Scanner::scan(
                device, 200,
                [bar](int p) {
                    QMetaObject::invokeMethod(bar, [bar, p] {
                        if (bar)
                            bar->setValue(p);
                    });
                },
                m_cancel);
        } catch (const ScanError& e) {
            failure = e.description();
        }
        QMetaObject::invokeMethod(this, [this, page, failure] { finished(page, failure); });
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void ScanScreen::finished(const QImage& page, const QString& failure)
{
    m_scanning = false;
    m_progress->hide();
    m_cancelButton->hide();
    if (!failure.isEmpty()) {
        failed(m_prompt, failure);
        return;
    }
    if (page.isNull())
        return; // cancelled: nothing stored, nothing said
    try {
        const QString path =
            storeCapturedPicture(page, m_images, QStringLiteral("scan"), QStringLiteral("bmp"));
        if (m_deliver)
            m_deliver(path);
        close();
    } catch (const platform::Error& e) {
        failed(m_prompt, e.description());
    }
}

void ScanScreen::closeEvent(QCloseEvent* event)
{
    // The scanning thread reports to this screen: it ends first.
    if (m_scanning) {
        m_cancel = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

LivePictureDialog::LivePictureDialog(FrameSource& source, platform::Prompt& prompt, QWidget* parent)
    : QDialog(parent), m_source(source)
{
    setObjectName(QStringLiteral("frmPicture"));
    setWindowTitle(QStringLiteral("Picture-Picture"));
    auto* v = new QVBoxLayout(this);
    m_view = pictureBox("picCapture", QStringLiteral("ภาพจากกล้อง"));
    v->addWidget(m_view, 1);
    QPushButton* take = platform::ui::button("cmdTake", QStringLiteral("Take Picture "));
    take->setAccessibleName(QStringLiteral("Take Picture"));
    v->addLayout(platform::ui::rightAligned({take}));
    m_live = m_source.start([this](const QImage& frame) {
        m_last = frame;
        showPicture(m_view, frame);
    });
    if (!m_live) {
        m_view->setText(QStringLiteral("No Webcam found"));
        prompt.information(QStringLiteral("No Webcam found"));
    }
    connect(take, &QPushButton::clicked, this, [this] {
        m_taken = m_last;
        m_source.stop();
        accept();
    });
}

LivePictureDialog::~LivePictureDialog()
{
    m_source.stop();
}

WebcamScreen::WebcamScreen(QString imagesFolder, Deliver deliver, platform::Prompt& prompt,
                           SourceMaker source, QWidget* parent)
    : QWidget(parent), m_images(std::move(imagesFolder)), m_deliver(std::move(deliver)),
      m_prompt(prompt), m_makeSource(std::move(source))
{
    setObjectName(QStringLiteral("frmSnap"));
    setWindowTitle(QStringLiteral("WEB Camera View"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    m_view = pictureBox("picSnap", QStringLiteral("ภาพที่ถ่าย"));
    v->addWidget(m_view, 1);
    QPushButton* snapButton = platform::ui::button("cmdSnap", QStringLiteral("Snap Image"));
    QPushButton* ok = platform::ui::button("cmdOK", QStringLiteral("OK"));
    v->addLayout(platform::ui::rightAligned({snapButton, ok}));
    connect(snapButton, &QPushButton::clicked, this, &WebcamScreen::snap);
    connect(ok, &QPushButton::clicked, this, &WebcamScreen::accept);
}

void WebcamScreen::snap()
{
    if (m_live)
        return;
    std::shared_ptr<FrameSource> source = m_makeSource();
    m_live = new LivePictureDialog(*source, m_prompt, this);
    m_live->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_live, &QDialog::finished, this, [this, source](int) {
        if (!m_live->taken().isNull()) {
            m_snapshot = m_live->taken();
            showPicture(m_view, m_snapshot);
        }
        m_live = nullptr;
    });
    m_live->open();
}

void WebcamScreen::accept()
{
    if (m_snapshot.isNull()) {
        m_prompt.information(QStringLiteral("ยังไม่มีภาพ กด Snap Image เพื่อถ่ายภาพก่อน"));
        return;
    }
    try {
        const QString path = storeCapturedPicture(m_snapshot, m_images, QStringLiteral("webcam"),
                                                  QStringLiteral("jpg"));
        if (m_deliver)
            m_deliver(path);
        close();
    } catch (const platform::Error& e) {
        failed(m_prompt, e.description());
    }
}

} // namespace tawela::devices
