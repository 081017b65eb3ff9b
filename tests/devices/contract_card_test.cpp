#include "contracts/ui/contract_screen.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "virtual_card.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(ContractScreenCards, TheIdNumberSearchTakesTheCardPutInAndTheButtonOpensTheReader)
{
    if (!test::virtualReaderThere())
        GTEST_SKIP() << "no smart-card service with the virtual reader (scripts/with-pcscd)";
    test::TempDatabase t;
    test::addRow(
        t.db, "chumnum",
        {{"Policy_no", "69-12-4-0007"}, {"Ku_ID", "1101700203450"}, {"Ku_name", "นายสมชาย ใจดี"}});
    platform::ScriptedPrompt prompt;
    admin::Session session;
    auto form = std::make_unique<contracts::ContractForm>(t.db, session, prompt);
    ASSERT_TRUE(form->open());
    contracts::ContractScreen screen(std::move(form),
                                     std::make_unique<contracts::ContractList>(t.db, prompt));
    bool readerOpened = false;
    screen.useCardReader([&] { readerOpened = true; });
    screen.resize(1280, 720);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    screen.findChild<QRadioButton*>(QStringLiteral("option3"))->click(); // every contract
    auto* key = screen.findChild<QComboBox*>(QStringLiteral("combo1"));
    key->setCurrentIndex(1);
    Q_EMIT key->activated(1); // "เลขที่บัตรประชาชน"
    EXPECT_TRUE(screen.watchingCards());

    QTemporaryDir dir;
    const QJsonObject known = test::provincialCard(QString());
    {
        test::VirtualCard card(known);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return screen.findChild<QLineEdit*>(QStringLiteral("t0"))->text() ==
                       QStringLiteral("69-12-4-0007");
            },
            15000))
            << prompt.lastText().toStdString();
        EXPECT_EQ(screen.findChild<QComboBox*>(QStringLiteral("combo10"))->currentText(),
                  QStringLiteral("1101700203450"));
    }
    QJsonObject stranger = known;
    stranger["id"] = "3100600123450";
    {
        test::VirtualCard card(stranger);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return prompt.lastText() == QStringLiteral("ไม่พบสัญญา ในฐานข้อมูล"); }, 15000))
            << prompt.lastText().toStdString();
    }

    auto* scan = screen.findChild<QPushButton*>(QStringLiteral("cmdScanCard"));
    ASSERT_TRUE(scan->isEnabled());
    QTest::mouseClick(scan, Qt::LeftButton);
    EXPECT_TRUE(readerOpened);
    EXPECT_FALSE(screen.watchingCards()); // the reader's own screen takes the card
}
