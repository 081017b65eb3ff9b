#pragma once

#include "admin/backup_set.h"
#include "admin/restore.h"
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
    QString idCardReader, fakeProduct; // [Config_Setting], kept in the set's manifest
};
// The plan of the file, or nullopt with the reason in Thai in *error (the
// file missing or unreadable).
std::optional<BackupPlan> readBackupPlan(const QString& iniPath, QString* error);

// One file the backup would copy.
struct BackupItem {
    QString source, target;
    QString name, role; // in the set (see SetFile)
    qint64 bytes = 0;
    bool database = false;
    bool pending = true; // newer than the set's copy, or not there
};

// A backup set: the plan's files and folders, and always the shop's four
// databases, its tawela.ini, report definitions and mail account, copied
// into the target. Files newer than the target's copy (or without one) are
// copied, over the old copy without asking; database files with SQLite's
// online backup, each checked before it replaces the old copy. The manifest
// is written last, after every file was copied and read back; while the
// backup runs the set carries the mark of an unfinished one.
class Backup {
public:
    struct Progress {
        qint64 done = 0, total = 0; // bytes
        int file = 0, files = 0;
        QString current;
    };
    using Report = std::function<void(const Progress&)>;

    Backup(BackupPlan plan, QString target, ShopFiles shop)
        : m_plan(std::move(plan)), m_target(std::move(target)), m_shop(std::move(shop))
    {}

    // Every file of the set, pending ones marked. Throws platform::CopyError
    // (a target that cannot be made).
    QList<BackupItem> items() const;
    QList<BackupItem> pending() const;

    struct Result {
        int copied = 0, unchanged = 0;
        QString failure; // empty when every file was copied and checked
    };
    // Stops at the first file that fails (named in the failure).
    Result run(const Report& report = {}) const;

private:
    // A shop on a server: its three schemas, dumped into the set. Throws
    // platform::Error.
    QList<SetFile> dumpServer(const QString& folder) const;

    BackupPlan m_plan;
    QString m_target;
    ShopFiles m_shop;
};

// "Backup Database": the target folder, the last backup's date, and
// "สำรองข้อมูล". The date is written only when every file was copied and
// checked.
class BackupForm {
public:
    BackupForm(std::shared_ptr<platform::db::Database> main, ShopFiles shop, DatabaseCheck check,
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

    // "เรียกคืนข้อมูล": only for employees with the "Restore" right. In
    // three parts, so the screen can read the set off its thread:
    //   inspect (reads every byte, asks nothing),
    //   confirm (what is wrong said, or what the set holds asked),
    //   restoreInspected (copies and checks, then puts in place; the swap
    //   is left to the end of the run when `swapNow` is false).
    bool restoreAllowed = false;
    struct Inspection {
        QString folder;
        std::optional<Manifest> manifest;
        QStringList problems;
        bool oldSet = false; // a set made before sets had a manifest
    };
    Inspection inspect(const QString& folder) const;
    bool confirm(const Inspection& found);
    // Throws RestoreError; called off the screen's thread.
    RestoreOutcome restoreInspected(const Inspection& found, bool swapNow,
                                    const RestoreProgress& progress = {}) const;
    // Says the outcome: true when the restore was complete (the program then ends).
    bool restoreDone(const std::optional<RestoreOutcome>& done, const QString& failure,
                     bool swapNow);
    // All three in one, the swap made at once (the program's connections
    // must be closed before it reads the files again).
    bool restore(const QString& folder, bool swapNow = true);

private:
    std::shared_ptr<platform::db::Database> m_main;
    ShopFiles m_shop;
    DatabaseCheck m_check;
    platform::Prompt& m_prompt;
};

} // namespace tawela::admin
