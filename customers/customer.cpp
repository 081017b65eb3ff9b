#include "customers/customer.h"

#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "text/thai_text.h"

#include <QLocale>

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
        return v.toBool() ? QStringLiteral("ใช่") : QStringLiteral("ไม่ใช่");
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

const QList<TextColumn>& textColumns()
{
    static const QList<TextColumn> columns = [] {
        const std::tuple<const char*, const char*, qsizetype> table[] = {
            {"C_code", "รหัสลูกค้า", 20},
            {"C_prename", "คำนำหน้าชื่อ", 50},
            {"C_name", "ชื่อ / บริษัท", 100},
            {"C_Sname", "นามสกุล/ผู้ติดต่อ", 100},
            {"C_ID", "เลขบัตร ปชช./TAX ID", 20},
            {"C_address", "ที่อยู่ เลขที่ หมู่ที่", 100},
            {"C_moo", "หมู่บ้าน / อาคาร", 100},
            {"C_soi", "ตรอก / ซอย", 100},
            {"C_road", "ถนน", 100},
            {"C_tumbol", "แขวง/ตำบล", 100},
            {"C_Ampor", "เขต/อำเภอ", 100},
            {"C_Province", "จังหวัด", 100},
            {"C_MP", "โทรศัพท์มือถือ", 50},
            {"C_HP", "โทรศัพท์", 50},
            {"C_FAX", "โทรสาร", 50},
            {"user1", "user1", 255},
            {"user2", "user2", 255},
            {"user3", "user3", 255},
            {"email", "E mail", 255},
            {"Note", "บันทึกเพิ่มเติม", 2000},
            {"image1", "รูปที่ 1", 1024},
            {"image2", "รูปที่ 2", 1024},
            {"image3", "รูปที่ 3", 1024},
            {"Excel_file", "แฟ้มแนบ", 1024},
            {"dt_im1", "ชื่อรูปที่ 1", 255},
            {"dt_im2", "ชื่อรูปที่ 2", 255},
            {"dt_im3", "ชื่อรูปที่ 3", 255},
            {"Excel_name", "ชื่อแฟ้มแนบ", 255},
            {"class", "กลุ่ม", 100},
            {"sex", "เพศ", 20},
            {"education", "การศึกษา", 50},
            {"marrital", "สถานะลูกค้า", 100},
            {"spouse", "คู่สมรส ชื่อ นามสกุล", 100},
            {"spouse_occ", "คู่สมรส อาชีพ", 100},
            {"spouse_detail", "บันทึกเพิ่มเติม คู่สมรส", 2000},
            {"zip", "รหัสไปรษณีย์", 5},
            {"month_birth", "เดือนเกิด", 20},
        };
        QList<TextColumn> out;
        for (const auto& [column, caption, limit] : table)
            out << TextColumn{QString::fromLatin1(column), QString::fromUtf8(caption), limit};
        return out;
    }();
    return columns;
}

const TextColumn* textColumn(const QString& column)
{
    for (const TextColumn& c : textColumns())
        if (c.column.compare(column, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

qsizetype textLimit(const QString& column)
{
    const TextColumn* c = textColumn(column);
    return c ? c->limit : 0;
}

namespace {

// Walks the record's texts through its column map.
struct LengthCheck {
    std::optional<TooLong> found;
    void text(const QString& column, const QString& value, platform::db::Write = {})
    {
        if (found)
            return;
        if (const TextColumn* c = textColumn(column); c && value.size() > c->limit)
            found = TooLong{*c, value.size()};
    }
    template <typename T> void integer(const QString&, const T&, platform::db::Write = {}) {}
    template <typename T> void boolean(const QString&, const T&, platform::db::Write = {}) {}
    template <typename T> void decimal(const QString&, const T&, platform::db::Write = {}) {}
    template <typename T> void nullableDecimal(const QString&, const T&, platform::db::Write = {})
    {}
    template <typename T> void date(const QString&, const T&, platform::db::Write = {}) {}
};

} // namespace

std::optional<TooLong> firstTooLong(const Customer& c)
{
    LengthCheck check;
    mapCustomerColumns(check, c);
    return check.found;
}

QString tooLongText(const TooLong& t)
{
    const QLocale digits(QLocale::English);
    return QStringLiteral("%1 ยาวเกิน %2 ตัวอักษร (มี %3 ตัวอักษร) กรุณาตัดให้สั้นลงก่อนจัดเก็บ")
        .arg(t.column.caption, digits.toString(t.column.limit), digits.toString(t.typed));
}

void refuseTooLong(const Customer& c)
{
    if (const auto t = firstTooLong(c))
        throw platform::db::DbError(platform::db::error_number::TypeMismatch, tooLongText(*t));
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

void writeCustomerChanges(platform::db::Recordset& row, const Customer& given)
{
    Customer c = given;
    c.code = c.code.trimmed();
    platform::db::RowWriter writer{row, false, nullptr, true};
    mapCustomerColumns(writer, c);
}

} // namespace tawela::customers
