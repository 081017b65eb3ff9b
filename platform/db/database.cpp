#include "platform/db/database.h"

#include "platform/db/db_error.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace tawela::platform::db {

namespace {

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("tawela-db-") + QString::number(++counter);
}

} // namespace

Database::Database(QString connectionName, QString path)
    : m_connectionName(std::move(connectionName)), m_path(std::move(path))
{}

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

std::shared_ptr<Database> Database::open(const QString& path, OpenMode mode)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        throw DbError(error_number::InvalidPath, QStringLiteral("ไม่พบโฟลเดอร์ '") +
                                                     QDir::toNativeSeparators(info.absolutePath()) +
                                                     QStringLiteral("' ของแฟ้มฐานข้อมูล"));
    if (mode == OpenMode::ExistingOnly && !info.exists())
        throw DbError(error_number::FileNotFound,
                      QStringLiteral("ไม่พบแฟ้มฐานข้อมูล '") + QDir::toNativeSeparators(path) + u'\'');
    if (info.exists() && !info.isFile())
        throw DbError(error_number::CannotOpen,
                      QStringLiteral("'") + path + QStringLiteral("' ไม่ใช่แฟ้มฐานข้อมูล"));

    const QString name = nextConnectionName();
    std::shared_ptr<Database> database(new Database(name, info.absoluteFilePath()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(info.absoluteFilePath());
        // Other copies of the program may be writing: wait for them rather
        // than fail at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open())
            throw DbError::fromSql(db.lastError(), path, true);
    }
    // SQLite opens lazily; reading the catalogue tells a database from any other file.
    database->exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return database;
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& binds) const
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DbError::fromSql(query.lastError(), sql.left(200));
    for (const QVariant& v : binds)
        query.addBindValue(v);
    if (!query.exec())
        throw DbError::fromSql(query.lastError(), sql.left(200));
    return query;
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds) const
{
    QSqlQuery q = exec(sql, binds);
    if (q.next())
        return q.value(0);
    return QVariant();
}

bool Database::hasTable(const QString& name) const
{
    if (m_tables.contains(name.toLower()))
        return true;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

const TableInfo& Database::tableInfo(const QString& name) const
{
    const QString key = name.toLower();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd())
        return *it;
    if (!hasTable(name))
        throw DbError(error_number::TableNotFound,
                      QStringLiteral("ไม่พบตาราง ") + name + QStringLiteral(" ในฐานข้อมูล"));
    QSqlQuery q = exec(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), {name});
    QList<ColumnInfo> columns;
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(0).toString();
        c.kind = kindFromDeclaredType(q.value(1).toString());
        c.primaryKey = q.value(2).toInt() > 0;
        columns << c;
    }
    const QString realName =
        scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? "
                              "COLLATE NOCASE"),
               {name})
            .toString();
    return *m_tables.insert(key, TableInfo(realName, columns));
}

} // namespace tawela::platform::db
