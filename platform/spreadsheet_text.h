#pragma once

#include <QString>

namespace tawela::platform {

// A cell of an exported sheet as text a spreadsheet shows, never runs: a
// text that begins like a formula (=, +, -, @, a tab or a line break) gets
// a leading apostrophe, so a customer named "=HYPERLINK(…)" stays a name.
// Plain numbers ("-1,500.00") stay numbers. Every spreadsheet export passes
// its cells through here.
QString spreadsheetSafe(const QString& cell);

} // namespace tawela::platform
