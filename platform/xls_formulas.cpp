#include "platform/xls_formulas.h"

#include <QFile>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace tawela::platform {

namespace {

// Little-endian reads that never step outside the bytes.
struct Bytes {
    const unsigned char* data = nullptr;
    size_t size = 0;

    bool has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    uint16_t u16(size_t at) const
    {
        return has(at, 2) ? uint16_t(data[at] | data[at + 1] << 8) : 0;
    }
    uint32_t u32(size_t at) const
    {
        return has(at, 4) ? uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16 : 0;
    }
};

constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FreeSector = 0xFFFFFFFF;

// One stream of a compound document (the container of .xls files), found by
// name in its directory: the sector chains followed with a bound, so a
// looping or broken chain ends the reading instead of the program.
class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& file)
        : m_file{reinterpret_cast<const unsigned char*>(file.constData()), size_t(file.size())}
    {
        static const unsigned char magic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        if (!m_file.has(0, 512) || std::memcmp(m_file.data, magic, sizeof magic) != 0)
            return;
        const unsigned shift = m_file.u16(0x1E);
        const unsigned miniShift = m_file.u16(0x20);
        if (shift < 7 || shift > 16 || miniShift >= shift)
            return;
        m_sector = size_t(1) << shift;
        m_miniSector = size_t(1) << miniShift;
        m_miniCutoff = m_file.u32(0x38);

        // The allocation table's own sectors: 109 in the header, the rest in
        // a chain of further index sectors.
        std::vector<uint32_t> fatSectors;
        for (size_t i = 0; i < 109; ++i) {
            const uint32_t s = m_file.u32(0x4C + 4 * i);
            if (s < EndOfChain)
                fatSectors.push_back(s);
        }
        uint32_t more = m_file.u32(0x44);
        for (size_t guard = 0; more < EndOfChain && guard < sectorCount(); ++guard) {
            const size_t at = offsetOf(more);
            if (!m_file.has(at, m_sector))
                return;
            for (size_t i = 0; i + 1 < m_sector / 4; ++i) {
                const uint32_t s = m_file.u32(at + 4 * i);
                if (s < EndOfChain)
                    fatSectors.push_back(s);
            }
            more = m_file.u32(at + m_sector - 4);
        }
        for (uint32_t s : fatSectors) {
            const size_t at = offsetOf(s);
            if (!m_file.has(at, m_sector))
                return;
            for (size_t i = 0; i < m_sector / 4; ++i)
                m_fat.push_back(m_file.u32(at + 4 * i));
        }
        m_directory = chain(m_file.u32(0x30), std::nullopt);
        m_miniFat = chain(m_file.u32(0x3C), std::nullopt);
        m_ok = !m_directory.isEmpty();
    }

    // The named stream's bytes; empty when there is none.
    QByteArray stream(const QString& name) const
    {
        if (!m_ok)
            return {};
        const Bytes dir{reinterpret_cast<const unsigned char*>(m_directory.constData()),
                        size_t(m_directory.size())};
        QByteArray rootStream;
        for (size_t at = 0; dir.has(at, 128); at += 128) {
            const unsigned nameBytes = dir.u16(at + 64);
            const unsigned kind = dir.data[at + 66];
            if (kind == 5) // the root entry holds the small streams
                rootStream = chain(dir.u32(at + 116), size_t(dir.u32(at + 120)));
            if (kind != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString entry = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(dir.data + at), (nameBytes - 2) / 2);
            if (entry.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const size_t size = dir.u32(at + 120);
            if (size >= m_miniCutoff)
                return chain(dir.u32(at + 116), size);
            return miniChain(dir.u32(at + 116), size, rootStream);
        }
        return {};
    }

private:
    size_t sectorCount() const { return m_sector ? m_file.size / m_sector : 0; }
    size_t offsetOf(uint32_t sector) const { return (size_t(sector) + 1) * m_sector; }

    QByteArray chain(uint32_t first, std::optional<size_t> size) const
    {
        QByteArray out;
        uint32_t s = first;
        for (size_t guard = 0; s < EndOfChain && guard <= sectorCount(); ++guard) {
            const size_t at = offsetOf(s);
            if (!m_file.has(at, m_sector) || s >= m_fat.size())
                return {};
            out.append(reinterpret_cast<const char*>(m_file.data + at), qsizetype(m_sector));
            s = m_fat[s];
        }
        if (s != EndOfChain && s != FreeSector)
            return {};
        if (size) {
            if (out.size() < qsizetype(*size))
                return {};
            out.truncate(qsizetype(*size));
        }
        return out;
    }

    QByteArray miniChain(uint32_t first, size_t size, const QByteArray& rootStream) const
    {
        const Bytes fat{reinterpret_cast<const unsigned char*>(m_miniFat.constData()),
                        size_t(m_miniFat.size())};
        QByteArray out;
        uint32_t s = first;
        const size_t count = fat.size / 4;
        for (size_t guard = 0; s < EndOfChain && guard <= count; ++guard) {
            const size_t at = size_t(s) * m_miniSector;
            if (at + m_miniSector > size_t(rootStream.size()) || s >= count)
                return {};
            out.append(rootStream.constData() + at, qsizetype(m_miniSector));
            s = fat.u32(4 * size_t(s));
        }
        if (out.size() < qsizetype(size))
            return {};
        out.truncate(qsizetype(size));
        return out;
    }

    Bytes m_file;
    size_t m_sector = 0, m_miniSector = 0, m_miniCutoff = 4096;
    std::vector<uint32_t> m_fat;
    QByteArray m_directory, m_miniFat;
    bool m_ok = false;
};

