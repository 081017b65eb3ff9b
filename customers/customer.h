#pragma once

#include "platform/db/column_map.h"
#include "platform/decimal.h"

#include <QDate>
#include <QString>

#include <QStringList>
#include <optional>

namespace tawela::customers {

using platform::Decimal;

// One row of the customer table.
struct Customer {
    qint64 id = 0;
    QString code, prename, name, sname;
    QDate birthday;
    qint64 age = 0;
    QString idNumber;
    QString address, moo, soi, road, tumbol, ampor, province;
    QString mobile, homePhone, fax;
    QString user1, user2, user3;
    std::optional<Decimal> user4; // none until a number is typed
    QDate user5;
    QString email, note;
    QString image1, image2, image3, excelFile, dtIm1, dtIm2, dtIm3, excelName;
    Decimal income;
    bool cityCall = false; // the address is in Bangkok
    QString group, sex, education, status;
    QString spouse, spouseOcc, spouseDetail;
    QString spare1, spare2, spare3, fullAddress1, fullAddress2;
    QString zip, monthBirth;
    Decimal points;
    qint64 rowVersion = 0; // as read; a save checks it is still the stored one

    bool operator==(const Customer&) const = default;
};

constexpr auto Bangkok = u"กรุงเทพมหานคร";

// The derived lines, from the values as shown: line 1 (house and village),
// line 2 (lane, road, sub-district) and line 3 (district, province, postal
// code), with the Bangkok words when cityCall is set.
QString addressLine1(const Customer& c);
QString addressLine2(const Customer& c);
QString addressLine3(const Customer& c);
// The name as letters address it: contact person first for a juristic
// person (sex "OR"), otherwise title, name, one space, family name.
QString displayNameLine(const Customer& c);
// Writes the four derived lines into the record.
void deriveLines(Customer& c);
// Age and birth month from the birth date; 0 and empty without one.
void deriveAge(Customer& c, const QDate& today = QDate::currentDate());

// "มกราคม" … "ธันวาคม" and the education levels the screen offers.
const QStringList& monthNames();
const QStringList& educationLevels();

// "เลขบัตรประชาชน ถูกต้อง" or "เลขบัตรประชาชน ไม่ถูกต้อง"; a text that is not
// 13 characters long is never right.
bool thaiIdValid(const QString& id);

// A stored value as the customer screen's lists show it: dates in the
// Buddhist era, amounts as typed, yes/no as ใช่/ไม่ใช่.
QString shownText(const QVariant& value);

// What the contract screen's customer fields receive.
struct CustomerCard {
    QString code, name, age, idNumber, address, phone;
};
// A customer found by the contract screen's searches. Found by code the
// address leaves out empty lines; found any other way its lines are joined
// by single spaces whatever they hold.
CustomerCard cardOfFound(const Customer& c, bool byCode);

// A picture or attachment caption from its path: from the last separator before the
// path's first "." to the end; none when a folder name holds that dot.
std::optional<QString> captionFromPath(const QString& path);
// The customer screen's hand-back in pick mode, from the values as shown.
CustomerCard cardOfPicked(const Customer& c);

// Every column of the customer table and its member (platform/db/column_map.h).
// Columns this record's screen does not show keep what other writers stored.
template <typename Row, typename C> void mapCustomerColumns(Row& row, C& c)
{
    using platform::db::Write;
    row.integer(QStringLiteral("ID"), c.id, Write::Never);
    row.text(QStringLiteral("C_code"), c.code);
    row.text(QStringLiteral("C_prename"), c.prename);
    row.text(QStringLiteral("C_name"), c.name);
    row.text(QStringLiteral("C_Sname"), c.sname);
    row.date(QStringLiteral("birthday"), c.birthday);
    row.integer(QStringLiteral("C_age"), c.age);
    row.text(QStringLiteral("C_ID"), c.idNumber);
    row.text(QStringLiteral("C_address"), c.address);
    row.text(QStringLiteral("C_moo"), c.moo);
    row.text(QStringLiteral("C_soi"), c.soi);
    row.text(QStringLiteral("C_road"), c.road);
    row.text(QStringLiteral("C_tumbol"), c.tumbol);
    row.text(QStringLiteral("C_Ampor"), c.ampor);
    row.text(QStringLiteral("C_Province"), c.province);
    row.text(QStringLiteral("C_MP"), c.mobile);
    row.text(QStringLiteral("C_HP"), c.homePhone);
    row.text(QStringLiteral("C_FAX"), c.fax);
    row.text(QStringLiteral("user1"), c.user1);
    row.text(QStringLiteral("user2"), c.user2);
    row.text(QStringLiteral("user3"), c.user3);
    row.nullableDecimal(QStringLiteral("user4"), c.user4);
    row.date(QStringLiteral("user5"), c.user5);
    row.text(QStringLiteral("email"), c.email);
    row.text(QStringLiteral("Note"), c.note);
    // The pictures and the attachment: paths and names, saved with the record.
    row.text(QStringLiteral("image1"), c.image1);
    row.text(QStringLiteral("image2"), c.image2);
    row.text(QStringLiteral("image3"), c.image3);
    row.text(QStringLiteral("Excel_file"), c.excelFile);
    row.text(QStringLiteral("dt_im1"), c.dtIm1);
    row.text(QStringLiteral("dt_im2"), c.dtIm2);
    row.text(QStringLiteral("dt_im3"), c.dtIm3);
    row.text(QStringLiteral("Excel_name"), c.excelName);
    row.decimal(QStringLiteral("C_income"), c.income, Write::Never);
    row.boolean(QStringLiteral("city_call"), c.cityCall);
    row.text(QStringLiteral("class"), c.group);
    row.text(QStringLiteral("sex"), c.sex);
    row.text(QStringLiteral("education"), c.education);
    row.text(QStringLiteral("marrital"), c.status);
    row.text(QStringLiteral("spouse"), c.spouse);
    row.text(QStringLiteral("spouse_occ"), c.spouseOcc);
    row.text(QStringLiteral("spouse_detail"), c.spouseDetail);
    // The card reader's composed address.
    row.text(QStringLiteral("Spare1"), c.spare1, Write::Never);
    row.text(QStringLiteral("spare2"), c.spare2);
    row.text(QStringLiteral("spare3"), c.spare3);
    row.text(QStringLiteral("full_address1"), c.fullAddress1);
    row.text(QStringLiteral("full_address2"), c.fullAddress2);
    row.text(QStringLiteral("zip"), c.zip);
    row.text(QStringLiteral("month_birth"), c.monthBirth);
    row.decimal(QStringLiteral("points"), c.points, Write::Never);
    row.integer(QStringLiteral("row_version"), c.rowVersion, Write::Never);
}

// The longest text a column takes, in characters, and the caption the
// screen gives it; a limit of 0 for the lines derived on every save and the
// card's composed address, which follow from the limited parts.
struct TextColumn {
    QString column, caption;
    qsizetype limit = 0;
};
const QList<TextColumn>& textColumns();
// The column's entry (letter case does not count); none for a column
// without a limit.
const TextColumn* textColumn(const QString& column);
qsizetype textLimit(const QString& column);
// The first text of the record longer than its column takes.
struct TooLong {
    TextColumn column;
    qsizetype typed = 0; // characters
};
std::optional<TooLong> firstTooLong(const Customer& c);
// "ชื่อ / บริษัท ยาวเกิน 100 ตัวอักษร ..."
QString tooLongText(const TooLong& t);
// Throws a DbError saying so when a text of the record is too long.
void refuseTooLong(const Customer& c);

// The card reader's composed address, which the customer screen leaves as
// the card wrote it.
template <typename Row, typename C> void mapCardAddressColumns(Row& row, C& c)
{
    row.text(QStringLiteral("Spare1"), c.spare1);
}

Customer readCustomer(const platform::db::Recordset& row);
void writeCustomer(platform::db::Recordset& row, const Customer& c);
// Only the columns whose value differs from the row's (NULLs stay).
void writeCustomerChanges(platform::db::Recordset& row, const Customer& c);

} // namespace tawela::customers
