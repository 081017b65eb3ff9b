#include "platform/prompt.h"
#include "shop_builder.h"
#include "text/thai_text.h"

#include <gtest/gtest.h>

using namespace tawela;
using platform::Decimal;

using test::d;

namespace {} // namespace

TEST(BahtText, TheExamplesOfTheShop)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "ถ้วน"},
        {"1", "หนึ่งบาทถ้วน"},
        {"10", "สิบบาทถ้วน"},
        {"11", "สิบเอ็ดบาทถ้วน"},
        {"21", "ยี่สิบเอ็ดบาทถ้วน"},
        {"101", "หนึ่งร้อยเอ็ดบาทถ้วน"},
        {"211", "สองร้อยสิบเอ็ดบาทถ้วน"},
        {"1000000", "หนึ่งล้านบาทถ้วน"},
        {"1100000", "หนึ่งล้านหนึ่งแสนบาทถ้วน"},
        {"5.25", "ห้าบาทยี่สิบห้าสตางค์"},
        {"100.50", "หนึ่งร้อยบาทห้าสิบสตางค์"},
        {"11.01", "สิบเอ็ดบาทหนึ่งสตางค์"},
        {"0.21", "ยี่สิบเอ็ดสตางค์"},
        {"0.50", "ห้าสิบสตางค์"},
        {"3.999", "สี่บาทถ้วน"},
        // and more a shop writes every day
        {"1001", "หนึ่งพันเอ็ดบาทถ้วน"},
        {"9625", "เก้าพันหกร้อยยี่สิบห้าบาทถ้วน"},
        {"10375.5", "หนึ่งหมื่นสามร้อยเจ็ดสิบห้าบาทห้าสิบสตางค์"},
        {"20020", "สองหมื่นยี่สิบบาทถ้วน"},
        {"0.01", "หนึ่งสตางค์"},
        {"0.11", "สิบเอ็ดสตางค์"},
        {"0.005", "หนึ่งสตางค์"},
        {"0.004", "ถ้วน"},
        {"1000001", "หนึ่งล้านเอ็ดบาทถ้วน"},
        {"9999999.99", "เก้าล้านเก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าบาทเก้าสิบเก้าสตางค์"},
    };
    for (const auto& [amount, words] : cases)
        EXPECT_EQ(text::bahtText(d(amount)), QString::fromUtf8(words)) << amount;
}

TEST(BahtText, BeyondTenMillionAndBelowZero)
{
    EXPECT_EQ(text::bahtText(d("10000000")), QStringLiteral("สิบล้านบาทถ้วน"));
    EXPECT_EQ(text::bahtText(d("21000000")), QStringLiteral("ยี่สิบเอ็ดล้านบาทถ้วน"));
    EXPECT_EQ(text::bahtText(d("100000000")), QStringLiteral("หนึ่งร้อยล้านบาทถ้วน"));
    EXPECT_EQ(text::bahtText(d("101000011")), QStringLiteral("หนึ่งร้อยเอ็ดล้านสิบเอ็ดบาทถ้วน"));
    EXPECT_EQ(text::bahtText(d("1000000000000")), QStringLiteral("หนึ่งล้านล้านบาทถ้วน"));
    EXPECT_EQ(text::bahtText(d("-1500.25")), QStringLiteral("ลบหนึ่งพันห้าร้อยบาทยี่สิบห้าสตางค์"));
    EXPECT_EQ(text::bahtText(d("-0.001")), QStringLiteral("ถ้วน"));
}

TEST(BahtText, TypedTextUsesItsLeadingNumber)
{
    EXPECT_EQ(text::bahtText(QStringLiteral("1,500")), QStringLiteral("หนึ่งพันห้าร้อยบาทถ้วน"));
    EXPECT_EQ(text::bahtText(QStringLiteral("12abc")), QStringLiteral("สิบสองบาทถ้วน"));
    EXPECT_EQ(text::bahtText(QStringLiteral("abc")), QStringLiteral("ถ้วน"));
    // Rounded once at the satang, however many digits were typed.
    EXPECT_EQ(text::bahtText(QStringLiteral("1.00499")), QStringLiteral("หนึ่งบาทถ้วน"));
    EXPECT_EQ(text::bahtText(QStringLiteral("1.0049999")), QStringLiteral("หนึ่งบาทถ้วน"));
    EXPECT_EQ(text::bahtText(QStringLiteral("1.005")), QStringLiteral("หนึ่งบาทหนึ่งสตางค์"));
    EXPECT_EQ(text::bahtText(QStringLiteral("-2.345x")), QStringLiteral("ลบสองบาทสามสิบห้าสตางค์"));
}

