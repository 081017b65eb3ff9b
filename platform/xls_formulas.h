#pragma once

#include "platform/spreadsheet_reader.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>

namespace tawela::platform {

// The results an older Excel file (.xls) keeps for the formula cells of its
// first worksheet, by (row, column) from 0: what the spreadsheet program
// showed when the file was saved. A text, a number or a yes/no; formulas
// whose result is empty or an error are left out. A file that cannot be
// followed (not a compound document, a broken chain of sectors) gives an
// empty map: the caller has already read the plain cells.
std::map<std::pair<unsigned, unsigned>, SheetValue> readXlsFormulaResults(const QString& path);
std::map<std::pair<unsigned, unsigned>, SheetValue> readXlsFormulaResults(const QByteArray& file);

} // namespace tawela::platform
