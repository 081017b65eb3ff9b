#include "platform/db/database.h"

#include "platform/db/db_error.h"
#include "platform/db/statement_deadline.h"
#include "platform/log.h"

#include <sqlite3.h>

#include <chrono>
#include <optional>

#include <QAtomicInteger>
#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

namespace tawela::platform::db {

namespace {

// How long a server has to answer a statement of data before the connection
// counts as lost (above the 10 s a lock is waited for).
constexpr std::chrono::milliseconds AnswerLimit{12000};

// A failed statement; a lost server is told by its address, not by the statement.
DbError statementError(const Database& db, const QSqlError& error, const QString& sql)
{
    DbError e = DbError::fromSql(error, sql.left(200), false, db.backend());
    if (e.number() == error_number::ServerLost && db.isServer())
        return DbError(error_number::ServerLost, serverLostText(db.server().display()));
    return e;
}

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("tawela-db-") + QString::number(++counter);
}

// A name as the schema spells it: SQLite keeps the spelling (it shows in
// its catalogue), the server keeps every name of ours in lower case.
QString definitionName(Backend backend, const QString& name)
{
    QString escaped = backend == Backend::Postgres ? name.toLower() : name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

// The server's kinds of column, told apart by their types and by the two
// domains the program defines for money and yes/no.
ColumnKind kindOnServer(const QString& dataType, const QString& domain)
{
    if (domain.compare(QLatin1String("currency"), Qt::CaseInsensitive) == 0)
        return ColumnKind::Decimal;
    if (domain.compare(QLatin1String("yesno"), Qt::CaseInsensitive) == 0)
        return ColumnKind::Boolean;
    const QString t = dataType.toLower();
    if (t == QLatin1String("date"))
        return ColumnKind::Date;
    if (t.startsWith(QLatin1String("time without")) || t == QLatin1String("time"))
        return ColumnKind::Time;
    if (t.startsWith(QLatin1String("timestamp")))
        return ColumnKind::DateTime;
    if (t == QLatin1String("bytea"))
        return ColumnKind::Blob;
    if (t == QLatin1String("bigint") || t == QLatin1String("integer") ||
        t == QLatin1String("smallint"))
        return ColumnKind::Integer;
    return ColumnKind::Text;
}

// Thai dictionary order, letter case ignored: what the server's text
// columns compare by, for the sorts that ask for it here ("COLLATE thai").
int thaiCompare(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Thai, QLocale::Thailand));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const QStringView left(static_cast<const char16_t*>(a), lengthA / 2);
    const QStringView right(static_cast<const char16_t*>(b), lengthB / 2);
    const int order = collator.compare(left, right);
    // Texts the collation calls equal still sort the same way every time.
    return order != 0 ? order : left.compare(right);
}

void registerThaiOrder(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (auto* h = *static_cast<sqlite3* const*>(handle.constData()))
        sqlite3_create_collation(h, "thai", SQLITE_UTF16, nullptr, thaiCompare);
}

} // namespace

namespace {

// The trace of one statement, when a technician asked for it: where, how
// long, how many values (never the values: they are the customers' data).
class StatementTrace {
public:
    StatementTrace(const QString& where, const QString& sql, qsizetype values)
        : m_where(where), m_sql(sql), m_values(values)
    {
        if (log::db().isDebugEnabled())
            m_clock.start();
    }
    ~StatementTrace()
    {
        if (m_clock.isValid())
            qCDebug(log::db).noquote()
                << m_where << QString::number(double(m_clock.nsecsElapsed()) / 1e6, 'f', 2) << "ms"
                << m_values << "values" << (m_failed ? "FAILED" : "") << m_sql.simplified();
    }
    StatementTrace(const StatementTrace&) = delete;
    StatementTrace& operator=(const StatementTrace&) = delete;
    void failed() { m_failed = true; }

private:
    const QString& m_where;
    const QString& m_sql;
    qsizetype m_values;
    QElapsedTimer m_clock;
    bool m_failed = false;
};

} // namespace

QString ServerAddress::display() const
{
    return user + u'@' + host + u':' + QString::number(port) + u'/' + database;
}

Database::Database(QString connectionName, QString path, Dialect dialect)
    : m_connectionName(std::move(connectionName)), m_path(std::move(path)), m_dialect(dialect)
{}

Database::~Database()
{
    m_repeated.clear(); // statements go before their connection
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
    std::shared_ptr<Database> database(new Database(name, info.absoluteFilePath(), Dialect{}));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(info.absoluteFilePath());
        // Other copies of the program may be writing: wait for them rather
        // than fail at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open())
            throw DbError::fromSql(db.lastError(), path, true);
        registerThaiOrder(db);
    }
    // SQLite opens lazily; reading the catalogue tells a database from any other file.
    database->exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return database;
}

