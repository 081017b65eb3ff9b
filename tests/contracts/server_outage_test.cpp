// The server goes away in the middle of a save and comes back. Runs alone:
// it restarts the test server, which every other test shares.
#include "platform/db/db_error.h"
#include "store_fixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <thread>

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

// The network goes silent in the middle of a save (packets no longer pass,
// while this computer still acknowledges them): the save is said lost, not
// waited on for ever, stores nothing, and once the network is back the next
// save is not held up by the lost session's locks. The program's thread
// goes on running its timers (and painting) while the save waits.
TEST_F(ContractStoreTest, ASilentNetworkIsSaidAndLeavesNoLocksBehind)
{
    if (!t.db->isServer())
        GTEST_SKIP() << "a server's connection";
    const platform::db::ServerAddress direct = t.db->server();
    if (!QFileInfo(direct.host).isDir())
        GTEST_SKIP() << "the relay forwards to the test server's socket folder";
    const SaveResult saved = store.save(newContract());
    QProcess relay;
    relay.start(QStringLiteral("python3"),
                {QStringLiteral(TAWELA_TEST_SUPPORT_DIR "/silent_relay.py"),
                 direct.host + QStringLiteral("/.s.PGSQL.") + QString::number(direct.port)});
    ASSERT_TRUE(relay.waitForReadyRead(10000));
    platform::db::ServerAddress via = direct;
    via.host = QStringLiteral("127.0.0.1");
    via.port = relay.readLine().trimmed().toInt();
    ASSERT_GT(via.port, 0);
    const auto remote =
        platform::db::Database::openServer(via, platform::db::OpenMode::ExistingOnly);
    ContractStore counter(remote);
    const QString before = dump();

    // The receipt's row takes a moment on the server; the network goes silent meanwhile.
    t.db->exec(QStringLiteral("CREATE FUNCTION slow_receipt() RETURNS trigger AS $$ BEGIN PERFORM "
                              "pg_sleep(1); RETURN NEW; END $$ LANGUAGE plpgsql"));
    t.db->exec(QStringLiteral("CREATE TRIGGER slow_receipt BEFORE INSERT ON service FOR EACH ROW "
                              "EXECUTE FUNCTION slow_receipt()"));
    const qint64 pid = relay.processId();
    std::thread hush([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(pid_t(pid), SIGUSR1);
    });
    const SaveRequest renew = renewalOf(saved.policyNo);
    const auto saveAway = [&] {
        return platform::db::workAway<SaveResult>(
            remote, [&](platform::db::Away& away) { return counter.on(away).save(renew); });
    };
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(100);
    QElapsedTimer clock;
    clock.start();
    try {
        saveAway();
        ADD_FAILURE() << "a save over a silent network was reported stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::ServerLost) << e.description().toStdString();
    }
    hush.join();
    RecordProperty("said_after_ms", int(clock.elapsed()));
    EXPECT_LT(clock.elapsed(), 60000);
    // Not one long freeze: nearly every tick of the wait came.
    EXPECT_GE(ticks, int(clock.elapsed() / 100) - 3);
    tick.stop();
    t.db->exec(QStringLiteral("DROP TRIGGER slow_receipt ON service"));
    EXPECT_EQ(dump(), before);

    ::kill(pid_t(pid), SIGUSR2); // the network is back
    clock.restart();
    EXPECT_EQ(saveAway().receiptNo, QStringLiteral("R1"));
    RecordProperty("next_save_ms", int(clock.elapsed()));
    relay.kill();
    relay.waitForFinished();
}
