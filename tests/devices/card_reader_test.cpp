#include "devices/card_reader.h"
#include "virtual_card.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tawela;

namespace {

// A small JPEG photo, as the card holds one.
QByteArray photoBytes()
{
    QImage image(60, 72, QImage::Format_RGB32);
    image.fill(QColor(120, 160, 200));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return jpeg;
}

class CardReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::virtualReaderThere() && qEnvironmentVariableIsEmpty("TAWELA_TEST_CARD_READER"))
            GTEST_SKIP() << "no smart-card service with the virtual reader (scripts/with-pcscd)";
        QFile f(m_dir.filePath(QStringLiteral("photo.jpg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(photoBytes());
    }
    QString photo() const { return m_dir.filePath(QStringLiteral("photo.jpg")); }

    QTemporaryDir m_dir;
    devices::CardReader reader;
};

} // namespace

// Runs first: the service's address is read once per process.
TEST(CardReaderWithoutService, SaysSoAndListsNoReader)
{
    qputenv("PCSCLITE_CSOCK_NAME", "/nonexistent/pcscd.comm");
    const devices::CardReader reader;
    EXPECT_TRUE(reader.readers().isEmpty());
    EXPECT_FALSE(reader.libraryStatus().ok);
    EXPECT_TRUE(reader.libraryStatus().text.contains(QStringLiteral("pcscd")));
    try {
        reader.read(QStringLiteral("Virtual PCD 00 00"));
        ADD_FAILURE() << "read without a service";
    } catch (const devices::CardError& e) {
        EXPECT_EQ(e.kind(), devices::CardError::Kind::NoService);
    }
    qunsetenv("PCSCLITE_CSOCK_NAME");
}

TEST_F(CardReaderTest, AProvincialCardReadsWholeAndShowsAsTheCardDoes)
{
    test::VirtualCard card(test::provincialCard(photo()));
    ASSERT_TRUE(card.inserted());
    QList<int> heard;
    const devices::IdCard c = reader.read(test::virtualReader(), [&](int p) { heard << p; });
    EXPECT_EQ(c.idNumber, QStringLiteral("1101700203450"));
    EXPECT_EQ(c.thaiTitle + u'|' + c.thaiFirst + u'|' + c.thaiMiddle + u'|' + c.thaiLast,
              QStringLiteral("นาย|สมชาย||ใจดี"));
    EXPECT_EQ(c.englishFirst, QStringLiteral("Somchai"));
    EXPECT_EQ(c.issuer, QStringLiteral("ที่ว่าการอำเภอเมืองขอนแก่น/ขอนแก่น"));
    EXPECT_EQ(c.photo, photoBytes()); // cut after its end mark
    EXPECT_EQ(heard.last(), 100);

    EXPECT_EQ(devices::formattedIdNumber(c.idNumber), QStringLiteral("1 1017 00203 45 0"));
    EXPECT_EQ(devices::formattedRequestNumber(c.requestNumber), QStringLiteral("4001-98-76543210"));
    EXPECT_EQ(devices::thaiCardDate(c.birth), QStringLiteral("5 ม.ค. 2530"));
    EXPECT_EQ(devices::englishCardDate(c.birth), QStringLiteral("5 Jan. 1987"));
    EXPECT_EQ(devices::englishCardDate(QStringLiteral("25300512")), QStringLiteral("12 May 1987"));
    // Empty lane, side street and road leave no double blanks.
    EXPECT_EQ(devices::addressText(c), QStringLiteral("99/1 หมู่ที่ 4 ต.บ้านเป็ด อ.เมืองขอนแก่น จ.ขอนแก่น"));
    EXPECT_EQ(devices::ageOn(c, QDate(2026, 6, 1)), 39);
    EXPECT_EQ(devices::sexText(c), QStringLiteral("ชาย"));

    // The "#" fields in their places, and back.
    const QStringList fields = c.fieldText().split(u'#');
    ASSERT_EQ(fields.size(), 26);
    EXPECT_EQ(fields[0], c.idNumber);
    EXPECT_EQ(fields[4], QStringLiteral("ใจดี"));
    EXPECT_EQ(fields[24], QStringLiteral("จังหวัดขอนแก่น"));
    EXPECT_EQ(fields[25], QStringLiteral("40019876543210"));
    EXPECT_EQ(devices::IdCard::fromFieldText(c.fieldText()).fieldText(), c.fieldText());
}

TEST_F(CardReaderTest, ABangkokCardForLifeWithoutABirthDay)
{
    QJsonObject fields = test::provincialCard(photo());
    fields["id"] = "3100600123450";
    fields["thai_name"] = "นางสาว#มาลี##ศรีสุข";
    fields["birth"] = "25200300"; // day not known
    fields["sex"] = "2";
    fields["expires"] = "99999999";
    fields["address"] = "12#  #ตรอกวัดโพธิ์#ซอยสุขุมวิท 11#ถนนสุขุมวิท#แขวงคลองเตยเหนือ#เขตวัฒนา#กรุงเทพมหานคร";
    ASSERT_TRUE(devices::idNumberValid(fields["id"].toString()));
    test::VirtualCard card(fields);
    const devices::IdCard c = reader.read(test::virtualReader());
    EXPECT_TRUE(c.bangkok());
    EXPECT_EQ(c.moo, QString());
    EXPECT_EQ(devices::addressText(c),
              QStringLiteral("12 ตรอกวัดโพธิ์ ซอยสุขุมวิท 11 ถนนสุขุมวิท แขวงคลองเตยเหนือ เขตวัฒนา "
                             "กรุงเทพมหานคร"));
    EXPECT_EQ(devices::thaiCardDate(c.expires), QStringLiteral("ตลอดชีพ"));
    EXPECT_EQ(devices::thaiCardDate(c.birth), QStringLiteral("มี.ค. 2520"));
    EXPECT_FALSE(devices::birthDate(c).isValid());
    EXPECT_EQ(devices::ageOn(c, QDate(2026, 12, 10)), 49);
    EXPECT_EQ(devices::sexText(c), QStringLiteral("หญิง"));
}

