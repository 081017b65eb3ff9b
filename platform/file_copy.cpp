#include "platform/file_copy.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tawela::platform {

namespace {

constexpr qint64 Chunk = 1024 * 1024;

QString describe(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("หน่วยความจำไม่พอ");
}

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

Connection openFile(const QString& path, int flags, const QString& failure)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK)
        throw CopyError(failure + QStringLiteral(" (") + describe(raw) + u')');
    sqlite3_busy_timeout(raw, 10000);
    return db;
}

void run(sqlite3* db, const char* sql, const QString& failure)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString why = message ? QString::fromUtf8(message) : describe(db);
        sqlite3_free(message);
        throw CopyError(failure + QStringLiteral(" (") + why + u')');
    }
}

// The tables of the database and their row counts.
QList<QPair<QString, qint64>> rowCounts(sqlite3* db, const QString& failure)
{
    QList<QPair<QString, qint64>> out;
    sqlite3_stmt* list = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                           "'sqlite\\_%' ESCAPE '\\' ORDER BY name",
                           -1, &list, nullptr) != SQLITE_OK)
        throw CopyError(failure + QStringLiteral(" (") + describe(db) + u')');
    QStringList names;
    while (sqlite3_step(list) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const QString& name : names) {
        QString quoted = name;
        quoted.replace(u'"', QStringLiteral("\"\""));
        const QByteArray sql = "SELECT count(*) FROM \"" + quoted.toUtf8() + '"';
        sqlite3_stmt* q = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &q, nullptr) != SQLITE_OK ||
            sqlite3_step(q) != SQLITE_ROW) {
            sqlite3_finalize(q);
            throw CopyError(failure + QStringLiteral(" (") + describe(db) + u')');
        }
        out << qMakePair(name, qint64(sqlite3_column_int64(q, 0)));
        sqlite3_finalize(q);
    }
    return out;
}

QString integrityOf(sqlite3* db)
{
    sqlite3_stmt* q = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
    sqlite3_finalize(q);
    return result;
}

void putInPlace(const QString& part, const QString& target, const QString& failure)
{
    // rename() replaces the old copy in one step: there is never no copy.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) !=
        0) {
        QFile::remove(part);
        throw CopyError(failure + QStringLiteral(" (วางแฟ้มที่ปลายทางไม่ได้)"));
    }
}

} // namespace

bool isDatabaseFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

void copyDatabaseFile(const QString& source, const QString& target, const CopyProgress& progress)
{
    const QString failure = QStringLiteral("สำรองฐานข้อมูล %1 ไปที่ %2 ไม่สำเร็จ").arg(source, target);
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    try {
        Connection from = openFile(source, SQLITE_OPEN_READONLY, failure);
        Connection to = openFile(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, failure);
        // Held still: writers wait until the copy is made (they wait up to
        // ten seconds, then say the database is busy).
        run(from.get(), "BEGIN", failure);
        const auto counts = rowCounts(from.get(), failure);
        sqlite3_backup* b = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (!b)
            throw CopyError(failure + QStringLiteral(" (") + describe(to.get()) + u')');
        int rc = SQLITE_OK;
        const int pageSize = 4096;
        while ((rc = sqlite3_backup_step(b, int(Chunk / pageSize))) == SQLITE_OK ||
               rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (rc != SQLITE_OK)
                sqlite3_sleep(50);
            if (progress) {
                const qint64 total = sqlite3_backup_pagecount(b);
                progress((total - sqlite3_backup_remaining(b)) * pageSize);
            }
        }
        sqlite3_backup_finish(b);
        run(from.get(), "COMMIT", failure);
        if (rc != SQLITE_DONE)
            throw CopyError(failure + QStringLiteral(" (") + QString::fromUtf8(sqlite3_errstr(rc)) +
                            u')');
        const QString integrity = integrityOf(to.get());
        if (integrity != QLatin1String("ok"))
            throw CopyError(failure + QStringLiteral(" (สำเนาไม่สมบูรณ์: ") + integrity + u')');
        if (rowCounts(to.get(), failure) != counts)
            throw CopyError(failure + QStringLiteral(" (จำนวนแถวในสำเนาไม่ตรงกับต้นฉบับ)"));
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    putInPlace(part, target, failure);
}

void restoreDatabaseFile(const QString& source, const QString& target)
{
    const QString failure = QStringLiteral("เรียกคืน %1 ไปที่ %2 ไม่สำเร็จ").arg(source, target);
    Connection from = openFile(source, SQLITE_OPEN_READONLY, failure);
    Connection to = openFile(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, failure);
    sqlite3_backup* b = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!b)
        throw CopyError(failure + QStringLiteral(" (") + describe(to.get()) + u')');
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED)
        sqlite3_sleep(100);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw CopyError(failure + QStringLiteral(" (") + QString::fromUtf8(sqlite3_errstr(rc)) +
                        u')');
    const QString integrity = integrityOf(to.get());
    if (integrity != QLatin1String("ok"))
        throw CopyError(failure + QStringLiteral(" (ไม่สมบูรณ์: ") + integrity + u')');
}

