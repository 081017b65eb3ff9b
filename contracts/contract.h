#pragma once

#include "admin/settings.h"
#include "platform/db/column_map.h"
#include "platform/db/condition.h"
#include "platform/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace tawela::contracts {

using platform::Decimal;

// The longest texts the columns hold, the same for the screen and the save:
// the goods description (Model) and an expense row's description.
constexpr qsizetype ModelLength = 255;
constexpr qsizetype ExpenseDescriptionLength = 254;

// The figures of a contract that follow from one another: the calculator
// keeps them consistent, the screen shows them, the record stores them. One
// state, one name each; the columns they are stored in are named in
// mapContractColumns only.
struct ContractFigures {
    Decimal principal;     // A, "ยอดฝาก": the amount lent
    qint64 days = 0;       // D: the term, in days
    Decimal rate;          // R: percent a month
    QString tableNo;       // N: the rate table
    bool withheld = false; // W, "หัก ณ.ที่จ่าย": the fee taken from the payout
    QDate contractDate;    // S: the day the contract was made
    QDate dueDate;         // E: the end of the term
    Decimal interest;   // I, "ค่าธรรมเนียม": the fee for the term, in baht
    Decimal payout;     // Y, "ยอดจ่าย": paid out to the customer
    Decimal redemption; // Z, "ยอดไถ่ถอน": to redeem at the due date
};

// One row of chumnum: the contract with its snapshot of customer, goods and shop.
struct Contract : ContractFigures {
    qint64 id = 0;
    QString policyNo, refNo;
    Decimal renewalFee;                      // the fee of a renewal, as agreed when made
    QString principalWords, redemptionWords; // the amounts in Thai words
    QString kuCode, kuName, kuAge, kuId, kuAddress, kuSoi, kuMp, pNote;
    QString object, model, weight, sn, otherDetail, placeKeep;
    bool fakeProductUse = false;
    QString fakeProduct;
    QString image1, image2, image3, dtIm1, dtIm2, dtIm3;
    QString witness1, witness2;
    QString companyName, address1, address2, address3, tel, fax, taxNo;
    bool pStatus = true;
    bool overDue = false;
    QDate closeDate;
    // The last movement: the last renewal line, or the closing.
    qint64 lastLine = 0;
    Decimal lastAmount, lastFee, lastSurcharge, lastDiscount, lastTotal;
    QDate lastFrom, lastDue;
    bool renewedLast = false; // the last save was a renewal
    qint64 rowVersion = 0;    // as read; a write checks it is still the stored one
};

