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
