#include "db_fixture.h"

#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

#include <QDate>

using tawela::platform::Decimal;
using tawela::platform::db::Condition;
using tawela::platform::db::DbError;
using tawela::platform::db::FindStart;
using tawela::platform::db::Recordset;
namespace error_number = tawela::platform::db::error_number;

namespace {

int errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

using RecordsetTest = DbFixture;

TEST_F(RecordsetTest, EmptySetIsAtStartAndEnd)
{
    Recordset rs(db, QStringLiteral("people"));
    EXPECT_EQ(rs.count(), 0);
    EXPECT_TRUE(rs.atStart());
    EXPECT_TRUE(rs.atEnd());
    rs.moveFirst();
    rs.moveNext();
    EXPECT_TRUE(rs.atEnd());
    EXPECT_EQ(errorNumberOf([&] { rs.text(QStringLiteral("Name")); }),
              error_number::NoCurrentRecord);
    EXPECT_FALSE(rs.find(Condition::equals(QStringLiteral("Name"), QStringLiteral("x"))));
}

TEST_F(RecordsetTest, NavigatesAcrossWindows)
{
    fill(300);
    Recordset rs(db, QStringLiteral("people"));
    ASSERT_EQ(rs.count(), 300);
    EXPECT_FALSE(rs.atStart());
    EXPECT_EQ(rs.text(QStringLiteral("name")), QStringLiteral("p1"));
    int seen = 0;
    for (rs.moveFirst(); !rs.atEnd(); rs.moveNext()) {
        ++seen;
        ASSERT_EQ(rs.integer(QStringLiteral("N")), seen);
    }
    EXPECT_EQ(seen, 300);
    rs.moveLast();
    EXPECT_EQ(rs.text(QStringLiteral("NAME")), QStringLiteral("p300"));
    rs.movePrevious();
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 299);
    rs.move(-200);
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 99);
    rs.move(-1000);
    EXPECT_TRUE(rs.atStart());
    rs.moveNext();
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 1);
    rs.moveTo(250);
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 251);
}

TEST_F(RecordsetTest, OrdersAndFiltersByCondition)
{
    fill(20);
    Recordset rs(
        db, QStringLiteral("people"),
        Condition::greater(QStringLiteral("amount"), QVariant::fromValue(Decimal::fromInt(10))) &&
            Condition::equals(QStringLiteral("active"), true),
        {{QStringLiteral("n"), true}});
    // amounts 10.5 .. 20.5, odd n only: 19, 17, 15, 13, 11
    ASSERT_EQ(rs.count(), 5);
    QList<qint64> order;
    for (; !rs.atEnd(); rs.moveNext())
        order << rs.integer(QStringLiteral("n"));
    EXPECT_EQ(order, (QList<qint64>{19, 17, 15, 13, 11}));

    Recordset notActive(db, QStringLiteral("people"),
                        !Condition::equals(QStringLiteral("active"), true) ||
                            Condition::isNull(QStringLiteral("born")));
    EXPECT_EQ(notActive.count(), 20); // every born is NULL
    EXPECT_EQ(Recordset(db, QStringLiteral("people"), !Condition()).count(), 0);
}

TEST_F(RecordsetTest, TypedValuesRoundTripExactly)
{
    Recordset rs(db, QStringLiteral("people"));
    rs.addNew();
    rs.setValue(QStringLiteral("name"), QStringLiteral("O'Neil"));
    rs.setValue(QStringLiteral("AMOUNT"), QStringLiteral("1500.1234"));
    rs.setValue(QStringLiteral("born"), QDate(2025, 12, 31));
    rs.setValue(QStringLiteral("active"), true);
    rs.store();
    EXPECT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("Name")), QStringLiteral("O'Neil"));

    Recordset again(reopen(), QStringLiteral("People"));
    ASSERT_EQ(again.count(), 1);
    EXPECT_EQ(again.decimal(QStringLiteral("amount")).toString(), QStringLiteral("1500.1234"));
    EXPECT_EQ(again.date(QStringLiteral("born")), QDate(2025, 12, 31));
    EXPECT_TRUE(again.boolean(QStringLiteral("active")));
    EXPECT_TRUE(again.isNull(QStringLiteral("n")));
    EXPECT_EQ(again.integer(QStringLiteral("n")), 0);
    EXPECT_GT(again.integer(QStringLiteral("ID")), 0);
    // What is stored is the exact count of ten-thousandths, not a float.
    if (!db->isServer()) { // there the column's type is a whole number
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT typeof(amount) || ':' || amount FROM people"))
                      .toString(),
                  QStringLiteral("integer:15001234"));
    }
}

