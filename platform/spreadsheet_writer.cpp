#include "platform/spreadsheet_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <dlfcn.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// libxlsxwriter deflates every part of a workbook at zlib's default level,
// and has no setting for it: for a sheet of 100,000 customers that is a
// third of the time. Parts opened at the default level are deflated at
// level 1 instead: a file some 30 % larger that every spreadsheet program
// reads alike. The library's call into minizip resolves to this function
// first (the program's own symbols come before its libraries'), which hands
// on to minizip's.
extern "C" __attribute__((visibility("default"))) int
zipOpenNewFileInZip4_64(void* file, const char* filename, const void* info, const void* extraLocal,
                        unsigned extraLocalSize, const void* extraGlobal, unsigned extraGlobalSize,
                        const char* comment, int method, int level, int raw, int windowBits,
                        int memLevel, int strategy, const char* password,
                        unsigned long crcForCrypting, unsigned long versionMadeBy,
                        unsigned long flagBase, int zip64)
{
    using Open = int (*)(void*, const char*, const void*, const void*, unsigned, const void*,
                         unsigned, const char*, int, int, int, int, int, int, const char*,
                         unsigned long, unsigned long, unsigned long, int);
    static const Open minizip = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    if (!minizip)
        return -104; // ZIP_INTERNALERROR: the workbook is reported as not written
    constexpr int Deflated = 8, DefaultLevel = -1, Fastest = 1;
    if (method == Deflated && level == DefaultLevel)
        level = Fastest;
    return minizip(file, filename, info, extraLocal, extraLocalSize, extraGlobal, extraGlobalSize,
                   comment, method, level, raw, windowBits, memLevel, strategy, password,
                   crcForCrypting, versionMadeBy, flagBase, zip64);
}

namespace tawela::platform {

// The cells of a row-by-row sheet, formatted into the sheet's XML on a
// thread of their own: the caller hands over batches in order and reads its
// next rows meanwhile. At most a few batches wait, so memory stays flat.
class CellPipe {
public:
    struct Cell {
        enum class Kind : unsigned char { Text, Number, Date, Boolean, Blank };
        lxw_row_t row;
        lxw_col_t column;
        Kind kind;
        double number;
        lxw_datetime date;
        size_t text; // where the cell's text begins in its batch's texts
        lxw_format* format;
    };

    explicit CellPipe(lxw_worksheet* sheet) : m_sheet(sheet), m_thread([this] { run(); }) {}
    ~CellPipe()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // A cell, and its text for a text cell. The texts of a batch are kept
    // in one buffer, so the writing thread frees nothing the reading thread
    // allocated, cell by cell.
    void add(Cell cell, const QString* text = nullptr)
    {
        if (text) {
            cell.text = m_batch.texts.size();
            const QByteArray bytes = text->toUtf8();
            m_batch.texts.append(bytes.constData(), size_t(bytes.size()));
            m_batch.texts.push_back('\0');
        }
        m_batch.cells.push_back(cell);
        if (m_batch.cells.size() >= BatchSize)
            send();
    }

    // Waits until every cell handed over is written; the first failure, if
    // any, as libxlsxwriter's error and the kind of cell.
    std::pair<int, const char*> drain()
    {
        send();
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
        return {m_error, m_failedKind};
    }

private:
    static constexpr size_t BatchSize = 8192, Waiting = 4;
    struct Batch {
        std::vector<Cell> cells;
        std::string texts;
    };

    void send()
    {
        if (m_batch.cells.empty())
            return;
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.size() < Waiting; });
        m_queue.push_back(std::move(m_batch));
        m_batch = {};
        m_batch.cells.reserve(BatchSize);
        lock.unlock();
        m_wake.notify_one();
    }

    void run()
    {
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
                if (m_queue.empty())
                    return;
                batch = std::move(m_queue.front());
                m_queue.pop_front();
                m_busy = true;
            }
            m_idle.notify_all();
            for (Cell& c : batch.cells)
                write(c, batch.texts);
            {
                std::lock_guard lock(m_mutex);
                m_busy = false;
            }
            m_idle.notify_all();
        }
    }

    void write(Cell& c, const std::string& texts)
    {
        if (m_error != LXW_NO_ERROR)
            return; // the rest is not written: the caller is told at the next drain
        int e = LXW_NO_ERROR;
        const char* kind = "";
        switch (c.kind) {
        case Cell::Kind::Text:
            e = worksheet_write_string(m_sheet, c.row, c.column, texts.data() + c.text, c.format);
            kind = "text";
            break;
        case Cell::Kind::Number:
            e = worksheet_write_number(m_sheet, c.row, c.column, c.number, c.format);
            kind = "number";
            break;
        case Cell::Kind::Date:
            e = worksheet_write_datetime(m_sheet, c.row, c.column, &c.date, c.format);
            kind = "date";
            break;
        case Cell::Kind::Boolean:
            e = worksheet_write_boolean(m_sheet, c.row, c.column, c.number != 0, c.format);
            kind = "boolean";
            break;
        case Cell::Kind::Blank:
            e = worksheet_write_blank(m_sheet, c.row, c.column, c.format);
            kind = "blank";
            break;
        }
        if (e != LXW_NO_ERROR) {
            std::lock_guard lock(m_mutex);
            m_error = e;
            m_failedKind = kind;
        }
    }

    lxw_worksheet* m_sheet;
    Batch m_batch;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::deque<Batch> m_queue;
    bool m_busy = false, m_stop = false;
    int m_error = LXW_NO_ERROR;
    const char* m_failedKind = "";
    std::thread m_thread;
};

