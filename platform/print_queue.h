#pragma once

#include "platform/error.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace tawela::platform {

// The printers of the print system (CUPS) of this computer.
struct PrinterList {
    QStringList names;      // in the system's order
    QString defaultPrinter; // empty when the system names none
};
PrinterList printQueues();

// A print the print system did not take, in Thai, ready to show.
class PrintRefused : public Error {
public:
    using Error::Error;
};

// Hands a PDF to a printer's queue under a job name the queue shows (the
// document and its number), on paper of the given size. Returns the job's
// number; throws PrintRefused when the queue does not take it (a printer
// that is stopped from accepting jobs, one that no longer exists, no print
// system at all).
int submitPdf(const QString& printer, const QString& pdfPath, const QString& jobName,
              const QSizeF& pageMm);

} // namespace tawela::platform
