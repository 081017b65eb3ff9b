#include "app/config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/schema.h"
#include "platform/file_copy.h"
#include "platform/password_hash.h"

namespace tawela::app {

namespace {

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// tawela.ini written whole or not at all, its owner's alone.
void writeIni(const QString& path, const QByteArray& text)
{
    try {
        platform::writePrivateFile(path, text);
    } catch (const platform::CopyError& e) {
        throw ConfigError(QStringLiteral("ไม่สามารถเขียนแฟ้ม ") + path + QStringLiteral(" : ") +
                          e.description());
    }
}

QString cleanHome(const QString& homeFolder)
{
    QString home = QDir::cleanPath(QDir(homeFolder).absolutePath());
    while (home.size() > 1 && home.endsWith(u'/'))
        home.chop(1);
    return home;
}

} // namespace

QString AppConfig::iniPathFor(const QString& homeFolder)
{
    return cleanHome(homeFolder) + QStringLiteral("/tawela.ini");
}

AppConfig defaultConfig(const QString& homeFolder)
{
    AppConfig c;
    c.homeFolder = cleanHome(homeFolder);
    c.dataFolder = withSlash(c.homeFolder);
    c.mainDbPath = c.homeFolder + QStringLiteral("/Morlind.mdb");
    c.customerDbPath = c.homeFolder + QStringLiteral("/Qorvelcustomer.mdb");
    c.dbPassword = QStringLiteral("*prepare8");
    c.idCardReaderEnabled = false;
    c.fakeProductText = QStringLiteral("n/a");
    return c;
}

std::optional<bool> parseIniBoolean(const QString& value)
{
    const QString t = value.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(t).hasMatch())
        return std::nullopt;
    // Any digit other than 0 before the exponent makes the number non-zero.
    const QString mantissa = t.section(QRegularExpression(QStringLiteral("[eE]")), 0, 0);
    for (QChar ch : mantissa)
        if (ch >= u'1' && ch <= u'9')
            return true;
    return false;
}

QString normalizePath(const QString& value, const QString& homeFolder)
{
    QString p = value;
    p.replace(u'\\', u'/');
    if (p.isEmpty())
        return p;
    const bool endsWithSeparator = p.endsWith(u'/');
    if (QDir::isRelativePath(p))
        p = cleanHome(homeFolder) + u'/' + p;
    p = QDir::cleanPath(p);
    if (endsWithSeparator && !p.endsWith(u'/'))
        p += u'/';
    return p;
}

AppConfig readConfig(const QString& homeFolder)
{
    AppConfig c = defaultConfig(homeFolder);
    if (!QFileInfo::exists(c.iniPath()))
        return c;
    QString why;
    if (!c.ini.load(c.iniPath(), &why))
        throw ConfigError(why);
    c.readFromFile = true;
    const auto& ini = c.ini;
    // The file decides every value, an absent key included (it reads empty).
    const QString drive = ini.value(QStringLiteral("Path"), QStringLiteral("drive"));
    // An empty data folder meant "the program's own folder".
    c.dataFolder =
        drive.isEmpty() ? withSlash(c.homeFolder) : withSlash(normalizePath(drive, c.homeFolder));
    c.mainDbPath = normalizePath(
        ini.value(QStringLiteral("Path Setting"), QStringLiteral("Database Path")), c.homeFolder);
    c.customerDbPath = normalizePath(
        ini.value(QStringLiteral("Path Setting"), QStringLiteral("Customer Path")), c.homeFolder);
    c.dbPassword = ini.value(QStringLiteral("Path Setting"), QStringLiteral("pwd"));
    c.fakeProductText = ini.value(QStringLiteral("Config_Setting"), QStringLiteral("FakeProduct"));
    const QString reader =
        ini.value(QStringLiteral("Config_Setting"), QStringLiteral("IDCardReader"));
    const auto flag = parseIniBoolean(reader);
    if (!flag)
        throw ConfigError(
            QStringLiteral("ค่า IDCardReader ในแฟ้ม tawela.ini ต้องเป็น True, False หรือตัวเลข") +
            (reader.isEmpty() ? QStringLiteral(" (ไม่พบค่านี้ในแฟ้ม)")
                              : QStringLiteral(" (พบค่า \"") + reader.left(40) +
                                    (reader.size() > 40 ? QStringLiteral("…") : QString()) +
                                    QStringLiteral("\")")));
    c.idCardReaderEnabled = *flag;
    c.server = readServerSection(ini, c.dbPassword);
    if (c.server)
        return c; // the shared databases are on the server
    // Without them no database can be found: say which key is missing rather
    // than that a file named '' is.
    for (const char* key : {"Database Path", "Customer Path"})
        if (ini.value(QStringLiteral("Path Setting"), QLatin1String(key)).isEmpty())
            throw ConfigError(QStringLiteral("แฟ้ม ") + c.iniPath() + QStringLiteral(" ไม่มีค่า ") +
                              QLatin1String(key) + QStringLiteral(" ในส่วน [Path Setting]"));
    return c;
}

platform::db::ServerAddress defaultServerAddress()
{
    platform::db::ServerAddress a;
    a.port = 5432;
    a.database = QStringLiteral("tawela");
    a.user = qEnvironmentVariable("USER");
    a.schema = QStringLiteral("tawela");
    return a;
}

