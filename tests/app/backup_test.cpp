#include "admin/backup.h"
#include "admin/settings.h"
#include "app/connections.h"
#include "file_tree.h"
#include "platform/file_copy.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A shop set up as setup leaves it, with a contract, a customer, a file in
// each backed-up folder, its own report definition and mail account.
class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        config = home.setUp();
        if (config.server)
            GTEST_SKIP() << "files only: the server's data is backed up on the server";
        connections.open(config);
        for (const char* f : {"Images/a.jpg", "Temp/t.txt", "Excel/e.xlsx", "mine.rpt", "mail.ini"})
            write(home.file(QLatin1String(f)), QByteArray("data of ") + f);
        test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-1"}});
        test::addRow(connections.customer(), "customer",
                     {{"C_code", "1"}, {"C_name", "สมชายผู้มีชื่อยาวพอให้หาเจอในแฟ้ม"}});
    }
    std::unique_ptr<BackupForm> form()
    {
        auto f = std::make_unique<BackupForm>(connections.main(), app::shopFiles(config),
                                              app::backupDatabaseCheck(), prompt);
        f->restoreAllowed = true;
        // A restore is tried with the shop's connections closed.
        if (connections.main()) {
            EXPECT_TRUE(f->open());
        }
        return f;
    }
    QString backUp(const QString& to)
    {
        auto f = form();
        f->target = to;
        EXPECT_TRUE(f->backUp({}, QDate(2026, 12, 9))) << prompt.lastText().toStdString();
        return to;
    }
    // The shop's files, the program's own marks and set-aside folders left out.
    QMap<QString, QByteArray> live()
    {
        return test::treeDigest(home.path(), {QStringLiteral("ก่อนเรียกคืน-"),
                                              QStringLiteral("Backup/"), QStringLiteral("Error")});
    }
    int contracts(const QString& path)
    {
        return int(platform::countRows(path, QStringLiteral("chumnum")));
    }

    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
    QTemporaryDir target;
    platform::ScriptedPrompt prompt;
};

} // namespace

TEST_F(BackupTest, ABackupIsASetItsManifestVouchesForAndOnlyChangedFilesAreCopiedAgain)
{
    const QString set = backUp(target.filePath(QStringLiteral("Backup")));
    EXPECT_EQ(prompt.lastText().trimmed(), QStringLiteral("สำรองข้อมูลสมบูรณ์"));
    EXPECT_EQ(admin::loadSettings(connections.main()).backupDate, QDate(2026, 12, 9));
    const admin::SetCheck c = admin::checkSet(set, app::backupDatabaseCheck());
    ASSERT_TRUE(c.ok()) << c.problems.join(u'\n').toStdString();
    QStringList names;
    for (const admin::SetFile& f : c.manifest->files)
        names << f.name;
    for (const char* f :
         {"Morlind.mdb", "Qorvelcustomer.mdb", "closed_policy.mdb", "Personal.mdb", "tawela.ini",
          "mail.ini", "mine.rpt", "Images/a.jpg", "Temp/t.txt", "Excel/e.xlsx"})
        EXPECT_TRUE(names.contains(QLatin1String(f))) << f;
    EXPECT_EQ(c.manifest->password, config.dbPassword);
    EXPECT_EQ(c.manifest->find(admin::file_role::Main)->rows.value(QStringLiteral("chumnum")), 1);
    EXPECT_FALSE(QFileInfo::exists(set + u'/' + admin::RunningMark));

    // Again: only the main database (its backup date was just written) and
    // the picture touched since; the manifest still vouches for the whole set.
    write(home.file(QStringLiteral("Images/a.jpg")), "a new picture");
    const auto plan = admin::readBackupPlan(config.iniPath(), nullptr);
    ASSERT_TRUE(plan);
    QStringList again;
    for (const auto& item : Backup(*plan, set, app::shopFiles(config)).pending())
        again << item.name;
    again.sort();
    EXPECT_EQ(again, QStringList({QStringLiteral("Images/a.jpg"), QStringLiteral("Morlind.mdb")}));
    backUp(set);
    EXPECT_TRUE(admin::checkSet(set, app::backupDatabaseCheck()).ok());
    EXPECT_EQ(read(set + QStringLiteral("/Images/a.jpg")), QByteArray("a new picture"));
}

