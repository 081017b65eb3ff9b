#pragma once

#include "platform/db/database.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A database file with one table of every column kind, new for each test.
class DbFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("t.mdb"));
        db = tawela::platform::db::Database::open(path,
                                                  tawela::platform::db::OpenMode::CreateIfMissing);
        db->exec(QStringLiteral("CREATE TABLE people (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                "Name TEXT COLLATE NOCASE, amount CURRENCY, born DATE, "
                                "active BOOLEAN, n INTEGER)"));
        db->exec(QStringLiteral("CREATE UNIQUE INDEX people_name ON people (Name)"));
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

    std::shared_ptr<tawela::platform::db::Database> reopen() const
    {
        return tawela::platform::db::Database::open(path,
                                                    tawela::platform::db::OpenMode::ExistingOnly);
    }

    QTemporaryDir dir;
    QString path;
    std::shared_ptr<tawela::platform::db::Database> db;
};
