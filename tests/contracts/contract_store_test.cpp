#include "admin/settings.h"
#include "contracts/contract_store.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "shop_builder.h"
#include "store_fixture.h"
#include "temp_home.h"
#include "test_server.h"

#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tawela;
using namespace tawela::contracts;
using platform::Decimal;
using platform::db::DbError;
using platform::db::Recordset;
namespace error_number = platform::db::error_number;

using test::d;

TEST_F(ContractStoreTest, NewContractStoresRowShopCopyAndExpense)
{
    SaveRequest r = newContract();
    r.contract.model = QString(300, u'ก');
    r.contract.fakeProductUse = true;
    const SaveResult saved = store.save(r);
    EXPECT_EQ(saved.policyNo, QStringLiteral("68-05-4-0012"));
    EXPECT_EQ(saved.refNo, saved.policyNo);
    EXPECT_TRUE(saved.receiptNo.isEmpty());
    EXPECT_EQ(store.currentRun(), 13);
    EXPECT_TRUE(store.contractNumberTaken(QStringLiteral("68-05-4-0012")));
    EXPECT_FALSE(store.contractNumberTaken(QStringLiteral("68-05-4-0013")));

    const Contract c = *store.find(saved.policyNo);
    EXPECT_EQ(c.companyName, QStringLiteral("ร้าน'ทองดี"));
    EXPECT_EQ(c.tel, QStringLiteral("02-123-4567"));
    EXPECT_EQ(c.taxNo, QStringLiteral("0105551234567"));
    EXPECT_EQ(c.principalWords, QStringLiteral("หนึ่งหมื่นบาทถ้วน"));
    EXPECT_EQ(c.redemptionWords, QStringLiteral("หนึ่งหมื่นสามร้อยเจ็ดสิบห้าบาทถ้วน"));
    EXPECT_EQ(c.renewalFee, d("375"));
    EXPECT_EQ(c.rate, d("1.25"));
    EXPECT_EQ(c.model.size(), 255);
    EXPECT_EQ(c.fakeProduct, QStringLiteral("n/a"));
    EXPECT_TRUE(c.pStatus);
    EXPECT_EQ(stateOf(c), ContractState::Open);
    // Opening values of the last movement.
    EXPECT_EQ(c.lastLine, 0);
    EXPECT_EQ(c.lastAmount, d("10000"));
    EXPECT_EQ(c.lastFee, d("375"));
    EXPECT_EQ(c.lastTotal, d("10375"));
    EXPECT_EQ(c.lastFrom, QDate(2025, 5, 14));
    EXPECT_EQ(c.lastDue, QDate(2025, 8, 12));
    EXPECT_FALSE(c.renewedLast);

    Recordset e(t.db, QStringLiteral("spending"));
    ASSERT_EQ(e.count(), 1);
    EXPECT_EQ(e.text(QStringLiteral("description")).size(), 254);
    EXPECT_TRUE(e.text(QStringLiteral("description"))
                    .startsWith(QStringLiteral("สัญญาเลขที่ 68-05-4-0012นายสมชาย O'Neil  ขายฝาก ก")));
    EXPECT_EQ(e.text(QStringLiteral("s_group")), QStringLiteral("ทองคำ"));
    EXPECT_EQ(e.text(QStringLiteral("s_group2")), QStringLiteral("ขายฝาก"));
    EXPECT_EQ(e.integer(QStringLiteral("quan")), 1);
    EXPECT_EQ(e.decimal(QStringLiteral("price")), d("10000"));
    EXPECT_EQ(e.decimal(QStringLiteral("tt_price")), d("10000"));
    EXPECT_EQ(e.date(QStringLiteral("s_date")), QDate(2025, 5, 14));
    EXPECT_EQ(e.text(QStringLiteral("employee")), QStringLiteral("สมศรี"));
    EXPECT_EQ(e.text(QStringLiteral("c_code")), QStringLiteral("C'01"));
}

