#include "platform/spreadsheet_reader.h"
#include "platform/xls_formulas.h"
#include "platform/zip_entry_stream.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <freexl.h>
#include <ixion/address.hpp>
#include <ixion/model_context.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/sax_parser.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

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

// A workbook whose parts do not read; the library's words, when it has any,
// after the Thai ones.
SpreadsheetError damaged(const QString& path, const std::exception& e)
{
    const QString words = QString::fromUtf8(e.what()).trimmed();
    return notASheet(path, QStringLiteral("เนื้อหาในแฟ้มเสียหาย อ่านเป็นแผ่นงานไม่ได้") +
                               (words.isEmpty() ? QString() : QStringLiteral(" (") + words + u')'));
}

// "B12" → row 11, column 1; a part that is missing stays -1.
std::pair<int, int> cellAddress(std::string_view ref)
{
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])); ++i)
        column = column * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
    int row = 0;
    for (; i < ref.size() && std::isdigit(static_cast<unsigned char>(ref[i])); ++i)
        row = row * 10 + (ref[i] - '0');
    return {row - 1, column - 1};
}

// The rows a sheet's range says it holds: "A1:AW100001" → 100001; 0 when
// it says nothing readable.
size_t rowsInRange(std::string_view range)
{
    const size_t colon = range.find(':');
    const int last =
        cellAddress(colon == std::string_view::npos ? range : range.substr(colon + 1)).first;
    return last >= 0 ? size_t(last) + 1 : 0;
}

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::vector<unsigned char> zipEntry(const orcus::zip_archive& archive, const std::string& name)
{
    std::vector<unsigned char> bytes;
    try {
        if (!archive.read_file_entry(name, bytes))
            bytes.clear();
    } catch (const std::exception&) {
        bytes.clear();
    }
    return bytes;
}

template <typename Handler> void parseXml(const std::vector<unsigned char>& xml, Handler& handler)
{
    if (xml.empty())
        return;
    orcus::sax_parser<Handler> parser(reinterpret_cast<const char*>(xml.data()), xml.size(),
                                      handler);
    parser.parse();
}

// The workbook's first sheet: its part named through the relationships, as
// programs other than the usual ones may name it differently.
struct FirstSheet : orcus::sax_handler {
    std::string id, target;
    bool rels = false;
    void attribute(const orcus::sax::parser_attribute& a)
    {
        if (a.name == "id" && id.empty() && !rels)
            pendingId = std::string(a.value);
        if (rels && a.name == "Id")
            pendingId = std::string(a.value);
        if (rels && a.name == "Target")
            pendingTarget = std::string(a.value);
    }
    void start_element(const orcus::sax::parser_element& e)
    {
        if (!rels && e.name == "sheet" && id.empty())
            id = pendingId;
        if (rels && e.name == "Relationship" && pendingId == id && target.empty())
            target = pendingTarget;
        pendingId.clear();
        pendingTarget.clear();
    }

private:
    std::string pendingId, pendingTarget;
};

std::string firstSheetPart(const orcus::zip_archive& archive)
{
    FirstSheet sheet;
    parseXml(zipEntry(archive, "xl/workbook.xml"), sheet);
    sheet.rels = true;
    if (!sheet.id.empty())
        parseXml(zipEntry(archive, "xl/_rels/workbook.xml.rels"), sheet);
    if (sheet.target.empty())
        return "xl/worksheets/sheet1.xml";
    if (sheet.target.front() == '/')
        return sheet.target.substr(1);
    return "xl/" + sheet.target;
}

// Collects the text of <t> elements, leaving out phonetic runs (<rPh>).
struct TextCollector {
    std::string text;
    bool inText = false;
    int phonetic = 0;
    void open(std::string_view name)
    {
        if (name == "t" && !phonetic) {
            inText = true;
        } else if (name == "rPh") {
            ++phonetic;
        }
    }
    void close(std::string_view name)
    {
        if (name == "t")
            inText = false;
        else if (name == "rPh")
            --phonetic;
    }
    void characters(std::string_view s)
    {
        if (inText)
            text.append(s);
    }
};

