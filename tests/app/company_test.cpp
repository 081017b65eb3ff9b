#include "admin/company.h"
#include "admin/settings.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;

TEST(CompanyDetails, StoredAlikeInBothDatabasesAndAnEmptiedFieldKeepsItsValue)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    test::TempDatabase customer{app::DatabaseRole::Customer};
    platform::ScriptedPrompt prompt;
    admin::CompanyForm form(main.db, customer.db, prompt);
    ASSERT_TRUE(form.open());
    form.details.name = QStringLiteral("ร้านทอง'เจริญ");
    form.details.tel = QStringLiteral("043-123456");
    form.details.taxNo = QStringLiteral("0405551234567");
    ASSERT_TRUE(form.save());
    const auto column = [](const test::TempDatabase& t, const char* c) {
        return t.db
            ->scalar(QStringLiteral("SELECT ") + QLatin1String(c) +
                     QStringLiteral(" FROM config_setting"))
            .toString();
    };
    for (const test::TempDatabase* t : {&main, &customer}) {
        EXPECT_EQ(column(*t, "company_name"), QStringLiteral("ร้านทอง'เจริญ"));
        EXPECT_EQ(column(*t, "Tel"), QStringLiteral("043-123456"));
    }
    EXPECT_EQ(admin::loadSettings(main.db).companyName, QStringLiteral("ร้านทอง'เจริญ"));

    admin::CompanyForm again(main.db, customer.db, prompt);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.details.taxNo, QStringLiteral("0405551234567"));
    again.details.tel.clear(); // emptied: the stored number stays
    again.details.fax = QStringLiteral("043-654321");
    ASSERT_TRUE(again.save());
    EXPECT_EQ(column(customer, "Tel"), QStringLiteral("043-123456"));
    EXPECT_EQ(column(customer, "Fax"), QStringLiteral("043-654321"));

    // A failure in one database stores nothing in either.
    test::failEvery(*main.db, "UPDATE", "config_setting", "disk full");
    again.details.fax = QStringLiteral("000");
    EXPECT_FALSE(again.save());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ยังไม่มีการเปลี่ยนแปลง")));
    EXPECT_EQ(column(customer, "Fax"), QStringLiteral("043-654321"));
}
