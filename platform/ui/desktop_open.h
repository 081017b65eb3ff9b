#pragma once

#include "platform/prompt.h"

#include <QString>

namespace tawela::platform::ui {

// Opens a file in the program the desktop has for its kind (a PDF viewer, a
// picture viewer, a spreadsheet program), without waiting for it. When no
// program could open it the person is told so, with the file's path, rather
// than left waiting for a window that never comes. `opener` is the desktop's
// command, found on the PATH.
void openInDesktop(const QString& file, Prompt& say,
                   const QString& opener = QStringLiteral("xdg-open"));

// What the person is told when nothing opened the file.
QString notOpenedText(const QString& file, const QString& why);

} // namespace tawela::platform::ui
