#include "app/connections.h"

#include "app/home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tawela::app {

using platform::db::Database;
using platform::db::OpenMode;

std::shared_ptr<Database> openDatabase(const QString& path, DatabaseRole role,
                                       const QString& password)
{
    auto db = Database::open(path, OpenMode::ExistingOnly);
    schema::openExisting(*db, role, password);
    return db;
}

QString Connections::pathFor(const AppConfig& config, DatabaseRole role)
{
    switch (role) {
    case DatabaseRole::Main:
        return config.mainDbPath;
    case DatabaseRole::Customer:
        return config.customerDbPath;
    case DatabaseRole::Archive:
        return config.archiveDbPath();
    case DatabaseRole::Personal:
        return config.personalDbPath();
    }
    return {};
}

platform::db::ServerAddress Connections::serverFor(const AppConfig& config, DatabaseRole role)
{
    platform::db::ServerAddress a = config.server.value_or(platform::db::ServerAddress{});
    a.schema = a.schema + u'_' + roleName(role);
    return a;
}

std::shared_ptr<Database> Connections::openRole(const AppConfig& config, DatabaseRole role)
{
    if (!onServer(config, role))
        return openDatabase(pathFor(config, role), role, config.dbPassword);
    auto db = Database::openServer(serverFor(config, role), OpenMode::ExistingOnly);
    schema::openExisting(*db, role, config.dbPassword);
    return db;
}

void Connections::open(const AppConfig& config)
{
    auto main = openRole(config, DatabaseRole::Main);
    auto customer = openRole(config, DatabaseRole::Customer);
    auto archive = openRole(config, DatabaseRole::Archive);
    auto personal = openRole(config, DatabaseRole::Personal);
    close();
    m_main = std::move(main);
    m_customer = std::move(customer);
    m_archive = std::move(archive);
    m_personal = std::move(personal);
}

void Connections::close()
{
    m_main.reset();
    m_customer.reset();
    m_personal.reset();
    m_archive.reset();
}

void Connections::createMissing(const AppConfig& config)
{
    for (DatabaseRole role : {DatabaseRole::Main, DatabaseRole::Customer, DatabaseRole::Archive,
                              DatabaseRole::Personal}) {
        if (onServer(config, role)) {
            auto db = Database::openServer(serverFor(config, role), OpenMode::CreateIfMissing);
            schema::create(*db, role, config.dbPassword);
            continue;
        }
        const QString path = pathFor(config, role);
        makePrivateFolder(QFileInfo(path).absolutePath());
        const bool fresh = !QFileInfo::exists(path);
        auto db = Database::open(path, OpenMode::CreateIfMissing);
        // Customers' ID numbers and addresses: the owner's alone. (A file that
        // was there keeps what the shop gave it.)
        if (fresh)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        schema::create(*db, role, config.dbPassword);
    }
}

} // namespace tawela::app
