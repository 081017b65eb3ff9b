#include "reports/report_engine.h"
#include "reports/report_fields.h"

#include "platform/spreadsheet_text.h"
#include "reports/barcode.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace tawela::reports {

using fields::Context;
using fields::expand;
using fields::totalsOf;

void paintReport(const LaidOutReport& report, QPagedPaintDevice& device, double leftOffsetMm)
{
    QPainter p(&device);
    p.translate(leftOffsetMm * device.logicalDpiX() / 25.4, 0);
    const double scale = device.logicalDpiX() / 25.4;
    auto px = [scale](const QRectF& r) {
        return QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale);
    };
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        for (const DrawOp& op : report.pages[i]) {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(1.0, op.penWidth * scale));
            p.setPen(pen);
            switch (op.kind) {
            case DrawOp::Kind::Text:
                p.setFont(op.font);
                // Never cut a line of text: a mark below the line may reach past its box.
                p.drawText(px(op.rect), int(op.align) | Qt::TextWordWrap | Qt::TextDontClip,
                           op.text);
                break;
            case DrawOp::Kind::Line:
                p.drawLine(QLineF(op.line.p1() * scale, op.line.p2() * scale));
                break;
            case DrawOp::Kind::Box:
                p.drawRect(px(op.rect));
                break;
            case DrawOp::Kind::Picture: {
                const QImage image(op.text);
                if (!image.isNull())
                    p.drawImage(px(op.rect), image);
                break;
            }
            case DrawOp::Kind::Barcode: {
                const auto kind = barcodeKindFromName(op.symbology);
                const QImage image = kind ? barcodeImage(*kind, op.text) : QImage();
                if (!image.isNull()) {
                    // Bars must stay sharp: no smoothing when scaled.
                    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
                    p.drawImage(px(op.rect), image);
                }
                break;
            }
            }
        }
    }
}

namespace {

QString csvCell(const QString& cell)
{
    const QString text = platform::spreadsheetSafe(cell);
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QList<const Element*> textsLeftToRight(const Band* band)
{
    QList<const Element*> list;
    if (!band)
        return list;
    for (const Element& e : band->elements)
        if (e.kind == Element::Kind::Text)
            list << &e;
    std::stable_sort(list.begin(), list.end(),
                     [](const Element* a, const Element* b) { return a->x < b->x; });
    return list;
}

} // namespace

bool writeCsv(const ReportDefinition& d, const QList<ReportRow>& rows,
              const QHash<QString, QString>& values, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("ไม่สามารถเขียนแฟ้ม ") + path + QStringLiteral(" : ") +
                     file.errorString();
        return false;
    }
    QByteArray out("\xEF\xBB\xBF");
    const fields::Totals all = totalsOf(rows, 0, rows.size());
    auto line = [&](const QList<const Element*>& elements, const ReportRow* row) {
        Context c{row, &values, &all, 1, QDate::currentDate()};
        QStringList cells;
        for (const Element* e : elements)
            cells << csvCell(expand(e->content, c));
        out += cells.join(u',').toUtf8() + "\r\n";
    };
    const auto header = textsLeftToRight(d.band(Band::Kind::PageHeader));
    if (!header.isEmpty())
        line(header, nullptr);
    const auto detail = textsLeftToRight(d.band(Band::Kind::Detail));
    for (const ReportRow& row : rows)
        line(detail, &row);
    if (file.write(out) != out.size()) {
        if (error)
            *error = QStringLiteral("เขียนแฟ้ม ") + path + QStringLiteral(" ไม่ครบ : ") +
                     file.errorString();
        return false;
    }
    return true;
}

bool writePdf(const LaidOutReport& report, const QString& path, QString* error, double leftOffsetMm)
{
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("ไม่สามารถเขียนแฟ้ม ") + path + QStringLiteral(" : ") +
                         probe.errorString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(report.pageSize, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Tawela"));
    paintReport(report, writer, leftOffsetMm);
    return true;
}

} // namespace tawela::reports
