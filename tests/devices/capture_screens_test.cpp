#include "customers/customer_store.h"
#include "customers/ui/customer_screen.h"
#include "devices/ui/capture_screens.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tawela;

namespace {

// SANE's test scanner alone, through a private configuration.
void useTestScanner()
{
    static QTemporaryDir config;
    QFile dll(config.filePath(QStringLiteral("dll.conf")));
    if (dll.open(QIODevice::WriteOnly))
        dll.write("test\n");
    dll.close();
    qputenv("SANE_CONFIG_DIR", config.path().toLocal8Bit());
}

// A camera that plays pictures: the frames of a test in place of a webcam.
class PictureSource : public devices::FrameSource {
public:
    explicit PictureSource(QList<QImage> frames) : m_frames(std::move(frames)) {}
    bool start(std::function<void(const QImage&)> frame) override
    {
        m_timer = std::make_unique<QTimer>();
        QObject::connect(m_timer.get(), &QTimer::timeout,
                         [this, frame] { frame(m_frames[m_next++ % m_frames.size()]); });
        m_timer->start(30);
        return true;
    }
    void stop() override
    {
        if (m_timer)
            m_timer->stop();
    }

private:
    QList<QImage> m_frames;
    std::unique_ptr<QTimer> m_timer;
    qsizetype m_next = 0;
};

QImage colour(const QColor& c)
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

} // namespace

TEST(CaptureScreens, AScanLandsInTheCustomersSecondPictureSlot)
{
    useTestScanner();
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    test::TempDatabase mainDb;
    customers::Customer person;
    person.name = QStringLiteral("สมชาย");
    customers::CustomerStore(customerDb.db).addBare(person);
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<customers::CustomerForm>(customerDb.db, mainDb.db,
                                                          admin::Session{}, prompt);
    form->open({});
    customers::CustomerScreen screen(std::move(form));
    QTemporaryDir images;
    devices::ScanScreen* scanner = nullptr;
    screen.useCapture([&](bool webcam, std::function<void(const QString&)> deliver) {
        ASSERT_FALSE(webcam);
        scanner = new devices::ScanScreen(images.path(), deliver, prompt);
        scanner->show();
    });
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdScan2")), Qt::LeftButton);
    ASSERT_NE(scanner, nullptr);
    // The scanners are looked for off the screen's thread, the line says so;
    // a scan asked for meanwhile waits for them.
    EXPECT_EQ(scanner->findChild<QLabel*>(QStringLiteral("lblScanner"))->text(),
              QStringLiteral("กำลังค้นหาเครื่องสแกน…"));
    EXPECT_TRUE(scanner->searching());
    QPointer<devices::ScanScreen> open = scanner;
    scanner->scanPicture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !open; }, 20000)) << prompt.lastText().toStdString();

    const QString path = screen.form().customer.image2;
    EXPECT_EQ(screen.form().customer.dtIm2, path);
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("image2"))->text(), path);
    EXPECT_TRUE(path.startsWith(images.path()) && path.endsWith(QStringLiteral(".bmp")));
    EXPECT_EQ(QImageReader(path).size(), QSize(629, 787)); // 80 by 100 mm at 200 dpi

    // The screen as it shows the scanner found.
    QPointer<devices::ScanScreen> again = new devices::ScanScreen(images.path(), {}, prompt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again->searching(); }, 10000));
    EXPECT_EQ(again->device(), QStringLiteral("test:0"));
    keepScreenshot(again, QStringLiteral("frmPicScan"));
    EXPECT_EQ(unfitOnShopScreens(again), QStringList());
    again->close();
}

TEST(CaptureScreens, TheWebcamKeepsTheSnapshotAsANewPictureAndSaysWhenThereIsNoCamera)
{
    platform::ScriptedPrompt prompt;
    QTemporaryDir images;
    QStringList delivered;
    auto* screen = new devices::WebcamScreen(
        images.path(), [&](const QString& p) { delivered << p; }, prompt,
        [] {
            return std::make_unique<PictureSource>(
                QList<QImage>{colour(Qt::red), colour(Qt::blue)});
        });
    QPointer<devices::WebcamScreen> open = screen;
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_TRUE(delivered.isEmpty()); // nothing taken yet
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdSnap")), Qt::LeftButton);
    devices::LivePictureDialog* live = screen->liveWindow();
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(live->live());
    QTest::qWait(200);
    keepScreenshot(live, QStringLiteral("frmPicture"));
    EXPECT_EQ(unfitOnShopScreens(live), QStringList());
    QTest::mouseClick(live->findChild<QPushButton*>(QStringLiteral("cmdTake")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->snapshot().isNull(); }, 2000));
    keepScreenshot(screen, QStringLiteral("frmSnap"));
    EXPECT_EQ(unfitOnShopScreens(screen), QStringList());
    // A picture of the same name already there stays as it was.
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_TRUE(delivered.first().endsWith(QStringLiteral(".jpg")));
    EXPECT_EQ(QImageReader(delivered.first()).size(), QSize(320, 240));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !open; }, 2000));

    // This machine's cameras, for real: none here means "No Webcam found".
    if (!devices::cameraSource()->start([](const QImage&) {})) {
        devices::WebcamScreen real(images.path(), {}, prompt);
        real.setAttribute(Qt::WA_DeleteOnClose, false);
        real.snap();
        ASSERT_NE(real.liveWindow(), nullptr);
        EXPECT_FALSE(real.liveWindow()->live());
        EXPECT_EQ(prompt.lastText(), QStringLiteral("No Webcam found"));
        real.liveWindow()->findChild<QPushButton*>(QStringLiteral("cmdTake"))->click();
        EXPECT_TRUE(real.snapshot().isNull());
    }
}