TEST_F(CardReaderTest, ACardPulledOutOrWithAWrongCheckDigitGivesNoData)
{
    QJsonObject halfway = test::provincialCard(photo());
    halfway["remove_at_photo_chunk"] = 6;
    {
        test::VirtualCard card(halfway);
        try {
            reader.read(test::virtualReader());
            ADD_FAILURE() << "a card pulled out was read";
        } catch (const devices::CardError& e) {
            EXPECT_EQ(e.kind(), devices::CardError::Kind::Removed) << e.description().toStdString();
        }
    }
    // Put back, it reads.
    {
        test::VirtualCard again(test::provincialCard(photo()));
        EXPECT_EQ(reader.read(test::virtualReader()).idNumber, QStringLiteral("1101700203450"));
    }
    QJsonObject wrong = test::provincialCard(photo());
    wrong["id"] = "1101700203451";
    test::VirtualCard card(wrong);
    try {
        reader.read(test::virtualReader());
        ADD_FAILURE() << "a wrong check digit was accepted";
    } catch (const devices::CardError& e) {
        EXPECT_EQ(e.kind(), devices::CardError::Kind::BadCheckDigit);
    }
}

TEST_F(CardReaderTest, ACardOfUnknownKindThatRefusesTheFirstAnswerFormTakesTheOther)
{
    QJsonObject card = test::provincialCard(photo());
    card["atr"] = "3B 6A 00 00 80 65 A2 01 01 01 3D 72 D6 43"; // no rule for it
    card["get_response_p2"] = 1;                               // and it takes only P2 = 01
    test::VirtualCard in(card);
    EXPECT_EQ(reader.read(test::virtualReader()).idNumber, QStringLiteral("1101700203450"));
}

TEST_F(CardReaderTest, ACardThatGivesOnlyAFieldAtATimeReadsAllTheSame)
{
    // The text is asked in long runs; a card that refuses them is asked a
    // field at a time, and every field arrives as from any other card.
    test::VirtualCard whole(test::provincialCard(photo()));
    const devices::IdCard fast = reader.read(test::virtualReader());
    whole.remove();
    QJsonObject card = test::provincialCard(photo());
    card["longest_read"] = 100;
    test::VirtualCard in(card);
    QStringList shown;
    const devices::IdCard slow =
        reader.read(test::virtualReader(), {}, true, [&](const devices::IdCard& text) {
            shown << text.thaiFirst << QString::number(text.photo.size());
        });
    EXPECT_EQ(slow.fieldText(), fast.fieldText());
    EXPECT_EQ(slow.photo, fast.photo);
    EXPECT_EQ(slow.requestNumber, fast.requestNumber);
    // The text was handed on before the photo came.
    EXPECT_EQ(shown, QStringList({QStringLiteral("สมชาย"), QStringLiteral("0")}));
    // A read told to stop ends at its next command with nothing.
    std::atomic<bool> stop{true};
    EXPECT_THROW(reader.read(test::virtualReader(), {}, true, {}, &stop), devices::ReadStopped);
}

// Runs on the virtual card, or on a real reader with a real card in it:
//   TAWELA_TEST_CARD_READER="ACS ACR39U ICC Reader 00 00" build/tests/devices/devices_test
TEST_F(CardReaderTest, WhateverCardIsInReadsAsAThaiIdCardShould)
{
    QString readerName = qEnvironmentVariable("TAWELA_TEST_CARD_READER");
    std::optional<test::VirtualCard> card;
    if (readerName.isEmpty()) {
        readerName = test::virtualReader();
        card.emplace(test::provincialCard(photo()));
    }
    ASSERT_TRUE(reader.cardPresent(readerName)) << "no card in " << readerName.toStdString();
    const devices::IdCard c = reader.read(readerName);
    EXPECT_TRUE(devices::idNumberValid(c.idNumber));
    EXPECT_EQ(c.fieldText().split(u'#').size(), 26);
    for (const QString& date : {c.birth, c.issued, c.expires})
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{8}$")).match(date).hasMatch())
            << date.toStdString();
    EXPECT_FALSE(c.thaiFirst.isEmpty());
    EXPECT_TRUE(c.sex == u"1" || c.sex == u"2");
    EXPECT_FALSE(devices::addressText(c).isEmpty());
    EXPECT_TRUE(c.photo.startsWith(QByteArray::fromHex("FFD8")));
    EXPECT_TRUE(c.photo.endsWith(QByteArray::fromHex("FFD9")));
    EXPECT_FALSE(QImage::fromData(c.photo, "JPG").isNull());
}
