#include "customers/customer.h"

#include "platform/db/recordset.h"
#include "text/thai_text.h"

namespace tawela::customers {

namespace {

QString withoutLeadingSpaces(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return s.mid(i);
}

} // namespace

QString addressLine1(const Customer& c)
{
    return withoutLeadingSpaces(c.address + u' ' + c.moo);
}

QString addressLine2(const Customer& c)
{
    QString line = c.soi;
    if (!c.road.isEmpty())
        line += QStringLiteral("  ถนน") + c.road;
    if (!c.tumbol.isEmpty())
        line += (c.cityCall ? QStringLiteral("  แขวง") : QStringLiteral("  ตำบล")) + c.tumbol;
    return withoutLeadingSpaces(line);
}

QString addressLine3(const Customer& c)
{
    QString line =
        c.ampor.isEmpty()
            ? QStringLiteral(" ")
            : (c.cityCall ? QStringLiteral("  เขต") : QStringLiteral("  อำเภอ")) + c.ampor;
    line += (c.cityCall ? QStringLiteral("  ") : QStringLiteral("  จ.")) + c.province;
    line += u' ';
    line += c.zip.isEmpty() ? QStringLiteral(" ") : c.zip;
    return withoutLeadingSpaces(line);
}

QString displayNameLine(const Customer& c)
{
    if (c.sex.toUpper() == QLatin1String("OR"))
        return c.sname + u' ' + c.prename + c.name;
    return c.prename + c.name + u' ' + c.sname;
}

void deriveLines(Customer& c)
{
    c.fullAddress1 = addressLine1(c);
    c.fullAddress2 = addressLine2(c);
    c.spare3 = addressLine3(c);
    c.spare2 = displayNameLine(c);
}

void deriveAge(Customer& c, const QDate& today)
{
    if (!c.birthday.isValid()) {
        c.age = 0;
        c.monthBirth.clear();
        return;
    }
    c.age = text::ageInYears(c.birthday, today);
    c.monthBirth = text::thaiMonthName(c.birthday);
}

const QStringList& monthNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (int m = 1; m <= 12; ++m)
            n << text::thaiMonthName(m);
        return n;
    }();
    return names;
}

const QStringList& educationLevels()
{
    static const QStringList levels = {QStringLiteral("ประถม"), QStringLiteral("มัธยม"),
                                       QStringLiteral("ป. ตรี"), QStringLiteral("ป. โท"),
                                       QStringLiteral("ป. เอก")};
    return levels;
}

bool thaiIdValid(const QString& id)
{
    const QString digit = text::thaiIdCheckDigit(id);
    return !digit.isEmpty() && digit.back() == id.back();
}

QString shownText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return text::buddhistDateText(v.toDate());
    if (v.typeId() == qMetaTypeId<Decimal>())
        return v.value<Decimal>().toString();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

CustomerCard cardOfFound(const Customer& c, bool byCode)
{
    CustomerCard k;
    k.code = c.code;
    k.name = c.prename + c.name + u' ' + c.sname;
    k.age = QString::number(c.age);
    k.idNumber = c.idNumber;
    if (byCode) {
        k.address = c.fullAddress1;
        if (!c.fullAddress2.isEmpty())
            k.address += u' ' + c.fullAddress2;
        if (!c.spare3.isEmpty())
            k.address += u' ' + c.spare3;
    } else {
        k.address = c.fullAddress1 + u' ' + c.fullAddress2 + u' ' + c.spare3;
    }
    k.phone = c.homePhone;
    if (!c.mobile.isEmpty())
        k.phone += QStringLiteral(" , ") + c.mobile;
    return k;
}

CustomerCard cardOfPicked(const Customer& c)
{
    CustomerCard k;
    k.code = c.code;
    k.name = c.prename + c.name + u' ' + c.sname;
    k.age = QString::number(c.age);
    k.idNumber = c.idNumber;
    k.address = addressLine1(c) + u' ' + addressLine2(c) + u' ' + addressLine3(c);
    k.phone = c.homePhone + QStringLiteral("  ") + c.mobile;
    return k;
}

Customer readCustomer(const platform::db::Recordset& row)
{
    Customer c;
    platform::db::RowReader reader{row};
    mapCustomerColumns(reader, c);
    return c;
}

void writeCustomer(platform::db::Recordset& row, const Customer& given)
{
    // " 1 " would pass as a code other than "1" and find another customer.
    Customer c = given;
    c.code = c.code.trimmed();
    platform::db::RowWriter writer{row, row.isAdding()};
    mapCustomerColumns(writer, c);
}

void raiseVersion(platform::db::Recordset& row)
{
    row.setInteger(QStringLiteral("row_version"), row.integer(QStringLiteral("row_version")) + 1);
}

} // namespace tawela::customers