std::uint32_t paletteColour(int index)
{
    static const std::uint32_t palette[] = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
    };
    return index >= 1 && index <= 56 ? palette[index - 1] : 0;
}

namespace {

QByteArray utf8(const QString& s)
{
    return s.toUtf8();
}

} // namespace

SpreadsheetWriter::SpreadsheetWriter(QString path, const Options& options)
    : m_path(std::move(path)), m_options(options)
{
    const QFileInfo target(m_path);
    if (!target.dir().exists())
        throw SpreadsheetError(QStringLiteral("ไม่พบโฟลเดอร์ ") + target.dir().path() +
                               QStringLiteral(" ที่จะเก็บแฟ้ม ") + target.fileName());
    m_partial =
        target.dir().filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".part"));
    QFile::remove(m_partial);
    lxw_workbook_options o{};
    o.constant_memory = options.rowByRow ? LXW_TRUE : LXW_FALSE;
    const QByteArray tmp = QDir::tempPath().toLocal8Bit();
    o.tmpdir = const_cast<char*>(tmp.constData());
    const QByteArray file = QFile::encodeName(m_partial);
    m_book = workbook_new_opt(file.constData(), &o);
    if (!m_book)
        throw SpreadsheetError(QStringLiteral("สร้างแฟ้ม ") + m_path + QStringLiteral(" ไม่ได้"));
    m_sheet = workbook_add_worksheet(m_book, utf8(options.sheetName).constData());
    if (!m_sheet) {
        workbook_close(m_book);
        m_book = nullptr;
        QFile::remove(m_partial);
        throw SpreadsheetError(QStringLiteral("สร้างแผ่นงานในแฟ้ม ") + m_path +
                               QStringLiteral(" ไม่ได้"));
    }
    if (options.rowByRow)
        m_pipe = std::make_unique<CellPipe>(m_sheet);
}

SpreadsheetWriter::~SpreadsheetWriter()
{
    m_pipe.reset(); // the thread ends before the workbook goes
    if (m_book) {
        workbook_close(m_book);
        m_book = nullptr;
    }
    if (!m_finished)
        QFile::remove(m_partial);
}

void SpreadsheetWriter::check(int error, const char* what) const
{
    if (error != LXW_NO_ERROR)
        throw SpreadsheetError(QStringLiteral("เขียนแฟ้ม ") + m_path + QStringLiteral(" ไม่ได้ (") +
                               QLatin1String(what) + QStringLiteral(": ") +
                               QString::fromUtf8(lxw_strerror(lxw_error(error))) + u')');
}

void SpreadsheetWriter::drain()
{
    if (!m_pipe)
        return;
    const auto [error, kind] = m_pipe->drain();
    check(error, kind);
}

lxw_format* SpreadsheetWriter::format(const Style& style)
{
    // Most cells have no style of their own: no key to build for them.
    if (style.colour == 0 && style.numberFormat.isEmpty() && m_plain)
        return m_plain;
    const QString key = QString::number(style.colour) + u'|' + style.numberFormat;
    if (lxw_format* f = m_formats.value(key))
        return f;
    lxw_format* f = workbook_add_format(m_book);
    if (!m_options.fontName.isEmpty())
        format_set_font_name(f, utf8(m_options.fontName).constData());
    format_set_font_size(f, m_options.fontSize);
    if (const std::uint32_t rgb = paletteColour(style.colour); style.colour > 0) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb));
    }
    if (!style.numberFormat.isEmpty())
        format_set_num_format(f, utf8(style.numberFormat).constData());
    m_formats.insert(key, f);
    if (style.colour == 0 && style.numberFormat.isEmpty())
        m_plain = f;
    return f;
}

void SpreadsheetWriter::text(int row, int column, const QString& value, const Style& style)
{
    if (m_pipe)
        return m_pipe->add({lxw_row_t(row),
                            lxw_col_t(column),
                            CellPipe::Cell::Kind::Text,
                            0,
                            {},
                            0,
                            format(style)},
                           &value);
    check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                 utf8(value).constData(), format(style)),
          "text");
}

void SpreadsheetWriter::number(int row, int column, double value, const Style& style)
{
    if (m_pipe)
        return m_pipe->add({lxw_row_t(row),
                            lxw_col_t(column),
                            CellPipe::Cell::Kind::Number,
                            value,
                            {},
                            0,
                            format(style)});
    check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, format(style)),
          "number");
}

