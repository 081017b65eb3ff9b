#include "admin/backup.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"
#include "platform/file_copy.h"
#include "text/thai_text.h"

#include <QDir>
#include <QFileInfo>

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
    return plan;
}

QList<BackupItem> Backup::pending() const
{
    const QString target = withSlash(m_target);
    if (!QDir().mkpath(target))
        throw platform::CopyError(
            QStringLiteral("สร้างโฟลเดอร์ปลายทาง %1 ไม่ได้").arg(QDir::toNativeSeparators(target)));
    QList<BackupItem> items;
    const auto add = [&](const QFileInfo& f, const QString& to) {
        if (newer(f, to))
            items << BackupItem{f.filePath(), to, f.size(), platform::isDatabaseFile(f.filePath())};
    };
    const QDir source(m_plan.source);
    for (const QString& pattern : m_plan.patterns)
        for (const QFileInfo& f : source.entryInfoList({pattern}, QDir::Files | QDir::Hidden,
                                                       QDir::Name | QDir::IgnoreCase))
            add(f, target + f.fileName());
    for (const QString& folder : m_plan.folders) {
        const QDir dir(source.filePath(folder));
        if (!dir.exists())
            continue;
        const QString into = target + folder + u'/';
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
            add(f, into + f.fileName());
    }
    return items;
}

Backup::Result Backup::run(const Report& report) const
{
    Result result;
    QList<BackupItem> items;
    try {
        items = pending();
    } catch (const platform::CopyError& e) {
        result.failure = e.description();
        return result;
    }
    Progress p;
    p.files = int(items.size());
    for (const BackupItem& i : items)
        p.total += i.bytes;
    qint64 before = 0;
    for (const BackupItem& item : items) {
        ++p.file;
        p.current = item.source;
        p.done = before;
        if (report)
            report(p);
        const auto step = [&](qint64 bytes) {
            p.done = before + std::min(bytes, item.bytes);
            if (report)
                report(p);
        };
        try {
            const QString folder = QFileInfo(item.target).path();
            if (!QDir().mkpath(folder))
                throw platform::CopyError(QStringLiteral("สร้างโฟลเดอร์ %1 ไม่ได้ จึงสำรอง %2 ไม่ได้")
                                              .arg(QDir::toNativeSeparators(folder),
                                                   QDir::toNativeSeparators(item.source)));
            if (item.database)
                platform::copyDatabaseFile(item.source, item.target, step);
            else
                platform::copyPlainFile(item.source, item.target, step);
        } catch (const platform::CopyError& e) {
            result.failure = e.description();
            return result;
        }
        before += item.bytes;
        ++result.copied;
    }
    p.done = p.total;
    if (report)
        report(p);
    return result;
}

BackupForm::BackupForm(std::shared_ptr<platform::db::Database> main, QString iniPath,
                       platform::Prompt& prompt)
    : m_main(std::move(main)), m_iniPath(std::move(iniPath)), m_prompt(prompt)
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
    const std::optional<BackupPlan> plan = readBackupPlan(m_iniPath, &why);
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
    return Backup(*plan, to);
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

namespace {

QList<QPair<QString, QString>> restorable(const BackupPlan& plan, const QString& folder)
{
    // (relative name, full path in the backup)
    QList<QPair<QString, QString>> out;
    const QDir from(folder);
    for (const QString& pattern : plan.patterns)
        for (const QFileInfo& f : from.entryInfoList({pattern}, QDir::Files, QDir::Name))
            out << qMakePair(f.fileName(), f.filePath());
    for (const QString& sub : plan.folders)
        for (const QFileInfo& f : QDir(from.filePath(sub)).entryInfoList(QDir::Files, QDir::Name))
            out << qMakePair(sub + u'/' + f.fileName(), f.filePath());
    return out;
}

void copyOne(const QString& from, const QString& to)
{
    if (!QDir().mkpath(QFileInfo(to).path()))
        throw platform::CopyError(QStringLiteral("สร้างโฟลเดอร์ %1 ไม่ได้").arg(QFileInfo(to).path()));
    if (platform::isDatabaseFile(from))
        platform::copyDatabaseFile(from, to);
    else
        platform::copyPlainFile(from, to);
}

// Into the program's own files: a database in place, under its locks, so
// the program's open connections read what was restored.
void restoreOne(const QString& from, const QString& to)
{
    if (platform::isDatabaseFile(from) && QFileInfo::exists(to))
        platform::restoreDatabaseFile(from, to);
    else
        copyOne(from, to);
}

} // namespace

