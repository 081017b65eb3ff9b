// The contract screen on a shop with 200,000 contracts: opening the list,
// completing a typed value, searching and stepping to the next match,
// opening the form and showing a contract, and the commands on a contract
// (a renewal saved with its receipt, a redemption, a deletion).
//
//   build/bench/contract_list_bench
#include "app/schema.h"
#include "contracts/contract_form.h"
#include "contracts/contract_list.h"
#include "platform/db/database.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tawela;

struct Shop {
    QTemporaryDir dir;
    std::shared_ptr<platform::db::Database> db;
    platform::ScriptedPrompt prompt;
    Shop()
    {
        db = platform::db::Database::open(dir.filePath(QStringLiteral("Morlind.mdb")),
                                          platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*db, app::DatabaseRole::Main, QStringLiteral("*prepare8"));
        db->exec(QStringLiteral("BEGIN"));
        QSqlQuery q(db->connection());
        q.prepare(
            QStringLiteral("INSERT INTO chumnum (Policy_no, ref_no, Ku_name, Ku_ID, P_status) "
                           "VALUES (?,?,?,?,?)"));
        for (int i = 0; i < 200000; ++i) {
            const QString no = QStringLiteral("6%1-%2-4-%3")
                                   .arg(i % 10)
                                   .arg(i % 12 + 1, 2, 10, QChar(u'0'))
                                   .arg(i, 6, 10, QChar(u'0'));
            q.addBindValue(no);
            q.addBindValue(no);
            q.addBindValue(QStringLiteral("นาย ลูกค้า%1 สกุล%2").arg(i % 40000).arg(i % 97));
            q.addBindValue(
                QStringLiteral("%1").arg(1100000000000LL + i % 40000, 13, 10, QChar(u'0')));
            q.addBindValue(i % 4 == 0 ? 0 : 1);
            q.exec();
        }
        db->exec(QStringLiteral("COMMIT"));
        db->exec(QStringLiteral("ANALYZE"));
    }
};

Shop& shop()
{
    static Shop s;
    return s;
}

void BM_OpenTheList(benchmark::State& state)
{
    for (auto _ : state) {
        contracts::ContractList list(shop().db, shop().prompt);
        benchmark::DoNotOptimize(list.set().count());
    }
}
BENCHMARK(BM_OpenTheList)->Unit(benchmark::kMillisecond);

void BM_CompleteATypedName(benchmark::State& state)
{
    contracts::ContractList list(shop().db, shop().prompt);
    list.chooseKey(contracts::ContractList::Key::KuName);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.values(QStringLiteral("นาย ลูกค้า123"), 50));
}
BENCHMARK(BM_CompleteATypedName)->Unit(benchmark::kMillisecond);

void BM_SearchAnIdAndStepThrough(benchmark::State& state)
{
    contracts::ContractList list(shop().db, shop().prompt);
    list.chooseKey(contracts::ContractList::Key::KuId);
    for (auto _ : state) {
        auto found = list.search(QStringLiteral("1100000012345"));
        while (found)
            found = list.findNext();
    }
}
BENCHMARK(BM_SearchAnIdAndStepThrough)->Unit(benchmark::kMillisecond);

// Contract i of the shop, open and with its figures.
QString openContract(int i)
{
    return QStringLiteral("6%1-%2-4-%3")
        .arg(i % 10)
        .arg(i % 12 + 1, 2, 10, QChar(u'0'))
        .arg(i, 6, 10, QChar(u'0'));
}

void BM_OpenTheFormAndShowAContract(benchmark::State& state)
{
    contracts::ContractStore store(shop().db);
    const contracts::Contract shown = *store.find(openContract(1));
    for (auto _ : state) {
        contracts::ContractForm form(shop().db, admin::Session{}, shop().prompt);
        form.open();
        form.show(shown);
        benchmark::DoNotOptimize(form.lines.size());
    }
}
BENCHMARK(BM_OpenTheFormAndShowAContract)->Unit(benchmark::kMillisecond);

void BM_SaveARenewalWithItsReceipt(benchmark::State& state)
{
    contracts::ContractStore store(shop().db);
    int i = 1;
    for (auto _ : state) {
        contracts::SaveRequest r;
        r.contract = *store.find(openContract(i));
        r.contract.policyDate = QDate(2026, 1, 1);
        r.contract.endDate = QDate(2026, 3, 2);
        contracts::RenewalLine line;
        line.lineNo = 1;
        line.fee = platform::Decimal::fromInt(300);
        line.total = line.fee;
        line.fakDate = QDate(2026, 1, 31);
        line.returnDate = QDate(2026, 3, 2);
        r.lines = {line};
        r.mode = contracts::OperationMode::Renewal;
        r.receiptTotal = line.total;
        store.save(r);
        i += 4; // the next open one
    }
}
BENCHMARK(BM_SaveARenewalWithItsReceipt)->Iterations(2000)->Unit(benchmark::kMillisecond);

// What "จัดเก็บ" costs as the person waits for it: the form's save (row,
// lines, receipt, re-reading the contract and the settings) and the list the
// screen then sets again.
void BM_SaveOnTheScreenWithTheListRefresh(benchmark::State& state)
{
    contracts::ContractStore store(shop().db);
    contracts::ContractList list(shop().db, shop().prompt);
    contracts::ContractForm form(shop().db, admin::Session{}, shop().prompt);
    form.open();
    int i = 3;
    for (auto _ : state) {
        form.show(*store.find(openContract(i)));
        form.contract.kuMp = QStringLiteral("08%1").arg(i);
        form.save();
        list.chooseFilter(list.filter());
        benchmark::DoNotOptimize(list.set().count());
        i += 4;
    }
}
BENCHMARK(BM_SaveOnTheScreenWithTheListRefresh)
    ->Iterations(500)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_RedeemWithItsReceipt(benchmark::State& state)
{
    contracts::ContractStore store(shop().db);
    int i = 2;
    for (auto _ : state) {
        contracts::Closing c;
        c.policyNo = openContract(i);
        c.closeDate = QDate(2026, 3, 2);
        c.lTotal = platform::Decimal::fromInt(10300);
        contracts::Receipt r;
        r.description = QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + c.policyNo;
        r.ttPrice = c.lTotal;
        store.close(c, r);
        i += 4;
    }
}
BENCHMARK(BM_RedeemWithItsReceipt)->Iterations(2000)->Unit(benchmark::kMillisecond);

void BM_DeleteAContract(benchmark::State& state)
{
    contracts::ContractStore store(shop().db);
    int i = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.remove(openContract(i)));
        i += 4;
    }
}
BENCHMARK(BM_DeleteAContract)->Iterations(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    shop(); // the data is made before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
