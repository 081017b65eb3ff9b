#include "contracts/documents.h"

namespace tawela::contracts {

namespace {

QString quoted(QString value)
{
    value.replace(u'\'', QStringLiteral("''"));
    return u'\'' + value + u'\'';
}

bool narrowRoll(const app::Settings& s)
{
    return s.receptPrinterSize == 58;
}

QString largeTicket(const app::Settings& s)
{
    return s.recvCopy ? QStringLiteral("sanya2_both.rpt") : QStringLiteral("sanya2.rpt");
}

QString shortTicket(const app::Settings& s)
{
    return narrowRoll(s) ? QStringLiteral("sanya2_s58mm.rpt") : QStringLiteral("sanya2_s.rpt");
}

QString shortRenewal(const app::Settings& s)
{
    return narrowRoll(s) ? QStringLiteral("sanya2_tor58mm.rpt") : QStringLiteral("sanya2_tor.rpt");
}

PrintJob contractJob(const QString& file, const QString& policyNo)
{
    return {file, contractSelection(policyNo), {}};
}

} // namespace

QString contractSelection(const QString& policyNo)
{
    return QStringLiteral("{chumnum.Policy_no} = ") + quoted(policyNo);
}

QString receiptSelection(const QString& receiptNo)
{
    return QStringLiteral("{service.recv_no} = ") + quoted(receiptNo);
}

QString customerNameValue(const QString& name)
{
    return QStringLiteral("c_name =") + quoted(name);
}

QList<PrintJob> newContractDocuments(const app::Settings& s, const QString& policyNo)
{
    if (s.sanyaCfg == QLatin1String("2"))
        return {contractJob(largeTicket(s), policyNo)};
    if (s.sanyaCfg == QLatin1String("3"))
        return {contractJob(shortTicket(s), policyNo)};
    if (s.sanyaCfg == QLatin1String("4"))
        return {contractJob(QStringLiteral("sanya3.rpt"), policyNo)};
    return {};
}

QList<PrintJob> receiptDocuments(const QString& setting, const app::Settings& s,
                                 const QString& customerName, const QString& receiptNo)
{
    const QString selection = receiptSelection(receiptNo);
    const QStringList values = {customerNameValue(customerName)};
    QList<PrintJob> jobs;
    if (setting == QLatin1String("3")) {
        jobs << PrintJob{narrowRoll(s) ? QStringLiteral("recv_short58mm.rpt")
                                       : QStringLiteral("recv_short.rpt"),
                         selection, values};
        if (s.recvCopy)
            jobs << PrintJob{QStringLiteral("recv_short_copy.rpt"), selection, values};
    } else if (setting == QLatin1String("2")) {
        const bool oneSheet = s.recvCopy && s.cityCall;
        jobs << PrintJob{oneSheet ? QStringLiteral("recv_1_both.rpt")
                                  : QStringLiteral("recv_1.rpt"),
                         selection, values};
        if (s.recvCopy && !s.cityCall)
            jobs << PrintJob{QStringLiteral("recv_1_copy.rpt"), selection, values};
    }
    return jobs;
}

QList<PrintJob> renewalDocuments(const app::Settings& s, const QString& policyNo)
{
    if (s.torCfg == QLatin1String("2"))
        return {contractJob(QStringLiteral("TOR_A4.rpt"), policyNo)};
    if (s.torCfg == QLatin1String("3"))
        return {contractJob(shortRenewal(s), policyNo)};
    return {};
}

Reprint firstTicked(const QList<Reprint>& ticked)
{
    for (Reprint r : {Reprint::ContractForm, Reprint::ShortTicket, Reprint::RenewalCard,
                      Reprint::LargeRenewal, Reprint::ShortRenewal})
        if (ticked.contains(r))
            return r;
    return Reprint::LargeTicket;
}

ReprintJob reprintDocument(Reprint choice, const app::Settings& s, const QString& policyNo)
{
    switch (choice) {
    case Reprint::ContractForm:
        return {contractJob(QStringLiteral("sanya3.rpt"), policyNo), QStringLiteral("ใบสัญญา")};
    case Reprint::LargeTicket:
        return {contractJob(largeTicket(s), policyNo), QStringLiteral("ใบขายฝากใหญ่")};
    case Reprint::ShortTicket:
        return {contractJob(shortTicket(s), policyNo), QStringLiteral("ใบขายฝากย่อ")};
    case Reprint::RenewalCard:
        return {contractJob(QStringLiteral("CARD.rpt"), policyNo), QStringLiteral("การ์ดต่อดอก")};
    case Reprint::LargeRenewal:
        return {contractJob(QStringLiteral("TOR_A4.rpt"), policyNo), QStringLiteral("ใบต่อดอกใหญ่")};
    case Reprint::ShortRenewal:
        return {contractJob(shortRenewal(s), policyNo), QStringLiteral("ใบต่อดอกย่อ")};
    }
    return {};
}

} // namespace tawela::contracts