constexpr uint16_t Formula = 0x0006, StringResult = 0x0207, BoundSheet = 0x0085, EndOfFile = 0x000A;

// The text of a STRING record: a count of characters, then one byte of
// flags (bit 0: two bytes a character), then the characters.
QString stringRecord(const Bytes& b, size_t at, size_t length)
{
    const size_t characters = b.u16(at);
    const bool wide = b.has(at + 2, 1) && (b.data[at + 2] & 1);
    const size_t start = at + 3;
    const size_t room = length > 3 ? length - 3 : 0;
    if (wide) {
        const size_t n = std::min(characters, room / 2);
        QString s(qsizetype(n), Qt::Uninitialized);
        for (size_t i = 0; i < n; ++i)
            s[qsizetype(i)] = QChar(b.u16(start + 2 * i));
        return s;
    }
    const size_t n = std::min(characters, room);
    return QString::fromLatin1(reinterpret_cast<const char*>(b.data + start), qsizetype(n));
}

} // namespace

std::map<std::pair<unsigned, unsigned>, SheetValue> readXlsFormulaResults(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readXlsFormulaResults(file.readAll());
}

std::map<std::pair<unsigned, unsigned>, SheetValue> readXlsFormulaResults(const QByteArray& file)
{
    std::map<std::pair<unsigned, unsigned>, SheetValue> results;
    const QByteArray book = CompoundFile(file).stream(QStringLiteral("Workbook"));
    const Bytes b{reinterpret_cast<const unsigned char*>(book.constData()), size_t(book.size())};

    // The workbook's own records name where each sheet begins; the first
    // worksheet (kind 0) is the one read.
    size_t sheetStart = 0;
    for (size_t at = 0; b.has(at, 4);) {
        const uint16_t id = b.u16(at), length = b.u16(at + 2);
        if (id == BoundSheet && b.has(at + 4, 6) && b.data[at + 9] == 0) {
            sheetStart = b.u32(at + 4);
            break;
        }
        if (id == EndOfFile && at > 0)
            break;
        at += 4 + size_t(length);
    }
    if (sheetStart == 0)
        return results;

    std::optional<std::pair<unsigned, unsigned>> awaitingText;
    for (size_t at = sheetStart; b.has(at, 4);) {
        const uint16_t id = b.u16(at), length = b.u16(at + 2);
        const size_t data = at + 4;
        if (!b.has(data, length) || (id == EndOfFile && at > sheetStart))
            break;
        if (id == Formula && length >= 20) {
            const std::pair<unsigned, unsigned> cell{b.u16(data), b.u16(data + 2)};
            awaitingText.reset();
            SheetValue v;
            if (b.u16(data + 12) != 0xFFFF) {
                double number = 0;
                std::memcpy(&number, b.data + data + 6, sizeof number);
                v.kind = SheetValue::Kind::Number;
                v.number = number;
                results[cell] = v;
            } else if (b.data[data + 6] == 0) {
                awaitingText = cell; // the text follows in its own record
            } else if (b.data[data + 6] == 1) {
                v.kind = SheetValue::Kind::Boolean;
                v.boolean = b.data[data + 8] != 0;
                results[cell] = v;
            }
        } else if (id == StringResult && awaitingText) {
            SheetValue v;
            v.kind = SheetValue::Kind::Text;
            v.text = stringRecord(b, data, length);
            results[*awaitingText] = v;
            awaitingText.reset();
        }
        at = data + length;
    }
    return results;
}

} // namespace tawela::platform
