#include "contracts/closing.h"

#include "contracts/calculator.h"

namespace tawela::contracts {

namespace {

Decimal number(const QString& text)
{
    return Decimal::parseLeading(text);
}

} // namespace

ClosingCharge closingCharge(admin::InterestMode mode, bool clearEmployee, qint64 days,
                            Decimal principal, const QList<RateRow>& feeRows,
                            const QList<RateRow>& deductRows, qint64 previousStep)
{
    ClosingCharge out;
    out.stepDays = previousStep;
    const bool late = days > 0;
    const qint64 magnitude = days < 0 ? -days : days;
    std::optional<RateMatch> match;
    if (late) {
        match = stepLookup(feeRows, magnitude);
        out.noLateRates = !match;
    } else if (days < 0) {
        match = discountLookup(deductRows, magnitude);
    }
    if (match)
        out.stepDays = match->duration;
    if (days == 0) {
        out.caption = ClosingPanel::defaultCaption();
        return out;
    }
    if (!late && !clearEmployee)
        return out;

    const Decimal f = match ? match->rate : Decimal();
    const QString fText = match ? f.toString() : QString();
    const QString head = (late ? QStringLiteral("ส่วนเพิ่ม ") : QStringLiteral("ส่วนลด ")) + fText +
                         QStringLiteral("%ของ") + principal.toString();
    switch (mode) {
    case admin::InterestMode::ActualDays:
        out.amount = termInterest(mode, f, days, 0, principal);
        out.caption = head + QStringLiteral(" @ ") + QString::number(days) + QStringLiteral("วัน");
        break;
    case admin::InterestMode::Steps:
        out.amount = termInterest(mode, f, 0, late ? out.stepDays : -out.stepDays, principal);
        out.caption =
            head + QStringLiteral(" @ ") + QString::number(out.stepDays) + QStringLiteral("วัน");
        break;
    case admin::InterestMode::NotUsed: {
        const Decimal month = termInterest(mode, f, 0, 0, principal);
        out.amount = late ? month : Decimal() - month;
        out.caption = head;
        break;
    }
    }
    return out;
}

std::optional<RefusedFigure> refusedRenewalFigures(const QString& fee, const QString& penalty,
                                                   const QString& discount, const QString& total,
                                                   const QString& principal)
{
    const struct {
        RenewalFigure field;
        const QString& text;
        const char* caption;
    } figures[] = {{RenewalFigure::Fee, fee, "ค่าธรรมเนียม"},
                   {RenewalFigure::Penalty, penalty, "ค่าปรับ"},
                   {RenewalFigure::Discount, discount, "ส่วนลด"}};
    for (const auto& f : figures)
        if (number(f.text).isNegative())
            return RefusedFigure{f.field,
                                 QString::fromUtf8(f.caption) +
                                     QStringLiteral("ต้องไม่ติดลบ (พบ %1)").arg(f.text.trimmed())};
    const Decimal most = number(principal) + number(fee) + number(penalty);
    if (number(discount) > most)
        return RefusedFigure{RenewalFigure::Discount,
                             QStringLiteral("ส่วนลดมากกว่ายอดที่เก็บ: ส่วนลดได้ไม่เกิน %1 บาท "
                                            "(ค่าธรรมเนียม + ค่าปรับ) ยอดรวมต้องไม่ติดลบ")
                                 .arg(most.toFixed(2))};
    // A total typed by hand.
    if (number(total).isNegative())
        return RefusedFigure{RenewalFigure::Total,
                             QStringLiteral("ยอดรวมต้องไม่ติดลบ (พบ %1)").arg(total.trimmed())};
    return std::nullopt;
}

QList<PayoffRow> payoffTable(admin::InterestMode mode, bool clearEmployee, const QDate& due,
                             Decimal principal, Decimal redemption, const QList<RateRow>& feeRows,
                             qint64 monthEnds)
{
    QList<PayoffRow> rows;
    if (monthEnds <= 0 || !due.isValid())
        return rows;
    QList<QDate> dates{due};
    QDate end(due.year(), due.month(), due.daysInMonth());
    if (end == due)
        end = due.addMonths(1);
    for (qint64 i = 0; i < monthEnds; ++i) {
        const QDate monthEnd(end.year(), end.month(), end.daysInMonth());
        dates << monthEnd;
        end = monthEnd.addDays(1);
    }
    for (const QDate& d : dates) {
        const qint64 days = due.daysTo(d);
        const ClosingCharge charge =
            closingCharge(mode, clearEmployee, days, principal, feeRows, {}, 0);
        rows << PayoffRow{d, days, redemption + charge.amount};
    }
    return rows;
}

void ClosingPanel::recomputeTotal()
{
    total = (number(amount) + number(surcharge) + number(penalty) - number(discount)).toString();
}

void RenewalPanel::recomputeTotal()
{
    total = (number(principal) + number(fee) + number(penalty) - number(discount)).toString();
}

void RenewalEditPanel::recomputeTotal()
{
    total = (number(fee) + number(penalty) - number(discount)).toString();
}

} // namespace tawela::contracts
