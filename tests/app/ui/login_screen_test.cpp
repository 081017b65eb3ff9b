#include "app/setup.h"
#include "app/ui/login_screen.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(LoginScreen, EnterMovesOnAndSignsIn)
{
    test::TempHome home;
    platform::ScriptedPrompt prompt;
    app::SetupForm setup(home.path(), prompt);
    setup.employeeCode = QStringLiteral("A01");
    setup.password = QStringLiteral("pw");
    ASSERT_TRUE(setup.confirm());

    app::Connections connections;
    app::SignInForm form(app::readConfig(home.path()), connections, prompt);
    app::LoginScreen login(form);
    login.resize(1024, 768);
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    EXPECT_EQ(login.windowTitle(), QStringLiteral("Authorize Screening"));
    auto* code = login.findChild<QLineEdit*>(QStringLiteral("txtCode"));
    auto* password = login.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    ASSERT_TRUE(code && password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.findChild<QPushButton*>(QStringLiteral("cmdExit"))->text(),
              QStringLiteral("Exit"));

    // The panel starts at half the width and ends above the bottom.
    auto* panel = login.findChild<QWidget*>(QStringLiteral("signInPanel"));
    EXPECT_EQ(panel->x(), 512);
    EXPECT_LT(panel->geometry().bottom(), 768 - 60);
    keepScreenshot(&login, QStringLiteral("login"));

    QSignalSpy signedIn(&login, &app::LoginScreen::signedIn);
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("A01"));
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_TRUE(password->hasFocus());
    QTest::keyClicks(password, QStringLiteral("wrong"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("รหัสผ่านไม่ถูกต้อง"));
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_EQ(signedIn.count(), 0);
    // The message box closing gives the window back: the cursor stays in
    // the emptied password field, not in the code field in clear text.
    code->setFocus();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&login, &activate);
    EXPECT_TRUE(password->hasFocus());
    QTest::keyClicks(password, QStringLiteral("pw"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(signedIn.count(), 1);
    EXPECT_TRUE(connections.isOpen());
}

TEST(LoginScreen, ClosingTheWindowEndsTheProgramAsExitDoes)
{
    test::TempHome home;
    platform::ScriptedPrompt prompt;
    app::Connections connections;
    app::SignInForm form(app::readConfig(home.path()), connections, prompt);
    app::LoginScreen login(form);
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    QSignalSpy exit(&login, &app::LoginScreen::exitRequested);
    login.close(); // Alt+F4 or the title bar's button
    EXPECT_EQ(exit.count(), 1);
}