TEST_F(ContractStoreTest, SavingAgainUpdatesTheSameRow)
{
    SaveRequest r = newContract();
    r.contract.weight = QStringLiteral("15.2");
    const SaveResult saved = store.save(r);

    // The shop moves; stored contracts keep the old address.
    admin::Settings s = admin::loadSettings(t.db);
    s.address1 = QStringLiteral("ที่อยู่ใหม่");
    admin::saveSettings(t.db, s);

    SaveRequest again;
    again.contract = *store.find(saved.policyNo);
    again.contract.principal = d("12000");
    again.contract.weight.clear(); // empty: leaves the stored weight
    again.contract.sn = QStringLiteral("SN-2");
    store.save(again);

    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM chumnum")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM spending")), 1);
    EXPECT_EQ(store.currentRun(), 13);
    const Contract c = *store.find(saved.policyNo);
    EXPECT_EQ(c.principal, d("12000"));
    EXPECT_EQ(c.principalWords, QStringLiteral("หนึ่งหมื่นสองพันบาทถ้วน"));
    EXPECT_EQ(c.weight, QStringLiteral("15.2"));
    EXPECT_EQ(c.sn, QStringLiteral("SN-2"));
    EXPECT_EQ(c.address1, QStringLiteral("1 ถนนสุขุมวิท"));

    SaveRequest missing;
    missing.contract.policyNo = QStringLiteral("no-such'one");
    EXPECT_THROW(store.save(missing), DbError);
}

TEST_F(ContractStoreTest, RenewalLinesAreRewrittenWithTheirOwnNumbers)
{
    const SaveResult saved = store.save(newContract());
    SaveRequest renew;
    renew.contract = *store.find(saved.policyNo);
    renew.mode = OperationMode::Renewal;
    auto line = [](qint64 n, const char* fee, QDate due) {
        RenewalLine l;
        l.lineNo = n;
        l.fee = Decimal::parse(QString::fromLatin1(fee)).value();
        l.total = l.fee;
        l.from = due.addDays(-30);
        l.due = due;
        return l;
    };
    renew.lines = {line(1, "375", QDate(2025, 9, 11)), line(2, "400", QDate(2025, 10, 11)),
                   line(3, "425.5", QDate(2025, 11, 10)), RenewalLine{}};
    renew.lines[1].markedDeleted = true;
    renew.receiptTotal = d("800.5");
    renew.employeeName = QStringLiteral("สมศรี");
    renew.now = QDateTime(QDate(2025, 11, 10), QTime(9, 5, 7));
    const SaveResult r = store.save(renew);
    EXPECT_EQ(r.receiptNo, QStringLiteral("R1"));

    const QList<RenewalLine> stored = store.renewalLines(saved.policyNo);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0].lineNo, 1);
    EXPECT_EQ(stored[1].lineNo, 3); // no renumbering
    Contract c = *store.find(saved.policyNo);
    EXPECT_EQ(c.lastLine, 3);
    EXPECT_EQ(c.lastFee, d("425.5"));
    EXPECT_EQ(c.lastDue, QDate(2025, 11, 10));
    EXPECT_TRUE(c.renewedLast);
    EXPECT_EQ(stateOf(c), ContractState::Renewed);

    Recordset receipt(t.db, QStringLiteral("service"));
    ASSERT_EQ(receipt.count(), 1);
    EXPECT_EQ(receipt.text(QStringLiteral("recv_no")), QStringLiteral("R1"));
    EXPECT_EQ(receipt.text(QStringLiteral("prod_code")), saved.policyNo);
    EXPECT_EQ(receipt.text(QStringLiteral("description")),
              QStringLiteral("ต่อดอก สัญญาเลขที่ 68-05-4-0012 สร้อยคอทองคำ 1 บาท"));
    EXPECT_EQ(receipt.text(QStringLiteral("s_group2")), QStringLiteral("ต่อดอก"));
    EXPECT_EQ(receipt.decimal(QStringLiteral("price")), Decimal());
    EXPECT_EQ(receipt.decimal(QStringLiteral("tt_price")), d("800.5"));
    EXPECT_EQ(receipt.text(QStringLiteral("wordsay")), QStringLiteral("แปดร้อยบาทห้าสิบสตางค์"));
    EXPECT_EQ(receipt.text(QStringLiteral("pay_method")), QStringLiteral("เงินสด"));
    EXPECT_EQ(receipt.value(QStringLiteral("s_time")).toTime(), QTime(9, 5, 7));
    EXPECT_EQ(receipt.text(QStringLiteral("Ku_name")), QStringLiteral("นายสมชาย O'Neil"));
    EXPECT_EQ(admin::loadSettings(t.db).runRecv, 2);

    // Saved again without a renewal: same lines, L_tor false, no receipt.
    SaveRequest plain;
    plain.contract = c;
    plain.lines = stored;
    store.save(plain);
    c = *store.find(saved.policyNo);
    EXPECT_EQ(store.renewalLines(saved.policyNo).size(), 2);
    EXPECT_EQ(c.lastLine, 3);
    EXPECT_FALSE(c.renewedLast);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM service")), 1);

    // A renewal that collects nothing (a fee waived): its line is stored,
    // with no receipt and no receipt number used.
    SaveRequest waived = plain;
    waived.contract = c;
    waived.mode = OperationMode::Renewal;
    waived.lines << line(4, "0", QDate(2025, 12, 10));
    waived.receiptTotal = Decimal();
    EXPECT_EQ(store.save(waived).receiptNo, QString());
    EXPECT_EQ(store.renewalLines(saved.policyNo).size(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM service")), 1);
    EXPECT_EQ(admin::loadSettings(t.db).runRecv, 2);
    c = *store.find(saved.policyNo);

    // Without lines the contract is back to its opening movement; L_tor stays.
    plain.contract = c;
    plain.lines.clear();
    store.save(plain);
    c = *store.find(saved.policyNo);
    EXPECT_EQ(c.lastLine, 0);
    EXPECT_EQ(c.lastTotal, c.redemption);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 0);
}

