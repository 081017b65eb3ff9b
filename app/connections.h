#pragma once

#include "app/config.h"
#include "app/schema.h"
#include "platform/db/database.h"

#include <memory>

namespace tawela::app {

// The four shared connections: main, customer, archive and personal.
class Connections {
public:
    // Opens the four databases in the order main, customer, archive,
    // personal. Files must exist (a missing one is never created here) and
    // accept the configured password. Opening again replaces all four; when
    // any of them fails, the ones already open stay as they were. Throws DbError.
    void open(const AppConfig& config);

    // Closes main, customer, personal and archive, in this order.
    void close();

    bool isOpen() const { return m_main != nullptr; }

    const std::shared_ptr<platform::db::Database>& main() const { return m_main; }
    const std::shared_ptr<platform::db::Database>& customer() const { return m_customer; }
    const std::shared_ptr<platform::db::Database>& archive() const { return m_archive; }
    const std::shared_ptr<platform::db::Database>& personal() const { return m_personal; }

    // The file of each database under the configuration.
    static QString pathFor(const AppConfig& config, DatabaseRole role);
    // Where a role's database is on the server: the configured server with
    // the role's schema. Only main, customer and archive live there.
    static platform::db::ServerAddress serverFor(const AppConfig& config, DatabaseRole role);
    // The file, or the server and schema, for messages.
    static QString whereIs(const AppConfig& config, DatabaseRole role)
    {
        if (!onServer(config, role))
            return pathFor(config, role);
        const auto server = serverFor(config, role);
        return server.display() + u' ' + server.schema;
    }
    static bool onServer(const AppConfig& config, DatabaseRole role)
    {
        return config.server && role != DatabaseRole::Personal;
    }
    // Opens one database of the configuration, on the server or from its
    // file. Throws DbError.
    static std::shared_ptr<platform::db::Database> openRole(const AppConfig& config,
                                                            DatabaseRole role);

    // Creates whichever of the four databases are missing, with their tables
    // and first rows, and the folders they live in. Existing files are left
    // as they are (checked for role and password). Throws DbError.
    static void createMissing(const AppConfig& config);

private:
    std::shared_ptr<platform::db::Database> m_main, m_customer, m_archive, m_personal;
};

// Opens one database of a role as sign-in does. Throws DbError.
std::shared_ptr<platform::db::Database> openDatabase(const QString& path, DatabaseRole role,
                                                     const QString& password);

} // namespace tawela::app
