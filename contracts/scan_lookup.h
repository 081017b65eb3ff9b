#pragma once

#include "contracts/contract_store.h"

#include <QString>

namespace tawela::contracts {

// What a number read by a bar-code scanner stands for: a contract, the
// contract of a receipt, a contract moved to the archive, or nothing the
// shop holds (the message says which, in Thai).
struct ScannedNumber {
    enum class Kind { Contract, Receipt, Archived, Unknown };
    Kind kind = Kind::Unknown;
    QString policyNo;  // the contract to open (Contract, Receipt)
    QString receiptNo; // the receipt scanned (Receipt)
    QString message;   // said for Archived and Unknown
};

// Contract numbers first, then receipt numbers. Throws DbError.
ScannedNumber lookUpScanned(const ContractStore& store, const QString& code);

} // namespace tawela::contracts
