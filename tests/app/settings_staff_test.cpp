#include "admin/settings.h"
#include "admin/staff.h"
#include "admin/staff_form.h"
#include "platform/db/db_error.h"
#include "platform/password_hash.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using admin::Right;
using platform::Decimal;

TEST(Settings, InterestModeRule)
{
    EXPECT_EQ(admin::interestModeFromText(QStringLiteral("จริง")), admin::InterestMode::ActualDays);
    EXPECT_EQ(admin::interestModeFromText(QStringLiteral("ช่วง")), admin::InterestMode::Steps);
    for (const QString& other :
         {QStringLiteral("ไม่ใช้"), QString(), QStringLiteral("จริง "), QStringLiteral("x")})
        EXPECT_EQ(admin::interestModeFromText(other), admin::InterestMode::NotUsed)
            << qPrintable(other);
}

TEST(Settings, RoundTripEveryKindOfColumn)
{
    test::TempDatabase t(app::DatabaseRole::Main);
    admin::Settings s = admin::loadSettings(t.db);
    EXPECT_EQ(s.chumnumRun, 1);
    EXPECT_EQ(s.preRecv, QStringLiteral("R"));
    EXPECT_EQ(s.receptPrinterSize, 58);

    s.companyName = QStringLiteral("ร้าน'ทองดี");
    s.minInteres = *Decimal::parse(QStringLiteral("50.25"));
    s.dInteresRate = QStringLiteral("ช่วง");
    s.chumnumRun = 10000;
    s.cityCall = true;
    s.backupDate = QDate(2026, 12, 9);
    admin::saveSettings(t.db, s);

    const admin::Settings r = admin::loadSettings(t.db);
    EXPECT_EQ(r.companyName, QStringLiteral("ร้าน'ทองดี"));
    EXPECT_EQ(r.minInteres.toString(), QStringLiteral("50.25"));
    EXPECT_EQ(r.interestMode(), admin::InterestMode::Steps);
    EXPECT_EQ(r.chumnumRun, 10000);
    EXPECT_TRUE(r.cityCall);
    EXPECT_EQ(r.backupDate, QDate(2026, 12, 9));
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT count(*) FROM config_setting")).toInt(), 1);

    t.db->exec(QStringLiteral("DELETE FROM config_setting"));
    EXPECT_THROW(admin::loadSettings(t.db), platform::db::DbError);
}

TEST(Staff, RightsRule)
{
    EXPECT_EQ(admin::rightFromText(QStringLiteral("อนุญาต")), Right::Allowed);
    EXPECT_EQ(admin::rightFromText(QStringLiteral("ไม่อนุญาต")), Right::NotAllowed);
    EXPECT_EQ(admin::rightFromText(QStringLiteral("อ่านอย่างเดียว")), Right::ReadOnly);
    // Anything else, even a near miss, behaves as allowed.
    for (const QString& other : {QString(), QStringLiteral("ไม่อนุญาต "), QStringLiteral("no")})
        EXPECT_EQ(admin::rightFromText(other), Right::Allowed) << qPrintable(other);
}

TEST(Staff, AddFindUpdateRemove)
{
    test::TempDatabase t(app::DatabaseRole::Main);
    admin::StaffStore staff(t.db);
    admin::Employee e;
    e.code = QStringLiteral("A01");
    e.name = QStringLiteral("สมศรี O'Neil");
    e.policy = QStringLiteral("อ่านอย่างเดียว");
    e.card = QStringLiteral("ไม่อนุญาต");
    e.tool = QStringLiteral("something old");
    e.admin = true;
    staff.add(e);

    auto found = staff.find(QStringLiteral("a01"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->name, QStringLiteral("สมศรี O'Neil"));
    EXPECT_EQ(found->policyRight(), Right::ReadOnly);
    EXPECT_EQ(found->cardRight(), Right::NotAllowed);
    EXPECT_EQ(found->toolRight(), Right::Allowed);
    EXPECT_EQ(found->tool, QStringLiteral("something old")); // kept as stored
    EXPECT_EQ(found->bkRight(), Right::Allowed);             // empty
    EXPECT_TRUE(found->admin);

    EXPECT_THROW(staff.add(e), platform::db::DbError); // code taken
    e.name = QStringLiteral("สมศรี ใจดี");
    EXPECT_TRUE(staff.update(e));
    EXPECT_EQ(staff.find(QStringLiteral("A01"))->name, QStringLiteral("สมศรี ใจดี"));
    EXPECT_EQ(staff.all().size(), 1);
    EXPECT_FALSE(staff.find(QStringLiteral("A01' OR '1'='1")).has_value());
    EXPECT_TRUE(staff.remove(QStringLiteral("A01")));
    EXPECT_FALSE(staff.remove(QStringLiteral("A01")));
    EXPECT_TRUE(staff.all().isEmpty());
}

TEST(StaffForm, AddSaveFindAndTheGuardsThatKeepSomeoneInCharge)
{
    test::TempDatabase t(app::DatabaseRole::Main);
    admin::StaffStore store(t.db);
    const QString allowed = admin::rightText(Right::Allowed);
    const QString refused = admin::rightText(Right::NotAllowed);
    admin::Employee boss;
    boss.code = QStringLiteral("A01");
    boss.name = QStringLiteral("สมศรี ใจดี");
    boss.password = platform::password_hash::hash(QStringLiteral("old"));
    boss.tool = allowed;
    boss.policy = admin::rightText(Right::ReadOnly);
    store.add(boss);

    platform::ScriptedPrompt prompt;
    admin::StaffForm f(t.db, prompt);
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.password.isEmpty()); // never shown

    // After "เพิ่ม" the rights shown stay and go to the new employee; a new
    // employee needs a password and a code of their own.
    f.add();
    f.code = QStringLiteral("a01");
    f.name = QStringLiteral("มานะ");
    f.password = QStringLiteral("pw");
    EXPECT_EQ(f.save(), admin::StaffForm::Field::Code);
    f.code = QStringLiteral("B02");
    f.password.clear();
    EXPECT_EQ(f.save(), admin::StaffForm::Field::Password);
    f.password = QStringLiteral("pw");
    ASSERT_FALSE(f.save());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ข้อมูลจัดเก็บ เรียบร้อย"));
    const auto added = store.find(QStringLiteral("B02"));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->policy, admin::rightText(Right::ReadOnly));
    EXPECT_TRUE(platform::password_hash::verify(added->password, QStringLiteral("pw")));

    // Saving without "เพิ่ม" changes the shown employee; an empty password keeps the old.
    ASSERT_TRUE(f.find(1, QStringLiteral("ใจ")));
    EXPECT_EQ(f.code, QStringLiteral("A01"));
    f.name = QStringLiteral("สมศรี ใจงาม");
    ASSERT_FALSE(f.save());
    EXPECT_TRUE(platform::password_hash::verify(store.find(QStringLiteral("A01"))->password,
                                                QStringLiteral("old")));
    EXPECT_EQ(store.all().size(), 2);
    EXPECT_FALSE(f.findNext(1, QStringLiteral("ใจ")));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Not found"));

    // Nobody left to manage staff: refused, both by a save and by deleting.
    f.find(0, QStringLiteral("B02"));
    f.tool = refused;
    ASSERT_FALSE(f.save());
    f.find(0, QStringLiteral("A01"));
    f.tool = refused;
    EXPECT_EQ(f.save(), admin::StaffForm::Field::Tool);
    f.show(f.current()); // back to what is stored
    EXPECT_TRUE(f.removeCurrent() == false);
    EXPECT_TRUE(store.find(QStringLiteral("A01")).has_value());
}
