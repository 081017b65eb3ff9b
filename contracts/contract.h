#pragma once

#include "platform/db/condition.h"
#include "platform/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace tawela::platform::db {
class Recordset;
}

namespace tawela::contracts {

using platform::Decimal;

// One row of chumnum: the contract with its snapshot of customer, goods and shop.
struct Contract {
    qint64 id = 0;
    QString policyNo, refNo, tableNo;
    Decimal amount1;      // amount lent
    Decimal interes;      // monthly rate, percent
    Decimal interestRate; // interest for the term, in baht
    Decimal enFollowup;
    bool deduged = false;
    Decimal amount3; // paid out
    Decimal amount2; // to redeem
    QString word1, world2;
    QDate policyDate;
    qint64 totalDay = 0;
    QDate endDate;
    QString kuCode, kuName, kuAge, kuId, kuAddress, kuSoi, kuMp, pNote;
    QString object, model, weight, sn, otherDetail, placeKeep;
    bool fakeProductUse = false;
    QString fakeProduct;
    QString image1, image2, image3, dtIm1, dtIm2, dtIm3;
    QString payan1, payan2;
    QString companyName, address1, address2, address3, tel, fax, taxNo;
    bool pStatus = true;
    bool overDue = false;
    QDate closeDate;
    qint64 lN = 0;
    Decimal lAmount, lFee, lPlub, lDiscount, lTotal;
    QDate lFakdate, lReturndate;
    bool lTor = false;
    qint64 rowVersion = 0; // as read; a write checks it is still the stored one
};

// One renewal (ต่อดอก) of a contract, as the history grid holds it.
struct RenewalLine {
    qint64 lineNo = 0; // 0: a blank grid row
    Decimal amount, fee, plub, discount, total;
    QDate fakDate, returnDate;
    bool markedDeleted = false; // the grid's "X"
};

// What a save writes besides the contract row.
enum class OperationMode {
    None,        // ""
    NewContract, // "สัญญาใหม่": the expense row of the payout
    Renewal,     // "ต่อดอก": a receipt
    Redemption,  // "ไถ่ถอน": a receipt
};

enum class ContractState { Open, Renewed, Redeemed, Forfeited };
ContractState stateOf(const Contract& contract);

// The three list options.
enum class ContractFilter { Open, Closed, All };
// "สัญญาเปิด", "สัญญาปิด", "ทั้งหมด"
QString contractFilterText(ContractFilter filter);
platform::db::Condition conditionFor(ContractFilter filter);

// "68-05-4-0012": the last two digits of the Buddhist-era year, "-", the
// month in two digits, "-4-", and the run number in at least four digits.
QString contractNumber(const QDate& day, qint64 run);

// Pre_Recv followed by run_recv in plain digits ("R15", "15").
QString receiptNumber(const QString& prefix, qint64 run);

// The expense row's description of a new contract, cut at 254 characters.
QString expenseDescription(const Contract& contract);

// Reads the current row of a chumnum record set.
Contract readContract(const platform::db::Recordset& row);

} // namespace tawela::contracts
