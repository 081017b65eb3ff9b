#include "contracts/rate_tables.h"
#include "contracts/ui/table_editor_screen.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;

TEST(TableEditorScreen, InterestEditorOpensEditsAndClosesWithTheCycle)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    auto form =
        std::make_unique<RateTableEditorForm>(t.db, RateTableEditorForm::Kind::Interest,
                                              QStringLiteral("1"), admin::Right::Allowed, prompt);
    ASSERT_TRUE(form->open());
    auto* screen = new TableEditorScreen(std::move(form), prompt);
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("อัตราดอกเบี้ย(ร้อยละ/เดือน) ที่ 1"));
    EXPECT_EQ(screen->findChild<QLabel*>(QStringLiteral("lblNote"))->text(),
              QStringLiteral("ให้ใส่จำนวนวันจากน้อยไปหามาก"));
    auto* cycle = screen->findChild<QLineEdit*>(QStringLiteral("txtPeriod"));
    EXPECT_EQ(cycle->text(), QStringLiteral("30"));
    // The new row at the bottom takes a typed row.
    auto* grid = screen->grid();
    grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("60"));
    grid->model()->setData(grid->model()->index(1, 2), QStringLiteral("2.5"));
    keepScreenshot(screen, QStringLiteral("fee_table"));
    cycle->setText(QStringLiteral("60"));
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(RateTables(t.db).period(QStringLiteral("1")), 60);
    EXPECT_EQ(RateTables(t.db).feeRows(QStringLiteral("1")).size(), 2);
    delete screen;
}

TEST(TableEditorScreen, ABadCycleKeepsTheScreenOpen)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    auto form =
        std::make_unique<RateTableEditorForm>(t.db, RateTableEditorForm::Kind::Interest,
                                              QStringLiteral("2"), admin::Right::ReadOnly, prompt);
    ASSERT_TRUE(form->open());
    TableEditorScreen screen(std::move(form), prompt);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    screen.findChild<QLineEdit*>(QStringLiteral("txtPeriod"))->setText(QStringLiteral("x"));
    screen.close();
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(prompt.messages().size(), 1);
}

TEST(TableEditorScreen, ProductGroups)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    TableEditorScreen screen(std::make_unique<ProductGroupEditorForm>(t.db, prompt), prompt);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("ตารางกลุ่มสินค้าขายฝาก"));
    EXPECT_EQ(screen.grid()->model()->data(screen.grid()->model()->index(0, 0)).toString(),
              QStringLiteral("ทองคำ"));
    keepScreenshot(&screen, QStringLiteral("prodgroup_table"));
    screen.grid()->selectRow(0);
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    QTest::keyClick(&screen, Qt::Key_Delete);
    EXPECT_NE(screen.grid()->model()->data(screen.grid()->model()->index(0, 0)).toString(),
              QStringLiteral("ทองคำ"));
}
