#pragma once

#include <QByteArray>
#include <QDate>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace tawela::devices {

// What a Thai national ID card holds, as the card gives it: texts trimmed,
// dates as "yyyymmdd" in the Buddhist era (a day or month may be "00",
// expiry "99999999" means lifelong), the address parts with their prefixes
// ("หมู่ที่ 5", "ซอย…", "ถนน…", "ตำบล…"/"แขวง…", "อำเภอ…"/"เขต…",
// "จังหวัด…" or "กรุงเทพมหานคร").
struct IdCard {
    QString idNumber;
    QString thaiTitle, thaiFirst, thaiMiddle, thaiLast;
    QString englishTitle, englishFirst, englishMiddle, englishLast;
    QString birth, sex, issuer, issued, expires;
    QString house, moo, lane, soi, road, tumbol, ampur, province;
    QString requestNumber;
    QByteArray photo; // JPEG

    // The card's fields separated by "#", each at its place: 0 ID number,
    // 1-4 Thai title, first, middle and last name, 5-8 the same in English,
    // 9 birth, 10 sex, 12 place of issue, 14 issue, 15 expiry, 17-24 the
    // address parts, 25 request number (11, 13 and 16 are empty).
    QString fieldText() const;
    static IdCard fromFieldText(const QString& text);

    bool bangkok() const;
    // A picture is there: the photo starts as a JPEG does and is more than
    // the padding a card without one returns (its length says nothing).
    bool hasPhoto() const;
};

// The last digit of a citizen ID checks the twelve before it.
bool idNumberValid(const QString& idNumber);

// Text read from the card: TIS-620 bytes to Unicode, trailing blanks and
// NUL bytes cut.
QString cardText(const QByteArray& bytes);

// The card's name field "title#first#middle#last".
void splitName(const QString& field, QString& title, QString& first, QString& middle,
               QString& last);
// The card's eight address parts; the middle three are placed by their
// prefixes ตรอก, ซอย, ถนน when they have them.
void splitAddress(const QString& field, IdCard& card);

// How the card screen shows the card.
QString formattedIdNumber(const QString& idNumber);    // "1 2345 67890 12 3"
QString formattedRequestNumber(const QString& number); // "1234-56-78901234"
QString thaiCardDate(const QString& yyyymmdd);         // "5 ม.ค. 2530"
QString englishCardDate(const QString& yyyymmdd);      // "5 Jan. 1987"
QString sexText(const IdCard& card);                   // "ชาย" / "หญิง"
// "ต.", "อ.", "จ." forms outside Bangkok; the parts as they stand in Bangkok.
QString addressText(const IdCard& card);
// The birth date, when the card gives day and month; otherwise invalid.
QDate birthDate(const IdCard& card);
// Age in whole years; a missing day or month counts as the first.
int ageOn(const IdCard& card, const QDate& today);

// A prefix cut from the front of a card text when it is there ("ตำบลบ้านเป็ด" → "บ้านเป็ด").
QString withoutPrefix(const QString& text, const QString& prefix);

} // namespace tawela::devices

Q_DECLARE_METATYPE(tawela::devices::IdCard)
