#include "reports/report_engine.h"
#include "reports/report_fields.h"

#include "platform/decimal.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <limits>

namespace tawela::reports {

using fields::Context;
using fields::expand;
using fields::Totals;
using fields::totalsOf;
using fields::truthy;
using fields::valueOf;
using platform::Decimal;

namespace {

// Measures text the way the PDF will set it.
struct Measure {
    QImage device{1, 1, QImage::Format_RGB32};
    Measure()
    {
        const int dpm = int(1200 / 0.0254);
        device.setDotsPerMeterX(dpm);
        device.setDotsPerMeterY(dpm);
    }
    double heightMm(const QFont& font, double widthMm, const QString& text)
    {
        const QFontMetricsF fm(font, &device);
        const double px = widthMm * 1200 / 25.4;
        const QRectF r = fm.boundingRect(QRectF(0, 0, px, 1e7), Qt::TextWordWrap, text);
        return std::max(r.height(), fm.height()) * 25.4 / 1200;
    }
    double lineMm(const QFont& font) { return QFontMetricsF(font, &device).height() * 25.4 / 1200; }
};

// One element of a band as it is drawn with this row: where (band-relative,
// mm, after the elements above it grew) and what.
struct Placed {
    const Element* element;
    QRectF rect;          // lines: x1 y1 x2 y2 in the rect's corners
    QString text;         // expanded
    double pointSize = 0; // a text made smaller to fit its box; 0: as defined
};

// On a sheet of labels a text is made smaller down to this size before it
// is cut.
constexpr double SmallestLabelPoints = 7;

class Layout {
public:
    Layout(const ReportDefinition& d, const QList<ReportRow>& rows,
           const QHash<QString, QString>& values, const QDate& printDate)
        : m_d(d), m_rows(rows), m_values(values), m_printDate(printDate)
    {
        m_bottomLimit = d.roll
                            ? std::numeric_limits<double>::max()
                            : d.pageHeight() - d.marginBottom - bandHeight(Band::Kind::PageFooter);
    }

    LaidOutReport run()
    {
        const Totals all = totalsOf(m_rows, 0, m_rows.size());
        const ReportRow* first = m_rows.isEmpty() ? nullptr : &m_rows.first();
        // The report header opens the first page, above its page header.
        m_pages.append(QList<DrawOp>());
        m_y = m_d.marginTop;
        m_rowForHeaders = first; // page headers show the row they stand above
        if (const Band* b = m_d.band(Band::Kind::ReportHeader))
            emitBand(*b, first, &all);
        placePageHeader();
        const QString groupField = m_d.group.toLower();
        qsizetype groupStart = 0;
        Totals groupTotals;
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            const ReportRow& row = m_rows[i];
            if (!groupField.isEmpty() &&
                (i == 0 || row.value(groupField) != m_rows[i - 1].value(groupField))) {
                if (i > 0)
                    place(Band::Kind::GroupFooter, &m_rows[i - 1], &groupTotals);
                qsizetype end = i + 1;
                while (end < m_rows.size() &&
                       m_rows[end].value(groupField) == row.value(groupField))
                    ++end;
                groupStart = i;
                groupTotals = totalsOf(m_rows, groupStart, end);
                place(Band::Kind::GroupHeader, &row, &groupTotals);
            }
            place(Band::Kind::Detail, &row, &all);
        }
        if (!groupField.isEmpty() && !m_rows.isEmpty())
            place(Band::Kind::GroupFooter, &m_rows.last(), &groupTotals);
        place(Band::Kind::ReportFooter, m_rows.isEmpty() ? nullptr : &m_rows.last(), &all);
        finishLine();
        endPage(&all);

        LaidOutReport out;
        const double height = m_d.roll ? m_y + bandHeight(Band::Kind::PageFooter) + m_d.marginBottom
                                       : m_d.pageHeight();
        out.pageSize = QSizeF(m_d.pageWidth(), height);
        const QString pages = QString::number(m_pages.size());
        for (auto& page : m_pages)
            for (DrawOp& op : page)
                op.text.replace(fields::pagesMark(), pages);
        out.pages = m_pages;
        return out;
    }

private:
    double bandHeight(Band::Kind kind) const
    {
        const Band* b = m_d.band(kind);
        return b ? b->height : 0;
    }

    static bool shown(const Element& e, const Context& c)
    {
        if (!e.when.isEmpty() && !truthy(valueOf(e.when, c)))
            return false;
        if (!e.unless.isEmpty() && truthy(valueOf(e.unless, c)))
            return false;
        return true;
    }

    // One font per element, shared by every text it draws: a long report
    // holds hundreds of thousands of them.
    const QFont& fontOf(const Element& e)
    {
        auto it = m_fonts.constFind(&e);
        if (it != m_fonts.constEnd())
            return *it;
        QFont f(e.font.isEmpty() ? m_d.font : e.font);
        f.setPointSizeF(e.size > 0 ? e.size : m_d.fontSize);
        f.setBold(e.bold);
        f.setItalic(e.italic);
        return *m_fonts.insert(&e, f);
    }

