#pragma once

#include "platform/error.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tawela::platform {
class CellPipe;
}

namespace tawela::platform {

// A spreadsheet that could not be written: the Thai description says which
// file and why.
class SpreadsheetError : public Error {
public:
    using Error::Error;
};

// The classic 56-colour palette of spreadsheet programs, by index (1–56), as
// 0xRRGGBB; 0 for an index outside it.
std::uint32_t paletteColour(int index);

// How a cell looks: a palette colour for its background (0: none) and a
// number format ("0", "[$-107041E]d mmmm yyyy;@", …).
struct SheetStyle {
    int colour = 0;
    QString numberFormat;
};
struct SheetOptions {
    QString sheetName = QStringLiteral("Sheet1");
    QString fontName;
    double fontSize = 11;
    // Rows are written in order and kept on disk, not in memory (large
    // sheets); the cells are formatted on a thread of their own while the
    // caller reads the next rows.
    bool rowByRow = false;
};

// Writes one .xlsx workbook with one sheet. Everything goes to a temporary
// file beside the target; finish() completes it and puts it under the
// target's name, so a failure never leaves half a workbook under that name.
// Rows and columns count from 0. Throws SpreadsheetError.
class SpreadsheetWriter {
public:
    using Style = SheetStyle;
    using Options = SheetOptions;

    SpreadsheetWriter(QString path, const Options& options);
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter&) = delete;
    SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

    void text(int row, int column, const QString& value, const Style& style = {});
    void number(int row, int column, double value, const Style& style = {});
    void date(int row, int column, const QDate& value, const Style& style = {});
    void boolean(int row, int column, bool value, const Style& style = {});
    // A cell with no value, for its style.
    void blank(int row, int column, const Style& style);
    void merge(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString& value,
               const Style& style = {});
    void comment(int row, int column, const QString& text);
    void columnWidth(int firstColumn, int lastColumn, double width, const Style& style = {});
    void rowHeight(int row, double points);
    void hideGridlines();
    void printArea(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // In points, as spreadsheet programs' page setup takes them.
    void margins(double left, double right, double top, double bottom, double header,
                 double footer);
    void fitToPages(int wide, int tall);
    void select(int row, int column);

    // Closes the workbook and renames it into place.
    void finish();

private:
    lxw_format* format(const Style& style);
    void check(int error, const char* what) const;
    // Every cell handed to the background thread written (no-op without one).
    void drain();

    QString m_path, m_partial;
    Options m_options;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QHash<QString, lxw_format*> m_formats;
    lxw_format* m_plain = nullptr;
    bool m_finished = false;
    std::unique_ptr<CellPipe> m_pipe;
};

} // namespace tawela::platform
