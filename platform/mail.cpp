#include "platform/mail.h"

#include "platform/log.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

#include <mutex>

namespace tawela::platform {

namespace {

const char* securityName(MailSecurity s)
{
    switch (s) {
    case MailSecurity::None:
        return "none";
    case MailSecurity::Tls:
        return "tls";
    case MailSecurity::StartTls:
        break;
    }
    return "starttls";
}

MailSecurity securityFrom(const QString& name)
{
    if (name == QLatin1String("none"))
        return MailSecurity::None;
    if (name == QLatin1String("tls"))
        return MailSecurity::Tls;
    return MailSecurity::StartTls;
}

bool hasLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// An RFC 2047 header text: ASCII as it is, anything else as UTF-8 base64
// words of at most 75 characters, each on its own folded line, never
// splitting a character.
QByteArray encodedWords(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() > 126 || (c.unicode() < 32 && c != QLatin1Char('\t')))
            ascii = false;
    if (ascii)
        return text.toLatin1();
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    // 45 bytes of UTF-8 make 60 base64 characters: the word stays under 75.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
        i += n - 1;
    }
    flush();
    return out;
}

// Base64 in lines of 76 characters.
QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray b = data.toBase64();
    QByteArray out;
    out.reserve(b.size() + b.size() / 38 + 2);
    for (qsizetype i = 0; i < b.size(); i += 76)
        out += b.mid(i, 76) + "\r\n";
    return out;
}

QByteArray addressList(const QStringList& addresses)
{
    return addresses.join(QStringLiteral(",\r\n ")).toUtf8();
}

void requireAddresses(const QStringList& addresses)
{
    for (const QString& a : addresses)
        if (!plausibleAddress(a))
            throw MailFailure{QStringLiteral("ที่อยู่อีเมลไม่ถูกต้อง: %1").arg(a)};
}

// The attachment's file name as RFC 2231 extended parameter value.
QByteArray extendedValue(const QString& name)
{
    return "UTF-8''" + QUrl::toPercentEncoding(name);
}

