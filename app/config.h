#pragma once

#include "admin/backup_set.h"
#include "platform/db/database.h"
#include "platform/ini_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include "platform/error.h"

namespace tawela::app {

// tawela.ini cannot be used; the description is shown to the person.
class ConfigError : public platform::Error {
public:
    using Error::Error;
};

// The configuration record, read once per run from tawela.ini in the home folder.
struct AppConfig {
    QString homeFolder; // no trailing separator
    QString dataFolder; // always ends with "/"
    QString mainDbPath;
    QString customerDbPath;
    QString dbPassword;
    bool idCardReaderEnabled = false;
    QString fakeProductText;
    bool readFromFile = false;
    platform::IniFile ini; // the whole file, for the backup lists
    // [Server]: main, customer and archive on a database server shared by
    // several counters, as the schemas "<Schema>_main", "_customer" and
    // "_archive" of one server database (the personal database stays a file).
    std::optional<platform::db::ServerAddress> server;

    QString archiveDbPath() const { return dataFolder + QStringLiteral("closed_policy.mdb"); }
    QString personalDbPath() const { return homeFolder + QStringLiteral("/Personal.mdb"); }
    QString iniPath() const { return iniPathFor(homeFolder); }

    static QString iniPathFor(const QString& homeFolder);
};

// The defaults that apply when the home folder has no tawela.ini.
AppConfig defaultConfig(const QString& homeFolder);

// Reads tawela.ini from the home folder, or the defaults when it is missing.
// Throws ConfigError when IDCardReader is not a Boolean.
AppConfig readConfig(const QString& homeFolder);

// A server address with what is taken when nothing is said: port 5432,
// database and schema "tawela", the person's login name as user.
platform::db::ServerAddress defaultServerAddress();

// Reads the [Server] section: none without a Host; Port 5432, Schema
// "tawela" and User the person's login name unless given; the password is
// pwd of [Path Setting]. Throws ConfigError for a port that is no number.
std::optional<platform::db::ServerAddress> readServerSection(const platform::IniFile& ini,
                                                             const QString& password);

// "True"/"False" in any letter case, or a number (0 false, other true).
std::optional<bool> parseIniBoolean(const QString& value);

// Paths from the file: "\" and "/" both separate folders; a relative path is
// taken from the home folder.
QString normalizePath(const QString& value, const QString& homeFolder);

// The exact text first-use setup writes: 21 lines, each ended by CR LF, with
// the home folder in place of the old fixed program folder and the shop's
// own database password.
// With `relative` the paths are written from the home folder ("drive" empty,
// the databases by their names), so the folder can be moved or copied
// whole and still opens its own databases.
QByteArray setupIniText(const QString& homeFolder, const QString& dbPassword,
                        bool relative = false);

// A new shop's database password: 20 random letters and digits, so that no
// two installations share one.
QString newDatabasePassword();

// Writes setupIniText() to the home folder's tawela.ini, replacing any file
// there, readable by its owner only. The file is written whole or not at
// all. Throws ConfigError.
void writeSetupIni(const QString& homeFolder, const QString& dbPassword = newDatabasePassword(),
                   bool relative = false);

// The shop's files for backup and restore as this configuration has them:
// tawela.ini's folder when it exists, else where a new tawela.ini (written
// with paths from the home folder) would put them.
admin::ShopFiles shopFiles(const AppConfig& config);

// The check a backup set's databases get: the role and password stored
// in each, read without writing to the file.
admin::DatabaseCheck backupDatabaseCheck();

// Rewrites the home folder's tawela.ini for a shop that moves to a server or
// back to files: the [Server] section is replaced by the one given (or
// removed), pwd of [Path Setting] becomes the password; every other line
// stays as it was. Written whole or not at all. Throws ConfigError.
void writeServerSettings(const QString& homeFolder,
                         const std::optional<platform::db::ServerAddress>& server,
                         const QString& password);

} // namespace tawela::app