void SpreadsheetWriter::date(int row, int column, const QDate& value, const Style& style)
{
    lxw_datetime d{value.year(), value.month(), value.day(), 0, 0, 0};
    if (m_pipe)
        return m_pipe->add({lxw_row_t(row), lxw_col_t(column), CellPipe::Cell::Kind::Date, 0, d, 0,
                            format(style)});
    check(worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(column), &d, format(style)),
          "date");
}

void SpreadsheetWriter::boolean(int row, int column, bool value, const Style& style)
{
    if (m_pipe)
        return m_pipe->add({lxw_row_t(row),
                            lxw_col_t(column),
                            CellPipe::Cell::Kind::Boolean,
                            value ? 1.0 : 0.0,
                            {},
                            0,
                            format(style)});
    check(worksheet_write_boolean(m_sheet, lxw_row_t(row), lxw_col_t(column), value ? 1 : 0,
                                  format(style)),
          "boolean");
}

void SpreadsheetWriter::blank(int row, int column, const Style& style)
{
    if (m_pipe)
        return m_pipe->add({lxw_row_t(row),
                            lxw_col_t(column),
                            CellPipe::Cell::Kind::Blank,
                            0,
                            {},
                            0,
                            format(style)});
    check(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(column), format(style)),
          "blank");
}

void SpreadsheetWriter::merge(int firstRow, int firstColumn, int lastRow, int lastColumn,
                              const QString& value, const Style& style)
{
    drain();
    check(worksheet_merge_range(m_sheet, lxw_row_t(firstRow), lxw_col_t(firstColumn),
                                lxw_row_t(lastRow), lxw_col_t(lastColumn), utf8(value).constData(),
                                format(style)),
          "merge");
}

void SpreadsheetWriter::comment(int row, int column, const QString& text)
{
    drain();
    check(
        worksheet_write_comment(m_sheet, lxw_row_t(row), lxw_col_t(column), utf8(text).constData()),
        "comment");
}

void SpreadsheetWriter::columnWidth(int firstColumn, int lastColumn, double width,
                                    const Style& style)
{
    drain();
    check(worksheet_set_column(m_sheet, lxw_col_t(firstColumn), lxw_col_t(lastColumn), width,
                               style.colour || !style.numberFormat.isEmpty() ? format(style)
                                                                             : nullptr),
          "column");
}

void SpreadsheetWriter::rowHeight(int row, double points)
{
    drain();
    check(worksheet_set_row(m_sheet, lxw_row_t(row), points, nullptr), "row");
}

void SpreadsheetWriter::hideGridlines()
{
    drain();
    worksheet_gridlines(m_sheet, LXW_HIDE_ALL_GRIDLINES);
}

void SpreadsheetWriter::printArea(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    drain();
    check(worksheet_print_area(m_sheet, lxw_row_t(firstRow), lxw_col_t(firstColumn),
                               lxw_row_t(lastRow), lxw_col_t(lastColumn)),
          "print area");
}

void SpreadsheetWriter::margins(double left, double right, double top, double bottom, double header,
                                double footer)
{
    drain();
    constexpr double PointsPerInch = 72;
    worksheet_set_margins(m_sheet, left / PointsPerInch, right / PointsPerInch, top / PointsPerInch,
                          bottom / PointsPerInch);
    lxw_header_footer_options h{};
    h.margin = header / PointsPerInch;
    check(worksheet_set_header_opt(m_sheet, "", &h), "header");
    lxw_header_footer_options f{};
    f.margin = footer / PointsPerInch;
    check(worksheet_set_footer_opt(m_sheet, "", &f), "footer");
}

void SpreadsheetWriter::fitToPages(int wide, int tall)
{
    drain();
    worksheet_fit_to_pages(m_sheet, uint16_t(wide), uint16_t(tall));
}

void SpreadsheetWriter::select(int row, int column)
{
    drain();
    worksheet_set_selection(m_sheet, lxw_row_t(row), lxw_col_t(column), lxw_row_t(row),
                            lxw_col_t(column));
}

void SpreadsheetWriter::finish()
{
    try {
        drain();
    } catch (const SpreadsheetError&) {
        m_pipe.reset();
        workbook_close(m_book);
        m_book = nullptr;
        QFile::remove(m_partial);
        throw;
    }
    m_pipe.reset();
    const lxw_error e = workbook_close(m_book);
    m_book = nullptr;
    if (e != LXW_NO_ERROR) {
        QFile::remove(m_partial);
        throw SpreadsheetError(QStringLiteral("เขียนแฟ้ม ") + m_path + QStringLiteral(" ไม่ได้ (") +
                               QString::fromUtf8(lxw_strerror(e)) +
                               QStringLiteral(") ดูว่าดิสก์เต็มหรือไม่มีสิทธิ์เขียนโฟลเดอร์นี้"));
    }
    QFile::remove(m_path);
    if (!QFile::rename(m_partial, m_path)) {
        QFile::remove(m_partial);
        throw SpreadsheetError(QStringLiteral("แทนที่แฟ้ม ") + m_path +
                               QStringLiteral(" ไม่ได้ แฟ้มอาจเปิดอยู่หรือไม่มีสิทธิ์เขียน"));
    }
    m_finished = true;
}

} // namespace tawela::platform
