#include "contracts/legal_limits.h"
#include "shop_builder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using test::d;

namespace {

const QDate Made(2025, 1, 10);

// A contract of 10,000 baht made on Made, its fee of 300 for 30 days paid
// at the redemption or, withheld, taken from the payout.
Contract contractOf(const char* principal = "10000", const char* fee = "300", bool withheld = false)
{
    Contract c;
    c.contractDate = Made;
    c.principal = d(principal);
    c.interest = d(fee);
    c.days = 30;
    c.withheld = withheld;
    c.payout = withheld ? c.principal - c.interest : c.principal;
    c.redemption = withheld ? c.principal : c.principal + c.interest;
    return c;
}

// `count` renewals of `fee` each, one every 30 days from the contract date.
QList<RenewalLine> renewals(int count, const char* fee, const char* principal = "10000")
{
    QList<RenewalLine> lines;
    for (int i = 0; i < count; ++i) {
        RenewalLine l;
        l.lineNo = i + 1;
        l.principal = d(principal);
        l.fee = d(fee);
        l.total = l.fee;
        l.from = Made.addDays(30 * (i + 1));
        l.due = l.from.addDays(30);
        lines << l;
    }
    return lines;
}

LawfulRedemption on(int days, const Contract& c, const QList<RenewalLine>& lines, const char* asked)
{
    return lawfulRedemption(LegalLimits{}, c, lines, Made.addDays(days), d(asked));
}

__extension__ using Int128 = __int128;

// Half-even division of non-negative 128-bit integers.
Int128 halfEven(Int128 n, Int128 q)
{
    Int128 whole = n / q, rest = n % q;
    if (2 * rest > q || (2 * rest == q && whole % 2 == 1))
        ++whole;
    return whole;
}

} // namespace

TEST(LawfulRedemption, HandWorkedExamples)
{
    // 30 days: 10,000 × 15 % × 30 ÷ 365 = 123.2876… → 123.29.
    LawfulRedemption r = on(30, contractOf(), {}, "10300");
    EXPECT_EQ(r.days, 30);
    EXPECT_EQ(r.allowed, d("123.29"));
    EXPECT_EQ(r.maximum, d("10123.29"));
    EXPECT_EQ(r.excess, d("176.71"));

    // 90 days after two renewals of 300: 369.86 allowed, 600 received
    // already. The maximum never falls below the price.
    r = on(90, contractOf(), renewals(2, "300"), "10300");
    EXPECT_EQ(r.allowed, d("369.86"));
    EXPECT_EQ(r.received, d("600"));
    EXPECT_EQ(r.maximum, d("10000"));
    EXPECT_EQ(r.excess, d("300"));

    // 365 days, eleven renewals of 100: exactly 1,500 allowed; 10,100 asked is lawful.
    r = on(365, contractOf(), renewals(11, "100"), "10100");
    EXPECT_EQ(r.allowed, d("1500"));
    EXPECT_EQ(r.maximum, d("10400"));
    EXPECT_EQ(r.excess, Decimal());

    // 1,000 days: 4,109.589… → 4,109.59.
    EXPECT_EQ(on(1000, contractOf(), {}, "10300").allowed, d("4109.59"));

    // Exactly at the ceiling: 36,500 for 30 days allows 450.00 to the satang.
    r = on(30, contractOf("36500", "450"), {}, "36950");
    EXPECT_EQ(r.maximum, d("36950"));
    EXPECT_EQ(r.excess, Decimal());

    // Half-even at the satang: 1,001.50 × 15 % × 73 ÷ 365 = 30.045 → 30.04.
    EXPECT_EQ(on(73, contractOf("1001.5", "0"), {}, "0").allowed, d("30.04"));

    // A withheld fee was never paid out: the real price is 9,700.
    r = on(30, contractOf("10000", "300", true), {}, "10000");
    EXPECT_EQ(r.price, d("9700"));
    EXPECT_EQ(r.allowed, d("119.59"));
    EXPECT_EQ(r.maximum, d("9819.59"));
    EXPECT_EQ(r.excess, d("180.41"));

    // Redeemed the day it was made: nothing beyond the price.
    EXPECT_EQ(on(0, contractOf(), {}, "10300").maximum, d("10000"));
}

