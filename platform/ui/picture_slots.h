#pragma once

#include "platform/ui/screen_parts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

#include <functional>
#include <optional>

namespace tawela::platform::ui {

// What the picture slots of a screen ask for, so tests can answer in place
// of the dialogs. A file: the chosen path, nullopt when cancelled (filters
// as "Caption (*.a *.b)", `selected` the one shown first).
using FileChooser = std::function<std::optional<QString>(
    const QString& title, const QStringList& filters, int selected, const QString& start)>;
// A picture from the scanner or the webcam: `open(webcam, deliver)` opens
// the capture screen, which hands the stored picture's full path back.
using CaptureOpener = std::function<void(bool webcam, std::function<void(const QString&)> deliver)>;

// The picture kinds a dialog offers: only those this computer's image
// plug-ins open (TIFF needs qt6-image-formats-plugins; PCX and Photoshop
// files have none in Debian), each "Caption (*.a *.b)", then one filter of
// all of them together, last. Photoshop files only when asked for (and
// readable); `extra` ("PDF Files (*.pdf)") is offered as it is, for files
// opened some other way.
inline QStringList pictureFilters(const QStringList& extra = {}, bool photoshop = false)
{
    static const std::pair<const char*, QList<QByteArray>> kinds[] = {
        {"Bitmap Files", {"bmp"}},    {"JPEG Files", {"jpg", "jpeg"}},
        {"PCX Files", {"pcx"}},       {"PNG Files", {"png"}},
        {"GIF Files", {"gif"}},       {"TIFF Files", {"tif", "tiff"}},
        {"Photoshop Files", {"psd"}},
    };
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList filters, all;
    for (const auto& [caption, suffixes] : kinds) {
        if (!readable.contains(suffixes.first()) || (suffixes.first() == "psd" && !photoshop))
            continue;
        QStringList patterns;
        for (const QByteArray& suffix : suffixes)
            patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
        filters << QLatin1String(caption) + QStringLiteral(" (") + patterns.join(u' ') + u')';
        all << patterns;
    }
    for (const QString& e : extra) {
        filters << e;
        const qsizetype open = e.indexOf(u'(');
        all << e.mid(open + 1).chopped(1).split(u' ', Qt::SkipEmptyParts);
    }
    filters << QStringLiteral("All Image Files (") + all.join(u' ') + u')';
    return filters;
}

// The program's dialog for one existing file, in Thai (a FileChooser).
inline std::optional<QString> askForFile(const QString& title, const QStringList& filters,
                                         int selected, const QString& start)
{
    QFileDialog dialog(nullptr, title, start);
    thaiLabels(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(selected));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ชื่อแฟ้ม"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

// The full-screen picture: a click or any key closes it.
class PictureViewer : public QLabel {
public:
    explicit PictureViewer(const QString& path)
    {
        setObjectName(QStringLiteral("PictureViewer"));
        setWindowTitle(QFileInfo(path).fileName());
        setAttribute(Qt::WA_DeleteOnClose);
        setAlignment(Qt::AlignCenter);
        setStyleSheet(QStringLiteral("background: black; color: white;"));
        const QPixmap picture(path);
        const QSize room = screen() ? screen()->size() : QSize(1280, 800);
        if (picture.isNull())
            setText(QStringLiteral("เปิดรูปภาพ ") + path + QStringLiteral(" ไม่ได้"));
        else
            setPixmap(picture.size().boundedTo(room) == picture.size()
                          ? picture
                          : picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        setAccessibleName(QStringLiteral("รูปภาพ ") + QFileInfo(path).fileName());
    }

protected:
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }
};

} // namespace tawela::platform::ui
