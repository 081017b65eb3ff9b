#include "devices/barcode_burst.h"

#include <gtest/gtest.h>

using tawela::devices::BarcodeBurst;

namespace {

// Types `text` one key every `gapMs` from `startMs`, then Enter after the same gap.
std::optional<QString> typeThenEnter(BarcodeBurst& burst, const QString& text, qint64 gapMs,
                                     qint64 startMs = 1000)
{
    qint64 at = startMs;
    for (QChar c : text) {
        burst.typed(c, at);
        at += gapMs;
    }
    return burst.enter(at);
}

} // namespace

TEST(BarcodeBurst, AScannerIsToldFromAPerson)
{
    BarcodeBurst burst;
    // A scanner: 10 ms a key.
    EXPECT_EQ(typeThenEnter(burst, QStringLiteral("69-12-4-0006"), 10),
              QStringLiteral("69-12-4-0006"));
    // A person: 150 ms a key, and a fast typist at 40 ms.
    EXPECT_FALSE(typeThenEnter(burst, QStringLiteral("69-12-4-0006"), 150));
    EXPECT_FALSE(typeThenEnter(burst, QStringLiteral("69-12-4-0006"), 40));
    // Exactly at the limit still counts; a few fast keys are not a code.
    EXPECT_EQ(typeThenEnter(burst, QStringLiteral("R123"), 30), QStringLiteral("R123"));
    EXPECT_FALSE(typeThenEnter(burst, QStringLiteral("R12"), 5));

    // Typed slowly, then a scan: only the scan comes out (had the slow "b"
    // joined, "bR15" would have been long enough to come out).
    burst.typed(u'a', 0);
    burst.typed(u'b', 150);
    EXPECT_EQ(typeThenEnter(burst, QStringLiteral("R15"), 8, 400), std::nullopt);
    burst.typed(u'x', 0);
    burst.typed(u'y', 200);
    EXPECT_EQ(typeThenEnter(burst, QStringLiteral("R1577"), 8, 500), QStringLiteral("R1577"));

    // A scan with a slow Enter, an arrow key in the middle or a space is no code.
    qint64 at = 0;
    for (QChar c : QStringLiteral("R1577")) {
        burst.typed(c, at);
        at += 5;
    }
    EXPECT_FALSE(burst.enter(at + 200));
    burst.typed(u'R', 0);
    burst.typed(u'1', 5);
    burst.other();
    burst.typed(u'5', 10);
    burst.typed(u'7', 15);
    EXPECT_FALSE(burst.enter(20));
    EXPECT_FALSE(typeThenEnter(burst, QStringLiteral("R1 577"), 5));
    // The clock going back (a new session of key times) starts afresh.
    burst.typed(u'R', 5000);
    EXPECT_EQ(typeThenEnter(burst, QStringLiteral("R1577"), 5, 100), QStringLiteral("R1577"));
}
