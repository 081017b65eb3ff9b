#include "reports/barcode.h"

#include <zint.h>

#include <memory>

namespace tawela::reports {

std::optional<BarcodeKind> barcodeKindFromName(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("code39"))
        return BarcodeKind::Code39;
    if (n == QLatin1String("code128"))
        return BarcodeKind::Code128;
    if (n == QLatin1String("qr"))
        return BarcodeKind::Qr;
    return std::nullopt;
}

QImage barcodeImage(BarcodeKind kind, const QString& data)
{
    if (data.isEmpty())
        return {};
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol)
        return {};
    switch (kind) {
    case BarcodeKind::Code39:
        symbol->symbology = BARCODE_CODE39;
        break;
    case BarcodeKind::Code128:
        symbol->symbology = BARCODE_CODE128;
        break;
    case BarcodeKind::Qr:
        symbol->symbology = BARCODE_QRCODE;
        symbol->input_mode = UNICODE_MODE;
        break;
    }
    symbol->show_hrt = 0;
    symbol->scale = 1;
    const QByteArray bytes = data.toUtf8();
    const int rc = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()),
        0);
    if (rc >= ZINT_ERROR || !symbol->bitmap)
        return {};
    QImage image(symbol->bitmap_width, symbol->bitmap_height, QImage::Format_RGB32);
    const unsigned char* p = symbol->bitmap;
    for (int y = 0; y < symbol->bitmap_height; ++y)
        for (int x = 0; x < symbol->bitmap_width; ++x, p += 3)
            image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
    return image;
}

} // namespace tawela::reports
