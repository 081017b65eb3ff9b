#pragma once

#include "platform/error.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace tawela::platform {

// Why a copy failed, naming the file.
class CopyError : public Error {
public:
    using Error::Error;
};

// Bytes of the file copied so far.
using CopyProgress = std::function<void(qint64 bytes)>;

// A file that starts like an SQLite database.
bool isDatabaseFile(const QString& path);

// Copies a database file as one consistent state even while other copies
// of the program write to it (SQLite's online backup, the source held still
// for the copy), checks the copy (integrity check, and every table with as
// many rows as the source had) and only then puts it in place of `target`.
// Throws CopyError; `target` is then as it was.
void copyDatabaseFile(const QString& source, const QString& target,
                      const CopyProgress& progress = {});

// Writes the content of database `source` into the database file `target`
// in place (SQLite's backup into it, under its locks), so connections the
// program holds on `target` read the new content; then checks `target`.
// Throws CopyError.
void restoreDatabaseFile(const QString& source, const QString& target);

// Why a database file is not whole (its integrity check), empty when it is.
QString checkDatabaseFile(const QString& path);
// The rows of a table of a database file; -1 when it has no such table.
qint64 countRows(const QString& path, const QString& table);

// The tables of a database file with their row counts, by name. Throws
// CopyError (not a database, unreadable).
QList<QPair<QString, qint64>> tableRowCounts(const QString& path);

// SHA-256 of a file's bytes, read a megabyte at a time. Throws CopyError.
QByteArray sha256Of(const QString& path, const CopyProgress& progress = {});

// Renames `from` to `to` (same file system) in one step and makes the
// rename last through a power cut (the folder synced). Throws CopyError.
void moveDurably(const QString& from, const QString& to);

// Writes a file whole or not at all (a temporary copy renamed into place),
// readable by its owner only. Throws CopyError naming the file.
void writePrivateFile(const QString& path, const QByteArray& content);

// Copies any other file a megabyte at a time, put in place when complete.
// Throws CopyError; `target` is then as it was.
void copyPlainFile(const QString& source, const QString& target, const CopyProgress& progress = {});

} // namespace tawela::platform
