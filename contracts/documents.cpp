#include "contracts/documents.h"

#include "text/thai_text.h"

namespace tawela::contracts {

namespace {

bool narrowRoll(const admin::Settings& s)
{
    return s.receptPrinterSize == 58;
}

QString largeTicket(const admin::Settings& s)
{
    return s.recvCopy ? QStringLiteral("sanya2_both.rpt") : QStringLiteral("sanya2.rpt");
}

QString shortTicket(const admin::Settings& s)
{
    return narrowRoll(s) ? QStringLiteral("sanya2_s58mm.rpt") : QStringLiteral("sanya2_s.rpt");
}

QString shortRenewal(const admin::Settings& s)
{
    return narrowRoll(s) ? QStringLiteral("sanya2_tor58mm.rpt") : QStringLiteral("sanya2_tor.rpt");
}

// The Printer_tb kinds of the contract documents.
const char* const ContractFormKind = "ใบสัญญา";
const char* const LargeTicketKind = "ใบขายฝากใหญ่";
const char* const ShortTicketKind = "ใบขายฝากย่อ";
const char* const CardKind = "การ์ดต่อดอก";
const char* const LargeRenewalKind = "ใบต่อดอกใหญ่";
const char* const ShortRenewalKind = "ใบต่อดอกย่อ";
const char* const GoodsTagKind = "ป้ายสินค้า";

PrintJob contractJob(const QString& file, const QString& policyNo, const char* kind,
                     const QStringList& values)
{
    const QString k = QString::fromUtf8(kind);
    return {file, contractSelection(policyNo), values, k, k + u' ' + policyNo, {}};
}

// The ticket a new contract prints, by the settings.
QList<PrintJob> ticketDocuments(const admin::Settings& s, const QString& policyNo,
                                const QStringList& values)
{
    if (s.sanyaCfg == QLatin1String("2"))
        return {contractJob(largeTicket(s), policyNo, LargeTicketKind, values)};
    if (s.sanyaCfg == QLatin1String("3"))
        return {contractJob(shortTicket(s), policyNo, ShortTicketKind, values)};
    if (s.sanyaCfg == QLatin1String("4"))
        return {contractJob(QStringLiteral("sanya3.rpt"), policyNo, ContractFormKind, values)};
    return {};
}

} // namespace

QStringList payoffValues(const QList<PayoffRow>& rows, Decimal renewalFee)
{
    QStringList values;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString n = QString::number(i + 1);
        values << QStringLiteral("payoff_date_") + n + QStringLiteral(" = ") +
                      platform::formulaText(text::buddhistDateText(rows[i].date))
               << QStringLiteral("payoff_total_") + n + QStringLiteral(" = ") +
                      platform::formulaText(text::groupedAmountText(rows[i].total));
    }
    if (!rows.isEmpty())
        values << QStringLiteral("payoff_fee = ") +
                      platform::formulaText(text::groupedAmountText(renewalFee));
    return values;
}

QList<PrintJob> newContractDocuments(const admin::Settings& s, const QString& policyNo,
                                     const QStringList& values)
{
    QList<PrintJob> jobs = ticketDocuments(s, policyNo, values);
    // The goods tag, on its own label printer.
    if (s.printTag)
        jobs << contractJob(QStringLiteral("tag.rpt"), policyNo, GoodsTagKind, {});
    return jobs;
}

QList<PrintJob> receiptDocuments(const QString& setting, const admin::Settings& s,
                                 const QString& customerName, const QString& receiptNo)
{
    const QString selection = receiptSelection(receiptNo);
    const QStringList values = {customerNameValue(customerName)};
    const QString kind = receiptPrinterRow();
    const QString name = kind + u' ' + receiptNo;
    const QString copyName = kind + QStringLiteral(" (สำเนา) ") + receiptNo;
    QList<PrintJob> jobs;
    if (setting == QLatin1String("3")) {
        jobs << PrintJob{narrowRoll(s) ? QStringLiteral("recv_short58mm.rpt")
                                       : QStringLiteral("recv_short.rpt"),
                         selection,
                         values,
                         kind,
                         name,
                         {}};
        if (s.recvCopy)
            jobs << PrintJob{
                QStringLiteral("recv_short_copy.rpt"), selection, values, kind, copyName, {}};
    } else if (setting == QLatin1String("2")) {
        const bool oneSheet = s.recvCopy && s.cityCall;
        jobs << PrintJob{oneSheet ? QStringLiteral("recv_1_both.rpt")
                                  : QStringLiteral("recv_1.rpt"),
                         selection,
                         values,
                         kind,
                         name,
                         {}};
        if (s.recvCopy && !s.cityCall)
            jobs << PrintJob{
                QStringLiteral("recv_1_copy.rpt"), selection, values, kind, copyName, {}};
    }
    return jobs;
}

QList<PrintJob> renewalDocuments(const admin::Settings& s, const QString& policyNo,
                                 const QStringList& values)
{
    if (s.torCfg == QLatin1String("2"))
        return {contractJob(QStringLiteral("TOR_A4.rpt"), policyNo, LargeRenewalKind, values)};
    if (s.torCfg == QLatin1String("3"))
        return {contractJob(shortRenewal(s), policyNo, ShortRenewalKind, values)};
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

PrintJob reprintDocument(Reprint choice, const admin::Settings& s, const QString& policyNo,
                         const QStringList& values)
{
    switch (choice) {
    case Reprint::ContractForm:
        return contractJob(QStringLiteral("sanya3.rpt"), policyNo, ContractFormKind, values);
    case Reprint::LargeTicket:
        return contractJob(largeTicket(s), policyNo, LargeTicketKind, values);
    case Reprint::ShortTicket:
        return contractJob(shortTicket(s), policyNo, ShortTicketKind, values);
    case Reprint::RenewalCard:
        return contractJob(QStringLiteral("CARD.rpt"), policyNo, CardKind, values);
    case Reprint::LargeRenewal:
        return contractJob(QStringLiteral("TOR_A4.rpt"), policyNo, LargeRenewalKind, values);
    case Reprint::ShortRenewal:
        return contractJob(shortRenewal(s), policyNo, ShortRenewalKind, values);
    case Reprint::GoodsTag:
        return contractJob(QStringLiteral("tag.rpt"), policyNo, GoodsTagKind, {});
    }
    return {};
}

} // namespace tawela::contracts