QByteArray attachmentPart(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw MailFailure{QStringLiteral("ไม่พบไฟล์แนบ: %1").arg(path)};
    if (info.size() > MaxAttachmentBytes)
        throw MailFailure{QStringLiteral("ไฟล์แนบใหญ่เกิน %1 MB: %2")
                              .arg(MaxAttachmentBytes / (1024 * 1024))
                              .arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw MailFailure{QStringLiteral("อ่านไฟล์แนบไม่ได้: %1 (%2)").arg(path, file.errorString())};
    const QByteArray data = file.readAll();
    const QString name = info.fileName();
    const QByteArray type = QMimeDatabase().mimeTypeForFile(info).name().toLatin1();
    // Quoted RFC 2047 words for mail programs that predate RFC 2231.
    QByteArray legacy = encodedWords(name);
    legacy.replace("\r\n ", "");
    legacy.replace('"', "");
    QByteArray part;
    part += "Content-Type: " + type + "; name=\"" + legacy + "\"\r\n";
    part += "Content-Transfer-Encoding: base64\r\n";
    part += "Content-Disposition: attachment; filename*=" + extendedValue(name) +
            ";\r\n filename=\"" + legacy + "\"\r\n\r\n";
    part += base64Lines(data);
    return part;
}

QByteArray textPart(const QString& body)
{
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return "Content-Type: text/plain; charset=UTF-8\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           base64Lines(text.toUtf8());
}

QByteArray randomToken()
{
    QByteArray bytes(12, '\0');
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes.toHex();
}

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload {
    QByteArray data;
    qsizetype sent = 0;
};

size_t readPayload(char* buffer, size_t size, size_t count, void* user)
{
    auto* up = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = size_t(up->data.size() - up->sent);
    const size_t n = std::min(room, left);
    memcpy(buffer, up->data.constData() + up->sent, n);
    up->sent += qsizetype(n);
    return n;
}

// What the conversation with the server told: the last refusal it
// answered with (a 4xx or 5xx line; the "221 Bye" after it says nothing)
// and the recipients it refused, each answer following its RCPT command.
struct Conversation {
    QString answer;
    QString lastRecipient; // of the last RCPT command sent
    QStringList refused;
};

int keepAnswer(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    auto* talk = static_cast<Conversation*>(user);
    const QString line = QString::fromUtf8(data, qsizetype(size)).trimmed();
    // The commands and the server's answers. What the program sends besides
    // the commands (the sign-in's name and secret) stays out.
    if (log::mail().isDebugEnabled() &&
        (type == CURLINFO_HEADER_OUT || type == CURLINFO_HEADER_IN || type == CURLINFO_TEXT)) {
        static const QStringList commands = {
            QStringLiteral("EHLO"), QStringLiteral("HELO"),     QStringLiteral("MAIL"),
            QStringLiteral("RCPT"), QStringLiteral("DATA"),     QStringLiteral("QUIT"),
            QStringLiteral("RSET"), QStringLiteral("STARTTLS"), QStringLiteral("NOOP")};
        const QString verb = line.section(u' ', 0, 0).toUpper();
        QString shown = line;
        if (type == CURLINFO_HEADER_OUT && !commands.contains(verb))
            shown = verb == QLatin1String("AUTH") ? line.section(u' ', 0, 1)
                                                  : QStringLiteral("(not shown)");
        qCDebug(log::mail).noquote() << (type == CURLINFO_HEADER_OUT  ? "<<"
                                         : type == CURLINFO_HEADER_IN ? ">>"
                                                                      : "**")
                                     << shown;
    }
    if (type == CURLINFO_HEADER_OUT) {
        talk->lastRecipient.clear();
        if (line.startsWith(QLatin1String("RCPT TO:<"), Qt::CaseInsensitive))
            talk->lastRecipient = line.mid(9).section(u'>', 0, 0);
    } else if (type == CURLINFO_HEADER_IN &&
               (line.startsWith(QLatin1Char('4')) || line.startsWith(QLatin1Char('5')))) {
        talk->answer = line;
        if (!talk->lastRecipient.isEmpty())
            talk->refused << talk->lastRecipient;
        talk->lastRecipient.clear();
    }
    return 0;
}

// The kind of failure in the shop's words; the library's and the server's
// own words follow it.
QString failureKind(CURLcode rc, const MailAccount& account)
{
    const QString where =
        QStringLiteral("%1 พอร์ต %2").arg(account.server.trimmed()).arg(account.port);
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("ไม่พบเครื่องแม่ข่ายอีเมลชื่อ %1 กรุณาตรวจชื่อเครื่องแม่ข่ายและการต่ออินเทอร์เน็ต")
            .arg(account.server.trimmed());
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("ติดต่อเครื่องแม่ข่ายอีเมล %1 ไม่ได้ กรุณาตรวจพอร์ต การเข้ารหัส "
                              "และการต่ออินเทอร์เน็ต")
            .arg(where);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("เครื่องแม่ข่ายอีเมล %1 ไม่ตอบภายในเวลาที่รอ").arg(where);
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("เครื่องแม่ข่ายอีเมลไม่ยอมรับชื่อผู้ใช้หรือรหัสผ่าน");
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("เครื่องแม่ข่ายอีเมลไม่รับการเข้ารหัสแบบ STARTTLS "
                              "กรุณาตรวจการเข้ารหัสและพอร์ตในการตั้งค่าอีเมล");
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return QStringLiteral("เข้ารหัสการติดต่อกับเครื่องแม่ข่ายอีเมลไม่สำเร็จ "
                              "กรุณาตรวจการเข้ารหัสและพอร์ตในการตั้งค่าอีเมล");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("การติดต่อกับเครื่องแม่ข่ายอีเมลขาดระหว่างส่ง");
    case CURLE_WEIRD_SERVER_REPLY:
        return QStringLiteral("เครื่องแม่ข่ายที่พอร์ตนี้ตอบไม่เหมือนเครื่องแม่ข่ายอีเมล");
    case CURLE_OUT_OF_MEMORY:
        return QStringLiteral("หน่วยความจำไม่พอ");
    default:
        return QString();
    }
}

