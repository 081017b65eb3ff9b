#include "app/main_menu.h"
#include "app/setup.h"
#include "app/sign_in.h"
#include "app/ui/login_screen.h"
#include "app/ui/main_menu_window.h"
#include "app/ui/screens.h"
#include "app/ui/setup_screen.h"
#include "screenshot.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace tawela;

namespace {

// Every screen the program opens, as it composes them, with one open
// contract and one customer to show.
class AllScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        config = home.setUp();
        connections.open(config);
        const auto main = connections.main();
        test::rateRows(main, "fee_table1", {{30, "3"}});
        test::openContract(main);
        session.employeeName = QStringLiteral("สมศรี");
        session.policy = session.card = session.tool = session.bk = QStringLiteral("อนุญาต");
        makers = app::composeScreens(config, connections, session, prompt, printer, screens);
    }

    // A window at each shop screen size: its buttons inside, its grids with
    // room for five rows.
    void fits(QWidget* window, const QString& what)
    {
        ASSERT_NE(window, nullptr) << qPrintable(what);
        EXPECT_EQ(unfitOnShopScreens(window), QStringList()) << qPrintable(what);
        keepScreenshot(window, QStringLiteral("fit_") + what);
    }

    std::unique_ptr<QWidget> contractScreen()
    {
        std::unique_ptr<QWidget> screen(makers.contracts());
        if (!screen)
            return screen;
        screen->show();
        auto* value = screen->findChild<QComboBox*>(QStringLiteral("combo10"));
        value->setEditText(QStringLiteral("68-01-4-0001"));
        Q_EMIT value->lineEdit()->returnPressed();
        return screen;
    }

    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
    admin::Session session;
    platform::ScriptedPrompt prompt;
    reports::PrinterChoice printer;
    app::ScreenRegistry screens;
    app::ScreenMakers makers;
};

} // namespace

TEST_F(AllScreens, EveryScreenOfTheMenuFitsAShopScreen)
{
    const std::pair<const char*, std::function<QWidget*()>> menu[] = {
        {"customers", makers.customers},
        {"product_groups", makers.productGroups},
        {"printers", makers.printers},
        {"contract_summary", makers.contractSummary},
        {"money_summary", makers.moneySummary},
        {"backup", makers.backup},
        {"company", makers.company},
        {"settings", makers.settings},
        {"staff", makers.staff},
    };
    for (const auto& [name, make] : menu) {
        ASSERT_TRUE(make) << name;
        std::unique_ptr<QWidget> screen(make());
        fits(screen.get(), QLatin1String(name));
    }

    // The staff screen's own panels.
    std::unique_ptr<QWidget> staff(makers.staff());
    for (const char* command : {"cmdDelete", "cmdSearch"}) {
        staff->show();
        QTest::mouseClick(staff->findChild<QPushButton*>(QLatin1String(command)), Qt::LeftButton);
        fits(staff.get(), QStringLiteral("staff_") + QLatin1String(command));
        const char* close = QByteArray(command) == "cmdDelete" ? "cmdNo" : "cmdFindClose";
        QTest::mouseClick(staff->findChild<QPushButton*>(QLatin1String(close)), Qt::LeftButton);
    }

    // The customer file's table editors, opened from its tools menu.
    std::unique_ptr<QWidget> customers(makers.customers());
    for (const char* editor :
         {"group_cust", "status_table", "pre_name_table", "user_field", "PostalCode"}) {
        customers->findChild<QAction*>(QLatin1String(editor))->trigger();
        fits(screens.find(QLatin1String(editor)), QLatin1String(editor));
        screens.find(QLatin1String(editor))->close();
    }
}

TEST_F(AllScreens, TheContractScreenItsPanelsAndItsToolsFit)
{
    std::unique_ptr<QWidget> shown = contractScreen();
    fits(shown.get(), QStringLiteral("contract"));
    // Each panel on a screen of its own, as the person opens it.
    for (const char* command :
         {"cmdRenew", "cmdRedeem", "cmdForfeit", "cmdDelete", "cmdDocuments"}) {
        std::unique_ptr<QWidget> screen = contractScreen();
        if (qstrcmp(command, "cmdForfeit") == 0)
            prompt.queueAnswer(platform::PromptAnswer::Yes); // not yet due: asked
        QTest::mouseClick(screen->findChild<QPushButton*>(QLatin1String(command)), Qt::LeftButton);
        fits(screen.get(), QStringLiteral("contract_") + QLatin1String(command));
    }
    // The rate table editor opens over the screen.
    QTest::mouseClick(shown->findChild<QPushButton*>(QStringLiteral("cmdFeeTable")),
                      Qt::LeftButton);
    QWidget* rates = nullptr;
    for (QWidget* w : shown->findChildren<QWidget*>())
        if (w->isWindow() && w->isVisible())
            rates = w;
    fits(rates, QStringLiteral("rate_table"));
    rates->close();

    for (const char* tool : {"mnu_archive", "mnu_unarchive", "mnu_old_receipt"}) {
        shown->findChild<QAction*>(QLatin1String(tool))->trigger();
        QWidget* opened = nullptr;
        for (const char* name : {"move_close", "move_back", "RollBack"})
            if (QWidget* w = screens.find(QLatin1String(name)))
                opened = w;
        fits(opened, QLatin1String(tool));
        opened->close();
        QApplication::processEvents();
    }
}

TEST_F(AllScreens, SetupSignInAndTheMainMenuFit)
{
    test::TempHome fresh;
    app::SetupForm setupForm(fresh.path(), prompt);
    app::SetupScreen setup(setupForm);
    fits(&setup, QStringLiteral("setup"));

    app::Connections none;
    app::SignInForm signIn(config, none, prompt);
    app::LoginScreen login(signIn);
    fits(&login, QStringLiteral("login"));

    app::MainMenuForm menuForm(session, connections.main(), prompt);
    app::ScreenRegistry registry;
    app::MainMenuWindow menu(menuForm, registry);
    fits(&menu, QStringLiteral("main_menu"));
}
