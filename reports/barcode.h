#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace tawela::reports {

enum class BarcodeKind { Code39, Code128, Qr };

// "code39", "code128", "qr"; nothing else.
std::optional<BarcodeKind> barcodeKindFromName(const QString& name);

// The symbol as a black-and-white picture (no text under it), drawn by
// libzint; a null image when the data cannot be encoded (Code 39 takes
// digits, capital letters and - . $ / + % and space only).
QImage barcodeImage(BarcodeKind kind, const QString& data);

} // namespace tawela::reports