QByteArray quoted(const QString& address)
{
    return "<" + address.toUtf8() + ">";
}

// A name before an address: encoded words, or a quoted ASCII phrase; with
// the blank that separates it from the address.
QByteArray displayName(QString name)
{
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    name = name.trimmed();
    if (name.isEmpty())
        return {};
    const QByteArray words = encodedWords(name);
    if (words.startsWith("=?"))
        return words + ' ';
    QByteArray phrase = words;
    phrase.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + phrase + "\" ";
}

} // namespace

std::optional<MailAccount> MailAccountFile::read(QString* error) const
{
    MailAccount account;
    QFile file(m_path);
    if (!file.exists())
        return account;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("อ่านการตั้งค่าอีเมลไม่ได้: %1 (%2)").arg(m_path, file.errorString());
        return std::nullopt;
    }
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray& raw : lines) {
        const qsizetype eq = raw.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = QString::fromUtf8(raw.left(eq)).trimmed();
        const QString value = QString::fromUtf8(raw.mid(eq + 1)).trimmed();
        if (key == QLatin1String("server"))
            account.server = value;
        else if (key == QLatin1String("port"))
            account.port = value.toInt();
        else if (key == QLatin1String("security"))
            account.security = securityFrom(value);
        else if (key == QLatin1String("user"))
            account.user = value;
        else if (key == QLatin1String("sender"))
            account.sender = value;
        else if (key == QLatin1String("password"))
            account.password = QString::fromUtf8(QByteArray::fromBase64(value.toLatin1()));
    }
    return account;
}

bool MailAccountFile::write(const MailAccount& given, QString* error) const
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (const auto problem = checkAccount(given))
        return fail(problem->message);
    MailAccount account = given;
    if (account.password.isEmpty()) {
        QString readError;
        const std::optional<MailAccount> stored = read(&readError);
        if (!stored)
            return fail(readError);
        account.password = stored->password;
    }
    QByteArray text;
    text += "server=" + account.server.toUtf8() + "\n";
    text += "port=" + QByteArray::number(account.port) + "\n";
    text += QByteArray("security=") + securityName(account.security) + "\n";
    text += "user=" + account.user.toUtf8() + "\n";
    text += "sender=" + account.sender.toUtf8() + "\n";
    text += "password=" + account.password.toUtf8().toBase64() + "\n";
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(
            QStringLiteral("จัดเก็บการตั้งค่าอีเมลไม่ได้: %1 (%2)").arg(m_path, file.errorString()));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(text) != text.size() || !file.commit())
        return fail(
            QStringLiteral("จัดเก็บการตั้งค่าอีเมลไม่ได้: %1 (%2)").arg(m_path, file.errorString()));
    return true;
}

std::optional<MailAccountProblem> checkAccount(const MailAccount& a)
{
    using F = MailAccountProblem::Field;
    const QString server = a.server.trimmed();
    if (server.isEmpty() || server.contains(QLatin1Char(' ')) ||
        server.contains(QLatin1Char('/')) || hasLineBreak(server))
        return MailAccountProblem{F::Server,
                                  QStringLiteral("ใส่ชื่อเครื่องแม่ข่ายอีเมล (SMTP) เช่น smtp.gmail.com")};
    if (a.port < 1 || a.port > 65535)
        return MailAccountProblem{F::Port,
                                  QStringLiteral("พอร์ตต้องเป็นตัวเลข 1 ถึง 65535 (มักเป็น 587 หรือ 465)")};
    if (hasLineBreak(a.user))
        return MailAccountProblem{F::User, QStringLiteral("ชื่อผู้ใช้ต้องอยู่ในบรรทัดเดียว")};
    if (!plausibleAddress(a.sender))
        return MailAccountProblem{F::Sender, QStringLiteral("ใส่อีเมลของร้าน เช่น shop@example.com")};
    return std::nullopt;
}

