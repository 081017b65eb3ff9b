#include "admin/settings.h"
#include "app/main_menu.h"
#include "app/setup.h"
#include "app/sign_in.h"
#include "platform/password_hash.h"
#include "temp_home.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tawela;
using app::SignInForm;
using platform::ScriptedPrompt;

namespace {

// A home folder set up the way a shop does it on its first day.
struct SetUpShop {
    SetUpShop()
    {
        app::SetupForm setup(home.path(), prompt);
        setup.companyName = QStringLiteral("ร้าน'ทองดี");
        setup.employeeCode = QStringLiteral("A01");
        setup.employeeName = QStringLiteral("สมศรี ใจดี");
        setup.password = QStringLiteral("Secret1");
        ok = setup.confirm();
        config = app::readConfig(home.path());
    }
    std::shared_ptr<platform::db::Database> main()
    {
        return app::openDatabase(config.mainDbPath, app::DatabaseRole::Main, config.dbPassword);
    }

    test::TempHome home;
    ScriptedPrompt prompt;
    bool ok = false;
    app::AppConfig config;
};

} // namespace

TEST(Setup, PreparesTheHomeFolderOnce)
{
    test::TempHome home;
    EXPECT_FALSE(app::isSetUp(home.path()));
    ScriptedPrompt prompt;
    app::SetupForm setup(home.path(), prompt);
    setup.companyName = QStringLiteral("ร้าน'ทองดี");
    setup.employeeCode = QStringLiteral("A01");
    setup.employeeName = QStringLiteral("สมศรี");
    setup.password = QStringLiteral("Secret1");
    ASSERT_TRUE(setup.confirm()) << prompt.lastText().toStdString();
    EXPECT_TRUE(setup.completed());
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(app::isSetUp(home.path()));
    for (const char* folder : {"Images", "Temp", "Excel"})
        EXPECT_TRUE(QDir(home.file(QLatin1String(folder))).exists()) << folder;
    QFile ini(home.file(QStringLiteral("tawela.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const app::AppConfig config = app::readConfig(home.path());
    EXPECT_EQ(ini.readAll(), app::setupIniText(home.path(), config.dbPassword));
    // Each shop its own database password; only owner may read its files.
    EXPECT_EQ(config.dbPassword.size(), 20);
    EXPECT_NE(config.dbPassword, QStringLiteral("*prepare8"));
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (const QString& file : {config.iniPath(), config.mainDbPath, config.customerDbPath,
                                config.archiveDbPath(), config.personalDbPath()})
        EXPECT_EQ(QFile::permissions(file) & 0x7077, ownerOnly) << file.toStdString();
    for (const char* folder : {"Images", "Temp", "Excel"})
        EXPECT_EQ(QFile::permissions(home.file(QLatin1String(folder))) & 0x7077,
                  ownerOnly | QFileDevice::ExeOwner)
            << folder;
    auto main = app::openDatabase(config.mainDbPath, app::DatabaseRole::Main, config.dbPassword);
    EXPECT_EQ(admin::loadSettings(main).companyName, QStringLiteral("ร้าน'ทองดี"));
    const auto first = admin::StaffStore(main).find(QStringLiteral("A01"));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->name, QStringLiteral("สมศรี"));
    for (const QString& right :
         {first->policy, first->card, first->tool, first->blacklist, first->bk, first->rs})
        EXPECT_EQ(right, QStringLiteral("อนุญาต"));
    EXPECT_EQ(first->sp1, QStringLiteral("อนุญาต")); // the owner may restore a backup
    // Never the password itself.
    EXPECT_TRUE(platform::password_hash::isHash(first->password));
    EXPECT_TRUE(platform::password_hash::verify(first->password, QStringLiteral("Secret1")));

    // A second run is refused and changes nothing.
    app::SetupForm again(home.path(), prompt);
    again.employeeCode = QStringLiteral("B02");
    again.password = QStringLiteral("pw");
    EXPECT_FALSE(again.confirm());
    EXPECT_FALSE(again.confirmEnabled());
    ASSERT_EQ(prompt.messages().size(), 2); // the number, then the description
    EXPECT_EQ(prompt.messages()[0].text, QStringLiteral("75"));
    EXPECT_FALSE(admin::StaffStore(main).find(QStringLiteral("B02")).has_value());
}

TEST(Setup, AFailureShowsNumberThenDescriptionAndStaysOff)
{
    test::TempHome home;
    // Images cannot be made: a file stands where the folder should go.
    home.writeFile(QStringLiteral("Images"), "not a folder");
    ScriptedPrompt prompt;
    app::SetupForm setup(home.path(), prompt);
    setup.employeeCode = QStringLiteral("A01");
    setup.password = QStringLiteral("pw");
    EXPECT_FALSE(setup.confirm());
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages()[0].text, QStringLiteral("75"));
    EXPECT_TRUE(prompt.messages()[1].text.contains(QStringLiteral("Images")));
    EXPECT_FALSE(setup.confirmEnabled());
    EXPECT_FALSE(setup.confirm()); // "ตกลง" stays off
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_FALSE(app::isSetUp(home.path()));
}

TEST(SignIn, UnknownCodeAndWrongPassword)
{
    SetUpShop shop;
    ASSERT_TRUE(shop.ok);
    app::Connections connections;
    ScriptedPrompt prompt;
    SignInForm form(shop.config, connections, prompt);

    form.code = QStringLiteral("ZZ");
    form.password = QStringLiteral("Secret1");
    EXPECT_EQ(form.signIn(), SignInForm::Result::Retry);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบรหัสพนักงานในระบบ"));
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("ข้อมูลข่าวสาร"));
    EXPECT_EQ(prompt.messages().last().icon, platform::PromptIcon::Information);
    EXPECT_TRUE(form.code.isEmpty());
    EXPECT_EQ(form.password, QStringLiteral("Secret1"));
    EXPECT_EQ(form.focus, SignInForm::Field::Code);

    form.code = QStringLiteral("A01");
    form.password = QStringLiteral("secret1"); // another letter case
    EXPECT_EQ(form.signIn(), SignInForm::Result::Retry);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("รหัสผ่านไม่ถูกต้อง"));
    EXPECT_EQ(form.code, QStringLiteral("A01"));
    EXPECT_TRUE(form.password.isEmpty());
    EXPECT_EQ(form.focus, SignInForm::Field::Password);

    // Enter moves from the code to the password, then signs in.
    form.focus = SignInForm::Field::Code;
    EXPECT_EQ(form.enterPressed(), SignInForm::Result::Retry);
    EXPECT_EQ(form.focus, SignInForm::Field::Password);
    form.password = QStringLiteral("Secret1");
    const auto before = prompt.messages().size();
    EXPECT_EQ(form.enterPressed(), SignInForm::Result::SignedIn);
    EXPECT_EQ(prompt.messages().size(), before);
    EXPECT_EQ(form.session().policy, QStringLiteral("อนุญาต"));
    EXPECT_EQ(form.session().employeeCode, QStringLiteral("A01"));
}

