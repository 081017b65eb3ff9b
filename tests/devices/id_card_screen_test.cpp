#include "customers/customer.h"
#include "devices/ui/card_panel.h"
#include "devices/ui/id_card_screen.h"
#include "platform/db/recordset.h"
#include "screenshot.h"
#include "temp_home.h"
#include "virtual_card.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

namespace {

// The card screen over a customer file of its own, with a photo to put on
// the virtual cards and every person it hands over recorded.
class IdCardScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::virtualReaderThere())
            GTEST_SKIP() << "no smart-card service with the virtual reader (scripts/with-pcscd)";
        QImage face(60, 72, QImage::Format_RGB32);
        face.fill(QColor(200, 170, 140));
        photo = data.filePath(QStringLiteral("face.jpg"));
        ASSERT_TRUE(face.save(photo, "JPG"));
    }
    std::unique_ptr<devices::IdCardScreen> openScreen()
    {
        auto form = std::make_unique<devices::CardForm>(customers.db, data.path() + u'/', prompt);
        cardForm = form.get();
        form->onHandOver([this](const customers::CustomerCard& c, const QString&) { handed << c; });
        auto screen = std::make_unique<devices::IdCardScreen>(std::move(form), prompt);
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
        screen->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
        return screen;
    }

    QTemporaryDir data;
    QString photo;
    test::TempDatabase customers{app::DatabaseRole::Customer};
    platform::ScriptedPrompt prompt;
    devices::CardForm* cardForm = nullptr;
    QList<customers::CustomerCard> handed;
};

} // namespace

TEST_F(IdCardScreenTest, ACardIsReadOnceShownStoredAndHandedOver)
{
    const auto shown = openScreen();
    devices::IdCardScreen& screen = *shown;

    {
        prompt.queueAnswer(platform::PromptAnswer::Yes); // "ไม่พบข้อมูลในฐานข้อมูล …"
        test::VirtualCard card(test::provincialCard(photo));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !handed.isEmpty(); }, 15000))
            << prompt.lastText().toStdString();
        EXPECT_EQ(screen.panel()->line("id"), QStringLiteral("1 1017 00203 45 0"));
        EXPECT_EQ(screen.panel()->line("birthEnglish"), QStringLiteral("5 Jan. 1987"));
        keepScreenshot(&screen, QStringLiteral("IDcard"));
        EXPECT_EQ(unfitOnShopScreens(&screen), QStringList());
        // Not in the file: asked, stored with its own row number as code.
        const customers::CustomerCard& stored = handed.first();
        EXPECT_EQ(stored.name, QStringLiteral("นายสมชาย ใจดี"));
        EXPECT_EQ(stored.address, QStringLiteral("99/1 หมู่ที่ 4 ต.บ้านเป็ด อ.เมืองขอนแก่น จ.ขอนแก่น"));
        platform::db::Recordset row(customers.db, QStringLiteral("customer"),
                                    platform::db::Condition::equals(
                                        QStringLiteral("C_ID"), QStringLiteral("1101700203450")));
        ASSERT_FALSE(row.isEmpty());
        const customers::Customer c = customers::readCustomer(row);
        EXPECT_EQ(c.code, QString::number(c.id));
        EXPECT_EQ(stored.code, c.code);
        EXPECT_EQ(c.province, QStringLiteral("ขอนแก่น"));
        EXPECT_EQ(c.ampor, QStringLiteral("เมืองขอนแก่น"));
        EXPECT_EQ(c.moo, QStringLiteral("หมู่ 4"));
        EXPECT_EQ(customers::addressLine1(c), QStringLiteral("99/1 หมู่ 4"));
        EXPECT_FALSE(c.cityCall);
        EXPECT_EQ(c.birthday, QDate(1987, 1, 5));
        EXPECT_EQ(c.zip, QStringLiteral("40000"));
        EXPECT_EQ(QFileInfo(c.image1).fileName(), QStringLiteral("1101700203450.jpg"));
        EXPECT_TRUE(QFileInfo::exists(c.image1));
        EXPECT_EQ(row.text(QStringLiteral("Spare1")), stored.address);

        // Still in the reader: not read again.
        QTest::qWait(1500);
        EXPECT_EQ(handed.size(), 1);
        EXPECT_TRUE(screen.waitingForRemoval());
    }
    // Out and in again: read again, now found in the file; the mobile
    // number alone goes over as the telephone.
    customers.db->exec(QStringLiteral("UPDATE customer SET C_HP = '02-111', C_MP = '081-222'"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.waitingForRemoval(); }, 5000));
    test::VirtualCard again(test::provincialCard(photo));
    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 2; }, 15000));
    EXPECT_EQ(handed.last().code, handed.first().code);
    EXPECT_EQ(handed.last().phone, QStringLiteral("081-222"));
    EXPECT_EQ(customers.db->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 1);
}

