#include "contracts/calculator.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using admin::InterestMode;
using platform::Decimal;

using test::d;

namespace {

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::rateRows(t.db, "fee_table1", {{30, "3"}, {60, "2.5"}, {90, "2"}});
    }

    ContractCalculator calculator(InterestMode mode, const char* minimum = "0")
    {
        ContractCalculator c(tables, {mode, d(minimum)}, prompt);
        c.figures().contractDate = QDate(2025, 5, 14);
        return c;
    }

    test::TempDatabase t;
    RateTables tables{t.db};
    platform::ScriptedPrompt prompt;
};

} // namespace

TEST(RateLookups, StepAndDiscountBoundaries)
{
    const QList<RateRow> fee = {{30, d("3")}, {60, d("2.5")}, {90, d("2")}};
    struct Case {
        qint64 days;
        const char* rate;
        qint64 step;
    };
    for (const Case& c : {Case{0, "3", 30}, Case{1, "3", 30}, Case{30, "3", 30},
                          Case{31, "2.5", 60}, Case{60, "2.5", 60}, Case{61, "2", 90},
                          Case{90, "2", 90}, Case{91, "2", 90}, Case{400, "2", 90}}) {
        const auto m = stepLookup(fee, c.days);
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->rate, d(c.rate)) << c.days;
        EXPECT_EQ(m->duration, c.step) << c.days;
    }
    EXPECT_FALSE(stepLookup({}, 10).has_value());

    const QList<RateRow> discount = {{60, d("1")}, {30, d("0.5")}, {15, d("0.25")}};
    for (auto [days, rate] : {std::pair{70, "1"},
                              {60, "1"},
                              {59, "0.5"},
                              {30, "0.5"},
                              {29, "0.25"},
                              {15, "0.25"},
                              {14, "0.25"},
                              {0, "0.25"}})
        EXPECT_EQ(discountLookup(discount, days)->rate, d(rate)) << days;
    EXPECT_FALSE(discountLookup({}, 10).has_value());
}

TEST(RateLookups, OverdueAfterTheGraceDays)
{
    const QDate due(2025, 8, 12);
    EXPECT_FALSE(isOverdue(due, 7, due.addDays(7)));
    EXPECT_TRUE(isOverdue(due, 7, due.addDays(8)));
    EXPECT_TRUE(isOverdue(due, 0, due.addDays(1)));
    EXPECT_FALSE(isOverdue(due, 0, due));
}

TEST(TermInterest, RoundsHalvesToEven)
{
    // 1 % a month on 1250 baht is 12.5 -> 12; on 1350, 13.5 -> 14.
    EXPECT_EQ(termInterest(InterestMode::NotUsed, d("1"), 0, 0, d("1250")), d("12"));
    EXPECT_EQ(termInterest(InterestMode::NotUsed, d("1"), 0, 0, d("1350")), d("14"));
    EXPECT_EQ(termInterest(InterestMode::NotUsed, d("5"), 0, 0, d("1250")), d("62"));
    EXPECT_EQ(termInterest(InterestMode::NotUsed, d("5"), 0, 0, d("1270")), d("64"));
    EXPECT_EQ(termInterest(InterestMode::NotUsed, d("1"), 0, 0, d("-250")), d("-2"));
    // 3 % a month for 15 days on 10 000: exactly 150, no binary-float drift.
    EXPECT_EQ(termInterest(InterestMode::ActualDays, d("3"), 15, 0, d("10000")), d("150"));
    // 5 % / 30 x 15 x 10 000 = 250: the late-payment example.
    EXPECT_EQ(dailyCharge(d("5"), 15, d("10000")), d("250"));
    // 1.25 % for 17 days on 10 001: 70.840416... -> 71
    EXPECT_EQ(termInterest(InterestMode::ActualDays, d("1.25"), 17, 0, d("10001")), d("71"));
}

TEST_F(CalculatorTest, TheWorkedExampleInEveryMode)
{
    struct Row {
        InterestMode mode;
        const char* interest;
        const char* payOff;
        const char* redeemOff;
        const char* payOn;
    };
    for (const Row& r : {Row{InterestMode::ActualDays, "375", "10000", "10375", "9625"},
                         Row{InterestMode::Steps, "500", "10000", "10500", "9500"},
                         Row{InterestMode::NotUsed, "300", "10000", "10300", "9700"}}) {
        ContractCalculator c = calculator(r.mode, "300");
        c.daysChanged(45);
        c.amountChanged(d("10000"));
        EXPECT_EQ(c.figures().rate, d("2.5"));
        EXPECT_EQ(c.stepDays, 60);
        EXPECT_EQ(c.figures().interest, d(r.interest));
        EXPECT_EQ(c.figures().payout, d(r.payOff));
        EXPECT_EQ(c.figures().redemption, d(r.redeemOff));
        EXPECT_EQ(c.figures().dueDate, QDate(2025, 6, 28));
        c.withholdingChanged(true);
        EXPECT_EQ(c.figures().payout, d(r.payOn));
        EXPECT_EQ(c.figures().redemption, d("10000"));
    }
}

