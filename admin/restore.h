#pragma once

#include "admin/backup_set.h"
#include "platform/error.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace tawela::admin {

// Why a restore could not be made; the shop's files are as they were.
class RestoreError : public platform::Error {
public:
    using Error::Error;
};

// A folder a set must never come from: the shop's own data or home folder
// (the set would be copied onto itself). Empty when the folder may be used.
QString refusedSource(const ShopFiles& shop, const QString& folder);

// The manifest of a set written before sets had one (files of the folder by
// their names, checksums taken now): it can be restored, after the person
// was told that nothing proves it whole. nullopt (with *error) when it
// lacks the main or the customer database.
std::optional<Manifest> manifestOfOldSet(const QString& folder, const ShopFiles& shop,
                                         const QStringList& patterns, const QStringList& folders,
                                         QString* error);

// Puts a set back, all or nothing:
//  1. every file of the set is copied beside the live file it replaces
//     ("….tawela-restore") and the copy checked against the manifest;
//     tawela.ini is written the same way with the set's password and lists;
//  2. then a mark in the home folder (tawela-restore.json) lists the steps;
//  3. then each live file is moved into the aside folder and its copy put
//     in its place, and the mark removed.
// A kill anywhere leaves either the old files whole (before the mark says
// "swap") or a mark that finishInterruptedRestore() carries to the end.
// `swapNow` false stops after step 2: the swap is made by the next start,
// when no connection of this run holds the old files any more.
struct RestoreOutcome {
    int files = 0;
    QString aside; // where the replaced files are kept
};
using RestoreProgress = std::function<void(qint64 done, qint64 total)>;
RestoreOutcome restoreSet(const ShopFiles& shop, const QString& folder, const Manifest& manifest,
                          const DatabaseCheck& check, bool swapNow,
                          const QDateTime& now = QDateTime::currentDateTime(),
                          const RestoreProgress& progress = {});

inline const QString RestoreMarkName = QStringLiteral("tawela-restore.json");

// At start, before any database is opened: a restore left half done by a
// kill or a power cut is finished (its copies were checked before it began
// to swap) or, when it had not begun to swap, its copies are removed. The
// message says what was done; empty when there was nothing to do. Throws
// RestoreError when it cannot be finished (the program must not start).
QString finishInterruptedRestore(const QString& home);

} // namespace tawela::admin