TEST(ThaiText, DigitWordsAndMonths)
{
    EXPECT_EQ(text::thaiDigitWord(0), QString());
    EXPECT_EQ(text::thaiDigitWord(4), QStringLiteral("สี่"));
    EXPECT_EQ(text::thaiDigitWord(10), QString());
    EXPECT_EQ(text::thaiDigitWord(-1), QString());
    EXPECT_EQ(text::thaiMonthName(QDate(2024, 2, 29)), QStringLiteral("กุมภาพันธ์"));
    EXPECT_EQ(text::thaiMonthName(13), QString());
    EXPECT_EQ(text::thaiMonthName(QDate()), QString());
}

TEST(ThaiText, DateForms)
{
    EXPECT_EQ(text::thaiLongDate(QDate(2014, 1, 5)), QStringLiteral(" 5 มกราคม 2557"));
    EXPECT_EQ(text::thaiLongDate(QDate(2557, 1, 5)), QStringLiteral(" 5 มกราคม 2557"));
    EXPECT_EQ(text::thaiLongDate(QDate(2499, 12, 31)), QStringLiteral(" 31 ธันวาคม 3042"));
    EXPECT_EQ(text::sqlDateText(QDate(2013, 12, 31)), QStringLiteral("31/Dec/2013"));
    EXPECT_EQ(text::sqlDateText(QDate(2014, 1, 5)), QStringLiteral("5/Jan/2014"));
    EXPECT_EQ(text::sqlDateText(QDate()), QString());
}

TEST(ThaiText, AgeCountsYearsOf365Days)
{
    const QDate today(2026, 12, 9);
    EXPECT_EQ(text::ageInYears(today.addDays(-364), today), 0);
    EXPECT_EQ(text::ageInYears(today.addDays(-365), today), 1);
    // Leap days are not counted: 40 calendar years are 40*365+10 days.
    EXPECT_EQ(text::ageInYears(QDate(1986, 12, 9), today), 40);
    EXPECT_EQ(text::ageInYears(QDate(1986, 12, 19), today), 40);
    EXPECT_EQ(text::ageInYears(QDate(), today), 0);
}

TEST(ThaiText, IdCheckDigit)
{
    EXPECT_EQ(text::thaiIdCheckDigit(QStringLiteral("1234567890121")), QStringLiteral("1"));
    EXPECT_EQ(text::thaiIdCheckDigit(QStringLiteral("123456789012x")), QStringLiteral("1"));
    // Remainder 1 gives 0, remainder 2 gives 9: 1*13 = 13 = 11 + 2; 12 = 11 + 1.
    EXPECT_EQ(text::thaiIdCheckDigit(QStringLiteral("1000000000000")), QStringLiteral("9"));
    EXPECT_EQ(text::thaiIdCheckDigit(QStringLiteral("0100000000000")), QStringLiteral("0"));
    // A non-digit counts 0.
    EXPECT_EQ(text::thaiIdCheckDigit(QStringLiteral("a000000000000")), QStringLiteral("1"));
    for (const QString& wrong : {QStringLiteral("123456789012"), QStringLiteral("12345678901234")})
        EXPECT_EQ(text::thaiIdCheckDigit(wrong), QString());
    EXPECT_EQ(text::thaiIdLengthMessage(), QStringLiteral("ใส่ไม่ครบ 13 หลัก"));
}

TEST(ThaiText, ListAmounts)
{
    EXPECT_EQ(text::listAmountText(Decimal()), QStringLiteral(".00"));
    EXPECT_EQ(text::listAmountText(d("0.5")), QStringLiteral(".50"));
    EXPECT_EQ(text::listAmountText(d("1500")), QStringLiteral("1500.00"));
    EXPECT_EQ(text::listAmountText(d("123456.785")), QStringLiteral("123456.79"));
    EXPECT_EQ(text::listAmountText(d("-0.25")), QStringLiteral("-.25"));
}

TEST(ThaiText, BuddhistEraDatesAsStaffTypeThem)
{
    EXPECT_EQ(text::buddhistDateText(QDate(2025, 5, 14)), QStringLiteral("14/05/2568"));
    EXPECT_EQ(text::buddhistDateText(QDate()), QString());
    EXPECT_EQ(text::parseBuddhistDate(QStringLiteral("14/05/2568")), QDate(2025, 5, 14));
    EXPECT_EQ(text::parseBuddhistDate(QStringLiteral(" 1-1-69 ")), QDate(2026, 1, 1));
    EXPECT_EQ(text::parseBuddhistDate(QStringLiteral("29.2.2567")), QDate(2024, 2, 29));
    EXPECT_EQ(text::parseBuddhistDate(QStringLiteral("14/05/2025")), QDate(2025, 5, 14));
    for (const char* bad : {"29/2/2568", "32/1/2568", "14/13/2568", "14/05", "abc", "", "1/1/256"})
        EXPECT_FALSE(text::parseBuddhistDate(QString::fromLatin1(bad)).isValid()) << bad;
}