struct SharedStrings : orcus::sax_handler {
    std::vector<QString> strings;
    TextCollector t;
    void start_element(const orcus::sax::parser_element& e)
    {
        if (e.name == "si")
            t.text.clear();
        t.open(e.name);
    }
    void end_element(const orcus::sax::parser_element& e)
    {
        t.close(e.name);
        if (e.name == "si")
            strings.push_back(fromUtf8(t.text));
    }
    void characters(std::string_view s, bool) { t.characters(s); }
};

// One pass over the sheet's XML: cells by their reference (or, without one,
// after the cell before), shared, inline and formula strings, numbers,
// booleans and ISO dates, handed on a row at a time.
struct SheetCells : orcus::sax_handler {
    SheetCells(const std::vector<QString>& shared, int columns, const SheetRowReceiver& receive)
        : m_shared(shared), m_columns(columns), m_receive(receive)
    {}

    void attribute(const orcus::sax::parser_attribute& a)
    {
        if (a.name == "r")
            m_ref = std::string(a.value);
        else if (a.name == "t")
            m_type = std::string(a.value);
        else if (a.name == "ref")
            m_ref = std::string(a.value);
    }
    void start_element(const orcus::sax::parser_element& e)
    {
        if (e.name == "dimension") {
            m_expected = rowsInRange(m_ref);
        } else if (e.name == "row") {
            const int r = m_ref.empty() ? -1 : cellAddress(m_ref).first;
            m_row = r >= 0 ? r : m_row + 1;
            m_column = -1;
        } else if (e.name == "c") {
            const auto [r, c] = m_ref.empty() ? std::pair{-1, -1} : cellAddress(m_ref);
            if (r >= 0)
                m_row = r;
            m_column = c >= 0 ? c : m_column + 1;
            m_cellType = m_type;
            m_value.clear();
            m_text.text.clear();
            m_inValue = false;
        } else if (e.name == "v") {
            m_inValue = true;
        }
        m_text.open(e.name);
        m_ref.clear();
        m_type.clear();
    }
    void end_element(const orcus::sax::parser_element& e)
    {
        m_text.close(e.name);
        if (e.name == "v")
            m_inValue = false;
        else if (e.name == "c")
            store();
        else if (e.name == "row" || e.name == "sheetData")
            handOn();
    }
    void characters(std::string_view s, bool)
    {
        if (m_inValue)
            m_value.append(s);
        m_text.characters(s);
    }

    // For a sheet parsed in pieces: what its head said, and its end.
    void setExpected(size_t rows) { m_expected = rows; }
    void finish() { handOn(); }

private:
    void store()
    {
        if (m_row < 0 || m_column < 0 || m_column >= m_columns)
            return;
        SheetValue v;
        if (m_cellType == "inlineStr") {
            v.kind = SheetValue::Kind::Text;
            v.text = fromUtf8(m_text.text);
        } else if (m_value.empty()) {
            return;
        } else if (m_cellType == "s") {
            const size_t index = std::strtoul(m_value.c_str(), nullptr, 10);
            if (index >= m_shared.size())
                return;
            v.kind = SheetValue::Kind::Text;
            v.text = m_shared[index];
        } else if (m_cellType == "str") {
            v.kind = SheetValue::Kind::Text;
            v.text = fromUtf8(m_value);
        } else if (m_cellType == "b") {
            v.kind = SheetValue::Kind::Boolean;
            v.boolean = m_value == "1";
        } else if (m_cellType == "d") {
            v.kind = SheetValue::Kind::Date;
            v.date = QDate::fromString(fromUtf8(m_value).left(10), Qt::ISODate);
        } else if (m_cellType == "e") {
            return;
        } else {
            char* end = nullptr;
            v.number = std::strtod(m_value.c_str(), &end);
            if (end == m_value.c_str())
                return;
            v.kind = SheetValue::Kind::Number;
        }
        // A cell whose reference names another row ends the row before it.
        if (m_row != m_cellsRow)
            handOn();
        m_cellsRow = m_row;
        if (m_cells.size() <= size_t(m_column))
            m_cells.resize(size_t(m_column) + 1);
        m_cells[size_t(m_column)] = std::move(v);
    }

    void handOn()
    {
        if (!m_cells.empty() && m_cellsRow >= 0)
            m_receive(size_t(m_cellsRow), m_cells, m_expected);
        m_cells.clear();
        m_cellsRow = -1;
    }

