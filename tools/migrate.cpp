#include "tools/migrate.h"

#include "app/connections.h"
#include "app/schema.h"
#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "platform/decimal.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTime>

namespace tawela::tools {

using app::Connections;
using app::DatabaseRole;
using platform::db::Database;
using platform::db::quoteName;

namespace {

const DatabaseRole Moved[] = {DatabaseRole::Main, DatabaseRole::Customer, DatabaseRole::Archive};

// One value, as the program reads it, in the same text whichever engine holds it.
void addCanonical(QByteArray& out, const QVariant& v)
{
    if (!v.isValid()) {
        out += '\x01';
    } else if (v.typeId() == qMetaTypeId<platform::Decimal>()) {
        out += QByteArray::number(v.value<platform::Decimal>().units());
    } else if (v.typeId() == QMetaType::QDate) {
        out += v.toDate().toString(Qt::ISODate).toUtf8();
    } else if (v.typeId() == QMetaType::QTime) {
        out += v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
    } else if (v.typeId() == QMetaType::QDateTime) {
        out += v.toDateTime().toString(Qt::ISODate).toUtf8();
    } else if (v.typeId() == QMetaType::Bool) {
        out += v.toBool() ? '1' : '0';
    } else if (v.typeId() == QMetaType::QByteArray) {
        out += v.toByteArray().toHex();
    } else {
        out += v.toString().toUtf8();
    }
    out += '\x1f';
}

struct Side {
    std::shared_ptr<Database> db[3];  // one per moved role, for reading
    std::shared_ptr<Database> writer; // the one connection the copy is written on
    QString prefix[3];                // how the writer names each role's tables
};

// The key that orders a table's rows the same on both sides: its counter
// column when it has one (SQLite's row key is that counter), else the row key.
QString orderKey(const app::schema::TableDef& t)
{
    for (const auto& c : t.columns)
        if (c.autoKey)
            return quoteName(c.name);
    return QStringLiteral("rowid");
}

TableCopy copyTable(const Side& from, Side& to, int r, const app::schema::TableDef& t)
{
    const platform::db::TableInfo src = from.db[r]->tableInfo(t.name);
    const platform::db::TableInfo dst = to.db[r]->tableInfo(t.name);
    const bool toServer = to.writer->isServer();
    bool hasCounter = false;
    QStringList names;
    QList<platform::db::ColumnInfo> columns;
    for (const auto& c : t.columns) {
        if (src.indexOf(c.name) < 0)
            continue;
        names << quoteName(c.name);
        columns << dst.column(c.name);
        hasCounter = hasCounter || c.autoKey;
    }
    const QString order = orderKey(t);
    // The server keeps SQLite's row key as a column; back in a file it is
    // the counter column, or SQLite's own.
    const bool copyKey = toServer || !hasCounter;
    const QString target = to.prefix[r] + quoteName(t.name);
    to.writer->exec(QStringLiteral("DELETE FROM ") + target);

    QStringList marks;
    for (qsizetype i = 0; i < names.size() + (copyKey ? 1 : 0); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT INTO ") + target + QStringLiteral(" (") +
                           (copyKey ? QStringLiteral("rowid,") : QString()) + names.join(u',') +
                           QStringLiteral(") VALUES (") + marks.join(u',') + u')';
    TableCopy copy;
    copy.database = app::roleName(Moved[r]);
    copy.table = t.name;
    QCryptographicHash sourceHash(QCryptographicHash::Sha256);
    QSqlQuery q = from.db[r]->exec(QStringLiteral("SELECT rowid, ") + names.join(u',') +
                                   QStringLiteral(" FROM ") + quoteName(t.name) +
                                   QStringLiteral(" ORDER BY ") + order);
    while (q.next()) {
        QVariantList binds;
        if (copyKey)
            binds << q.value(0);
        QByteArray line;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const auto& c = columns[i];
            const QVariant value = platform::db::fromStorage(c.kind, q.value(int(i) + 1));
            binds << platform::db::toStorage(c, value);
            addCanonical(line, value);
        }
        line += '\x1e';
        sourceHash.addData(line);
        to.writer->exec(insert, binds);
        ++copy.rows;
    }
    copy.checksum = sourceHash.result();

    if (toServer) {
        // The counters go on from the highest copied value.
        QStringList counted = {QStringLiteral("rowid")};
        for (const auto& c : t.columns)
            if (c.autoKey)
                counted << c.name.toLower();
        for (const QString& c : counted)
            to.writer->scalar(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), "
                                             "coalesce(max(") +
                                  quoteName(c) + QStringLiteral("), 0) + 1, false) FROM ") + target,
                              {QVariant(to.prefix[r] + quoteName(t.name)), QVariant(c)});
    }