QList<BackupEntry> inspectBackup(const BackupPlan& plan, const QString& folder)
{
    QList<BackupEntry> out;
    for (const auto& [name, path] : restorable(plan, folder)) {
        const QFileInfo f(path);
        BackupEntry e{name, f.lastModified(), f.size(), -1};
        if (platform::isDatabaseFile(path))
            e.contracts = platform::countRows(path, QStringLiteral("chumnum"));
        out << e;
    }
    return out;
}

RestoreResult restoreBackup(const BackupPlan& plan, const QString& folder, const QDateTime& now)
{
    RestoreResult r;
    const auto files = restorable(plan, folder);
    if (files.isEmpty()) {
        r.failure =
            QStringLiteral("ไม่พบไฟล์สำรองข้อมูลในโฟลเดอร์ %1").arg(QDir::toNativeSeparators(folder));
        return r;
    }
    // Nothing is touched unless every database of the backup is whole.
    for (const auto& [name, path] : files)
        if (platform::isDatabaseFile(path)) {
            const QString why = platform::checkDatabaseFile(path);
            if (!why.isEmpty()) {
                r.failure =
                    QStringLiteral("ไฟล์สำรอง %1 เสียหาย (%2) ยังไม่ได้เรียกคืนข้อมูล").arg(name, why);
                return r;
            }
        }
    const QString source = plan.source;
    r.aside =
        source + QStringLiteral("ก่อนเรียกคืน-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QStringList setAside;
    try {
        for (const auto& [name, path] : files) {
            const QString current = source + name;
            if (QFileInfo::exists(current)) {
                copyOne(current, r.aside + u'/' + name);
                setAside << name;
            }
        }
        for (const auto& [name, path] : files) {
            restoreOne(path, source + name);
            ++r.restored;
        }
    } catch (const platform::CopyError& e) {
        r.failure = e.description();
        // The files as they were before the restore.
        for (const QString& name : setAside) {
            try {
                restoreOne(r.aside + u'/' + name, source + name);
            } catch (const platform::CopyError& again) {
                r.failure += QStringLiteral("\nและนำ %1 กลับคืนไม่ได้: %2 สำเนาเดิมอยู่ที่ %3")
                                 .arg(name, again.description(), r.aside);
            }
        }
        r.restored = 0;
    }
    return r;
}

bool BackupForm::restore(const QString& folder)
{
    if (!restoreAllowed)
        return false;
    QString why;
    const std::optional<BackupPlan> plan = readBackupPlan(m_iniPath, &why);
    if (!plan) {
        m_prompt.error(why);
        return false;
    }
    const QList<BackupEntry> entries = inspectBackup(*plan, folder);
    if (entries.isEmpty()) {
        m_prompt.stop(
            QStringLiteral("ไม่พบไฟล์สำรองข้อมูลในโฟลเดอร์ %1").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    QStringList lines;
    for (const BackupEntry& e : entries.mid(0, 15))
        lines << e.name + QStringLiteral("  ") + text::buddhistDateText(e.modified.date()) + u' ' +
                     e.modified.time().toString(QStringLiteral("HH:mm")) +
                     (e.contracts >= 0 ? QStringLiteral("  สัญญา %1 รายการ").arg(e.contracts)
                                       : QString());
    if (entries.size() > 15)
        lines << QStringLiteral("และอีก %1 ไฟล์").arg(entries.size() - 15);
    if (!m_prompt.askYesNo(QStringLiteral("โฟลเดอร์นี้มี\n") + lines.join(u'\n') +
                           QStringLiteral("\n\nข้อมูลปัจจุบันจะถูกเก็บไว้ในโฟลเดอร์ \"ก่อนเรียกคืน-…\" "
                                          "ก่อน แล้วจึงเรียกคืน ต้องการเรียกคืนข้อมูลหรือไม่")))
        return false;
    const RestoreResult r = restoreBackup(*plan, folder);
    if (!r.failure.isEmpty()) {
        m_prompt.error(r.failure + QStringLiteral("\nข้อมูลปัจจุบันยังเป็นเหมือนเดิม"));
        return false;
    }
    m_prompt.information(QStringLiteral("เรียกคืนข้อมูลเรียบร้อย ข้อมูลก่อนเรียกคืนเก็บไว้ที่ %1\n"
                                        "โปรแกรมจะปิด กรุณาเปิดโปรแกรมใหม่")
                             .arg(QDir::toNativeSeparators(r.aside)));
    return true;
}

} // namespace tawela::admin
