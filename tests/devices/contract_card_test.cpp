#include "contracts/ui/contract_screen.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "virtual_card.h"

#include <QComboBox>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

namespace {

// The contract screen over a shop's database, as the main menu opens it.
std::unique_ptr<contracts::ContractScreen> contractScreen(const test::TempDatabase& t,
                                                          const admin::Session& session,
                                                          platform::ScriptedPrompt& prompt)
{
    auto form = std::make_unique<contracts::ContractForm>(t.db, session, prompt);
    if (!form->open())
        return nullptr;
    auto screen = std::make_unique<contracts::ContractScreen>(
        std::move(form), std::make_unique<contracts::ContractList>(t.db, prompt));
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    return screen;
}

} // namespace

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
    const auto shown = contractScreen(t, session, prompt);
    ASSERT_NE(shown, nullptr);
    contracts::ContractScreen& screen = *shown;
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
    const auto showsTheContract = [&] {
        return screen.findChild<QLineEdit*>(QStringLiteral("t0"))->text() ==
               QStringLiteral("69-12-4-0007");
    };
    {
        test::VirtualCard card(known);
        ASSERT_TRUE(QTest::qWaitFor(showsTheContract, 15000)) << prompt.lastText().toStdString();
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
        // No other customer's contract stays on screen under this card.
        EXPECT_TRUE(screen.findChild<QLineEdit*>(QStringLiteral("t0"))->text().isEmpty());
        EXPECT_TRUE(screen.form().contract.kuName.isEmpty());
    }
    // A card that cannot be read, left in: said once, not every look.
    QJsonObject bad = known;
    bad["id"] = "1101700203451"; // a wrong check digit
    {
        const qsizetype before = prompt.messages().size();
        test::VirtualCard card(bad);
        QTest::qWait(5000); // three looks and more
        EXPECT_EQ(prompt.messages().size() - before, 1) << prompt.lastText().toStdString();
    }

    // The reader chosen on the card screen is the one watched, at the
    // next watch: a card in the second reader is found.
    devices::chooseReader(test::virtualReader(1));
    Q_EMIT key->activated(1);
    {
        test::VirtualCard card(known, 1);
        ASSERT_TRUE(QTest::qWaitFor(showsTheContract, 15000)) << prompt.lastText().toStdString();
    }
    devices::chooseReader(QString());

    auto* scan = screen.findChild<QPushButton*>(QStringLiteral("cmdScanCard"));
    ASSERT_TRUE(scan->isEnabled());
    QTest::mouseClick(scan, Qt::LeftButton);
    EXPECT_TRUE(readerOpened);
    EXPECT_FALSE(screen.watchingCards()); // the reader's own screen takes the card
}

TEST(ContractScreenPictures, FileScanCaptionAndRemoveInTheThreeSlots)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    admin::Session session;
    const auto shown = contractScreen(t, session, prompt);
    ASSERT_NE(shown, nullptr);
    contracts::ContractScreen& screen = *shown;
    QStringList filtersAsked;
    int selectedAsked = -1;
    screen.setFileChooser([&](const QString&, const QStringList& filters, int selected,
                              const QString&) -> std::optional<QString> {
        filtersAsked = filters;
        selectedAsked = selected;
        return QStringLiteral("/srv/a.b/รูป");
    });
    QList<bool> opened;
    screen.useCapture([&](bool webcam, std::function<void(const QString&)> deliver) {
        opened << webcam;
        deliver(QStringLiteral("/shop/Images/webcam-20261210-101500.jpg"));
    });
    screen.resize(1280, 720);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdNew")), Qt::LeftButton);

    auto field = [&](const char* name) {
        return screen.findChild<QLineEdit*>(QLatin1String(name));
    };
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPicFile1")),
                      Qt::LeftButton);
    EXPECT_EQ(field("Text8")->text(), QStringLiteral("/srv/a.b/รูป"));
    // All the kinds together shown first; Photoshop files only when they open here.
    const bool photoshop = QImageReader::supportedImageFormats().contains("psd");
    EXPECT_EQ(selectedAsked, filtersAsked.size() - 1);
    EXPECT_TRUE(filtersAsked.last().startsWith(QStringLiteral("All Image Files (*.bmp *.jpg")));
    EXPECT_EQ(filtersAsked.last().contains(QStringLiteral("*.psd")), photoshop);
    // A dot in a folder name gives no caption.
    QTest::mouseDClick(field("Text16"), Qt::LeftButton);
    EXPECT_EQ(field("Text16")->text(), QString());

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPicCam2")), Qt::LeftButton);
    EXPECT_EQ(opened, QList<bool>{true});
    EXPECT_EQ(field("Text9")->text(), QStringLiteral("/shop/Images/webcam-20261210-101500.jpg"));
    EXPECT_EQ(field("Text17")->text(), field("Text9")->text());
    field("Text17")->clear();
    QTest::mouseDClick(field("Text17"), Qt::LeftButton);
    EXPECT_EQ(field("Text17")->text(), QStringLiteral("webcam-20261210-101500.jpg"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPicFile2")),
                      Qt::LeftButton);
    EXPECT_FALSE(filtersAsked.last().contains(QStringLiteral("*.psd")));

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPicDel2")), Qt::LeftButton);
    EXPECT_EQ(field("Text9")->text(), QString());
    EXPECT_EQ(field("Text17")->text(), QStringLiteral("-"));
    EXPECT_EQ(screen.form().contract.image2, QString());
    EXPECT_EQ(screen.form().contract.image1, QStringLiteral("/srv/a.b/รูป"));
}
