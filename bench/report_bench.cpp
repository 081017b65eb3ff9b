// A list report of 10,000 receipts, from the database to a PDF file.
//
//   build/bench/report_bench
#include "app/schema.h"
#include "platform/db/database.h"
#include "reports/report_data.h"
#include "reports/report_engine.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tawela;

const char* const List = R"(title: รายการใบเสร็จ
page: A4
table: service
order: service.s_date, service.recv_no
group: service.s_group
[page header] height 8
text 0 0 30 6 bold: เลขที่
text 30 0 110 6 bold: รายการ
text 150 0 40 6 bold align=right: จำนวนเงิน
[group header] height 7
text 0 0 190 6 bold: {service.s_group}
[detail] height 6
text 0 0 30 6: {service.recv_no}
text 30 0 110 6: {service.description}
text 150 0 40 6 align=right: {service.tt_price:#,##0.00}
[group footer] height 7
text 150 0 40 6 bold align=right: {sum:service.tt_price:#,##0.00}
[page footer] height 7
text 0 0 190 6 align=right: หน้า {page}/{pages}
)";

// The process's high-water mark of resident memory (VmHWM), in KiB.
long long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void BM_ListReportToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = platform::db::Database::open(dir.filePath(QStringLiteral("Morlind.mdb")),
                                           platform::db::OpenMode::CreateIfMissing);
    app::schema::create(*db, app::DatabaseRole::Main, QStringLiteral("*prepare8"));
    db->exec(QStringLiteral("BEGIN"));
    const QStringList groups = {QStringLiteral("ทองคำ"), QStringLiteral("นาฬิกา"),
                                QStringLiteral("โทรศัพท์มือถือ")};
    for (int i = 0; i < state.range(0); ++i)
        db->exec(
            QStringLiteral("INSERT INTO service (recv_no, s_group, description, tt_price, "
                           "s_date) VALUES (?,?,?,?,?)"),
            {QStringLiteral("R%1").arg(i), groups[i % 3],
             QStringLiteral("ต่อดอก สัญญาเลขที่ 68-05-4-%1 สร้อยคอทองคำ").arg(i, 4, 10, QChar(u'0')),
             qlonglong(375 + i % 100) * 10000, QStringLiteral("2024-03-01")});
    db->exec(QStringLiteral("COMMIT"));
    const auto definition = reports::ReportDefinition::parse(QString::fromUtf8(List));
    for (auto _ : state) {
        const auto rows = reports::readReportRows(db, definition, {}, {});
        const auto laidOut = reports::layoutReport(definition, rows, {});
        reports::writePdf(laidOut, dir.filePath(QStringLiteral("list.pdf")));
        state.counters["pages"] = double(laidOut.pages.size());
    }
    state.counters["peak MB"] = double(peakResidentKb()) / 1024.0;
}
BENCHMARK(BM_ListReportToPdf)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