TEST_F(CalculatorTest, StepsBeforeAnyMatchAndTheMinimum)
{
    // An empty table never matches: "ช่วง" then has no step days.
    ContractCalculator c = calculator(InterestMode::Steps, "50");
    c.tableChanged(QStringLiteral("2"));
    c.figures().rate = d("3");
    c.daysChanged(45);
    EXPECT_EQ(c.stepDays, 0);
    EXPECT_EQ(c.figures().rate, d("3")); // left as it was
    c.amountChanged(d("10000"));
    EXPECT_EQ(c.figures().interest, d("50")); // 0 raised to the minimum

    // No minimum: the interest stays what it is.
    ContractCalculator none = calculator(InterestMode::ActualDays, "0");
    none.amountChanged(Decimal());
    EXPECT_EQ(none.figures().interest, Decimal());
    none.amountChanged(d("-300"));
    none.daysChanged(30);
    EXPECT_EQ(none.figures().interest, d("-9")); // 3 % of -300: a minimum of 0 does not lift it

    // A = 0 with a minimum: the payout with withholding goes negative.
    ContractCalculator zero = calculator(InterestMode::ActualDays, "100");
    zero.withholdingChanged(true);
    zero.daysChanged(30);
    EXPECT_EQ(zero.figures().interest, d("100"));
    EXPECT_EQ(zero.figures().payout, d("-100"));
    EXPECT_EQ(zero.figures().redemption, Decimal());
}

TEST_F(CalculatorTest, TypedAndPickedValues)
{
    ContractCalculator c = calculator(InterestMode::ActualDays);
    c.daysChanged(30);
    c.amountChanged(d("10000"));
    c.withholdingChanged(true);
    c.interestChanged(d("123.5")); // typed over
    EXPECT_EQ(c.figures().payout, d("9876.5"));
    EXPECT_EQ(c.figures().payout.toString(), QStringLiteral("9876.5"));
    EXPECT_EQ(c.figures().redemption, d("10000"));

    c.rateTyped(d("1.5")); // no lookup: the typed rate counts
    EXPECT_EQ(c.figures().rate, d("1.5"));
    EXPECT_EQ(c.figures().interest, d("150"));

    // Picked from the list: one month, no rounding, mode and days not used.
    c.amountChanged(d("10001"));
    c.ratePicked(d("1.25"));
    EXPECT_EQ(c.figures().interest, d("125.0125"));
    EXPECT_EQ(c.figures().redemption, d("10001"));
    EXPECT_EQ(c.figures().payout, d("9875.9875"));
}

TEST_F(CalculatorTest, MovingTheDueDateRecomputesTheWholeTime)
{
    ContractCalculator c = calculator(InterestMode::ActualDays);
    c.daysChanged(30);
    c.amountChanged(d("10000"));
    EXPECT_EQ(c.figures().interest, d("300"));
    // A renewal moves the due date 60 days on: 90 days from the deposit.
    c.dueDateChanged(c.figures().dueDate.addDays(60));
    EXPECT_EQ(c.figures().days, 90);
    EXPECT_EQ(c.figures().rate, d("2"));
    EXPECT_EQ(c.figures().interest, d("600"));
    EXPECT_EQ(c.figures().redemption, d("10600"));
    // The deposit date alone changes nothing.
    c.depositDateChanged(QDate(2025, 1, 1));
    EXPECT_EQ(c.figures().days, 90);
    EXPECT_EQ(c.figures().interest, d("600"));
}

TEST_F(CalculatorTest, ATableNumberWithoutATableIsReported)
{
    ContractCalculator c = calculator(InterestMode::ActualDays);
    c.figures().rate = d("4");
    c.tableChanged(QStringLiteral("9"));
    c.daysChanged(30);
    EXPECT_EQ(c.figures().rate, d("4"));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages()[0].title, QStringLiteral("พบข้อผิดพลาด"));
    c.amountChanged(d("1000"));
    EXPECT_EQ(c.figures().interest, d("40")); // still computed with the rate it had
}

TEST_F(CalculatorTest, RateTablesReadInStoredOrder)
{
    // Rows out of order are read as stored: 90 first matches everything up to 90.
    t.db->exec(
        QStringLiteral("INSERT INTO fee_table3 (duration, fee) VALUES (90, 20000), (30, 30000)"));
    EXPECT_EQ(stepLookup(tables.feeRows(QStringLiteral("3")), 10)->rate, d("2"));
    EXPECT_EQ(tables.period(QStringLiteral("1")), 30);
    tables.setPeriod(QStringLiteral("1"), 45);
    EXPECT_EQ(tables.period(QStringLiteral("1")), 45);
    EXPECT_THROW(tables.setPeriod(QStringLiteral("7"), 45), platform::db::DbError);
    EXPECT_FALSE(tables.period(QStringLiteral("7")).has_value());
    EXPECT_EQ(tables.rateList().size(), 5);
    tables.addProductGroup(QStringLiteral("ร้าน'ดี"));
    EXPECT_TRUE(tables.productGroups().contains(QStringLiteral("ร้าน'ดี")));
}
