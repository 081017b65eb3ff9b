#include "pdf_text.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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

QStringList pdfBarcodes(const QString& path)
{
    const QString stem = path + QStringLiteral(".page");
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                  QStringLiteral("-gray"), path, stem});
    raster.waitForFinished(60000);
    QStringList pages;
    for (int i = 1; i <= 99; ++i) {
        // pdftoppm numbers the pages with as many digits as the last one needs.
        const QStringList names = {stem + QStringLiteral("-%1.png").arg(i),
                                   stem + QStringLiteral("-%1.png").arg(i, 2, 10, QChar(u'0'))};
        for (const QString& name : names)
            if (QFileInfo::exists(name) && !pages.contains(name))
                pages << name;
    }
    QStringList codes;
    for (const QString& page : pages) {
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), page});
        zbar.waitForFinished(60000);
        for (const QString& line :
             QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
            codes << line.trimmed();
    }
    return codes;
}

QList<PdfWord> pdfWords(const QString& path, int page)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> out;
    constexpr double mm = 25.4 / 72;
    for (auto m = word.globalMatch(html); m.hasNext();) {
        const auto w = m.next();
        out << PdfWord{
            w.captured(5),
            QRectF(QPointF(w.captured(1).toDouble() * mm, w.captured(2).toDouble() * mm),
                   QPointF(w.captured(3).toDouble() * mm, w.captured(4).toDouble() * mm))};
    }
    return out;
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
