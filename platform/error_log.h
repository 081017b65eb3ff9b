#pragma once

#include <QString>

namespace tawela::platform {

// The technical side of failures (the statement that failed, the driver's
// own words) goes to "tawela.log" in the home folder, never onto the screen;
// staff see the Thai description. Each line carries the time and the
// employee signed in. The file is started anew as "tawela.log.1" when it
// passes a megabyte, so it never fills the disk.
namespace error_log {

// Where the log is kept; nothing is written until a folder is set.
void setFolder(const QString& folder);
void setEmployee(const QString& code);
void write(const QString& text);
// The path of the current file (empty without a folder).
QString path();

constexpr qint64 MaxSize = 1024 * 1024;

} // namespace error_log
} // namespace tawela::platform
