#pragma once

#include "devices/scanner.h"
#include "platform/prompt.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tawela::devices {

// Where a captured picture goes: the full path of the stored file, for the
// picture slot that asked for it.
using Deliver = std::function<void(const QString& path)>;

// "Picture Scan": the menu "Scan" with "Scan รูปภาพ", "เลือกเครื่อง Scan" and
// "Exit   ". A page scanned is kept in the pictures folder as .bmp, handed
// to the slot, and the screen closes.
class ScanScreen : public QWidget {
    Q_OBJECT
public:
    // Asks which scanner to use among those found; empty when cancelled.
    using DeviceChooser =
        std::function<QString(const QList<ScannerDevice>&, const QString& current)>;

    ScanScreen(QString imagesFolder, Deliver deliver, platform::Prompt& prompt,
               QWidget* parent = nullptr);
    void setDeviceChooser(DeviceChooser chooser) { m_choose = std::move(chooser); }
    // The scanners are looked for off the screen's thread (seconds with
    // network scanners): until then the device is empty and a scan asked
    // for waits for them.
    bool searching() const { return m_searching; }
    QString device() const { return m_device; }
    bool scanning() const { return m_scanning; }
    // "Scan รูปภาพ"; `dpi` 200 unless the shop asks otherwise.
    void scanPicture();
    void chooseDevice();
    // Stops a scan under way (the progress window's "ยกเลิก").
    void cancelScan() { m_cancel = true; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void finished(const QImage& page, const QString& failure);
    void found(const QList<ScannerDevice>& devices);

    QString m_images, m_device;
    bool m_searching = true, m_scanWhenFound = false;
    Deliver m_deliver;
    platform::Prompt& m_prompt;
    DeviceChooser m_choose;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_cancelButton;
    std::atomic_bool m_cancel = false;
    bool m_scanning = false;
};

// Frames from a camera, or from anything that plays like one (the tests'
// pictures). `frame` is called on the screen's thread.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // False (and nothing shown) when there is no camera.
    virtual bool start(std::function<void(const QImage&)> frame) = 0;
    virtual void stop() = 0;
};

// The computer's first camera through Qt Multimedia; start() fails without one.
std::unique_ptr<FrameSource> cameraSource();

// "Picture-Picture": the live picture of the camera and "Take Picture ",
// which keeps the frame shown and closes.
class LivePictureDialog : public QDialog {
    Q_OBJECT
public:
    LivePictureDialog(FrameSource& source, platform::Prompt& prompt, QWidget* parent = nullptr);
    ~LivePictureDialog() override;
    QImage taken() const { return m_taken; }
    bool live() const { return m_live; }

private:
    FrameSource& m_source;
    QLabel* m_view;
    QImage m_last, m_taken;
    bool m_live = false;
};

// "WEB Camera View": "Snap Image" opens the live picture; "OK" keeps the
// snapshot as .jpg in the pictures folder, hands it to the slot and closes.
class WebcamScreen : public QWidget {
    Q_OBJECT
public:
    using SourceMaker = std::function<std::unique_ptr<FrameSource>()>;
    WebcamScreen(QString imagesFolder, Deliver deliver, platform::Prompt& prompt,
                 SourceMaker source = cameraSource, QWidget* parent = nullptr);
    void snap();
    void accept();
    QImage snapshot() const { return m_snapshot; }
    // The live window, while it is open.
    LivePictureDialog* liveWindow() const { return m_live; }

private:
    QString m_images;
    Deliver m_deliver;
    platform::Prompt& m_prompt;
    SourceMaker m_makeSource;
    QLabel* m_view;
    QImage m_snapshot;
    LivePictureDialog* m_live = nullptr;
};

} // namespace tawela::devices
