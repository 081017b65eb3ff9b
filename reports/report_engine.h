#pragma once

#include "reports/report_data.h"
#include "reports/report_definition.h"

#include <QDate>
#include <QFont>
#include <QHash>
#include <QLineF>
#include <QRectF>
#include <QSizeF>

class QPagedPaintDevice;

namespace tawela::reports {

// Named values callers hand over, written "name = 'value'" or "name ='value'".
QHash<QString, QString> parseFormulaValues(const QStringList& entries);

// A value as a report shows it under a format: "#,##0.00", "#,##0", "0.00",
// "#####.00", "date" (dd/MM/yyyy, Buddhist era), "longdate", "baht" (Thai
// words), "time"; no format: the plain text of the value.
QString formatValue(const QVariant& value, const QString& format);

// One thing to draw, in millimetres from the page's top left.
struct DrawOp {
    enum class Kind { Text, Line, Box, Picture, Barcode };
    Kind kind = Kind::Text;
    QRectF rect;
    QLineF line;
    QString text; // text, the picture's file, or the bar code's data
    QString symbology;
    QFont font;
    Qt::Alignment align;
    double penWidth = 0.2;
};

struct LaidOutReport {
    QSizeF pageSize; // mm
    QList<QList<DrawOp>> pages;
};

// Places the bands on pages: report header, page header, group header and
// footer (with their totals), detail lines, page footer, report footer.
// Needs a running QGuiApplication (text is measured with real fonts).
LaidOutReport layoutReport(const ReportDefinition& definition, const QList<ReportRow>& rows,
                           const QHash<QString, QString>& values,
                           const QDate& printDate = QDate::currentDate());

// Moves everything on every page by dx, dy millimetres.
void shiftReport(LaidOutReport& report, double dx, double dy);

// Paints the pages on a PDF writer or a printer that is set up already
// (full page, origin at the paper's corner). A left margin handed over by the
// printer settings moves everything right by that many millimetres.
void paintReport(const LaidOutReport& report, QPagedPaintDevice& device, double leftOffsetMm = 0);

// Writes the pages to a PDF file; false with a Thai message on failure.
bool writePdf(const LaidOutReport& report, const QString& path, QString* error = nullptr,
              double leftOffsetMm = 0);

// The detail lines as a CSV file (UTF-8 with a byte-order mark, so that
// spreadsheet programs read the Thai text): one line per row, one cell per
// text element of the detail band, left to right; the page header's texts
// head the columns. False with a Thai message on failure.
bool writeCsv(const ReportDefinition& definition, const QList<ReportRow>& rows,
              const QHash<QString, QString>& values, const QString& path, QString* error = nullptr);

} // namespace tawela::reports
