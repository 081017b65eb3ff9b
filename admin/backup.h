#pragma once

#include "platform/db/database.h"
#include "platform/ini_file.h"
#include "platform/prompt.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tawela::admin {

// What a backup copies, from tawela.ini: the files matching each
// [BackupFile] pattern in the data folder ([Path] drive), and the files of
// each [BackupDir] folder into a folder of the same name in the target.
struct BackupPlan {
    QString source; // ends with "/"
    QStringList patterns, folders;
};
// The plan of the file, or nullopt with the reason in Thai in *error (the
// file missing or unreadable).
std::optional<BackupPlan> readBackupPlan(const QString& iniPath, QString* error);

// One file the backup would copy.
struct BackupItem {
    QString source, target;
    qint64 bytes = 0;
    bool database = false;
};

// The copy itself. Files newer than the target's copy (or without one) are
// copied, over the old copy without asking; database files with SQLite's
// online backup, each checked before it replaces the old copy.
class Backup {
public:
    struct Progress {
        qint64 done = 0, total = 0; // bytes
        int file = 0, files = 0;
        QString current;
    };
    using Report = std::function<void(const Progress&)>;

    Backup(BackupPlan plan, QString target) : m_plan(std::move(plan)), m_target(std::move(target))
    {}

    // What would be copied now. Throws platform::CopyError (a target that
    // cannot be made).
    QList<BackupItem> pending() const;

    struct Result {
        int copied = 0, unchanged = 0;
        QString failure; // empty when every file was copied and checked
    };
    // Stops at the first file that fails (named in the failure).
    Result run(const Report& report = {}) const;

private:
    BackupPlan m_plan;
    QString m_target;
};

// "Backup Database": the target folder, the last backup's date, and
// "สำรองข้อมูล". The date is written only when every file was copied and
// checked.
class BackupForm {
public:
    BackupForm(std::shared_ptr<platform::db::Database> main, QString iniPath,
               platform::Prompt& prompt);

    // Reads the target and the last date; false (said) when they cannot be read.
    bool open();
    QString target;
    QDate lastBackup;

    // "สำรองข้อมูล" in two halves, so the screen can copy off its thread:
    // the backup to run (nullopt, said why, when none can), then its result.
    std::optional<Backup> prepare();
    // True when it was complete (said, and the date stored).
    bool finished(const Backup::Result& result, const QDate& today = QDate::currentDate());
    bool backUp(const Backup::Report& report = {}, const QDate& today = QDate::currentDate());

    // "เรียกคืนข้อมูล": only for employees with the "Restore" right. Shows
    // what the folder holds and asks; true when the restore was complete
    // (said; the program then starts again).
    bool restoreAllowed = false;
    bool restore(const QString& folder);

private:
    std::shared_ptr<platform::db::Database> m_main;
    QString m_iniPath;
    platform::Prompt& m_prompt;
};

} // namespace tawela::admin

namespace tawela::admin {

// What a backup folder holds of the plan: each file with its date, and the
// contracts of each contract database.
struct BackupEntry {
    QString name; // relative to the folder: "Morlind.mdb", "Images/a.jpg"
    QDateTime modified;
    qint64 bytes = 0;
    qint64 contracts = -1; // -1: no contract table in it
};
QList<BackupEntry> inspectBackup(const BackupPlan& plan, const QString& folder);

// Puts a backup back: every database of it checked first; the files it
// replaces copied aside into a dated folder; on any failure the files set
// aside are put back. Databases are written in place under their locks, so
// the program's open connections read the restored content (the program
// is started again afterwards to begin from it cleanly).
struct RestoreResult {
    int restored = 0;
    QString aside;   // where the replaced files were kept
    QString failure; // empty when it was complete
};
RestoreResult restoreBackup(const BackupPlan& plan, const QString& folder,
                            const QDateTime& now = QDateTime::currentDateTime());

} // namespace tawela::admin
