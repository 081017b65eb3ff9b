#pragma once

#include <QString>
#include <QStringList>

namespace tawela::app {

// The home folder takes the place of the program folder: "--home DIR" (or
// "--home=DIR") on the command line, else TAWELA_HOME, else
// ~/.local/share/Tawela. The result is absolute, without a trailing separator.
QString resolveHomeFolder(const QStringList& arguments);

} // namespace tawela::app