TEST_F(BackupTest, AFailedBackupNamesTheFileLeavesTheDateAndTheSetMarkedUnfinished)
{
    auto f = form();
    f->target = target.path();
    write(target.filePath(QStringLiteral("Temp")), "a file where the folder goes");
    EXPECT_FALSE(f->backUp());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("Temp")))
        << prompt.lastText().toStdString();
    EXPECT_FALSE(admin::loadSettings(connections.main()).backupDate.isValid());
    const admin::SetCheck c = admin::checkSet(target.path(), app::backupDatabaseCheck());
    ASSERT_FALSE(c.ok());
    EXPECT_TRUE(c.problems.first().contains(QStringLiteral("ถูกขัดจังหวะ")))
        << c.problems.first().toStdString();

    QFile::remove(config.iniPath());
    EXPECT_FALSE(f->backUp());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ไม่พบแฟ้ม tawela.ini")));
}

TEST_F(BackupTest, EveryBrokenSetIsRefusedNamingTheFileAndTheShopStaysByteForByte)
{
    const QString good = backUp(target.filePath(QStringLiteral("good")));
    connections.close();
    const auto before = live();
    const auto overwrite = [](const QString& path, qint64 at, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        f.write(bytes);
    };
    const struct {
        const char* what;
        const char* named; // in the refusal
        std::function<void(const QString& set)> damage;
    } cases[] = {
        {"main database emptied", "Morlind.mdb",
         [](const QString& set) { QFile::resize(set + QStringLiteral("/Morlind.mdb"), 0); }},
        {"customer database emptied", "Qorvelcustomer.mdb",
         [](const QString& set) { QFile::resize(set + QStringLiteral("/Qorvelcustomer.mdb"), 0); }},
        {"main database cut short", "Morlind.mdb",
         [](const QString& set) { QFile::resize(set + QStringLiteral("/Morlind.mdb"), 8192); }},
        {"header overwritten", "Morlind.mdb",
         [&](const QString& set) {
             overwrite(set + QStringLiteral("/Morlind.mdb"), 0, "garbage!");
         }},
        {"one byte of a name flipped", "Qorvelcustomer.mdb",
         [&](const QString& set) {
             const QString path = set + QStringLiteral("/Qorvelcustomer.mdb");
             const qsizetype at = read(path).indexOf(QStringLiteral("ชื่อยาว").toUtf8());
             ASSERT_GT(at, 0);
             overwrite(path, at + 4, "X");
         }},
        {"main database missing", "Morlind.mdb",
         [](const QString& set) { QFile::remove(set + QStringLiteral("/Morlind.mdb")); }},
        {"a picture changed", "Images/a.jpg",
         [](const QString& set) {
             write(set + QStringLiteral("/Images/a.jpg"), "data of Images/a.jpX");
         }},
        {"backup killed before its manifest", "ถูกขัดจังหวะ",
         [](const QString& set) {
             QFile::remove(set + u'/' + admin::ManifestName);
             write(set + u'/' + admin::RunningMark, "2026-12-09T10:00:00");
         }},
        {"manifest cut short", "tawela-backup.json",
         [](const QString& set) { QFile::resize(set + u'/' + admin::ManifestName, 100); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir broken;
        ASSERT_TRUE(test::copyTree(good, broken.path()));
        c.damage(broken.path());
        prompt.clear();
        auto f = form();
        EXPECT_FALSE(f->restore(broken.path()));
        EXPECT_TRUE(prompt.lastText().contains(QString::fromUtf8(c.named)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(live(), before);
        EXPECT_FALSE(QFileInfo::exists(home.file(admin::RestoreMarkName)));
    }

    // Nor is the shop's own folder a set.
    auto f = form();
    EXPECT_FALSE(f->restore(home.path()));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("โฟลเดอร์ข้อมูลของร้านเอง")));
    EXPECT_EQ(live(), before);
}

TEST_F(BackupTest, ARestorePutsBackEveryFileAndKeepsWhatItReplacedAside)
{
    const QString set = backUp(target.filePath(QStringLiteral("Backup")));
    test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-2"}});
    write(home.file(QStringLiteral("Images/a.jpg")), "changed after the backup");
    connections.close();
    ASSERT_EQ(contracts(config.mainDbPath), 2);

    auto f = form();
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    ASSERT_TRUE(f->restore(set)) << prompt.lastText().toStdString();
    EXPECT_TRUE(prompt.messages()
                    .at(prompt.messages().size() - 2)
                    .text.contains(QStringLiteral("สัญญา 1 รายการ")));
    EXPECT_EQ(contracts(config.mainDbPath), 1);
    EXPECT_EQ(read(home.file(QStringLiteral("Images/a.jpg"))), QByteArray("data of Images/a.jpg"));
    const QDir aside(home.path());
    const QStringList asides = aside.entryList({QStringLiteral("ก่อนเรียกคืน-*")}, QDir::Dirs);
    ASSERT_EQ(asides.size(), 1);
    EXPECT_EQ(contracts(home.file(asides.first() + QStringLiteral("/Morlind.mdb"))), 2);
    EXPECT_EQ(read(home.file(asides.first() + QStringLiteral("/Images/a.jpg"))),
              QByteArray("changed after the backup"));
    EXPECT_FALSE(QFileInfo::exists(home.file(admin::RestoreMarkName)));
    // The restored shop opens as sign-in opens it.
    app::Connections again;
    again.open(app::readConfig(home.path()));
    EXPECT_EQ(again.customer()->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 1);
}

TEST_F(BackupTest, ASetOfAnEarlierVersionIsRestoredOnlyAfterTheWarning)
{
    const QString set = backUp(target.filePath(QStringLiteral("old")));
    QFile::remove(set + u'/' + admin::ManifestName);
    connections.close();
    const auto before = live();
    auto f = form();
    prompt.queueAnswer(platform::PromptAnswer::No);
    EXPECT_FALSE(f->restore(set));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ชุดสำรองแบบเก่า")));
    EXPECT_EQ(live(), before);
    // Without its customer database it is not even asked.
    QFile::remove(set + QStringLiteral("/Qorvelcustomer.mdb"));
    EXPECT_FALSE(f->restore(set));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ฐานข้อมูลลูกค้า")));
    EXPECT_EQ(live(), before);
}

TEST(ServerBackup, TheSchemasGoIntoTheSetAndComeBackInOneSwitch)
{
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    if (!config.server)
        GTEST_SKIP() << "needs the test server";
    app::Connections connections;
    connections.open(config);
    const admin::ShopFiles shop = app::shopFiles(config);
    const QString mainSchema = shop.serverSchema(admin::file_role::Main);
    test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-1"}});
    // A customer's text that names the schema: the rows are data, kept as typed.
    const QString note = QStringLiteral("ร้าน ") + mainSchema + QStringLiteral(" สาขา O'Neil");
    test::addRow(connections.customer(), "customer", {{"C_code", "1"}, {"C_name", note}});
    const auto contracts = [&] {
        app::Connections again;
        again.open(app::readConfig(home.path()));
        return again.main()->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt();
    };

    QTemporaryDir target;
    const auto plan = admin::readBackupPlan(config.iniPath(), nullptr);
    ASSERT_TRUE(plan);
    const Backup::Result made = Backup(*plan, target.path(), shop).run();
    ASSERT_TRUE(made.failure.isEmpty()) << made.failure.toStdString();
    const admin::SetCheck c = admin::checkSet(target.path(), app::backupDatabaseCheck());
    ASSERT_TRUE(c.ok()) << c.problems.join(u'\n').toStdString();
    ASSERT_TRUE(c.manifest->find(admin::file_role::Main)->serverDump());
    EXPECT_FALSE(QFileInfo::exists(target.filePath(QStringLiteral("Morlind.mdb"))));

    test::addRow(connections.main(), "chumnum", {{"Policy_no", "A-2"}});
    connections.close();
    platform::ScriptedPrompt prompt;
    admin::BackupForm form(nullptr, shop, app::backupDatabaseCheck(), prompt);
    form.restoreAllowed = true;

    // A dump cut short is refused; the server keeps what it has.
    QTemporaryDir broken;
    ASSERT_TRUE(test::copyTree(target.path(), broken.path()));
    QFile::resize(broken.filePath(QStringLiteral("main.pgdump")), 100);
    EXPECT_FALSE(form.restore(broken.path()));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("main.pgdump")))
        << prompt.lastText().toStdString();
    EXPECT_EQ(contracts(), 2);

    prompt.queueAnswer(platform::PromptAnswer::Yes);
    ASSERT_TRUE(form.restore(target.path())) << prompt.lastText().toStdString();
    EXPECT_EQ(contracts(), 1);
    app::Connections restored;
    restored.open(app::readConfig(home.path()));
    EXPECT_EQ(restored.customer()->scalar(QStringLiteral("SELECT C_name FROM customer")).toString(),
              note);
    EXPECT_EQ(restored.main()
                  ->scalar(QStringLiteral("SELECT count(*) FROM information_schema.schemata WHERE "
                                          "schema_name LIKE ?"),
                           {QVariant(mainSchema + QStringLiteral("_before_%"))})
                  .toInt(),
              1);
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