    const std::vector<QString>& m_shared;
    int m_columns;
    const SheetRowReceiver& m_receive;
    std::string m_ref, m_type, m_cellType, m_value;
    TextCollector m_text;
    bool m_inValue = false;
    int m_row = -1, m_column = -1, m_cellsRow = -1;
    std::vector<SheetValue> m_cells;
    size_t m_expected = 0;
};

// Where an element's name that begins at `at` begins with its namespace
// prefix, if it has one ("x:row" → the "x").
size_t withPrefix(const std::string& xml, size_t at)
{
    if (at == 0 || xml[at - 1] != ':')
        return at;
    size_t open = at - 1;
    while (open > 0 && (std::isalnum(static_cast<unsigned char>(xml[open - 1])) ||
                        xml[open - 1] == '_' || xml[open - 1] == '-' || xml[open - 1] == '.'))
        --open;
    return open;
}

// Just after the last closing row tag ("</row>", "</x:row>") in the text.
size_t findLastRowEnd(const std::string& xml, size_t before)
{
    for (size_t at = xml.rfind("row>", before); at != std::string::npos && at > 0;
         at = xml.rfind("row>", at - 1)) {
        const size_t open = withPrefix(xml, at);
        if (open >= 2 && xml[open - 1] == '/' && xml[open - 2] == '<')
            return at + 4;
    }
    return std::string::npos;
}

// Where an element's tag begins in XML text ("<x:row" or "</row>" alike,
// whatever the prefix), from `from` on; npos when it is not there.
size_t findTag(const std::string& xml, std::string_view name, bool closing, size_t from = 0)
{
    for (size_t at = xml.find(name, from); at != std::string::npos; at = xml.find(name, at + 1)) {
        const size_t after = at + name.size();
        if (after >= xml.size())
            return std::string::npos; // the rest of the tag is still to come
        const char next = xml[after];
        if (next != '>' && next != '/' && !std::isspace(static_cast<unsigned char>(next)))
            continue;
        const size_t open = withPrefix(xml, at);
        if (closing && open >= 2 && xml[open - 1] == '/' && xml[open - 2] == '<')
            return open - 2;
        if (!closing && open >= 1 && xml[open - 1] == '<')
            return open - 1;
    }
    return std::string::npos;
}

// The rows a sheet's head says it holds: "<dimension ref="A1:AW100001"/>".
size_t dimensionRows(const std::string& head)
{
    const size_t tag = findTag(head, "dimension", false);
    if (tag == std::string::npos)
        return 0;
    const size_t ref = head.find("ref=\"", tag);
    const size_t end = ref == std::string::npos ? ref : head.find('"', ref + 5);
    if (end == std::string::npos)
        return 0;
    return rowsInRange(std::string_view(head).substr(ref + 5, end - ref - 5));
}

// A sheet's XML inflated and parsed a piece at a time: each piece ends
// after a row's closing tag and is parsed inside a wrapper of its own, so
// only about a megabyte of the text is held. False when the member can only
// be read whole.
bool parseSheetInPieces(const QString& path, const std::string& part, SheetCells& cells)
{
    constexpr size_t Piece = 1 << 20;
    enum class Stage { Head, Rows, Done } stage = Stage::Head;
    std::string text;
    auto parse = [&](std::string_view piece) {
        std::string wrapped;
        wrapped.reserve(piece.size() + 7);
        wrapped.append("<p>").append(piece).append("</p>");
        orcus::sax_parser<SheetCells> parser(wrapped.data(), wrapped.size(), cells);
        parser.parse();
    };
    const bool inflated = inflateZipEntry(path, part, [&](const char* data, size_t size) {
        if (stage == Stage::Done)
            return;
        text.append(data, size);
        if (stage == Stage::Head) {
            const size_t tag = findTag(text, "sheetData", false);
            const size_t close = tag == std::string::npos ? tag : text.find('>', tag);
            if (close == std::string::npos) {
                if (text.size() > 16 * Piece)
                    throw std::runtime_error("the sheet has no rows element");
                return;
            }
            cells.setExpected(dimensionRows(text.substr(0, tag)));
            stage = text[close - 1] == '/' ? Stage::Done : Stage::Rows;
            text.erase(0, close + 1);
            if (stage == Stage::Done)
                return;
        }
        if (const size_t end = findTag(text, "sheetData", true); end != std::string::npos) {
            parse(std::string_view(text).substr(0, end));
            stage = Stage::Done;
            text.clear();
            return;
        }
        if (text.size() < Piece)
            return;
        // Up to the last row that ends in what is here.
        const size_t row = findLastRowEnd(text, text.size());
        if (row == std::string::npos)
            return; // one row longer than a piece: read on
        parse(std::string_view(text).substr(0, row));
        text.erase(0, row);
    });
    if (!inflated)
        return false;
    if (stage == Stage::Rows)
        throw std::runtime_error("the sheet's rows end early");
    cells.finish();
    return true;
}

