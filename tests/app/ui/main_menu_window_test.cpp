#include "app/main_menu.h"
#include "app/ui/main_menu_window.h"
#include "platform/version.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(MainMenuWindow, ButtonsGatingAboutAndExit)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    admin::Session session;
    session.policy = QStringLiteral("อ่านอย่างเดียว");
    session.tool = QStringLiteral("อนุญาต");
    app::MainMenuForm form(session, t.db, prompt);
    app::ScreenRegistry screens;
    app::MainMenuWindow menu(form, screens);
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("โปรแกรมบริหารจัดการธุรกิจขายฝาก Tawela"));
    EXPECT_EQ(menu.pos(), QPoint(0, 0));
    const QStringList captions = {"ขายฝาก",   "สรุปสัญญา",   "สรุป รับ-จ่าย",
                                  "ข้อมูลลูกค้า", "สำรองข้อมูล", "ออก"};
    const QStringList names = {"Command11", "Command15", "Command5",
                               "Command6",  "Command8",  "Command10"};
    for (int i = 0; i < names.size(); ++i) {
        auto* b = menu.findChild<QPushButton*>(names[i]);
        ASSERT_NE(b, nullptr) << qPrintable(names[i]);
        EXPECT_EQ(b->text(), captions[i]);
        // Nothing pretends to work: screens still to come are off.
        EXPECT_EQ(b->isEnabled(), names[i] == QStringLiteral("Command10"));
    }
    keepScreenshot(&menu, QStringLiteral("main_menu"));

    // "ออก" stays 1500 twips (about 100 pixels at 96 dpi) from the right edge.
    menu.resize(1200, menu.height());
    QApplication::processEvents();
    auto* exit = menu.findChild<QPushButton*>(QStringLiteral("Command10"));
    const int expected =
        menu.centralWidget()->width() - int(1500.0 * menu.logicalDpiX() / 1440 + 0.5);
    EXPECT_EQ(exit->x(), expected);

    auto* tools = menu.findChild<QMenu*>(QStringLiteral("mnu_tool"));
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(tools->isEnabled());
    QAction* about = nullptr;
    for (QAction* a : tools->actions())
        if (a->objectName() == QStringLiteral("mnu_about"))
            about = a;
    ASSERT_NE(about, nullptr);
    about->trigger();
    QWidget* box = screens.find(QStringLiteral("About"));
    ASSERT_NE(box, nullptr);
    QStringList lines;
    for (QLabel* l : box->findChildren<QLabel*>())
        lines << l->text();
    EXPECT_TRUE(lines.contains(QStringLiteral("โปรแกรม ระบบงานขายฝาก Tawela2014 D4R1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Latest update: 18 Oct, 2014")));
    EXPECT_TRUE(lines.contains(QStringLiteral("รุ่น ") + platform::versionText()));
    keepScreenshot(box, QStringLiteral("about"));
    about->trigger(); // already open: brought forward, not opened twice
    EXPECT_EQ(screens.find(QStringLiteral("About")), box);
    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdBack")), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(screens.isOpen(QStringLiteral("About")));

    QSignalSpy quit(&menu, &app::MainMenuWindow::quitRequested);
    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_EQ(quit.count(), 1); // no backup reminder on a new shop (no backup date)
}

TEST(MainMenuWindow, ToolsOffWithoutTheRight)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    admin::Session session;
    session.tool = QStringLiteral("ไม่อนุญาต");
    app::MainMenuForm form(session, t.db, prompt);
    app::ScreenRegistry screens;
    app::MainMenuWindow menu(form, screens);
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_FALSE(menu.findChild<QMenu*>(QStringLiteral("mnu_tool"))->isEnabled());
}
