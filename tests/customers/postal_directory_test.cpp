#include "customers/postal_directory.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tawela;
using customers::PostalDirectory;

TEST(PostalDirectory, ProvinceThenDistrictThenSubDistrictAndBack)
{
    test::TempDatabase t(app::DatabaseRole::Customer);
    const PostalDirectory dir(t.db);
    const QStringList provinces = dir.provinces();
    ASSERT_EQ(provinces.size(), 77);
    // Thai dictionary order: the leading vowel of เชียงใหม่ does not lead.
    EXPECT_LT(provinces.indexOf(QStringLiteral("ชลบุรี")),
              provinces.indexOf(QStringLiteral("เชียงใหม่")));
    EXPECT_LT(provinces.indexOf(QStringLiteral("เชียงใหม่")),
              provinces.indexOf(QStringLiteral("ตรัง")));

    const QStringList districts = dir.districts(QStringLiteral("ขอนแก่น"));
    EXPECT_TRUE(districts.contains(QStringLiteral("เมืองขอนแก่น")));
    EXPECT_FALSE(districts.contains(QStringLiteral("พระนคร")));
    EXPECT_GT(dir.districts().size(), 900); // "All": the whole country

    const auto subs = dir.subDistricts(QStringLiteral("เมืองขอนแก่น"));
    ASSERT_FALSE(subs.isEmpty());
    const auto inTown = std::find_if(
        subs.begin(), subs.end(), [](const auto& s) { return s.name == QStringLiteral("ในเมือง"); });
    ASSERT_NE(inTown, subs.end());
    EXPECT_EQ(inTown->postCode, QStringLiteral("40000"));

    // ในเมือง is a sub-district of many districts: the district tells which.
    EXPECT_EQ(dir.postCodeOf(QStringLiteral("เมืองขอนแก่น"), QStringLiteral("ในเมือง")),
              QStringLiteral("40000"));
    EXPECT_NE(dir.postCodeOf(QStringLiteral("เมืองนครราชสีมา"), QStringLiteral("ในเมือง")),
              QStringLiteral("40000"));
    EXPECT_FALSE(dir.postCodeOf(QStringLiteral("O'Neil"), QStringLiteral("x' OR '1'='1")));

    const auto places = dir.placesOf(QStringLiteral(" 10200 "));
    ASSERT_FALSE(places.isEmpty());
    EXPECT_EQ(places.first().province, QStringLiteral("กรุงเทพมหานคร"));
    EXPECT_EQ(places.first().district, QStringLiteral("พระนคร"));
    EXPECT_TRUE(dir.placesOf(QStringLiteral("99999")).isEmpty());
}
