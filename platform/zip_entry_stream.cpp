#include "platform/zip_entry_stream.h"

#include <QFile>

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tawela::platform {

namespace {

uint16_t u16(const QByteArray& b, qsizetype at)
{
    return at + 2 <= b.size() ? uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8) : 0;
}
uint32_t u32(const QByteArray& b, qsizetype at)
{
    return uint32_t(u16(b, at)) | uint32_t(u16(b, at + 2)) << 16;
}

struct Member {
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressed = 0;
    uint32_t localHeader = 0;
};

// The member's entry in the archive's central directory.
bool findMember(QFile& file, const std::string& name, Member& member)
{
    const qint64 size = file.size();
    const qint64 tail = std::min<qint64>(size, 65536 + 22);
    if (!file.seek(size - tail))
        return false;
    const QByteArray end = file.read(tail);
    const qsizetype eocd = end.lastIndexOf(QByteArrayView("PK\x05\x06", 4));
    if (eocd < 0 || eocd + 22 > end.size())
        return false;
    const uint32_t dirSize = u32(end, eocd + 12), dirOffset = u32(end, eocd + 16);
    if (dirOffset == 0xFFFFFFFF || qint64(dirOffset) + dirSize > size || !file.seek(dirOffset))
        return false;
    const QByteArray dir = file.read(dirSize);
    for (qsizetype at = 0; at + 46 <= dir.size() && u32(dir, at) == 0x02014b50;) {
        const uint16_t nameLength = u16(dir, at + 28), extra = u16(dir, at + 30),
                       comment = u16(dir, at + 32);
        if (at + 46 + nameLength > dir.size())
            return false;
        if (QByteArrayView(dir.constData() + at + 46, nameLength) ==
            QByteArrayView(name.data(), qsizetype(name.size()))) {
            member.method = u16(dir, at + 10);
            member.crc = u32(dir, at + 16);
            member.compressed = u32(dir, at + 20);
            member.localHeader = u32(dir, at + 42);
            return member.compressed != 0xFFFFFFFF && member.localHeader != 0xFFFFFFFF &&
                   (member.method == 0 || member.method == 8);
        }
        at += 46 + nameLength + extra + comment;
    }
    return false;
}

} // namespace

bool inflateZipEntry(const QString& archive, const std::string& name,
                     const std::function<void(const char* data, size_t size)>& receive)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Member m;
    if (!findMember(file, name, m) || !file.seek(m.localHeader))
        return false;
    const QByteArray local = file.read(30);
    if (local.size() < 30 || u32(local, 0) != 0x04034b50)
        return false;
    if (!file.seek(qint64(m.localHeader) + 30 + u16(local, 26) + u16(local, 28)))
        return false;

    // What is handed on is checked against the archive's check sum at the
    // end: damage that still inflates is found too.
    uLong crc = crc32(0, nullptr, 0);
    auto handOn = [&](const char* data, size_t size) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(size));
        receive(data, size);
    };
    auto checkSum = [&] {
        if (crc != m.crc)
            throw std::runtime_error("zip member does not match its check sum");
    };
    constexpr qint64 Piece = 256 * 1024;
    qint64 left = m.compressed;
    if (m.method == 0) {
        while (left > 0) {
            const QByteArray bytes = file.read(std::min(left, Piece));
            if (bytes.isEmpty())
                throw std::runtime_error("zip member cut short");
            handOn(bytes.constData(), size_t(bytes.size()));
            left -= bytes.size();
        }
        checkSum();
        return true;
    }
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        throw std::runtime_error("zlib could not start");
    struct End {
        z_stream& z;
        ~End() { inflateEnd(&z); }
    } end{z};
    std::vector<char> out(size_t(Piece) * 4);
    int state = Z_OK;
    while (state != Z_STREAM_END) {
        const QByteArray bytes = file.read(std::min(left, Piece));
        if (bytes.isEmpty())
            throw std::runtime_error("zip member cut short");
        left -= bytes.size();
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
        z.avail_in = uInt(bytes.size());
        // Until this input is used up and zlib holds no more output for it.
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            state = inflate(&z, Z_NO_FLUSH);
            if (state == Z_BUF_ERROR && z.avail_in == 0)
                break; // nothing more without the next input
            if (state != Z_OK && state != Z_STREAM_END)
                throw std::runtime_error(z.msg ? z.msg : "zip member does not inflate");
            if (const size_t n = out.size() - z.avail_out; n > 0)
                handOn(out.data(), n);
        } while ((z.avail_in > 0 || z.avail_out == 0) && state != Z_STREAM_END);
    }
    checkSum();
    return true;
}

} // namespace tawela::platform
