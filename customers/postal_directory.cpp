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

} // namespace tawela::customers