    // Read back through the copy's own connection, before it is committed.
    QCryptographicHash copiedHash(QCryptographicHash::Sha256);
    qint64 copied = 0;
    QSqlQuery back =
        to.writer->exec(QStringLiteral("SELECT ") + names.join(u',') + QStringLiteral(" FROM ") +
                        target + QStringLiteral(" ORDER BY ") + order);
    while (back.next()) {
        QByteArray line;
        for (qsizetype i = 0; i < columns.size(); ++i)
            addCanonical(line, platform::db::fromStorage(columns[i].kind, back.value(int(i))));
        line += '\x1e';
        copiedHash.addData(line);
        ++copied;
    }
    if (copied != copy.rows || copiedHash.result() != copy.checksum)
        throw MigrationError(QStringLiteral("สำเนาตาราง ") + t.name + QStringLiteral(" ของ") +
                             app::roleTitle(Moved[r]) +
                             QStringLiteral(" ไม่ตรงกับต้นฉบับ ไม่ได้ย้ายข้อมูลใด ๆ"));
    return copy;
}

void refuseIfHoldingData(const Side& to, const QString& where)
{
    const std::pair<int, const char*> tables[] = {
        {0, "chumnum"}, {0, "service"}, {1, "customer"}, {2, "chumnum"}};
    for (const auto& [r, table] : tables)
        if (to.db[r]->hasTable(QLatin1String(table)) &&
            to.db[r]->scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
                    .toLongLong() > 0)
            throw MigrationError(where + QStringLiteral(" มีข้อมูลของร้านอยู่แล้ว (ตาราง ") +
                                 QLatin1String(table) + QStringLiteral(") จึงไม่ย้ายข้อมูลทับ"));
}

QList<TableCopy> copyAll(const Side& from, Side& to)
{
    QList<TableCopy> copies;
    platform::db::Transaction tx(*to.writer);
    for (int r = 0; r < 3; ++r)
        for (const auto& t : app::schema::tables(Moved[r]))
            copies << copyTable(from, to, r, t);
    tx.commit();
    return copies;
}

Side openFiles(const app::AppConfig& config, bool create)
{
    Side side;
    app::AppConfig files = config;
    files.server.reset();
    for (int r = 0; r < 3; ++r) {
        const QString path = Connections::pathFor(files, Moved[r]);
        if (create) {
            auto db = Database::open(path, platform::db::OpenMode::CreateIfMissing);
            app::schema::create(*db, Moved[r], files.dbPassword);
            side.db[r] = db;
        } else {
            side.db[r] = Connections::openRole(files, Moved[r]);
        }
    }
    return side;
}

} // namespace

QList<TableCopy> copyToServer(const app::AppConfig& files,
                              const platform::db::ServerAddress& server)
{
    app::AppConfig fileConfig = files;
    fileConfig.server.reset();
    const Side from = openFiles(fileConfig, false);
    app::AppConfig serverConfig = files;
    serverConfig.server = server;
    Side to;
    for (int r = 0; r < 3; ++r) {
        const auto address = Connections::serverFor(serverConfig, Moved[r]);
        to.db[r] = Database::openServer(address, platform::db::OpenMode::CreateIfMissing);
        // The copy the shop left when it moved back to files: still its data.
        if (const QString note = app::schema::retiredNote(*to.db[r]); !note.isEmpty())
            throw MigrationError(QStringLiteral("เครื่องแม่ข่าย ") + server.display() +
                                 QStringLiteral(" ยังเก็บข้อมูลร้านชุดที่ย้ายกลับเป็นแฟ้มแล้ว (") + note +
                                 QStringLiteral(") ไม่ย้ายข้อมูลทับ ให้ใช้ schema อื่น "
                                                "หรือลบ schema ชุดเก่าก่อน"));
        app::schema::create(*to.db[r], Moved[r], serverConfig.dbPassword);
        to.prefix[r] = quoteName(address.schema) + u'.';
    }
    refuseIfHoldingData(to, QStringLiteral("เครื่องแม่ข่าย ") + server.display());
    // One connection writes all three schemas: one transaction.
    to.writer = Database::openServer(Connections::serverFor(serverConfig, DatabaseRole::Main),
                                     platform::db::OpenMode::ExistingOnly);
    return copyAll(from, to);
}

