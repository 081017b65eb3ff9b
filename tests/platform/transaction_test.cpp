#include "db_fixture.h"

#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "platform/db/transaction.h"
#include "platform/error_log.h"
#include "trace_catcher.h"

#include <QFile>
#include <QTemporaryDir>

using tawela::platform::db::DbError;
using tawela::platform::db::Recordset;
using tawela::platform::db::Transaction;
namespace error_number = tawela::platform::db::error_number;

using TransactionTest = DbFixture;

namespace {

int count(tawela::platform::db::Database& db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM people")).toInt();
}

void addPerson(Recordset& rs, const QString& name)
{
    rs.addNew();
    rs.setValue(QStringLiteral("Name"), name);
    rs.store();
}

} // namespace

TEST_F(TransactionTest, CommitStoresEverything)
{
    {
        Transaction tx(*db);
        Recordset rs(db, QStringLiteral("people"));
        addPerson(rs, QStringLiteral("a"));
        addPerson(rs, QStringLiteral("b"));
        tx.commit();
    }
    EXPECT_EQ(count(*reopen()), 2);
}

TEST_F(TransactionTest, FailureHalfWayStoresNothing)
{
    fill(1); // p1
    try {
        Transaction tx(*db);
        Recordset rs(db, QStringLiteral("people"));
        addPerson(rs, QStringLiteral("a"));
        rs.moveFirst();
        rs.removeCurrent();
        addPerson(rs, QStringLiteral("a")); // duplicate name: fails here
        tx.commit();
        FAIL() << "the duplicate was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::DuplicateKey);
    }
    EXPECT_EQ(count(*db), 1);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Name FROM people")).toString(),
              QStringLiteral("p1"));
    // The connection is usable again afterwards.
    Transaction again(*db);
    db->exec(QStringLiteral("INSERT INTO people (Name) VALUES ('later')"));
    again.commit();
    EXPECT_EQ(count(*db), 2);
}

TEST_F(TransactionTest, InnerUnitRollsBackAlone)
{
    Transaction outer(*db);
    db->exec(QStringLiteral("INSERT INTO people (Name) VALUES ('kept')"));
    {
        Transaction inner(*db);
        db->exec(QStringLiteral("INSERT INTO people (Name) VALUES ('dropped')"));
    }
    {
        Transaction inner(*db);
        db->exec(QStringLiteral("INSERT INTO people (Name) VALUES ('nested')"));
        inner.commit();
    }
    outer.commit();
    EXPECT_EQ(count(*reopen()), 2);
}

TEST_F(TransactionTest, AWriterWaitsThenReportsTheLock)
{
    fill(1);
    auto other = reopen();
    other->exec(db->isServer() ? QStringLiteral("SET lock_timeout = 50")
                               : QStringLiteral("PRAGMA busy_timeout = 50"));
    Transaction holding(*db);
    db->lockForWriting(QStringLiteral("people"));
    try {
        Transaction blocked(*other);
        other->lockForWriting(QStringLiteral("people"));
        FAIL() << "two writers at once";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::Locked);
        EXPECT_TRUE(e.description().contains(QStringLiteral("ถูกใช้งาน")));
    }
    holding.commit();
    Transaction now(*other);
    now.commit();
}

// The technician's trace: every statement with its time, also a failed one,
// and none of the values (the customers' data).
TEST_F(TransactionTest, TheTraceNamesEachStatementButNotItsValues)
{
    const tawela::test::TraceCatcher trace("tawela.db");
    db->exec(QStringLiteral("INSERT INTO people (Name) VALUES (?)"), {QStringLiteral("สมชาย")});
    EXPECT_THROW(
        db->exec(QStringLiteral("INSERT INTO people (Name) VALUES (?)"), {QStringLiteral("สมชาย")}),
        DbError);
    const QStringList lines = trace.lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("INSERT INTO people (Name) VALUES (?)")));
    EXPECT_TRUE(lines.first().contains(QStringLiteral("1 values")));
    EXPECT_TRUE(lines.last().contains(QStringLiteral("FAILED")));
    EXPECT_FALSE(trace.all().contains(QStringLiteral("สมชาย")));
}

TEST(ErrorLog, StaffReadThaiTheLogKeepsTheStatement)
{
    QTemporaryDir dir;
    tawela::platform::error_log::setFolder(dir.path());
    tawela::platform::error_log::setEmployee(QStringLiteral("A01"));
    auto db = tawela::platform::db::Database::open(dir.filePath(QStringLiteral("x.db")),
                                                   tawela::platform::db::OpenMode::CreateIfMissing);
    try {
        db->exec(QStringLiteral("UPDATE \"config_setting\" SET nothing = 1"));
        ADD_FAILURE() << "no error";
    } catch (const tawela::platform::db::DbError& e) {
        EXPECT_FALSE(e.description().contains(QStringLiteral("UPDATE")))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("tawela.log")));
    }
    QFile log(tawela::platform::error_log::path());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("UPDATE \"config_setting\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" A01 ")));
    log.close();
    // A full log is started anew; the last one is kept beside it.
    {
        QFile grow(tawela::platform::error_log::path());
        ASSERT_TRUE(grow.open(QIODevice::Append));
        grow.write(QByteArray(tawela::platform::error_log::MaxSize + 1, 'x'));
    }
    tawela::platform::error_log::write(QStringLiteral("after"));
    EXPECT_LT(QFile(tawela::platform::error_log::path()).size(), 200);
    EXPECT_TRUE(QFile::exists(tawela::platform::error_log::path() + QStringLiteral(".1")));
    tawela::platform::error_log::setFolder(QString());
}