TEST_F(ContractStoreTest, RedemptionReceiptCarriesThePrincipal)
{
    const SaveResult saved = store.save(newContract());
    SaveRequest redeem;
    redeem.contract = *store.find(saved.policyNo);
    redeem.mode = OperationMode::Redemption;
    redeem.receiptTotal = d("10375");
    const SaveResult r = store.save(redeem);
    EXPECT_EQ(r.receiptNo, QStringLiteral("R1"));
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT price FROM service")).toLongLong(),
              d("10000").units());
    EXPECT_EQ(store.addReceipt(Receipt{}), QStringLiteral("R2"));
    // A counter set back by hand passes over the numbers already printed.
    t.db->exec(QStringLiteral("UPDATE config_setting SET run_recv = 1"));
    EXPECT_EQ(store.addReceipt(Receipt{}), QStringLiteral("R3"));
}

TEST_F(ContractStoreTest, ListFilters)
{
    for (int i = 0; i < 3; ++i)
        store.save(newContract());
    t.db->exec(QStringLiteral("UPDATE chumnum SET P_status = 0 WHERE rowid = 2"));
    auto count = [&](ContractFilter f) {
        return Recordset(t.db, QStringLiteral("chumnum"), conditionFor(f)).count();
    };
    EXPECT_EQ(count(ContractFilter::Open), 2);
    EXPECT_EQ(count(ContractFilter::Closed), 1);
    EXPECT_EQ(count(ContractFilter::All), 3);
}

TEST_F(ContractStoreTest, ANumberUsedMeanwhileMovesOnATypedOneStays)
{
    SaveRequest first = newContract();
    SaveRequest second = newContract(); // started at the same moment: same number shown
    ASSERT_EQ(first.contract.policyNo, second.contract.policyNo);
    store.save(first);
    // Nothing is stored under a number the person has not seen: the save
    // names the number the contract would get now.
    const QString before = dump();
    const SaveResult moved = store.save(second);
    EXPECT_EQ(moved.renumberedTo, QStringLiteral("68-05-4-0013"));
    EXPECT_EQ(moved.renumberedRun, 13);
    EXPECT_EQ(dump(), before);
    second.contract.policyNo = second.contract.refNo = moved.renumberedTo;
    second.startedWithRun = moved.renumberedRun;
    EXPECT_EQ(store.save(second).policyNo, QStringLiteral("68-05-4-0013"));
    EXPECT_EQ(store.currentRun(), 14);

    SaveRequest typed = newContract();
    typed.startedWithRun = 1; // the run changed, but the person typed their own number
    typed.contract.policyNo = QStringLiteral("ร้าน'ดี-1");
    typed.contract.refNo = QStringLiteral("A-1");
    const SaveResult kept = store.save(typed);
    EXPECT_EQ(kept.policyNo, QStringLiteral("ร้าน'ดี-1"));
    EXPECT_EQ(kept.refNo, QStringLiteral("A-1"));
}

TEST_F(ContractStoreTest, AFailedSaveLeavesEverythingAsItWas)
{
    const SaveResult saved = store.save(newContract());
    SaveRequest renew = renewalOf(saved.policyNo);
    store.save(renew);
    renew.contract.rowVersion = store.find(saved.policyNo)->rowVersion;
    const QString before = dump();

    // A typed number that is already taken: refused, the run is not used.
    SaveRequest duplicate = newContract();
    duplicate.contract.policyNo = saved.policyNo;
    try {
        store.save(duplicate);
        FAIL() << "duplicate number stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::DuplicateKey);
    }
    EXPECT_EQ(dump(), before);

    // The receipt fails after the contract, its lines and the counter were written.
    test::failEvery(*t.db, "INSERT", "service", "disk trouble");
    renew.contract.principal = d("1");
    renew.lines << renew.lines.first();
    renew.lines[1].lineNo = 2;
    EXPECT_THROW(store.save(renew), DbError);
    EXPECT_EQ(dump(), before);
    test::stopFailing(*t.db, "service");
    EXPECT_EQ(store.save(renew).receiptNo, QStringLiteral("R2"));
}

