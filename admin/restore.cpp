#include "admin/restore.h"

#include "platform/log.h"

#include "platform/db/pg_tools.h"
#include "platform/db/transaction.h"
#include "platform/file_copy.h"
#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tawela::admin {

namespace {

const QString StagedSuffix = QStringLiteral(".tawela-restore");
// What SQLite keeps beside a database: they belong to the file they were
// written for and go aside with it, never staying beside its replacement.
const QStringList Companions = {QStringLiteral("-journal"), QStringLiteral("-wal"),
                                QStringLiteral("-shm")};

QString cleanFolder(const QString& path)
{
    const QFileInfo info(QDir::fromNativeSeparators(path));
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

QString withSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

// One file of the restore: its checked copy, the live file it replaces and
// where that goes.
struct Step {
    QString staged, live, aside;
    bool database = false;
};

QString markPath(const QString& home)
{
    return home + u'/' + RestoreMarkName;
}

// The schemas a restore on a server puts in place: each "<s>_restoring"
// becomes <s>, the old one "<s>_before_DATE", all in one transaction.
struct SchemaSwitch {
    std::optional<platform::db::ServerAddress> server;
    QStringList schemas;
    QString asideSuffix;
};
const QString Restoring = QStringLiteral("_restoring");

QJsonObject toJson(const SchemaSwitch& s)
{
    if (!s.server)
        return {};
    return QJsonObject{{QStringLiteral("host"), s.server->host},
                       {QStringLiteral("port"), s.server->port},
                       {QStringLiteral("database"), s.server->database},
                       {QStringLiteral("user"), s.server->user},
                       {QStringLiteral("password"), s.server->password},
                       {QStringLiteral("schemas"), QJsonArray::fromStringList(s.schemas)},
                       {QStringLiteral("aside"), s.asideSuffix}};
}

SchemaSwitch schemaSwitchFrom(const QJsonObject& o)
{
    SchemaSwitch s;
    if (o.isEmpty())
        return s;
    platform::db::ServerAddress a;
    a.host = o.value(QStringLiteral("host")).toString();
    a.port = o.value(QStringLiteral("port")).toInt();
    a.database = o.value(QStringLiteral("database")).toString();
    a.user = o.value(QStringLiteral("user")).toString();
    a.password = o.value(QStringLiteral("password")).toString();
    s.server = a;
    for (const QJsonValue& v : o.value(QStringLiteral("schemas")).toArray())
        s.schemas << v.toString();
    s.asideSuffix = o.value(QStringLiteral("aside")).toString();
    return s;
}

std::shared_ptr<platform::db::Database> serverConnection(platform::db::ServerAddress a,
                                                         const QString& schema)
{
    a.schema = schema;
    return platform::db::Database::openServer(a, platform::db::OpenMode::ExistingOnly);
}

bool schemaExists(platform::db::Database& db, const QString& schema)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM information_schema.schemata WHERE "
                                    "schema_name = ?"),
                     {schema})
               .toLongLong() > 0;
}

// Taken up again after a stop: done already when no "_restoring" is left.
void switchSchemas(const SchemaSwitch& s)
{
    if (!s.server || s.schemas.isEmpty())
        return;
    const auto db = serverConnection(*s.server, s.schemas.first());
    int waiting = 0;
    for (const QString& schema : s.schemas)
        waiting += schemaExists(*db, schema + Restoring) ? 1 : 0;
    if (waiting == 0)
        return;
    if (waiting != s.schemas.size())
        throw RestoreError(QStringLiteral("ฐานข้อมูลที่เตรียมไว้บนเครื่องแม่ข่ายไม่ครบ จึงสลับไม่ได้"));
    platform::db::Transaction tx(*db);
    const auto name = [](const QString& n) -> QString { return u'"' + n + u'"'; };
    for (const QString& schema : s.schemas) {
        db->exec(QStringLiteral("ALTER SCHEMA ") + name(schema) + QStringLiteral(" RENAME TO ") +
                 name(schema + s.asideSuffix));
        db->exec(QStringLiteral("ALTER SCHEMA ") + name(schema + Restoring) +
                 QStringLiteral(" RENAME TO ") + name(schema));
    }
    tx.commit();
}

