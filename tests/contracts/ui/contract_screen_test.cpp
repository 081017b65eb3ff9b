#include "contracts/ui/contract_screen.h"
#include "screenshot.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "typing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;

TEST(ContractScreen, TypeANewContractSaveItAndFindItAgain)
{
    test::TempDatabase t;
    test::rateRows(t.db, "fee_table1", {{30, "3"}});
    t.db->exec(QStringLiteral("UPDATE config_setting SET legal_check = 1"));
    platform::ScriptedPrompt prompt;
    admin::Session session;
    session.employeeName = QStringLiteral("สมศรี");
    QList<PrintJob> printed;
    auto form = std::make_unique<ContractForm>(t.db, session, prompt,
                                               [&](const PrintOrder& o) { printed << o.jobs; });
    ASSERT_TRUE(form->open());
    ContractScreen screen(std::move(form), std::make_unique<ContractList>(t.db, prompt));
    screen.resize(1280, 720);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("ขายฝาก"));
    auto* save = screen.findChild<QPushButton*>(QStringLiteral("cmdSave"));
    EXPECT_FALSE(save->isEnabled());
    keepScreenshot(&screen, QStringLiteral("contract_empty"));

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdNew")), Qt::LeftButton);
    EXPECT_TRUE(save->isEnabled());
    auto* number = screen.findChild<QLineEdit*>(QStringLiteral("t0"));
    EXPECT_TRUE(number->text().endsWith(QStringLiteral("-4-0001")));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("t7"))->text(), QStringLiteral("30"));

    // Keys move the cursor to the panels.
    QTest::keyClick(&screen, Qt::Key_F2);
    EXPECT_TRUE(screen.findChild<QLineEdit*>(QStringLiteral("t22"))->hasFocus());
    QTest::keyClick(&screen, Qt::Key_F1);
    EXPECT_TRUE(number->hasFocus());

    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("t9")),
                   QStringLiteral("นายสมชาย O'Neil"));
    screen.findChild<QPlainTextEdit*>(QStringLiteral("t13"))
        ->setPlainText(QStringLiteral("9 หมู่ 2"));
    test::typeText(screen.findChild<QComboBox*>(QStringLiteral("combo5"))->lineEdit(),
                   QStringLiteral("ทองคำ"));
    screen.findChild<QPlainTextEdit*>(QStringLiteral("text22"))
        ->setPlainText(QStringLiteral("สร้อยคอทองคำ 1 บาท"));
    auto* amount = screen.findChild<QLineEdit*>(QStringLiteral("t4"));
    amount->setFocus();
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("10000"));
    // The money fields follow every keystroke.
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("t8"))->text(), QStringLiteral("300"));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("t3"))->text(), QStringLiteral("10300"));
    keepScreenshot(&screen, QStringLiteral("contract_new"));

    // 3 % for 30 days is above the law's ceiling: said, and No keeps the
    // contract unstored with the cursor on its fee.
    prompt.queueAnswer(platform::PromptAnswer::No);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(screen.form().saved());
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("อัตรานี้เท่ากับ 36.50 % ต่อปี")));
    EXPECT_TRUE(screen.findChild<QLineEdit*>(QStringLiteral("t8"))->hasFocus());
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt(), 0);
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_TRUE(screen.form().saved()) << prompt.lastText().toStdString();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT Ku_name FROM chumnum")).toString(),
              QStringLiteral("นายสมชาย O'Neil"));
    ASSERT_EQ(printed.size(), 1);
    // The ticket gets the payoff table of the term.
    EXPECT_TRUE(printed[0].values.filter(QStringLiteral("payoff_date_4 = ")).size() == 1)
        << printed[0].values.join(u'|').toStdString();
    keepScreenshot(&screen, QStringLiteral("contract_saved"));

    // Found again by name through the list.
    auto* key = screen.findChild<QComboBox*>(QStringLiteral("combo1"));
    key->setCurrentIndex(2);
    Q_EMIT key->activated(2);
    auto* value = screen.findChild<QComboBox*>(QStringLiteral("combo10"));
    EXPECT_EQ(value->count(), 1);
    value->setEditText(QStringLiteral("นายสมชาย O'Neil"));
    Q_EMIT value->lineEdit()->returnPressed();
    EXPECT_EQ(screen.form().recordMode(), QStringLiteral("Edit"));
    EXPECT_TRUE(screen.findChild<QPushButton*>(QStringLiteral("command12"))->isVisible());
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("t9"))->text(),
              QStringLiteral("นายสมชาย O'Neil"));
}