QStringList splitAddresses(const QString& text)
{
    QStringList out;
    for (const QString& part : text.split(QRegularExpression(QStringLiteral("[;,]")))) {
        const QString a = part.trimmed();
        if (!a.isEmpty())
            out << a;
    }
    return out;
}

bool plausibleAddress(const QString& address)
{
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == address.size() - 1 || address.size() > 254)
        return false;
    for (QChar c : address)
        if (c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || c.unicode() < 32)
            return false;
    return !address.mid(at + 1).startsWith(QLatin1Char('.'));
}

QByteArray composeMail(const MailMessage& m, const QDateTime& now)
{
    requireAddresses({m.from});
    requireAddresses(m.to);
    requireAddresses(m.cc);
    requireAddresses(m.bcc);
    const QString domain = m.from.mid(m.from.lastIndexOf(QLatin1Char('@')) + 1);
    QByteArray head;
    head += "Date: " + now.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    head += "From: " + displayName(m.fromName) + quoted(m.from) + "\r\n";
    if (!m.to.isEmpty())
        head += "To: " + addressList(m.to) + "\r\n";
    if (!m.cc.isEmpty())
        head += "Cc: " + addressList(m.cc) + "\r\n";
    QString subject = m.subject;
    subject.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    head += "Subject: " + encodedWords(subject) + "\r\n";
    head += "Message-ID: <" + randomToken() + "@" + domain.toUtf8() + ">\r\n";
    head += "MIME-Version: 1.0\r\n";
    if (m.attachment.isEmpty())
        return head + textPart(m.body);
    const QByteArray boundary = "=_tawela_" + randomToken();
    QByteArray out = head;
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    out += "--" + boundary + "\r\n" + textPart(m.body);
    out += "--" + boundary + "\r\n" + attachmentPart(m.attachment);
    out += "--" + boundary + "--\r\n";
    return out;
}

std::optional<MailFailure> sendMail(const MailAccount& account, const MailMessage& message)
{
    try {
        return sendComposed(account, message, composeMail(message, QDateTime::currentDateTime()));
    } catch (const MailFailure& f) {
        return f;
    }
}

std::optional<MailFailure> sendComposed(const MailAccount& account, const MailMessage& message,
                                        const QByteArray& composed, QStringList* refused)
{
    Upload upload;
    upload.data = composed;
    initCurl();
    CURL* curl = curl_easy_init();
    if (!curl)
        return MailFailure{QStringLiteral("เริ่มการส่งอีเมลไม่ได้ (หน่วยความจำไม่พอ)")};
    const QByteArray scheme = account.security == MailSecurity::Tls ? "smtps://" : "smtp://";
    const QByteArray url =
        scheme + account.server.trimmed().toUtf8() + ":" + QByteArray::number(account.port);
    const QByteArray user = account.user.toUtf8(), password = account.password.toUtf8();
    const QByteArray from = quoted(message.from);
    struct curl_slist* recipients = nullptr;
    for (const QStringList* list : {&message.to, &message.cc, &message.bcc})
        for (const QString& a : *list)
            recipients = curl_slist_append(recipients, quoted(a).constData());
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Conversation talk;
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    if (account.security == MailSecurity::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    if (refused)
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readPayload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, keepAnswer);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &talk);
    const CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    if (refused)
        *refused = talk.refused;
    if (rc == CURLE_OK)
        return std::nullopt;
    QString why = QString::fromUtf8(errorBuffer).trimmed();
    if (why.isEmpty())
        why = QString::fromUtf8(curl_easy_strerror(rc));
    const QString kind = failureKind(rc, account);
    QString text = QStringLiteral("ส่งอีเมลไม่สำเร็จ");
    if (!kind.isEmpty())
        text += QStringLiteral(": ") + kind;
    // The server's own words say most ("550 mailbox unavailable").
    if (!talk.answer.isEmpty())
        return MailFailure{text +
                           QStringLiteral(" เครื่องแม่ข่ายตอบว่า: %1 (%2)").arg(talk.answer, why)};
    return MailFailure{text + QStringLiteral(" (%1)").arg(why)};
}

} // namespace tawela::platform
