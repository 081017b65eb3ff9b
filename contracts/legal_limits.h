#pragma once

#include "admin/settings.h"
#include "contracts/contract.h"
#include "platform/prompt.h"

#include <QDate>
#include <QList>

#include <optional>

namespace tawela::contracts {

// What the law allows a sale with a right of redemption to ask, as the shop
// set it: the yearly ceiling over the real price (15 % a year) and the years
// after which movables can no longer be redeemed (3). The program informs;
// the shop decides.
struct LegalLimits {
    bool check = true;
    Decimal yearlyCeiling = Decimal::fromInt(15); // percent a year
    qint64 movableYears = 3;
};
LegalLimits legalLimitsOf(const admin::Settings& settings);

// The price the shop paid, from a day on: what was handed to the customer
// (the principal less a withheld fee), then the principal of each renewal
// that changed it.
struct PriceSpan {
    QDate from;
    Decimal price;
};
QList<PriceSpan> priceOverTime(const Contract& contract, const QList<RenewalLine>& lines);

// What the shop received beyond the price before the closing: every
// renewal's fee with its surcharge, less its discount (rows marked deleted
// do not count).
Decimal receivedBeforeClosing(const QList<RenewalLine>& lines);

// The law's ceiling for a redemption on a day. Over the life of the
// contract, what the shop receives beyond the price may not exceed
// Σ price × ceiling % × days ÷ 365 (each span of the price for its days),
// half-even at the satang.
struct LawfulRedemption {
    qint64 days = 0;  // from the contract date to the redemption
    Decimal allowed;  // the ceiling over those days, in baht
    Decimal received; // before the redemption, beyond the price
    Decimal price;    // at the redemption
    Decimal
        maximum; // the largest redemption total: price + allowed − received, never below the price
    Decimal excess; // what the asked total is above the maximum (zero or positive)
};
LawfulRedemption lawfulRedemption(const LegalLimits& limits, const Contract& contract,
                                  const QList<RenewalLine>& lines, const QDate& on, Decimal asked);

// A fee for a term as percent a year of the price, half-even at two places:
// fee ÷ price × 365 ÷ days × 100. Nothing for a term of no days or no price.
std::optional<Decimal> yearlyRate(Decimal fee, Decimal price, qint64 days);

// The warning for a fee above the ceiling, or nothing when it is within it
// (or the check is off).
std::optional<QString> rateWarning(const LegalLimits& limits, Decimal fee, Decimal price,
                                   qint64 days);

// The last day a contract made on `contractDate` may still be redeemed, and
// the warning for a due date after it (nothing when the check is off or the
// date is within it).
QDate lastLawfulDate(const LegalLimits& limits, const QDate& contractDate);
std::optional<QString> termWarning(const LegalLimits& limits, const QDate& contractDate,
                                   const QDate& dueDate);

// Asks about each limit a term goes past: its fee above the ceiling of the
// price, then a due date after the last lawful day; each question ends with
// `question`. Which one the person declined, or nothing when they went on
// (or no limit applies).
enum class DeclinedLimit { Rate, Term };
std::optional<DeclinedLimit> askAboutLimits(platform::Prompt& prompt, const LegalLimits& limits,
                                            Decimal fee, Decimal price, qint64 days,
                                            const QDate& contractDate, const QDate& dueDate,
                                            const QString& question);

} // namespace tawela::contracts
