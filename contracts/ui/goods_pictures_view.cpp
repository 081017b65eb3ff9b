#include "contracts/ui/goods_pictures_view.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace tawela::contracts {

using platform::ui::captioned;

GoodsPicturesView::GoodsPicturesView(ContractForm& form, Runner run, QWidget* owner)
    : QObject(owner), m_form(form), m_run(std::move(run))
{}

void GoodsPicturesView::addRows(QFormLayout* into)
{
    const char* pathNames[] = {"Text8", "Text9", "Text12"};
    const char* captionNames[] = {"Text16", "Text17", "Text18"};
    for (int i = 0; i < 3; ++i) {
        Slot& p = m_slots[i];
        const QString n = QString::number(i + 1);
        p.path = captioned(new QLineEdit, QStringLiteral("ที่อยู่ภาพที่ ") + n);
        p.path->setObjectName(QLatin1String(pathNames[i]));
        p.caption = captioned(new QLineEdit, QStringLiteral("ชื่อภาพที่ ") + n);
        p.caption->setObjectName(QLatin1String(captionNames[i]));
        p.caption->setPlaceholderText(QStringLiteral("-"));
        p.caption->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใช้ชื่อแฟ้มจากที่อยู่"));
        p.caption->setMaximumWidth(110);
        p.path->setMinimumWidth(160);
        p.caption->installEventFilter(this);
        // A small command named after its purpose and slot ("cmdPicScan2").
        auto small = [&](const char* purpose, const QString& caption, const QString& spoken) {
            QPushButton* b = platform::ui::button("", caption);
            b->setObjectName(QLatin1String(purpose) + n);
            b->setAccessibleName(spoken + n);
            b->setToolTip(spoken + n);
            b->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
            b->setMaximumWidth(64);
            return b;
        };
        p.choose = small("cmdPicFile", QStringLiteral("…"), QStringLiteral("เลือกแฟ้มภาพที่ "));
        p.scan = small("cmdPicScan", QStringLiteral("สแกน"), QStringLiteral("สแกนภาพที่ "));
        p.webcam = small("cmdPicCam", QStringLiteral("กล้อง"), QStringLiteral("ถ่ายภาพที่ "));
        p.view = small("cmdPicView", QStringLiteral("ดู"), QStringLiteral("ดูภาพที่ "));
        p.remove = small("cmdPicDel", QStringLiteral("ลบภาพ"), QStringLiteral("ลบภาพที่ "));
        p.scan->setEnabled(false);
        p.webcam->setEnabled(false);
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(p.path, 1);
        row->addWidget(p.caption);
        for (QPushButton* b : {p.choose, p.scan, p.webcam, p.view, p.remove})
            row->addWidget(b);
        auto* label = new QLabel(QStringLiteral("ภาพที่ ") + n);
        label->setBuddy(p.path);
        into->addRow(label, row);

        connect(p.choose, &QPushButton::clicked, this, [this, i] {
            // The picture kinds this computer opens, all of them shown first;
            // the first slot also takes Photoshop files.
            const QStringList filters = platform::ui::pictureFilters({}, i == 0);
            const QString was = m_form.pictures().path(i);
            const auto path =
                (m_chooseFile ? m_chooseFile : platform::ui::FileChooser(platform::ui::askForFile))(
                    QStringLiteral("กำหนดที่อยู่ของแฟ้มภาพ"), filters, int(filters.size()) - 1,
                    was.isEmpty() ? QDir::homePath() : QFileInfo(was).path());
            m_run([this, i, path] { m_form.pictures().picked(i, path); });
        });
        connect(p.view, &QPushButton::clicked, this, [this, i] {
            const QString path = m_form.pictures().path(i);
            if (path.isEmpty())
                return;
            auto* viewer = new platform::ui::PictureViewer(path);
            viewer->showFullScreen();
        });
        connect(p.remove, &QPushButton::clicked, this,
                [this, i] { m_run([this, i] { m_form.pictures().clear(i); }); });
    }
}

void GoodsPicturesView::useCapture(platform::ui::CaptureOpener open)
{
    for (int i = 0; i < 3; ++i) {
        for (const bool webcam : {false, true}) {
            QPushButton* b = webcam ? m_slots[i].webcam : m_slots[i].scan;
            b->setEnabled(bool(open));
            connect(b, &QPushButton::clicked, this, [this, open, i, webcam] {
                QPointer<GoodsPicturesView> self = this;
                open(webcam, [self, i](const QString& path) {
                    if (self)
                        self->m_run([self, i, path] { self->m_form.pictures().captured(i, path); });
                });
            });
        }
    }
}

void GoodsPicturesView::bind(platform::FormBinding& b)
{
    Contract& c = m_form.contract;
    QString* paths[] = {&c.image1, &c.image2, &c.image3};
    QString* captions[] = {&c.dtIm1, &c.dtIm2, &c.dtIm3};
    for (int i = 0; i < 3; ++i) {
        b.text(m_slots[i].path, *paths[i]);
        b.text(m_slots[i].caption, *captions[i]);
    }
}

bool GoodsPicturesView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        for (int i = 0; i < 3; ++i)
            if (watched == m_slots[i].caption) {
                m_run([this, i] { m_form.pictures().nameFromPath(i); });
                return true;
            }
    return QObject::eventFilter(watched, event);
}

} // namespace tawela::contracts
