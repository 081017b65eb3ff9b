#include "customers/customer_export.h"

#include "platform/db/recordset.h"
#include "platform/spreadsheet_writer.h"

#include <QDir>
#include <QFileInfo>

namespace tawela::customers {

using platform::SpreadsheetError;
using platform::SpreadsheetWriter;
using Style = SpreadsheetWriter::Style;

namespace {

// "G1" → row 0, column 6; "AW" → column 48.
int columnOf(QStringView letters)
{
    int c = 0;
    for (QChar ch : letters)
        c = c * 26 + (ch.unicode() - u'A' + 1);
    return c - 1;
}

struct Cell {
    int row, column;
};

Cell cellOf(const QString& name)
{
    qsizetype i = 0;
    while (i < name.size() && name[i].isLetter())
        ++i;
    return {name.mid(i).toInt() - 1, columnOf(QStringView(name).left(i))};
}

struct Range {
    Cell first, last;
};

Range rangeOf(const QString& name)
{
    const QStringList parts = name.split(u':');
    return {cellOf(parts.first()), cellOf(parts.last())};
}

// The work file a spreadsheet program still holds open leaves its lock
// file beside it.
bool openElsewhere(const QString& file)
{
    const QFileInfo f(file);
    return QFileInfo::exists(f.dir().filePath(QStringLiteral(".~lock.") + f.fileName() + u'#'));
}

void refuseWhenOpen(const QString& file)
{
    if (openElsewhere(file))
        throw ExportError(
            QStringLiteral("File summary is already open, please close/save as this file"), true);
}

// Colours of the record card's boxes, by palette index.
const std::pair<int, const char*> CardColours[] = {
    {6, "G1:J1"},    {6, "B3:E3"},    {6, "G3:J3"},    {6, "B5:E5"},    {6, "G5:J5"},
    {6, "B8:D8"},    {6, "F8:G8"},    {6, "I8:J8"},    {6, "B10:G10"},  {6, "I10:J10"},
    {6, "B13:D13"},  {6, "F13:G13"},  {6, "I13:J13"},  {6, "B15:G15"},  {6, "I15:J15"},
    {36, "G2:J2"},   {36, "B4:J4"},   {36, "E6:J6"},   {36, "B9:G9"},   {36, "I9:J9"},
    {36, "E11:G11"}, {36, "I11:J11"}, {36, "B14:G14"}, {36, "I14:J14"}, {36, "E16:G16"},
    {36, "I16:J16"}, {40, "B18:E18"}, {40, "G18:J18"}, {40, "B20:E20"}, {40, "G20:J20"},
    {44, "B19:E19"}, {44, "G19:J19"}, {44, "B21:E21"}, {44, "G21:J21"}, {38, "A23:J23"},
};

const std::pair<const char*, const char*> CardTexts[] = {
    {"F1", "สัญญาเลขที่"},
    {"F2", "ลงวันที่"},
    {"A3", "ชื่อผู้เช่าซื้อ (1)"},
    {"A4", "ที่อยู่"},
    {"A5", "อาชีพ"},
    {"A6", "บัตรประจำตัวประชาชน, ใบสำคัญประจำตัวอื่นใดเลขที่"},
    {"A8", "ชื่อผู้ค้ำ (1)"},
    {"E8", "ชื่อคู่สมรส"},
    {"H8", "อาชีพ"},
    {"A9", "ที่อยู่"},
    {"H9", "โทร"},
    {"A10", "ภูมิลำเนา"},
    {"H10", "อาชีพ"},
    {"A11", "บัตรประจำตัวประชาชน, ใบสำคัญประจำตัวอื่นใดเลขที่"},
    {"H11", "อายุ"},
    {"A13", "ชื่อผู้ค้ำ (2)"},
    {"E13", "ชื่อคู่สมรส"},
    {"H13", "อาชีพ"},
    {"A14", "ที่อยู่"},
    {"H14", "โทร"},
    {"A15", "ภูมิลำเนา"},
    {"H15", "อาชีพ"},
    {"A16", "บัตรประจำตัวประชาชน, ใบสำคัญประจำตัวอื่นใดเลขที่"},
    {"H16", "อายุ"},
    {"A18", "สินค้าแบบ"},
    {"F18", "เบอร์สินค้า"},
    {"A19", "วันที่เช่าซื้อ"},
    {"F19", "ราคา"},
    {"A20", "ค่าเช่ารายเดือน"},
    {"F20", "SP"},
    {"A21", "วันนัดชำระ"},
    {"F21", "ผู้ขาย"},
    {"A23", "วันที่"},
    {"B23", "ใบเสร็จเลขที่"},
    {"D23", "จำนวนเงิน"},
    {"F23", "เงินคงเหลือ"},
    {"H23", "ออกใบเสร็จโดย"},
};

} // namespace

const QStringList& sheetHeadings()
{
    static const QStringList h = {
        QStringLiteral("รหัสลูกค้า"),     QStringLiteral("คำนำหน้าชื่อ"),
        QStringLiteral("ชื่อ สกุล"),      QStringLiteral("ชื่อ เล่น"),
        QStringLiteral("วันเกิด"),       QStringLiteral("อายุ"),
        QStringLiteral("เลขที่บัตร"),     QStringLiteral("ที่อยู่เลขที่"),
        QStringLiteral("หมู่บ้าน/อาคาร"), QStringLiteral("ซอย"),
        QStringLiteral("ถนน"),         QStringLiteral("ตำบล"),
        QStringLiteral("อำเภอ"),       QStringLiteral("จังหวัด"),
        QStringLiteral("มือถือ"),        QStringLiteral("เบอร์บ้าน"),
        QStringLiteral("FAX"),         QStringLiteral("USER1"),
        QStringLiteral("USER2"),       QStringLiteral("USER3"),
        QStringLiteral("USER4"),       QStringLiteral("USER5"),
        QStringLiteral("Email"),       QStringLiteral("Note"),
        QStringLiteral("ที่อยู่รูปภาพ1"),   QStringLiteral("ที่อยู่รูปภาพ2"),
        QStringLiteral("ที่อยู่รูปภาพ3"),   QStringLiteral("ที่อยู่ไฟล์ Excel"),
        QStringLiteral("ชื่อภาพ1"),      QStringLiteral("ชื่อภาพ2"),
        QStringLiteral("ชื่อภาพ3"),      QStringLiteral("ชื่อ ไฟล์ Excel"),
        QStringLiteral("No use"),      QStringLiteral("No use"),
        QStringLiteral("กลุ่มลูกค้า"),     QStringLiteral("เพศ"),
        QStringLiteral("การศึกษา"),     QStringLiteral("สถานะลูกค้า"),
        QStringLiteral("คู่สมรส"),       QStringLiteral("อาชีพคู่สมรส"),
        QStringLiteral("บันทึกคู่สมรส"),   QStringLiteral("สำรอง1"),
        QStringLiteral("สำรอง2"),      QStringLiteral("Address3"),
        QStringLiteral("Address1"),    QStringLiteral("Address2"),
        QStringLiteral("รหัสไปรษณีย์"),   QStringLiteral("เดือนเกิด"),
        QStringLiteral("แต้มสะสม"),
    };
    return h;
}

QString exportFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("temp.xlsx"));
}

