#pragma once

#include "admin/backup.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tawela::admin {

// "Backup Database": where to, the last backup, and "สำรองข้อมูล", which
// copies off the screen's thread with its progress per file and megabyte.
class BackupScreen : public QWidget {
    Q_OBJECT
public:
    // The folder dialog: the folder chosen, empty when cancelled.
    using FolderChooser = std::function<QString(const QString& start)>;

    explicit BackupScreen(std::unique_ptr<BackupForm> form, QWidget* parent = nullptr);
    BackupForm& form() { return *m_form; }
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    bool running() const { return m_running; }
    // After a complete restore (the program starts again).
    void setAfterRestore(std::function<void()> done) { m_afterRestore = std::move(done); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void backUp();
    void restore();
    // Runs `work` on a thread of its own with the commands off and the
    // notice shown, then `done` on the screen's thread.
    void runAside(const QString& notice, std::function<void()> work, std::function<void()> done);
    Backup::Report reporter();
    void showProgress(const Backup::Progress& p);

    std::unique_ptr<BackupForm> m_form;
    QComboBox* m_drive;
    QLineEdit* m_path;
    QLabel *m_last, *m_notice, *m_file;
    QProgressBar* m_progress;
    QPushButton *m_backup, *m_back, *m_restore;
    FolderChooser m_chooseFolder;
    std::function<void()> m_afterRestore;
    bool m_running = false;
};

} // namespace tawela::admin
