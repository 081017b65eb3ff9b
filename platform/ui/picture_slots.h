#pragma once

#include "platform/ui/screen_parts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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
