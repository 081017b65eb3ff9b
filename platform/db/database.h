#pragma once

#include "platform/db/table_info.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

namespace tawela::platform::db {

enum class OpenMode {
    ExistingOnly,    // a missing file (or schema on the server) is an error (sign-in)
    CreateIfMissing, // first-use setup and the admin tool
};

// Where a shop's shared database server is, and which of its schemas holds
// one database of the shop (main, customer and archive live side by side in
// one server database, so a move between them is one transaction).
struct ServerAddress {
    QString host; // a host name, an address, or the folder of a Unix socket
    int port = 5432;
    QString database;
    QString user;
    QString password; // empty: the server's own means (~/.pgpass, peer)
    QString schema;

    // "user@host:port/database", for messages and the log (never the password).
    QString display() const;
};

// A column as the schema describes it, for creating tables on either engine.
struct ColumnSpec {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool autoKey = false; // a counter the database fills in
};

// One open database: a SQLite file, or one schema on the server. Shared by
// pointer: a record set keeps the connection it was opened on alive even
// after the program re-opens its connections, the way a result set keeps its
// own connection.
class Database {
public:
    // Throws DbError: file not found, invalid folder, not a database, locked.
    static std::shared_ptr<Database> open(const QString& path, OpenMode mode);
    // Connects to the server and works in the address's schema (made when
    // missing under CreateIfMissing). Throws DbError: the server cannot be
    // reached, refuses the user, or has no such schema.
    static std::shared_ptr<Database> openServer(const ServerAddress& address, OpenMode mode);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The file, or the server's address with the schema, for messages.
    const QString& path() const { return m_path; }
    Backend backend() const { return m_dialect.backend; }
    const Dialect& dialect() const { return m_dialect; }
    bool isServer() const { return backend() == Backend::Postgres; }
    // Inside a Transaction of this connection.
    bool inTransaction() const { return m_transactionDepth > 0; }
    const ServerAddress& server() const { return m_server; }
    QSqlDatabase connection() const;

    // Prepares, binds every value and runs a statement; throws DbError. On
    // the server a lost connection is made again at the next statement.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {}) const;
    // The same for a statement run many times over (an import's lookups and
    // writes): prepared once on this connection and kept for the next call.
    QVariant scalarRepeated(const QString& sql, const QVariantList& binds = {}) const;
    // Every column of the first row (empty without one), the same way.
    QVariantList rowRepeated(const QString& sql, const QVariantList& binds = {}) const;
    // Runs an INSERT and gives the new row's key (its rowid).
    qint64 insert(const QString& sql, const QVariantList& binds = {}) const;

    // Inside a transaction: makes every other writer that asks the same wait
    // until it ends, so that a read-then-write step (a running number, a
    // stale-copy check) never interleaves with another counter's. SQLite's
    // transactions hold the file's write lock already; the server locks the
    // table's rows.
    void lockForWriting(const QString& table) const;

    bool hasTable(const QString& name) const;
    bool hasIndex(const QString& name) const;
    // The program's tables and everything else in the file or schema.
    QStringList tableNames() const;
    // Cached; throws DbError when the table does not exist.
    const TableInfo& tableInfo(const QString& name) const;
    // After a change of the schema.
    void forgetTableInfo() const { m_tables.clear(); }

    // Table definitions in this engine's terms. On the server every table
    // gets a "rowid" counter, the key SQLite gives every row by itself.
    void createTable(const QString& name, const QList<ColumnSpec>& columns) const;
    // A copy of the table's columns, empty, that only this connection sees
    // and that hides the shared table from it under the same name: scratch
    // rows of one person's work that another computer must not overwrite.
    // Gone when the connection closes; kept when it exists already.
    void createSessionCopy(const QString& table) const;
    void addColumn(const QString& table, const ColumnSpec& column) const;
    void createIndex(const QString& name, const QString& table, const QStringList& columns,
                     bool unique, const QString& where = QString()) const;

private:
    friend class Transaction;
    Database(QString connectionName, QString path, Dialect dialect);
    QString columnSql(const ColumnSpec& c) const;
    // The columns of a table definition, with the server's row key first.
    QString columnsSql(const QList<ColumnSpec>& columns) const;
    void keepSpelling(const QString& table, const QString& column) const;
    // The server's domains and collation the table definitions use, made
    // once per connection when missing.
    void ensureServerTypes() const;
    void reconnect() const;
    // Runs a kept statement; the rows are read before the next call.
    QSqlQuery* runRepeated(const QString& sql, const QVariantList& binds) const;

    QString m_connectionName;
    QString m_path;
    Dialect m_dialect;
    ServerAddress m_server;
    mutable bool m_lost = false; // the server connection broke: make it again
    mutable bool m_typesReady = false;
    mutable QHash<QString, TableInfo> m_tables;
    mutable QHash<QString, std::shared_ptr<QSqlQuery>> m_repeated;
    int m_transactionDepth = 0; // kept by Transaction to nest through savepoints
};

} // namespace tawela::platform::db
