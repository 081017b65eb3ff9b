#pragma once

#include "app/config.h"
#include "app/connections.h"
#include "platform/db/database.h"

#include "qt_print.h"

#include <QTemporaryDir>

#include <memory>

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

// A new database of a role in a temporary folder, created by the program's
// own schema code.
struct TempDatabase {
    explicit TempDatabase(app::DatabaseRole role = app::DatabaseRole::Main);
    QTemporaryDir dir;
    std::shared_ptr<platform::db::Database> db;
};

} // namespace tawela::test
