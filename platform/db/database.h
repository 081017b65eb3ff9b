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
    ExistingOnly,    // a missing file is an error (sign-in)
    CreateIfMissing, // first-use setup and the admin tool
};

// One open database file. Shared by pointer: a record set keeps the
// connection it was opened on alive even after the program re-opens its
// connections, the way a result set keeps its own connection.
class Database {
public:
    // Throws DbError: file not found, invalid folder, not a database, locked.
    static std::shared_ptr<Database> open(const QString& path, OpenMode mode);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return m_path; }
    QSqlDatabase connection() const;

    // Prepares, binds every value and runs a statement; throws DbError.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {}) const;

    bool hasTable(const QString& name) const;
    // Cached; throws DbError when the table does not exist.
    const TableInfo& tableInfo(const QString& name) const;
    // After a change of the schema.
    void forgetTableInfo() const { m_tables.clear(); }

private:
    friend class Transaction;
    Database(QString connectionName, QString path);

    QString m_connectionName;
    QString m_path;
    mutable QHash<QString, TableInfo> m_tables;
    int m_transactionDepth = 0; // kept by Transaction to nest through savepoints
};

} // namespace tawela::platform::db
