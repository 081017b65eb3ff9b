#include "app/setup.h"
#include "app/ui/setup_screen.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(SetupScreen, FillsInAndCompletes)
{
    test::TempHome home;
    platform::ScriptedPrompt prompt;
    app::SetupForm form(home.path(), prompt);
    app::SetupScreen screen(form);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    auto* company = screen.findChild<QLineEdit*>(QStringLiteral("txtCompany"));
    auto* code = screen.findChild<QLineEdit*>(QStringLiteral("txtCode"));
    auto* name = screen.findChild<QLineEdit*>(QStringLiteral("txtName"));
    auto* password = screen.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    company->setFocus();
    company->setText(QStringLiteral("ร้านทองเจริญ")); // Thai has no key codes in QTest
    QTest::keyClick(company, Qt::Key_Return);
    EXPECT_TRUE(code->hasFocus());
    QTest::keyClicks(code, QStringLiteral("A01"));
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_TRUE(name->hasFocus());
    name->setText(QStringLiteral("สมศรี ใจดี"));
    QTest::keyClick(name, Qt::Key_Return);
    // Without a password nobody could ever sign in: refused, the cursor on it.
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_FALSE(form.completed());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("กรุณาใส่รหัสผ่าน รหัสผ่านว่างจะทำให้เข้าสู่ระบบไม่ได้"));
    EXPECT_TRUE(password->hasFocus());
    EXPECT_TRUE(screen.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isEnabled());
    EXPECT_FALSE(app::isSetUp(home.path()));
    QTest::keyClicks(password, QStringLiteral("pw"));
    keepScreenshot(&screen, QStringLiteral("setup"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    ASSERT_TRUE(form.completed()) << prompt.lastText().toStdString();
    auto* done = screen.findChild<QLabel*>(QStringLiteral("lblCompleted"));
    EXPECT_TRUE(done->isVisible());
    keepScreenshot(&screen, QStringLiteral("setup_done"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdDone")), Qt::LeftButton);
    EXPECT_EQ(screen.result(), QDialog::Accepted);
    EXPECT_TRUE(app::isSetUp(home.path()));
}
