#include "temp_home.h"

#include "app/schema.h"

#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

namespace tawela::test {

TempHome::TempHome()
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
}

app::AppConfig TempHome::setUp()
{
    app::writeSetupIni(path());
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
    db = platform::db::Database::open(dir.filePath(QStringLiteral("test.mdb")),
                                      platform::db::OpenMode::CreateIfMissing);
    app::schema::create(*db, role, QStringLiteral("*prepare8"));
}

} // namespace tawela::test
