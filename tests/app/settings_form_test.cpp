#include "admin/settings_form.h"
#include "contracts/contract.h"
#include "contracts/contract_store.h"
#include "pty_pair.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tawela;
using Number = admin::SettingsForm::Number;
using Group = admin::SettingsForm::Group;

namespace {

QVariant stored(const test::TempDatabase& t, const char* column)
{
    return t.db->scalar(QStringLiteral("SELECT ") + QLatin1String(column) +
                        QStringLiteral(" FROM config_setting"));
}

void setStored(const test::TempDatabase& t, const char* column, const QVariant& value)
{
    t.db->exec(QStringLiteral("UPDATE config_setting SET ") + QLatin1String(column) +
                   QStringLiteral(" = ?"),
               {value});
}

} // namespace

TEST(SettingsForm, OptionGroupsOpenOnTheStoredCodeAndTwoAlwaysChoose)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    setStored(main, "D_interes_rate", QString());
    setStored(main, "ReceptPrinterSize", 80);
    setStored(main, "sanya_cfg", QStringLiteral("9"));
    setStored(main, "tor_cfg", QStringLiteral("3"));
    setStored(main, "chumnum_autorun", 0);
    platform::ScriptedPrompt prompt;
    admin::SettingsForm form(main.db, prompt);
    ASSERT_TRUE(form.open());
    EXPECT_EQ(form.chosen(Group::InterestDays), 2);
    EXPECT_EQ(form.chosen(Group::Autorun), 1);
    EXPECT_EQ(form.chosen(Group::PaperWidth), -1);
    EXPECT_EQ(form.chosen(Group::Ticket), -1);
    EXPECT_EQ(form.chosen(Group::RenewalDocument), 2);
    form.choose(Group::RedemptionReceipt, 1);
    ASSERT_FALSE(form.save());
    EXPECT_EQ(stored(main, "D_interes_rate").toString(), QStringLiteral("ไม่ใช้"));
    EXPECT_EQ(stored(main, "ReceptPrinterSize").toInt(), 80);
    EXPECT_EQ(stored(main, "sanya_cfg").toString(), QStringLiteral("9"));
    EXPECT_EQ(stored(main, "recvtai_cfg").toString(), QStringLiteral("2"));
    EXPECT_FALSE(admin::loadSettings(main.db).chumnumAutorun);

    // The prefix the contract numbers of January 2557 get.
    EXPECT_EQ(admin::SettingsForm::numberPrefix(QDate(2014, 1, 20)),
              std::pair(QStringLiteral("57"), QStringLiteral("-01- 4-")));
}

TEST(SettingsForm, OutOfRangeAndUsedNumbersAreRefusedAndAFailedStoreKeepsTheRow)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    const QDate today(2026, 12, 10);
    test::addRow(main.db, "chumnum",
                 {{"Policy_no", contracts::contractNumber(today, 12)}, {"p_status", "0"}});
    test::addRow(main.db, "service", {{"recv_no", "R40"}});
    setStored(main, "relax_day", 7);
    setStored(main, "Pre_Recv", QString());
    platform::ScriptedPrompt prompt;
    admin::SettingsForm form(main.db, prompt);
    ASSERT_TRUE(form.open());

    const std::pair<Number, const char*> refused[] = {
        {Number::RelaxDay, "-1"},   {Number::Port, "17"},
        {Number::Port, "สาม"},      {Number::ChumnumDuration, "0"},
        {Number::MinInteres, "-5"}, {Number::ChumnumRun, "12"}, // used this month
    };
    for (const auto& [field, text] : refused) {
        admin::SettingsForm again(main.db, prompt);
        ASSERT_TRUE(again.open());
        again.setNumber(Number::RelaxDay, QStringLiteral("3"));
        again.setNumber(field, QString::fromUtf8(text));
        EXPECT_EQ(again.save(today), field) << text;
        EXPECT_EQ(stored(main, "relax_day").toInt(), 7) << text;
    }
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("มากกว่า 12")));

    // A receipt prefix whose numbers already run to R40 needs a higher run.
    form.settings.preRecv = QStringLiteral("R");
    EXPECT_EQ(form.save(today), Number::RunRecv);
    form.setNumber(Number::RunRecv, QStringLiteral("41"));
    form.setNumber(Number::ChumnumRun, QStringLiteral("13"));
    ASSERT_FALSE(form.save(today));
    contracts::ContractStore store(main.db);
    EXPECT_EQ(store.takeReceiptNumber(), QStringLiteral("R41"));

    // Nothing of a store that fails is kept, and the person is told.
    admin::SettingsForm failing(main.db, prompt);
    ASSERT_TRUE(failing.open());
    failing.setNumber(Number::RelaxDay, QStringLiteral("9"));
    test::failEvery(*main.db, "UPDATE", "config_setting", "disk full");
    EXPECT_TRUE(failing.save(today));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ยังไม่มีการเปลี่ยนแปลง")));
    test::stopFailing(*main.db, "config_setting");
    EXPECT_EQ(stored(main, "relax_day").toInt(), 7);
}

TEST(SettingsForm, SavingNeverSetsBackNumbersOtherCountersTookMeanwhile)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    platform::ScriptedPrompt prompt;
    admin::SettingsForm form(main.db, prompt);
    ASSERT_TRUE(form.open());
    const qint64 run = form.settings.chumnumRun, recv = form.settings.runRecv;
    main.db->exec(
        QStringLiteral(
            "UPDATE config_setting SET chumnum_run = chumnum_run + 3, run_recv = run_recv + 5, "
            "backup_date = ?"),
        {QDate(2026, 12, 1)});
    form.settings.payanOne = QStringLiteral("นาย ก'ข");
    ASSERT_FALSE(form.save());
    const admin::Settings now = admin::loadSettings(main.db);
    EXPECT_EQ(now.chumnumRun, run + 3);
    EXPECT_EQ(now.runRecv, recv + 5);
    EXPECT_EQ(now.backupDate, QDate(2026, 12, 1));
    EXPECT_EQ(now.payanOne, QStringLiteral("นาย ก'ข"));
}

TEST(CashDrawer, TheTestSendsTwentyOneZerosToTheNumberedPort)
{
    test::PtyPair pty;
    ASSERT_TRUE(pty.ready()) << "socat could not join two pseudo-terminals";
    // A port listed before it that cannot be opened.
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyS0"), pty.folder() + u"/ttyS0"));
    test::TempDatabase main{app::DatabaseRole::Main};
    platform::ScriptedPrompt prompt;
    admin::SettingsForm form(main.db, prompt,
                             [&] { return platform::serialDevicesIn(pty.folder()); });
    ASSERT_TRUE(form.open());
    ASSERT_EQ(form.ports().size(), 2);
    EXPECT_EQ(form.ports()[1].name, QStringLiteral("ttyUSB0"));

    form.setNumber(Number::Port, QStringLiteral("2"));
    ASSERT_TRUE(form.testDrawer()) << prompt.lastText().toStdString();
    EXPECT_EQ(pty.readPeer(21), QByteArray(21, '0'));

    form.setNumber(Number::Port, QStringLiteral("1"));
    EXPECT_FALSE(form.testDrawer());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("เปิดพอร์ต ttyS0 ไม่ได้")));
    form.setNumber(Number::Port, QStringLiteral("3"));
    EXPECT_FALSE(form.testDrawer());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("เพียง 2 พอร์ต")));
    form.setNumber(Number::Port, QStringLiteral("0"));
    EXPECT_FALSE(form.testDrawer());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ใส่เลข 1-16 ทดลองกดปุ่มทดสอบ"));
}
