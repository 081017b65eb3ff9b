#include "platform/decimal.h"

#include <algorithm>

#include <limits>
#include <stdexcept>

namespace tawela::platform {

namespace {

__extension__ using Int128 = __int128;

constexpr std::int64_t pow10(int n)
{
    std::int64_t r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

// Divides with the given rounding; the divisor must be positive.
Int128 divideRounded(Int128 numerator, Int128 divisor, Rounding mode)
{
    Int128 q = numerator / divisor;
    Int128 r = numerator % divisor;
    if (r == 0 || mode == Rounding::TowardZero)
        return q;
    Int128 absR = r < 0 ? -r : r;
    Int128 twice = absR * 2;
    bool awayFromZero = false;
    if (twice > divisor)
        awayFromZero = true;
    else if (twice == divisor)
        awayFromZero = mode == Rounding::HalfAwayFromZero || (q % 2 != 0);
    if (awayFromZero)
        q += numerator < 0 ? -1 : 1;
    return q;
}

std::int64_t narrow(Int128 v)
{
    if (v > std::numeric_limits<std::int64_t>::max() ||
        v < std::numeric_limits<std::int64_t>::min())
        throw std::overflow_error("decimal overflow");
    return static_cast<std::int64_t>(v);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Parses digits with optional comma grouping and an optional fraction from
// text[pos...]; stops at the first character that cannot continue a number.
// Returns false when no digit was read.
bool readNumber(QStringView text, qsizetype& pos, Int128& scaled, bool& overflow,
                bool* lostPlaces = nullptr)
{
    Int128 whole = 0;
    bool anyDigit = false;
    overflow = false;
    const Int128 limit = Int128(std::numeric_limits<std::int64_t>::max());
    qsizetype i = pos;
    while (i < text.size()) {
        QChar c = text[i];
        if (isDigit(c)) {
            whole = whole * 10 + (c.unicode() - u'0');
            if (whole > limit)
                overflow = true, whole = limit;
            anyDigit = true;
            ++i;
        } else if (c == u',' && anyDigit && i + 1 < text.size() && isDigit(text[i + 1])) {
            ++i; // grouping comma between digits
        } else {
            break;
        }
    }
    Int128 fraction = 0;
    int fractionDigits = 0;
    int roundDigit = -1;
    bool stickyNonZero = false;
    if (i < text.size() && text[i] == u'.' && i + 1 < text.size() && isDigit(text[i + 1])) {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            int d = text[i].unicode() - u'0';
            if (fractionDigits < Decimal::Scale) {
                fraction = fraction * 10 + d;
                ++fractionDigits;
            } else if (roundDigit < 0) {
                roundDigit = d;
            } else if (d != 0) {
                stickyNonZero = true;
            }
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return false;
    if (lostPlaces)
        *lostPlaces = roundDigit > 0 || stickyNonZero;
    while (fractionDigits < Decimal::Scale) {
        fraction *= 10;
        ++fractionDigits;
    }
    scaled = whole * Decimal::Unit + fraction;
    // Half to even on the digits past the fourth place.
    if (roundDigit > 5 || (roundDigit == 5 && (stickyNonZero || scaled % 2 != 0)))
        scaled += 1;
    pos = i;
    return true;
}

} // namespace

Decimal Decimal::fromInt(std::int64_t whole)
{
    return fromUnits(narrow(Int128(whole) * Unit));
}

namespace {

// A typed text read once for every reader: its sign, its leading number,
// whether the number was all of the text, and what reading it lost.
struct Reading {
    bool number = false;   // a digit was read
    bool complete = false; // nothing follows the number
    bool tooBig = false;
    bool lostPlaces = false;
    bool negative = false;
    Int128 scaled = 0;
};

Reading readText(QStringView text)
{
    Reading r;
    QStringView t = text.trimmed();
    qsizetype pos = 0;
    if (pos < t.size() && (t[pos] == u'-' || t[pos] == u'+')) {
        r.negative = t[pos] == u'-';
        ++pos;
    }
    bool overflow = false;
    if (pos < t.size() && t[pos] == u'.') {
        // ".5" is a number too
        const QString withZero = QStringLiteral("0") + t.mid(pos).toString();
        qsizetype p2 = 0;
        r.number = readNumber(withZero, p2, r.scaled, overflow, &r.lostPlaces);
        r.complete = p2 == withZero.size();
    } else {
        r.number = readNumber(t, pos, r.scaled, overflow, &r.lostPlaces);
        r.complete = pos == t.size();
    }
    r.tooBig = overflow || r.scaled > Int128(std::numeric_limits<std::int64_t>::max());
    return r;
}

} // namespace

std::optional<Decimal> Decimal::parse(QStringView text)
{
    const Reading r = readText(text);
    if (!r.number || !r.complete || r.tooBig)
        return std::nullopt;
    return fromUnits(static_cast<std::int64_t>(r.negative ? -r.scaled : r.scaled));
}

Decimal Decimal::parseLeading(QStringView text)
{
    return parseTyped(text).value;
}

Decimal::Typed Decimal::parseTyped(QStringView text)
{
    const Reading r = readText(text);
    if (!r.number)
        return Typed{};
    Typed typed;
    Int128 scaled = r.scaled;
    if (r.tooBig) {
        scaled = std::numeric_limits<std::int64_t>::max();
        typed.problem = Typed::Problem::OutOfRange;
    } else if (r.lostPlaces) {
        typed.problem = Typed::Problem::TooManyPlaces;
    }
    typed.value = fromUnits(static_cast<std::int64_t>(r.negative ? -scaled : scaled));
    return typed;
}

Decimal Decimal::mulDiv(Decimal a, Decimal b, Decimal c, Rounding mode, int places)
{
    if (c.m_units == 0)
        throw std::domain_error("division by zero");
    places = std::clamp(places, 0, Scale);
    // In units of 1/U: (a/U) * (b/U) / (c/U) * U = a*b/c; rounded once, at
    // the place asked for.
    const Int128 step = pow10(Scale - places);
    Int128 numerator = Int128(a.m_units) * b.m_units;
    Int128 divisor = Int128(c.m_units) * step;
    if (divisor < 0) {
        numerator = -numerator;
        divisor = -divisor;
    }
    return fromUnits(narrow(divideRounded(numerator, divisor, mode) * step));
}

Decimal Decimal::rounded(int places, Rounding mode) const
{
    if (places >= Scale)
        return *this;
    if (places < 0)
        places = 0;
    const std::int64_t step = pow10(Scale - places);
    return fromUnits(narrow(divideRounded(m_units, step, mode) * step));
}

QString Decimal::toString() const
{
    QString fixed = toFixed(Scale);
    while (fixed.endsWith(u'0'))
        fixed.chop(1);
    if (fixed.endsWith(u'.'))
        fixed.chop(1);
    return fixed;
}

QString Decimal::toFixed(int places) const
{
    if (places < 0)
        places = 0;
    if (places > Scale)
        places = Scale;
    const std::int64_t step = pow10(Scale - places);
    Int128 v = divideRounded(m_units, step, Rounding::HalfAwayFromZero);
    bool negative = v < 0;
    if (negative)
        v = -v;
    const Int128 div = pow10(places);
    auto whole = static_cast<unsigned long long>(v / div);
    auto frac = static_cast<unsigned long long>(v % div);
    QString out = negative ? QStringLiteral("-") : QString();
    out += QString::number(whole);
    if (places > 0)
        out += u'.' + QStringLiteral("%1").arg(frac, places, 10, QChar(u'0'));
    return out;
}

Decimal Decimal::operator-() const
{
    return fromUnits(narrow(-Int128(m_units)));
}

Decimal Decimal::operator+(Decimal other) const
{
    return fromUnits(narrow(Int128(m_units) + other.m_units));
}

Decimal Decimal::operator-(Decimal other) const
{
    return fromUnits(narrow(Int128(m_units) - other.m_units));
}

Decimal Decimal::operator*(Decimal other) const
{
    return fromUnits(
        narrow(divideRounded(Int128(m_units) * other.m_units, Unit, Rounding::HalfEven)));
}

} // namespace tawela::platform
