#include "contracts/calculator.h"

#include "platform/db/db_error.h"

#include <stdexcept>

namespace tawela::contracts {

Decimal termInterest(admin::InterestMode mode, Decimal rate, qint64 days, qint64 stepDays,
                     Decimal amount)
{
    // rate % a month of 30 days, in whole baht, halves to even: rounded once.
    using platform::Rounding;
    if (mode == admin::InterestMode::NotUsed)
        return Decimal::mulDiv(rate, amount, Decimal::fromInt(100), Rounding::HalfEven, 0);
    const qint64 counted = mode == admin::InterestMode::Steps ? stepDays : days;
    return Decimal::mulDiv(rate, amount * Decimal::fromInt(counted), Decimal::fromInt(3000),
                           Rounding::HalfEven, 0);
}

Decimal dailyCharge(Decimal rate, qint64 days, Decimal amount)
{
    return termInterest(admin::InterestMode::ActualDays, rate, days, 0, amount);
}

ContractCalculator::ContractCalculator(const RateTables& tables, Settings settings,
                                       platform::Prompt& prompt, ContractFigures& figures)
    : m_tables(tables), m_settings(settings), m_prompt(prompt), m_f(&figures)
{}

ContractCalculator::ContractCalculator(const RateTables& tables, Settings settings,
                                       platform::Prompt& prompt)
    : m_tables(tables), m_settings(settings), m_prompt(prompt),
      m_own(std::make_unique<ContractFigures>()), m_f(m_own.get())
{
    m_f->tableNo = QStringLiteral("1");
}

void ContractCalculator::lookup()
{
    try {
        if (auto match = stepLookup(m_tables.feeRows(m_f->tableNo), m_f->days)) {
            m_f->rate = match->rate;
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
        if (auto match = stepLookup(m_tables.feeRows(m_f->tableNo), m_f->days))
            stepDays = match->duration;
    } catch (const platform::db::DbError&) {
        // A table that does not exist leaves P; the figures are shown as stored.
    }
}

void ContractCalculator::computeInterest()
{
    try {
        m_f->interest =
            termInterest(m_settings.mode, m_f->rate, m_f->days, stepDays, m_f->principal);
    } catch (const std::overflow_error&) {
        m_prompt.error(QStringLiteral("จำนวนเงินหรือจำนวนวันมากเกินกว่าที่คำนวณได้"));
        return;
    }
    if (m_settings.minimumInterest > Decimal() && m_f->interest < m_settings.minimumInterest)
        m_f->interest = m_settings.minimumInterest;
    split();
}

void ContractCalculator::split()
{
    if (m_f->withheld) {
        m_f->payout = m_f->principal - m_f->interest;
        m_f->redemption = m_f->principal;
    } else {
        m_f->payout = m_f->principal;
        m_f->redemption = m_f->principal + m_f->interest;
    }
}

void ContractCalculator::amountChanged(Decimal value)
{
    m_f->principal = value;
    lookup();
    computeInterest();
}

void ContractCalculator::daysChanged(qint64 value)
{
    m_f->days = value;
    lookup();
    if (m_f->contractDate.isValid())
        m_f->dueDate = m_f->contractDate.addDays(m_f->days);
    computeInterest();
}

void ContractCalculator::rateTyped(Decimal value)
{
    m_f->rate = value;
    computeInterest();
}

void ContractCalculator::interestChanged(Decimal value)
{
    m_f->interest = value;
    split();
}

void ContractCalculator::withholdingChanged(bool value)
{
    m_f->withheld = value;
    split();
}

void ContractCalculator::dueDateChanged(const QDate& value)
{
    m_f->dueDate = value;
    if (m_f->contractDate.isValid() && m_f->dueDate.isValid())
        daysChanged(m_f->contractDate.daysTo(m_f->dueDate));
}

void ContractCalculator::ratePicked(Decimal value)
{
    m_f->rate = value;
    // One month's interest, not rounded and without the minimum.
    try {
        m_f->interest = Decimal::mulDiv(m_f->rate, m_f->principal, Decimal::fromInt(100),
                                        platform::Rounding::HalfEven);
    } catch (const std::overflow_error&) {
        m_prompt.error(QStringLiteral("จำนวนเงินหรือจำนวนวันมากเกินกว่าที่คำนวณได้"));
        return;
    }
    split();
}

} // namespace tawela::contracts