TEST(LawfulRedemption, ThePriceCountsForTheDaysItStood)
{
    // Paid down to 6,000 at the first renewal (day 30): 30 days at 10,000 and
    // 60 at 6,000 = 660,000 baht-days → 271.23; rows marked deleted do not count.
    QList<RenewalLine> lines = renewals(2, "300", "6000");
    lines << renewals(1, "999", "1").first();
    lines.last().lineNo = 3;
    lines.last().markedDeleted = true;
    const LawfulRedemption r = on(90, contractOf(), lines, "6300");
    EXPECT_EQ(r.price, d("6000"));
    EXPECT_EQ(r.allowed, d("271.23"));
    EXPECT_EQ(r.received, d("600"));
}

TEST(LawfulRedemption, AgreesWithAnExactComputationForRandomContracts)
{
    QRandomGenerator random(20261211);
    for (int run = 0; run < 2000; ++run) {
        Contract c = contractOf();
        c.principal =
            Decimal::fromUnits(qint64(random.bounded(1, 500'000'000)) * 100); // to 5 million
        c.withheld = random.bounded(2) == 1;
        c.interest =
            Decimal::fromUnits(random.bounded(qint64(0), qint64(c.principal.units() / 10)));
        c.payout = c.withheld ? c.principal - c.interest : c.principal;
        LegalLimits limits;
        limits.yearlyCeiling = Decimal::fromUnits(random.bounded(1, 400'000)); // to 40 %
        const int days = random.bounded(0, 1200);
        QList<RenewalLine> lines;
        Decimal received;
        for (int at = 30; at < days && lines.size() < 30; at += 30) {
            RenewalLine l;
            l.lineNo = lines.size() + 1;
            l.principal = c.principal;
            l.from = Made.addDays(at);
            l.fee = Decimal::fromUnits(random.bounded(0, 5'000'000));
            l.surcharge = Decimal::fromUnits(random.bounded(0, 100'000));
            l.discount = Decimal::fromUnits(random.bounded(0, 100'000));
            received += l.fee + l.surcharge - l.discount;
            lines << l;
        }
        const Decimal asked = c.principal + Decimal::fromUnits(random.bounded(0, 50'000'000));
        const LawfulRedemption r = lawfulRedemption(limits, c, lines, Made.addDays(days), asked);

        // In satang: price units × days × ceiling units × 100 ÷ (10⁸ × 36,500).
        const Int128 price = c.payout.units();
        const Int128 satang = halfEven(price * days * limits.yearlyCeiling.units() * 100,
                                       Int128(36500) * 100'000'000);
        const std::int64_t allowedUnits = std::int64_t(satang * 100);
        ASSERT_EQ(r.allowed.units(), allowedUnits) << "run " << run;
        const std::int64_t maximum =
            std::max<std::int64_t>(price, price + allowedUnits - received.units());
        ASSERT_EQ(r.maximum.units(), maximum) << "run " << run;
        ASSERT_EQ(r.excess.units(), std::max<std::int64_t>(0, asked.units() - maximum));
    }
}

TEST(LegalWarnings, TheYearlyRateAndTheLastLawfulDay)
{
    const LegalLimits limits;
    // 3 % for 30 days is 36.50 % a year.
    EXPECT_EQ(yearlyRate(d("300"), d("10000"), 30), d("36.5"));
    const auto over = rateWarning(limits, d("300"), d("10000"), 30);
    ASSERT_TRUE(over);
    EXPECT_TRUE(
        over->startsWith(QStringLiteral("อัตรานี้เท่ากับ 36.50 % ต่อปี เกินอัตราที่กฎหมายกำหนด (15 % ต่อปี)")))
        << over->toStdString();
    // At the ceiling is lawful; a satang above it is not.
    EXPECT_FALSE(rateWarning(limits, d("450"), d("36500"), 30));
    EXPECT_TRUE(rateWarning(limits, d("450.01"), d("36500"), 30));
    EXPECT_FALSE(rateWarning(LegalLimits{false}, d("300"), d("10000"), 30));
    EXPECT_FALSE(rateWarning(limits, d("300"), d("10000"), 0));

    // Three years from 10 Jan 2025: 10 Jan 2028 is the last day.
    EXPECT_EQ(lastLawfulDate(limits, Made), QDate(2028, 1, 10));
    EXPECT_FALSE(termWarning(limits, Made, QDate(2028, 1, 10)));
    const auto late = termWarning(limits, Made, QDate(2028, 1, 11));
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->contains(QStringLiteral("วันสุดท้ายที่ไถ่ถอนได้คือ 10/01/2571")))
        << late->toStdString();
}
