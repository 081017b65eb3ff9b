#include "app/config.h"
#include "app/home.h"
#include "temp_home.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tawela;
using app::AppConfig;
using app::ConfigError;

TEST(Config, MissingFileGivesTheDefaults)
{
    test::TempHome home;
    const AppConfig c = app::readConfig(home.path());
    EXPECT_FALSE(c.readFromFile);
    EXPECT_EQ(c.dataFolder, home.path() + QStringLiteral("/"));
    EXPECT_EQ(c.mainDbPath, home.path() + QStringLiteral("/Morlind.mdb"));
    EXPECT_EQ(c.customerDbPath, home.path() + QStringLiteral("/Qorvelcustomer.mdb"));
    EXPECT_EQ(c.archiveDbPath(), home.path() + QStringLiteral("/closed_policy.mdb"));
    EXPECT_EQ(c.personalDbPath(), home.path() + QStringLiteral("/Personal.mdb"));
    EXPECT_EQ(c.dbPassword, QStringLiteral("*prepare8"));
    EXPECT_FALSE(c.idCardReaderEnabled);
    EXPECT_EQ(c.fakeProductText, QStringLiteral("n/a"));
}

TEST(Config, SetupWritesTheExactFile)
{
    test::TempHome home;
    app::writeSetupIni(home.path(), QStringLiteral("k3Y'pw"));
    QFile f(home.file(QStringLiteral("tawela.ini")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray h = home.path().toUtf8() + "/";
    const QByteArray expected = "[Path]\r\n"
                                "drive = " +
                                h +
                                "\r\n"
                                "\r\n"
                                "[BackupFile]\r\n"
                                "file_count = 1\r\n"
                                "file01 = *.mdb\r\n"
                                "\r\n"
                                "[BackupDir]\r\n"
                                "dir_count = 3\r\n"
                                "dir01 = Images\r\n"
                                "dir02 = Temp\r\n"
                                "dir03 = Excel\r\n"
                                "\r\n"
                                "[Path Setting]\r\n"
                                "Database Path =  " +
                                h +
                                "Morlind.mdb\r\n"
                                "Customer Path = " +
                                h +
                                "Qorvelcustomer.mdb\r\n"
                                "pwd =  k3Y'pw\r\n"
                                "\r\n"
                                "[Config_Setting]\r\n"
                                "IDCardReader = True\r\n"
                                "\r\n";
    EXPECT_EQ(f.readAll(), expected);

    // Read back: two blanks after "=" do not reach the value; no FakeProduct key.
    const AppConfig c = app::readConfig(home.path());
    EXPECT_TRUE(c.readFromFile);
    EXPECT_EQ(c.mainDbPath, home.path() + QStringLiteral("/Morlind.mdb"));
    EXPECT_EQ(c.dbPassword, QStringLiteral("k3Y'pw"));
    EXPECT_TRUE(c.idCardReaderEnabled);
    EXPECT_EQ(c.fakeProductText, QString());
    EXPECT_EQ(c.ini.value(QStringLiteral("backupdir"), QStringLiteral("DIR03")),
              QStringLiteral("Excel"));

    // Writing again replaces the file rather than appending to it.
    app::writeSetupIni(home.path(), QStringLiteral("k3Y'pw"));
    f.seek(0);
    EXPECT_EQ(QFile(home.file(QStringLiteral("tawela.ini"))).size(), expected.size());
}

TEST(Config, BooleanFormsOfTheCardReaderKey)
{
    struct Case {
        const char* text;
        std::optional<bool> expected;
    };
    const Case cases[] = {{"True", true},        {"FALSE", false},      {"tRuE", true},
                          {"0", false},          {"1", true},           {"-1", true},
                          {"2.5", true},         {"0.0", false},        {" 7 ", true},
                          {"", std::nullopt},    {"yes", std::nullopt}, {"1x", std::nullopt},
                          {"nan", std::nullopt}, {"inf", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(app::parseIniBoolean(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(Config, CardReaderKeyThatIsNotABooleanStopsStartUp)
{
    test::TempHome home;
    home.writeFile(QStringLiteral("tawela.ini"), "[Config_Setting]\r\nIDCardReader = maybe\r\n");
    try {
        app::readConfig(home.path());
        FAIL() << "accepted";
    } catch (const ConfigError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("maybe")));
        EXPECT_TRUE(e.description().contains(QStringLiteral("IDCardReader")));
    }
    // A missing key is the empty value, and so a failure too.
    home.writeFile(QStringLiteral("tawela.ini"), "[Path]\r\ndrive = x\r\n");
    EXPECT_THROW(app::readConfig(home.path()), ConfigError);
}

TEST(Config, HostileOrIncompleteFilesAreRefusedByName)
{
    test::TempHome home;
    auto refusal = [&](const QByteArray& content) {
        home.writeFile(QStringLiteral("tawela.ini"), content);
        try {
            app::readConfig(home.path());
        } catch (const ConfigError& e) {
            return e.description();
        }
        return QString();
    };
    // Without [Path Setting] the missing key is named.
    const QString noPaths = refusal("[Config_Setting]\r\nIDCardReader = False\r\n");
    EXPECT_TRUE(noPaths.contains(QStringLiteral("Database Path"))) << noPaths.toStdString();
    EXPECT_TRUE(noPaths.contains(QStringLiteral("tawela.ini")));
    // A line of 50,000 characters, and a file of more than a megabyte.
    const QString longLine = refusal("[Path]\r\ndrive = " + QByteArray(50000, 'x') + "\r\n");
    EXPECT_TRUE(longLine.contains(QStringLiteral("บรรทัดที่ 2"))) << longLine.left(200).toStdString();
    EXPECT_LT(longLine.size(), 300);
    QByteArray sections;
    while (sections.size() <= 1024 * 1024)
        sections += "[s" + QByteArray::number(sections.size()) + "]\n";
    const QString big = refusal(sections);
    EXPECT_TRUE(big.contains(QStringLiteral("1 MB"))) << big.toStdString();
    // A value that is not a Boolean is quoted only in part.
    EXPECT_LT(refusal("[Config_Setting]\r\nIDCardReader = " + QByteArray(3000, 'y')).size(), 300);
}

TEST(Config, KeysWithoutCaseBackslashesAndLongPaths)
{
    test::TempHome home;
    const QString longFolder = QStringLiteral("/srv/") + QString(80, u'ก') + QStringLiteral("/");
    home.writeFile(QStringLiteral("tawela.ini"),
                   "[PATH]\r\nDRIVE = \\srv\\shop\r\n"
                   "[path setting]\r\n"
                   "database path =   " +
                       longFolder.toUtf8() +
                       "Morlind.mdb   \r\n"
                       "CUSTOMER PATH = data\\Qorvelcustomer.mdb\r\n"
                       "[config_setting]\r\nidcardreader = false\r\nfakeproduct = ไม่แสดง\r\n");
    const AppConfig c = app::readConfig(home.path());
    EXPECT_EQ(c.dataFolder, QStringLiteral("/srv/shop/"));
    // Long values are kept whole (the old 49-character cut is gone).
    EXPECT_EQ(c.mainDbPath, longFolder + QStringLiteral("Morlind.mdb"));
    // A relative path is taken from the home folder.
    EXPECT_EQ(c.customerDbPath, home.path() + QStringLiteral("/data/Qorvelcustomer.mdb"));
    EXPECT_EQ(c.dbPassword, QString()); // absent key reads empty
    EXPECT_FALSE(c.idCardReaderEnabled);
    EXPECT_EQ(c.fakeProductText, QStringLiteral("ไม่แสดง"));
    EXPECT_EQ(c.archiveDbPath(), QStringLiteral("/srv/shop/closed_policy.mdb"));
}

TEST(Config, HomeFolderFromArgumentsThenEnvironment)
{
    qputenv("TAWELA_HOME", "/tmp/from-env");
    EXPECT_EQ(app::resolveHomeFolder(
                  {QStringLiteral("tawela"), QStringLiteral("--home"), QStringLiteral("/tmp/x/")}),
              QStringLiteral("/tmp/x"));
    EXPECT_EQ(app::resolveHomeFolder({QStringLiteral("tawela"), QStringLiteral("--home=/tmp/y")}),
              QStringLiteral("/tmp/y"));
    EXPECT_EQ(app::resolveHomeFolder({QStringLiteral("tawela")}), QStringLiteral("/tmp/from-env"));
    qunsetenv("TAWELA_HOME");
    EXPECT_TRUE(app::resolveHomeFolder({}).endsWith(QStringLiteral("/.local/share/Tawela")));
}

TEST(Config, ServerSectionAndSwitchingBackToFiles)
{
    test::TempHome home;
    app::writeSetupIni(home.path(), QStringLiteral("first"));
    const AppConfig before = app::readConfig(home.path());
    EXPECT_FALSE(before.server);

    platform::db::ServerAddress a;
    a.host = QStringLiteral("192.168.1.10");
    a.port = 5433;
    a.database = QStringLiteral("shop");
    a.user = QStringLiteral("counter");
    a.schema = QStringLiteral("tawela");
    app::writeServerSettings(home.path(), a, QStringLiteral("role'pw"));
    AppConfig c = app::readConfig(home.path());
    ASSERT_TRUE(c.server);
    EXPECT_EQ(c.server->display(), QStringLiteral("counter@192.168.1.10:5433/shop"));
    EXPECT_EQ(c.server->password, QStringLiteral("role'pw")); // pwd is the role's password
    EXPECT_EQ(c.dbPassword, QStringLiteral("role'pw"));
    EXPECT_EQ(c.idCardReaderEnabled, before.idCardReaderEnabled); // the other lines stay
    EXPECT_EQ(c.fakeProductText, before.fakeProductText);
    EXPECT_EQ(c.dataFolder, before.dataFolder);

    app::writeServerSettings(home.path(), std::nullopt, QStringLiteral("files"));
    c = app::readConfig(home.path());
    EXPECT_FALSE(c.server);
    EXPECT_EQ(c.dbPassword, QStringLiteral("files"));
    EXPECT_EQ(c.mainDbPath, home.file(QStringLiteral("Morlind.mdb")));

    // Only a Host selects the server; a port or a schema that cannot be one is named.
    for (const char* bad : {"Port = 70000", "Port = ห้า", "Schema = a;DROP"}) {
        SCOPED_TRACE(bad);
        home.writeFile(QStringLiteral("tawela.ini"),
                       QByteArray("[Path Setting]\r\nDatabase Path = a\r\nCustomer Path = b\r\n"
                                  "[Config_Setting]\r\nIDCardReader = False\r\n[Server]\r\n"
                                  "Host = h\r\n") +
                           bad + "\r\n");
        EXPECT_THROW(app::readConfig(home.path()), ConfigError);
    }
    home.writeFile(QStringLiteral("tawela.ini"),
                   "[Config_Setting]\r\nIDCardReader = False\r\n[Server]\r\nHost = h\r\n");
    c = app::readConfig(home.path());
    ASSERT_TRUE(c.server);
    EXPECT_EQ(c.server->port, 5432);
    EXPECT_EQ(c.server->schema, QStringLiteral("tawela"));
    EXPECT_EQ(c.server->database, QStringLiteral("tawela"));
}
