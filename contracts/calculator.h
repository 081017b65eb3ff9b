#pragma once

#include "admin/settings.h"
#include "contracts/rate_tables.h"
#include "platform/prompt.h"

#include <QDate>

namespace tawela::contracts {

// Interest for the term before the minimum, rounded to whole baht with
// halves to the even neighbour: "จริง" R/100/30 × D × A, "ช่วง" with the
// step days P in place of D, otherwise one month R/100 × A.
Decimal termInterest(admin::InterestMode mode, Decimal rate, qint64 days, qint64 stepDays,
                     Decimal amount);

// A surcharge or discount: rate percent a month for the days, rounded half
// to even to whole baht: R/100/30 × days × A.
Decimal dailyCharge(Decimal rate, qint64 days, Decimal amount);

// Keeps the money fields of a contract consistent: every change, typed by
// the person or set by the program, goes through one of the change
// commands, which run the steps in the order the contract screen always has.
class ContractCalculator {
public:
    struct Settings {
        admin::InterestMode mode = admin::InterestMode::NotUsed;
        Decimal minimumInterest; // MinInteres; 0 means none
    };

    ContractCalculator(const RateTables& tables, Settings settings, platform::Prompt& prompt);

    // The figures, read by the screen after each change.
    Decimal amount;                        // A, "ยอดฝาก"
    qint64 days = 0;                       // D
    Decimal rate;                          // R, percent a month
    QString tableNo = QStringLiteral("1"); // N
    bool withheld = false;                 // W, "หัก ณ.ที่จ่าย"
    QDate depositDate;                     // S
    QDate dueDate;                         // E
    Decimal interest;                      // I, "ค่าธรรมเนียม"
    Decimal payout;                        // Y, "ยอดจ่าย"
    Decimal redemption;                    // Z, "ยอดไถ่ถอน"
    qint64 stepDays = 0; // P: duration of the row matched last; 0 until one matched

    void amountChanged(Decimal value);       // 1: lookup, interest, minimum, split
    void daysChanged(qint64 value);          // 2: lookup, due date, interest, minimum, split
    void rateTyped(Decimal value);           // 3: interest, minimum, split
    void interestChanged(Decimal value);     // 4: split
    void withholdingChanged(bool value);     // 5: split
    void dueDateChanged(const QDate& value); // 6: days from the due date, then 2
    void ratePicked(Decimal value);          // 7: one month's interest, split
    void depositDateChanged(const QDate& value) { depositDate = value; } // nothing else
    void tableChanged(const QString& value) { tableNo = value; }
    // Figures typed over by the person: kept as typed until a rule runs again.
    void payoutTyped(Decimal value) { payout = value; }
    void redemptionTyped(Decimal value) { redemption = value; }
    // A renewal moved the due date: the term, its fee and the split stay
    // as agreed.
    void termMoved(const QDate& value) { dueDate = value; }

    // A stored contract: its figures as stored, nothing recomputed; only
    // the step days are looked up, for the rules that run on a later change.
    void loadStored();

private:
    void lookup();
    void computeInterest();
    void split();

    const RateTables& m_tables;
    Settings m_settings;
    platform::Prompt& m_prompt;
};

} // namespace tawela::contracts
