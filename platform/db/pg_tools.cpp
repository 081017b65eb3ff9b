#include "platform/db/pg_tools.h"

#include "platform/db/db_error.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace tawela::platform::db {

namespace {

QString quoted(const QString& name)
{
    QString n = name.toLower();
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

QStringList connectionArguments(const ServerAddress& s)
{
    QStringList a;
    if (!s.host.isEmpty())
        a << QStringLiteral("-h") << s.host;
    a << QStringLiteral("-p") << QString::number(s.port);
    if (!s.user.isEmpty())
        a << QStringLiteral("-U") << s.user;
    a << QStringLiteral("-d") << s.database;
    return a;
}

// Runs one of the tools to its end; throws with what it said on failure.
void runTool(const QString& tool, const QStringList& args, const ServerAddress* server,
             const QString& what)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (server && !server->password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), server->password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(tool, args);
    if (!p.waitForStarted(10000))
        throw DbError(
            error_number::CannotOpen,
            QStringLiteral("เรียกโปรแกรม %1 ไม่ได้ (ติดตั้งแพ็กเกจ postgresql-client ก่อน)").arg(tool));
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(error_number::General,
                      what + QStringLiteral(" (") +
                          QString::fromUtf8(p.readAllStandardError()).trimmed().left(400) + u')');
}

} // namespace

QHash<QString, qint64> schemaRowCounts(Database& db, const QString& schema)
{
    QHash<QString, qint64> out;
    QSqlQuery tables =
        db.exec(QStringLiteral("SELECT table_name FROM information_schema.tables "
                               "WHERE table_schema = ? AND table_type = 'BASE TABLE'"),
                {schema.toLower()});
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& table : names) {
        QString name = table;
        name.replace(u'"', QStringLiteral("\"\""));
        out.insert(table, db.scalar(QStringLiteral("SELECT count(*) FROM ") + quoted(schema) +
                                    QStringLiteral(".\"") + name + u'"')
                              .toLongLong());
    }
    return out;
}

void dumpSchema(const ServerAddress& server, const QString& schema, const QString& snapshot,
                const QString& file)
{
    QStringList args = connectionArguments(server);
    args << QStringLiteral("--format=custom") << QStringLiteral("--no-owner")
         << QStringLiteral("--no-privileges") << QStringLiteral("--schema=") + schema.toLower()
         << QStringLiteral("--file=") + file;
    if (!snapshot.isEmpty())
        args << QStringLiteral("--snapshot=") + snapshot;
    runTool(
        QStringLiteral("pg_dump"), args, &server,
        QStringLiteral("สำรองฐานข้อมูล %1 จากเครื่องแม่ข่าย %2 ไม่สำเร็จ").arg(schema, server.display()));
}

QString dumpProblem(const QString& file)
{
    try {
        runTool(QStringLiteral("pg_restore"), {QStringLiteral("--list"), file}, nullptr,
                QStringLiteral("อ่านแฟ้มสำรองของเครื่องแม่ข่าย %1 ไม่ได้").arg(file));
        return {};
    } catch (const DbError& e) {
        return e.description();
    }
}

QByteArray renamedSchema(const QByteArray& line, const QByteArray& from, const QByteArray& to)
{
    static thread_local QHash<QByteArray, QRegularExpression> patterns;
    auto it = patterns.find(from);
    if (it == patterns.end())
        it = patterns.insert(
            from, QRegularExpression(QStringLiteral("(?<![\\w$])(\"?)") +
                                     QRegularExpression::escape(QString::fromUtf8(from)) +
                                     QStringLiteral("(\"?)(?![\\w$])")));
    QString text = QString::fromUtf8(line);
    text.replace(*it, QStringLiteral("\\1") + QString::fromUtf8(to) + QStringLiteral("\\2"));
    return text.toUtf8();
}

void loadDumpAs(const ServerAddress& server, const QString& file, const QString& from,
                const QString& to)
{
    QTemporaryDir work;
    if (!work.isValid())
        throw DbError(error_number::General, QStringLiteral("สร้างโฟลเดอร์ชั่วคราวไม่ได้"));
    const QString plain = work.filePath(QStringLiteral("dump.sql"));
    const QString renamed = work.filePath(QStringLiteral("restore.sql"));
    runTool(QStringLiteral("pg_restore"),
            {QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
             QStringLiteral("--file=") + plain, file},
            nullptr, QStringLiteral("อ่านแฟ้มสำรอง %1 ไม่ได้").arg(file));
    QFile in(plain), out(renamed);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        throw DbError(error_number::General, QStringLiteral("เขียนแฟ้มชั่วคราวไม่ได้"));
    const QByteArray oldName = from.toLower().toUtf8(), newName = to.toLower().toUtf8();
    out.write("DROP SCHEMA IF EXISTS " + quoted(to).toUtf8() + " CASCADE;\n");
    // The rows of a COPY block are data: a customer's note naming the
    // schema stays as it was.
    bool rows = false;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine();
        if (rows) {
            out.write(line);
            if (line == "\\.\n")
                rows = false;
            continue;
        }
        if (line.startsWith("COPY ") && line.trimmed().endsWith("FROM stdin;"))
            rows = true;
        out.write(line.contains(oldName) ? renamedSchema(line, oldName, newName) : line);
    }
    out.close();
    QStringList args = connectionArguments(server);
    args << QStringLiteral("-X") << QStringLiteral("-q") << QStringLiteral("-v")
         << QStringLiteral("ON_ERROR_STOP=1") << QStringLiteral("--single-transaction")
         << QStringLiteral("-f") << renamed;
    runTool(QStringLiteral("psql"), args, &server,
            QStringLiteral("นำข้อมูลสำรองเข้าเครื่องแม่ข่าย %1 ไม่สำเร็จ").arg(server.display()));
}

} // namespace tawela::platform::db