QString checkDatabaseFile(const QString& path)
{
    try {
        Connection db = openFile(path, SQLITE_OPEN_READONLY, path);
        const QString result = integrityOf(db.get());
        return result == QLatin1String("ok") ? QString()
                                             : (result.isEmpty() ? describe(db.get()) : result);
    } catch (const CopyError& e) {
        return e.description();
    }
}

qint64 countRows(const QString& path, const QString& table)
{
    try {
        Connection db = openFile(path, SQLITE_OPEN_READONLY, path);
        for (const auto& [name, rows] : rowCounts(db.get(), path))
            if (name.compare(table, Qt::CaseInsensitive) == 0)
                return rows;
    } catch (const CopyError&) {
    }
    return -1;
}

QList<QPair<QString, qint64>> tableRowCounts(const QString& path)
{
    Connection db = openFile(path, SQLITE_OPEN_READONLY, path);
    return rowCounts(db.get(), path);
}

QByteArray sha256Of(const QString& path, const CopyProgress& progress)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw CopyError(QStringLiteral("อ่านแฟ้ม %1 ไม่ได้ (%2)").arg(path, in.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 done = 0;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(Chunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw CopyError(QStringLiteral("อ่านแฟ้ม %1 ไม่ได้ (%2)").arg(path, in.errorString()));
        hash.addData(chunk);
        done += chunk.size();
        if (progress)
            progress(done);
    }
    return hash.result();
}

void moveDurably(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw CopyError(QStringLiteral("ย้ายแฟ้ม %1 ไปเป็น %2 ไม่ได้ (%3)")
                            .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
    // The rename is kept in the folder's own entry: sync the folder.
    const int dir =
        ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void writePrivateFile(const QString& path, const QByteArray& content)
{
    QSaveFile f(path);
    // Permissions apply to the open temporary copy, which the rename keeps.
    if (!f.open(QIODevice::WriteOnly) ||
        !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        f.write(content) != content.size() || !f.commit())
        throw CopyError(QStringLiteral("เขียนแฟ้ม %1 ไม่ได้ (%2)").arg(path, f.errorString()));
}

void copyPlainFile(const QString& source, const QString& target, const CopyProgress& progress)
{
    const QString failure = QStringLiteral("สำรองแฟ้ม %1 ไปที่ %2 ไม่สำเร็จ").arg(source, target);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw CopyError(failure + QStringLiteral(" (") + in.errorString() + u')');
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw CopyError(failure + QStringLiteral(" (") + out.errorString() + u')');
    qint64 done = 0;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(Chunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw CopyError(failure + QStringLiteral(" (") + in.errorString() + u')');
        if (out.write(chunk) != chunk.size())
            throw CopyError(failure + QStringLiteral(" (") + out.errorString() + u')');
        done += chunk.size();
        if (progress)
            progress(done);
    }
    if (!out.commit())
        throw CopyError(failure + QStringLiteral(" (") + out.errorString() + u')');
}

} // namespace tawela::platform
