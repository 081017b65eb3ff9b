#pragma once

#include <QString>

namespace tawela::platform {

// The folder of the files that come with the program (the report
// definitions in reports/, the postal-code directory): share/tawela beside
// the folder the program runs from, /usr/share/tawela for /usr/bin/tawela.
// A build keeps the same layout in its own folder, so the nearest
// share/tawela above the program is taken. Empty when there is none.
QString shippedFolder();

// A file that came with the program, by its path inside that folder; throws
// platform::Error (in Thai) when it is not there.
QString shippedFile(const QString& relativePath);

} // namespace tawela::platform