TEST_F(IdCardScreenTest, AFailedReadOrACardWithoutAPhotoLeavesNobodyToStore)
{
    prompt.queueAnswer(platform::PromptAnswer::No); // the first person is not stored
    const auto shown = openScreen();
    devices::IdCardScreen& screen = *shown;
    auto* store = screen.findChild<QPushButton*>(QStringLiteral("cmdSave"));
    {
        test::VirtualCard card(test::provincialCard(photo));
        ASSERT_TRUE(QTest::qWaitFor([&] { return cardForm->card().has_value(); }, 15000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.waitingForRemoval(); }, 5000));
    // Another card pulled out halfway: the first person is gone from the
    // panel and the form, and nothing can be stored.
    QJsonObject halfway = test::provincialCard(photo);
    halfway["id"] = "3100600123450";
    halfway["remove_at_photo_chunk"] = 6;
    {
        test::VirtualCard card(halfway);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !cardForm->card().has_value(); }, 15000))
            << prompt.lastText().toStdString();
    }
    EXPECT_TRUE(screen.panel()->line("id").isEmpty());
    EXPECT_FALSE(store->isEnabled());
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_EQ(customers.db->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 0);

    // A card without a photo (padding only) is shown, never looked up or stored.
    QJsonObject faceless = test::provincialCard(QString());
    {
        const qsizetype before = prompt.messages().size();
        test::VirtualCard card(faceless);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return screen.panel()->line("id") == QStringLiteral("1 1017 00203 45 0"); },
            15000));
        QTest::qWait(300);
        EXPECT_FALSE(store->isEnabled());
        for (qsizetype i = before; i < prompt.messages().size(); ++i)
            EXPECT_NE(prompt.messages()[i].text,
                      QStringLiteral("ไม่พบข้อมูลในฐานข้อมูล ต้องการจัดเก็บหรือไม่"));
    }
    EXPECT_EQ(customers.db->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 0);
}

TEST_F(IdCardScreenTest, TheTextShowsBeforeThePhotoAndClosingMidReadDoesNotWait)
{
    // A slow reader: every answer takes 40 ms, the photo some 1.6 s.
    QJsonObject slow = test::provincialCard(photo);
    slow["answer_delay_ms"] = 40;
    test::VirtualCard card(slow);
    auto screen = openScreen();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen->panel()->line("id") == QStringLiteral("1 1017 00203 45 0"); }, 15000));
    // The text is there, the photo still coming: nobody to store yet.
    EXPECT_TRUE(handed.isEmpty());
    EXPECT_FALSE(screen->findChild<QPushButton*>(QStringLiteral("cmdSave"))->isEnabled());
    QElapsedTimer closing;
    closing.start();
    screen.reset();
    // The rest of the photo would take 1.6 s more: the read ended at its
    // next command instead (a wide margin for a loaded machine).
    EXPECT_LT(closing.elapsed(), 1200);
    EXPECT_TRUE(handed.isEmpty());
}
