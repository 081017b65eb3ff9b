#pragma once

#include <QList>
#include <QRectF>
#include <QString>

namespace tawela::test {

// The text of a PDF file as pdftotext reads it.
QString pdfText(const QString& path, bool layout = false);

// Text read back from a PDF spells Thai marks set above and below the line
// as the font's private glyphs (U+F700...) and may split words at them:
// compare the base letters only, without marks or blanks.
QString letters(QString text);

// Where pdftotext finds each word of a page (1-based), in millimetres
// from the page's top left corner.
struct PdfWord {
    QString text;
    QRectF box;
};
QList<PdfWord> pdfWords(const QString& path, int page);

// The bar codes a reader decodes from the pages of a PDF rasterised at 300
// dots per inch, as zbarimg gives them ("CODE-128:68-05-4-0012"), page by page.
QStringList pdfBarcodes(const QString& path);

} // namespace tawela::test
