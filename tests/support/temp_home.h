#pragma once

#include "app/config.h"
#include "app/connections.h"
#include "platform/db/database.h"

#include "qt_print.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace tawela::test {

// A fresh home folder in a temporary directory, removed afterwards.
class TempHome {
public:
    TempHome();

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Writes tawela.ini as setup does and creates the four databases.
    app::AppConfig setUp();

    void writeFile(const QString& name, const QByteArray& content) const;

private:
    QTemporaryDir m_dir;
};

// The test server, when the suite runs against one: TAWELA_TEST_SERVER
// holds "host=… port=… dbname=… user=… password=…". Each call gives a new
// schema of its own, so tests never see each other's rows.
std::optional<platform::db::ServerAddress> testServer();

// A new database of a role, created by the program's own schema code: a
// file in a temporary folder, or a new schema on the test server.
struct TempDatabase {
    explicit TempDatabase(app::DatabaseRole role = app::DatabaseRole::Main);
    QTemporaryDir dir;
    std::shared_ptr<platform::db::Database> db;
};

} // namespace tawela::test
