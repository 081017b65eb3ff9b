#pragma once

#include "platform/error.h"

#include <QImage>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace tawela::devices {

// A scanner as the computer's scanner service (SANE) knows it.
struct ScannerDevice {
    QString name;  // what the service opens it by ("test:0", "genesys:libusb:001:004")
    QString title; // "Canon LiDE 220" as people know it
};

// A scan that could not be made, in Thai.
class ScanError : public platform::Error {
public:
    using Error::Error;
};

// One page from a scanner, in colour where the scanner has it.
class Scanner {
public:
    // The scanners the service finds (it looks on USB and the network).
    static QList<ScannerDevice> devices();

    // Scans one page; `progress` hears 0-100. A null picture when `cancel`
    // was set meanwhile. Takes seconds: run it off the screen's thread.
    // Throws ScanError.
    static QImage scan(const QString& device, int dpi, const std::function<void(int)>& progress,
                       const std::atomic_bool& cancel);
};

// Keeps a captured picture in the pictures folder under a name of its own
// (`prefix`, the date and time, a number when that is taken), never over
// another picture; the format follows the extension. Returns the path.
// Throws platform::Error when it cannot be written.
QString storeCapturedPicture(const QImage& picture, const QString& folder, const QString& prefix,
                             const QString& extension);

} // namespace tawela::devices
