#include "platform/mail.h"

#include "mail_reading.h"
#include "smtp_server.h"
#include "trace_catcher.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tawela;
using platform::MailAccount;
using platform::MailAccountFile;
using platform::MailMessage;
using platform::MailSecurity;
using Field = platform::MailAccountProblem::Field;

namespace {

MailAccount localAccount(int port, MailSecurity security = MailSecurity::None)
{
    MailAccount a;
    a.server = QStringLiteral("127.0.0.1");
    a.port = port;
    a.security = security;
    a.sender = QStringLiteral("shop@example.com");
    return a;
}

MailMessage message()
{
    MailMessage m;
    m.from = QStringLiteral("shop@example.com");
    m.to = {QStringLiteral("somchai@example.com")};
    m.subject = QStringLiteral("แจ้งครบกำหนดไถ่ถอน");
    m.body = QStringLiteral("เรียนคุณสมชาย\nสัญญาของท่านครบกำหนดแล้ว");
    return m;
}

} // namespace

TEST(MailAccountFile, OwnerAloneReadsItAndAnEmptyPasswordKeepsTheStoredOne)
{
    QTemporaryDir dir;
    const MailAccountFile file(dir.filePath(QStringLiteral("mail.ini")));
    EXPECT_FALSE(file.read()->configured()); // no file yet: nothing set

    MailAccount a = localAccount(587, MailSecurity::StartTls);
    a.user = QStringLiteral("shop");
    a.password = QStringLiteral("ลับ'123");
    QString error;
    ASSERT_TRUE(file.write(a, &error)) << error.toStdString();
    const auto perms = QFile::permissions(file.path());
    EXPECT_FALSE(perms &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther));
    QFile raw(file.path());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_FALSE(raw.readAll().contains(a.password.toUtf8()));
    EXPECT_EQ(*file.read(), a);

    MailAccount changed = a;
    changed.port = 465;
    changed.password.clear();
    ASSERT_TRUE(file.write(changed));
    EXPECT_EQ(file.read()->password, a.password);
    EXPECT_EQ(file.read()->port, 465);

    // Settings that could not work are refused and the file stays.
    const std::pair<MailAccount, Field> refused[] = {
        {[&] {
             auto x = a;
             x.server = QStringLiteral("smtp example.com");
             return x;
         }(),
         Field::Server},
        {[&] {
             auto x = a;
             x.port = 0;
             return x;
         }(),
         Field::Port},
        {[&] {
             auto x = a;
             x.port = 70000;
             return x;
         }(),
         Field::Port},
        {[&] {
             auto x = a;
             x.user = QStringLiteral("a\nb");
             return x;
         }(),
         Field::User},
        {[&] {
             auto x = a;
             x.sender = QStringLiteral("shop");
             return x;
         }(),
         Field::Sender},
    };
    for (const auto& [account, field] : refused) {
        ASSERT_TRUE(platform::checkAccount(account));
        EXPECT_EQ(platform::checkAccount(account)->field, field);
        EXPECT_FALSE(file.write(account));
    }
    EXPECT_EQ(file.read()->port, 465);
}

TEST(MailMessage, ThaiSubjectBodyAndFileNameArriveIntactAndBccStaysHidden)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ใบเสร็จ ลูกค้า (1).pdf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray pdf = QByteArray("%PDF-1.4\n") + QByteArray(5000, '\x7f');
    f.write(pdf);
    f.close();
    MailMessage m = message();
    // Long enough to need several encoded words.
    m.subject = QStringLiteral("แจ้งเตือน: สัญญาขายฝากเลขที่ 6712/0042 ครบกำหนดไถ่ถอนวันที่ ๑๕ ธันวาคม");
    m.bcc = {QStringLiteral("hidden@example.com")};
    m.attachment = path;
    const QByteArray mail = platform::composeMail(m, QDateTime(QDate(2026, 12, 9), QTime(10, 0)));

    EXPECT_EQ(test::decodedWords(test::mailHeader(mail, "Subject")), m.subject);
    for (const QByteArray& line : mail.split('\n'))
        EXPECT_LE(line.size(), 998); // no line longer than mail allows
    EXPECT_EQ(test::attachmentName(mail), QStringLiteral("ใบเสร็จ ลูกค้า (1).pdf"));
    EXPECT_EQ(test::partContent(mail, "Content-Type: application/pdf"), pdf);
    QString body = QString::fromUtf8(test::partContent(mail, "Content-Type: text/plain"));
    EXPECT_EQ(body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), m.body);
    EXPECT_FALSE(mail.contains("hidden@example.com"));
    EXPECT_FALSE(test::mailHeader(mail, "Message-ID").isEmpty());

    // A header cannot be smuggled in through an address or the subject.
    MailMessage bad = message();
    bad.subject = QStringLiteral("x\r\nBcc: evil@example.com");
    EXPECT_FALSE(platform::composeMail(bad, QDateTime::currentDateTime()).contains("\r\nBcc:"));
    bad.to = {QStringLiteral("a@example.com\r\nBcc: evil@example.com")};
    EXPECT_THROW(platform::composeMail(bad, QDateTime::currentDateTime()), platform::MailFailure);
    bad = message();
    bad.attachment = dir.filePath(QStringLiteral("gone.pdf"));
    EXPECT_THROW(platform::composeMail(bad, QDateTime::currentDateTime()), platform::MailFailure);
}

