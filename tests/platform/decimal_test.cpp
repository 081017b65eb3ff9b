#include "platform/decimal.h"

#include <gtest/gtest.h>

using tawela::platform::Decimal;
using tawela::platform::Rounding;

namespace {

Decimal d(const char* text)
{
    auto v = Decimal::parse(QString::fromLatin1(text));
    EXPECT_TRUE(v.has_value()) << text;
    return v.value_or(Decimal());
}

} // namespace

TEST(Decimal, ParsesPlainNumbersExactly)
{
    EXPECT_EQ(d("1500").units(), 15000000);
    EXPECT_EQ(d("0.1").units(), 1000);
    EXPECT_EQ(d("-2.25").units(), -22500);
    EXPECT_EQ(d(" 1,500.50 ").units(), 15005000);
    EXPECT_EQ(d(".5").units(), 5000);
    EXPECT_EQ(d("+3").units(), 30000);
    // Past the fourth place: half to even.
    EXPECT_EQ(d("0.00005").units(), 0);
    EXPECT_EQ(d("0.00015").units(), 2);
    EXPECT_EQ(d("0.000051").units(), 1);
}

TEST(Decimal, RejectsWhatIsNotANumber)
{
    for (const char* bad : {"", "abc", "12abc", "1.2.3", "--1", ",5", "1,", "1e3", "."})
        EXPECT_FALSE(Decimal::parse(QString::fromLatin1(bad)).has_value()) << bad;
    EXPECT_FALSE(Decimal::parse(QStringLiteral("99999999999999999999")).has_value());
}

TEST(Decimal, LeadingNumberRule)
{
    EXPECT_EQ(Decimal::parseLeading(u"12abc"), Decimal::fromInt(12));
    EXPECT_EQ(Decimal::parseLeading(u"abc"), Decimal());
    EXPECT_EQ(Decimal::parseLeading(u"1,500"), Decimal::fromInt(1500));
    EXPECT_EQ(Decimal::parseLeading(u"  7.5 บาท"), d("7.5"));
    EXPECT_EQ(Decimal::parseLeading(u"-3x"), Decimal::fromInt(-3));
    EXPECT_EQ(Decimal::parseLeading(u""), Decimal());
}

TEST(Decimal, TypedTextSaysWhatReadingItWouldChange)
{
    using Problem = Decimal::Typed::Problem;
    auto typed = [](const char* t) { return Decimal::parseTyped(QString::fromLatin1(t)); };
    EXPECT_EQ(typed("1.2345").problem, Problem::None);
    EXPECT_EQ(typed("1.23450000").problem, Problem::None); // trailing zeros lose nothing
    EXPECT_EQ(typed("12abc").problem, Problem::None);
    EXPECT_EQ(typed("1.23456").problem, Problem::TooManyPlaces);
    EXPECT_EQ(typed("0.000001").problem, Problem::TooManyPlaces);
    EXPECT_EQ(typed("99999999999999999999").problem, Problem::OutOfRange);
    EXPECT_EQ(typed("-99999999999999999999").value.isNegative(), true);
}

TEST(Decimal, RoundsHalfToEvenAndHalfAwayFromZero)
{
    EXPECT_EQ(d("12.5").rounded(0, Rounding::HalfEven), Decimal::fromInt(12));
    EXPECT_EQ(d("13.5").rounded(0, Rounding::HalfEven), Decimal::fromInt(14));
    EXPECT_EQ(d("-2.5").rounded(0, Rounding::HalfEven), Decimal::fromInt(-2));
    EXPECT_EQ(d("-3.5").rounded(0, Rounding::HalfEven), Decimal::fromInt(-4));
    EXPECT_EQ(d("12.5001").rounded(0, Rounding::HalfEven), Decimal::fromInt(13));
    EXPECT_EQ(d("2.345").rounded(2, Rounding::HalfAwayFromZero), d("2.35"));
    EXPECT_EQ(d("-2.345").rounded(2, Rounding::HalfAwayFromZero), d("-2.35"));
    EXPECT_EQ(d("2.345").rounded(2, Rounding::HalfEven), d("2.34"));
    EXPECT_EQ(d("2.999").rounded(0, Rounding::TowardZero), Decimal::fromInt(2));
}

TEST(Decimal, FormatsShortestAndFixed)
{
    EXPECT_EQ(d("9625").toString(), QStringLiteral("9625"));
    EXPECT_EQ(d("10375.5").toString(), QStringLiteral("10375.5"));
    EXPECT_EQ(d("-0.25").toString(), QStringLiteral("-0.25"));
    EXPECT_EQ(Decimal().toString(), QStringLiteral("0"));
    EXPECT_EQ(d("1500").toFixed(2), QStringLiteral("1500.00"));
    EXPECT_EQ(d("-3.5").toFixed(2), QStringLiteral("-3.50"));
    EXPECT_EQ(d("0.005").toFixed(2), QStringLiteral("0.01"));
}

TEST(Decimal, ArithmeticIsExact)
{
    // 0.1 + 0.2 is 0.3, not 0.30000000000000004
    EXPECT_EQ(d("0.1") + d("0.2"), d("0.3"));
    EXPECT_EQ(d("10000") * d("0.0125"), d("125"));
    // 1.25 % a month on 10 001 baht for 17 days, computed as one exact fraction.
    const Decimal monthly = Decimal::mulDiv(d("10001"), d("1.25"), d("100"), Rounding::HalfEven);
    EXPECT_EQ(monthly, d("125.0125"));
    EXPECT_EQ(Decimal::mulDiv(d("1"), d("1"), d("3"), Rounding::HalfEven), d("0.3333"));
    EXPECT_EQ(Decimal::mulDiv(d("-1"), d("2"), d("3"), Rounding::HalfEven), d("-0.6667"));
    EXPECT_THROW(Decimal::mulDiv(d("1"), d("1"), Decimal(), Rounding::HalfEven), std::domain_error);
    // Rounded once at the place asked for: 100.0003 / 8 = 12.5000375 is 13
    // whole, where rounding first to 12.5000 and then to even says 12;
    // 12.5 exactly is 12, 13.5 is 14, -12.5 is -12.
    EXPECT_EQ(Decimal::mulDiv(d("100.0003"), d("1"), d("8"), Rounding::HalfEven, 0), d("13"));
    EXPECT_EQ(Decimal::mulDiv(d("100.0003"), d("1"), d("8"), Rounding::HalfEven)
                  .rounded(0, Rounding::HalfEven),
              d("12"));
    EXPECT_EQ(Decimal::mulDiv(d("125"), d("1"), d("10"), Rounding::HalfEven, 0), d("12"));
    EXPECT_EQ(Decimal::mulDiv(d("135"), d("1"), d("10"), Rounding::HalfEven, 0), d("14"));
    EXPECT_EQ(Decimal::mulDiv(d("-125"), d("1"), d("10"), Rounding::HalfEven, 0), d("-12"));
    EXPECT_EQ(Decimal::mulDiv(d("2"), d("1"), d("3"), Rounding::HalfEven, 2), d("0.67"));
    EXPECT_THROW(Decimal::fromUnits(INT64_MAX) + d("1"), std::overflow_error);
}
