#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QUrl>

namespace tawela::test {

// Reading a received mail back the way a mail program would.

// The unfolded value of the first header of that name in the message head.
inline QByteArray mailHeader(const QByteArray& mail, const QByteArray& name)
{
    const qsizetype headEnd = mail.indexOf("\r\n\r\n");
    const QByteArray head = mail.left(headEnd < 0 ? mail.size() : headEnd);
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].toLower().startsWith(QByteArray(name.toLower() + ':')))
            continue;
        QByteArray value = lines[i].mid(name.size() + 1).trimmed();
        while (i + 1 < lines.size() &&
               (lines[i + 1].startsWith(' ') || lines[i + 1].startsWith('\t')))
            value += QByteArray(' ' + lines[++i].trimmed());
        return value;
    }
    return {};
}

// RFC 2047 words joined back into their text.
inline QString decodedWords(const QByteArray& value)
{
    static const QRegularExpression word(QStringLiteral(R"(=\?UTF-8\?B\?([^?]*)\?=\s*)"));
    QString v = QString::fromLatin1(value);
    QString out;
    qsizetype at = 0;
    for (auto it = word.globalMatch(v); it.hasNext();) {
        const auto m = it.next();
        out += v.mid(at, m.capturedStart() - at);
        out += QString::fromUtf8(QByteArray::fromBase64(m.captured(1).toLatin1()));
        at = m.capturedEnd();
    }
    return out + v.mid(at);
}

// The RFC 2231 file name of the first attachment.
inline QString attachmentName(const QByteArray& mail)
{
    static const QRegularExpression name(QStringLiteral(R"(filename\*=UTF-8''([^;\s]+))"));
    const auto m = name.match(QString::fromLatin1(mail));
    return m.hasMatch() ? QUrl::fromPercentEncoding(m.captured(1).toLatin1()) : QString();
}

// The decoded base64 content of the part whose headers contain `marker`.
inline QByteArray partContent(const QByteArray& mail, const QByteArray& marker)
{
    const qsizetype at = mail.indexOf(marker);
    if (at < 0)
        return {};
    const qsizetype start = mail.indexOf("\r\n\r\n", at) + 4;
    qsizetype end = mail.indexOf("\r\n--", start);
    if (end < 0)
        end = mail.size();
    return QByteArray::fromBase64(mail.mid(start, end - start));
}

} // namespace tawela::test
