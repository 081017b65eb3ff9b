// The contract screen on a shop of a million contracts (a tenth open), each
// figure beside the same work done with one plain SQL statement:
// opening the list with its value box, completing a typed name, searching an
// ID and stepping through its matches, showing a contract, and "จัดเก็บ" with
// everything the screen does after it, with the disk synchronised.
//
//   build/bench/contract_list_bench [--contracts=N] [--data=DIR]
//   scripts/private-postgres build/bench/contract_list_bench --server
// With --server the shop is on the server TAWELA_TEST_SERVER names.
#include "admin/session.h"
#include "bench/bench_shop.h"
#include "contracts/contract_form.h"
#include "contracts/contract_list.h"
#include "contracts/contract_store.h"
#include "test_server.h"

#include <QDir>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace tawela;
using contracts::ContractList;

long long g_contracts = 1000000;
QString g_dataDir = QDir::tempPath();
std::shared_ptr<platform::db::Database> g_db;
platform::ScriptedPrompt g_prompt;

bool g_server = false;

const std::shared_ptr<platform::db::Database>& db()
{
    if (!g_db)
        g_db = g_server ? bench::benchShopOnServer(*test::configuredTestServer(), g_contracts)
                        : bench::benchShop(g_dataDir, g_contracts);
    return g_db;
}

// The i-th open contract among the newest tenth.
QString openContract(long long i)
{
    return bench::benchPolicyNo(g_contracts - 1 - i);
}

long long rows(QSqlQuery q)
{
    long long n = 0;
    while (q.next())
        ++n;
    return n;
}

// What the screen shows on opening: the open contracts' numbers in the value
// box, newest first.
void BM_OpenTheList(benchmark::State& state)
{
    for (auto _ : state) {
        ContractList list(db(), g_prompt);
        benchmark::DoNotOptimize(list.values());
    }
}
BENCHMARK(BM_OpenTheList)->Unit(benchmark::kMillisecond);

void BM_OpenTheList_RawSql(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            rows(db()->exec(QStringLiteral("SELECT Policy_no FROM chumnum WHERE P_status = 1 "
                                           "ORDER BY Policy_no DESC LIMIT 200"))));
}
BENCHMARK(BM_OpenTheList_RawSql)->Unit(benchmark::kMillisecond);

// Nine in ten contracts are closed: the open ones' names still complete at once.
void BM_CompleteATypedName(benchmark::State& state)
{
    ContractList list(db(), g_prompt);
    list.chooseKey(ContractList::Key::KuName);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.values(QStringLiteral("นาย ลูกค้า123"), 50));
}
BENCHMARK(BM_CompleteATypedName)->Unit(benchmark::kMillisecond);

void BM_CompleteATypedName_RawSql(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rows(db()->exec(
            QStringLiteral("SELECT DISTINCT Ku_name FROM chumnum WHERE P_status = 1 AND Ku_name "
                           "LIKE ? ESCAPE '\\' ORDER BY Ku_name LIMIT 50")
                .replace(QStringLiteral(" LIKE "), db()->dialect().like()),
            {QStringLiteral("นาย ลูกค้า123%")})));
}
BENCHMARK(BM_CompleteATypedName_RawSql)->Unit(benchmark::kMillisecond);

// A customer of five contracts, all closed but the newest: every filter.
void BM_SearchAnIdAndStepThrough(benchmark::State& state)
{
    ContractList list(db(), g_prompt);
    list.chooseFilter(contracts::ContractFilter::All);
    list.chooseKey(ContractList::Key::KuId);
    const QString id = bench::benchCustomerId(12345);
    for (auto _ : state) {
        auto found = list.search(id);
        while (found)
            found = list.findNext();
    }
}
BENCHMARK(BM_SearchAnIdAndStepThrough)->Unit(benchmark::kMillisecond);

void BM_SearchAnIdAndStepThrough_RawSql(benchmark::State& state)
{
    const QString id = bench::benchCustomerId(12345);
    for (auto _ : state)
        benchmark::DoNotOptimize(rows(db()->exec(
            QStringLiteral("SELECT * FROM chumnum WHERE Ku_ID = ? ORDER BY Policy_no DESC"),
            {id})));
}
BENCHMARK(BM_SearchAnIdAndStepThrough_RawSql)->Unit(benchmark::kMillisecond);

