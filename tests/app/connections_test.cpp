#include "app/connections.h"
#include "app/startup.h"
#include "platform/db/db_error.h"
#include "platform/prompt.h"
#include "temp_home.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tawela;
using app::Connections;
using app::DatabaseRole;
using platform::db::DbError;
namespace error_number = platform::db::error_number;

namespace {

int openError(const app::AppConfig& config)
{
    Connections c;
    try {
        c.open(config);
    } catch (const DbError& e) {
        EXPECT_FALSE(c.isOpen());
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Connections, OpensTheFourDatabasesOfASetUpHome)
{
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    Connections c;
    c.open(config);
    ASSERT_TRUE(c.isOpen());
    if (config.server) {
        // Three schemas of one server database; this computer's printers in a file.
        EXPECT_EQ(c.main()->server().schema, config.server->schema + QStringLiteral("_main"));
        EXPECT_EQ(c.customer()->server().schema,
                  config.server->schema + QStringLiteral("_customer"));
        EXPECT_EQ(c.archive()->server().schema, config.server->schema + QStringLiteral("_archive"));
    } else {
        EXPECT_EQ(c.main()->path(), home.file(QStringLiteral("Morlind.mdb")));
        EXPECT_EQ(c.customer()->path(), home.file(QStringLiteral("Qorvelcustomer.mdb")));
        EXPECT_EQ(c.archive()->path(), home.file(QStringLiteral("closed_policy.mdb")));
    }
    EXPECT_EQ(c.personal()->path(), home.file(QStringLiteral("Personal.mdb")));
    EXPECT_TRUE(c.main()->hasTable(QStringLiteral("chumnum")));
    EXPECT_TRUE(c.customer()->hasTable(QStringLiteral("customer")));

    // Opening again replaces all four; what an old holder kept still works.
    auto oldMain = c.main();
    c.open(config);
    EXPECT_NE(c.main(), oldMain);
    EXPECT_EQ(oldMain->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt(), 0);
    c.close();
    EXPECT_FALSE(c.isOpen());
}

TEST(Connections, EveryMissingFileStopsTheOpening)
{
    if (test::testServer())
        GTEST_SKIP() << "the files of a shop without a server";
    for (const char* name :
         {"Morlind.mdb", "Qorvelcustomer.mdb", "closed_policy.mdb", "Personal.mdb"}) {
        SCOPED_TRACE(name);
        test::TempHome home;
        const app::AppConfig config = home.setUp();
        ASSERT_TRUE(QFile::remove(home.file(QLatin1String(name))));
        EXPECT_EQ(openError(config), error_number::FileNotFound);
        // Nothing was created in its place.
        EXPECT_FALSE(QFile::exists(home.file(QLatin1String(name))));
    }
}

TEST(Connections, AWrongPasswordIsRefused)
{
    test::TempHome home;
    app::AppConfig config = home.setUp();
    const QString right = config.dbPassword;
    // On the server, pwd is the role's password and the server checks it.
    config.dbPassword = QStringLiteral("guess");
    if (config.server)
        config.server->password = config.dbPassword;
    EXPECT_EQ(openError(config), error_number::WrongPassword);
    // The databases are the same after the refusal.
    config.dbPassword = right;
    if (config.server)
        config.server->password = right;
    EXPECT_EQ(openError(config), 0);
}

TEST(Connections, AFailedReopenKeepsTheOpenConnections)
{
    test::TempHome home;
    app::AppConfig config = home.setUp();
    Connections c;
    c.open(config);
    auto main = c.main();
    app::AppConfig broken = config;
    broken.customerDbPath = home.file(QStringLiteral("nowhere/Qorvelcustomer.mdb"));
    if (broken.server)
        broken.server->schema = QStringLiteral("nowhere");
    EXPECT_THROW(c.open(broken), DbError);
    EXPECT_EQ(c.main(), main);
    EXPECT_TRUE(c.isOpen());
}

TEST(Connections, StartUpMessages)
{
    test::TempHome home;
    home.writeFile(QStringLiteral("tawela.ini"), "[Config_Setting]\r\nIDCardReader = ใช่\r\n");
    platform::ScriptedPrompt prompt;
    EXPECT_FALSE(app::readConfigOrReport(home.path(), prompt).has_value());
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages()[0].title, QStringLiteral("พบข้อผิดพลาด"));
    EXPECT_EQ(prompt.messages()[0].icon, platform::PromptIcon::Critical);

    prompt.clear();
    test::TempHome empty;
    const auto config = app::readConfigOrReport(empty.path(), prompt);
    ASSERT_TRUE(config.has_value()); // no file: defaults, no message
    EXPECT_TRUE(prompt.messages().isEmpty());
    Connections c;
    EXPECT_FALSE(app::openConnectionsOrReport(c, *config, prompt));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("Error : 3024 ")));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("Morlind.mdb")));
    EXPECT_EQ(prompt.messages()[0].buttons, platform::PromptButtons::Ok);
}