// An .xlsx read straight from its parts, without building a document: the
// sheet's XML is inflated and parsed a piece at a time, each row handed on
// as it ends, so a large export is never held whole.
void readXlsxRows(const QString& path, int columns, const SheetRowReceiver& receive)
{
    try {
        orcus::zip_archive_stream_fd stream(QFile::encodeName(path).constData());
        orcus::zip_archive archive(&stream);
        archive.load();
        SharedStrings shared;
        parseXml(zipEntry(archive, "xl/sharedStrings.xml"), shared);
        const std::string part = firstSheetPart(archive);
        SheetCells cells(shared.strings, columns, receive);
        if (!parseSheetInPieces(path, part, cells)) {
            const std::vector<unsigned char> sheet = zipEntry(archive, part);
            if (sheet.empty())
                throw notASheet(path, QStringLiteral("ไม่พบแผ่นงานในแฟ้ม"));
            parseXml(sheet, cells);
        }
    } catch (const Error&) {
        throw; // ours: this file's, or the receiver's (a database failing as rows are stored)
    } catch (const std::exception& e) {
        throw damaged(path, e);
    }
}

SheetData readOds(const QString& path, int columns)
{
    namespace ss = orcus::spreadsheet;
    ss::range_size_t size{1048576, 16384};
    ss::document doc{size};
    ss::import_factory factory{doc};
    try {
        orcus::orcus_ods loader(&factory);
        loader.read_file(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        throw damaged(path, e);
    }
    SheetData data;
    if (doc.get_sheet_count() == 0)
        return data;
    const ss::sheet* sheet = doc.get_sheet(0);
    const ixion::abs_range_t range = sheet->get_data_range();
    if (!range.valid())
        return data;
    const ixion::model_context& cells = doc.get_model_context();
    const int lastColumn = std::min(range.last.column, columns - 1);
    data.rows.resize(size_t(range.last.row + 1));
    for (int r = 0; r <= range.last.row; ++r) {
        auto& row = data.rows[size_t(r)];
        if (row.size() < size_t(lastColumn + 1))
            row.resize(size_t(lastColumn + 1));
        for (int c = 0; c <= lastColumn; ++c) {
            const ixion::abs_address_t at(0, r, c);
            SheetValue& v = row[size_t(c)];
            switch (cells.get_celltype(at)) {
            case ixion::celltype_t::string: {
                const std::string_view s = cells.get_string_value(at);
                v.kind = SheetValue::Kind::Text;
                v.text = fromUtf8(s);
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
        throw notASheet(path, QStringLiteral("แฟ้ม Excel รุ่นเก่า (.xls) นี้เสียหายหรือไม่ครบ "
                                             "หรือเป็นเอกสารชนิดอื่น อ่านเป็นแผ่นงานไม่ได้"));
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
    // The library passes over formula cells; their stored results fill them.
    for (const auto& [cell, value] : readXlsFormulaResults(path)) {
        const auto [r, c] = cell;
        if (int(c) >= lastColumn)
            continue;
        if (r >= data.rows.size())
            data.rows.resize(r + 1, std::vector<SheetValue>(size_t(lastColumn)));
        data.rows[r][c] = value;
    }
    return data;
}

// A sheet read whole, handed on a row at a time.
void handOnRows(SheetData data, const SheetRowReceiver& receive)
{
    for (size_t r = 0; r < data.rows.size(); ++r)
        if (!data.rows[r].empty())
            receive(r, data.rows[r], data.rows.size());
}

// What a file holds, told by its bytes rather than its name: a workbook
// renamed from .xlsx to .xls reads all the same, and a text file named .xlsx
// is said to be one.
enum class Content { Empty, Xlsx, Ods, OtherZip, CutZip, Ole, Text, Other };

Content contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SpreadsheetError(QStringLiteral("เปิดแฟ้ม ") + path + QStringLiteral(" ไม่ได้: ") +
                               file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return Content::Empty;
    const QByteArray head = file.read(4096);
    if (head.startsWith("PK\x03\x04")) {
        // The archive's directory is at its end: a file cut short has none.
        const qint64 tail = std::min<qint64>(size, 256 * 1024);
        file.seek(size - tail);
        const QByteArray end = file.read(tail);
        if (!end.contains("PK\x05\x06"))
            return Content::CutZip;
        if (end.contains("xl/workbook.xml"))
            return Content::Xlsx;
        if (end.contains("content.xml"))
            return Content::Ods;
        return Content::OtherZip;
    }
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Content::Ole;
    if (!head.contains('\0')) {
        // Cut at 4096 bytes, the last character may be half there.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(head.size() == 4096 ? head.left(4090) : head);
        if (!utf8.hasError())
            return Content::Text;
    }
    return Content::Other;
}

} // namespace

void readSheetRows(const QString& path, int columns, const SheetRowReceiver& receive)
{
    const QFileInfo f(path);
    if (!f.exists())
        throw SpreadsheetError(QStringLiteral("ไม่พบแฟ้ม ") + path);
    const QString again = QStringLiteral(" ให้บันทึกหรือคัดลอกแฟ้มมาใหม่ แล้วลองอีกครั้ง");
    switch (contentOf(path)) {
    case Content::Xlsx:
        return readXlsxRows(path, columns, receive);
    case Content::Ods:
        return handOnRows(readOds(path, columns), receive);
    case Content::Ole:
        return handOnRows(readWithFreexl(path, columns), receive);
    case Content::Empty:
        throw notASheet(path,
                        QStringLiteral("แฟ้มว่าง (0 ไบต์) อาจยังบันทึกไม่เสร็จ หรือคัดลอกมาไม่ครบ") + again);
    case Content::CutZip:
        throw notASheet(path, QStringLiteral("แฟ้มไม่ครบ (%1 ไบต์) ส่วนท้ายของแฟ้มหายไป "
                                             "อาจยังบันทึกไม่เสร็จ หรือคัดลอกมาไม่ครบ")
                                      .arg(f.size()) +
                                  again);
    case Content::OtherZip:
        throw notASheet(path, QStringLiteral("เป็นแฟ้มบีบอัด (zip) ที่ไม่มีแผ่นงานของ Excel หรือ "
                                             "LibreOffice อยู่ข้างใน"));
    case Content::Text:
        throw notASheet(path, QStringLiteral("เป็นแฟ้มข้อความ (เช่น CSV) ไม่ใช่แฟ้มตารางคำนวณ "
                                             "ให้เปิดด้วยโปรแกรมตารางคำนวณแล้วบันทึกเป็น .xlsx ก่อน"));
    case Content::Other:
        break;
    }
    throw notASheet(path, QStringLiteral("ไม่ใช่แฟ้มตารางคำนวณ รับเฉพาะแฟ้ม .xlsx .ods และ .xls"));
}

SheetData readSheet(const QString& path, int columns)
{
    SheetData data;
    readSheetRows(path, columns, [&data](size_t row, std::vector<SheetValue>& cells, size_t) {
        if (data.rows.size() <= row)
            data.rows.resize(row + 1);
        auto& held = data.rows[row];
        if (held.empty()) {
            held = std::move(cells);
            return;
        }
        // A row the file names twice: its cells together.
        if (held.size() < cells.size())
            held.resize(cells.size());
        for (size_t c = 0; c < cells.size(); ++c)
            if (cells[c].kind != SheetValue::Kind::Empty)
                held[c] = std::move(cells[c]);
    });
    return data;
}

} // namespace tawela::platform
