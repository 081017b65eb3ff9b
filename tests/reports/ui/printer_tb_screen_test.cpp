#include "reports/ui/printer_tb_screen.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

TEST(PrinterTbScreen, PicksAPrinterForALineAndStores)
{
    test::TempDatabase t(app::DatabaseRole::Personal);
    platform::ScriptedPrompt prompt;
    const QStringList printers = {QStringLiteral("Office_Laser"), QStringLiteral("Receipt58")};
    PrinterTbScreen screen(std::make_unique<PrinterTbForm>(t.db, printers, prompt));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("Printer Select"));
    EXPECT_EQ(screen.form().reportNames.size(), 10);
    EXPECT_EQ(screen.form().reportNames.last(), QStringLiteral("ป้ายสินค้า"));

    // Click the receipt line's printer name, choose the second printer, select.
    QTest::mouseClick(screen.findChild<QLineEdit*>(QStringLiteral("Text1_8")), Qt::LeftButton);
    EXPECT_EQ(screen.form().chooserLine, 8);
    screen.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(1);
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("Text1_8"))->text(),
              QStringLiteral("Receipt58"));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("Text2_8"))->text(), QStringLiteral("1"));
    screen.findChild<QCheckBox*>(QStringLiteral("Check1_8"))->setChecked(true);
    QTest::keyClicks(screen.findChild<QLineEdit*>(QStringLiteral("Text3_8")), QStringLiteral("3"));
    keepScreenshot(&screen, QStringLiteral("printer_tb"));

    auto* toggle = screen.findChild<QPushButton*>(QStringLiteral("Command2"));
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(screen.findChild<QComboBox*>(QStringLiteral("Combo1"))->isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(screen.findChild<QComboBox*>(QStringLiteral("Combo1"))->isVisible());

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_FALSE(screen.isVisible());
    const auto row = PrinterSettings(t.db).row(QStringLiteral("ใบเสร็จรับเงิน"));
    EXPECT_EQ(row->printerName, QStringLiteral("Receipt58"));
    EXPECT_EQ(row->printerIndex, 1);
    EXPECT_EQ(row->offsetLeft, 3);
    EXPECT_TRUE(row->preview);
    EXPECT_TRUE(prompt.messages().isEmpty());
}
