#include "platform/password_hash.h"

#include <gtest/gtest.h>

namespace ph = tawela::platform::password_hash;

TEST(PasswordHash, VerifiesOnlyTheSamePassword)
{
    const QString h = ph::hash(QStringLiteral("รหัส'ลับ"), ph::Strength::Light);
    EXPECT_TRUE(ph::isHash(h));
    EXPECT_FALSE(h.contains(QStringLiteral("รหัส")));
    EXPECT_TRUE(ph::verify(h, QStringLiteral("รหัส'ลับ")));
    EXPECT_FALSE(ph::verify(h, QStringLiteral("รหัส'ลับ ")));
    EXPECT_FALSE(ph::verify(h, QString()));
    // Salted: the same password never gives the same text twice.
    EXPECT_NE(h, ph::hash(QStringLiteral("รหัส'ลับ"), ph::Strength::Light));
    // Letter case counts.
    const QString ascii = ph::hash(QStringLiteral("Secret"), ph::Strength::Light);
    EXPECT_FALSE(ph::verify(ascii, QStringLiteral("secret")));
}

TEST(PasswordHash, PlainTextIsNoHash)
{
    EXPECT_FALSE(ph::isHash(QStringLiteral("*prepare8")));
    EXPECT_FALSE(ph::verify(QStringLiteral("*prepare8"), QStringLiteral("*prepare8")));
    EXPECT_FALSE(ph::verify(QString(), QString()));
}
