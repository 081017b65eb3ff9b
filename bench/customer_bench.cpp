// The customer file at a million customers, each figure beside the naive
// way (the same statement with the index not used):
// opening the customer screen with its first page of the grid, moving to a
// customer, the contract screen's lookups by code, ID number and name
// prefix, and "จัดเก็บ" with the disk synchronised.
//
//   build/bench/customer_bench [--customers=N] [--data=DIR]
#include "admin/session.h"
#include "app/schema.h"
#include "bench/bench_shop.h"
#include "customers/customer_export.h"
#include "customers/customer_form.h"
#include "customers/customer_import.h"
#include "customers/customer_store.h"
#include "platform/db/recordset.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace tawela;
using customers::CustomerForm;
using customers::CustomerStore;

long long g_customers = 1000000;
QString g_dataDir = QDir::tempPath();
std::shared_ptr<platform::db::Database> g_db;
std::shared_ptr<platform::db::Database> g_main;
platform::ScriptedPrompt g_prompt;

const std::shared_ptr<platform::db::Database>& db()
{
    if (!g_db)
        g_db = bench::benchCustomers(g_dataDir, g_customers);
    return g_db;
}

// Resident memory of this process in MB (Linux).
double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096.0 / (1024 * 1024) : 0;
}

long long rows(QSqlQuery q)
{
    long long n = 0;
    while (q.next())
        ++n;
    return n;
}

QString anyCode(std::mt19937& rng)
{
    return QString::number(std::uniform_int_distribution<long long>(1, g_customers)(rng));
}

// Opening the screen: the lists, the record set (highest code first) and
// the first 40 rows of the grid.
void BM_OpenTheScreen(benchmark::State& state)
{
    double peak = 0;
    for (auto _ : state) {
        CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
        form.open({});
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 49; ++c)
                benchmark::DoNotOptimize(form.records()->valueAt(r, c));
        peak = std::max(peak, residentMb());
    }
    state.counters["resident_MB"] = peak;
}
BENCHMARK(BM_OpenTheScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MoveToACustomer(benchmark::State& state)
{
    CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
    form.open({});
    std::mt19937 rng(7);
    for (auto _ : state)
        form.moveTo(std::uniform_int_distribution<long long>(0, g_customers - 1)(rng));
}
BENCHMARK(BM_MoveToACustomer)->Unit(benchmark::kMillisecond);

void BM_LookupByCode(benchmark::State& state)
{
    CustomerStore store(db());
    std::mt19937 rng(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.byCode(anyCode(rng)));
}
BENCHMARK(BM_LookupByCode)->Unit(benchmark::kMillisecond);

void BM_LookupByCode_NoIndex(benchmark::State& state)
{
    std::mt19937 rng(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            rows(db()->exec(QStringLiteral("SELECT * FROM customer NOT INDEXED WHERE C_code = ?"),
                            {anyCode(rng)})));
}
BENCHMARK(BM_LookupByCode_NoIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LookupById(benchmark::State& state)
{
    CustomerStore store(db());
    std::mt19937 rng(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.byIdNumber(QStringLiteral("%1").arg(
            1100000000000LL + std::uniform_int_distribution<long long>(0, g_customers - 1)(rng), 13,
            10, QChar(u'0'))));
}
BENCHMARK(BM_LookupById)->Unit(benchmark::kMillisecond);

// The name list as the contract screen fills it while a name is typed:
// two, three and four letters of a given name.
void BM_NamePrefix(benchmark::State& state)
{
    CustomerStore store(db());
    const int letters = int(state.range(0));
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.names(bench::benchGivenName(i++).left(letters), 50));
}
BENCHMARK(BM_NamePrefix)->Arg(2)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_NamePrefix_NoIndex(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows(db()->exec(
            QStringLiteral("SELECT C_name, C_Sname FROM customer NOT INDEXED WHERE C_name LIKE ? "
                           "ORDER BY C_name COLLATE thai, C_Sname COLLATE thai LIMIT 50"),
            {QVariant(bench::benchGivenName(i++).left(3) + u'%')})));
}
BENCHMARK(BM_NamePrefix_NoIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole name picked from the list.
void BM_LookupByFullName(benchmark::State& state)
{
    CustomerStore store(db());
    std::mt19937 rng(3);
    for (auto _ : state) {
        const long long i = std::uniform_int_distribution<long long>(0, g_customers - 1)(rng);
        benchmark::DoNotOptimize(
            store.byFullName(bench::benchGivenName(int(i % 20)) + QString::number(i / 20) +
                             QStringLiteral(" นามสกุล") + QString::number(i % 977)));
    }
}
BENCHMARK(BM_LookupByFullName)->Unit(benchmark::kMillisecond);

// "จัดเก็บ" of a changed customer, checks included, with the disk synchronised.
void BM_Save(benchmark::State& state)
{
    CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
    form.open({});
    std::mt19937 rng(4);
    int n = 0;
    for (auto _ : state) {
        form.moveTo(std::uniform_int_distribution<long long>(0, g_customers - 1)(rng));
        form.customer.note = QStringLiteral("โทรก่อนมา ") + QString::number(n++);
        form.save();
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

// Find by a part of the name, anywhere in it ("สม"), from the first
// customer, then Find Next; beside a scan for every match.
void BM_FindInName(benchmark::State& state)
{
    CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
    form.open({});
    form.finder().panel.field = 1;
    form.finder().panel.key = QStringLiteral("สม");
    for (auto _ : state)
        form.finder().first();
}
BENCHMARK(BM_FindInName)->Unit(benchmark::kMillisecond);

void BM_FindNextInName(benchmark::State& state)
{
    CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
    form.open({});
    form.finder().panel.field = 1;
    form.finder().panel.key = QStringLiteral("สม");
    form.finder().first();
    for (auto _ : state)
        if (!form.finder().next())
            form.finder().first();
}
BENCHMARK(BM_FindNextInName)->Unit(benchmark::kMillisecond);

void BM_FindInName_Naive(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rows(db()->exec(
            QStringLiteral("SELECT rowid FROM customer WHERE C_name LIKE ? ORDER BY C_code DESC"),
            {QStringLiteral("%สม%")})));
}
BENCHMARK(BM_FindInName_Naive)->Unit(benchmark::kMillisecond)->Iterations(3);

// A simple filter keeping 10,000 customers (one group of a hundred), to its first page.
void BM_FilterTenThousand(benchmark::State& state)
{
    CustomerForm form(db(), g_main, admin::Session{}, g_prompt);
    form.open({});
    for (auto _ : state) {
        form.filter().open();
        form.filter().panel.field = 3; // "กลุ่มลูกค้า"
        form.filter().panel.value = QStringLiteral("กลุ่ม7");
        form.filter().run();
        for (int r = 0; r < 40; ++r)
            benchmark::DoNotOptimize(form.records()->valueAt(r, 3));
    }
    state.counters["shown"] = double(form.count());
}
BENCHMARK(BM_FilterTenThousand)->Unit(benchmark::kMillisecond)->Iterations(5);

QTemporaryDir g_sheets;

// All2Excel of 100,000 customers, and the import of that sheet again.
void BM_All2ExcelHundredThousand(benchmark::State& state)
{
    const platform::db::Recordset set(
        db(), QStringLiteral("customer"),
        platform::db::Condition::lessOrEqual(QStringLiteral("ID"), 100000),
        {{QStringLiteral("C_code"), true}});
    double peak = 0;
    for (auto _ : state) {
        customers::exportAll(set, g_sheets.path(), QStringLiteral("Laksaman"));
        peak = std::max(peak, residentMb());
    }
    state.counters["resident_MB"] = peak;
}
BENCHMARK(BM_All2ExcelHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_All2Excel_Openpyxl(benchmark::State& state)
{
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(TAWELA_SOURCE_DIR "/bench/openpyxl_write.py"), db()->path(),
                 QStringLiteral("100000"), g_sheets.filePath(QStringLiteral("openpyxl.xlsx"))});
        p.waitForFinished(-1);
    }
}
BENCHMARK(BM_All2Excel_Openpyxl)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ImportHundredThousand(benchmark::State& state)
{
    const QString file = customers::exportFile(g_sheets.path());
    const double before = residentMb();
    double peak = 0;
    for (auto _ : state) {
        // The sheet read a row at a time as the rows are stored.
        benchmark::DoNotOptimize(
            customers::importCustomerFile(*db(), file, 49, [&](qsizetype, qsizetype) {
                peak = std::max(peak, residentMb());
                return true;
            }));
    }
    state.counters["resident_MB"] = peak;
    state.counters["added_MB"] = peak - before;
}

