#include "admin/ui/settings_screen.h"
#include "screenshot.h"
#include "temp_home.h"
#include "typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(SettingsScreen, ARefusedValueKeepsTheScreenAndAChosenOptionIsStored)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    main.db->exec(QStringLiteral("UPDATE config_setting SET ReceptPrinterSize = 80"));
    platform::ScriptedPrompt prompt;
    admin::SettingsScreen screen(std::make_unique<admin::SettingsForm>(main.db, prompt, [] {
        return QList<platform::SerialDevice>{{"ttyS0", "/dev/ttyS0"}};
    }));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    const auto [year, month] = admin::SettingsForm::numberPrefix(QDate::currentDate());
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblYear"))->text(), year);
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblMonth"))->text(), month);
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblPorts"))->text(),
              QStringLiteral("พอร์ตในเครื่องนี้: 1 = ttyS0"));
    for (int i = 1; i <= 3; ++i) // 80 mm matches none of the papers
        EXPECT_FALSE(
            screen.findChild<QRadioButton*>(QStringLiteral("opt_ReceptPrinterSize_%1").arg(i))
                ->isChecked());

    // Enter moves down the fields.
    QLineEdit* duration = screen.numberField(admin::SettingsForm::Number::ChumnumDuration);
    duration->setFocus();
    duration->selectAll();
    test::typeText(duration, QStringLiteral("45"));
    QTest::keyClick(duration, Qt::Key_Return);
    QLineEdit* relax = screen.numberField(admin::SettingsForm::Number::RelaxDay);
    EXPECT_EQ(QApplication::focusWidget(), relax);
    test::typeText(relax, QStringLiteral("-2"));
    screen.findChild<QRadioButton*>(QStringLiteral("opt_sanya_cfg_3"))->click();
    keepScreenshot(&screen, QStringLiteral("set_config"));

    auto* save = screen.findChild<QPushButton*>(QStringLiteral("cmdSave"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), relax);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("จำนวนวันยืดหยุ่น")));

    test::typeText(relax, QStringLiteral("3"));
    // The law's limits: a ceiling of nothing is refused, a lower one kept.
    QLineEdit* ceiling = screen.numberField(admin::SettingsForm::Number::LegalCeiling);
    EXPECT_EQ(ceiling->text(), QStringLiteral("15.00"));
    ceiling->setFocus();
    ceiling->selectAll();
    test::typeText(ceiling, QStringLiteral("0"));
    screen.findChild<QCheckBox*>(QStringLiteral("chk_legal_check"))->click();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), ceiling);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("อัตราสูงสุดต่อปีตามกฎหมาย")));
    test::typeText(ceiling, QStringLiteral("12.5"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(screen.isVisible());
    const admin::Settings s = admin::loadSettings(main.db);
    EXPECT_TRUE(s.legalCheck);
    EXPECT_EQ(s.legalCeiling, platform::Decimal::parse(QStringLiteral("12.5")).value());
    EXPECT_EQ(s.chumnumDuration, 45);
    EXPECT_EQ(s.relaxDay, 3);
    EXPECT_EQ(s.sanyaCfg, QStringLiteral("3"));
    EXPECT_EQ(s.receptPrinterSize, 80);
}

TEST(SettingsScreen, FitsTheShopsScreensAndShowsMoneyAsMoney)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    admin::Settings s = admin::loadSettings(main.db);
    s.minInteres = platform::Decimal::parse(QStringLiteral("12.5")).value();
    admin::saveSettings(main.db, s);
    platform::ScriptedPrompt prompt;
    admin::SettingsScreen screen(std::make_unique<admin::SettingsForm>(main.db, prompt));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(screen.numberField(admin::SettingsForm::Number::MinInteres)->text(),
              QStringLiteral("12.50"));
    for (const QSize& size : shopScreens()) {
        EXPECT_EQ(buttonsOutside(&screen, size), QStringList())
            << size.width() << " x " << size.height();
        keepScreenshot(&screen, QStringLiteral("set_config_%1").arg(size.width()));
    }
}