std::shared_ptr<Database> Database::openServer(const ServerAddress& address, OpenMode mode)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw DbError(error_number::CannotOpen,
                      QStringLiteral("เครื่องนี้ยังไม่มีส่วนต่อฐานข้อมูล PostgreSQL ของ Qt "
                                     "(แพ็กเกจ libqt6sql6-psql) กรุณาติดตั้งก่อน"));
    const QString name = nextConnectionName();
    std::shared_ptr<Database> database(
        new Database(name, address.display() + u'#' + address.schema, Dialect{Backend::Postgres}));
    database->m_server = address;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setDatabaseName(address.database);
        db.setUserName(address.user);
        if (!address.password.isEmpty())
            db.setPassword(address.password);
        // A network that goes silent is noticed: keepalives on an idle
        // connection, tcp_user_timeout on data the other end never took.
        db.setConnectOptions(QStringLiteral(
            "connect_timeout=5;application_name=Tawela;keepalives=1;keepalives_idle=5;"
            "keepalives_interval=2;keepalives_count=3;tcp_user_timeout=10000"));
        if (!db.open())
            throw DbError::fromSql(db.lastError(), address.display(), true, Backend::Postgres);
    }
    const bool exists =
        database
            ->scalar(QStringLiteral(
                         "SELECT count(*) FROM information_schema.schemata WHERE schema_name = ?"),
                     {address.schema.toLower()})
            .toLongLong() > 0;
    if (!exists) {
        if (mode == OpenMode::ExistingOnly)
            throw DbError(error_number::FileNotFound,
                          QStringLiteral("ไม่พบฐานข้อมูล '") + address.schema +
                              QStringLiteral("' บนเครื่องแม่ข่าย ") + address.display());
        database->exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") +
                       definitionName(Backend::Postgres, address.schema));
    }
    database->reconnect();
    return database;
}

void Database::reconnect() const
{
    m_repeated.clear();
    QSqlDatabase db = connection();
    if (m_lost) {
        // Inside a unit of work the rows written before the break are gone
        // with the old session: the unit fails whole, and only the next one
        // starts on a new connection.
        if (m_transactionDepth > 0)
            throw DbError(error_number::ServerLost, serverLostText(m_server.display()));
        db.close();
        if (!db.open()) {
            m_lost = true;
            throw DbError::fromSql(db.lastError(), m_server.display(), true, Backend::Postgres);
        }
    }
    m_lost = false;
    // Names without a schema are the role's; waits for another counter's
    // lock as long as SQLite would.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET search_path TO ") +
                definitionName(Backend::Postgres, m_server.schema)) ||
        !q.exec(QStringLiteral("SET lock_timeout = '10s'")) ||
        // A counter that vanished mid-save (its network gone) leaves no
        // locks behind for long: the server ends its open transaction, and
        // its keepalives find the dead peer.
        !q.exec(QStringLiteral("SET idle_in_transaction_session_timeout = '10s'")) ||
        !q.exec(QStringLiteral("SET tcp_keepalives_idle = 5")) ||
        !q.exec(QStringLiteral("SET tcp_keepalives_interval = 2")) ||
        !q.exec(QStringLiteral("SET tcp_keepalives_count = 3")) ||
        !q.exec(QStringLiteral("SET client_min_messages = warning"))) {
        m_lost = true;
        throw DbError::fromSql(q.lastError(), m_server.display(), true, Backend::Postgres);
    }
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& binds) const
{
    for (int attempt = 0;; ++attempt) {
        if (m_lost)
            reconnect();
        QSqlQuery query(connection());
        query.setForwardOnly(true);
        bool ok = true;
        StatementTrace trace(m_path, sql, binds.size());
        std::optional<StatementDeadline> deadline;
        if (isServer() && StatementDeadline::applies(sql))
            deadline.emplace(connection(), AnswerLimit);
        if (isServer() && binds.isEmpty()) {
            // Transaction control and definitions cannot be prepared there.
            ok = query.exec(sql);
        } else {
            ok = query.prepare(sql);
            if (ok) {
                for (const QVariant& v : binds)
                    query.addBindValue(v);
                ok = query.exec();
            }
        }
        deadline.reset();
        if (ok)
            return query;
        trace.failed();
        const DbError e = statementError(*this, query.lastError(), sql);
        if (e.number() == error_number::ServerLost && isServer()) {
            m_lost = true;
            // The connection broke before this statement (a restarted
            // server): outside a unit of work it is run once more on a new
            // connection; inside one, the unit fails whole.
            if (attempt == 0 && m_transactionDepth == 0)
                continue;
        }
        throw e;
    }
}

