#pragma once

#include "platform/decimal.h"

#include <QDate>
#include <QString>

#include <cstdint>

// Thai words for amounts, Thai and English month names, the date forms the
// program prints and the check digit of a national ID number.
namespace tawela::text {

// The amount in Thai words, as contracts and receipts write it: brought to
// satang (half away from zero), then baht and satang ("ห้าบาทยี่สิบห้าสตางค์",
// "หนึ่งร้อยบาทถ้วน", below one baht the satang alone, 0 "ถ้วน"). Amounts of
// ten million and more read one ล้าน per six digits (สิบล้าน, หนึ่งร้อยล้าน); a
// negative amount reads ลบ and the words of its size.
QString bahtText(platform::Decimal amount);
// The same for an amount typed as text: its leading number counts.
QString bahtText(const QString& amount);

// "หนึ่ง" … "เก้า" for 1 to 9; empty for 0 and anything else.
QString thaiDigitWord(int digit);

// Whole years from the date to today, 365 days a year.
std::int16_t ageInYears(const QDate& date, const QDate& today = QDate::currentDate());

// "มกราคม" … "ธันวาคม"; empty for an invalid date or month.
QString thaiMonthName(const QDate& date);
QString thaiMonthName(int month);
// "Jan" … "Dec".
QString englishMonthAbbreviation(int month);

// Years shown to people are Buddhist-era: the Christian year and 543.
constexpr int BuddhistEraOffset = 543;
constexpr int buddhistYear(int christianYear)
{
    return christianYear + BuddhistEraOffset;
}
constexpr int christianYear(int buddhistYear)
{
    return buddhistYear - BuddhistEraOffset;
}

// " 5 มกราคม 2557": a leading blank, day, Thai month, Buddhist-era year (a
// year below 2500 is taken as Christian era and gets 543 added).
QString thaiLongDate(const QDate& date);

// "31/Dec/2013": for display and report formulas only; the date reaches SQL
// as a bound value, never as this text.
QString sqlDateText(const QDate& date);

// The expected 13th digit of a Thai national ID number, as text; empty for a
// text that is not exactly 13 characters long (the caller then shows
// thaiIdLengthMessage()). Characters other than 0-9 count as 0.
QString thaiIdCheckDigit(const QString& id);
// "ใส่ไม่ครบ 13 หลัก"
QString thaiIdLengthMessage();

// A date as staff read it: "14/05/2568" (day/month/Buddhist-era year).
QString buddhistDateText(const QDate& date);

// A date typed by staff: day/month/year with "/", "-" or "." between; a year
// of 2400 or more is Buddhist era (2568 is 2025), a smaller four-digit year is
// Christian era, and two digits are the end of a Buddhist-era year (68 is
// 2568). Anything else gives an invalid date.
QDate parseBuddhistDate(const QString& text);

// Amounts in lists: "#####.00" (no grouping, zero shows ".00").
QString listAmountText(platform::Decimal amount);
// Amounts on paper: "#,##0.00" ("12,345.50"), or with other places;
// satang halves away from zero.
QString groupedAmountText(platform::Decimal amount, int places = 2);

} // namespace tawela::text
