#pragma once

#include <QStringList>

namespace tawela::reports {

// The report definitions that ship with the program. Both throw
// platform::Error when the program's own files are missing.
QStringList defaultReportNames();

// Copies every shipped definition the data folder does not have yet; a
// shop's own copy is never replaced. Returns the names copied.
QStringList installMissingReports(const QString& dataFolder);

} // namespace tawela::reports