void BM_OpenTheFormAndShowAContract(benchmark::State& state)
{
    contracts::ContractStore store(db());
    const contracts::Contract shown = *store.find(openContract(1));
    for (auto _ : state) {
        contracts::ContractForm form(db(), admin::Session{}, g_prompt);
        form.open();
        form.show(shown);
        benchmark::DoNotOptimize(form.lines.size());
    }
}
BENCHMARK(BM_OpenTheFormAndShowAContract)->Unit(benchmark::kMillisecond);

// What "จัดเก็บ" costs as the person waits for it: the form's save (the row
// with its stale-copy check, re-reading the contract and the settings); the
// list needs nothing afterwards.
void BM_SaveOnTheScreen(benchmark::State& state)
{
    contracts::ContractStore store(db());
    ContractList list(db(), g_prompt);
    contracts::ContractForm form(db(), admin::Session{}, g_prompt);
    form.open();
    long long i = 3;
    for (auto _ : state) {
        state.PauseTiming();
        form.show(*store.find(openContract(i)));
        form.contract.kuMp = QStringLiteral("08%1").arg(i);
        state.ResumeTiming();
        form.save();
        if (!form.saved())
            state.SkipWithError("not stored");
        i += 1;
    }
}
BENCHMARK(BM_SaveOnTheScreen)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SaveOnTheScreen_RawSql(benchmark::State& state)
{
    long long i = 1000;
    for (auto _ : state) {
        db()->exec(QStringLiteral("BEGIN"));
        db()->exec(QStringLiteral("UPDATE chumnum SET Ku_MP = ?, row_version = row_version + 1 "
                                  "WHERE Policy_no = ?"),
                   {QStringLiteral("08%1").arg(i), openContract(i)});
        db()->exec(QStringLiteral("COMMIT"));
        i += 1;
    }
}
BENCHMARK(BM_SaveOnTheScreen_RawSql)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SaveARenewalWithItsReceipt(benchmark::State& state)
{
    contracts::ContractStore store(db());
    long long i = 5000;
    for (auto _ : state) {
        state.PauseTiming();
        contracts::SaveRequest r;
        r.contract = *store.find(openContract(i));
        r.contract.contractDate = QDate(2026, 1, 1);
        r.contract.dueDate = QDate(2026, 3, 2);
        contracts::RenewalLine line;
        line.lineNo = 1;
        line.fee = platform::Decimal::fromInt(300);
        line.total = line.fee;
        line.from = QDate(2026, 1, 31);
        line.due = QDate(2026, 3, 2);
        r.lines = {line};
        r.mode = contracts::OperationMode::Renewal;
        r.receiptTotal = line.total;
        state.ResumeTiming();
        store.save(r);
        i += 1;
    }
}
BENCHMARK(BM_SaveARenewalWithItsReceipt)
    ->Iterations(500)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_RedeemWithItsReceipt(benchmark::State& state)
{
    contracts::ContractStore store(db());
    // Contracts still open: an earlier run on the kept shop closed others.
    QStringList open;
    for (QSqlQuery q = db()->exec(QStringLiteral("SELECT Policy_no FROM chumnum WHERE P_status = 1 "
                                                 "ORDER BY Policy_no LIMIT 600"));
         q.next();)
        open << q.value(0).toString();
    qsizetype i = 0;
    for (auto _ : state) {
        contracts::Closing c;
        c.policyNo = open.value(i);
        c.rowVersion = store.find(c.policyNo)->rowVersion;
        c.closeDate = QDate(2026, 3, 2);
        c.total = platform::Decimal::fromInt(10300);
        contracts::Receipt r;
        r.description = QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + c.policyNo;
        r.total = c.total;
        store.close(c, r);
        i += 1;
    }
}
BENCHMARK(BM_RedeemWithItsReceipt)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(
        argc, argv, {"--contracts=", &g_contracts, &g_dataDir, &g_server}, [] { db(); },
        [] { g_db.reset(); });
}
