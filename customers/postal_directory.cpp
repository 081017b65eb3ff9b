#include "customers/postal_directory.h"

#include <QSqlQuery>

namespace tawela::customers {

using platform::db::quoteName;

PostalDirectory::PostalDirectory(std::shared_ptr<platform::db::Database> customer)
    : m_db(std::move(customer))
{}

QStringList PostalDirectory::names(const QString& column, const QString& whereColumn,
                                   const QString& value) const
{
    const QString c = quoteName(column);
    QString sql = QStringLiteral("SELECT DISTINCT ") + c +
                  QStringLiteral(" FROM Post_code WHERE ") + c + QStringLiteral(" <> ''");
    QVariantList binds;
    if (!value.isEmpty()) {
        sql += QStringLiteral(" AND ") + quoteName(whereColumn) + QStringLiteral(" = ?");
        binds << value;
    }
    sql += QStringLiteral(" ORDER BY ") + c + m_db->dialect().thaiOrder();
    QStringList out;
    for (QSqlQuery q = m_db->exec(sql, binds); q.next();)
        out << q.value(0).toString();
    return out;
}

QStringList PostalDirectory::provinces() const
{
    return names(QStringLiteral("Province"), QString(), QString());
}

QStringList PostalDirectory::districts(const QString& province) const
{
    return names(QStringLiteral("District"), QStringLiteral("Province"), province);
}

QList<SubDistrict> PostalDirectory::subDistricts(const QString& district) const
{
    QString sql = QStringLiteral("SELECT DISTINCT Sub_district, Post_code FROM Post_code WHERE "
                                 "Sub_district <> ''");
    QVariantList binds;
    if (!district.isEmpty()) {
        sql += QStringLiteral(" AND District = ?");
        binds << district;
    }
    sql += QStringLiteral(" ORDER BY Sub_district") + m_db->dialect().thaiOrder() +
           QStringLiteral(", Post_code");
    QList<SubDistrict> out;
    for (QSqlQuery q = m_db->exec(sql, binds); q.next();)
        out << SubDistrict{q.value(0).toString(), q.value(1).toString()};
    return out;
}

std::optional<QString> PostalDirectory::postCodeOf(const QString& district,
                                                   const QString& subDistrict) const
{
    const QVariant code =
        m_db->scalar(QStringLiteral("SELECT Post_code FROM Post_code WHERE Sub_district = ? AND "
                                    "District = ? ORDER BY rowid LIMIT 1"),
                     {subDistrict, district});
    if (!code.isValid() || code.toString().isEmpty())
        return std::nullopt;
    return code.toString();
}

QList<Place> PostalDirectory::placesOf(const QString& postCode) const
{
    QList<Place> out;
    for (QSqlQuery q = m_db->exec(
             QStringLiteral("SELECT Province, District, Sub_district FROM Post_code WHERE "
                            "Post_code = ? ORDER BY Province") +
                 m_db->dialect().thaiOrder() + QStringLiteral(", District") +
                 m_db->dialect().thaiOrder() + QStringLiteral(", Sub_district") +
                 m_db->dialect().thaiOrder(),
             {postCode.trimmed()});
         q.next();)
        out << Place{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
    return out;
}

std::optional<PostalDirectory::Mismatch>
PostalDirectory::mismatch(const QString& provinceText, const QString& districtText,
                          const QString& subDistrictText, const QString& postCodeText) const
{
    const QString province = provinceText.trimmed(), district = districtText.trimmed(),
                  subDistrict = subDistrictText.trimmed(), postCode = postCodeText.trimmed();
    // Rows of the directory where each given part (and every part before it) matches.
    const auto rows = [this](const QList<QPair<const char*, QString>>& parts) {
        QStringList where;
        QVariantList binds;
        for (const auto& [column, value] : parts) {
            where << QLatin1String(column) + QStringLiteral(" = ?");
            binds << value;
        }
        return m_db
            ->scalar(QStringLiteral("SELECT count(*) FROM Post_code WHERE ") +
                         where.join(QStringLiteral(" AND ")),
                     binds)
            .toLongLong();
    };
    using Part = Mismatch::Part;
    if (province.isEmpty() || rows({{"Province", province}}) == 0)
        return std::nullopt;
    if (!district.isEmpty() && rows({{"Province", province}, {"District", district}}) == 0)
        return Mismatch{Part::District, QStringLiteral("เขต/อำเภอ %1 ไม่อยู่ในจังหวัด %2 "
                                                       "ตามทะเบียนรหัสไปรษณีย์ กรุณาเลือกใหม่")
                                            .arg(district, province)};
    if (!district.isEmpty() && !subDistrict.isEmpty() &&
        rows({{"Province", province}, {"District", district}, {"Sub_district", subDistrict}}) == 0)
        return Mismatch{Part::SubDistrict, QStringLiteral("แขวง/ตำบล %1 ไม่อยู่ในเขต/อำเภอ %2 "
                                                          "จังหวัด %3 ตามทะเบียนรหัสไปรษณีย์ กรุณาเลือกใหม่")
                                               .arg(subDistrict, district, province)};
    if (!postCode.isEmpty()) {
        QList<QPair<const char*, QString>> place{{"Province", province}};
        if (!district.isEmpty())
            place << qMakePair("District", district);
        if (!district.isEmpty() && !subDistrict.isEmpty())
            place << qMakePair("Sub_district", subDistrict);
        const QString where = QStringList{subDistrict, district, province}.join(u' ').trimmed();
        place << qMakePair("Post_code", postCode);
        if (rows(place) == 0)
            return Mismatch{Part::PostCode,
                            QStringLiteral("รหัสไปรษณีย์ %1 ไม่ใช่ของ %2 ตามทะเบียนรหัสไปรษณีย์")
                                .arg(postCode, where.simplified())};
    }
    return std::nullopt;
}

} // namespace tawela::customers
