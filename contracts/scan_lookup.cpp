#include "contracts/scan_lookup.h"

namespace tawela::contracts {

ScannedNumber lookUpScanned(const ContractStore& store, const QString& code)
{
    ScannedNumber s;
    const QString number = code.trimmed();
    if (number.isEmpty()) {
        s.message = QStringLiteral("ไม่พบสัญญาเลขที่ ") + code;
        return s;
    }
    if (store.find(number)) {
        s.kind = ScannedNumber::Kind::Contract;
        s.policyNo = number;
        return s;
    }
    if (store.archived(number)) {
        s.kind = ScannedNumber::Kind::Archived;
        s.policyNo = number;
        s.message = QStringLiteral("สัญญาเลขที่ ") + number +
                    QStringLiteral(" ถูกย้ายไปเก็บในแฟ้มเก็บสัญญาที่ปิดแล้ว "
                                   "ใช้ \"ย้ายสัญญาที่เก็บไว้กลับมา\" ในเมนูเครื่องมือเพื่อเปิดดู");
        return s;
    }
    if (const std::optional<QString> contract = store.receiptContract(number)) {
        if (!contract->isEmpty() && store.find(*contract)) {
            s.kind = ScannedNumber::Kind::Receipt;
            s.policyNo = *contract;
            s.receiptNo = number;
            return s;
        }
        s.message =
            QStringLiteral("ใบเสร็จเลขที่ ") + number + QStringLiteral(" ไม่ได้ระบุสัญญาที่เปิดดูได้ในข้อมูลนี้");
        return s;
    }
    s.message = QStringLiteral("ไม่พบสัญญาเลขที่ ") + number;
    return s;
}

} // namespace tawela::contracts
