#include "admin/ui/backup_screen.h"

#include "platform/ui/screen_parts.h"
#include "text/thai_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QThread>
#include <QVBoxLayout>

namespace tawela::admin {

using platform::ui::button;
using platform::ui::captioned;

namespace {

QString askForFolder(const QString& start)
{
    QFileDialog dialog(nullptr, QStringLiteral("เลือกโฟลเดอร์ที่เก็บไฟล์ Backup"), start);
    platform::ui::thaiLabels(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("โฟลเดอร์"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

BackupScreen::BackupScreen(std::unique_ptr<BackupForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("Backup"));
    setWindowTitle(QStringLiteral("Backup Database"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_form->open();
    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    // The drives: this computer's mounted volumes, USB sticks among them.
    m_drive = captioned(new QComboBox, QStringLiteral("Drive"));
    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->addItem(QStringLiteral("(เลือกไดรฟ์)"), QString());
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady() || s.isReadOnly())
            continue;
        const QString name = s.displayName() == s.rootPath()
                                 ? s.rootPath()
                                 : s.displayName() + QStringLiteral(" (") + s.rootPath() + u')';
        m_drive->addItem(name, s.rootPath());
    }
    k->addRow(QStringLiteral("Drive"), m_drive);
    m_path = captioned(new QLineEdit, QStringLiteral("Path ที่เก็บไฟล์ Backup"));
    m_path->setObjectName(QStringLiteral("txtPath"));
    m_path->setText(m_form->target);
    QPushButton* browse = button("cmdBrowse", QStringLiteral("เลือกโฟลเดอร์…"));
    platform::ui::captionedRow(k, QStringLiteral("Path ที่เก็บไฟล์ Backup"), {m_path, browse});
    m_last = new QLabel(m_form->lastBackup.isValid() ? text::buddhistDateText(m_form->lastBackup)
                                                     : QStringLiteral("ยังไม่เคยสำรองข้อมูล"));
    m_last->setObjectName(QStringLiteral("lblLastBackup"));
    k->addRow(QStringLiteral("สำรองข้อมูลล่าสุดเมื่อ"), m_last);
    v->addLayout(k);
    m_notice = new QLabel(QStringLiteral("กำลังสำรองข้อมูล  โปรดรอสักครู่"));
    m_notice->setObjectName(QStringLiteral("lblNotice"));
    m_notice->hide();
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("ความคืบหน้าการสำรองข้อมูล"));
    m_progress->hide();
    m_file = new QLabel;
    m_file->setObjectName(QStringLiteral("lblFile"));
    m_file->setWordWrap(true);
    v->addWidget(m_notice);
    v->addWidget(m_progress);
    v->addWidget(m_file);
    m_backup = button("cmdBackup", QStringLiteral("สำรองข้อมูล"));
    m_backup->setToolTip(QStringLiteral("จาก คอมพ์ ลง Diskette"));
    m_back = button("cmdBack", QStringLiteral("กลับเมนูหลัก"));
    QPushButton* restore = m_restore = button("cmdRestore", QStringLiteral("เรียกคืนข้อมูล (Restore)"));
    restore->setToolTip(QStringLiteral("นำข้อมูลจากโฟลเดอร์สำรองกลับมาใช้ ข้อมูลปัจจุบันจะเก็บแยกไว้ก่อน"));
    restore->setVisible(m_form->restoreAllowed);
    auto* row = new QHBoxLayout;
    row->addWidget(restore);
    row->addStretch(1);
    row->addWidget(m_backup);
    row->addWidget(m_back);
    v->addLayout(row);
    v->addStretch(1);
    resize(560, sizeHint().height());

    connect(m_drive, &QComboBox::activated, this, [this](int i) {
        const QString root = m_drive->itemData(i).toString();
        if (!root.isEmpty())
            m_path->setText(QDir::toNativeSeparators(root));
    });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString start = m_path->text().isEmpty() ? QDir::homePath() : m_path->text();
        const QString chosen =
            (m_chooseFolder ? m_chooseFolder : FolderChooser(askForFolder))(start);
        if (!chosen.isEmpty())
            m_path->setText(QDir::toNativeSeparators(chosen));
    });
    connect(m_backup, &QPushButton::clicked, this, &BackupScreen::backUp);
    connect(restore, &QPushButton::clicked, this, &BackupScreen::restore);
    connect(m_back, &QPushButton::clicked, this, &QWidget::close);
}

void BackupScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_backup->setFocus();
}

