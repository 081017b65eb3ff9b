#pragma once

#include "admin/settings.h"
#include "contracts/closing.h"
#include "platform/report_request.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tawela::contracts {

// One print the contract screen hands on, as the report engine takes it.
using PrintJob = platform::ReportRequest;

// What one command hands to printing.
struct PrintOrder {
    QList<PrintJob> jobs;
    std::optional<qint64> marginWhenEmpty; // left margin for a row that has none
};

// The Printer_tb kind of receipts.
inline QString receiptPrinterRow()
{
    return QStringLiteral("ใบเสร็จรับเงิน");
}

// The selections, with apostrophes doubled the formula way so that any
// number or name is safe.
using platform::contractSelection;
using platform::customerNameValue;
using platform::receiptSelection;

// After a new contract is saved, by sanya_cfg: "2" large ticket (with its
// copy when recv_copy), "3" short ticket (58 mm or not), "4" the contract
// form; anything else nothing. It goes to the current printer.
// The payoff table and the renewal fee as the contract documents take them:
// payoff_date_1, payoff_total_1 … (the due date first), payoff_fee.
QStringList payoffValues(const QList<PayoffRow>& rows, Decimal renewalFee);

QList<PrintJob> newContractDocuments(const admin::Settings& settings, const QString& policyNo,
                                     const QStringList& values = {});

// The receipt just written, by the setting s (recvtor_cfg for a renewal,
// recvtai_cfg for a redemption), then its copy. The caller prepares the
// printer of "ใบเสร็จรับเงิน" first, whatever the jobs are. A setting other
// than "2" or "3" prints nothing.
QList<PrintJob> receiptDocuments(const QString& setting, const admin::Settings& settings,
                                 const QString& customerName, const QString& receiptNo);

// After the renewal receipt, by tor_cfg: "2" large, "3" short (58 mm or not);
// anything else nothing. It uses the printer prepared for the receipt.
QList<PrintJob> renewalDocuments(const admin::Settings& settings, const QString& policyNo,
                                 const QStringList& values = {});

// The reprint panel's choices.
enum class Reprint {
    ContractForm,
    LargeTicket,
    ShortTicket,
    RenewalCard,
    LargeRenewal,
    ShortRenewal,
    GoodsTag, // "ป้ายสินค้า", from the tools menu
};

// The first ticked choice in the panel's order ("ใบสัญญา", "ใบขายฝาก  ย่อ",
// "การ์ดต่อดอก", "ใบต่อดอก  ใหญ่", "ใบต่อดอก  ย่อ"), else the large ticket.
Reprint firstTicked(const QList<Reprint>& ticked);
PrintJob reprintDocument(Reprint choice, const admin::Settings& settings, const QString& policyNo,
                         const QStringList& values = {});

} // namespace tawela::contracts
