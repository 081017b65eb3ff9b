#include "devices/scanner.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include <cstdio>
#include <unistd.h>

using namespace tawela;

namespace {

// SANE's own test scanner only: a private configuration naming it alone.
class TestScanner : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir config;
        QFile dll(config.filePath(QStringLiteral("dll.conf")));
        ASSERT_TRUE(dll.open(QIODevice::WriteOnly));
        dll.write("test\n");
        dll.close();
        qputenv("SANE_CONFIG_DIR", config.path().toLocal8Bit());
    }
};

// A scan cancelled in SANE's test backend ends its reader thread with
// pthread_cancel; now and then that thread held the C library's locale lock,
// and the process then hangs in its exit handlers (p11-kit frees its locale).
// This suite leaves without them once its tests have run and said so.
class LeaveWithoutExitHandlers : public ::testing::Environment {
public:
    void TearDown() override
    {
        const bool passed = ::testing::UnitTest::GetInstance()->Passed();
        std::fflush(nullptr);
        ::_exit(passed ? 0 : 1);
    }
};
[[maybe_unused]] const auto* const leave =
    ::testing::AddGlobalTestEnvironment(new LeaveWithoutExitHandlers);

} // namespace

TEST_F(TestScanner, OnePageInColourOfThePatternsSizeKeptUnderANameOfItsOwn)
{
    const QList<devices::ScannerDevice> found = devices::Scanner::devices();
    ASSERT_FALSE(found.isEmpty()) << "SANE's test backend is not installed";
    EXPECT_EQ(found.first().name, QStringLiteral("test:0"));

    QList<int> heard;
    const std::atomic_bool cancel = false;
    const QImage page = devices::Scanner::scan(
        QStringLiteral("test:0"), 200, [&](int p) { heard << p; }, cancel);
    // The test scanner's page is 80 mm by 100 mm.
    EXPECT_NEAR(page.width(), 80 / 25.4 * 200, 2);
    EXPECT_NEAR(page.height(), 100 / 25.4 * 200, 2);
    EXPECT_EQ(page.format(), QImage::Format_RGB888);
    EXPECT_EQ(heard.last(), 100);

    QTemporaryDir images;
    const QString first = devices::storeCapturedPicture(page, images.path(), QStringLiteral("scan"),
                                                        QStringLiteral("bmp"));
    const QString second = devices::storeCapturedPicture(
        page, images.path(), QStringLiteral("scan"), QStringLiteral("bmp"));
    EXPECT_NE(first, second); // the same second: never over the first
    EXPECT_EQ(QImageReader(second).size(), page.size());
    EXPECT_EQ(QDir(images.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(TestScanner, ACancelledScanGivesNoPicture)
{
    std::atomic_bool cancel = false;
    const QImage page = devices::Scanner::scan(
        QStringLiteral("test:0"), 300,
        [&](int p) {
            if (p > 10)
                cancel = true;
        },
        cancel);
    EXPECT_TRUE(page.isNull());
    EXPECT_THROW(devices::Scanner::scan(QStringLiteral("nosuch:0"), 200, {}, cancel),
                 devices::ScanError);
}
