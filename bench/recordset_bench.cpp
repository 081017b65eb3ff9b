// Record-layer figures on a shop with a million contracts.
//
//   cmake -B build -DTAWELA_BUILD_BENCH=ON && cmake --build build -j2
//   build/bench/recordset_bench [--rows=N] [--data=DIR]
//
// The data file is generated on first use and kept in DIR (default: the
// system's temporary folder) for later runs.
#include "app/schema.h"
#include "bench/bench_shop.h"
#include "platform/db/database.h"
#include "platform/db/recordset.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace tawela;
using platform::db::Condition;
using platform::db::Database;
using platform::db::Recordset;

long long g_rows = 1000000;
QString g_dataDir = QDir::tempPath();

QString dataPath()
{
    return g_dataDir + QStringLiteral("/tawela-bench-") + QString::number(g_rows) +
           QStringLiteral(".mdb");
}

// Resident memory in bytes.
long long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Closed in main() while Qt's driver registry still stands: a static
// connection closed after it (at exit) crashed the program.
std::shared_ptr<Database> g_db;

std::shared_ptr<Database> benchDatabase()
{
    std::shared_ptr<Database>& db = g_db;
    if (db)
        return db;
    const QString path = dataPath();
    const bool exists = QFileInfo::exists(path);
    db = Database::open(path, platform::db::OpenMode::CreateIfMissing);
    if (!exists) {
        app::schema::create(*db, app::DatabaseRole::Main, QStringLiteral("*prepare8"));
        db->exec(QStringLiteral("BEGIN"));
        QSqlQuery q(db->connection());
        q.prepare(QStringLiteral(
            "INSERT INTO chumnum (Policy_no, ref_no, Ku_name, Ku_ID, Model, Amount1, Amount2, "
            "Policy_date, End_date, P_status) VALUES (?,?,?,?,?,?,?,?,?,?)"));
        for (long long i = 0; i < g_rows; ++i) {
            const QString no = QStringLiteral("%1-%2-4-%3")
                                   .arg(60 + i % 10)
                                   .arg(i % 12 + 1, 2, 10, QChar(u'0'))
                                   .arg(i, 7, 10, QChar(u'0'));
            q.addBindValue(no);
            q.addBindValue(no);
            q.addBindValue(QStringLiteral("นาย ลูกค้า%1 นามสกุล%2").arg(i).arg(i % 977));
            q.addBindValue(QStringLiteral("%1").arg(1100000000000LL + i, 13, 10, QChar(u'0')));
            q.addBindValue(QStringLiteral("สร้อยคอทองคำ หนัก %1 บาท").arg(i % 5 + 1));
            q.addBindValue(qlonglong(1000 + i % 50000) * 10000);
            q.addBindValue(qlonglong(1100 + i % 50000) * 10000);
            q.addBindValue(QStringLiteral("2025-01-01"));
            q.addBindValue(QStringLiteral("2025-02-01"));
            q.addBindValue(i % 3 == 0 ? 0 : 1);
            q.exec();
        }
        db->exec(QStringLiteral("COMMIT"));
        db->exec(QStringLiteral("ANALYZE"));
    }
    return db;
}

void BM_OpenAllContracts(benchmark::State& state)
{
    auto db = benchDatabase();
    long long peak = 0;
    for (auto _ : state) {
        const long long before = residentBytes();
        Recordset rs(db, QStringLiteral("chumnum"));
        benchmark::DoNotOptimize(rs.text(QStringLiteral("Policy_no")));
        rs.moveLast();
        benchmark::DoNotOptimize(rs.text(QStringLiteral("Ku_name")));
        peak = std::max(peak, residentBytes() - before);
        state.counters["rows"] = double(rs.count());
    }
    state.counters["MB"] = double(peak) / (1024.0 * 1024.0);
}
BENCHMARK(BM_OpenAllContracts)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenOpenContractsByName(benchmark::State& state)
{
    auto db = benchDatabase();
    for (auto _ : state) {
        Recordset rs(db, QStringLiteral("chumnum"),
                     Condition::equals(QStringLiteral("P_status"), true),
                     {{QStringLiteral("Ku_name")}});
        benchmark::DoNotOptimize(rs.text(QStringLiteral("Policy_no")));
        state.counters["rows"] = double(rs.count());
    }
}
BENCHMARK(BM_OpenOpenContractsByName)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindForwardEquality(benchmark::State& state)
{
    auto db = benchDatabase();
    Recordset rs(db, QStringLiteral("chumnum"));
    const QString id = QStringLiteral("%1").arg(1100000000000LL + g_rows - 5, 13, 10, QChar(u'0'));
    for (auto _ : state) {
        rs.moveFirst();
        if (!rs.find(Condition::equals(QStringLiteral("Ku_ID"), id)))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindForwardEquality)->Unit(benchmark::kMillisecond);

void BM_FindForwardPattern(benchmark::State& state)
{
    auto db = benchDatabase();
    Recordset rs(db, QStringLiteral("chumnum"));
    const QString name = QStringLiteral("*ลูกค้า%1 *").arg(g_rows - 5);
    for (auto _ : state) {
        rs.moveFirst();
        if (!rs.find(Condition::like(QStringLiteral("Ku_name"), name)))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindForwardPattern)->Unit(benchmark::kMillisecond);

void BM_FindForwardInOrderedSet(benchmark::State& state)
{
    auto db = benchDatabase();
    Recordset rs(db, QStringLiteral("chumnum"), {}, {{QStringLiteral("Ku_name"), true}});
    const QString id = QStringLiteral("%1").arg(1100000000000LL + 7, 13, 10, QChar(u'0'));
    for (auto _ : state) {
        rs.moveFirst();
        if (!rs.find(Condition::equals(QStringLiteral("Ku_ID"), id)))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindForwardInOrderedSet)->Unit(benchmark::kMillisecond);

void BM_WalkRows(benchmark::State& state)
{
    auto db = benchDatabase();
    Recordset rs(db, QStringLiteral("chumnum"));
    long long walked = 0; // the rows really walked (a small shop has fewer than 100,000)
    for (auto _ : state) {
        long long n = 0;
        for (rs.moveFirst(); !rs.atEnd() && n < 100000; rs.moveNext(), ++n)
            benchmark::DoNotOptimize(rs.decimal(QStringLiteral("Amount1")));
        walked += n;
    }
    state.SetItemsProcessed(walked);
}
BENCHMARK(BM_WalkRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(
        argc, argv, {"--rows=", &g_rows, &g_dataDir}, [] {}, [] { g_db.reset(); });
}
