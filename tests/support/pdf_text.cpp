#include "pdf_text.h"

#include <QProcess>
#include <QStringList>

namespace tawela::test {

QString pdfText(const QString& path, bool layout)
{
    QProcess p;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << path << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString letters(QString text)
{
    text.replace(QChar(0x0E33), QChar(0x0E32));
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0x0E31 || (u >= 0x0E34 && u <= 0x0E3A) || (u >= 0x0E47 && u <= 0x0E4E) ||
            (u >= 0xF700 && u <= 0xF71F) || c.isSpace())
            continue;
        out += c;
    }
    return out;
}

} // namespace tawela::test
