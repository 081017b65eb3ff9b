#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>
#include <ostream>

namespace tawela::platform {

// How a value that falls between two representable values is settled.
enum class Rounding {
    HalfEven,         // 12.5 -> 12, 13.5 -> 14 (interest and surcharges)
    HalfAwayFromZero, // 2.345 -> 2.35 (satang in printed amounts)
    TowardZero,       // plain cut
};

// An exact decimal with four places after the point, held as a 64-bit count of
// ten-thousandths. Every amount of money and every percentage in the program is
// one of these; binary floating point never takes part in a calculation.
// Four places is the scale money columns are stored with, and it covers the
// rates the shops type (1.25 % a month, 0.0333 % a day).
class Decimal {
public:
    static constexpr int Scale = 4;
    static constexpr std::int64_t Unit = 10000;

    constexpr Decimal() = default;

    static constexpr Decimal fromUnits(std::int64_t units)
    {
        Decimal d;
        d.m_units = units;
        return d;
    }
    static Decimal fromInt(std::int64_t whole);

    // Reads a plain decimal: optional blanks, an optional sign, digits with
    // optional comma grouping, an optional point and fraction. More than four
    // fraction digits are rounded half to even. Anything else gives nullopt.
    static std::optional<Decimal> parse(QStringView text);

    // Reads the longest numeric prefix of a typed field: "12abc" is 12,
    // "1,500" is 1500, text without a number is 0.
    static Decimal parseLeading(QStringView text);

    // A typed field read by its leading number, with what reading it would
    // have changed (see Typed).
    struct Typed;
    static Typed parseTyped(QStringView text);

    // a * b / c, computed exactly and rounded once to `places` (0 to 4).
    // Throws std::domain_error when c is zero and std::overflow_error when
    // the result does not fit.
    static Decimal mulDiv(Decimal a, Decimal b, Decimal c, Rounding mode, int places = Scale);

    constexpr std::int64_t units() const { return m_units; }
    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }

    // Rounds to the given number of places (0 to 4).
    Decimal rounded(int places, Rounding mode) const;

    // Whole part toward zero.
    std::int64_t truncatedToInt() const { return m_units / Unit; }

    // Shortest plain text: 9625, 10375.5, -2.25, 0.
    QString toString() const;
    // Fixed number of places with a point, no grouping: 1500.00, -3.50.
    QString toFixed(int places) const;

    Decimal operator-() const;
    Decimal operator+(Decimal other) const;
    Decimal operator-(Decimal other) const;
    Decimal operator*(Decimal other) const; // rounded half to even to four places
    Decimal& operator+=(Decimal other) { return *this = *this + other; }
    Decimal& operator-=(Decimal other) { return *this = *this - other; }

    constexpr auto operator<=>(const Decimal&) const = default;

private:
    std::int64_t m_units = 0;
};

// What reading a typed text would have changed: fraction digits past the
// fourth place that are not zero, or a value beyond the largest Decimal. The
// value is then the nearest one the type holds; callers refuse the text
// rather than keep it.
struct Decimal::Typed {
    enum class Problem { None, TooManyPlaces, OutOfRange };
    Decimal value;
    Problem problem = Problem::None;
};

// Lets test frameworks print a Decimal readably.
inline void PrintTo(const Decimal& d, std::ostream* os)
{
    *os << d.toString().toStdString();
}

} // namespace tawela::platform

Q_DECLARE_METATYPE(tawela::platform::Decimal)
