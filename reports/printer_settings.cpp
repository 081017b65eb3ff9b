#include "reports/printer_settings.h"

#include "platform/db/column_map.h"
#include "platform/db/condition.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "platform/db/transaction.h"

namespace tawela::reports {

using platform::db::Condition;
using platform::db::Recordset;

namespace {

template <typename Row, typename R> void mapPrinterColumns(Row& row, R& r)
{
    row.text(QStringLiteral("Report_name"), r.reportName);
    row.text(QStringLiteral("Printer_name"), r.printerName);
    row.optionalInteger(QStringLiteral("Printer_index"), r.printerIndex);
    row.optionalInteger(QStringLiteral("OffsetLeft"), r.offsetLeft);
    row.boolean(QStringLiteral("Preview"), r.preview);
}

// A line of the screen as typed: an empty field keeps the stored value, and
// a number typed is stored as the database reads it.
template <typename Row, typename L> void mapPrinterLineColumns(Row& row, L& l)
{
    using platform::db::Write;
    row.text(QStringLiteral("Printer_name"), l.printerName, Write::WhenNotEmpty);
    row.text(QStringLiteral("Printer_index"), l.printerIndex, Write::WhenNotEmpty);
    row.text(QStringLiteral("OffsetLeft"), l.offsetLeft, Write::WhenNotEmpty);
    row.boolean(QStringLiteral("Preview"), l.preview);
}

PrinterRow readRow(const Recordset& rs)
{
    PrinterRow r;
    platform::db::RowReader reader{rs};
    mapPrinterColumns(reader, r);
    return r;
}

} // namespace

QList<PrinterRow> PrinterSettings::rows() const
{
    QList<PrinterRow> list;
    Recordset rs(m_db, QStringLiteral("Printer_tb"));
    for (; !rs.atEnd(); rs.moveNext())
        list << readRow(rs);
    return list;
}

std::optional<PrinterRow> PrinterSettings::row(const QString& reportName) const
{
    Recordset rs(m_db, QStringLiteral("Printer_tb"),
                 Condition::equals(QStringLiteral("Report_name"), reportName));
    if (rs.isEmpty())
        return std::nullopt;
    return readRow(rs);
}

void PrinterSettings::save(const QList<PrinterLine>& lines)
{
    platform::db::Transaction tx(*m_db);
    Recordset rs(m_db, QStringLiteral("Printer_tb"));
    for (const PrinterLine& line : lines) {
        if (rs.atEnd())
            break;
        PrinterLine typed = line;
        if (typed.printerName.trimmed().isEmpty())
            typed.printerName.clear();
        typed.printerIndex = typed.printerIndex.trimmed();
        typed.offsetLeft = typed.offsetLeft.trimmed();
        platform::db::RowWriter writer{rs};
        mapPrinterLineColumns(writer, typed);
        rs.store();
        rs.moveNext();
    }
    tx.commit();
}

PrinterTbForm::PrinterTbForm(std::shared_ptr<platform::db::Database> personal,
                             QStringList installedPrinters, platform::Prompt& prompt)
    : printers(std::move(installedPrinters)), m_settings(std::move(personal)), m_prompt(prompt)
{
    for (const PrinterRow& r : m_settings.rows()) {
        reportNames << r.reportName;
        PrinterLine line;
        line.printerName = r.printerName;
        if (r.printerIndex)
            line.printerIndex = QString::number(*r.printerIndex);
        if (r.offsetLeft)
            line.offsetLeft = QString::number(*r.offsetLeft);
        line.preview = r.preview;
        lines << line;
    }
}

void PrinterTbForm::select()
{
    if (chooserLine < 0 || chooserLine >= lines.size() || chooserIndex < 0 ||
        chooserIndex >= printers.size())
        return;
    lines[chooserLine].printerName = printers[chooserIndex];
    lines[chooserLine].printerIndex = QString::number(chooserIndex);
}

bool PrinterTbForm::save()
{
    try {
        m_settings.save(lines);
    } catch (const platform::db::DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    return true;
}

PrintTarget PrinterChoice::current(const QStringList& installed) const
{
    PrintTarget t;
    if (m_current >= 0 && m_current < installed.size()) {
        t.printerIndex = m_current;
        t.printerName = installed[m_current];
    }
    return t;
}

PrintTarget PrinterChoice::prepare(const PrinterSettings& settings, const QString& reportName,
                                   const InstalledPrinters& installed, platform::Prompt& prompt,
                                   std::optional<qint64> marginWhenEmpty)
{
    const std::optional<PrinterRow> row = settings.row(reportName);
    PrintTarget t;
    if (!row) {
        prompt.information(QStringLiteral("ไม่พบการตั้งเครื่องพิมพ์ของ \"") + reportName +
                           QStringLiteral("\" จะแสดงตัวอย่างก่อนพิมพ์แทน"));
        t = current(installed.names);
        t.preview = true;
        return t;
    }
    t.leftMargin = row->offsetLeft ? row->offsetLeft : marginWhenEmpty;
    t.preview = row->preview;
    const QStringList& names = installed.names;
    if (names.isEmpty()) {
        prompt.information(QStringLiteral("เครื่องนี้ยังไม่มีเครื่องพิมพ์ จะแสดงตัวอย่างก่อนพิมพ์แทน"));
        t.preview = true;
        return t;
    }
    const QString stored = row->printerName.trimmed();
    const qint64 position = row->printerIndex.value_or(-1);
    int found = -1;
    if (!stored.isEmpty())
        found = int(names.indexOf(stored));
    if (found < 0 && position >= 0 && position < names.size())
        found = int(position); // the name is gone (or none was stored)
    if (found < 0 && stored.isEmpty() && position < 0)
        found = std::max(0, int(names.indexOf(installed.defaultPrinter)));
    if (found < 0) {
        prompt.information(QStringLiteral("ไม่พบเครื่องพิมพ์ ") + stored +
                           (position >= 0
                                ? QStringLiteral(" (ลำดับที่ ") + QString::number(position) + u')'
                                : QString()) +
                           QStringLiteral(" ของ \"") + reportName +
                           QStringLiteral("\" จะแสดงตัวอย่างก่อนพิมพ์แทน กรุณาเลือกเครื่องพิมพ์ใหม่"));
        t.printerIndex = 0;
        t.printerName = names[0];
        t.preview = true;
        return t;
    }
    m_current = found;
    t.printerIndex = found;
    t.printerName = names[found];
    return t;
}

} // namespace tawela::reports
