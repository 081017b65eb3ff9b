#include "customers/ui/customer_panel_views.h"

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

FilesPanelView::FilesPanelView(CustomerForm& form, FormBinding& binding, Runner run,
                               platform::ui::FileChooser choose, FileOpener openFile)
    : QGroupBox(QStringLiteral("รูปภาพ และ แฟ้มแนบ")), m_form(form), m_run(std::move(run)),
      m_choose(std::move(choose)), m_openFile(std::move(openFile))
{
    setObjectName(QStringLiteral("Frame_pictures"));
    setToolTip(QStringLiteral("กด dbl click ที่ frame เพื่อยก frame"));
    auto* g = new QGridLayout(this);
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
    Customer& c = m_form.customer;
    QString* paths[] = {&c.image1, &c.image2, &c.image3, &c.excelFile};
    QString* names[] = {&c.dtIm1, &c.dtIm2, &c.dtIm3, &c.excelName};
    for (int i = 0; i < 4; ++i) {
        const bool picture = i < Attachment;
        const QString n = QString::number(i + 1);
        const QString what = picture ? QStringLiteral("ภาพ ") + n : QStringLiteral("แฟ้ม Excel");
        const int row = i * 2 + 1;
        auto* path = captioned(new QLineEdit, QStringLiteral("ที่อยู่ของ") + what);
        path->setObjectName(picture ? QStringLiteral("image") + n : QStringLiteral("Excel_file"));
        auto* pathLabel = new QLabel(QStringLiteral("ที่อยู่") + what);
        pathLabel->setBuddy(path);
        g->addWidget(pathLabel, row, 0);
        g->addWidget(path, row, 1, 1, 6);
        auto* chooser = iconButton(QStringLiteral("cmdChoose%1").arg(i + 1), QStyle::SP_DirOpenIcon,
                                   QStringLiteral("เลือกแฟ้ม") + what);
        g->addWidget(chooser, row + 1, 0);
        int col = 1;
        if (picture) {
            m_scan[i] = iconButton(QStringLiteral("cmdScan%1").arg(i + 1), QStyle::SP_DriveHDIcon,
                                   QStringLiteral("สแกน") + what);
            m_webcam[i] =
                iconButton(QStringLiteral("cmdWebcam%1").arg(i + 1), QStyle::SP_ComputerIcon,
                           QStringLiteral("ถ่ายภาพจากกล้อง ") + what);
            for (QPushButton* b : {m_scan[i], m_webcam[i]}) {
                b->setEnabled(false);
                b->setToolTip(QStringLiteral("ยังไม่เปิดใช้ในรุ่นนี้"));
                g->addWidget(b, row + 1, col++);
            }
        }
        m_name[i] = captioned(new QLineEdit, QStringLiteral("ชื่อ") + what);
        m_name[i]->setObjectName(picture ? QStringLiteral("dt_im") + n
                                         : QStringLiteral("Excel_name"));
        m_name[i]->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใช้ชื่อแฟ้มจากที่อยู่"));
        m_name[i]->installEventFilter(this);
        g->addWidget(m_name[i], row + 1, col, 1, picture ? 2 : 4);
        col += picture ? 2 : 4;
        const QByteArray clearName = picture
                                         ? QByteArray("cmdClearPicture") + QByteArray::number(i + 1)
                                         : QByteArray("cmdClearExcel");
        auto* clear = button(clearName.constData(),
                             picture ? QStringLiteral("ลบภาพ") : QStringLiteral("ลบไฟล์"));
        g->addWidget(clear, row + 1, col++);
        QPushButton* view =
            picture ? iconButton(QStringLiteral("cmdView%1").arg(i + 1),
                                 QStyle::SP_FileDialogContentsView, QStringLiteral("ดู") + what)
                    : button("cmdOpenExcel", QStringLiteral("เปิดแฟ้ม Excel"));
        g->addWidget(view, row + 1, col);

        binding.text(path, *paths[i]);
        binding.text(m_name[i], *names[i]);
        CustomerFiles& files = m_form.files();
        connect(chooser, &QPushButton::clicked, this, [this, i, picture, &files] {
            const QString was = picture ? files.path(i) : m_form.customer.excelFile;
            const QString start = was.isEmpty() ? QDir::homePath() : QFileInfo(was).path();
            const std::optional<QString> chosen =
                picture
                    ? m_choose(QStringLiteral("กำหนดที่อยู่ของแฟ้มภาพ"), pictureFilters(),
                               int(pictureFilters().size()) - 1, start)
                    : m_choose(QStringLiteral("กำหนดที่อยู่ของ Excel"), attachmentFilters(), 1, start);
            m_run([&files, i, picture, chosen] {
                if (picture)
                    files.picked(i, chosen);
                else
                    files.attachmentPicked(chosen);
            });
        });
        connect(clear, &QPushButton::clicked, this, [this, i, picture, &files] {
            m_run([&files, i, picture] {
                if (picture)
                    files.clear(i);
                else
                    files.clearAttachment();
            });
        });
        connect(view, &QPushButton::clicked, this, [this, i, picture, &files] {
            show(picture ? files.view(i) : files.openAttachment());
        });
    }
    g->setColumnStretch(3, 1);
    g->setColumnStretch(4, 1);
}

void FilesPanelView::useCapture(platform::ui::CaptureOpener open)
{
    for (int i = 0; i < 3; ++i) {
        for (const bool webcam : {false, true}) {
            QPushButton* b = webcam ? m_webcam[i] : m_scan[i];
            b->setEnabled(bool(open));
            b->setToolTip(webcam ? QStringLiteral("ถ่ายภาพจากกล้อง") : QStringLiteral("สแกนภาพ"));
            connect(b, &QPushButton::clicked, this, [this, open, i, webcam] {
                QPointer<FilesPanelView> self = this;
                open(webcam, [self, i](const QString& path) {
                    if (self)
                        self->m_run([&self, i, path] { self->m_form.files().captured(i, path); });
                });
            });
        }
    }
}

void FilesPanelView::show(const CustomerForm::FileView& view)
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

void FilesPanelView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Between the top of the column and its foot.
    auto* column = parentWidget() ? qobject_cast<QBoxLayout*>(parentWidget()->layout()) : nullptr;
    if (!column)
        return QGroupBox::mouseDoubleClickEvent(event);
    const bool atTop = column->indexOf(this) == 0;
    column->removeWidget(this);
    column->insertWidget(atTop ? column->count() - 1 : 0, this);
}

bool FilesPanelView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonDblClick)
        return QGroupBox::eventFilter(watched, event);
    for (int i = 0; i < 4; ++i) {
        if (watched != m_name[i])
            continue;
        m_run([this, i] {
            if (i == Attachment)
                m_form.files().attachmentNameFromPath();
            else
                m_form.files().nameFromPath(i);
        });
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tawela::customers
