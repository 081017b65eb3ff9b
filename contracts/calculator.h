#pragma once

#include "admin/settings.h"
#include "contracts/contract.h"
#include "contracts/rate_tables.h"
#include "platform/prompt.h"

#include <QDate>

#include <memory>

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

    // Works on the figures of a contract the caller keeps (the screen's),
    // or on figures of its own.
    ContractCalculator(const RateTables& tables, Settings settings, platform::Prompt& prompt,
                       ContractFigures& figures);
    ContractCalculator(const RateTables& tables, Settings settings, platform::Prompt& prompt);

    ContractFigures& figures() { return *m_f; }
    const ContractFigures& figures() const { return *m_f; }
    qint64 stepDays = 0; // P: duration of the row matched last; 0 until one matched

    void amountChanged(Decimal value);       // 1: lookup, interest, minimum, split
    void daysChanged(qint64 value);          // 2: lookup, due date, interest, minimum, split
    void rateTyped(Decimal value);           // 3: interest, minimum, split
    void interestChanged(Decimal value);     // 4: split
    void withholdingChanged(bool value);     // 5: split
    void dueDateChanged(const QDate& value); // 6: days from the due date, then 2
    void ratePicked(Decimal value);          // 7: one month's interest, split
    void depositDateChanged(const QDate& value) { m_f->contractDate = value; } // nothing else
    void tableChanged(const QString& value) { m_f->tableNo = value; }
    // Figures typed over by the person: kept as typed until a rule runs again.
    void payoutTyped(Decimal value) { m_f->payout = value; }
    void redemptionTyped(Decimal value) { m_f->redemption = value; }
    // A renewal moved the due date: the term, its fee and the split stay
    // as agreed.
    void termMoved(const QDate& value) { m_f->dueDate = value; }

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
    std::unique_ptr<ContractFigures> m_own; // without figures of the caller's
    ContractFigures* m_f;
};

} // namespace tawela::contracts
