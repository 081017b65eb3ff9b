#include "customers/ui/customer_screen.h"

#include "platform/ui/picture_slots.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace tawela::customers {

using platform::FormBinding;
using platform::ui::button;
using platform::ui::captioned;

namespace {

constexpr int Attachment = 3;

// The picture kinds this computer opens, and PDF (opened by the desktop's viewer).
QStringList pictureFilters()
{
    return platform::ui::pictureFilters({QStringLiteral("PDF Files (*.pdf *.PDF)")});
}

QStringList attachmentFilters()
{
    return {QStringLiteral("Excel Files (*.xls *.xlsx)"),
            QStringLiteral("All Excel Files (*.xls *.xlsx)")};
}

} // namespace

QWidget* CustomerScreen::buildFilesPanel()
{
    m_files.panel = new QGroupBox(QStringLiteral("รูปภาพ และ แฟ้มแนบ"));
    m_files.panel->setObjectName(QStringLiteral("Frame_pictures"));
    m_files.panel->setToolTip(QStringLiteral("กด dbl click ที่ frame เพื่อยก frame"));
    m_files.panel->installEventFilter(this);
    auto* g = new QGridLayout(m_files.panel);
    auto* hint = new QLabel(QStringLiteral("กด dbl click ที่ frame เพื่อยก frame"));
    g->addWidget(hint, 0, 0, 1, 7);
    auto iconButton = [this](const QString& name, QStyle::StandardPixmap icon,
                             const QString& caption) {
        auto* b = new QPushButton;
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setAccessibleName(caption);
        b->setToolTip(caption);
        return b;
    };
    for (int i = 0; i < 4; ++i) {
        const bool picture = i < Attachment;
        const QString n = QString::number(i + 1);
        const QString what = picture ? QStringLiteral("ภาพ ") + n : QStringLiteral("แฟ้ม Excel");
        const int row = i * 2 + 1;
        m_files.path[i] = captioned(new QLineEdit, QStringLiteral("ที่อยู่ของ") + what);
        m_files.path[i]->setObjectName(picture ? QStringLiteral("image") + n
                                               : QStringLiteral("Excel_file"));
        auto* pathLabel = new QLabel(QStringLiteral("ที่อยู่") + what);
        pathLabel->setBuddy(m_files.path[i]);
        g->addWidget(pathLabel, row, 0);
        g->addWidget(m_files.path[i], row, 1, 1, 6);
        m_files.choose[i] = iconButton(QStringLiteral("cmdChoose%1").arg(i + 1),
                                       QStyle::SP_DirOpenIcon, QStringLiteral("เลือกแฟ้ม") + what);
        g->addWidget(m_files.choose[i], row + 1, 0);
        int col = 1;
        if (picture) {
            m_files.scan[i] = iconButton(QStringLiteral("cmdScan%1").arg(i + 1),
                                         QStyle::SP_DriveHDIcon, QStringLiteral("สแกน") + what);
            m_files.webcam[i] =
                iconButton(QStringLiteral("cmdWebcam%1").arg(i + 1), QStyle::SP_ComputerIcon,
                           QStringLiteral("ถ่ายภาพจากกล้อง ") + what);
            for (QPushButton* b : {m_files.scan[i], m_files.webcam[i]}) {
                b->setEnabled(false);
                b->setToolTip(QStringLiteral("ยังไม่เปิดใช้ในรุ่นนี้"));
                g->addWidget(b, row + 1, col++);
            }
        }
        m_files.name[i] = captioned(new QLineEdit, QStringLiteral("ชื่อ") + what);
        m_files.name[i]->setObjectName(picture ? QStringLiteral("dt_im") + n
                                               : QStringLiteral("Excel_name"));
        m_files.name[i]->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใช้ชื่อแฟ้มจากที่อยู่"));
        m_files.name[i]->setProperty("fileSlot", i);
        m_files.name[i]->installEventFilter(this);
        g->addWidget(m_files.name[i], row + 1, col, 1, picture ? 2 : 4);
        col += picture ? 2 : 4;
        const QByteArray clearName = picture
                                         ? QByteArray("cmdClearPicture") + QByteArray::number(i + 1)
                                         : QByteArray("cmdClearExcel");
        m_files.clear[i] = button(clearName.constData(),
                                  picture ? QStringLiteral("ลบภาพ") : QStringLiteral("ลบไฟล์"));
        g->addWidget(m_files.clear[i], row + 1, col++);
        if (picture)
            m_files.view[i] =
                iconButton(QStringLiteral("cmdView%1").arg(i + 1),
                           QStyle::SP_FileDialogContentsView, QStringLiteral("ดู") + what);
        else
            m_files.view[i] = button("cmdOpenExcel", QStringLiteral("เปิดแฟ้ม Excel"));
        g->addWidget(m_files.view[i], row + 1, col);
    }
    g->setColumnStretch(3, 1);
    g->setColumnStretch(4, 1);
    return m_files.panel;
}

