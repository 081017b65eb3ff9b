#include "devices/card_reader.h"

#include "platform/log.h"

#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>

#include <chrono>
#include <thread>

namespace tawela::devices {

namespace {

using Kind = CardError::Kind;

QString serviceMissing()
{
    return QStringLiteral("ไม่พบบริการอ่านบัตรประชาชน (pcscd) ในเครื่องนี้ "
                          "กรุณาติดตั้งและเปิดบริการ pcscd");
}

// One connection to the smart-card service, released at the end of its scope.
class Context {
public:
    Context() { m_status = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &m_ctx); }
    ~Context()
    {
        if (m_status == SCARD_S_SUCCESS)
            SCardReleaseContext(m_ctx);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    bool ok() const { return m_status == SCARD_S_SUCCESS; }
    SCARDCONTEXT handle() const { return m_ctx; }

private:
    SCARDCONTEXT m_ctx = 0;
    LONG m_status = SCARD_E_NO_SERVICE;
};

bool removedCode(LONG rc)
{
    return rc == LONG(SCARD_W_REMOVED_CARD) || rc == LONG(SCARD_E_NO_SMARTCARD) ||
           rc == LONG(SCARD_W_RESET_CARD) || rc == LONG(SCARD_W_UNPOWERED_CARD) ||
           rc == LONG(SCARD_E_READER_UNAVAILABLE) || rc == LONG(SCARD_W_UNRESPONSIVE_CARD) ||
           // the card went while a command was on its way
           rc == LONG(SCARD_E_NOT_TRANSACTED);
}

[[noreturn]] void fail(LONG rc, const char* what)
{
    if (removedCode(rc))
        throw CardError(Kind::Removed, QStringLiteral("บัตรถูกถอดออกระหว่างอ่าน กรุณาเสียบบัตรใหม่อีกครั้ง"));
    throw CardError(Kind::Unreadable,
                    QStringLiteral("อ่านบัตรไม่ได้ (%1: %2)")
                        .arg(QString::fromUtf8(what), QString::fromUtf8(pcsc_stringify_error(rc))));
}

// A card connected in shared mode, with the card's own read commands.
class Card {
public:
    Card(const Context& ctx, const QString& reader)
    {
        const QByteArray name = reader.toUtf8();
        LONG rc = SCARD_E_NO_SMARTCARD;
        // Right after insertion the card may still be resetting: wait and try again.
        for (int attempt = 0; attempt < 10; ++attempt) {
            rc = SCardConnect(ctx.handle(), name.constData(), SCARD_SHARE_SHARED,
                              SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &m_card, &m_protocol);
            if (rc == SCARD_S_SUCCESS || !removedCode(rc))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        if (rc != SCARD_S_SUCCESS)
            fail(rc, "SCardConnect");
        m_connected = true;
        BYTE atr[MAX_ATR_SIZE];
        DWORD atrLength = sizeof atr, state = 0, protocol = 0, readerLength = 0;
        rc = SCardStatus(m_card, nullptr, &readerLength, &state, &protocol, atr, &atrLength);
        if (rc != SCARD_S_SUCCESS)
            fail(rc, "SCardStatus");
        m_atr = QByteArray(reinterpret_cast<const char*>(atr), int(atrLength));
    }
    ~Card()
    {
        if (m_connected)
            SCardDisconnect(m_card, SCARD_LEAVE_CARD);
    }
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    const QByteArray& atr() const { return m_atr; }

    void reset()
    {
        DWORD protocol = 0;
        const LONG rc =
            SCardReconnect(m_card, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                           SCARD_RESET_CARD, &protocol);
        if (rc != SCARD_S_SUCCESS)
            fail(rc, "SCardReconnect");
        m_protocol = protocol;
    }

    bool gone() const
    {
        DWORD state = 0, protocol = 0, nameLength = 0, atrLength = 0;
        const LONG rc =
            SCardStatus(m_card, nullptr, &nameLength, &state, &protocol, nullptr, &atrLength);
        return removedCode(rc) || (rc == SCARD_S_SUCCESS && !(state & SCARD_PRESENT));
    }

    QByteArray transmit(const QByteArray& apdu)
    {
        BYTE answer[258 + 2];
        DWORD length = sizeof answer;
        const SCARD_IO_REQUEST* pci = m_protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
        const LONG rc = SCardTransmit(m_card, pci, reinterpret_cast<const BYTE*>(apdu.constData()),
                                      DWORD(apdu.size()), nullptr, answer, &length);
        // The command and the answer's status, never its data (a person's).
        qCDebug(platform::log::card).noquote()
            << apdu.toHex(' ') << "->" << Qt::hex << rc << Qt::dec << length << "bytes"
            << (length >= 2
                    ? QByteArray(reinterpret_cast<const char*>(answer) + length - 2, 2).toHex(' ')
                    : QByteArray());
        // A command that failed on a card no longer there: it was taken out.
        if (rc != SCARD_S_SUCCESS)
            fail(gone() ? LONG(SCARD_W_REMOVED_CARD) : rc, "SCardTransmit");
        // No status bytes: the card went away while answering (the service
        // may not have noticed yet).
        if (length < 2)
            fail(SCARD_W_REMOVED_CARD, "SCardTransmit");
        return QByteArray(reinterpret_cast<const char*>(answer), int(length));
    }

    // The applet of the card's citizen data; a card that answers "not
    // found" until reset is reset once.
    void select()
    {
        static const QByteArray apdu = QByteArray::fromHex("00A4040008A000000054480001");
        QByteArray answer = transmit(apdu);
        if (answer.endsWith(QByteArray::fromHex("6A82"))) {
            reset();
            answer = transmit(apdu);
        }
        const auto sw1 = quint8(answer.size() >= 2 ? answer[answer.size() - 2] : 0);
        if (sw1 != 0x61 && !answer.endsWith(QByteArray::fromHex("9000")))
            throw CardError(Kind::Unreadable,
                            QStringLiteral("บัตรนี้ไม่ใช่บัตรประจำตัวประชาชน หรืออ่านไม่ได้ (ตอบ %1)")
                                .arg(QString::fromLatin1(answer.toHex(' ').toUpper())));
    }

    // `length` bytes from `offset` of the card's data.
    QByteArray read(int offset, int length, quint8 responseP2)
    {
        QByteArray apdu = QByteArray::fromHex("80B00000020000");
        apdu[2] = char(offset >> 8);
        apdu[3] = char(offset & 0xFF);
        apdu[6] = char(length);
        QByteArray answer = transmit(apdu);
        if (answer.size() >= 2 && quint8(answer[answer.size() - 2]) == 0x61) {
            QByteArray more = QByteArray::fromHex("00C0000000");
            more[3] = char(responseP2);
            more[4] = answer[answer.size() - 1];
            answer = transmit(more);
        }
        if (answer.size() < 2 || !answer.endsWith(QByteArray::fromHex("9000")))
            throw CardError(Kind::Unreadable,
                            QStringLiteral("อ่านข้อมูลจากบัตรไม่ได้ (ตอบ %1)")
                                .arg(QString::fromLatin1(answer.right(2).toHex(' ').toUpper())));
        return answer.left(answer.size() - 2);
    }

private:
    SCARDHANDLE m_card = 0;
    DWORD m_protocol = 0;
    bool m_connected = false;
    QByteArray m_atr;
};

// Cards of the first generation answer GET RESPONSE with P2 = 01.
enum class P2Rule { Zero, One, Unknown };
P2Rule p2Rule(const QByteArray& atr)
{
    if (atr.startsWith(QByteArray::fromHex("3B67")))
        return P2Rule::One;
    for (const char* known : {"3B68", "3B78", "3B79"})
        if (atr.startsWith(QByteArray::fromHex(known)))
            return P2Rule::Zero;
    return P2Rule::Unknown;
}

// The names of the readers the service knows.
QStringList readerNames(const Context& ctx)
{
    DWORD length = 0;
    if (SCardListReaders(ctx.handle(), nullptr, nullptr, &length) != SCARD_S_SUCCESS || length == 0)
        return {};
    QByteArray names(int(length), '\0');
    if (SCardListReaders(ctx.handle(), nullptr, names.data(), &length) != SCARD_S_SUCCESS)
        return {};
    QStringList list;
    for (const QByteArray& n : names.left(int(length)).split('\0'))
        if (!n.isEmpty())
            list << QString::fromUtf8(n);
    return list;
}

} // namespace

CardReader::Status CardReader::libraryStatus() const
{
    const Context ctx;
    if (!ctx.ok())
        return {false, serviceMissing()};
    const QStringList names = readerNames(ctx);
    if (names.isEmpty())
        return {true, QStringLiteral("บริการอ่านบัตรพร้อม แต่ยังไม่พบเครื่องอ่านบัตร")};
    return {true, QStringLiteral("พร้อมอ่านบัตร (เครื่องอ่าน %1 เครื่อง)").arg(names.size())};
}

QStringList CardReader::readers() const
{
    const Context ctx;
    return ctx.ok() ? readerNames(ctx) : QStringList();
}

bool CardReader::cardPresent(const QString& reader, int* insertions) const
{
    const Context ctx;
    if (!ctx.ok() || reader.isEmpty())
        return false;
    const QByteArray name = reader.toUtf8();
    SCARD_READERSTATE state{};
    state.szReader = name.constData();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    if (SCardGetStatusChange(ctx.handle(), 0, &state, 1) != SCARD_S_SUCCESS)
        return false;
    if (insertions)
        *insertions = int((state.dwEventState >> 16) & 0xFFFF);
    return (state.dwEventState & SCARD_STATE_PRESENT) && !(state.dwEventState & SCARD_STATE_MUTE);
}

IdCard CardReader::read(const QString& reader, const std::function<void(int)>& progress,
                        bool withPhoto, const std::function<void(const IdCard&)>& textRead,
                        const std::atomic<bool>* stop) const
{
    const auto stopWhenAsked = [stop] {
        if (stop && stop->load())
            throw ReadStopped{};
    };
    const auto said = [&](int percent) {
        if (progress)
            progress(percent);
    };
    const Context ctx;
    if (!ctx.ok())
        throw CardError(Kind::NoService, serviceMissing());
    if (!readerNames(ctx).contains(reader))
        throw CardError(Kind::NoReader, QStringLiteral("ไม่พบเครื่องอ่านบัตร กรุณาต่อเครื่องอ่านบัตร"));
    said(1);
    Card card(ctx, reader);
    card.select();

    IdCard c;
    const P2Rule rule = p2Rule(card.atr());
    quint8 p2 = rule == P2Rule::One ? 1 : 0;
    bool refused = false;
    try {
        c.idNumber = cardText(card.read(0x0004, 13, p2));
    } catch (const CardError& e) {
        // A card that refuses this form of GET RESPONSE may take the other.
        if (e.kind() != Kind::Unreadable)
            throw;
        refused = true;
    }
    if (refused || (rule == P2Rule::Unknown && !idNumberValid(c.idNumber))) {
        // The other way of answering; the ID's check digit decides.
        p2 = p2 == 1 ? 0 : 1;
        c.idNumber = cardText(card.read(0x0004, 13, p2));
    }
    if (!idNumberValid(c.idNumber))
        throw CardError(Kind::BadCheckDigit,
                        QStringLiteral("เลขประจำตัวประชาชนที่อ่านได้ (%1) ไม่ถูกต้องตามเลขตรวจสอบ "
                                       "ไม่ได้ใช้ข้อมูลจากบัตรนี้")
                            .arg(c.idNumber));
    // The other text fields in three reads instead of ten: they lie in two
    // runs (0x0011-0x0176 and 0x1579-0x1626). A card that will not give a
    // run at once is asked a field at a time.
    std::vector<std::pair<int, QByteArray>> runs;
    const std::pair<int, int> spans[] = {{0x0011, 255}, {0x0110, 0x0177 - 0x0110}, {0x1579, 174}};
    for (const auto& [offset, length] : spans) {
        try {
            runs.emplace_back(offset, card.read(quint16(offset), quint8(length), p2));
        } catch (const CardError& e) {
            if (e.kind() != Kind::Unreadable)
                throw;
        }
        stopWhenAsked();
    }
    const auto field = [&](int offset, int length) {
        for (const auto& [start, bytes] : runs)
            if (offset >= start && offset + length <= start + bytes.size())
                return cardText(bytes.mid(offset - start, length));
        return cardText(card.read(quint16(offset), quint8(length), p2));
    };
    splitName(field(0x0011, 100), c.thaiTitle, c.thaiFirst, c.thaiMiddle, c.thaiLast);
    splitName(field(0x0075, 100), c.englishTitle, c.englishFirst, c.englishMiddle, c.englishLast);
    c.birth = field(0x00D9, 8);
    c.sex = field(0x00E1, 1);
    c.issuer = field(0x00F6, 100);
    c.issued = field(0x0167, 8);
    c.expires = field(0x016F, 8);
    splitAddress(field(0x1579, 100), c);
    c.requestNumber = field(0x1619, 14);
    said(50);
    if (!withPhoto) {
        said(100);
        return c;
    }
    if (textRead)
        textRead(c); // shown while the photo comes

    QByteArray photo;
    constexpr int Chunks = 20, Chunk = 255;
    for (int i = 0; i < Chunks; ++i) {
        photo += card.read(0x017B + Chunk * i, Chunk, p2);
        said(50 + 50 * (i + 1) / Chunks);
        stopWhenAsked();
    }
    // The photo is padded to the full length: it ends at its last FF D9.
    const qsizetype end = photo.lastIndexOf(QByteArray::fromHex("FFD9"));
    if (end >= 0)
        photo.truncate(end + 2);
    c.photo = photo;
    return c;
}

namespace {
QString& chosen()
{
    static QString name;
    return name;
}
} // namespace

QString readerToWatch(const QStringList& attached)
{
    if (attached.contains(chosen()))
        return chosen();
    return attached.value(0);
}

void chooseReader(const QString& name)
{
    chosen() = name;
}

} // namespace tawela::devices