TEST(MailSending, TheServerGetsEveryRecipientAfterSigningIn)
{
    test::SmtpServer server({{}, QStringLiteral("shop"), QStringLiteral("ลับ")});
    if (!server.available())
        GTEST_SKIP() << server.why().toStdString();
    MailAccount a = localAccount(server.port());
    a.user = QStringLiteral("shop");
    a.password = QStringLiteral("ลับ");
    MailMessage m = message();
    m.cc = {QStringLiteral("cc@example.com")};
    m.bcc = {QStringLiteral("bo1@example.com"), QStringLiteral("bo2@example.com")};
    std::optional<platform::MailFailure> failure;
    {
        // The technician's trace shows the conversation, never the secret.
        const test::TraceCatcher trace("tawela.mail");
        failure = platform::sendMail(a, m);
        EXPECT_TRUE(trace.all().contains(QStringLiteral("RCPT TO:<bo1@example.com>")));
        EXPECT_FALSE(trace.all().contains(QString::fromLatin1(a.password.toUtf8().toBase64())));
        const QByteArray plain =
            QByteArray(1, '\0') + "shop" + QByteArray(1, '\0') + a.password.toUtf8();
        EXPECT_FALSE(trace.all().contains(QString::fromLatin1(plain.toBase64())));
        EXPECT_FALSE(trace.all().contains(a.password));
    }
    ASSERT_FALSE(failure) << failure->message.toStdString();
    const auto got = server.received();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].from, QStringLiteral("shop@example.com"));
    EXPECT_EQ(got[0].recipients,
              QStringList({QStringLiteral("somchai@example.com"), QStringLiteral("cc@example.com"),
                           QStringLiteral("bo1@example.com"), QStringLiteral("bo2@example.com")}));
    EXPECT_FALSE(got[0].data.contains("bo1@example.com"));
}

TEST(MailSending, WhatTheServerAnsweredIsSaidAndNothingIsSentInTheClear)
{
    test::SmtpServer server(
        {{QStringLiteral("nobody@example.com")}, QStringLiteral("shop"), QStringLiteral("right")});
    if (!server.available())
        GTEST_SKIP() << server.why().toStdString();
    MailAccount a = localAccount(server.port());
    a.user = QStringLiteral("shop");
    a.password = QStringLiteral("wrong");
    auto failure = platform::sendMail(a, message());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->message.contains(QStringLiteral("535"))) << failure->message.toStdString();

    a.password = QStringLiteral("right");
    MailMessage m = message();
    m.to << QStringLiteral("nobody@example.com");
    failure = platform::sendMail(a, m);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->message.contains(QStringLiteral("550"))) << failure->message.toStdString();
    EXPECT_TRUE(failure->message.contains(QStringLiteral("User unknown")))
        << failure->message.toStdString();

    // An account that asks for STARTTLS never falls back to plain text.
    a.security = MailSecurity::StartTls;
    failure = platform::sendMail(a, message());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(server.received().isEmpty());

    // Many recipients: the refused one is listed, the others get the mail.
    a.security = MailSecurity::None;
    QStringList refused;
    m = message();
    m.bcc = {QStringLiteral("nobody@example.com"), QStringLiteral("bo@example.com")};
    failure = platform::sendComposed(a, m, platform::composeMail(m, QDateTime::currentDateTime()),
                                     &refused);
    ASSERT_FALSE(failure) << failure->message.toStdString();
    EXPECT_EQ(refused, QStringList{QStringLiteral("nobody@example.com")});
    ASSERT_EQ(server.received().size(), 1);
    EXPECT_EQ(server.received()[0].recipients, QStringList({QStringLiteral("somchai@example.com"),
                                                            QStringLiteral("bo@example.com")}));

    // Failures the library names are said in Thai, its words after them.
    a.port = 1; // nobody listens there
    failure = platform::sendMail(a, message());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->message.startsWith(
        QStringLiteral("ส่งอีเมลไม่สำเร็จ: ติดต่อเครื่องแม่ข่ายอีเมล 127.0.0.1 พอร์ต 1 ไม่ได้")))
        << failure->message.toStdString();
    a.server = QStringLiteral("no-such-host.invalid");
    failure = platform::sendMail(a, message());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(
        failure->message.contains(QStringLiteral("ไม่พบเครื่องแม่ข่ายอีเมลชื่อ no-such-host.invalid")))
        << failure->message.toStdString();
}
