#include "devices/id_card.h"

#include <algorithm>

#include "text/thai_text.h"

#include <QRegularExpression>

namespace tawela::devices {

namespace {

constexpr int FieldCount = 26;

// Day, month and Buddhist-era year of a card date; zero where the card has
// none (or the text is not a date).
struct CardDate {
    int day = 0, month = 0, year = 0;
    bool lifelong = false;
};

CardDate cardDate(const QString& text)
{
    CardDate d;
    if (text == u"99999999") {
        d.lifelong = true;
        return d;
    }
    static const QRegularExpression digits(QStringLiteral("^\\d{8}$"));
    if (!digits.match(text).hasMatch())
        return d;
    d.year = text.left(4).toInt();
    d.month = text.mid(4, 2).toInt();
    d.day = text.mid(6, 2).toInt();
    if (d.month > 12)
        d.month = 0;
    if (d.day > 31)
        d.day = 0;
    return d;
}

QString dateText(const QString& yyyymmdd, bool thai)
{
    static const char* const thaiMonths[] = {"ม.ค.", "ก.พ.", "มี.ค.", "เม.ย.", "พ.ค.", "มิ.ย.",
                                             "ก.ค.", "ส.ค.", "ก.ย.", "ต.ค.",  "พ.ย.", "ธ.ค."};
    const CardDate d = cardDate(yyyymmdd);
    if (d.lifelong)
        return thai ? QStringLiteral("ตลอดชีพ") : QStringLiteral("LIFE LONG");
    if (d.year == 0)
        return {};
    QStringList parts;
    if (d.day > 0 && d.month > 0)
        parts << QString::number(d.day);
    if (d.month > 0)
        parts << (thai ? QString::fromUtf8(thaiMonths[d.month - 1])
                       : text::englishMonthAbbreviation(d.month) +
                             (d.month == 5 ? QString() : QStringLiteral(".")));
    parts << QString::number(thai ? d.year : text::christianYear(d.year));
    return parts.join(u' ');
}

} // namespace

QString withoutPrefix(const QString& text, const QString& prefix)
{
    return text.startsWith(prefix) ? text.mid(prefix.size()).trimmed() : text;
}

bool IdCard::hasPhoto() const
{
    if (!photo.startsWith(QByteArray::fromHex("FFD8FF")))
        return false;
    // A JPEG start followed by nothing but one repeated byte is padding.
    const char fill = photo.size() > 3 ? photo.at(3) : 0;
    return std::any_of(photo.begin() + 3, photo.end(), [fill](char b) { return b != fill; });
}

bool IdCard::bangkok() const
{
    return province == u"กรุงเทพมหานคร";
}

QString IdCard::fieldText() const
{
    QStringList f(FieldCount);
    f[0] = idNumber;
    f[1] = thaiTitle;
    f[2] = thaiFirst;
    f[3] = thaiMiddle;
    f[4] = thaiLast;
    f[5] = englishTitle;
    f[6] = englishFirst;
    f[7] = englishMiddle;
    f[8] = englishLast;
    f[9] = birth;
    f[10] = sex;
    f[12] = issuer;
    f[14] = issued;
    f[15] = expires;
    f[17] = house;
    f[18] = moo;
    f[19] = lane;
    f[20] = soi;
    f[21] = road;
    f[22] = tumbol;
    f[23] = ampur;
    f[24] = province;
    f[25] = requestNumber;
    return f.join(u'#');
}

IdCard IdCard::fromFieldText(const QString& text)
{
    QStringList f = text.split(u'#');
    while (f.size() < FieldCount)
        f << QString();
    IdCard c;
    c.idNumber = f[0];
    c.thaiTitle = f[1];
    c.thaiFirst = f[2];
    c.thaiMiddle = f[3];
    c.thaiLast = f[4];
    c.englishTitle = f[5];
    c.englishFirst = f[6];
    c.englishMiddle = f[7];
    c.englishLast = f[8];
    c.birth = f[9];
    c.sex = f[10];
    c.issuer = f[12];
    c.issued = f[14];
    c.expires = f[15];
    c.house = f[17];
    c.moo = f[18];
    c.lane = f[19];
    c.soi = f[20];
    c.road = f[21];
    c.tumbol = f[22];
    c.ampur = f[23];
    c.province = f[24];
    c.requestNumber = f[25];
    return c;
}

bool idNumberValid(const QString& idNumber)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{13}$"));
    return digits.match(idNumber).hasMatch() &&
           text::thaiIdCheckDigit(idNumber) == idNumber.right(1);
}

