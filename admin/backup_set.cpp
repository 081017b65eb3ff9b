#include "admin/backup_set.h"

#include "platform/db/pg_tools.h"
#include "platform/file_copy.h"
#include "text/thai_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tawela::admin {

bool SetFile::database() const
{
    return role == file_role::Main || role == file_role::Customer || role == file_role::Archive ||
           role == file_role::Personal;
}

const SetFile* Manifest::find(const QString& role) const
{
    for (const SetFile& f : files)
        if (f.role == role)
            return &f;
    return nullptr;
}

QByteArray Manifest::toJson() const
{
    QJsonArray list;
    for (const SetFile& f : files) {
        QJsonObject o{{QStringLiteral("name"), f.name},
                      {QStringLiteral("role"), f.role},
                      {QStringLiteral("bytes"), f.bytes},
                      {QStringLiteral("sha256"), QString::fromLatin1(f.sha256.toHex())},
                      {QStringLiteral("modified"), f.modified.toUTC().toString(Qt::ISODateWithMs)}};
        if (f.serverDump())
            o[QStringLiteral("schema")] = f.schema;
        if (f.database()) {
            QJsonObject rows;
            for (auto i = f.rows.begin(); i != f.rows.end(); ++i)
                rows[i.key()] = i.value();
            o[QStringLiteral("rows")] = rows;
        }
        list << o;
    }
    const QJsonObject root{
        {QStringLiteral("format"), format},
        {QStringLiteral("program"), program},
        {QStringLiteral("shop"), shopName},
        {QStringLiteral("created"), created.toString(Qt::ISODate)},
        {QStringLiteral("complete"), true},
        {QStringLiteral("password"), password},
        {QStringLiteral("settings"),
         QJsonObject{{QStringLiteral("BackupFile"), QJsonArray::fromStringList(filePatterns)},
                     {QStringLiteral("BackupDir"), QJsonArray::fromStringList(folders)},
                     {QStringLiteral("IDCardReader"), idCardReader},
                     {QStringLiteral("FakeProduct"), fakeProduct}}},
        {QStringLiteral("files"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Manifest> Manifest::fromJson(const QByteArray& json, QString* error)
{
    const auto fail = [&](const QString& why) -> std::optional<Manifest> {
        if (error)
            *error = QStringLiteral("รายการแฟ้ม %1 ของชุดสำรองอ่านไม่ได้ (%2)").arg(ManifestName, why);
        return std::nullopt;
    };
    QJsonParseError parsed{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return fail(QStringLiteral("ไม่ใช่ JSON ที่สมบูรณ์: ") + parsed.errorString());
    const QJsonObject root = doc.object();
    if (!root.value(QStringLiteral("complete")).toBool())
        return fail(QStringLiteral("ไม่มีเครื่องหมายว่าสำรองครบ"));
    Manifest m;
    m.format = root.value(QStringLiteral("format")).toInt();
    if (m.format != 1)
        return fail(QStringLiteral("รูปแบบ %1 ใหม่กว่าที่โปรแกรมรุ่นนี้รู้จัก").arg(m.format));
    m.program = root.value(QStringLiteral("program")).toString();
    m.shopName = root.value(QStringLiteral("shop")).toString();
    m.created =
        QDateTime::fromString(root.value(QStringLiteral("created")).toString(), Qt::ISODate);
    m.password = root.value(QStringLiteral("password")).toString();
    const QJsonObject settings = root.value(QStringLiteral("settings")).toObject();
    for (const QJsonValue& v : settings.value(QStringLiteral("BackupFile")).toArray())
        m.filePatterns << v.toString();
    for (const QJsonValue& v : settings.value(QStringLiteral("BackupDir")).toArray())
        m.folders << v.toString();
    m.idCardReader = settings.value(QStringLiteral("IDCardReader")).toString();
    m.fakeProduct = settings.value(QStringLiteral("FakeProduct")).toString();
    for (const QJsonValue& v : root.value(QStringLiteral("files")).toArray()) {
        const QJsonObject o = v.toObject();
        SetFile f;
        f.name = o.value(QStringLiteral("name")).toString();
        f.role = o.value(QStringLiteral("role")).toString();
        f.bytes = qint64(o.value(QStringLiteral("bytes")).toDouble(-1));
        f.sha256 = QByteArray::fromHex(o.value(QStringLiteral("sha256")).toString().toLatin1());
        f.modified = QDateTime::fromString(o.value(QStringLiteral("modified")).toString(),
                                           Qt::ISODateWithMs);
        f.schema = o.value(QStringLiteral("schema")).toString();
        const QJsonObject rows = o.value(QStringLiteral("rows")).toObject();
        for (auto i = rows.begin(); i != rows.end(); ++i)
            f.rows.insert(i.key(), qint64(i.value().toDouble()));
        // A name that climbs out of the set's folder is no file of the set.
        const QString clean = QDir::cleanPath(f.name);
        if (f.name.isEmpty() || clean.startsWith(QLatin1String("..")) ||
            QDir::isAbsolutePath(clean) || f.sha256.size() != 32 || f.bytes < 0)
            return fail(QStringLiteral("รายการของแฟ้ม \"%1\" ไม่ถูกต้อง").arg(f.name));
        m.files << f;
    }
    if (m.files.isEmpty())
        return fail(QStringLiteral("ไม่มีแฟ้มในรายการ"));
    return m;
}

std::optional<Manifest> readManifest(const QString& folder, QString* error)
{
    const QDir dir(folder);
    QFile file(dir.filePath(ManifestName));
    if (!file.exists()) {
        if (error)
            *error = dir.exists(RunningMark)
                         ? QStringLiteral("ชุดสำรองนี้ไม่สมบูรณ์: การสำรองข้อมูลครั้งนั้นถูกขัดจังหวะก่อนจบ")
                         : QStringLiteral("ชุดสำรองนี้ไม่สมบูรณ์: ไม่มีรายการแฟ้ม %1 "
                                          "(สำรองไม่จบ หรือสำรองด้วยโปรแกรมรุ่นก่อน)")
                               .arg(ManifestName);
        return std::nullopt;
    }
    // A manifest is a few kilobytes a thousand files: anything far larger is not one.
    if (file.size() > 64 * 1024 * 1024 || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("อ่านรายการแฟ้ม %1 ไม่ได้").arg(file.fileName());
        return std::nullopt;
    }
    std::optional<Manifest> m = Manifest::fromJson(file.readAll(), error);
    if (m && dir.exists(RunningMark)) {
        if (error)
            *error = QStringLiteral("ชุดสำรองนี้ไม่สมบูรณ์: มีการสำรองข้อมูลที่ยังไม่จบทับชุดนี้อยู่");
        return std::nullopt;
    }
    return m;
}

QString checkSetFile(const QString& path, const QString& shown, const SetFile& f, const Manifest& m,
                     const DatabaseCheck& check, const std::function<void(qint64 done)>& progress)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("ไม่พบแฟ้ม %1 ในชุดสำรอง").arg(shown);
    if (info.size() != f.bytes)
        return QStringLiteral("แฟ้ม %1 ยาว %2 ไบต์ ไม่ใช่ %3 ไบต์อย่างตอนสำรอง")
            .arg(shown)
            .arg(info.size())
            .arg(f.bytes);
    try {
        if (platform::sha256Of(path, progress) != f.sha256)
            return QStringLiteral("แฟ้ม %1 เปลี่ยนไปจากตอนสำรอง (ค่าตรวจสอบ SHA-256 ไม่ตรง)").arg(shown);
    } catch (const platform::CopyError& e) {
        return e.description();
    }
    if (f.serverDump()) // its rows are counted when it is loaded
        return platform::db::dumpProblem(path);
    if (!f.database())
        return {};
    if (const QString broken = platform::checkDatabaseFile(path); !broken.isEmpty())
        return QStringLiteral("ฐานข้อมูล %1 เสียหาย (%2)").arg(shown, broken);
    if (check)
        if (const QString wrong = check(path, f.role, m.password); !wrong.isEmpty())
            return QStringLiteral("แฟ้ม %1: %2").arg(shown, wrong);
    try {
        QHash<QString, qint64> rows;
        for (const auto& [table, n] : platform::tableRowCounts(path))
            rows.insert(table, n);
        if (rows != f.rows)
            return QStringLiteral("จำนวนแถวในฐานข้อมูล %1 ไม่ตรงกับตอนสำรอง").arg(shown);
    } catch (const platform::CopyError& e) {
        return e.description();
    }
    return {};
}

QStringList missingDatabases(const Manifest& m, const QString& mainName,
                             const QString& customerName)
{
    QStringList out;
    if (!m.find(file_role::Main))
        out << QStringLiteral("ชุดสำรองไม่มีฐานข้อมูลหลัก (%1)").arg(mainName);
    if (!m.find(file_role::Customer))
        out << QStringLiteral("ชุดสำรองไม่มีฐานข้อมูลลูกค้า (%1)").arg(customerName);
    return out;
}

QStringList fileProblems(const QString& folder, const Manifest& m, const DatabaseCheck& check,
                         const std::function<void(qint64 done, qint64 total)>& progress)
{
    QStringList problems;
    qint64 total = 0, before = 0;
    for (const SetFile& f : m.files)
        total += f.bytes;
    const QDir dir(folder);
    for (const SetFile& f : m.files) {
        const qint64 start = before;
        before += f.bytes;
        const QString problem =
            checkSetFile(dir.filePath(f.name), f.name, f, m, check, [&](qint64 done) {
                if (progress)
                    progress(start + done, total);
            });
        if (!problem.isEmpty())
            problems << problem;
    }
    if (progress)
        progress(total, total);
    return problems;
}

SetCheck checkSet(const QString& folder, const DatabaseCheck& check,
                  const std::function<void(qint64 done, qint64 total)>& progress)
{
    SetCheck c;
    QString why;
    c.manifest = readManifest(folder, &why);
    if (!c.manifest) {
        c.problems << why;
        return c;
    }
    c.problems = missingDatabases(*c.manifest) + fileProblems(folder, *c.manifest, check, progress);
    return c;
}

QString describeSet(const Manifest& m)
{
    const auto rows = [&](const QString& role, const char* table) -> QString {
        const SetFile* f = m.find(role);
        return f ? QString::number(f->rows.value(QLatin1String(table))) : QStringLiteral("-");
    };
    qint64 bytes = 0;
    for (const SetFile& f : m.files)
        bytes += f.bytes;
    return QStringLiteral("ร้าน: %1\nสำรองเมื่อ: %2 %3\nโดย: %4\n"
                          "สัญญา %5 รายการ  ใบเสร็จ %6 รายการ  ลูกค้า %7 ราย\n"
                          "แฟ้ม %8 แฟ้ม รวม %9 MB")
        .arg(m.shopName.isEmpty() ? QStringLiteral("-") : m.shopName,
             text::buddhistDateText(m.created.date()),
             m.created.time().toString(QStringLiteral("HH:mm")), m.program,
             rows(file_role::Main, "chumnum"), rows(file_role::Main, "service"),
             rows(file_role::Customer, "customer"), QString::number(m.files.size()),
             QString::number(double(bytes) / (1024 * 1024), 'f', 1));
}

} // namespace tawela::admin