namespace {

QList<TableCopy> copyIntoNewFiles(const app::AppConfig& onServer)
{
    Side from;
    for (int r = 0; r < 3; ++r)
        from.db[r] = Connections::openRole(onServer, Moved[r]);
    Side to = openFiles(onServer, true);
    refuseIfHoldingData(to, QStringLiteral("แฟ้มข้อมูลในโฟลเดอร์ของร้าน"));
    app::AppConfig files = onServer;
    files.server.reset();
    // The main file with the other two attached: one transaction over all
    // three files.
    to.writer = Database::open(Connections::pathFor(files, DatabaseRole::Main),
                               platform::db::OpenMode::ExistingOnly);
    to.writer->exec(QStringLiteral("ATTACH DATABASE ? AS customer_file"),
                    {Connections::pathFor(files, DatabaseRole::Customer)});
    to.writer->exec(QStringLiteral("ATTACH DATABASE ? AS archive_file"),
                    {Connections::pathFor(files, DatabaseRole::Archive)});
    to.prefix[0] = QStringLiteral("main.");
    to.prefix[1] = QStringLiteral("customer_file.");
    to.prefix[2] = QStringLiteral("archive_file.");
    auto copies = copyAll(from, to);
    to.writer->exec(QStringLiteral("DETACH DATABASE customer_file"));
    to.writer->exec(QStringLiteral("DETACH DATABASE archive_file"));
    return copies;
}

} // namespace

QList<TableCopy> copyToFiles(const app::AppConfig& onServer)
{
    if (!onServer.server)
        throw MigrationError(QStringLiteral("แฟ้ม tawela.ini ไม่มีส่วน [Server] ร้านนี้ใช้แฟ้มข้อมูลอยู่แล้ว"));
    app::AppConfig files = onServer;
    files.server.reset();
    // Files left from before the shop moved to the server hold old data: they
    // are kept beside the new ones under another name, never written over.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QList<QPair<QString, QString>> setAside;
    for (const DatabaseRole role : Moved) {
        const QString path = Connections::pathFor(files, role);
        if (!QFileInfo::exists(path))
            continue;
        const QString aside = path + QStringLiteral(".before-") + stamp;
        if (!QFile::rename(path, aside))
            throw MigrationError(QStringLiteral("ไม่สามารถเปลี่ยนชื่อแฟ้มเดิม ") + path +
                                 QStringLiteral(" ไม่ได้ย้ายข้อมูลใด ๆ"));
        setAside << qMakePair(path, aside);
    }
    try {
        return copyIntoNewFiles(onServer);
    } catch (...) {
        // Nothing half-made stays: the new files go, the old ones come back.
        for (const DatabaseRole role : Moved)
            QFile::remove(Connections::pathFor(files, role));
        for (const auto& [path, aside] : setAside)
            QFile::rename(aside, path);
        throw;
    }
}

void retireServerCopy(const app::AppConfig& onServer)
{
    const QString note = QDateTime::currentDateTime().toString(QStringLiteral("d/M/yyyy HH:mm")) +
                         QStringLiteral(" จากเครื่อง ") + QSysInfo::machineHostName();
    for (const DatabaseRole role : Moved)
        app::schema::markRetired(*Connections::openRole(onServer, role), note);
}

} // namespace tawela::tools
