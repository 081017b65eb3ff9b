#include "devices/scanner.h"

#include "platform/log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageWriter>

#include <mutex>

#include <sane/sane.h>
#include <sane/saneopts.h>

namespace tawela::devices {

namespace {

// The service is started once for the program and kept.
void startService()
{
    static std::once_flag once;
    std::call_once(once, [] {
        SANE_Int version = 0;
        sane_init(&version, nullptr);
    });
}

QString saneText(SANE_Status status)
{
    return QString::fromUtf8(sane_strstatus(status));
}

// The settable option of that name; none when the scanner lacks it (what
// cannot be set stays as the scanner has it).
std::pair<SANE_Int, const SANE_Option_Descriptor*> settable(SANE_Handle h, const char* name)
{
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d)
            return {0, nullptr};
        if (d->name && qstrcmp(d->name, name) == 0)
            return SANE_OPTION_IS_SETTABLE(d->cap) ? std::pair(i, d) : std::pair(0, nullptr);
    }
}

// A choice among the scanner's own words, when it offers that one.
void setChoice(SANE_Handle h, const char* name, const char* value)
{
    const auto [i, d] = settable(h, name);
    if (!d || d->type != SANE_TYPE_STRING)
        return;
    if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
        bool offered = false;
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
            offered = offered || qstrcmp(*s, value) == 0;
        if (!offered)
            return;
    }
    SANE_Int info = 0;
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, const_cast<char*>(value), &info);
}

// A number, whole or fixed-point as the scanner keeps it.
void setNumber(SANE_Handle h, const char* name, int value)
{
    const auto [i, d] = settable(h, name);
    if (!d || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        return;
    SANE_Word word = d->type == SANE_TYPE_FIXED ? SANE_FIX(value) : value;
    SANE_Int info = 0;
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, &word, &info);
}

// The page's lines as they arrive, into a picture.
QImage toImage(const SANE_Parameters& p, const QByteArray& data)
{
    const int width = p.pixels_per_line;
    const int height = p.lines > 0 ? p.lines : int(data.size() / std::max(1, p.bytes_per_line));
    const bool colour = p.format == SANE_FRAME_RGB;
    QImage image(width, height, colour ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        const auto* line =
            reinterpret_cast<const uchar*>(data.constData()) + qsizetype(y) * p.bytes_per_line;
        if (qsizetype(y + 1) * p.bytes_per_line > data.size())
            break;
        uchar* out = image.scanLine(y);
        if (p.depth == 8) {
            memcpy(out, line, size_t(width) * (colour ? 3 : 1));
        } else if (p.depth == 16) {
            for (int x = 0; x < width * (colour ? 3 : 1); ++x)
                out[x] = line[2 * x + 1]; // little end first: the high byte
        } else if (p.depth == 1 && !colour) {
            for (int x = 0; x < width; ++x)
                out[x] = (line[x / 8] & (0x80 >> (x % 8))) ? 0 : 255; // 1 is black
        }
    }
    return image;
}

// The device opened, closed again whatever happens.
class Opened {
public:
    explicit Opened(const QString& device)
    {
        const SANE_Status s = sane_open(device.toUtf8().constData(), &m_handle);
        qCDebug(platform::log::scanner).noquote() << "open" << device << saneText(s);
        if (s != SANE_STATUS_GOOD)
            throw ScanError(QStringLiteral("เปิดเครื่องสแกน %1 ไม่ได้ (%2)").arg(device, saneText(s)));
    }
    ~Opened() { sane_close(m_handle); }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
    SANE_Handle handle() const { return m_handle; }

private:
    SANE_Handle m_handle = nullptr;
};

} // namespace

QList<ScannerDevice> Scanner::devices()
{
    startService();
    const SANE_Device** list = nullptr;
    QList<ScannerDevice> found;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return found;
    for (int i = 0; list[i]; ++i) {
        const SANE_Device* d = list[i];
        const QString title =
            QString(QString::fromUtf8(d->vendor) + u' ' + QString::fromUtf8(d->model)).trimmed();
        found << ScannerDevice{QString::fromUtf8(d->name),
                               title.isEmpty() ? QString::fromUtf8(d->name) : title};
        qCDebug(platform::log::scanner).noquote() << "found" << found.last().name;
    }
    return found;
}