std::optional<QString> CustomerScreen::chooseFile(const QString& title, const QStringList& filters,
                                                  int selected, const QString& start) const
{
    return (m_chooseFile ? m_chooseFile : platform::ui::FileChooser(platform::ui::askForFile))(
        title, filters, selected, start);
}

void CustomerScreen::bindFiles()
{
    FormBinding& b = *m_binding;
    Customer& c = m_form->customer;
    QString* paths[] = {&c.image1, &c.image2, &c.image3, &c.excelFile};
    QString* names[] = {&c.dtIm1, &c.dtIm2, &c.dtIm3, &c.excelName};
    for (int i = 0; i < 4; ++i) {
        b.text(m_files.path[i], *paths[i]);
        b.text(m_files.name[i], *names[i]);
        const bool picture = i < Attachment;
        connect(m_files.choose[i], &QPushButton::clicked, this, [this, i, picture] {
            const QString was = picture ? m_form->files().path(i) : m_form->customer.excelFile;
            const QString start = was.isEmpty() ? QDir::homePath() : QFileInfo(was).path();
            const std::optional<QString> path =
                picture ? chooseFile(QStringLiteral("กำหนดที่อยู่ของแฟ้มภาพ"), pictureFilters(),
                                     int(pictureFilters().size()) - 1, start)
                        : chooseFile(QStringLiteral("กำหนดที่อยู่ของ Excel"), attachmentFilters(), 1,
                                     start);
            run([this, i, picture, path] {
                if (picture)
                    m_form->files().picked(i, path);
                else
                    m_form->files().attachmentPicked(path);
            });
        });
        connect(m_files.clear[i], &QPushButton::clicked, this, [this, i, picture] {
            run([this, i, picture] {
                if (picture)
                    m_form->files().clear(i);
                else
                    m_form->files().clearAttachment();
            });
        });
        connect(m_files.view[i], &QPushButton::clicked, this, [this, i, picture] {
            showFile(picture ? m_form->files().view(i) : m_form->files().openAttachment());
        });
    }
}

void CustomerScreen::useCapture(platform::ui::CaptureOpener open)
{
    for (int i = 0; i < 3; ++i) {
        for (const bool webcam : {false, true}) {
            QPushButton* b = webcam ? m_files.webcam[i] : m_files.scan[i];
            b->setEnabled(bool(open));
            b->setToolTip(webcam ? QStringLiteral("ถ่ายภาพจากกล้อง") : QStringLiteral("สแกนภาพ"));
            connect(b, &QPushButton::clicked, this, [this, open, i, webcam] {
                QPointer<CustomerScreen> self = this;
                open(webcam, [self, i](const QString& path) {
                    if (!self)
                        return;
                    self->m_form->files().captured(i, path);
                    self->refresh();
                });
            });
        }
    }
}

void CustomerScreen::showFile(const CustomerForm::FileView& view)
{
    switch (view.kind) {
    case CustomerForm::FileView::Kind::Nothing:
        return;
    case CustomerForm::FileView::Kind::FullScreen: {
        auto* viewer = new platform::ui::PictureViewer(view.path);
        viewer->showFullScreen();
        return;
    }
    case CustomerForm::FileView::Kind::Open:
        if (m_openFile)
            m_openFile(view.path);
        return;
    }
}

bool CustomerScreen::filesDoubleClicked(QObject* watched)
{
    if (watched == m_files.panel) {
        // Between the top of the side column and its foot.
        const bool atTop = m_side->indexOf(m_files.panel) == 0;
        m_side->removeWidget(m_files.panel);
        m_side->insertWidget(atTop ? m_side->count() - 1 : 0, m_files.panel);
        return true;
    }
    const QVariant slot = watched->property("fileSlot");
    if (!slot.isValid())
        return false;
    run([this, i = slot.toInt()] {
        if (i == Attachment)
            m_form->files().attachmentNameFromPath();
        else
            m_form->files().nameFromPath(i);
    });
    return true;
}

} // namespace tawela::customers