TEST(SignIn, SessionNameFollowsUseLoginAndEmptyRightsAreText)
{
    SetUpShop shop;
    auto main = shop.main();
    admin::Employee e;
    e.code = QStringLiteral("B02");
    e.password = platform::password_hash::hash(QStringLiteral("pw"));
    admin::StaffStore(main).add(e); // no name, no rights
    main->exec(QStringLiteral("UPDATE employee SET E_name = NULL, Policy = NULL WHERE EN = 'B02'"));

    for (bool useLogin : {true, false}) {
        admin::Settings s = admin::loadSettings(main);
        s.useLogin = useLogin;
        admin::saveSettings(main, s);
        app::Connections connections;
        ScriptedPrompt prompt;
        SignInForm form(shop.config, connections, prompt);
        form.code = QStringLiteral("a01");
        form.password = QStringLiteral("Secret1");
        ASSERT_EQ(form.signIn(), SignInForm::Result::SignedIn);
        EXPECT_EQ(form.session().employeeName, useLogin ? QStringLiteral("สมศรี ใจดี") : QString());
        EXPECT_TRUE(form.session().mayRestore()); // the shop's first employee
        form.code = QStringLiteral("B02");
        form.password = QStringLiteral("pw");
        ASSERT_EQ(form.signIn(), SignInForm::Result::SignedIn);
        EXPECT_EQ(form.session().employeeName, QString());
        EXPECT_EQ(form.session().policy, QString());
        EXPECT_EQ(form.session().policyRight(), admin::Right::Allowed);
        EXPECT_FALSE(form.session().mayRestore()); // an empty "Restore" right does not
    }
}

