#pragma once

#include "platform/db/database.h"

#include <QString>

#include <memory>
#include <optional>

namespace tawela::test {

// The test server, when the suite runs against one: TAWELA_TEST_SERVER holds
// "host=… port=… dbname=… user=… password=…" (no schema).
inline std::optional<platform::db::ServerAddress> configuredTestServer()
{
    const QString setting = qEnvironmentVariable("TAWELA_TEST_SERVER");
    if (setting.isEmpty())
        return std::nullopt;
    platform::db::ServerAddress a;
    for (const QString& part : setting.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0);
        const QString value = part.section(u'=', 1);
        if (key == QLatin1String("host"))
            a.host = value;
        else if (key == QLatin1String("port"))
            a.port = value.toInt();
        else if (key == QLatin1String("dbname"))
            a.database = value;
        else if (key == QLatin1String("user"))
            a.user = value;
        else if (key == QLatin1String("password"))
            a.password = value;
    }
    return a;
}

// How a helper process is told which database to use: the file's path, or
// "server:" and the schema on the test server.
inline QString addressOf(const platform::db::Database& db)
{
    return db.isServer() ? QStringLiteral("server:") + db.server().schema : db.path();
}

inline std::shared_ptr<platform::db::Database> openAddress(const QString& address)
{
    if (address.startsWith(QLatin1String("server:"))) {
        auto server = configuredTestServer().value_or(platform::db::ServerAddress{});
        server.schema = address.mid(7);
        return platform::db::Database::openServer(server, platform::db::OpenMode::ExistingOnly);
    }
    return platform::db::Database::open(address, platform::db::OpenMode::ExistingOnly);
}

} // namespace tawela::test