QSqlQuery* Database::runRepeated(const QString& sql, const QVariantList& binds) const
{
    constexpr qsizetype Kept = 64;
    if (m_lost || (!m_repeated.contains(sql) && m_repeated.size() >= Kept))
        m_repeated.clear(); // made again (on the new connection)
    std::shared_ptr<QSqlQuery>& query = m_repeated[sql];
    if (!query) {
        if (m_lost)
            reconnect();
        query = std::make_shared<QSqlQuery>(connection());
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            const DbError e = statementError(*this, query->lastError(), sql);
            m_repeated.remove(sql);
            throw e;
        }
    }
    for (qsizetype i = 0; i < binds.size(); ++i)
        query->bindValue(int(i), binds[i]);
    StatementTrace trace(m_path, sql, binds.size());
    std::optional<StatementDeadline> deadline;
    if (isServer())
        deadline.emplace(connection(), AnswerLimit);
    const bool ok = query->exec();
    deadline.reset();
    if (!ok) {
        trace.failed();
        const DbError e = statementError(*this, query->lastError(), sql);
        if (e.number() == error_number::ServerLost && isServer())
            m_lost = true;
        m_repeated.remove(sql);
        throw e;
    }
    return query.get();
}

QVariant Database::scalarRepeated(const QString& sql, const QVariantList& binds) const
{
    QSqlQuery* q = runRepeated(sql, binds);
    QVariant first;
    if (q->isSelect() && q->next())
        first = q->value(0);
    q->finish();
    return first;
}

QVariantList Database::rowRepeated(const QString& sql, const QVariantList& binds) const
{
    QSqlQuery* q = runRepeated(sql, binds);
    QVariantList row;
    if (q->isSelect() && q->next()) {
        const int n = q->record().count();
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << q->value(i);
    }
    q->finish();
    return row;
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds) const
{
    QSqlQuery q = exec(sql, binds);
    if (q.next())
        return q.value(0);
    return QVariant();
}

qint64 Database::insert(const QString& sql, const QVariantList& binds) const
{
    if (isServer())
        return scalar(sql + QStringLiteral(" RETURNING rowid"), binds).toLongLong();
    return exec(sql, binds).lastInsertId().toLongLong();
}

void Database::lockForWriting(const QString& table) const
{
    if (isServer())
        exec(QStringLiteral("SELECT rowid FROM ") + quoteName(table) +
             QStringLiteral(" FOR UPDATE"));
}

bool Database::hasTable(const QString& name) const
{
    if (m_tables.contains(name.toLower()))
        return true;
    if (isServer())
        return scalar(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE "
                                     "table_schema = current_schema() AND table_name = ?"),
                      {name.toLower()})
                   .toLongLong() > 0;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

bool Database::hasIndex(const QString& name) const
{
    if (isServer())
        return scalar(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = "
                                     "current_schema() AND indexname = ?"),
                      {name.toLower()})
                   .toLongLong() > 0;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                 "AND name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

QStringList Database::tableNames() const
{
    QSqlQuery q = isServer()
                      ? exec(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                            "WHERE table_schema = current_schema() ORDER BY 1"))
                      : exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                            "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                            "ORDER BY 1"));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
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
    QList<ColumnInfo> columns;
    QString realName;
    if (isServer()) {
        // The names as the schema spells them are kept as comments.
        QSqlQuery q = exec(
            QStringLiteral(
                "SELECT a.attname, format_type(a.atttypid, a.atttypmod), t.typname, a.attidentity, "
                "coalesce(d.description, ''), coalesce(obj_description(c.oid, 'pg_class'), '') "
                "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                "JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_type t ON t.oid = "
                "a.atttypid "
                "LEFT JOIN pg_description d ON d.objoid = c.oid AND d.objsubid = a.attnum "
                "AND d.classoid = 'pg_class'::regclass "
                "WHERE n.nspname = current_schema() AND c.relname = ? AND a.attnum > 0 "
                "AND NOT a.attisdropped ORDER BY a.attnum"),
            {key});
        realName = key;
        while (q.next()) {
            if (!q.value(5).toString().isEmpty())
                realName = q.value(5).toString();
            ColumnInfo c;
            c.name =
                q.value(4).toString().isEmpty() ? q.value(0).toString() : q.value(4).toString();
            if (c.name == QLatin1String("rowid"))
                continue; // the row key, as SQLite's own: not one of the table's columns
            c.kind = kindOnServer(q.value(1).toString(), q.value(2).toString());
            c.primaryKey = !q.value(3).toString().isEmpty();
            columns << c;
        }
    } else {
        QSqlQuery q =
            exec(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), {name});
        while (q.next()) {
            ColumnInfo c;
            c.name = q.value(0).toString();
            c.kind = kindFromDeclaredType(q.value(1).toString());
            c.primaryKey = q.value(2).toInt() > 0;
            columns << c;
        }
        realName = scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name = ? COLLATE NOCASE"),
                          {name})
                       .toString();
    }
    return *m_tables.insert(key, TableInfo(realName, columns, m_dialect));
}

