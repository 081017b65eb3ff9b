// The server goes away in the middle of a save and comes back. Runs alone:
// it restarts the test server, which every other test shares.
#include "platform/db/db_error.h"
#include "store_fixture.h"

#include <QProcess>

using platform::db::DbError;
namespace error_number = platform::db::error_number;

TEST_F(ContractStoreTest, AServerLostInASaveStoresNothingAndTheProgramGoesOn)
{
    if (!t.db->isServer())
        GTEST_SKIP() << "a server's connection";
    const SaveResult saved = store.save(newContract());
    SaveRequest renew = renewalOf(saved.policyNo);
    const QString before = dump();

    // The connection ends while the receipt is written: after the renewal
    // line, the contract row and the receipt counter.
    t.db->exec(QStringLiteral("CREATE FUNCTION cut_off() RETURNS trigger AS $$ BEGIN PERFORM "
                              "pg_terminate_backend(pg_backend_pid()); RETURN NEW; END $$ "
                              "LANGUAGE plpgsql"));
    t.db->exec(QStringLiteral("CREATE TRIGGER cut_off BEFORE INSERT ON service FOR EACH ROW "
                              "EXECUTE FUNCTION cut_off()"));
    try {
        store.save(renew);
        ADD_FAILURE() << "a save over a lost connection was reported stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::ServerLost);
        EXPECT_TRUE(e.description().contains(QStringLiteral("ยังไม่ถูกบันทึก")));
        // Which server, in words a person can read.
        EXPECT_TRUE(e.description().contains(t.db->server().display()))
            << e.description().toStdString();
        EXPECT_FALSE(e.description().contains(QStringLiteral("  ")));
    }
    t.db->exec(QStringLiteral("DROP TRIGGER cut_off ON service"));
    EXPECT_EQ(dump(), before);

    // The whole server restarts: the next command finds it again by itself.
    const QByteArray pgCtl = qgetenv("TAWELA_TEST_PG_CTL");
    if (!pgCtl.isEmpty()) {
        const QString restart =
            QString::fromLocal8Bit(pgCtl) + QStringLiteral(" restart -w -m fast >/dev/null");
        ASSERT_EQ(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), restart}), 0);
    }
    EXPECT_EQ(store.save(renew).receiptNo, QStringLiteral("R1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 1);
}