    void startPage()
    {
        m_pages.append(QList<DrawOp>());
        m_y = m_d.marginTop;
        placePageHeader();
    }

    void placePageHeader()
    {
        if (const Band* b = m_d.band(Band::Kind::PageHeader))
            emitBand(*b, m_rowForHeaders, nullptr);
        m_contentTop = m_y;
    }

    void endPage(const Totals* totals)
    {
        if (const Band* b = m_d.band(Band::Kind::PageFooter)) {
            if (!m_d.roll)
                m_y = m_d.pageHeight() - m_d.marginBottom - b->height;
            emitBand(*b, m_rowForHeaders, totals);
        }
    }

    // Lays out a band for a row. Text that needs more room than its box
    // grows (long text always wraps), and whatever lies below a grown
    // element in the band moves down by as much, as do the bottoms of boxes
    // and lines around it; the band grows to hold everything. So no data,
    // however long, prints over what stands below it.
    // On a sheet of labels the pitch wins: a text that needs more room than
    // its box is set smaller, down to a floor, then cut with "…", and never
    // moves what lies below it or the next label.
    void fitIntoBox(Placed& p)
    {
        const Element& e = *p.element;
        QFont f = fontOf(e);
        const double defined = f.pointSizeF();
        const double box = std::max(e.h, m_measure.lineMm(f));
        auto fits = [&](const QString& text) {
            return m_measure.heightMm(f, e.w, text) <= box + 1e-6;
        };
        const double floor = std::min(defined, SmallestLabelPoints);
        while (!fits(p.text) && f.pointSizeF() - 0.5 >= floor - 1e-9)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        if (!fits(p.text)) {
            // The longest start that fits with the mark after it, never
            // parting a letter from its vowel and tone marks.
            qsizetype low = 0, high = p.text.size();
            while (low < high) {
                const qsizetype mid = (low + high + 1) / 2;
                if (fits(p.text.left(mid) + u'…'))
                    low = mid;
                else
                    high = mid - 1;
            }
            while (low > 0 && low < p.text.size() && p.text[low].isMark())
                --low;
            p.text = p.text.left(low).trimmed() + u'…';
        }
        if (f.pointSizeF() != defined)
            p.pointSize = f.pointSizeF();
    }

    double layoutBand(const Band& b, const Context& c, QList<Placed>& out)
    {
        const bool fixedPitch = b.kind == Band::Kind::Detail && m_d.labels;
        struct Item {
            Placed placed;
            double top, bottom; // as defined
            double growth = 0;
            double shift = 0;
        };
        QList<Item> items;
        for (const Element& e : b.elements) {
            if (!shown(e, c))
                continue;
            Item it;
            it.placed.element = &e;
            const bool line = e.kind == Element::Kind::Line;
            it.top = line ? std::min(e.y, e.h) : e.y;
            it.bottom = line ? std::max(e.y, e.h) : e.y + e.h;
            if (e.kind == Element::Kind::Text || e.kind == Element::Kind::Picture ||
                e.kind == Element::Kind::Barcode)
                it.placed.text = expand(e.content, c);
            if (e.kind == Element::Kind::Text && fixedPitch) {
                fitIntoBox(it.placed);
            } else if (e.kind == Element::Kind::Text) {
                const QFont f = fontOf(e);
                const double needed = m_measure.heightMm(f, e.w, it.placed.text);
                // A box shorter than one line is the definition's business;
                // only the lines beyond the first make it grow.
                it.growth = std::max(0.0, needed - std::max(e.h, m_measure.lineMm(f)));
            }
            items << it;
        }
        // How far a point at y (as defined) moves: by the most that any
        // element ending above it grew, itself moved.
        std::sort(items.begin(), items.end(),
                  [](const Item& x, const Item& y) { return x.top < y.top; });
        auto shiftAt = [&items](double y, qsizetype before) {
            double s = 0;
            for (qsizetype k = 0; k < before; ++k)
                if (items[k].bottom <= y + 1e-9 && items[k].growth + items[k].shift > s)
                    s = items[k].growth + items[k].shift;
            return s;
        };
        for (qsizetype i = 0; i < items.size(); ++i)
            items[i].shift = shiftAt(items[i].top, i);
        double height = b.height + shiftAt(b.height, items.size());
        for (Item& it : items) {
            const Element& e = *it.placed.element;
            switch (e.kind) {
            case Element::Kind::Line: {
                const double y1 = e.y + (e.y <= e.h ? it.shift : shiftAt(e.y, items.size()));
                const double y2 = e.h + (e.h <= e.y ? it.shift : shiftAt(e.h, items.size()));
                it.placed.rect = QRectF(QPointF(e.x, y1), QPointF(e.w, y2));
                height = std::max(height, std::max(y1, y2));
                break;
            }
            case Element::Kind::Box: {
                const double bottom = it.bottom + shiftAt(it.bottom, items.size());
                it.placed.rect = QRectF(e.x, e.y + it.shift, e.w, bottom - e.y - it.shift);
                height = std::max(height, bottom);
                break;
            }
            default:
                it.placed.rect = QRectF(e.x, e.y + it.shift, e.w, e.h + it.growth);
                height = std::max(height, it.placed.rect.bottom());
            }
            out << it.placed;
        }
        return height;
    }

