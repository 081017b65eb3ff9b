#pragma once

#include <QString>
#include <QStringList>

namespace tawela::app {

// The home folder takes the place of the program folder: "--home DIR" (or
// "--home=DIR") on the command line, else TAWELA_HOME, else
// ~/.local/share/Tawela. The result is absolute, without a trailing separator.
QString resolveHomeFolder(const QStringList& arguments);

// Creates a folder the program owns (the home folder, Images, Temp, Excel)
// readable by its owner only. A folder that exists keeps the permissions
// the shop gave it (a folder shared with a group stays shared). False when
// it cannot be made.
bool makePrivateFolder(const QString& path);

// Every file the program creates from here on is its owner's alone: the
// databases and tawela.ini hold customers' ID numbers and the password.
void keepNewFilesPrivate();

} // namespace tawela::app
