// Throughput of the contract save on a shop of n contracts: each contract
// stored in its own transaction with its expense row, as the counter does it.
//
//   build/bench/contract_store_bench [--benchmark_filter=...]
#include "app/schema.h"
#include "contracts/contract_store.h"
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tawela;

contracts::SaveRequest request(contracts::ContractStore& store, long long i)
{
    contracts::SaveRequest r;
    r.isNew = true;
    r.mode = contracts::OperationMode::NewContract;
    r.startedOn = QDate(2026, 12, 9);
    r.startedWithRun = store.currentRun();
    auto& c = r.contract;
    c.policyNo = contracts::contractNumber(r.startedOn, r.startedWithRun);
    c.refNo = c.policyNo;
    c.kuName = QStringLiteral("นาย ลูกค้า%1").arg(i);
    c.kuAddress = QStringLiteral("99/1 หมู่ 3 ตำบลในเมือง อำเภอเมือง จังหวัดขอนแก่น");
    c.model = QStringLiteral("สร้อยคอทองคำ หนัก 1 บาท");
    c.object = QStringLiteral("ทองคำ");
    c.principal = platform::Decimal::fromInt(10000 + i % 1000);
    c.interest = platform::Decimal::fromInt(375);
    c.payout = c.principal;
    c.redemption = c.principal + c.interest;
    c.contractDate = QDate(2026, 12, 9);
    c.days = 30;
    c.dueDate = c.contractDate.addDays(30);
    r.employeeName = QStringLiteral("สมศรี");
    return r;
}

// A shop that already holds n contracts, filled with plain SQL.
std::shared_ptr<platform::db::Database> shopWith(const QTemporaryDir& dir, long long n)
{
    auto db = platform::db::Database::open(dir.filePath(QStringLiteral("Morlind.mdb")),
                                           platform::db::OpenMode::CreateIfMissing);
    app::schema::create(*db, app::DatabaseRole::Main, QStringLiteral("*prepare8"));
    db->exec(QStringLiteral("BEGIN"));
    QSqlQuery q(db->connection());
    q.prepare(QStringLiteral("INSERT INTO chumnum (Policy_no, ref_no, Ku_name, Amount1, P_status) "
                             "VALUES (?, ?, ?, ?, ?)"));
    for (long long i = 0; i < n; ++i) {
        const QString no = QStringLiteral("B-%1").arg(i, 7, 10, QChar(u'0'));
        q.addBindValue(no);
        q.addBindValue(no);
        q.addBindValue(QStringLiteral("ลูกค้า %1").arg(i % 5000));
        q.addBindValue(qlonglong(100000000 + i % 1000 * 10000));
        q.addBindValue(i % 10 == 0 ? 1 : 0);
        q.exec();
    }
    db->exec(QStringLiteral("COMMIT"));
    return db;
}

// n: contracts already stored; sync: 1 waits for the disk as the shop's
// counter does, 0 does not. Wall-clock time: the disk's wait counts.
void BM_SaveNewContracts(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = shopWith(dir, state.range(0));
    if (state.range(1) == 0)
        db->exec(QStringLiteral("PRAGMA synchronous = OFF"));
    contracts::ContractStore store(db);
    long long i = 0;
    for (auto _ : state)
        store.save(request(store, i++));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveNewContracts)
    ->Args({0, 1})
    ->Args({200000, 1})
    ->Args({200000, 0})
    ->ArgNames({"n", "sync"})
    ->Iterations(2000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