TEST(SignIn, PlainPasswordsFromOlderDataAreUpgradedEmptyOnesNeverMatch)
{
    SetUpShop shop;
    auto main = shop.main();
    main->exec(
        QStringLiteral("INSERT INTO employee (EN, E_name, PWD) VALUES ('OLD', 'เก่า', 'abc'), "
                       "('NOPW', 'ไม่มี', ''), ('NULLPW', 'ว่าง', NULL)"));
    app::Connections connections;
    ScriptedPrompt prompt;
    SignInForm form(shop.config, connections, prompt);
    form.code = QStringLiteral("OLD");
    form.password = QStringLiteral("ABC");
    EXPECT_EQ(form.signIn(), SignInForm::Result::Retry);
    form.password = QStringLiteral("abc");
    EXPECT_EQ(form.signIn(), SignInForm::Result::SignedIn);
    const QString stored = admin::StaffStore(main).find(QStringLiteral("OLD"))->password;
    EXPECT_TRUE(platform::password_hash::isHash(stored));
    form.password = QStringLiteral("abc");
    EXPECT_EQ(form.signIn(), SignInForm::Result::SignedIn); // still works, now by hash

    for (const char* code : {"NOPW", "NULLPW"}) {
        form.code = QLatin1String(code);
        form.password = QString();
        EXPECT_EQ(form.signIn(), SignInForm::Result::Retry) << code;
        EXPECT_EQ(prompt.lastText(), QStringLiteral("รหัสผ่านไม่ถูกต้อง"));
    }
}

TEST(SignIn, AMissingDatabaseEndsTheProgram)
{
    SetUpShop shop;
    ASSERT_TRUE(QFile::remove(shop.home.file(QStringLiteral("closed_policy.mdb"))));
    app::Connections connections;
    ScriptedPrompt prompt;
    SignInForm form(shop.config, connections, prompt);
    form.code = QStringLiteral("A01");
    form.password = QStringLiteral("Secret1");
    EXPECT_EQ(form.signIn(), SignInForm::Result::Fatal);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("Error : 3024 ")));
}

TEST(SignIn, AServerOutOfReachKeepsTheSignInForAnotherTry)
{
    SetUpShop shop;
    app::AppConfig config = shop.config;
    platform::db::ServerAddress nowhere;
    nowhere.host = QStringLiteral("127.0.0.1");
    nowhere.port = 9; // nothing listens there
    nowhere.database = nowhere.user = nowhere.schema = QStringLiteral("tawela");
    config.server = nowhere;
    app::Connections connections;
    ScriptedPrompt prompt;
    SignInForm form(config, connections, prompt);
    form.code = QStringLiteral("A01");
    form.password = QStringLiteral("Secret1");
    EXPECT_EQ(form.signIn(), SignInForm::Result::Retry);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("127.0.0.1")))
        << prompt.lastText().toStdString();
}

TEST(MainMenu, GatingByEachRightValue)
{
    test::TempDatabase t;
    ScriptedPrompt prompt;
    struct Case {
        const char* value;
        bool allowed;
    };
    for (const Case& c : {Case{"อนุญาต", true}, Case{"ไม่อนุญาต", false}, Case{"อ่านอย่างเดียว", true},
                          Case{"", true}, Case{"xyz", true}}) {
        admin::Session s;
        s.policy = s.tool = s.bk = QString::fromUtf8(c.value);
        app::MainMenuForm menu(s, t.db, prompt);
        EXPECT_EQ(menu.contractsAllowed(), c.allowed) << c.value;
        EXPECT_EQ(menu.toolsAllowed(), c.allowed) << c.value;
        EXPECT_EQ(menu.customersAllowed(), c.allowed) << c.value;
    }
    admin::Session onlyTools;
    onlyTools.tool = QStringLiteral("ไม่อนุญาต");
    app::MainMenuForm menu(onlyTools, t.db, prompt);
    EXPECT_TRUE(menu.contractsAllowed());
    EXPECT_FALSE(menu.toolsAllowed());
    EXPECT_TRUE(menu.customersAllowed());
}