std::optional<platform::db::ServerAddress> readServerSection(const platform::IniFile& ini,
                                                             const QString& password)
{
    const QString section = QStringLiteral("Server");
    const QString host = ini.value(section, QStringLiteral("Host")).trimmed();
    if (host.isEmpty())
        return std::nullopt;
    platform::db::ServerAddress a = defaultServerAddress();
    a.host = host;
    const QString port = ini.value(section, QStringLiteral("Port")).trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        a.port = port.toInt(&ok);
        if (!ok || a.port <= 0 || a.port > 65535)
            throw ConfigError(
                QStringLiteral(
                    "ค่า Port ในส่วน [Server] ของแฟ้ม tawela.ini ต้องเป็นตัวเลข 1 ถึง 65535 (พบค่า \"") +
                port.left(20) + QStringLiteral("\")"));
    }
    auto given = [&](const char* key, QString& value) {
        const QString v = ini.value(section, QLatin1String(key)).trimmed();
        if (!v.isEmpty())
            value = v;
    };
    given("Database", a.database);
    given("User", a.user);
    given("Schema", a.schema);
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,40}$"));
    if (!plainName.match(a.schema).hasMatch())
        throw ConfigError(
            QStringLiteral("ค่า Schema ในส่วน [Server] ของแฟ้ม tawela.ini ใช้ได้เฉพาะอักษรอังกฤษ "
                           "ตัวเลข และ _ ไม่เกิน 41 ตัว"));
    a.password = password;
    return a;
}

QString newDatabasePassword()
{
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    QString out;
    for (int i = 0; i < 20; ++i)
        out += QLatin1Char(alphabet[platform::password_hash::randomBelow(sizeof alphabet - 1)]);
    return out;
}

QByteArray setupIniText(const QString& homeFolder, const QString& dbPassword, bool relative)
{
    const QString home = relative ? QString() : withSlash(cleanHome(homeFolder));
    const QStringList lines = {
        QStringLiteral("[Path]"),
        QStringLiteral("drive = ") + home,
        QString(),
        QStringLiteral("[BackupFile]"),
        QStringLiteral("file_count = 1"),
        QStringLiteral("file01 = *.mdb"),
        QString(),
        QStringLiteral("[BackupDir]"),
        QStringLiteral("dir_count = 3"),
        QStringLiteral("dir01 = Images"),
        QStringLiteral("dir02 = Temp"),
        QStringLiteral("dir03 = Excel"),
        QString(),
        QStringLiteral("[Path Setting]"),
        QStringLiteral("Database Path =  ") + home + QStringLiteral("Morlind.mdb"),
        QStringLiteral("Customer Path = ") + home + QStringLiteral("Qorvelcustomer.mdb"),
        QStringLiteral("pwd =  ") + dbPassword,
        QString(),
        QStringLiteral("[Config_Setting]"),
        QStringLiteral("IDCardReader = True"),
        QString(),
    };
    QByteArray out;
    for (const QString& line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

void writeSetupIni(const QString& homeFolder, const QString& dbPassword, bool relative)
{
    // It holds the database password: the owner's alone.
    writeIni(AppConfig::iniPathFor(homeFolder), setupIniText(homeFolder, dbPassword, relative));
}

void writeServerSettings(const QString& homeFolder,
                         const std::optional<platform::db::ServerAddress>& server,
                         const QString& password)
{
    const QString path = AppConfig::iniPathFor(homeFolder);
    QFile in(path);
    QStringList lines;
    if (in.open(QIODevice::ReadOnly))
        lines =
            QString::fromUtf8(in.readAll()).split(QRegularExpression(QStringLiteral("\\r?\\n")));
    in.close();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QStringList out;
    QString section;
    bool passwordWritten = false;
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[') && t.endsWith(u']')) {
            if (section.compare(QLatin1String("Path Setting"), Qt::CaseInsensitive) == 0 &&
                !passwordWritten) {
                out << QStringLiteral("pwd = ") + password;
                passwordWritten = true;
            }
            section = t.mid(1, t.size() - 2).trimmed();
        }
        if (section.compare(QLatin1String("Server"), Qt::CaseInsensitive) == 0)
            continue; // written anew below
        if (section.compare(QLatin1String("Path Setting"), Qt::CaseInsensitive) == 0 &&
            t.section(u'=', 0, 0).trimmed().compare(QLatin1String("pwd"), Qt::CaseInsensitive) ==
                0) {
            if (!passwordWritten)
                out << QStringLiteral("pwd = ") + password;
            passwordWritten = true;
            continue;
        }
        out << line;
    }
    if (!passwordWritten) {
        if (section.compare(QLatin1String("Path Setting"), Qt::CaseInsensitive) != 0)
            out << QStringLiteral("[Path Setting]");
        out << QStringLiteral("pwd = ") + password;
    }
    if (server) {
        out << QStringLiteral("[Server]") << QStringLiteral("Host = ") + server->host
            << QStringLiteral("Port = ") + QString::number(server->port)
            << QStringLiteral("Database = ") + server->database
            << QStringLiteral("User = ") + server->user
            << QStringLiteral("Schema = ") + server->schema;
    }
    writeIni(path, (out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

} // namespace tawela::app

namespace tawela::app {

admin::ShopFiles shopFiles(const AppConfig& given)
{
    const AppConfig c = given.readFromFile ? given : defaultConfig(given.homeFolder);
    admin::ShopFiles s;
    s.home = cleanHome(c.homeFolder);
    s.dataFolder = c.dataFolder;
    s.mainDb = c.mainDbPath;
    s.customerDb = c.customerDbPath;
    s.archiveDb = c.archiveDbPath();
    s.personalDb = c.personalDbPath();
    s.password = c.dbPassword;
    s.iniTemplate = setupIniText(s.home, QString(), true);
    s.server = c.server;
    return s;
}

admin::DatabaseCheck backupDatabaseCheck()
{
    return [](const QString& path, const QString& role, const QString& password) {
        return schema::checkCopy(path, role, password);
    };
}

} // namespace tawela::app
