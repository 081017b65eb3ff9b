// The contract and money summaries, and the archive, over a large shop.
//
//   build/bench/summaries_bench [--data=DIR]
//
// The shop (1,000,000 contracts with 3,000,000 receipt lines) is generated
// once into DIR and kept there. Each report is timed from the request to the
// written PDF, and its query is timed beside the same query with a function
// applied to the stored date, which no index can answer.
#include "bench/bench_shop.h"

#include "app/schema.h"

#include "reports/archive.h"
#include "reports/default_reports.h"
#include "reports/report_data.h"
#include "reports/report_runner.h"
#include "reports/summaries.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tawela;

constexpr long long Contracts = 1000000;
constexpr long long Receipts = 3000000;
QString g_dataDir = QDir::tempPath();
std::shared_ptr<platform::db::Database> g_shop;
QTemporaryDir* g_reports = nullptr;

// The shop, with due dates and 3,000,000 receipt lines over ten years.
std::shared_ptr<platform::db::Database> shop()
{
    if (g_shop)
        return g_shop;
    g_shop = bench::benchShop(g_dataDir, Contracts);
    if (g_shop->scalar(QStringLiteral("SELECT count(*) FROM service")).toLongLong() < Receipts) {
        g_shop->exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        g_shop->exec(QStringLiteral("PRAGMA synchronous = OFF"));
        g_shop->exec(QStringLiteral("UPDATE chumnum SET L_returndate = End_date"));
        g_shop->exec(QStringLiteral(R"(
WITH RECURSIVE seq(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM seq WHERE i + 1 < ?)
INSERT INTO service (recv_no, description, s_group, s_group2, tt_price, s_date, Ku_name)
SELECT 'R' || i, 'ต่อดอก สัญญาเลขที่ ' || i, CASE i % 3 WHEN 0 THEN 'ทองคำ' WHEN 1 THEN 'นาฬิกา'
       ELSE 'โทรศัพท์มือถือ' END, CASE i % 4 WHEN 0 THEN 'ไถ่ถอน' ELSE 'ต่อดอก' END,
       (100 + i % 900) * 10000, date('2016-01-01', '+' || (i * 3653 / ?) || ' days'), 'นาย ลูกค้า'
FROM seq)"),
                     {Receipts, Receipts});
        g_shop->exec(QStringLiteral("ANALYZE"));
    }
    return g_shop;
}

QString dataFolder()
{
    if (!g_reports) {
        g_reports = new QTemporaryDir;
        reports::installMissingReports(g_reports->path());
    }
    return g_reports->path();
}

reports::ReportQuery queryOf(const platform::ReportRequest& r)
{
    QFile f(QDir(dataFolder()).filePath(r.file));
    f.open(QIODevice::ReadOnly);
    const auto d = reports::ReportDefinition::parse(QString::fromUtf8(f.readAll()), r.file);
    return reports::reportQuery(shop(), d, reports::Formula::parse(r.selection),
                                reports::Formula::parse({}));
}

long long rowsOf(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q = shop()->exec(sql, binds);
    long long n = 0;
    while (q.next())
        ++n;
    return n;
}

// index 0: the report's query as the program runs it; 1: the same query
// with its date column wrapped in date(), as a formula compiled naively
// would read it, and the table read without its indexes.
void runQuery(benchmark::State& state, const platform::ReportRequest& r, const char* table,
              const char* column)
{
    reports::ReportQuery q = queryOf(r);
    if (state.range(0) == 1) {
        const QString c = QLatin1String(column);
        const QString from = QStringLiteral(" FROM ") + QLatin1String(table);
        const qsizetype where = q.sql.indexOf(QStringLiteral(" WHERE "));
        q.sql = q.sql.left(where).replace(from, from + QStringLiteral(" NOT INDEXED")) +
                q.sql.mid(where).replace(c, QStringLiteral("date(") + c + u')');
    }
    long long n = 0;
    for (auto _ : state)
        n = rowsOf(q.sql, q.binds);
    state.counters["rows"] = double(n);
}

void runPdf(benchmark::State& state, const platform::ReportRequest& r)
{
    const reports::ReportRunner runner(dataFolder(), shop(), shop());
    QTemporaryDir out;
    for (auto _ : state) {
        const reports::LaidOutReport laid = runner.build(r);
        state.counters["pages"] = double(laid.pages.size());
        reports::writePdf(laid, out.filePath(QStringLiteral("report.pdf")));
    }
}

const QDate At(2025, 6, 1);

platform::ReportRequest overdue()
{
    return reports::contractSummaryRequest(reports::ContractSummary::Overdue, At);
}

platform::ReportRequest monthIncome()
{
    return reports::moneySummaryRequest(reports::MoneySummary::IncomeTable, QDate(2024, 3, 1),
                                        QDate(2024, 3, 31));
}

void BM_OverdueQuery(benchmark::State& state)
{
    runQuery(state, overdue(), "\"chumnum\"", "\"chumnum\".\"l_returndate\"");
}
BENCHMARK(BM_OverdueQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OverdueListToPdf(benchmark::State& state)
{
    runPdf(state, overdue());
}
BENCHMARK(BM_OverdueListToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_MonthIncomeQuery(benchmark::State& state)
{
    runQuery(state, monthIncome(), "\"service\"", "\"service\".\"s_date\"");
}
BENCHMARK(BM_MonthIncomeQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MonthIncomeToPdf(benchmark::State& state)
{
    runPdf(state, monthIncome());
}
BENCHMARK(BM_MonthIncomeToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// 10,000 closed contracts of a 100,000-contract shop (a copy) into a new archive.
void BM_ArchiveTenThousand(benchmark::State& state)
{
    const auto source = bench::benchShop(g_dataDir, 100000);
    const QString path = source->path();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(g_dataDir + QStringLiteral("/archive-XXXXXX"));
        QFile::copy(path, dir.filePath(QStringLiteral("Morlind.mdb")));
        auto main = platform::db::Database::open(dir.filePath(QStringLiteral("Morlind.mdb")),
                                                 platform::db::OpenMode::ExistingOnly);
        auto archive = platform::db::Database::open(dir.filePath(QStringLiteral("closed.mdb")),
                                                    platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*archive, app::DatabaseRole::Archive, QStringLiteral("*prepare8"));
        const reports::ContractArchive a(main, archive);
        const QStringList numbers =
            a.movable(reports::ContractArchive::Direction::ToArchive).mid(0, 10000);
        state.ResumeTiming();
        const auto r = a.move(reports::ContractArchive::Direction::ToArchive, numbers);
        state.PauseTiming();
        state.counters["moved"] = r.moved;
        if (!r.failure.isEmpty())
            state.SkipWithError(r.failure.toStdString().c_str());
        main.reset();
        archive.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ArchiveTenThousand)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--data=", 0) == 0)
            g_dataDir = QString::fromStdString(a.substr(7));
        else
            rest.push_back(argv[i]);
    }
    int n = int(rest.size());
    benchmark::Initialize(&n, rest.data());
    shop(); // made before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_shop.reset();
    delete g_reports;
    return 0;
}