void BackupScreen::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore(); // the copy must finish and be said
        return;
    }
    event->accept();
}

void BackupScreen::showProgress(const Backup::Progress& p)
{
    m_progress->setValue(p.total > 0 ? int(p.done * 1000 / p.total) : 1000);
    m_file->setText(p.files ? QStringLiteral("แฟ้มที่ %1 จาก %2: %3")
                                  .arg(p.file)
                                  .arg(p.files)
                                  .arg(QDir::toNativeSeparators(p.current))
                            : QString());
}

void BackupScreen::runAside(const QString& notice, std::function<void()> work,
                            std::function<void()> done)
{
    m_running = true;
    m_notice->setText(notice);
    m_notice->show();
    m_backup->setEnabled(false);
    m_back->setEnabled(false);
    m_restore->setEnabled(false);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->show();
    QThread* thread = QThread::create(std::move(work));
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, done = std::move(done)] {
        m_running = false;
        m_progress->hide();
        m_notice->hide();
        m_file->clear();
        m_backup->setEnabled(true);
        m_back->setEnabled(true);
        m_restore->setEnabled(true);
        done();
    });
    thread->start();
}

// Progress from the copying thread, shown on the screen's.
Backup::Report BackupScreen::reporter()
{
    QPointer<BackupScreen> self = this;
    return [self](const Backup::Progress& p) {
        QMetaObject::invokeMethod(
            qApp,
            [self, p] {
                if (self)
                    self->showProgress(p);
            },
            Qt::QueuedConnection);
    };
}

void BackupScreen::backUp()
{
    m_form->target = m_path->text();
    m_notice->setText(QStringLiteral("กำลังสำรองข้อมูล  โปรดรอสักครู่"));
    m_notice->show();
    std::optional<Backup> job = m_form->prepare();
    if (!job) {
        m_notice->hide();
        return;
    }
    auto result = std::make_shared<Backup::Result>();
    runAside(
        QStringLiteral("กำลังสำรองข้อมูล  โปรดรอสักครู่"),
        [job = std::move(*job), result, report = reporter()] { *result = job.run(report); },
        [this, result] { m_form->finished(*result); });
}

void BackupScreen::restore()
{
    const QString start = m_path->text().isEmpty() ? QDir::homePath() : m_path->text();
    const QString folder = (m_chooseFolder ? m_chooseFolder : FolderChooser(askForFolder))(start);
    if (folder.isEmpty())
        return;
    // First every file of the set is read and checked, then asked, then
    // copied beside the live files and checked again: all off the screen.
    auto found = std::make_shared<BackupForm::Inspection>();
    BackupForm* form = m_form.get();
    runAside(
        QStringLiteral("กำลังตรวจชุดสำรอง  โปรดรอสักครู่"),
        [form, folder, found] { *found = form->inspect(folder); },
        [this, form, found] {
            if (!form->confirm(*found))
                return;
            auto outcome = std::make_shared<std::optional<RestoreOutcome>>();
            auto failure = std::make_shared<QString>();
            const Backup::Report report = reporter();
            runAside(
                QStringLiteral("กำลังเรียกคืนข้อมูล  โปรดรอสักครู่"),
                [form, found, outcome, failure, report] {
                    try {
                        *outcome = form->restoreInspected(*found, false, [&](qint64 d, qint64 t) {
                            Backup::Progress p;
                            p.done = d;
                            p.total = t;
                            report(p);
                        });
                    } catch (const platform::Error& e) {
                        *failure = e.description();
                    }
                },
                [this, form, outcome, failure] {
                    if (form->restoreDone(*outcome, *failure, false) && m_afterRestore)
                        m_afterRestore();
                });
        });
}

} // namespace tawela::admin