TEST_F(ContractStoreTest, FourCopiesSavingAtOnceNeverShareANumber)
{
    // Four counters, each opening 250 contracts and renewing each once.
    std::vector<std::unique_ptr<QProcess>> copies;
    for (const char* name : {"A", "B", "C", "D"}) {
        copies.push_back(std::make_unique<QProcess>());
        copies.back()->start(QStringLiteral(CONTRACT_WRITER_PATH),
                             {test::addressOf(*t.db), QStringLiteral("250"), QLatin1String(name)});
    }
    for (auto& copy : copies) {
        ASSERT_TRUE(copy->waitForFinished(240000));
        EXPECT_EQ(copy->exitCode(), 0) << copy->readAllStandardError().toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM chumnum")), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(DISTINCT Policy_no) FROM chumnum")), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM spending")), 1000);
    EXPECT_EQ(store.currentRun(), 12 + 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM service")), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(DISTINCT recv_no) FROM service")), 1000);
    // Gap-free: every number from R1 to R1000 was given out once.
    EXPECT_EQ(admin::loadSettings(t.db).runRecv, 1001);
}

TEST_F(ContractStoreTest, TwoCopiesRenewingOneContractKeepEveryRenewal)
{
    const QString number = store.save(newContract()).policyNo;
    QProcess a, b;
    const QStringList args = {test::addressOf(*t.db), QStringLiteral("25"), QStringLiteral("A"),
                              number};
    a.start(QStringLiteral(CONTRACT_WRITER_PATH), args);
    b.start(QStringLiteral(CONTRACT_WRITER_PATH), args);
    ASSERT_TRUE(a.waitForFinished(240000));
    ASSERT_TRUE(b.waitForFinished(240000));
    ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    // Every renewal that was said to be stored is in the history, with its
    // receipt; none replaced another copy's.
    EXPECT_EQ(a.readAllStandardOutput().trimmed().toInt() +
                  b.readAllStandardOutput().trimmed().toInt(),
              50);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 50);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(DISTINCT line_no) FROM chumnum_tor")), 50);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM service")), 50);
}

TEST_F(ContractStoreTest, AWriteOnAContractChangedElsewhereIsRefused)
{
    const QString number = store.save(newContract()).policyNo;
    const Contract seenByA = *store.find(number);
    Contract seenByB = seenByA;

    // B redeems; A, still showing it open, saves a telephone change.
    Closing closing;
    closing.policyNo = number;
    closing.closeDate = QDate(2025, 6, 1);
    closing.rowVersion = seenByB.rowVersion;
    store.close(closing, std::nullopt);
    SaveRequest phone;
    phone.contract = seenByA;
    phone.contract.kuMp = QStringLiteral("081");
    const QString before = dump();
    for (auto attempt :
         {std::function<void()>([&] { store.save(phone); }),
          std::function<void()>([&] { store.close(closing, std::nullopt); }),
          std::function<void()>([&] { store.remove(number, seenByA.rowVersion); })}) {
        try {
            attempt();
            ADD_FAILURE() << "a stale write went through";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), error_number::ChangedElsewhere);
            EXPECT_EQ(e.description(), changedElsewhereText());
        }
    }
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(store.find(number)->pStatus);
}

TEST_F(ContractStoreTest, AnArchivedNumberStaysTaken)
{
    test::TempDatabase archive(app::DatabaseRole::Archive);
    test::addRow(archive.db, "chumnum", {{"Policy_no", "68-05-4-0012"}, {"P_status", false}});
    store.useArchive(archive.db);
    EXPECT_TRUE(store.contractNumberTaken(QStringLiteral("68-05-4-0012")));
    EXPECT_FALSE(store.contractNumberTaken(QStringLiteral("68-05-4-0013")));
    try {
        store.save(newContract()); // would take the archived number
        FAIL() << "stored under an archived number";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::DuplicateKey);
        EXPECT_TRUE(e.description().contains(QStringLiteral("แยกเก็บ")));
    }
    EXPECT_EQ(store.currentRun(), 12); // no number used up
    EXPECT_FALSE(store.find(QStringLiteral("68-05-4-0012")));
}
