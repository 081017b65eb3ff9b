#pragma once

#include "platform/db/database.h"
#include "platform/spreadsheet_reader.h"

#include <QList>
#include <QString>

#include <functional>

namespace tawela::customers {

// A cell the import could not store, and why; the rest of its row was stored.
struct ImportProblem {
    int sheetRow = 0; // as the spreadsheet program numbers it (row 1: the headings)
    QString heading;
    QString value;
    QString why;
};

struct ImportResult {
    qsizetype added = 0, updated = 0, unchanged = 0; // customers of the sheet
    // Rows with a code below the last row whose title (column B) is filled:
    // not read, as the sheet's layout says, but counted for the person.
    qsizetype afterLast = 0;
    QList<ImportProblem> problems;
    bool cancelled = false; // nothing was stored
};

// Reports progress (rows done of rows to do); false cancels the import.
using ImportProgress = std::function<bool(qsizetype done, qsizetype total)>;

// Adds or updates customers from a sheet laid out as All2Excel writes it:
// column k is table position k, row 1 the headings. Rows up to the last one
// whose column B is filled are read; a row without a code is skipped; a
// customer is found by its code, or added; empty cells keep what is stored.
// One transaction: on a failure or a cancel nothing is stored. Throws DbError.
ImportResult importCustomers(platform::db::Database& customer, const platform::SheetData& sheet,
                             const ImportProgress& progress = {});

// The same straight from a spreadsheet file, read a row at a time as the
// rows are stored (a large sheet is never held whole), `columns` at most.
// Throws SpreadsheetError (nothing stored) as well as DbError.
ImportResult importCustomerFile(platform::db::Database& customer, const QString& path, int columns,
                                const ImportProgress& progress = {});

// The problems as a CSV text (row, heading, value, why) the person can keep.
QString problemReport(const QList<ImportProblem>& problems);

} // namespace tawela::customers
