#pragma once

#include "app/config.h"
#include "app/connections.h"
#include "platform/prompt.h"

#include <optional>

namespace tawela::app {

// Reads tawela.ini of the home folder. A configuration the program cannot
// start with is shown as "พบข้อผิดพลาด" with the error icon; the caller then
// ends the program.
std::optional<AppConfig> readConfigOrReport(const QString& homeFolder, platform::Prompt& prompt);

// Finishes a restore left half done (see admin::finishInterruptedRestore),
// saying what was done; false (said) when it cannot be finished and the
// program must not start.
bool finishRestoreOrReport(const QString& homeFolder, platform::Prompt& prompt);

// Opens the four connections. A failure is shown as one box with OK whose
// text is "Error : " + number + " " + description; the caller then ends.
bool openConnectionsOrReport(Connections& connections, const AppConfig& config,
                             platform::Prompt& prompt);

} // namespace tawela::app
