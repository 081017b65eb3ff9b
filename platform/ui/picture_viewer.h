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

#include <optional>

namespace tawela::platform::ui {

// The program's dialog for one existing file, in Thai: the chosen path, or
// nullopt when cancelled. Filters as "Caption (*.a *.b)"; `selected` is
// the filter shown first.
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
