#pragma once

#include "platform/db/database.h"
#include "temp_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A database with one table of every column kind, new for each test: a file,
// or a schema of its own on the test server.
class DbFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        using tawela::platform::db::ColumnKind;
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("t.mdb"));
        server = tawela::test::testServer();
        db = server ? tawela::platform::db::Database::openServer(
                          *server, tawela::platform::db::OpenMode::CreateIfMissing)
                    : tawela::platform::db::Database::open(
                          path, tawela::platform::db::OpenMode::CreateIfMissing);
        db->createTable(QStringLiteral("people"),
                        {{QStringLiteral("ID"), ColumnKind::Integer, true},
                         {QStringLiteral("Name"), ColumnKind::Text},
                         {QStringLiteral("amount"), ColumnKind::Decimal},
                         {QStringLiteral("born"), ColumnKind::Date},
                         {QStringLiteral("active"), ColumnKind::Boolean},
                         {QStringLiteral("n"), ColumnKind::Integer}});
        db->createIndex(QStringLiteral("people_name"), QStringLiteral("people"),
                        {QStringLiteral("Name")}, true);
    }

    // Inserts rows named p1..pN with n = i and amount = i.5
    void fill(int rows)
    {
        db->exec(QStringLiteral("BEGIN"));
        for (int i = 1; i <= rows; ++i)
            db->exec(
                QStringLiteral("INSERT INTO people (Name, amount, n, active) VALUES (?,?,?,?)"),
                {QStringLiteral("p%1").arg(i), qlonglong(i) * 10000 + 5000, i, i % 2});
        db->exec(QStringLiteral("COMMIT"));
    }

    // A second connection to the same database.
    std::shared_ptr<tawela::platform::db::Database> reopen() const
    {
        return server ? tawela::platform::db::Database::openServer(
                            *server, tawela::platform::db::OpenMode::ExistingOnly)
                      : tawela::platform::db::Database::open(
                            path, tawela::platform::db::OpenMode::ExistingOnly);
    }

    QTemporaryDir dir;
    QString path;
    std::optional<tawela::platform::db::ServerAddress> server;
    std::shared_ptr<tawela::platform::db::Database> db;
};
