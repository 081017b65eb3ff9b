#pragma once

#include "platform/db/database.h"
#include "platform/db/table_info.h"

#include <QList>
#include <QString>

namespace tawela::app {

// The four databases of a shop and what each holds.
enum class DatabaseRole { Main, Customer, Archive, Personal };

QString roleName(DatabaseRole role);  // "main", "customer", ...
QString roleTitle(DatabaseRole role); // Thai, for messages

namespace schema {

constexpr int CurrentVersion = 5;

struct ColumnDef {
    QString name;
    platform::db::ColumnKind kind;
    bool autoKey = false; // INTEGER PRIMARY KEY AUTOINCREMENT
};

struct IndexDef {
    QString name;
    QStringList columns;
    bool unique = false;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    QList<IndexDef> indexes;
};

// The tables of one database, in creation order.
const QList<TableDef>& tables(DatabaseRole role);
// The definition of one table of a role (nullptr when it has none).
const TableDef* findTable(DatabaseRole role, const QString& name);

// Creates the tables and first rows of a new database, storing the role,
// the schema version and a hash of the database password. Idempotent on a
// database of the same role. Throws DbError.
void create(platform::db::Database& db, DatabaseRole role, const QString& password);

// Checks that an existing file is a database of this role opened with the
// right password, then brings it up to the current version: upgrade steps
// each in a transaction of their own, then any table, column, index or
// numbered row that an older database lacks. Throws DbError (unrecognized
// format, wrong password).
void openExisting(platform::db::Database& db, DatabaseRole role, const QString& password);

// Whether a database file (a backup's copy) is one of the role named
// ("main", …) with this password, reading only: empty when it is, else why.
QString checkCopy(const QString& path, const QString& role, const QString& password);

// Stores the hash of a new database password (the file must have been
// opened with the old one). Throws DbError.
void setPassword(platform::db::Database& db, const QString& password);

// A server copy the shop has moved away from (back to files): marked with
// when and from which computer, it is refused by openExisting from then on,
// so a counter still pointed at it cannot go on writing where nobody reads.
void markRetired(platform::db::Database& db, const QString& note);
// The mark's note; empty for a copy in use (or no copy at all).
QString retiredNote(const platform::db::Database& db);

// Fills an empty postal-code directory (Post_code) with every sub-district
// of Thailand the program ships; a directory with rows is left as the shop
// keeps it. Returns the rows added. Throws DbError.
int loadPostalDirectory(platform::db::Database& customer);

// The stored schema version (0 for a file without the program's marks).
int version(const platform::db::Database& db);

} // namespace schema
} // namespace tawela::app