TEST(MainMenu, BackupReminderOnExit)
{
    test::TempDatabase t;
    ScriptedPrompt prompt;
    app::MainMenuForm menu(admin::Session{}, t.db, prompt);
    const QDate today(2026, 12, 9);
    admin::Settings s = admin::loadSettings(t.db);
    s.backupAlert = true;
    s.backupDuration = 7;
    s.backupDate = today.addDays(-7);
    admin::saveSettings(t.db, s);
    EXPECT_EQ(menu.exit(today), app::MainMenuForm::ExitDecision::Quit);
    EXPECT_TRUE(prompt.messages().isEmpty());

    s.backupDate = today.addDays(-8);
    admin::saveSettings(t.db, s);
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    EXPECT_EQ(menu.exit(today), app::MainMenuForm::ExitDecision::Backup);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages()[0].title, QStringLiteral("ข้อแนะนำ"));
    EXPECT_EQ(prompt.messages()[0].text,
              QStringLiteral("ถึงเวลาต้องทำสำรองข้อมูลแล้ว... ต้องการสำรองข้อมูลหรือไม่"));
    EXPECT_EQ(prompt.messages()[0].buttons, platform::PromptButtons::YesNo);
    prompt.queueAnswer(platform::PromptAnswer::No);
    EXPECT_EQ(menu.exit(today), app::MainMenuForm::ExitDecision::Quit);

    // A backup made today: the next exit does not ask.
    s.backupDate = today;
    admin::saveSettings(t.db, s);
    prompt.clear();
    EXPECT_EQ(menu.exit(today), app::MainMenuForm::ExitDecision::Quit);
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Reminder off, or no date or no duration: never asks.
    EXPECT_FALSE(app::MainMenuForm::backupDue(false, 7, today.addDays(-30), today));
    EXPECT_FALSE(app::MainMenuForm::backupDue(true, 7, QDate(), today));
    EXPECT_FALSE(app::MainMenuForm::backupDue(true, 0, today.addDays(-30), today));
    t.db->exec(QStringLiteral("UPDATE config_setting SET Backup_duration = NULL, backup_date = ?"),
               {today.addDays(-30).toString(Qt::ISODate)});
    EXPECT_EQ(menu.exit(today), app::MainMenuForm::ExitDecision::Quit);
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(SignIn, RepeatedWrongPasswordsWaitLongerAndLongerForThatCode)
{
    SetUpShop shop;
    ASSERT_TRUE(shop.ok);
    app::Connections connections;
    ScriptedPrompt prompt;
    QDateTime now(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC);
    SignInForm form(shop.config, connections, prompt, [&now] { return now; });
    form.code = QStringLiteral("A01");
    auto attempt = [&](const char* password) {
        form.password = QLatin1String(password);
        return form.signIn();
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(attempt("wrong"), SignInForm::Result::Retry);
    // Even the right password waits now, and says how long.
    EXPECT_EQ(attempt("Secret1"), SignInForm::Result::Retry);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ใส่รหัสผ่านผิดหลายครั้ง กรุณารอ 2 วินาทีแล้วลองใหม่"));
    now = now.addSecs(2);
    EXPECT_EQ(attempt("wrong"), SignInForm::Result::Retry);
    EXPECT_EQ(attempt("Secret1"), SignInForm::Result::Retry);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("รอ 4 วินาที")));
    now = now.addSecs(4);
    EXPECT_EQ(attempt("Secret1"), SignInForm::Result::SignedIn);
    // Signed in: the count starts again.
    EXPECT_EQ(attempt("wrong"), SignInForm::Result::Retry);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("รหัสผ่านไม่ถูกต้อง"));
}

TEST(SignIn, AStoredHashAskingForTooMuchWorkIsRefusedAtOnce)
{
    SetUpShop shop;
    ASSERT_TRUE(shop.ok);
    // 4 GiB and 100 passes: verifying would take minutes and all the memory.
    const QString greedy = platform::password_hash::hash(QStringLiteral("pw"))
                               .replace(QRegularExpression(QStringLiteral("m=\\d+,t=\\d+")),
                                        QStringLiteral("m=4194304,t=100"));
    EXPECT_FALSE(platform::password_hash::acceptable(greedy));
    EXPECT_TRUE(
        platform::password_hash::acceptable(platform::password_hash::hash(QStringLiteral("pw"))));
    EXPECT_FALSE(platform::password_hash::verify(greedy, QStringLiteral("pw")));
    shop.main()->exec(QStringLiteral("INSERT INTO employee (EN, PWD) VALUES ('G', ?)"), {greedy});
    app::Connections connections;
    ScriptedPrompt prompt;
    SignInForm form(shop.config, connections, prompt);
    form.code = QStringLiteral("G");
    form.password = QStringLiteral("pw");
    EXPECT_EQ(form.signIn(), SignInForm::Result::Retry);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("reset-password")));
}