void writeMark(const QString& home, const QString& phase, const QString& aside,
               const QList<Step>& steps, const SchemaSwitch& server = {})
{
    QJsonArray list;
    for (const Step& s : steps)
        list << QJsonObject{{QStringLiteral("staged"), s.staged},
                            {QStringLiteral("live"), s.live},
                            {QStringLiteral("aside"), s.aside},
                            {QStringLiteral("database"), s.database}};
    QJsonObject root{{QStringLiteral("phase"), phase},
                     {QStringLiteral("aside"), aside},
                     {QStringLiteral("steps"), list}};
    if (server.server)
        root[QStringLiteral("server")] = toJson(server);
    const QByteArray json = QJsonDocument(root).toJson();
    // It may hold the server's password, as tawela.ini does.
    try {
        platform::writePrivateFile(markPath(home), json);
    } catch (const platform::CopyError& e) {
        throw RestoreError(QStringLiteral("เขียนบันทึกการเรียกคืนไม่ได้: ") + e.description());
    }
}

// A file written through QSaveFile and what a kill may leave of it: the
// temporary name it takes beside the target for a moment before its rename
// ("<name>.XXXXXX").
void removeLeftoversOf(const QString& path)
{
    const QFileInfo file(path);
    const QDir dir = file.dir();
    for (const QString& left :
         dir.entryList({file.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(left));
}

void removeWithLeftovers(const QString& path)
{
    QFile::remove(path);
    removeLeftoversOf(path);
}

void removeStaged(const QList<Step>& steps)
{
    for (const Step& s : steps)
        removeWithLeftovers(s.staged);
}

// The swap, step by step so that it can be taken up again where it stopped:
// a staged copy still there is put in place, the live file (and what SQLite
// kept beside it) first moved aside unless that was done already.
void swapIn(const QList<Step>& steps)
{
    for (const Step& s : steps) {
        if (!QFileInfo::exists(s.staged))
            continue; // put in place before the stop
        if (!s.aside.isEmpty()) {
            if (!QDir().mkpath(QFileInfo(s.aside).path()))
                throw platform::CopyError(
                    QStringLiteral("สร้างโฟลเดอร์ %1 ไม่ได้").arg(QFileInfo(s.aside).path()));
            if (QFileInfo::exists(s.live) && !QFileInfo::exists(s.aside))
                platform::moveDurably(s.live, s.aside);
        }
        if (s.database)
            for (const QString& c : Companions)
                if (QFileInfo::exists(s.live + c)) {
                    if (s.aside.isEmpty())
                        QFile::remove(s.live + c);
                    else
                        platform::moveDurably(s.live + c, s.aside + c);
                }
        // Whatever stands at the live name now (nothing, or a file made
        // there after the old one went aside) is replaced in one step.
        platform::moveDurably(s.staged, s.live);
    }
}

QString databaseRoleOf(const QString& fileName, const ShopFiles& shop)
{
    const auto same = [&](const QString& path) {
        return QFileInfo(path).fileName().compare(fileName, Qt::CaseInsensitive) == 0;
    };
    if (same(shop.mainDb))
        return file_role::Main;
    if (same(shop.customerDb))
        return file_role::Customer;
    if (same(shop.archiveDb))
        return file_role::Archive;
    if (same(shop.personalDb))
        return file_role::Personal;
    return {};
}

// Where a file of the set goes in this shop.
QString liveFor(const SetFile& f, const ShopFiles& shop)
{
    if (f.role == file_role::Main)
        return shop.mainDb;
    if (f.role == file_role::Customer)
        return shop.customerDb;
    if (f.role == file_role::Archive)
        return shop.archiveDb;
    if (f.role == file_role::Personal)
        return shop.personalDb;
    if (f.role == file_role::Mail)
        return shop.mailPath();
    return shop.dataFolder + f.name;
}

// tawela.ini as the set needs it: the set's password and backup lists,
// the card reader and the hidden-goods text; every path stays as this
// computer has it.
QByteArray iniFor(const ShopFiles& shop, const Manifest& m)
{
    QByteArray text;
    QFile current(shop.iniPath());
    if (current.open(QIODevice::ReadOnly))
        text = current.readAll();
    else
        text = shop.iniTemplate;
    using platform::IniFile;
    text = IniFile::withSection(text, QStringLiteral("Path Setting"),
                                IniFile::Entries{qMakePair(QStringLiteral("pwd"), m.password)});
    if (!m.filePatterns.isEmpty() || !m.folders.isEmpty()) {
        IniFile::Entries files{
            qMakePair(QStringLiteral("file_count"), QString::number(m.filePatterns.size()))};
        for (qsizetype i = 0; i < m.filePatterns.size(); ++i)
            files << qMakePair(QStringLiteral("file%1").arg(i + 1, 2, 10, QChar(u'0')),
                               m.filePatterns[i]);
        IniFile::Entries dirs{
            qMakePair(QStringLiteral("dir_count"), QString::number(m.folders.size()))};
        for (qsizetype i = 0; i < m.folders.size(); ++i)
            dirs << qMakePair(QStringLiteral("dir%1").arg(i + 1, 2, 10, QChar(u'0')), m.folders[i]);
        text = IniFile::withSection(text, QStringLiteral("BackupFile"), files, true);
        text = IniFile::withSection(text, QStringLiteral("BackupDir"), dirs, true);
    }
    IniFile::Entries config;
    if (!m.idCardReader.isEmpty())
        config << qMakePair(QStringLiteral("IDCardReader"), m.idCardReader);
    if (!m.fakeProduct.isEmpty())
        config << qMakePair(QStringLiteral("FakeProduct"), m.fakeProduct);
    if (!config.isEmpty())
        text = IniFile::withSection(text, QStringLiteral("Config_Setting"), config);
    return text;
}

// What a refused restore left on the server.
void dropRestoring(const ShopFiles& shop)
{
    if (!shop.server)
        return;
    try {
        const auto db = serverConnection(*shop.server, shop.serverSchema(file_role::Main));
        for (const QString& role : {file_role::Main, file_role::Customer, file_role::Archive})
            db->exec(QStringLiteral("DROP SCHEMA IF EXISTS \"") + shop.serverSchema(role) +
                     Restoring + QStringLiteral("\" CASCADE"));
    } catch (const platform::Error&) {
        // Left for the next restore, which drops it first.
    }
}

} // namespace

QString refusedSource(const ShopFiles& shop, const QString& folder)
{
    const QString from = cleanFolder(folder);
    for (const QString& own : {shop.dataFolder, shop.home})
        if (!own.isEmpty() && from == cleanFolder(own))
            return QStringLiteral("โฟลเดอร์ %1 คือโฟลเดอร์ข้อมูลของร้านเอง ไม่ใช่ชุดสำรอง "
                                  "เลือกโฟลเดอร์ที่เก็บไฟล์ Backup")
                .arg(QDir::toNativeSeparators(folder));
    return {};
}

std::optional<Manifest> manifestOfOldSet(const QString& folder, const ShopFiles& shop,
                                         const QStringList& patterns, const QStringList& folders,
                                         QString* error)
{
    Manifest m;
    m.password = shop.password;
    m.shopName = shop.shopName;
    m.filePatterns = patterns;
    m.folders = folders;
    const QDir from(folder);
    const auto add = [&](const QFileInfo& f, const QString& name, QString role) {
        SetFile s;
        s.name = name;
        s.role = role.isEmpty() ? file_role::Data : role;
        s.bytes = f.size();
        s.sha256 = platform::sha256Of(f.filePath());
        if (s.database())
            for (const auto& [table, n] : platform::tableRowCounts(f.filePath()))
                s.rows.insert(table, n);
        if (!m.created.isValid() || f.lastModified() > m.created)
            m.created = f.lastModified();
        m.files << s;
    };
    try {
        for (const QString& pattern : patterns)
            for (const QFileInfo& f : from.entryInfoList({pattern}, QDir::Files, QDir::Name)) {
                const QString role = databaseRoleOf(f.fileName(), shop);
                if (!role.isEmpty() && !platform::isDatabaseFile(f.filePath())) {
                    if (error)
                        *error = QStringLiteral("แฟ้ม %1 ในชุดสำรองไม่ใช่ฐานข้อมูล").arg(f.fileName());
                    return std::nullopt;
                }
                add(f, f.fileName(), role);
            }
        for (const QString& sub : folders)
            for (const QFileInfo& f :
                 QDir(from.filePath(sub)).entryInfoList(QDir::Files, QDir::Name))
                add(f, sub + u'/' + f.fileName(), {});
    } catch (const platform::CopyError& e) {
        if (error)
            *error = e.description();
        return std::nullopt;
    }
    const QStringList missing = missingDatabases(m, QFileInfo(shop.mainDb).fileName(),
                                                 QFileInfo(shop.customerDb).fileName());
    if (!missing.isEmpty()) {
        if (error)
            *error = missing.first() + QStringLiteral(" จึงเรียกคืนไม่ได้");
        return std::nullopt;
    }
    return m;
}

RestoreOutcome restoreSet(const ShopFiles& shop, const QString& folder, const Manifest& manifest,
                          const DatabaseCheck& check, bool swapNow, const QDateTime& now,
                          const RestoreProgress& progress)
{
    if (const QString why = refusedSource(shop, folder); !why.isEmpty())
        throw RestoreError(why);
    if (QFileInfo::exists(markPath(shop.home)))
        throw RestoreError(QStringLiteral("มีการเรียกคืนข้อมูลที่ยังไม่จบอยู่ เปิดโปรแกรมใหม่ให้ทำต่อให้เสร็จก่อน"));
    RestoreOutcome out;
    const QString asideName =
        QStringLiteral("ก่อนเรียกคืน-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    out.aside = shop.dataFolder + asideName;
    const QString dataFolder = withSlash(cleanFolder(shop.dataFolder));
    const auto asideFor = [&](const QString& live) -> QString {
        if (!QFileInfo::exists(live))
            return {};
        const QString clean = cleanFolder(live);
        if (clean.startsWith(dataFolder))
            return out.aside + u'/' + clean.mid(dataFolder.size());
        return QFileInfo(clean).path() + u'/' + asideName + u'/' + QFileInfo(clean).fileName();
    };

    const SetFile* main = manifest.find(file_role::Main);
    if (main && main->serverDump() != bool(shop.server))
        throw RestoreError(shop.server ? QStringLiteral("ชุดสำรองนี้เป็นของร้านที่เก็บข้อมูลเป็นแฟ้ม "
                                                        "แต่ร้านนี้ใช้เครื่องแม่ข่าย จึงเรียกคืนไม่ได้")
                                       : QStringLiteral("ชุดสำรองนี้เป็นของร้านที่ใช้เครื่องแม่ข่าย "
                                                        "แต่ร้านนี้เก็บข้อมูลเป็นแฟ้ม จึงเรียกคืนไม่ได้"));
    QList<Step> steps;
    QList<const SetFile*> files, dumps;
    const QDir from(folder);
    for (const SetFile& f : manifest.files) {
        if (f.role == file_role::Settings)
            continue; // written below from the manifest
        if (f.serverDump()) {
            dumps << &f;
            continue;
        }
        const QString live = liveFor(f, shop);
        if (cleanFolder(from.filePath(f.name)) == cleanFolder(live))
            throw RestoreError(refusedSource(shop, shop.dataFolder));
        steps << Step{live + StagedSuffix, live, asideFor(live), f.database()};
        files << &f;
    }
    steps << Step{shop.iniPath() + StagedSuffix, shop.iniPath(), asideFor(shop.iniPath()), false};

    // 1. The copies, each checked; the live files are not touched.
    writeMark(shop.home, QStringLiteral("staging"), out.aside, steps);
    try {
        qint64 total = 0, done = 0;
        for (const SetFile* f : files)
            total += 2 * f->bytes; // copied, then read back
        for (qsizetype i = 0; i < files.size(); ++i) {
            const SetFile& f = *files[i];
            const Step& s = steps[i];
            if (!QDir().mkpath(QFileInfo(s.live).path()))
                throw RestoreError(
                    QStringLiteral("สร้างโฟลเดอร์ %1 ไม่ได้").arg(QFileInfo(s.live).path()));
            const qint64 start = done;
            platform::copyPlainFile(from.filePath(f.name), s.staged, [&](qint64 b) {
                if (progress)
                    progress(start + b, total);
            });
            const QString problem =
                checkSetFile(s.staged, f.name, f, manifest, check, [&](qint64 b) {
                    if (progress)
                        progress(start + f.bytes + b, total);
                });
            qCDebug(platform::log::backup).noquote()
                << "restore" << f.name << "->" << s.staged
                << (problem.isEmpty() ? QStringLiteral("ok") : problem);
            if (!problem.isEmpty())
                throw RestoreError(problem);
            done += 2 * f.bytes;
        }
        const QByteArray ini = iniFor(shop, manifest);
        platform::writePrivateFile(steps.last().staged, ini);
        // The server's schemas beside the live ones, each counted.
        SchemaSwitch server;
        if (shop.server) {
            server.server = *shop.server;
            server.asideSuffix =
                QStringLiteral("_before_") + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
            for (const SetFile* f : dumps) {
                const QString path = from.filePath(f->name);
                if (const QString problem = checkSetFile(path, f->name, *f, manifest, check);
                    !problem.isEmpty())
                    throw RestoreError(problem);
                const QString live = shop.serverSchema(f->role);
                platform::db::loadDumpAs(*shop.server, path, f->schema, live + Restoring);
                const auto db = serverConnection(*shop.server, live + Restoring);
                if (platform::db::schemaRowCounts(*db, live + Restoring) != f->rows)
                    throw RestoreError(
                        QStringLiteral("จำนวนแถวของ %1 ที่นำเข้าเครื่องแม่ข่ายไม่ตรงกับตอนสำรอง")
                            .arg(f->name));
                if (db->scalar(QStringLiteral("SELECT value FROM tawela_meta WHERE name = 'role'"))
                        .toString() != f->role)
                    throw RestoreError(QStringLiteral("แฟ้ม %1 ไม่ใช่ฐานข้อมูล \"%2\" ของโปรแกรม")
                                           .arg(f->name, f->role));
                server.schemas << live;
            }
        }
        // 2. From here on the restore is carried to its end.
        writeMark(shop.home, QStringLiteral("swap"), out.aside, steps, server);
    } catch (const platform::Error& e) {
        removeStaged(steps);
        QFile::remove(markPath(shop.home));
        dropRestoring(shop);
        throw RestoreError(e.description() +
                           QStringLiteral("\nยังไม่ได้เรียกคืนข้อมูล ข้อมูลปัจจุบันยังเหมือนเดิม"));
    }
    out.files = int(files.size());
    if (swapNow)
        finishInterruptedRestore(shop.home);
    return out;
}

QString finishInterruptedRestore(const QString& home)
{
    // A mark whose writing was cut short before its rename left only its
    // temporary name; the mark itself, when there is one, is read below.
    removeLeftoversOf(markPath(home));
    QFile mark(markPath(home));
    if (!mark.exists())
        return {};
    if (!mark.open(QIODevice::ReadOnly))
        throw RestoreError(QStringLiteral("อ่านบันทึกการเรียกคืนข้อมูล %1 ไม่ได้ (%2)")
                               .arg(mark.fileName(), mark.errorString()));
    const QJsonObject root = QJsonDocument::fromJson(mark.readAll()).object();
    mark.close();
    QList<Step> steps;
    for (const QJsonValue& v : root.value(QStringLiteral("steps")).toArray()) {
        const QJsonObject o = v.toObject();
        steps << Step{o.value(QStringLiteral("staged")).toString(),
                      o.value(QStringLiteral("live")).toString(),
                      o.value(QStringLiteral("aside")).toString(),
                      o.value(QStringLiteral("database")).toBool()};
    }
    const QString phase = root.value(QStringLiteral("phase")).toString();
    if (phase == QLatin1String("staging")) {
        removeStaged(steps);
        QFile::remove(mark.fileName());
        return QStringLiteral("การเรียกคืนข้อมูลครั้งก่อนหยุดไปก่อนจะเริ่มแทนที่แฟ้ม ข้อมูลของร้านยังเป็นชุดเดิม");
    }
    if (phase != QLatin1String("swap") || steps.isEmpty())
        throw RestoreError(QStringLiteral("บันทึกการเรียกคืนข้อมูล %1 เสียหาย จึงทำต่อไม่ได้ "
                                          "ให้ช่างตรวจแฟ้มในโฟลเดอร์ข้อมูลก่อนเปิดโปรแกรม")
                               .arg(mark.fileName()));
    try {
        switchSchemas(schemaSwitchFrom(root.value(QStringLiteral("server")).toObject()));
        swapIn(steps);
    } catch (const platform::Error& e) {
        throw RestoreError(QStringLiteral("เรียกคืนข้อมูลต่อให้เสร็จไม่ได้: ") + e.description());
    }
    QFile::remove(mark.fileName());
    return QStringLiteral("เรียกคืนข้อมูลจากชุดสำรองเสร็จแล้ว ข้อมูลก่อนเรียกคืนเก็บไว้ที่ %1")
        .arg(QDir::toNativeSeparators(root.value(QStringLiteral("aside")).toString()));
}

} // namespace tawela::admin
