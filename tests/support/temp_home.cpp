#include "temp_home.h"

#include "app/schema.h"
#include "test_server.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <stdexcept>

namespace tawela::test {

std::optional<platform::db::ServerAddress> testServer()
{
    auto a = configuredTestServer();
    if (!a)
        return std::nullopt;
    static QAtomicInteger<quint32> counter;
    a->schema = QStringLiteral("t%1_%2_%3")
                    .arg(QCoreApplication::applicationPid())
                    .arg(++counter)
                    .arg(QRandomGenerator::global()->generate() % 100000);
    return a;
}

TempHome::TempHome()
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
}

app::AppConfig TempHome::setUp()
{
    if (const auto server = testServer()) {
        // The shop on the test server: its password is the server's.
        app::writeSetupIni(path(), server->password);
        app::writeServerSettings(path(), server, server->password);
    } else {
        app::writeSetupIni(path());
    }
    app::AppConfig config = app::readConfig(path());
    app::Connections::createMissing(config);
    return config;
}

void TempHome::writeFile(const QString& name, const QByteArray& content) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        throw std::runtime_error("cannot write test file");
}

TempDatabase::TempDatabase(app::DatabaseRole role)
{
    if (const auto server = testServer()) {
        db = platform::db::Database::openServer(*server, platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*db, role, server->password);
    } else {
        db = platform::db::Database::open(dir.filePath(QStringLiteral("test.mdb")),
                                          platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*db, role, QStringLiteral("*prepare8"));
    }
    // The shops of the tests lend at the rates shops use, above the law's
    // ceiling: its warnings are asked for only by the tests of those warnings.
    if (role == app::DatabaseRole::Main)
        db->exec(QStringLiteral("UPDATE config_setting SET legal_check = 0"));
}

} // namespace tawela::test
