#pragma once

#include "admin/settings.h"
#include "platform/db/database.h"
#include "platform/prompt.h"
#include "platform/report_request.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace tawela::reports {

// The documents a reprint of receipt `number` prints, by recvtai_cfg for
// every receipt: "3" the short receipt (58 mm or not) and, with recv_copy,
// its copy; anything else the large receipt, and with recv_copy and "2"
// its copy. The customer is the one the receipt row names.
QList<platform::ReportRequest> reprintedReceipt(const admin::Settings& settings,
                                                const QString& number, const QString& customerName);

// "พิมพ์ใบเสร็จย้อนหลัง": a receipt number chosen from the receipts of the
// main database, printed again; nothing is written.
class ReceiptReprintForm {
public:
    using Print = std::function<void(const QList<platform::ReportRequest>&)>;
    ReceiptReprintForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt,
                       Print print);

    // The list under "ใบเสร็จเลขที่": the receipt rows whose number starts
    // with what is typed, one entry per row in the order they were written,
    // the latest ListSize of them (a shop has hundreds of thousands).
    static constexpr int ListSize = 50;
    QString number;
    QStringList numbers;
    void refreshNumbers();

    // "Print": false (said why) for an empty or unknown number.
    bool print();

private:
    std::shared_ptr<platform::db::Database> m_main;
    platform::Prompt& m_prompt;
    Print m_print;
};

} // namespace tawela::reports
