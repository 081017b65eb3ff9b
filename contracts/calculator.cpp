#include "contracts/calculator.h"

#include "platform/db/db_error.h"

#include <stdexcept>

namespace tawela::contracts {

Decimal termInterest(admin::InterestMode mode, Decimal rate, qint64 days, qint64 stepDays,
                     Decimal amount)
{
    // rate % a month of 30 days, in whole baht, halves to even: rounded once.
    using platform::Rounding;
    switch (mode) {
    case admin::InterestMode::ActualDays:
        return Decimal::mulDiv(rate, amount * Decimal::fromInt(days), Decimal::fromInt(3000),
                               Rounding::HalfEven, 0);
    case admin::InterestMode::Steps:
        return Decimal::mulDiv(rate, amount * Decimal::fromInt(stepDays), Decimal::fromInt(3000),
                               Rounding::HalfEven, 0);
    case admin::InterestMode::NotUsed:
        return Decimal::mulDiv(rate, amount, Decimal::fromInt(100), Rounding::HalfEven, 0);
    }
    return {};
}

Decimal dailyCharge(Decimal rate, qint64 days, Decimal amount)
{
    return termInterest(admin::InterestMode::ActualDays, rate, days, 0, amount);
}

ContractCalculator::ContractCalculator(const RateTables& tables, Settings settings,
                                       platform::Prompt& prompt)
    : m_tables(tables), m_settings(settings), m_prompt(prompt)
{}

void ContractCalculator::lookup()
{
    try {
        if (auto match = stepLookup(m_tables.feeRows(tableNo), days)) {
            rate = match->rate;
            stepDays = match->duration;
        }
    } catch (const platform::db::DbError& e) {
        // A table number typed by hand that has no table: the rate stays.
        m_prompt.error(e.description());
    }
}

void ContractCalculator::loadStored()
{
    try {
        if (auto match = stepLookup(m_tables.feeRows(tableNo), days))
            stepDays = match->duration;
    } catch (const platform::db::DbError&) {
        // A table that does not exist leaves P; the figures are shown as stored.
    }
}

void ContractCalculator::computeInterest()
{
    try {
        interest = termInterest(m_settings.mode, rate, days, stepDays, amount);
    } catch (const std::overflow_error&) {
        m_prompt.error(QStringLiteral("จำนวนเงินหรือจำนวนวันมากเกินกว่าที่คำนวณได้"));
        return;
    }
    if (m_settings.minimumInterest > Decimal() && interest < m_settings.minimumInterest)
        interest = m_settings.minimumInterest;
    split();
}

void ContractCalculator::split()
{
    if (withheld) {
        payout = amount - interest;
        redemption = amount;
    } else {
        payout = amount;
        redemption = amount + interest;
    }
}

void ContractCalculator::amountChanged(Decimal value)
{
    amount = value;
    lookup();
    computeInterest();
}

void ContractCalculator::daysChanged(qint64 value)
{
    days = value;
    lookup();
    if (depositDate.isValid())
        dueDate = depositDate.addDays(days);
    computeInterest();
}

void ContractCalculator::rateTyped(Decimal value)
{
    rate = value;
    computeInterest();
}

void ContractCalculator::interestChanged(Decimal value)
{
    interest = value;
    split();
}

void ContractCalculator::withholdingChanged(bool value)
{
    withheld = value;
    split();
}

void ContractCalculator::dueDateChanged(const QDate& value)
{
    dueDate = value;
    if (depositDate.isValid() && dueDate.isValid())
        daysChanged(depositDate.daysTo(dueDate));
}

void ContractCalculator::ratePicked(Decimal value)
{
    rate = value;
    // One month's interest, not rounded and without the minimum.
    try {
        interest =
            Decimal::mulDiv(rate, amount, Decimal::fromInt(100), platform::Rounding::HalfEven);
    } catch (const std::overflow_error&) {
        m_prompt.error(QStringLiteral("จำนวนเงินหรือจำนวนวันมากเกินกว่าที่คำนวณได้"));
        return;
    }
    split();
}

} // namespace tawela::contracts
