#include "contracts/legal_limits.h"

#include "text/thai_text.h"

#include <algorithm>

namespace tawela::contracts {

using platform::Rounding;

LegalLimits legalLimitsOf(const admin::Settings& settings)
{
    LegalLimits l;
    // A ceiling or a number of years never set (or set to nothing) checks nothing.
    l.check = settings.legalCheck && settings.legalCeiling > Decimal() && settings.legalYears > 0;
    l.yearlyCeiling = settings.legalCeiling;
    l.movableYears = settings.legalYears;
    return l;
}

QList<PriceSpan> priceOverTime(const Contract& contract, const QList<RenewalLine>& lines)
{
    // A fee withheld from the payout was never handed over: the real price
    // is what the customer received.
    const Decimal withheld = contract.withheld ? contract.principal - contract.payout : Decimal();
    QList<PriceSpan> spans{{contract.contractDate, contract.principal - withheld}};
    Decimal principal = contract.principal;
    for (const RenewalLine& l : lines) {
        if (l.lineNo <= 0 || l.markedDeleted || !l.from.isValid() || l.principal.isZero() ||
            l.principal == principal)
            continue;
        principal = l.principal;
        spans << PriceSpan{l.from, principal - withheld};
    }
    return spans;
}

Decimal receivedBeforeClosing(const QList<RenewalLine>& lines)
{
    Decimal sum;
    for (const RenewalLine& l : lines)
        if (l.lineNo > 0 && !l.markedDeleted)
            sum += l.fee + l.surcharge - l.discount;
    return sum;
}

LawfulRedemption lawfulRedemption(const LegalLimits& limits, const Contract& contract,
                                  const QList<RenewalLine>& lines, const QDate& on, Decimal asked)
{
    LawfulRedemption r;
    const QList<PriceSpan> spans = priceOverTime(contract, lines);
    r.price = spans.last().price;
    r.received = receivedBeforeClosing(lines);
    if (contract.contractDate.isValid() && on.isValid())
        r.days = std::max<qint64>(0, contract.contractDate.daysTo(on));
    // Σ price × days, exact; the ceiling is applied and rounded once.
    Decimal priceDays;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const QDate from = std::max(spans[i].from, contract.contractDate);
        const QDate to = i + 1 < spans.size() ? std::min(spans[i + 1].from, on) : on;
        if (from.isValid() && to.isValid() && from < to)
            priceDays += spans[i].price * Decimal::fromInt(from.daysTo(to));
    }
    r.allowed = Decimal::mulDiv(priceDays, limits.yearlyCeiling, Decimal::fromInt(36500),
                                Rounding::HalfEven, 2);
    r.maximum = std::max(r.price, r.price + r.allowed - r.received);
    r.excess = std::max(Decimal(), asked - r.maximum);
    return r;
}

std::optional<Decimal> yearlyRate(Decimal fee, Decimal price, qint64 days)
{
    if (days <= 0 || price <= Decimal())
        return std::nullopt;
    return Decimal::mulDiv(fee, Decimal::fromInt(36500), price * Decimal::fromInt(days),
                           Rounding::HalfEven, 2);
}

std::optional<QString> rateWarning(const LegalLimits& limits, Decimal fee, Decimal price,
                                   qint64 days)
{
    if (!limits.check || days <= 0 || price <= Decimal())
        return std::nullopt;
    // Exact: a fee of whole ten-thousandths is above the ceiling exactly when
    // it is above the ceiling cut to ten-thousandths.
    const Decimal allowed = Decimal::mulDiv(price * Decimal::fromInt(days), limits.yearlyCeiling,
                                            Decimal::fromInt(36500), Rounding::TowardZero);
    if (fee <= allowed)
        return std::nullopt;
    return QStringLiteral("อัตรานี้เท่ากับ ") + yearlyRate(fee, price, days)->toFixed(2) +
           QStringLiteral(" % ต่อปี เกินอัตราที่กฎหมายกำหนด (") + limits.yearlyCeiling.toString() +
           QStringLiteral(" % ต่อปี) ผู้ขายฝากมีสิทธิ์ไถ่คืนในราคาที่ขายฝากจริงรวมประโยชน์ไม่เกินอัตรานั้น");
}

QDate lastLawfulDate(const LegalLimits& limits, const QDate& contractDate)
{
    return contractDate.addYears(int(limits.movableYears));
}

std::optional<QString> termWarning(const LegalLimits& limits, const QDate& contractDate,
                                   const QDate& dueDate)
{
    if (!limits.check || !contractDate.isValid() || !dueDate.isValid())
        return std::nullopt;
    const QDate last = lastLawfulDate(limits, contractDate);
    if (dueDate <= last)
        return std::nullopt;
    return QStringLiteral("วันครบกำหนด ") + text::buddhistDateText(dueDate) +
           QStringLiteral(" เลยกำหนดไถ่ถอนตามกฎหมาย (สังหาริมทรัพย์ไม่เกิน ") +
           QString::number(limits.movableYears) +
           QStringLiteral(" ปีนับจากวันทำสัญญา) วันสุดท้ายที่ไถ่ถอนได้คือ ") + text::buddhistDateText(last);
}

std::optional<DeclinedLimit> askAboutLimits(platform::Prompt& prompt, const LegalLimits& limits,
                                            Decimal fee, Decimal price, qint64 days,
                                            const QDate& contractDate, const QDate& dueDate,
                                            const QString& question)
{
    if (const auto w = rateWarning(limits, fee, price, days); w && !prompt.askYesNo(*w + question))
        return DeclinedLimit::Rate;
    if (const auto w = termWarning(limits, contractDate, dueDate);
        w && !prompt.askYesNo(*w + question))
        return DeclinedLimit::Term;
    return std::nullopt;
}

} // namespace tawela::contracts
