// The address fields: the province, district and sub-district lists, the
// postal code, and the shop's own address copied in.
#include "customers/customer_form.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"

#include <algorithm>

namespace tawela::customers {

using platform::db::DbError;

void CustomerAddress::provinceChosen(const QString& province)
{
    const bool changed = province != m_form.customer.province;
    m_form.customer.province = province;
    m_form.customer.cityCall = province == Bangkok;
    try {
        districts = m_directory.districts(province);
        // A district of another province, its sub-district and postal code
        // would make an address of two places: they go with the province.
        if (changed && !districts.contains(m_form.customer.ampor)) {
            m_form.customer.ampor.clear();
            m_form.customer.tumbol.clear();
            m_form.customer.zip.clear();
            subDistricts.clear();
        }
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerAddress::districtChosen(const QString& district)
{
    const bool changed = district != m_form.customer.ampor;
    m_form.customer.ampor = district;
    try {
        subDistricts = m_directory.subDistricts(district);
        const bool belongs =
            std::any_of(subDistricts.begin(), subDistricts.end(),
                        [this](const SubDistrict& s) { return s.name == m_form.customer.tumbol; });
        if (changed && !belongs) {
            m_form.customer.tumbol.clear();
            m_form.customer.zip.clear();
        }
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerAddress::subDistrictChosen(const QString& subDistrict)
{
    m_form.customer.tumbol = subDistrict;
    try {
        if (auto code = m_directory.postCodeOf(m_form.customer.ampor, subDistrict))
            m_form.customer.zip = *code;
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerAddress::allDistricts()
{
    try {
        const QStringList all = m_directory.districts();
        if (all.isEmpty())
            m_form.customer.ampor.clear();
        else
            districts = all;
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerAddress::allSubDistricts()
{
    try {
        const QList<SubDistrict> all = m_directory.subDistricts();
        if (all.isEmpty())
            m_form.customer.tumbol.clear();
        else
            subDistricts = all;
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerAddress::postCodeEntered()
{
    QList<Place> places;
    try {
        places = m_directory.placesOf(m_form.customer.zip);
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
        return;
    }
    if (places.isEmpty())
        return;
    auto same = [&places](QString Place::*part) {
        for (const Place& p : places)
            if (p.*part != places.first().*part)
                return false;
        return true;
    };
    if (same(&Place::province)) {
        m_form.customer.province = places.first().province;
        m_form.customer.cityCall = m_form.customer.province == Bangkok;
        districts = m_directory.districts(m_form.customer.province);
    }
    if (same(&Place::district)) {
        m_form.customer.ampor = places.first().district;
    }
    subDistricts.clear();
    for (const Place& p : places)
        subDistricts << SubDistrict{p.subDistrict, m_form.customer.zip};
    if (places.size() == 1)
        m_form.customer.tumbol = places.first().subDistrict;
}

void CustomerAddress::fillFromShop(ShopPart part)
{
    admin::Settings shop;
    try {
        shop = admin::loadSettings(m_form.m_main);
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
        return;
    }
    auto fill = [](QString& field, const QString& value) {
        if (!value.isEmpty())
            field = value;
    };
    switch (part) {
    case ShopPart::Road:
        fill(m_form.customer.road, shop.street);
        break;
    case ShopPart::Tumbol:
        fill(m_form.customer.tumbol, shop.tumbol);
        break;
    case ShopPart::Ampor:
        fill(m_form.customer.ampor, shop.ampur);
        break;
    case ShopPart::ProvinceZip:
        fill(m_form.customer.province, shop.province);
        fill(m_form.customer.zip, shop.zip);
        m_form.customer.cityCall = m_form.customer.province == Bangkok;
        break;
    }
}

void CustomerAddress::clear()
{
    districts.clear();
    subDistricts.clear();
}

void CustomerAddress::load(const Customer& c)
{
    clear();
    if (!c.province.isEmpty())
        districts = m_directory.districts(c.province);
    if (!c.ampor.isEmpty())
        subDistricts = m_directory.subDistricts(c.ampor);
}

} // namespace tawela::customers