QString Database::columnSql(const ColumnSpec& c) const
{
    QString sql = definitionName(backend(), c.name) + u' ';
    if (isServer()) {
        if (c.autoKey)
            return sql + QStringLiteral("bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
        switch (c.kind) {
        case ColumnKind::Text:
            // Thai order for lists and reports, letter case ignored as SQLite's NOCASE.
            return sql + QStringLiteral("text COLLATE tawela_th");
        case ColumnKind::Integer:
            return sql + QStringLiteral("bigint");
        case ColumnKind::Decimal:
            return sql + QStringLiteral("currency");
        case ColumnKind::Date:
            return sql + QStringLiteral("date");
        case ColumnKind::Time:
            return sql + QStringLiteral("time");
        case ColumnKind::DateTime:
            return sql + QStringLiteral("timestamp");
        case ColumnKind::Boolean:
            return sql + QStringLiteral("yesno NOT NULL DEFAULT 0");
        case ColumnKind::Blob:
            return sql + QStringLiteral("bytea");
        }
        return sql + QStringLiteral("text");
    }
    if (c.autoKey)
        return sql + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    sql += declaredType(c.kind);
    // Text compares without regard to letter case, as the shops' data always did.
    if (c.kind == ColumnKind::Text)
        sql += QStringLiteral(" COLLATE NOCASE");
    // A yes/no column is never unknown: a row that does not set it says no.
    if (c.kind == ColumnKind::Boolean)
        sql += QStringLiteral(" NOT NULL DEFAULT 0");
    return sql;
}

void Database::ensureServerTypes() const
{
    if (m_typesReady)
        return;
    // Money is kept as a count of ten-thousandths, yes/no as 1 or 0, on both
    // engines; the domains name those columns' kinds.
    for (const char* domain : {"currency AS bigint", "yesno AS smallint"})
        exec(QStringLiteral("DO $$ BEGIN CREATE DOMAIN ") + QLatin1String(domain) +
             QStringLiteral("; EXCEPTION WHEN duplicate_object THEN NULL; END $$"));
    exec(QStringLiteral("CREATE COLLATION IF NOT EXISTS tawela_th (provider = icu, locale = "
                        "'th-TH-u-ka-noignore-ks-level2', deterministic = false)"));
    m_typesReady = true;
}

QString Database::columnsSql(const QList<ColumnSpec>& columns) const
{
    QStringList cols;
    if (isServer()) {
        ensureServerTypes();
        cols << QStringLiteral("rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE");
    }
    for (const ColumnSpec& c : columns)
        cols << columnSql(c);
    return cols.join(QStringLiteral(", "));
}

void Database::createTable(const QString& name, const QList<ColumnSpec>& columns) const
{
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ") + definitionName(backend(), name) +
         QStringLiteral(" (") + columnsSql(columns) + u')');
    if (isServer() && name != name.toLower())
        exec(QStringLiteral("COMMENT ON TABLE ") + definitionName(backend(), name) +
             QStringLiteral(" IS '") + name + u'\'');
    for (const ColumnSpec& c : columns)
        keepSpelling(name, c.name);
    forgetTableInfo();
}

void Database::createSessionCopy(const QString& table) const
{
    QList<ColumnSpec> columns;
    for (const ColumnInfo& c : tableInfo(table).columns())
        columns << ColumnSpec{c.name, c.kind, false};
    exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + definitionName(backend(), table) +
         QStringLiteral(" (") + columnsSql(columns) + u')');
}

void Database::keepSpelling(const QString& table, const QString& column) const
{
    // Names are the program's own (letters, digits, "_"), never typed text.
    if (isServer() && column != column.toLower())
        exec(QStringLiteral("COMMENT ON COLUMN ") + definitionName(backend(), table) + u'.' +
             definitionName(backend(), column) + QStringLiteral(" IS '") + column + u'\'');
}

void Database::addColumn(const QString& table, const ColumnSpec& column) const
{
    if (isServer())
        ensureServerTypes();
    exec(QStringLiteral("ALTER TABLE ") + definitionName(backend(), table) +
         QStringLiteral(" ADD COLUMN ") + columnSql(column));
    keepSpelling(table, column.name);
    forgetTableInfo();
}

void Database::createIndex(const QString& name, const QString& table, const QStringList& columns,
                           bool unique, const QString& where) const
{
    QStringList cols;
    for (const QString& c : columns)
        cols << definitionName(backend(), c);
    exec(QStringLiteral("CREATE ") + (unique ? QStringLiteral("UNIQUE ") : QString()) +
         QStringLiteral("INDEX IF NOT EXISTS ") + definitionName(backend(), name) +
         QStringLiteral(" ON ") + definitionName(backend(), table) + QStringLiteral(" (") +
         cols.join(u',') + u')' +
         (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
}

} // namespace tawela::platform::db