TEST_F(RecordsetTest, RefusesValuesAColumnCannotHold)
{
    fill(1);
    Recordset rs(db, QStringLiteral("people"));
    EXPECT_EQ(errorNumberOf([&] { rs.setValue(QStringLiteral("amount"), QStringLiteral("abc")); }),
              error_number::TypeMismatch);
    EXPECT_EQ(
        errorNumberOf([&] { rs.setValue(QStringLiteral("born"), QStringLiteral("31/13/2025")); }),
        error_number::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { rs.setValue(QStringLiteral("n"), QStringLiteral("1.5")); }),
              error_number::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { rs.value(QStringLiteral("nosuch")); }),
              error_number::ItemNotFound);
    // An empty text clears a number column.
    rs.setValue(QStringLiteral("amount"), QString());
    rs.store();
    EXPECT_TRUE(rs.isNull(QStringLiteral("amount")));
    EXPECT_EQ(errorNumberOf([&] { Recordset(db, QStringLiteral("nosuch")); }),
              error_number::TableNotFound);
    // Half of a character pair followed by a letter: refused, not stored
    // with the letter lost.
    const QString broken = QString(QChar(0xD83D)) + QStringLiteral("ก");
    EXPECT_EQ(errorNumberOf([&] { rs.setValue(QStringLiteral("name"), broken); }),
              error_number::TypeMismatch);
}

TEST_F(RecordsetTest, EditsAreStoredOnMoveAndCanBeCancelled)
{
    fill(3);
    Recordset rs(db, QStringLiteral("people"));
    rs.setValue(QStringLiteral("n"), 100);
    EXPECT_TRUE(rs.isEditing());
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 100); // the buffer shows the edit
    rs.moveNext();
    EXPECT_FALSE(rs.isEditing());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT n FROM people WHERE Name = 'p1'")).toInt(), 100);

    rs.setValue(QStringLiteral("n"), 200);
    rs.cancelEdit();
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 2);
    rs.addNew();
    rs.setValue(QStringLiteral("Name"), QStringLiteral("never"));
    rs.cancelEdit();
    EXPECT_EQ(rs.count(), 3);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT count(*) FROM people")).toInt(), 3);
}

TEST_F(RecordsetTest, AddedRowIsCurrentAndLast)
{
    fill(200);
    Recordset rs(db, QStringLiteral("people"), {}, {{QStringLiteral("Name")}});
    rs.moveTo(5);
    rs.addNew();
    rs.setValue(QStringLiteral("Name"), QStringLiteral("ร้าน'ดี"));
    rs.store();
    EXPECT_EQ(rs.count(), 201);
    EXPECT_EQ(rs.position(), 200);
    EXPECT_EQ(rs.text(QStringLiteral("Name")), QStringLiteral("ร้าน'ดี"));
    rs.moveLast();
    EXPECT_EQ(rs.text(QStringLiteral("Name")), QStringLiteral("ร้าน'ดี"));
    // A failed store (unique name) keeps the edit so it can be mended.
    rs.addNew();
    rs.setValue(QStringLiteral("Name"), QStringLiteral("P1")); // same as p1 without case
    EXPECT_EQ(errorNumberOf([&] { rs.store(); }), error_number::DuplicateKey);
    EXPECT_TRUE(rs.isAdding());
    rs.setValue(QStringLiteral("Name"), QStringLiteral("p1-bis"));
    rs.store();
    EXPECT_EQ(rs.count(), 202);
}

TEST_F(RecordsetTest, DeleteLeavesTheCursorInTheGap)
{
    fill(300);
    Recordset rs(db, QStringLiteral("people"));
    rs.moveTo(1); // p2
    rs.removeCurrent();
    EXPECT_EQ(rs.count(), 299);
    EXPECT_EQ(errorNumberOf([&] { rs.text(QStringLiteral("Name")); }),
              error_number::NoCurrentRecord);
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("Name")), QStringLiteral("p3"));
    rs.removeCurrent();
    rs.movePrevious();
    EXPECT_EQ(rs.text(QStringLiteral("Name")), QStringLiteral("p1"));
    // The windows after a delete still line up with their rows.
    rs.moveTo(200);
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 203);
    rs.moveLast();
    rs.removeCurrent();
    rs.moveNext();
    EXPECT_TRUE(rs.atEnd());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT count(*) FROM people")).toInt(), 297);
}