QString cardText(const QByteArray& bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0)
            s += u' ';
        else if (b < 0x80)
            s += QChar(char16_t(b));
        else if ((b >= 0xA1 && b <= 0xDA) || (b >= 0xDF && b <= 0xFB))
            s += QChar(char16_t(0x0E00 + (b - 0xA0))); // TIS-620 lies on the Thai block in order
    }
    // Fields are padded with blanks or NUL bytes.
    qsizetype end = s.size();
    while (end > 0 && s[end - 1].isSpace())
        --end;
    s.truncate(end);
    return s.trimmed();
}

void splitName(const QString& field, QString& title, QString& first, QString& middle, QString& last)
{
    QStringList parts = field.split(u'#');
    while (parts.size() < 4)
        parts << QString();
    title = parts[0].trimmed();
    first = parts[1].trimmed();
    middle = parts[2].trimmed();
    last = parts.mid(3).join(u' ').trimmed();
}

void splitAddress(const QString& field, IdCard& card)
{
    QStringList parts = field.split(u'#');
    for (QString& p : parts)
        p = p.trimmed();
    while (parts.size() < 8)
        parts << QString();
    card.house = parts[0];
    card.moo = parts[1];
    card.lane.clear();
    card.soi.clear();
    card.road.clear();
    // Readers label the middle three differently: their prefixes decide,
    // and an unlabelled part keeps its place.
    QString* places[3] = {&card.lane, &card.soi, &card.road};
    for (int i = 0; i < 3; ++i) {
        const QString& p = parts[2 + i];
        if (p.isEmpty())
            continue;
        if (p.startsWith(u"ตรอก"))
            card.lane = p;
        else if (p.startsWith(u"ซอย"))
            card.soi = p;
        else if (p.startsWith(u"ถนน"))
            card.road = p;
        else if (places[i]->isEmpty())
            *places[i] = p;
    }
    card.tumbol = parts[5];
    card.ampur = parts[6];
    card.province = parts[7];
}

QString formattedIdNumber(const QString& id)
{
    if (id.size() != 13)
        return id;
    return id.left(1) + u' ' + id.mid(1, 4) + u' ' + id.mid(5, 5) + u' ' + id.mid(10, 2) + u' ' +
           id.right(1);
}

QString formattedRequestNumber(const QString& number)
{
    if (number.size() != 14)
        return number;
    return number.left(4) + u'-' + number.mid(4, 2) + u'-' + number.mid(6);
}

QString thaiCardDate(const QString& yyyymmdd)
{
    return dateText(yyyymmdd, true);
}

QString englishCardDate(const QString& yyyymmdd)
{
    return dateText(yyyymmdd, false);
}

QString sexText(const IdCard& card)
{
    return card.sex == u"1" ? QStringLiteral("ชาย") : QStringLiteral("หญิง");
}

QString addressText(const IdCard& card)
{
    QString tumbol = card.tumbol, ampur = card.ampur, province = card.province;
    if (!card.bangkok()) {
        if (!tumbol.isEmpty())
            tumbol = QStringLiteral("ต.") + withoutPrefix(tumbol, QStringLiteral("ตำบล"));
        if (!ampur.isEmpty())
            ampur = QStringLiteral("อ.") + withoutPrefix(ampur, QStringLiteral("อำเภอ"));
        if (!province.isEmpty())
            province = QStringLiteral("จ.") + withoutPrefix(province, QStringLiteral("จังหวัด"));
    }
    QStringList parts;
    for (const QString& p :
         {card.house, card.moo, card.lane, card.soi, card.road, tumbol, ampur, province})
        if (!p.isEmpty())
            parts << p;
    return parts.join(u' ');
}

QDate birthDate(const IdCard& card)
{
    const CardDate d = cardDate(card.birth);
    if (d.year == 0 || d.month == 0 || d.day == 0)
        return {};
    return QDate(text::christianYear(d.year), d.month, d.day);
}

int ageOn(const IdCard& card, const QDate& today)
{
    const CardDate d = cardDate(card.birth);
    if (d.year == 0)
        return 0;
    const QDate born(text::christianYear(d.year), d.month ? d.month : 1, d.day ? d.day : 1);
    return born.isValid() ? text::ageInYears(born, today) : 0;
}

} // namespace tawela::devices
