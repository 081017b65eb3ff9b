#include "platform/spreadsheet_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <freexl.h>
#include <ixion/address.hpp>
#include <ixion/model_context.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cmath>

namespace tawela::platform {

QString SheetValue::asText() const
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return text;
    case Kind::Number:
        return QString::number(number, 'g', 15);
    case Kind::Date:
        return date.toString(Qt::ISODate);
    case Kind::Boolean:
        return boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    return {};
}

const SheetValue& SheetData::at(size_t row, size_t column) const
{
    static const SheetValue empty;
    if (row >= rows.size() || column >= rows[row].size())
        return empty;
    return rows[row][column];
}

QDate dateOfSerial(double serial)
{
    if (!std::isfinite(serial) || serial < 1 || serial > 2958465)
        return {};
    return QDate(1899, 12, 30).addDays(qint64(std::floor(serial)));
}

namespace {

SpreadsheetError notASheet(const QString& path, const QString& why)
{
    return SpreadsheetError(QStringLiteral("อ่านแฟ้ม ") + QFileInfo(path).fileName() +
                            QStringLiteral(" ไม่ได้: ") + why);
}

// "B12" → row 11, column 1.
std::pair<int, int> cellAddress(QStringView ref)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
    return {ref.mid(i).toInt() - 1, column - 1};
}

// Cells written as inline strings (as large sheets and some programs write
// them), which the xlsx filter passes over: read from the sheet's XML.
void addInlineStrings(const QString& path, int columns, SheetData& data)
{
    std::vector<unsigned char> xml;
    try {
        orcus::zip_archive_stream_fd stream(QFile::encodeName(path).constData());
        orcus::zip_archive archive(&stream);
        archive.load();
        if (!archive.read_file_entry("xl/worksheets/sheet1.xml", xml))
            return;
    } catch (const std::exception&) {
        return;
    }
    QXmlStreamReader r(
        QByteArray(reinterpret_cast<const char*>(xml.data()), qsizetype(xml.size())));
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("c") ||
            r.attributes().value(QLatin1String("t")) != QLatin1String("inlineStr"))
            continue;
        const auto [row, column] = cellAddress(r.attributes().value(QLatin1String("r")));
        QString text;
        while (!r.atEnd() &&
               !(r.readNext() == QXmlStreamReader::EndElement && r.name() == QLatin1String("c")))
            if (r.isStartElement() && r.name() == QLatin1String("t"))
                text += r.readElementText();
        if (row < 0 || column < 0 || column >= columns)
            continue;
        if (data.rows.size() <= size_t(row))
            data.rows.resize(size_t(row) + 1);
        auto& cells = data.rows[size_t(row)];
        if (cells.size() <= size_t(column))
            cells.resize(size_t(column) + 1);
        cells[size_t(column)] = SheetValue{SheetValue::Kind::Text, text, 0, {}, false};
    }
}

SheetData readWithOrcus(const QString& path, int columns, bool ods)
{
    namespace ss = orcus::spreadsheet;
    ss::range_size_t size{1048576, 16384};
    ss::document doc{size};
    ss::import_factory factory{doc};
    try {
        if (ods) {
            orcus::orcus_ods loader(&factory);
            loader.read_file(QFile::encodeName(path).toStdString());
        } else {
            orcus::orcus_xlsx loader(&factory);
            loader.read_file(QFile::encodeName(path).toStdString());
        }
    } catch (const std::exception& e) {
        throw notASheet(path, QStringLiteral("ไม่ใช่แฟ้มตารางคำนวณที่อ่านได้ (") +
                                  QString::fromUtf8(e.what()) + u')');
    }
    SheetData data;
    if (!ods)
        addInlineStrings(path, columns, data);
    if (doc.get_sheet_count() == 0)
        return data;
    const ss::sheet* sheet = doc.get_sheet(0);
    const ixion::abs_range_t range = sheet->get_data_range();
    if (!range.valid())
        return data;
    const ixion::model_context& cells = doc.get_model_context();
    const int lastColumn = std::min(range.last.column, columns - 1);
    if (data.rows.size() < size_t(range.last.row + 1))
        data.rows.resize(size_t(range.last.row + 1));
    for (int r = 0; r <= range.last.row; ++r) {
        auto& row = data.rows[size_t(r)];
        if (row.size() < size_t(lastColumn + 1))
            row.resize(size_t(lastColumn + 1));
        for (int c = 0; c <= lastColumn; ++c) {
            const ixion::abs_address_t at(0, r, c);
            SheetValue& v = row[size_t(c)];
            if (v.kind != SheetValue::Kind::Empty)
                continue; // an inline string read above
            switch (cells.get_celltype(at)) {
            case ixion::celltype_t::string: {
                const std::string_view s = cells.get_string_value(at);
                v.kind = SheetValue::Kind::Text;
                v.text = QString::fromUtf8(s.data(), qsizetype(s.size()));
                break;
            }
            case ixion::celltype_t::numeric:
            case ixion::celltype_t::formula:
                v.kind = SheetValue::Kind::Number;
                v.number = cells.get_numeric_value(at);
                break;
            case ixion::celltype_t::boolean:
                v.kind = SheetValue::Kind::Boolean;
                v.boolean = cells.get_boolean_value(at);
                break;
            default:
                break;
            }
        }
    }
    return data;
}

SheetData readWithFreexl(const QString& path, int columns)
{
    const void* handle = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (freexl_open(file.constData(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        throw notASheet(path, QStringLiteral("ไม่ใช่แฟ้ม Excel รุ่นเก่า (.xls) ที่อ่านได้"));
    }
    SheetData data;
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) {
        freexl_close(handle);
        throw notASheet(path, QStringLiteral("ไม่พบแผ่นงานในแฟ้ม"));
    }
    const int lastColumn = std::min(int(cols), columns);
    data.rows.resize(rows);
    for (unsigned int r = 0; r < rows; ++r) {
        auto& row = data.rows[r];
        row.resize(size_t(lastColumn));
        for (int c = 0; c < lastColumn; ++c) {
            FreeXL_CellValue cell{};
            if (freexl_get_cell_value(handle, r, static_cast<unsigned short>(c), &cell) !=
                FREEXL_OK)
                continue;
            SheetValue& v = row[size_t(c)];
            switch (cell.type) {
            case FREEXL_CELL_INT:
                v.kind = SheetValue::Kind::Number;
                v.number = cell.value.int_value;
                break;
            case FREEXL_CELL_DOUBLE:
                v.kind = SheetValue::Kind::Number;
                v.number = cell.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                v.kind = SheetValue::Kind::Text;
                v.text = QString::fromUtf8(cell.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                v.kind = SheetValue::Kind::Date;
                v.date = QDate::fromString(QString::fromLatin1(cell.value.text_value).left(10),
                                           Qt::ISODate);
                break;
            default:
                break;
            }
        }
    }
    freexl_close(handle);
    return data;
}

} // namespace

SheetData readSheet(const QString& path, int columns)
{
    const QFileInfo f(path);
    if (!f.exists())
        throw SpreadsheetError(QStringLiteral("ไม่พบแฟ้ม ") + path);
    const QString suffix = f.suffix().toLower();
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm"))
        return readWithOrcus(path, columns, false);
    if (suffix == QLatin1String("ods"))
        return readWithOrcus(path, columns, true);
    if (suffix == QLatin1String("xls"))
        return readWithFreexl(path, columns);
    throw notASheet(path, QStringLiteral("รับเฉพาะแฟ้ม .xlsx .ods และ .xls"));
}

} // namespace tawela::platform