QImage Scanner::scan(const QString& device, int dpi, const std::function<void(int)>& progress,
                     const std::atomic_bool& cancel)
{
    startService();
    const Opened opened(device);
    const SANE_Handle h = opened.handle();
    setChoice(h, SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR);
    setNumber(h, SANE_NAME_BIT_DEPTH, 8);
    setNumber(h, SANE_NAME_SCAN_RESOLUTION, dpi);

    SANE_Status s = sane_start(h);
    if (s != SANE_STATUS_GOOD) {
        sane_cancel(h);
        throw ScanError(QStringLiteral("เริ่มสแกนไม่ได้ (%1)").arg(saneText(s)));
    }
    SANE_Parameters p{};
    s = sane_get_parameters(h, &p);
    if (s != SANE_STATUS_GOOD) {
        sane_cancel(h);
        throw ScanError(QStringLiteral("เครื่องสแกนไม่บอกขนาดภาพ (%1)").arg(saneText(s)));
    }
    if (p.format != SANE_FRAME_RGB && p.format != SANE_FRAME_GRAY) {
        sane_cancel(h);
        throw ScanError(QStringLiteral("เครื่องสแกนส่งภาพทีละสี ซึ่งโปรแกรมยังไม่รองรับ"));
    }
    const qsizetype expected = p.lines > 0 ? qsizetype(p.lines) * p.bytes_per_line : 0;
    QByteArray data;
    if (expected > 0)
        data.reserve(expected);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        if (cancel) {
            qCDebug(platform::log::scanner) << "cancelled after" << data.size() << "bytes";
            // The scanner finishes its side once asked: what it still sends
            // is read and dropped until it says it has stopped.
            sane_cancel(h);
            for (int i = 0; i < 100000; ++i) {
                SANE_Int dropped = 0;
                if (sane_read(h, reinterpret_cast<SANE_Byte*>(buffer.data()),
                              SANE_Int(buffer.size()), &dropped) != SANE_STATUS_GOOD)
                    break;
            }
            return {};
        }
        SANE_Int length = 0;
        s = sane_read(h, reinterpret_cast<SANE_Byte*>(buffer.data()), SANE_Int(buffer.size()),
                      &length);
        if (s == SANE_STATUS_EOF)
            break;
        if (s == SANE_STATUS_CANCELLED)
            return {};
        if (s != SANE_STATUS_GOOD) {
            sane_cancel(h);
            throw ScanError(QStringLiteral("สแกนไม่สำเร็จ (%1)").arg(saneText(s)));
        }
        data.append(buffer.constData(), length);
        if (progress && expected > 0)
            progress(int(std::min<qsizetype>(99, data.size() * 100 / expected)));
    }
    sane_cancel(h);
    if (progress)
        progress(100);
    const QImage image = toImage(p, data);
    if (image.isNull() || image.height() == 0)
        throw ScanError(QStringLiteral("เครื่องสแกนไม่ได้ส่งภาพมา"));
    return image;
}

QString storeCapturedPicture(const QImage& picture, const QString& folder, const QString& prefix,
                             const QString& extension)
{
    if (!QDir().mkpath(folder))
        throw platform::Error(QStringLiteral("สร้างโฟลเดอร์ภาพ %1 ไม่ได้").arg(folder));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 0; n < 1000; ++n) {
        const QString name =
            prefix + u'-' + stamp + (n ? u'-' + QString::number(n) : QString()) + u'.' + extension;
        const QString path = QDir(folder).filePath(name);
        QFile file(path);
        // Made new or not at all: a picture already there is never written over.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            throw platform::Error(
                QStringLiteral("บันทึกภาพ %1 ไม่ได้ (%2)").arg(path, file.errorString()));
        }
        QImageWriter writer(&file, extension.toLatin1());
        if (extension.compare(u"jpg", Qt::CaseInsensitive) == 0)
            writer.setQuality(90);
        if (!writer.write(picture)) {
            file.close();
            file.remove();
            throw platform::Error(
                QStringLiteral("บันทึกภาพ %1 ไม่ได้ (%2)").arg(path, writer.errorString()));
        }
        return path;
    }
    throw platform::Error(QStringLiteral("บันทึกภาพในโฟลเดอร์ %1 ไม่ได้: ชื่อแฟ้มซ้ำ").arg(folder));
}

} // namespace tawela::devices
