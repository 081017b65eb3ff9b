#include "app/startup.h"

#include "admin/restore.h"
#include "platform/db/db_error.h"

namespace tawela::app {

std::optional<AppConfig> readConfigOrReport(const QString& homeFolder, platform::Prompt& prompt)
{
    try {
        return readConfig(homeFolder);
    } catch (const ConfigError& e) {
        prompt.error(e.description());
        return std::nullopt;
    }
}

bool finishRestoreOrReport(const QString& homeFolder, platform::Prompt& prompt)
{
    try {
        const QString done = admin::finishInterruptedRestore(homeFolder);
        if (!done.isEmpty())
            prompt.information(done);
        return true;
    } catch (const platform::Error& e) {
        prompt.error(e.description());
        return false;
    }
}

bool openConnectionsOrReport(Connections& connections, const AppConfig& config,
                             platform::Prompt& prompt)
{
    try {
        connections.open(config);
        return true;
    } catch (const platform::db::DbError& e) {
        prompt.plain(e.message());
        return false;
    }
}

} // namespace tawela::app
