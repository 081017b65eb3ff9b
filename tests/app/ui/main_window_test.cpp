#include "app/connections.h"
#include "app/settings.h"
#include "app/ui/main_window.h"
#include "temp_home.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(MainWindow, ShowsTheShopAndItsCounts)
{
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    app::Connections connections;
    connections.open(config);
    app::Settings s = app::loadSettings(connections.main());
    s.companyName = QStringLiteral("ร้านทองเจริญ");
    app::saveSettings(connections.main(), s);
    connections.customer()->exec(QStringLiteral("INSERT INTO customer (C_code) VALUES ('1')"));

    app::MainWindow window(connections);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("companyName"))->text(),
              QStringLiteral("ร้านทองเจริญ"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("customerCount"))->text(),
              QStringLiteral("1"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("contractCount"))->text(),
              QStringLiteral("0"));
    // Set TAWELA_SCREENSHOTS to a folder to look at the screen.
    if (const QString dir = qEnvironmentVariable("TAWELA_SCREENSHOTS"); !dir.isEmpty())
        window.grab().save(dir + QStringLiteral("/main_window.png"));
    auto* exit = window.findChild<QPushButton*>(QStringLiteral("mnuExit"));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), QStringLiteral("ออก"));
    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}