TEST_F(RecordsetTest, FindsForwardByEqualityAndPattern)
{
    fill(500);
    db->exec(QStringLiteral("UPDATE people SET Name = 'O''Neil' WHERE n = 300"));
    db->exec(QStringLiteral("UPDATE people SET Name = '100%_off' WHERE n = 400"));
    db->exec(QStringLiteral("UPDATE people SET Name = '100xyoff' WHERE n = 350"));
    for (bool ordered : {false, true}) {
        SCOPED_TRACE(ordered ? "ordered by n" : "in key order");
        Recordset rs(db, QStringLiteral("people"), {},
                     ordered ? QList<tawela::platform::db::SortKey>{{QStringLiteral("n")}}
                             : QList<tawela::platform::db::SortKey>{});
        EXPECT_TRUE(rs.find(Condition::equals(QStringLiteral("name"), QStringLiteral("o'neil"))));
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 300);
        // From the current row: it matches itself; Next skips it.
        EXPECT_TRUE(rs.find(Condition::like(QStringLiteral("Name"), QStringLiteral("*Neil"))));
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 300);
        EXPECT_FALSE(rs.find(Condition::like(QStringLiteral("Name"), QStringLiteral("*Neil")),
                             FindStart::Next));
        EXPECT_TRUE(rs.atEnd());
        // "%" and "_" are plain characters in a record-set pattern.
        rs.moveFirst();
        EXPECT_TRUE(rs.find(Condition::like(QStringLiteral("Name"), QStringLiteral("100%_*"))));
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 400);
        rs.moveFirst();
        EXPECT_TRUE(rs.find(Condition::like(QStringLiteral("Name"), QStringLiteral("p4?9"))));
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 409);
        EXPECT_TRUE(rs.find(Condition::like(QStringLiteral("Name"), QStringLiteral("p4*")),
                            FindStart::Next));
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 410);
        // An injection attempt is only a name that is not there.
        rs.moveFirst();
        EXPECT_FALSE(
            rs.find(Condition::equals(QStringLiteral("Name"), QStringLiteral("x' OR '1'='1"))));
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT count(*) FROM people")).toInt(), 500);
    }
}

TEST_F(RecordsetTest, FindFollowsTheSetOrder)
{
    fill(10);
    Recordset rs(db, QStringLiteral("people"), {}, {{QStringLiteral("n"), true}});
    // Descending: p10 p9 ... p1; the first odd row after p10 is p9.
    EXPECT_TRUE(rs.find(Condition::equals(QStringLiteral("active"), true)));
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 9);
    EXPECT_TRUE(rs.find(Condition::equals(QStringLiteral("active"), true), FindStart::Next));
    EXPECT_EQ(rs.integer(QStringLiteral("n")), 7);
}

TEST_F(RecordsetTest, RequerySeesOtherConnectionsAndSurvivesTheirDeletes)
{
    fill(5);
    Recordset rs(db, QStringLiteral("people"));
    auto other = reopen();
    other->exec(QStringLiteral("DELETE FROM people WHERE n = 3"));
    other->exec(QStringLiteral("INSERT INTO people (Name, n) VALUES ('late', 6)"));
    rs.moveTo(2);
    // Deleted elsewhere since the set opened: the row reads empty.
    EXPECT_TRUE(rs.isNull(QStringLiteral("Name")));
    // Rows added elsewhere are not found until the set is run again.
    rs.moveFirst();
    EXPECT_FALSE(rs.find(Condition::equals(QStringLiteral("Name"), QStringLiteral("late"))));
    rs.requery();
    EXPECT_EQ(rs.count(), 5);
    EXPECT_TRUE(rs.find(Condition::equals(QStringLiteral("Name"), QStringLiteral("late"))));
}

TEST_F(RecordsetTest, FindReachesRowsFarFromTheCursor)
{
    fill(6000);
    db->exec(QStringLiteral("UPDATE people SET Name = 'ทองคำ' WHERE n = 5990"));
    Recordset all(db, QStringLiteral("people"));
    all.moveTo(10);
    EXPECT_TRUE(all.find(Condition::like(QStringLiteral("Name"), QStringLiteral("*P5999*"))));
    EXPECT_EQ(all.integer(QStringLiteral("n")), 5999); // letter case does not count
    all.moveTo(10);
    EXPECT_TRUE(all.find(Condition::like(QStringLiteral("Name"), QStringLiteral("*อง*"))));
    EXPECT_EQ(all.integer(QStringLiteral("n")), 5990);
    EXPECT_FALSE(
        all.find(Condition::like(QStringLiteral("Name"), QStringLiteral("*อง*")), FindStart::Next));

    // A filtered set: only its own rows are found, in its own order.
    Recordset odd(db, QStringLiteral("people"), Condition::equals(QStringLiteral("active"), true));
    ASSERT_EQ(odd.count(), 3000);
    EXPECT_FALSE(odd.find(Condition::equals(QStringLiteral("n"), 5998)));
    odd.moveFirst();
    EXPECT_TRUE(odd.find(Condition::greaterOrEqual(QStringLiteral("n"), 5000)));
    EXPECT_EQ(odd.integer(QStringLiteral("n")), 5001);
    EXPECT_EQ(odd.position(), 2500);
}