BENCHMARK(BM_ImportHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The same sheet into an empty customer file: every row a new customer.
void BM_ImportHundredThousand_AllNew(benchmark::State& state)
{
    const QString file = customers::exportFile(g_sheets.path());
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        auto empty = platform::db::Database::open(dir.filePath(QStringLiteral("new.mdb")),
                                                  platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*empty, app::DatabaseRole::Customer, QString());
        // Opened as the program opens it: with its indexes.
        app::schema::openExisting(*empty, app::DatabaseRole::Customer, QString());
        state.ResumeTiming();
        const auto result =
            customers::importCustomerFile(*empty, file, 49, [&](qsizetype, qsizetype) {
                peak = std::max(peak, residentMb());
                return true;
            });
        state.counters["added"] = double(result.added);
    }
    state.counters["resident_MB"] = peak;
}
BENCHMARK(BM_ImportHundredThousand_AllNew)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The same sheet read whole first, as a screen holding it would.
void BM_ImportHundredThousand_ReadWhole(benchmark::State& state)
{
    const QString file = customers::exportFile(g_sheets.path());
    double peak = 0;
    for (auto _ : state) {
        const platform::SheetData sheet = platform::readSheet(file, 49);
        peak = std::max(peak, residentMb());
        benchmark::DoNotOptimize(customers::importCustomers(*db(), sheet));
    }
    state.counters["resident_MB"] = peak;
}
BENCHMARK(BM_ImportHundredThousand_ReadWhole)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(
        argc, argv, {"--customers=", &g_customers, &g_dataDir},
        [] {
            db();
            // A hundred groups of 10,000 for the filter.
            db()->exec(QStringLiteral("UPDATE customer SET class = 'กลุ่ม' || (ID % 100) "
                                      "WHERE class IS NULL OR class IN ('VIP', 'ทั่วไป')"));
            db()->exec(QStringLiteral("ANALYZE"));
            g_main = bench::benchShop(g_dataDir, 1000);
        },
        [] {
            g_db.reset();
            g_main.reset();
        });
}