QString exportRecordCard(const Customer& c, const QString& folder, const QString& fontName)
{
    const QString file = exportFile(folder);
    refuseWhenOpen(file);
    try {
        SpreadsheetWriter w(file, {QStringLiteral("Sheet1"), fontName, 14, false});
        // The boxes' colours first; texts and values then keep them.
        QHash<quint64, int> colour; // row << 32 | column
        auto key = [](int r, int col) { return quint64(r) << 32 | quint64(col); };
        for (const auto& [index, range] : CardColours) {
            const Range r = rangeOf(QString::fromLatin1(range));
            for (int row = r.first.row; row <= r.last.row; ++row)
                for (int col = r.first.column; col <= r.last.column; ++col)
                    colour.insert(key(row, col), index);
        }
        // The payment table: rows 24 to 39 in two alternating colours.
        for (int row = 23; row <= 38; ++row)
            for (int col = 0; col <= 9; ++col)
                colour.insert(key(row, col), row % 2 == 1 ? 15 : 48);
        QHash<quint64, QString> texts;
        for (const auto& [cell, text] : CardTexts) {
            const Cell at = cellOf(QString::fromLatin1(cell));
            texts.insert(key(at.row, at.column), QString::fromUtf8(text));
        }
        QString occupation = c.user1;
        if (!c.user2.isEmpty())
            occupation += QStringLiteral(" ตำแหน่ง ") + c.user2;
        if (!c.user3.isEmpty())
            occupation += QStringLiteral(" ที่ทำงาน ") + c.user3;
        texts.insert(key(2, 1), c.prename + c.name);
        texts.insert(key(3, 1), addressLine1(c));
        texts.insert(key(4, 1), occupation);
        texts.insert(key(5, 5), c.idNumber); // written as text, so the digits stay
        texts.insert(key(2, 6), c.spouse);
        texts.insert(key(4, 6), c.spouseOcc);
        const QSet<quint64> numbersAsZero = [&] {
            QSet<quint64> s;
            for (const char* range : {"E6:G6", "E11:G11", "E16:G16"}) {
                const Range r = rangeOf(QString::fromLatin1(range));
                for (int col = r.first.column; col <= r.last.column; ++col)
                    s.insert(key(r.first.row, col));
            }
            return s;
        }();
        // Merged payment cells hold the one style of their range.
        const int merges[][2] = {{1, 2}, {3, 4}, {5, 6}, {7, 9}};
        QSet<quint64> merged;
        for (int row = 22; row <= 38; ++row)
            for (const auto& m : merges)
                for (int col = m[0] + 1; col <= m[1]; ++col)
                    merged.insert(key(row, col));
        for (int row = 0; row <= 38; ++row) {
            for (int col = 0; col <= 9; ++col) {
                const quint64 k = key(row, col);
                if (merged.contains(k))
                    continue;
                Style style{colour.value(k),
                            numbersAsZero.contains(k) ? QStringLiteral("0") : QString()};
                int lastCol = col;
                for (const auto& m : merges)
                    if (row >= 22 && col == m[0])
                        lastCol = m[1];
                const QString text = texts.value(k);
                if (lastCol != col)
                    w.merge(row, col, row, lastCol, text, style);
                else if (!text.isEmpty())
                    w.text(row, col, text, style);
                else if (style.colour || !style.numberFormat.isEmpty())
                    w.blank(row, col, style);
            }
        }
        w.comment(2, 6, c.spouseDetail + u'\n');
        w.columnWidth(0, 0, 12.33);
        w.columnWidth(1, 1, 11);
        w.columnWidth(3, 3, 10);
        w.columnWidth(5, 5, 13.5);
        w.columnWidth(9, 9, 14);
        w.rowHeight(6, 9);
        w.rowHeight(11, 7.5);
        w.rowHeight(16, 8.25);
        w.rowHeight(21, 8.25);
        w.hideGridlines();
        w.printArea(0, 0, 38, 9);
        w.margins(40, 1, 40, 1, 0.5, 0.5);
        w.fitToPages(1, 1);
        w.select(0, 6);
        w.finish();
    } catch (const SpreadsheetError& e) {
        throw ExportError(e.description());
    }
    return file;
}

