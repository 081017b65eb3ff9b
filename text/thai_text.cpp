#include "text/thai_text.h"

#include <QRegularExpression>

namespace tawela::text {

using platform::Decimal;
using platform::Rounding;

namespace {

const char* const DigitWords[] = {"", "หนึ่ง", "สอง", "สาม", "สี่", "ห้า", "หก", "เจ็ด", "แปด", "เก้า"};
const char* const PlaceWords[] = {"", "สิบ", "ร้อย", "พัน", "หมื่น", "แสน"};

// Words of a number below a million. unitsAfterHigher: a higher digit stands
// before the units, so a units 1 reads เอ็ด.
QString belowMillion(std::int64_t n, bool higherDigitAbove)
{
    QString out;
    const int units = int(n % 10);
    const bool anyAbove = higherDigitAbove || n >= 10;
    for (int place = 5; place >= 1; --place) {
        std::int64_t p = 1;
        for (int i = 0; i < place; ++i)
            p *= 10;
        const int d = int(n / p % 10);
        if (d == 0)
            continue;
        if (place == 1) {
            if (d == 1)
                out += QStringLiteral("สิบ");
            else if (d == 2)
                out += QStringLiteral("ยี่สิบ");
            else
                out += thaiDigitWord(d) + QStringLiteral("สิบ");
        } else {
            out += thaiDigitWord(d) + QString::fromUtf8(PlaceWords[place]);
        }
    }
    if (units == 1 && anyAbove)
        out += QStringLiteral("เอ็ด");
    else
        out += thaiDigitWord(units);
    return out;
}

QString bahtWords(std::int64_t n)
{
    if (n < 1000000)
        return belowMillion(n, false);
    const std::int64_t high = n / 1000000;
    const std::int64_t low = n % 1000000;
    QString out = bahtWords(high) + QStringLiteral("ล้าน");
    if (low > 0)
        out += belowMillion(low, true);
    return out;
}

QString satangWords(int satang)
{
    if (satang == 0)
        return QStringLiteral("ถ้วน");
    const int u = satang % 10;
    const int t = satang / 10;
    QString out;
    if (t == 1)
        out = QStringLiteral("สิบ");
    else if (t == 2)
        out = QStringLiteral("ยี่สิบ");
    else if (t != 0)
        out = thaiDigitWord(t) + QStringLiteral("สิบ");
    out += (u == 1 && satang > 10) ? QStringLiteral("เอ็ด") : thaiDigitWord(u);
    return out + QStringLiteral("สตางค์");
}

} // namespace

QString thaiDigitWord(int digit)
{
    if (digit < 0 || digit > 9)
        return {};
    return QString::fromUtf8(DigitWords[digit]);
}

QString bahtText(Decimal amount)
{
    const Decimal rounded = amount.rounded(2, Rounding::HalfAwayFromZero);
    if (rounded.isNegative())
        return QStringLiteral("ลบ") + bahtText(-rounded);
    const std::int64_t satangTotal = rounded.units() / (Decimal::Unit / 100);
    const std::int64_t baht = satangTotal / 100;
    const int satang = int(satangTotal % 100);
    if (baht < 1)
        return satangWords(satang);
    return bahtWords(baht) + QStringLiteral("บาท") + satangWords(satang);
}

QString bahtText(const QString& amount)
{
    // Rounded once, at the satang: only the third fraction digit decides
    // (half away from zero), so the digits past it are dropped before the
    // text is read. Reading all of them first would round at the fourth
    // place and then again at the second (1.00499 would become 1.01).
    QString cut = amount.trimmed();
    const qsizetype point = cut.indexOf(u'.');
    if (point >= 0) {
        qsizetype end = point + 1;
        while (end < cut.size() && end <= point + 3 && cut[end].isDigit())
            ++end;
        cut.truncate(end);
    }
    return bahtText(Decimal::parseLeading(cut));
}

std::int16_t ageInYears(const QDate& date, const QDate& today)
{
    if (!date.isValid() || !today.isValid())
        return 0;
    return std::int16_t(date.daysTo(today) / 365);
}

QString thaiMonthName(int month)
{
    static const char* const names[] = {"มกราคม",  "กุมภาพันธ์", "มีนาคม",    "เมษายน",
                                        "พฤษภาคม", "มิถุนายน",  "กรกฎาคม",  "สิงหาคม",
                                        "กันยายน",  "ตุลาคม",   "พฤศจิกายน", "ธันวาคม"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(names[month - 1]);
}

QString thaiMonthName(const QDate& date)
{
    return date.isValid() ? thaiMonthName(date.month()) : QString();
}

QString englishMonthAbbreviation(int month)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(names[month - 1]);
}

QString thaiLongDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    const int year = date.year() < 2500 ? buddhistYear(date.year()) : date.year();
    return u' ' + QString::number(date.day()) + u' ' + thaiMonthName(date) + u' ' +
           QString::number(year);
}

QString sqlDateText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QString::number(date.day()) + u'/' + englishMonthAbbreviation(date.month()) + u'/' +
           QString::number(date.year());
}

QString thaiIdLengthMessage()
{
    return QStringLiteral("ใส่ไม่ครบ 13 หลัก");
}

QString thaiIdCheckDigit(const QString& id)
{
    if (id.size() != 13)
        return {};
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        const QChar c = id[i];
        const int value = (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
        sum += value * (13 - i);
    }
    return QString::number((11 - sum % 11) % 10);
}

QString buddhistDateText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(buddhistYear(date.year()));
}

QDate parseBuddhistDate(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{2}|\\d{4})\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year = christianYear(2500 + year);
    else if (year >= 2400)
        year = christianYear(year);
    return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

QString groupedAmountText(Decimal amount, int places)
{
    QString s = amount.rounded(places, platform::Rounding::HalfAwayFromZero).toFixed(places);
    const qsizetype point = s.indexOf(u'.');
    const qsizetype end = point < 0 ? s.size() : point;
    const qsizetype first = s.startsWith(u'-') ? 1 : 0;
    for (qsizetype i = end - 3; i > first; i -= 3)
        s.insert(i, u',');
    return s;
}

QString listAmountText(Decimal amount)
{
    QString s = amount.toFixed(2);
    // "#####.00" drops the lone zero before the point.
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

} // namespace tawela::text
