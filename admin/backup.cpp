#include "admin/backup.h"

#include "platform/log.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"
#include "platform/db/pg_tools.h"
#include "platform/db/transaction.h"
#include "platform/file_copy.h"
#include "platform/version.h"
#include "text/thai_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace tawela::admin {

namespace {

QString withSlash(QString path)
{
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

// A value of tawela.ini as the old buffers read it: at most 49 characters.
QString entry(const platform::IniFile& ini, const char* section, const QString& key)
{
    return ini.value(QLatin1String(section), key).left(49).trimmed();
}

bool newer(const QFileInfo& source, const QString& target)
{
    const QFileInfo t(target);
    return !t.exists() || source.lastModified() > t.lastModified();
}

} // namespace

std::optional<BackupPlan> readBackupPlan(const QString& iniPath, QString* error)
{
    if (!QFileInfo::exists(iniPath)) {
        if (error)
            *error = QStringLiteral("ไม่พบแฟ้ม tawela.ini (%1) จึงไม่รู้ว่าต้องสำรองแฟ้มใด "
                                    "ยังไม่ได้สำรองข้อมูล")
                         .arg(QDir::toNativeSeparators(iniPath));
        return std::nullopt;
    }
    platform::IniFile ini;
    if (!ini.load(iniPath, error))
        return std::nullopt;
    BackupPlan plan;
    const QString drive = entry(ini, "Path", QStringLiteral("drive"));
    plan.source = withSlash(drive.isEmpty() ? QFileInfo(iniPath).path() : drive);
    const int files = entry(ini, "BackupFile", QStringLiteral("file_count")).left(10).toInt();
    const int dirs = entry(ini, "BackupDir", QStringLiteral("dir_count")).left(10).toInt();
    for (int i = 1; i <= files; ++i)
        plan.patterns << entry(ini, "BackupFile",
                               QStringLiteral("file%1").arg(i, 2, 10, QChar(u'0')));
    for (int j = 1; j <= dirs; ++j)
        plan.folders << entry(ini, "BackupDir", QStringLiteral("dir%1").arg(j, 2, 10, QChar(u'0')));
    plan.patterns.removeAll(QString());
    plan.folders.removeAll(QString());
    plan.idCardReader = ini.value(QStringLiteral("Config_Setting"), QStringLiteral("IDCardReader"));
    plan.fakeProduct = ini.value(QStringLiteral("Config_Setting"), QStringLiteral("FakeProduct"));
    return plan;
}

QList<BackupItem> Backup::items() const
{
    const QString target = withSlash(m_target);
    if (!QDir().mkpath(target))
        throw platform::CopyError(
            QStringLiteral("สร้างโฟลเดอร์ปลายทาง %1 ไม่ได้").arg(QDir::toNativeSeparators(target)));
    QList<BackupItem> items;
    QSet<QString> seen;
    const auto add = [&](const QFileInfo& f, const QString& name, const QString& role) {
        if (!f.isFile() || seen.contains(f.absoluteFilePath()))
            return;
        seen << f.absoluteFilePath();
        const QString to = target + name;
        items << BackupItem{f.filePath(), to,       name,
                            role,         f.size(), platform::isDatabaseFile(f.filePath()),
                            newer(f, to)};
    };
    // The shop's own files first, whatever the lists say: without them a
    // set cannot be opened as the same shop.
    const std::pair<QString, QString> own[] = {
        {m_shop.mainDb, file_role::Main},        {m_shop.customerDb, file_role::Customer},
        {m_shop.archiveDb, file_role::Archive},  {m_shop.personalDb, file_role::Personal},
        {m_shop.iniPath(), file_role::Settings}, {m_shop.mailPath(), file_role::Mail}};
    for (const auto& [path, role] : own)
        if (!path.isEmpty())
            add(QFileInfo(path), QFileInfo(path).fileName(), role);
    const QDir source(m_plan.source);
    for (const QString& pattern : m_plan.patterns + QStringList{QStringLiteral("*.rpt")})
        for (const QFileInfo& f : source.entryInfoList({pattern}, QDir::Files | QDir::Hidden,
                                                       QDir::Name | QDir::IgnoreCase))
            add(f, f.fileName(), file_role::Data);
    for (const QString& folder : m_plan.folders) {
        const QDir dir(source.filePath(folder));
        if (!dir.exists())
            continue;
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
            add(f, folder + u'/' + f.fileName(), file_role::Data);
    }
    return items;
}

QList<BackupItem> Backup::pending() const
{
    QList<BackupItem> out;
    for (const BackupItem& i : items())
        if (i.pending)
            out << i;
    return out;
}

Backup::Result Backup::run(const Report& report) const
{
    Result result;
    QList<BackupItem> all;
    try {
        all = items();
    } catch (const platform::CopyError& e) {
        result.failure = e.description();
        return result;
    }
    const QDir target(withSlash(m_target));
    // The old manifest tells the checksums of copies left as they were.
    QString ignored;
    const std::optional<Manifest> before = readManifest(target.path(), &ignored);
    {
        // From here until the new manifest is written the set is unfinished.
        try {
            platform::writePrivateFile(target.filePath(RunningMark),
                                       QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8());
        } catch (const platform::CopyError& e) {
            result.failure = e.description();
            return result;
        }
        if (target.exists(ManifestName) && !QFile::remove(target.filePath(ManifestName))) {
            result.failure = QStringLiteral("ลบรายการแฟ้มเดิม %1 ไม่ได้")
                                 .arg(QDir::toNativeSeparators(target.filePath(ManifestName)));
            return result;
        }
    }
    Progress p;
    p.files = int(all.size());
    for (const BackupItem& i : all)
        p.total += (i.pending ? 2 : 0) * i.bytes; // copied, then read back
    Manifest m;
    m.program = QStringLiteral("tawela ") + platform::versionText();
    m.shopName = m_shop.shopName;
    m.created = QDateTime::currentDateTime();
    m.password = m_shop.password;
    m.filePatterns = m_plan.patterns;
    m.folders = m_plan.folders;
    m.idCardReader = m_plan.idCardReader;
    m.fakeProduct = m_plan.fakeProduct;
    const auto unchangedEntry = [&](const BackupItem& item,
                                    const QFileInfo& copy) -> const SetFile* {
        if (!before || item.pending)
            return nullptr;
        for (const SetFile& f : before->files)
            if (f.name == item.name && f.bytes == copy.size() && f.modified == copy.lastModified())
                return &f;
        return nullptr;
    };
    qint64 done = 0;
    for (const BackupItem& item : all) {
        ++p.file;
        p.current = item.source;
        p.done = done;
        if (report)
            report(p);
        const qint64 start = done;
        const auto step = [&](qint64 bytes) {
            p.done = start + std::min(bytes, item.bytes);
            if (report)
                report(p);
        };
        try {
            if (item.pending) {
                const QString folder = QFileInfo(item.target).path();
                if (!QDir().mkpath(folder))
                    throw platform::CopyError(QStringLiteral("สร้างโฟลเดอร์ %1 ไม่ได้ จึงสำรอง %2 ไม่ได้")
                                                  .arg(QDir::toNativeSeparators(folder),
                                                       QDir::toNativeSeparators(item.source)));
                if (item.database)
                    platform::copyDatabaseFile(item.source, item.target, step);
                else
                    platform::copyPlainFile(item.source, item.target, step);
                ++result.copied;
            } else {
                ++result.unchanged;
            }
            qCDebug(platform::log::backup).noquote()
                << item.source << "->" << item.target << (item.pending ? "copied" : "unchanged");
            const QFileInfo copy(item.target);
            SetFile f;
            f.name = item.name;
            f.role = item.role;
            if (const SetFile* kept = unchangedEntry(item, copy)) {
                f = *kept;
                f.role = item.role;
            } else {
                f.bytes = copy.size();
                f.modified = copy.lastModified();
                f.sha256 = platform::sha256Of(item.target, [&](qint64 b) {
                    p.done = start + item.bytes + std::min(b, item.bytes);
                    if (report)
                        report(p);
                });
                if (f.database())
                    for (const auto& [table, n] : platform::tableRowCounts(item.target))
                        f.rows.insert(table, n);
            }
            m.files << f;
        } catch (const platform::CopyError& e) {
            result.failure = e.description();
            return result;
        }
        done += (item.pending ? 2 : 0) * item.bytes;
    }
    if (m_shop.server) {
        try {
            m.files << dumpServer(target.path());
        } catch (const platform::Error& e) {
            result.failure = e.description();
            return result;
        }
    }
    // Last: the manifest, then the mark of an unfinished set removed.
    try {
        platform::writePrivateFile(target.filePath(ManifestName), m.toJson());
    } catch (const platform::CopyError& e) {
        result.failure = e.description();
        return result;
    }
    QFile::remove(target.filePath(RunningMark));
    p.done = p.total;
    if (report)
        report(p);
    return result;
}

QList<SetFile> Backup::dumpServer(const QString& folder) const
{
    using namespace platform::db;
    platform::db::ServerAddress address = *m_shop.server;
    address.schema = m_shop.serverSchema(file_role::Main);
    const auto db = Database::openServer(address, OpenMode::ExistingOnly);
    // One snapshot for the counts and the three dumps: a set of one moment
    // even while other counters write.
    Transaction tx(*db);
    db->exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    const QString snapshot = db->scalar(QStringLiteral("SELECT pg_export_snapshot()")).toString();
    QList<SetFile> out;
    for (const QString& role : {file_role::Main, file_role::Customer, file_role::Archive}) {
        SetFile f;
        f.role = role;
        f.schema = m_shop.serverSchema(role);
        f.name = role + QStringLiteral(".pgdump");
        f.rows = schemaRowCounts(*db, f.schema);
        const QString file = QDir(folder).filePath(f.name);
        const QString part = file + QStringLiteral(".part");
        QFile::remove(part);
        dumpSchema(*m_shop.server, f.schema, snapshot, part);
        platform::moveDurably(part, file);
        const QFileInfo copy(file);
        f.bytes = copy.size();
        f.modified = copy.lastModified();
        f.sha256 = platform::sha256Of(file);
        out << f;
    }
    tx.commit();
    return out;
}

BackupForm::BackupForm(std::shared_ptr<platform::db::Database> main, ShopFiles shop,
                       DatabaseCheck check, platform::Prompt& prompt)
    : m_main(std::move(main)), m_shop(std::move(shop)), m_check(std::move(check)), m_prompt(prompt)
{}

bool BackupForm::open()
{
    try {
        const Settings s = loadSettings(m_main);
        target = QDir::toNativeSeparators(s.backupPath);
        lastBackup = s.backupDate;
        return true;
    } catch (const platform::db::DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
}

std::optional<Backup> BackupForm::prepare()
{
    if (target.trimmed().isEmpty()) {
        m_prompt.stop(QStringLiteral("เลือกโฟลเดอร์ที่จะเก็บไฟล์ Backup ก่อน"));
        return std::nullopt;
    }
    QString why;
    const std::optional<BackupPlan> plan = readBackupPlan(m_shop.iniPath(), &why);
    if (!plan) {
        m_prompt.error(why);
        return std::nullopt;
    }
    const QString to = QDir::cleanPath(QDir::fromNativeSeparators(target.trimmed()));
    if (QDir::cleanPath(plan->source) == to) {
        m_prompt.stop(QStringLiteral("โฟลเดอร์ที่เก็บ Backup ต้องไม่ใช่โฟลเดอร์ข้อมูลของโปรแกรม"));
        return std::nullopt;
    }
    m_prompt.information(QStringLiteral("สำรองข้อมูลอาจใช้เวลา โปรดรอจนกว่ามีข้อความว่า "
                                        "'สำรองข้อมูลสมบูรณ์'    กด OK เพื่อเริ่มการ สำรองข้อมูล"));
    ShopFiles shop = m_shop;
    try {
        shop.shopName = loadSettings(m_main).companyName;
    } catch (const platform::db::DbError&) {
        // The name only labels the set.
    }
    return Backup(*plan, to, shop);
}

bool BackupForm::finished(const Backup::Result& result, const QDate& today)
{
    if (!result.failure.isEmpty()) {
        m_prompt.error(result.failure +
                       QStringLiteral("\nการสำรองข้อมูลยังไม่สมบูรณ์ วันที่สำรองข้อมูลล่าสุดไม่เปลี่ยน"));
        return false;
    }
    try {
        Settings s = loadSettings(m_main);
        s.backupPath = QDir::fromNativeSeparators(target.trimmed());
        s.backupDate = today;
        saveSettings(m_main, s, {QStringLiteral("backup_path"), QStringLiteral("backup_date")});
    } catch (const platform::db::DbError& e) {
        m_prompt.error(QStringLiteral("สำรองข้อมูลครบแล้ว แต่บันทึกวันที่สำรองข้อมูลไม่ได้: ") +
                       e.description());
        return false;
    }
    m_prompt.information(QStringLiteral("      สำรองข้อมูลสมบูรณ์         "));
    return true;
}

bool BackupForm::backUp(const Backup::Report& report, const QDate& today)
{
    const std::optional<Backup> job = prepare();
    if (!job)
        return false;
    return finished(job->run(report), today);
}

} // namespace tawela::admin

namespace tawela::admin {

BackupForm::Inspection BackupForm::inspect(const QString& folder) const
{
    Inspection found;
    found.folder = folder;
    if (const QString why = refusedSource(m_shop, folder); !why.isEmpty()) {
        found.problems << why;
        return found;
    }
    if (!QFileInfo::exists(QDir(folder).filePath(ManifestName)) &&
        !QFileInfo::exists(QDir(folder).filePath(RunningMark))) {
        // A set of the program's earlier versions: what the folder holds.
        found.oldSet = true;
        QString why;
        const std::optional<BackupPlan> plan = readBackupPlan(m_shop.iniPath(), &why);
        const QStringList patterns = plan ? plan->patterns : QStringList{QStringLiteral("*.mdb")};
        const QStringList folders =
            plan ? plan->folders
                 : QStringList{QStringLiteral("Images"), QStringLiteral("Temp"),
                               QStringLiteral("Excel")};
        found.manifest = manifestOfOldSet(folder, m_shop, patterns, folders, &why);
        if (!found.manifest) {
            found.problems << why;
            return found;
        }
        // Whole databases of this shop, at least.
        found.problems = fileProblems(folder, *found.manifest, m_check);
        return found;
    }
    SetCheck c = checkSet(folder, m_check);
    found.manifest = std::move(c.manifest);
    found.problems = std::move(c.problems);
    return found;
}

bool BackupForm::confirm(const Inspection& found)
{
    if (!found.problems.isEmpty()) {
        QStringList shown = found.problems.mid(0, 10);
        if (found.problems.size() > 10)
            shown << QStringLiteral("และอีก %1 เรื่อง").arg(found.problems.size() - 10);
        m_prompt.stop(QStringLiteral("เรียกคืนข้อมูลจากโฟลเดอร์ %1 ไม่ได้\n\n")
                          .arg(QDir::toNativeSeparators(found.folder)) +
                      shown.join(u'\n') + QStringLiteral("\n\nข้อมูลปัจจุบันของร้านไม่ถูกแตะต้อง"));
        return false;
    }
    const QString aside =
        QStringLiteral("\n\nข้อมูลปัจจุบันจะถูกเก็บไว้ในโฟลเดอร์ \"ก่อนเรียกคืน-…\" ก่อน แล้วจึงเรียกคืน ");
    if (found.oldSet)
        return m_prompt.askYesNo(QStringLiteral("โฟลเดอร์นี้เป็นชุดสำรองแบบเก่า ไม่มีรายการแฟ้ม %1 "
                                                "จึงตรวจไม่ได้ว่าสำรองครบทุกแฟ้มหรือไม่ (อาจสำรองไม่จบ)\n\n")
                                     .arg(ManifestName) +
                                 describeSet(*found.manifest) + aside +
                                 QStringLiteral("ต้องการเรียกคืนชุดนี้ทั้งที่ตรวจไม่ได้หรือไม่"));
    return m_prompt.askYesNo(QStringLiteral("ชุดสำรองนี้ครบและตรงกับตอนสำรองทุกแฟ้ม\n\n") +
                             describeSet(*found.manifest) + aside +
                             QStringLiteral("ต้องการเรียกคืนข้อมูลหรือไม่"));
}

RestoreOutcome BackupForm::restoreInspected(const Inspection& found, bool swapNow,
                                            const RestoreProgress& progress) const
{
    if (!found.manifest || !found.problems.isEmpty())
        throw RestoreError(QStringLiteral("ชุดสำรองยังไม่ผ่านการตรวจ"));
    return restoreSet(m_shop, found.folder, *found.manifest, m_check, swapNow,
                      QDateTime::currentDateTime(), progress);
}

bool BackupForm::restoreDone(const std::optional<RestoreOutcome>& done, const QString& failure,
                             bool swapNow)
{
    if (!done) {
        m_prompt.error(failure);
        return false;
    }
    m_prompt.information((swapNow ? QStringLiteral("เรียกคืนข้อมูลเรียบร้อย ")
                                  : QStringLiteral("ตรวจและเตรียมชุดสำรองเรียบร้อย ")) +
                         QStringLiteral("ข้อมูลก่อนเรียกคืนเก็บไว้ที่ %1\n"
                                        "โปรแกรมจะปิด กรุณาเปิดโปรแกรมใหม่")
                             .arg(QDir::toNativeSeparators(done->aside)));
    return true;
}

bool BackupForm::restore(const QString& folder, bool swapNow)
{
    if (!restoreAllowed)
        return false;
    const Inspection found = inspect(folder);
    if (!confirm(found))
        return false;
    try {
        return restoreDone(restoreInspected(found, swapNow), {}, swapNow);
    } catch (const platform::Error& e) {
        return restoreDone(std::nullopt, e.description(), swapNow);
    }
}

} // namespace tawela::admin
