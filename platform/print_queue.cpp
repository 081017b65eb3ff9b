#include "platform/print_queue.h"

#include "platform/log.h"

#include <cups/cups.h>

#include <cmath>

namespace tawela::platform {

PrinterList printQueues()
{
    PrinterList list;
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
        QString name = QString::fromUtf8(dests[i].name);
        if (dests[i].instance)
            name += u'/' + QString::fromUtf8(dests[i].instance);
        list.names << name;
        if (dests[i].is_default)
            list.defaultPrinter = name;
    }
    cupsFreeDests(n, dests);
    return list;
}

int submitPdf(const QString& printer, const QString& pdfPath, const QString& jobName,
              const QSizeF& pageMm)
{
    // "name/instance" is the instance of a queue; the job goes to the queue.
    const QByteArray queue = printer.section(u'/', 0, 0).toUtf8();
    const QByteArray title = jobName.toUtf8();
    const QByteArray media = QStringLiteral("Custom.%1x%2mm")
                                 .arg(std::lround(pageMm.width()))
                                 .arg(std::lround(pageMm.height()))
                                 .toLatin1();
    cups_option_t* options = nullptr;
    int count = cupsAddOption("media", media.constData(), 0, &options);
    const int job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.constData(), pdfPath.toLocal8Bit().constData(),
                       title.constData(), count, options);
    cupsFreeOptions(count, options);
    qCDebug(log::print).noquote() << printer << media << pdfPath << "job" << job;
    if (job == 0)
        throw PrintRefused(QStringLiteral("เครื่องพิมพ์ ") + printer +
                           QStringLiteral(" ไม่รับงานพิมพ์ \"") + jobName + QStringLiteral("\" (") +
                           QString::fromUtf8(cupsLastErrorString()) + u')');
    return job;
}

} // namespace tawela::platform
