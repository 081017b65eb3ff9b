#include "admin/backup.h"
#include "admin/settings.h"
#include "app/connections.h"
#include "platform/file_copy.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tawela;
using admin::Backup;
using admin::BackupForm;

namespace {

void write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A shop set up as setup leaves it, with a file in each backed-up folder.
class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        config = home.setUp();
        connections.open(config);
        for (const char* f : {"Images/a.jpg", "Temp/t.txt", "Excel/e.xlsx"})
            write(home.file(QLatin1String(f)), QByteArray("data of ") + f);
    }
    QDate storedDate() { return admin::loadSettings(connections.main()).backupDate; }

    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
    QTemporaryDir target;
    platform::ScriptedPrompt prompt;
};

} // namespace

TEST_F(BackupTest, TheListedFilesAndFoldersLandInTheTargetAndThenOnlyWhatChanged)
{
    if (connections.main()->isServer())
        GTEST_SKIP() << "the server's data is backed up by the server";
    BackupForm form(connections.main(), config.iniPath(), prompt);
    ASSERT_TRUE(form.open());
    form.target = target.filePath(QStringLiteral("Backup"));
    ASSERT_TRUE(form.backUp({}, QDate(2026, 12, 9))) << prompt.lastText().toStdString();
    EXPECT_EQ(prompt.lastText().trimmed(), QStringLiteral("สำรองข้อมูลสมบูรณ์"));
    const QDir out(form.target);
    for (const char* f : {"Morlind.mdb", "Qorvelcustomer.mdb", "closed_policy.mdb", "Images/a.jpg",
                          "Temp/t.txt", "Excel/e.xlsx"})
        EXPECT_TRUE(out.exists(QLatin1String(f))) << f;
    EXPECT_TRUE(platform::isDatabaseFile(out.filePath(QStringLiteral("Morlind.mdb"))));
    EXPECT_EQ(storedDate(), QDate(2026, 12, 9));

    // Again: only the main database (its backup date was just written) and
    // the picture touched since.
    write(home.file(QStringLiteral("Images/a.jpg")), "a new picture");
    const auto plan = admin::readBackupPlan(config.iniPath(), nullptr);
    ASSERT_TRUE(plan);
    QStringList again;
    for (const auto& item : Backup(*plan, form.target).pending())
        again << QFileInfo(item.source).fileName();
    again.sort();
    EXPECT_EQ(again, QStringList({QStringLiteral("Morlind.mdb"), QStringLiteral("a.jpg")}));
}

TEST_F(BackupTest, AFailureNamesTheFileAndLeavesTheDateAsItWas)
{
    if (connections.main()->isServer())
        GTEST_SKIP() << "the server's data is backed up by the server";
    BackupForm form(connections.main(), config.iniPath(), prompt);
    ASSERT_TRUE(form.open());
    form.target = target.path();
    write(target.filePath(QStringLiteral("Temp")), "a file where the folder goes");
    EXPECT_FALSE(form.backUp());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("Temp")))
        << prompt.lastText().toStdString();
    EXPECT_FALSE(storedDate().isValid());

    QFile::remove(config.iniPath());
    EXPECT_FALSE(form.backUp());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ไม่พบแฟ้ม tawela.ini")));
    EXPECT_FALSE(storedDate().isValid());
}

TEST(DatabaseCopy, ACopyMadeWhileAnotherProgramWritesIsOneWholeState)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("shop.mdb"));
    QProcess make;
    make.start(QStringLiteral("sqlite3"),
               {db, QStringLiteral("CREATE TABLE a (x INTEGER); CREATE TABLE b (x INTEGER);")});
    if (!make.waitForFinished(10000) || make.exitCode() != 0)
        GTEST_SKIP() << "sqlite3 is not installed";
    // Another program adds a row to both tables in each of its transactions.
    QString script = QStringLiteral(".timeout 20000\n");
    for (int i = 0; i < 1500; ++i)
        script +=
            QStringLiteral("BEGIN; INSERT INTO a VALUES (%1); INSERT INTO b VALUES (%1); COMMIT;\n")
                .arg(i);
    QProcess writer;
    writer.start(QStringLiteral("sqlite3"), {db});
    ASSERT_TRUE(writer.waitForStarted());
    writer.write(script.toUtf8());
    writer.closeWriteChannel();
    int copies = 0;
    while (writer.state() != QProcess::NotRunning || copies < 3) {
        const QString copy = dir.filePath(QStringLiteral("copy%1.mdb").arg(copies++));
        platform::copyDatabaseFile(db, copy);
        QProcess check;
        check.start(QStringLiteral("sqlite3"),
                    {copy, QStringLiteral("PRAGMA integrity_check; SELECT (SELECT count(*) FROM a) "
                                          "= (SELECT count(*) FROM b);")});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.readAllStandardOutput(), QByteArray("ok\n1\n"));
        writer.waitForFinished(20);
        if (copies > 200)
            break;
    }
    writer.waitForFinished(30000);
}

TEST_F(BackupTest, ARestoreBringsBackTheBackupAndKeepsWhatItReplaced)
{
    if (connections.main()->isServer())
        GTEST_SKIP() << "files only";
    const auto contracts = [&] {
        return connections.main()->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt();
    };
    test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-1"}});
    BackupForm form(connections.main(), config.iniPath(), prompt);
    ASSERT_TRUE(form.open());
    form.target = target.path();
    ASSERT_TRUE(form.backUp());
    test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-2"}});
    write(home.file(QStringLiteral("Images/a.jpg")), "changed after the backup");
    const auto plan = admin::readBackupPlan(config.iniPath(), nullptr);
    ASSERT_TRUE(plan);
    bool listed = false;
    for (const auto& e : admin::inspectBackup(*plan, target.path()))
        if (e.name == QLatin1String("Morlind.mdb")) {
            listed = true;
            EXPECT_EQ(e.contracts, 1);
        }
    EXPECT_TRUE(listed);

    // A damaged database in the backup: nothing is touched.
    QTemporaryDir damaged;
    write(damaged.filePath(QStringLiteral("Morlind.mdb")),
          QByteArray("SQLite format 3\0", 16) + QByteArray(8192, 'x'));
    const auto refused = admin::restoreBackup(*plan, damaged.path());
    EXPECT_FALSE(refused.failure.isEmpty());
    EXPECT_EQ(refused.restored, 0);

    const auto r =
        admin::restoreBackup(*plan, target.path(), QDateTime(QDate(2026, 12, 9), QTime(9, 30)));
    ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
    EXPECT_EQ(contracts(), 1); // seen by the connection already open
    QFile picture(home.file(QStringLiteral("Images/a.jpg")));
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), QByteArray("data of Images/a.jpg"));
    EXPECT_TRUE(r.aside.endsWith(QStringLiteral("20261209-093000")));
    EXPECT_EQ(
        platform::countRows(r.aside + QStringLiteral("/Morlind.mdb"), QStringLiteral("chumnum")),
        2);
}
