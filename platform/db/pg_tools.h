#pragma once

#include "platform/db/database.h"

#include <QHash>
#include <QString>

namespace tawela::platform::db {

// PostgreSQL's own copy tools (pg_dump, pg_restore, psql from Debian's
// postgresql-client) for the backup of a shop kept on a server. Failures
// throw DbError with the tool's words.

// The rows of every table of a schema, read in the snapshot of `db` (a
// connection inside a REPEATABLE READ transaction).
QHash<QString, qint64> schemaRowCounts(Database& db, const QString& schema);

// Writes one schema in pg_dump's custom format to `file`, seeing what the
// exported `snapshot` sees (empty: its own).
void dumpSchema(const ServerAddress& server, const QString& schema, const QString& snapshot,
                const QString& file);

// Empty when pg_restore can read the dump's table of contents, else why.
QString dumpProblem(const QString& file);

// Loads a dump of schema `from` into the new schema `to` (dropped first
// when a stopped load left one), in one transaction: the schema's name is
// changed wherever the dump's statements name it, never in its rows.
void loadDumpAs(const ServerAddress& server, const QString& file, const QString& from,
                const QString& to);

// One schema's name replaced in a statement line of a dump (a whole name,
// quoted or not); for loadDumpAs.
QByteArray renamedSchema(const QByteArray& line, const QByteArray& from, const QByteArray& to);

} // namespace tawela::platform::db
