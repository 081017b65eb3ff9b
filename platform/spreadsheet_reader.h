#pragma once

#include "platform/spreadsheet_writer.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

namespace tawela::platform {

// One cell as a spreadsheet file holds it.
struct SheetValue {
    enum class Kind { Empty, Text, Number, Date, Boolean };
    Kind kind = Kind::Empty;
    QString text;
    double number = 0;
    QDate date;
    bool boolean = false;

    bool isEmpty() const { return kind == Kind::Empty || (kind == Kind::Text && text.isEmpty()); }
    // The value as text: numbers without a needless ".0", dates as YYYY-MM-DD.
    QString asText() const;
};

// The first sheet of a workbook: rows from the top, each with at most
// `columns` cells from column A.
struct SheetData {
    std::vector<std::vector<SheetValue>> rows;
    const SheetValue& at(size_t row, size_t column) const;
};

// Reads .xlsx and .ods (liborcus) and the older .xls (freexl). Throws
// SpreadsheetError: a missing file, one that is not a spreadsheet, another kind.
SheetData readSheet(const QString& path, int columns);

// The same sheet a row at a time, in the file's order: `row` counts from 0,
// `cells` from column A (at most `columns`, none after the last filled one;
// the receiver may take them). Rows without cells are left out. `expected`
// is the number of rows the file says it holds (0 when it does not say), for
// a progress bar. An .xlsx is never held whole, so a large sheet takes
// little memory; the receiver may throw to stop the reading.
using SheetRowReceiver =
    std::function<void(size_t row, std::vector<SheetValue>& cells, size_t expected)>;
void readSheetRows(const QString& path, int columns, const SheetRowReceiver& receive);

// A spreadsheet day number (days since 30 December 1899) as a date.
QDate dateOfSerial(double serial);

} // namespace tawela::platform
