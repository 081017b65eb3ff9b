#pragma once

#include "platform/error.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace tawela::reports {

// A definition file the engine cannot read; line counts from 1.
// description(): "แบบรายงาน recv_1.rpt บรรทัด 3: …"
class DefinitionError : public platform::Error {
public:
    DefinitionError(const QString& file, int line, const QString& message);
    int line() const { return m_line; }

private:
    int m_line;
};

// One element of a band, placed in millimetres from the band's top left.
struct Element {
    enum class Kind { Text, Line, Box, Picture, Barcode };
    Kind kind = Kind::Text;
    double x = 0, y = 0, w = 0, h = 0; // for a line: x1 y1 x2 y2
    QString content;                   // a template: literal text with {…} fields
    QString font;                      // empty: the report's font
    double size = 0;                   // points; 0: the report's size
    bool bold = false, italic = false, grow = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    double penWidth = 0.2;                        // mm, lines and boxes
    QString symbology = QStringLiteral("code39"); // bar codes: code39, code128, qr
    QString when, unless;                         // shown only when the field is true / not true
};

struct Band {
    enum class Kind {
        ReportHeader,
        PageHeader,
        GroupHeader,
        Detail,
        GroupFooter,
        PageFooter,
        ReportFooter
    };
    Kind kind = Kind::Detail;
    double height = 0; // mm
    QList<Element> elements;
};

// A report definition (.rpt): page, data and bands. See docs/report-format.md.
struct ReportDefinition {
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    QString title;
    QSizeF pageSize{210, 297}; // mm
    bool roll = false;         // roll paper: the page is as long as its content
    bool landscape = false;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
    QString font = QStringLiteral("Laksaman");
    double fontSize = 14;
    QString database = QStringLiteral("main");
    QString table;
    struct Join {
        QString table, leftField, rightField; // LEFT JOIN table ON left = right; no fields:
                                              // the table's first row joins every row
    };
    QList<Join> joins;
    QStringList order; // "table.column" or "table.column desc"
    QString group;     // "table.column"; empty: no groups
    // Labels: the detail band this many across, each starting columnWidth
    // mm to the right of the one before; a line of them is as high as its
    // highest.
    int columns = 1;
    double columnWidth = 0;
    bool labels = false; // a columns setting was given, even of one across
    QList<Band> bands;

    const Band* band(Band::Kind kind) const;
    double pageWidth() const { return landscape ? pageSize.height() : pageSize.width(); }
    double pageHeight() const { return landscape ? pageSize.width() : pageSize.height(); }

    // Throws DefinitionError.
    static ReportDefinition parse(const QString& text, const QString& fileName = QString());
    static ReportDefinition load(const QString& path);
};

} // namespace tawela::reports