QString exportAll(const platform::db::Recordset& set, const QString& folder,
                  const QString& fontName)
{
    const QString file = exportFile(folder);
    refuseWhenOpen(file);
    try {
        SpreadsheetWriter w(file, {QStringLiteral("Sheet1"), fontName, 12, true});
        const QString thaiDate = QStringLiteral("[$-107041E]d mmmm yyyy;@");
        const std::pair<const char*, double> widths[] = {{"C", 30},  {"E", 18},  {"G", 15},
                                                         {"H", 18},  {"O", 13},  {"V", 17},
                                                         {"AR", 37}, {"AS", 37}, {"AT", 50}};
        for (const auto& [column, width] : widths) {
            const int col = columnOf(QString::fromLatin1(column));
            const bool date = col == 4 || col == 21; // E and V
            w.columnWidth(col, col, width, date ? Style{0, thaiDate} : Style{});
        }
        const QStringList& headings = sheetHeadings();
        for (int col = 0; col < headings.size(); ++col) {
            int colour = 15;
            if (col == 5 || col == 20) // F and U
                colour = 6;
            if (col == 4 || col == 21) // E and V
                colour = 35;
            w.text(0, col, headings[col], Style{colour, QString()});
        }
        const Style dateStyle{0, thaiDate};
        const qsizetype columns = std::min<qsizetype>(set.table().size(), headings.size() + 1);
        // The rows in the set's order, a thousand to a statement.
        set.forEachRow([&](qsizetype r, const QVariantList& values) {
            const int row = int(r + 1);
            for (qsizetype k = 1; k < columns; ++k) {
                const QVariant& v = values[k];
                if (!v.isValid() || v.isNull())
                    continue;
                const int col = int(k - 1);
                switch (v.typeId()) {
                case QMetaType::QDate:
                    w.date(row, col, v.toDate(), dateStyle);
                    break;
                case QMetaType::Bool:
                    w.boolean(row, col, v.toBool());
                    break;
                case QMetaType::LongLong:
                case QMetaType::Int:
                    w.number(row, col, double(v.toLongLong()));
                    break;
                default:
                    if (v.typeId() == qMetaTypeId<platform::Decimal>())
                        w.number(row, col, v.value<platform::Decimal>().toString().toDouble());
                    else if (const QString t = v.toString(); !t.isEmpty())
                        w.text(row, col, t);
                }
            }
        });
        w.finish();
    } catch (const SpreadsheetError& e) {
        throw ExportError(e.description());
    }
    return file;
}

} // namespace tawela::customers
