#pragma once

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tawela::customers {

// A sub-district as the address lists show it: its name and postal code.
struct SubDistrict {
    QString name;
    QString postCode;
};

// A place a postal code belongs to.
struct Place {
    QString province;
    QString district;
    QString subDistrict;
};

// The address lookups of the customer screen over the postal-code directory
// (Post_code of the customer database): province, then district, then
// sub-district with its postal code, and back from a postal code. Lists are
// in Thai dictionary order and hold each name once; every value is bound.
class PostalDirectory {
public:
    explicit PostalDirectory(std::shared_ptr<platform::db::Database> customer);

    QStringList provinces() const;
    // The districts of a province; of the whole country for an empty one ("All").
    QStringList districts(const QString& province = QString()) const;
    // The sub-districts of a district; of the whole country for an empty one.
    QList<SubDistrict> subDistricts(const QString& district = QString()) const;
    // The postal code of a sub-district; a name found in several districts
    // is told apart by the district.
    std::optional<QString> postCodeOf(const QString& district, const QString& subDistrict) const;
    // Where a postal code is, for filling the address back from it.
    QList<Place> placesOf(const QString& postCode) const;

    // Why the parts of an address do not belong together in the directory
    // (the shop's own rows included), naming the part; nullopt when they
    // do. Names the directory does not know (a province abroad, a
    // directory without rows) are not judged: they stay as typed.
    struct Mismatch {
        enum class Part { District, SubDistrict, PostCode } part;
        QString message;
    };
    std::optional<Mismatch> mismatch(const QString& province, const QString& district,
                                     const QString& subDistrict, const QString& postCode) const;

private:
    QStringList names(const QString& column, const QString& whereColumn,
                      const QString& value) const;

    std::shared_ptr<platform::db::Database> m_db;
};

} // namespace tawela::customers