    void place(Band::Kind kind, const ReportRow* row, const Totals* totals)
    {
        const Band* b = m_d.band(kind);
        if (!b)
            return;
        if (kind == Band::Kind::Detail && m_d.labels) {
            placeAcross(*b, row, totals);
            return;
        }
        finishLine();
        QList<Placed> placed;
        const double height = layoutOnPage(*b, row, totals, true, placed);
        draw(placed, height);
    }

    // Lays out a band for a row on the current page, or on a new one when it
    // does not fit below what is there (and a page break is allowed here).
    double layoutOnPage(const Band& b, const ReportRow* row, const Totals* totals, bool mayBreak,
                        QList<Placed>& placed)
    {
        m_rowForHeaders = row;
        Context c{row, &m_values, totals, int(m_pages.size()), m_printDate};
        double height = layoutBand(b, c, placed);
        if (mayBreak && m_y + height > m_bottomLimit + 1e-6 && m_y > m_contentTop) {
            endPage(totals);
            startPage();
            // The page number (and what depends on it) is the new page's.
            c.page = int(m_pages.size());
            placed.clear();
            height = layoutBand(b, c, placed);
        }
        return height;
    }

    // Labels: a detail band beside the one before, a new line (and page)
    // when the line is full.
    void placeAcross(const Band& b, const ReportRow* row, const Totals* totals)
    {
        QList<Placed> placed;
        // Only a new line of labels may start a new page.
        const double height = layoutOnPage(b, row, totals, m_across == 0, placed);
        draw(placed, 0, m_across * m_d.columnWidth);
        m_lineHeight = std::max(m_lineHeight, height);
        if (++m_across == m_d.columns)
            finishLine();
    }

    void finishLine()
    {
        if (m_across == 0)
            return;
        m_y += m_lineHeight;
        m_across = 0;
        m_lineHeight = 0;
    }

    void emitBand(const Band& b, const ReportRow* row, const Totals* totals)
    {
        Context c{row, &m_values, totals, int(m_pages.size()), m_printDate};
        QList<Placed> placed;
        const double height = layoutBand(b, c, placed);
        draw(placed, height);
    }

    void draw(const QList<Placed>& placed, double height, double across = 0)
    {
        const double left = m_d.marginLeft + across;
        for (const Placed& p : placed) {
            const Element& e = *p.element;
            DrawOp op;
            op.penWidth = e.penWidth;
            op.rect = p.rect.translated(left, m_y);
            switch (e.kind) {
            case Element::Kind::Text:
                op.kind = DrawOp::Kind::Text;
                op.font = fontOf(e);
                if (p.pointSize > 0)
                    op.font.setPointSizeF(p.pointSize);
                op.text = p.text;
                op.align = e.align;
                break;
            case Element::Kind::Line:
                op.kind = DrawOp::Kind::Line;
                op.line = QLineF(op.rect.topLeft(), op.rect.bottomRight());
                op.rect = QRectF();
                break;
            case Element::Kind::Box:
                op.kind = DrawOp::Kind::Box;
                break;
            case Element::Kind::Picture:
                op.kind = DrawOp::Kind::Picture;
                op.text = p.text;
                break;
            case Element::Kind::Barcode:
                op.kind = DrawOp::Kind::Barcode;
                op.text = p.text;
                op.symbology = e.symbology;
                break;
            }
            m_pages.last() << op;
        }
        m_y += height;
    }

    const ReportDefinition& m_d;
    const QList<ReportRow>& m_rows;
    const QHash<QString, QString>& m_values;
    QDate m_printDate;
    QList<QList<DrawOp>> m_pages;
    double m_y = 0;
    double m_bottomLimit = 0;
    double m_contentTop = 0;
    int m_across = 0; // labels placed on the current line
    double m_lineHeight = 0;
    const ReportRow* m_rowForHeaders = nullptr;
    Measure m_measure;
    QHash<const Element*, QFont> m_fonts;
};

} // namespace

LaidOutReport layoutReport(const ReportDefinition& definition, const QList<ReportRow>& rows,
                           const QHash<QString, QString>& values, const QDate& printDate)
{
    return Layout(definition, rows, values, printDate).run();
}

void shiftReport(LaidOutReport& report, double dx, double dy)
{
    for (auto& page : report.pages)
        for (DrawOp& op : page) {
            op.rect.translate(dx, dy);
            op.line.translate(dx, dy);
        }
}

} // namespace tawela::reports