// One renewal (ต่อดอก) of a contract, as the history grid holds it.
struct RenewalLine {
    qint64 lineNo = 0; // 0: a blank grid row
    Decimal principal; // of the contract at this renewal
    Decimal fee, surcharge, discount, total;
    QDate from, due;            // the term it starts and its end
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

// A new contract keeps the shop's details as they are when it is made.
void takeShopDetails(Contract& contract, const admin::Settings& settings);

// Every column of chumnum and its member, for reading and writing (see
// platform/db/column_map.h). The save writes the columns it stores with the
// rule beside each; those others write (the closing, the renewal lines, the
// shop's details on a new row) are written by them.
template <typename Row, typename C> void mapContractColumns(Row& row, C& c)
{
    using platform::db::Write;
    row.integer(QStringLiteral("ID"), c.id, Write::Never);
    row.text(QStringLiteral("Policy_no"), c.policyNo);
    row.text(QStringLiteral("ref_no"), c.refNo);
    row.text(QStringLiteral("Table_NO"), c.tableNo);
    row.decimal(QStringLiteral("Amount1"), c.principal);
    row.decimal(QStringLiteral("Interes"), c.rate);
    row.decimal(QStringLiteral("Interest_rate"), c.interest);
    row.decimal(QStringLiteral("En_Followup"), c.renewalFee);
    row.boolean(QStringLiteral("deduged"), c.withheld);
    row.decimal(QStringLiteral("amount3"), c.payout);
    row.decimal(QStringLiteral("Amount2"), c.redemption);
    row.text(QStringLiteral("Word1"), c.principalWords);
    row.text(QStringLiteral("World2"), c.redemptionWords);
    row.date(QStringLiteral("Policy_date"), c.contractDate);
    row.integer(QStringLiteral("total_day"), c.days);
    row.date(QStringLiteral("End_date"), c.dueDate);
    row.text(QStringLiteral("Ku_code"), c.kuCode);
    row.text(QStringLiteral("Ku_name"), c.kuName);
    row.text(QStringLiteral("Ku_age"), c.kuAge);
    row.text(QStringLiteral("Ku_ID"), c.kuId);
    row.text(QStringLiteral("Ku_address"), c.kuAddress);
    row.text(QStringLiteral("Ku_soi"), c.kuSoi);
    row.text(QStringLiteral("Ku_MP"), c.kuMp);
    row.text(QStringLiteral("P_note"), c.pNote);
    row.text(QStringLiteral("object"), c.object);
    row.text(QStringLiteral("Model"), c.model);
    // Empty fields leave what is stored.
    row.text(QStringLiteral("Weight"), c.weight, Write::WhenNotEmpty);
    row.text(QStringLiteral("SN"), c.sn, Write::WhenNotEmpty);
    row.text(QStringLiteral("other_detail"), c.otherDetail, Write::WhenNotEmpty);
    row.text(QStringLiteral("place_keep"), c.placeKeep, Write::WhenNotEmpty);
    row.boolean(QStringLiteral("FakeProductUse"), c.fakeProductUse);
    row.text(QStringLiteral("FakeProduct"), c.fakeProduct);
    row.text(QStringLiteral("Image1"), c.image1);
    row.text(QStringLiteral("Image2"), c.image2);
    row.text(QStringLiteral("Image3"), c.image3);
    row.text(QStringLiteral("dt_im1"), c.dtIm1);
    row.text(QStringLiteral("dt_im2"), c.dtIm2);
    row.text(QStringLiteral("dt_im3"), c.dtIm3);
    row.text(QStringLiteral("Payan1"), c.witness1);
    row.text(QStringLiteral("Payan2"), c.witness2);
    // The shop as it was when the contract was first stored.
    row.text(QStringLiteral("Company_name"), c.companyName, Write::OnAdd);
    row.text(QStringLiteral("address1"), c.address1, Write::OnAdd);
    row.text(QStringLiteral("address2"), c.address2, Write::OnAdd);
    row.text(QStringLiteral("address3"), c.address3, Write::OnAdd);
    row.text(QStringLiteral("Tel"), c.tel, Write::OnAdd);
    row.text(QStringLiteral("Fax"), c.fax, Write::OnAdd);
    row.text(QStringLiteral("Tax_no"), c.taxNo, Write::OnAdd);
    row.boolean(QStringLiteral("P_status"), c.pStatus);
    // Written by the closing and by the renewal lines.
    row.boolean(QStringLiteral("over_due"), c.overDue, Write::Never);
    row.date(QStringLiteral("Close_date"), c.closeDate, Write::Never);
    row.integer(QStringLiteral("L_N"), c.lastLine);
    row.decimal(QStringLiteral("L_amount"), c.lastAmount);
    row.decimal(QStringLiteral("L_fee"), c.lastFee);
    row.decimal(QStringLiteral("L_plub"), c.lastSurcharge, Write::Never);
    row.decimal(QStringLiteral("L_discount"), c.lastDiscount, Write::Never);
    row.decimal(QStringLiteral("L_total"), c.lastTotal);
    row.date(QStringLiteral("L_fakdate"), c.lastFrom);
    row.date(QStringLiteral("L_returndate"), c.lastDue);
    row.boolean(QStringLiteral("L_tor"), c.renewedLast, Write::Never);
    row.integer(QStringLiteral("row_version"), c.rowVersion, Write::Never);
}

// The contract row's copy of its last renewal line, and whether the save
// that wrote it was a renewal.
template <typename Row, typename L, typename B> void mapLastLineColumns(Row& row, L& l, B& renewed)
{
    row.integer(QStringLiteral("L_N"), l.lineNo);
    row.decimal(QStringLiteral("L_amount"), l.principal);
    row.decimal(QStringLiteral("L_fee"), l.fee);
    row.decimal(QStringLiteral("L_plub"), l.surcharge);
    row.decimal(QStringLiteral("L_discount"), l.discount);
    row.decimal(QStringLiteral("L_total"), l.total);
    row.date(QStringLiteral("L_fakdate"), l.from);
    row.date(QStringLiteral("L_returndate"), l.due);
    row.boolean(QStringLiteral("L_tor"), renewed);
}

// Reads the current row of a chumnum record set.
Contract readContract(const platform::db::Recordset& row);

// The columns of a chumnum_tor line and their members, with the number of
// the contract it belongs to.
template <typename Row, typename L, typename S>
void mapRenewalLineColumns(Row& row, L& l, S& policyNo)
{
    row.text(QStringLiteral("policy_no"), policyNo);
    row.integer(QStringLiteral("line_no"), l.lineNo);
    row.decimal(QStringLiteral("Amount"), l.principal);
    row.decimal(QStringLiteral("fee"), l.fee);
    row.decimal(QStringLiteral("plub"), l.surcharge);
    row.decimal(QStringLiteral("discount"), l.discount);
    row.decimal(QStringLiteral("total"), l.total);
    row.date(QStringLiteral("fak_date"), l.from);
    row.date(QStringLiteral("return_date"), l.due);
}

} // namespace tawela::contracts
