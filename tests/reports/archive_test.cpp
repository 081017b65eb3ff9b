#include "reports/archive.h"
#include "shop_builder.h"
#include "temp_home.h"

#include "platform/db/table_info.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace tawela;
using reports::ContractArchive;
using Direction = ContractArchive::Direction;

namespace {

// A main and an archive database: closed contracts A-1 (two renewals),
// A-2 and A-5 (none), A-3 (one), open A-4 (one), and a receipt of A-1.
class Archive : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto contract = [&](const char* no, bool open, int renewals) {
            test::addRow(main.db, "chumnum",
                         {{"Policy_no", no},
                          {"Ku_name", "นางสมศรี O'Neil"},
                          {"Amount1", "1500.25"},
                          {"Policy_date", QDate(2024, 1, 2)},
                          {"P_status", open},
                          {"Close_date", open ? QVariant() : QVariant(QDate(2024, 3, 1))},
                          {"over_due", !open},
                          {"L_N", renewals},
                          {"row_version", 3}});
            for (int line = 1; line <= renewals; ++line)
                test::addRow(main.db, "chumnum_tor",
                             {{"policy_no", no},
                              {"line_no", line},
                              {"fee", "12.5"},
                              {"fak_date", QDate(2024, 1, 2).addMonths(line)}});
        };
        contract("A-1", false, 2);
        contract("A-2", false, 0);
        contract("A-3", false, 1);
        contract("A-4", true, 1);
        contract("A-5", false, 0);
        test::addRow(main.db, "service", {{"recv_no", "R1"}, {"description", "A-1"}});
        before = rows(*main.db);
    }

    // Every column of every contract and renewal row but the contracts' own key.
    static QStringList rows(const platform::db::Database& db)
    {
        QStringList out;
        for (const char* table : {"chumnum", "chumnum_tor"}) {
            QStringList columns;
            for (const auto& c : db.tableInfo(QLatin1String(table)).columns())
                if (!c.primaryKey)
                    columns << platform::db::quoteName(c.name);
            QSqlQuery q = db.exec(QStringLiteral("SELECT ") + columns.join(u',') +
                                  QStringLiteral(" FROM ") + QLatin1String(table));
            while (q.next()) {
                QStringList cells{QLatin1String(table)};
                for (int i = 0; i < columns.size(); ++i)
                    cells << q.value(i).toString();
                out << cells.join(u'|');
            }
        }
        out.sort();
        return out;
    }
    qlonglong count(const platform::db::Database& db, const char* table)
    {
        return db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
            .toLongLong();
    }

    test::TempDatabase main{app::DatabaseRole::Main};
    test::TempDatabase archive{app::DatabaseRole::Archive};
    QStringList before;
};

} // namespace

TEST_F(Archive, ClosedContractsMoveWithTheirRenewalsAndComeBackAsTheyWere)
{
    ContractArchive a(main.db, archive.db);
    // Open contracts are never offered.
    EXPECT_EQ(a.movable(Direction::ToArchive), QStringList({"A-1", "A-2", "A-3", "A-5"}));
    const auto out = a.move(Direction::ToArchive, {"A-1", "A-2", "A-3", "A-4"});
    EXPECT_TRUE(out.failure.isEmpty()) << out.failure.toStdString();
    EXPECT_EQ(out.moved, 3); // the open A-4 stays
    EXPECT_EQ(a.movable(Direction::ToArchive), QStringList{"A-5"});
    EXPECT_EQ(a.movable(Direction::Back), QStringList({"A-1", "A-2", "A-3"}));
    EXPECT_EQ(count(*archive.db, "chumnum_tor"), 3);
    EXPECT_EQ(count(*main.db, "chumnum_tor"), 1); // A-4's
    EXPECT_EQ(count(*main.db, "service"), 1);     // receipts stay

    const auto back = a.move(Direction::Back, a.movable(Direction::Back));
    EXPECT_EQ(back.moved, 3);
    EXPECT_EQ(rows(*main.db), before);
    EXPECT_EQ(count(*archive.db, "chumnum"), 0);
    EXPECT_EQ(count(*archive.db, "chumnum_tor"), 0);
    EXPECT_EQ(a.move(Direction::Back, {}).moved, 0); // an empty list moves nothing

    // A number given twice moves once, renewals and all.
    EXPECT_EQ(a.move(Direction::ToArchive, {"A-1", "A-1"}).moved, 1);
    EXPECT_EQ(count(*archive.db, "chumnum"), 1);
    EXPECT_EQ(count(*archive.db, "chumnum_tor"), 2);
    EXPECT_EQ(count(*main.db, "chumnum_tor"), 2);
}

TEST_F(Archive, AFailureStopsTheMoveAndLeavesNoContractHalfMoved)
{
    // Two contracts per transaction: go, then the renewals of
    // A-1 cannot be written in the archive.
    ContractArchive a(main.db, archive.db, 2);
    test::failEvery(*archive.db, "INSERT", "chumnum_tor", "disk full");
    const auto r = a.move(Direction::ToArchive, {"A-2", "A-5", "A-1", "A-3"});
    EXPECT_EQ(r.moved, 2);
    EXPECT_FALSE(r.failure.isEmpty());
    EXPECT_EQ(a.movable(Direction::Back), QStringList({"A-2", "A-5"}));
    EXPECT_EQ(a.movable(Direction::ToArchive), QStringList({"A-1", "A-3"}));
    EXPECT_EQ(count(*main.db, "chumnum_tor"), 4); // A-1's two, A-3's and A-4's
    EXPECT_EQ(count(*archive.db, "chumnum_tor"), 0);
    test::stopFailing(*archive.db, "chumnum_tor");

    // A number already in the target is found and left where it is on both sides.
    test::addRow(archive.db, "chumnum", {{"Policy_no", "A-1"}, {"Ku_name", "อีกคน"}});
    EXPECT_EQ(a.alreadyThere(Direction::ToArchive, {"A-1", "A-3"}), QStringList{"A-1"});
    const auto rest = a.move(Direction::ToArchive, {"A-1", "A-3", "A-3"});
    EXPECT_EQ(rest.moved, 1);
    EXPECT_EQ(count(*main.db, "chumnum"), 2); // A-1 and the open A-4
    EXPECT_EQ(
        archive.db->scalar(QStringLiteral("SELECT Ku_name FROM chumnum WHERE Policy_no = 'A-1'"))
            .toString(),
        QStringLiteral("อีกคน"));
}
