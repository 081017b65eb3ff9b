#include "app/connections.h"
#include "pdf_text.h"
#include "reports/default_reports.h"
#include "reports/report_data.h"
#include "reports/report_runner.h"
#include "reports/summaries.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;
using test::addRow;
using test::letters;

namespace {

const QDate At(2024, 3, 7);

// A shop on 7 March 2024: contracts overdue, due, later, redeemed and
// forfeited that day and earlier; renewals, receipts and expenses around March.
class Summaries : public ::testing::Test {
protected:
    void SetUp() override
    {
        config = home.setUp();
        installMissingReports(config.dataFolder);
        connections.open(config);
        const auto main = connections.main();
        const auto contract = [&](const char* no, const char* name, const char* amount,
                                  QDate opened, QDate due, bool open, QDate closed = {},
                                  bool forfeited = false, const char* paid = "0") {
            addRow(main, "chumnum",
                   {{"Policy_no", no},
                    {"Ku_name", name},
                    {"object", "ทองคำ"},
                    {"Amount1", amount},
                    {"Policy_date", opened},
                    {"End_date", due},
                    {"L_returndate", due},
                    {"P_status", open},
                    {"Close_date", closed.isValid() ? QVariant(closed) : QVariant()},
                    {"over_due", forfeited},
                    {"L_total", paid}});
        };
        contract("A-001", "นายเลย กำหนด", "1000", QDate(2024, 1, 6), QDate(2024, 3, 6), true);
        contract("A-002", "นางครบ วันนี้", "2000", At, At, true);
        contract("A-003", "นายยัง ไม่ถึง", "4000", QDate(2024, 2, 1), QDate(2024, 4, 1), true);
        contract("A-004", "นายไถ่ คืน", "8000", QDate(2024, 1, 2), QDate(2024, 4, 2), false, At,
                 false, "8200");
        contract("A-005", "นายหลุด ไป", "16000", QDate(2023, 11, 1), QDate(2024, 2, 1), false, At,
                 true);
        contract("A-006", "นายไถ่ ก่อน", "32000", QDate(2024, 1, 1), QDate(2024, 4, 1), false,
                 QDate(2024, 3, 1), false, "33000");
        for (int line : {1, 2})
            addRow(main, "chumnum_tor",
                   {{"policy_no", "A-002"},
                    {"line_no", line},
                    {"fak_date", At},
                    {"return_date", QDate(2024, 4, 6)},
                    {"fee", "50"},
                    {"total", "150"}});
        addRow(main, "chumnum_tor",
               {{"policy_no", "A-003"},
                {"line_no", 1},
                {"fak_date", QDate(2024, 3, 6)},
                {"total", "999"}});
        const auto money = [&](const char* table, QDate day, const char* kind, const char* group,
                               const char* amount) {
            addRow(main, table,
                   {{"description", "รายการ"},
                    {"s_date", day},
                    {"s_group2", kind},
                    {"s_group", group},
                    {"tt_price", amount}});
        };
        money("service", QDate(2024, 2, 29), "ต่อดอก", "ทองคำ", "1");
        money("service", QDate(2024, 3, 1), "ต่อดอก", "ทองคำ", "100");
        money("service", QDate(2024, 3, 1), "ไถ่ถอน", "นาฬิกา", "200");
        money("service", QDate(2024, 3, 31), "ต่อดอก", "นาฬิกา", "300");
        money("service", QDate(2024, 4, 1), "ไถ่ถอน", "ทองคำ", "2");
        money("spending", QDate(2024, 3, 15), "ขายฝาก", "ทองคำ", "5000");
        money("spending", QDate(2024, 3, 16), "ค่าไฟ", "", "700");
        money("spending", QDate(2024, 4, 1), "ค่าไฟ", "", "3");
    }

    QString rendered(const platform::ReportRequest& r)
    {
        const ReportRunner runner(config.dataFolder, connections.main(), connections.customer());
        const QString pdf = home.file(r.file + QStringLiteral(".pdf"));
        runner.renderToPdf(r, pdf);
        return letters(test::pdfText(pdf));
    }

    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
};

bool has(const QString& text, const char* part)
{
    return text.contains(letters(QString::fromUtf8(part)));
}

} // namespace

TEST(SummaryRequests, DatesTitlesAndRangesAsTheReportsExpect)
{
    EXPECT_EQ(formulaDate(At), QStringLiteral("2024,3,7"));
    const auto overdue = contractSummaryRequest(ContractSummary::Overdue, At);
    EXPECT_EQ(overdue.selection,
              QStringLiteral("DateValue({chumnum.L_returndate}) < "
                             "DateValue(2024,3,7) and {chumnum.P_status} = true"));
    EXPECT_EQ(overdue.values.value(0), QStringLiteral("at_date = ' 7 มีนาคม 2567'"));
    EXPECT_EQ(overdue.kind, QStringLiteral("รายงานสรุปสัญญา"));
    // The title printed differs from the caption.
    EXPECT_EQ(contractSummaryRequest(ContractSummary::NotYetDue, At).values.value(1),
              QStringLiteral("head_title = 'สัญญาที่ยังไม่เลยกำหนด'"));
    const auto income =
        moneySummaryRequest(MoneySummary::IncomeTable, QDate(2024, 3, 1), QDate(2024, 3, 31));
    EXPECT_EQ(income.file, QStringLiteral("sum_all.rpt"));
    EXPECT_EQ(income.selection,
              QStringLiteral("{service.s_date} in Date (2024,3,1) to Date (2024,3,31)"));
    EXPECT_EQ(income.values, QStringList({QStringLiteral("from_date = '01/03/2567'"),
                                          QStringLiteral("to_date = '31/03/2567'")}));

    platform::ScriptedPrompt prompt;
    QList<platform::ReportRequest> out;
    MoneySummaryForm money(
        prompt, [&](const platform::ReportRequest& r) { out << r; }, At);
    EXPECT_FALSE(money.print()); // no choice ticked: nothing printed
    EXPECT_EQ(prompt.lastText(), QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
    money.choice = MoneySummary::SpendingByGroup;
    money.to = At.addDays(-1);
    EXPECT_FALSE(money.print());
    EXPECT_TRUE(out.isEmpty());
    ContractSummaryForm contracts(
        prompt, [&](const platform::ReportRequest& r) { out << r; }, At);
    EXPECT_FALSE(contracts.print());
    contracts.choice = ContractSummary::RenewedToday;
    EXPECT_TRUE(contracts.print());
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].file, QStringLiteral("tor.rpt"));
}

TEST_F(Summaries, EachContractListHoldsWhatItsCaptionSays)
{
    struct Expect {
        ContractSummary which;
        QStringList listed, absent;
        const char* total;
    };
    const auto L = [](std::initializer_list<const char*> nos) {
        QStringList out;
        for (const char* n : nos)
            out << QString::fromLatin1(n);
        return out;
    };
    using S = ContractSummary;
    const Expect expected[] = {
        {S::Overdue, L({"A-001"}), L({"A-002", "A-003"}), "1,000.00"},
        {S::DueToday, L({"A-002"}), L({"A-001", "A-003"}), "2,000.00"},
        {S::NotYetDue, L({"A-002", "A-003"}), L({"A-001", "A-004"}), "6,000.00"},
        {S::Open, L({"A-001", "A-002", "A-003"}), L({"A-004"}), "7,000.00"},
        {S::Closed, L({"A-004", "A-005", "A-006"}), L({"A-001"}), "56,000.00"},
        {S::OpenedToday, L({"A-002"}), L({"A-001"}), "2,000.00"},
        {S::RedeemedToday, L({"A-004"}), L({"A-005", "A-006"}), "8,200.00"},
        {S::RenewedToday, L({"A-002"}), L({"A-003"}), "300.00"},
        {S::ForfeitedToday, L({"A-005"}), L({"A-004", "A-006"}), "16,000.00"},
    };
    for (const Expect& e : expected) {
        const auto request = contractSummaryRequest(e.which, At);
        const QString text = rendered(request);
        SCOPED_TRACE(request.file.toStdString() + " " + request.values.value(1).toStdString());
        EXPECT_TRUE(text.contains(letters(request.values.value(1).section(u'\'', 1, 1))));
        EXPECT_TRUE(has(text, "7 มีนาคม 2567"));
        for (const QString& no : e.listed)
            EXPECT_TRUE(text.contains(no)) << no.toStdString();
        for (const QString& no : e.absent)
            EXPECT_FALSE(text.contains(no)) << no.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String(e.total))) << text.toStdString();
    }
    // Each renewal row of the day is a line of its own.
    EXPECT_TRUE(has(rendered(contractSummaryRequest(S::RenewedToday, At)), "รวม 2 รายการ"));
    EXPECT_TRUE(has(rendered(contractSummaryRequest(S::ForfeitedToday, At)), "หลุด"));
}

TEST_F(Summaries, MoneySummariesTotalTheRangeWithBothEndsIncluded)
{
    const QDate from(2024, 3, 1), to(2024, 3, 31);
    using M = MoneySummary;
    const QString daily = rendered(moneySummaryRequest(M::IncomeByDate, from, to));
    EXPECT_TRUE(daily.contains(QStringLiteral("600.00")));
    EXPECT_TRUE(daily.contains(QStringLiteral("300.00"))); // 1 March: two receipts
    EXPECT_FALSE(daily.contains(QStringLiteral("601.00")));
    EXPECT_TRUE(has(daily, "01/03/2567"));
    EXPECT_TRUE(has(daily, "31/03/2567"));
    const QString byGroup = rendered(moneySummaryRequest(M::IncomeByGroup, from, to));
    EXPECT_TRUE(has(byGroup, "รวม นาฬิกา (2 รายการ)"));
    EXPECT_TRUE(byGroup.contains(QStringLiteral("500.00")));
    const QString table = rendered(moneySummaryRequest(M::IncomeTable, from, to));
    EXPECT_TRUE(has(table, "ต่อดอก"));
    EXPECT_TRUE(table.contains(QStringLiteral("400.00")));
    EXPECT_TRUE(table.contains(QStringLiteral("200.00")));
    EXPECT_TRUE(table.contains(QStringLiteral("600.00")));
    // One day alone.
    EXPECT_TRUE(
        rendered(moneySummaryRequest(M::IncomeByDate, to, to)).contains(QStringLiteral("300.00")));
    for (M m : {M::SpendingByDate, M::SpendingByGroup, M::SpendingTable}) {
        const QString text = rendered(moneySummaryRequest(m, from, to));
        EXPECT_TRUE(text.contains(QStringLiteral("5,700.00"))) << int(m);
        EXPECT_FALSE(text.contains(QStringLiteral("5,703.00"))) << int(m);
    }
    EXPECT_TRUE(has(rendered(moneySummaryRequest(M::SpendingTable, from, to)), "ค่าไฟ"));
}

TEST_F(Summaries, DateSelectionsAreAnsweredFromAnIndex)
{
    if (connections.main()->isServer())
        GTEST_SKIP() << "the plan is the file database's";
    const auto plan = [&](const platform::ReportRequest& r) {
        const ReportRunner runner(config.dataFolder, connections.main(), connections.customer());
        const ReportDefinition d = ReportDefinition::parse(
            [&] {
                QFile f(runner.definitionPath(r.file));
                f.open(QIODevice::ReadOnly);
                return QString::fromUtf8(f.readAll());
            }(),
            r.file);
        const ReportQuery q =
            reportQuery(connections.main(), d, Formula::parse(r.selection), Formula::parse({}));
        QSqlQuery p =
            connections.main()->exec(QStringLiteral("EXPLAIN QUERY PLAN ") + q.sql, q.binds);
        QString out;
        while (p.next())
            out += p.value(3).toString() + u'\n';
        return out;
    };
    EXPECT_TRUE(plan(contractSummaryRequest(ContractSummary::Overdue, At))
                    .contains(QStringLiteral("chumnum_status_return")));
    EXPECT_TRUE(plan(contractSummaryRequest(ContractSummary::OpenedToday, At))
                    .contains(QStringLiteral("chumnum_policy_date")));
    EXPECT_TRUE(plan(contractSummaryRequest(ContractSummary::RenewedToday, At))
                    .contains(QStringLiteral("chumnum_tor_fak_date")));
    EXPECT_TRUE(plan(moneySummaryRequest(MoneySummary::IncomeTable, At, At))
                    .contains(QStringLiteral("service_s_date")));
}

TEST_F(Summaries, TheContractsBeyondTheLawAreThoseAboveTheCeilingOrNearTheirLastDay)
{
    const auto main = connections.main();
    const auto contract = [&](const char* no, const char* fee, QDate opened, bool open = true) {
        addRow(main, "chumnum",
               {{"Policy_no", no},
                {"Ku_name", "นายทด สอบ"},
                {"Amount1", "10000"},
                {"amount3", "10000"},
                {"Interest_rate", fee},
                {"total_day", 30},
                {"Policy_date", opened},
                {"L_returndate", opened.addDays(30)},
                {"P_status", open}});
    };
    contract("L-001", "300", QDate(2024, 2, 20));        // 36.50 % a year
    contract("L-002", "123.28", QDate(2024, 2, 20));     // 14.999… %: within
    contract("L-003", "30", QDate(2021, 5, 6));          // its last day within 60 days
    contract("L-004", "30", QDate(2021, 5, 7));          // 61 days to go
    contract("L-005", "300", QDate(2024, 2, 20), false); // closed
    const auto request = contractSummaryRequest(ContractSummary::BeyondTheLaw, At);
    const QString text = rendered(request);
    EXPECT_TRUE(has(text, "สัญญาที่เกินเพดานตามกฎหมาย"));
    for (const char* listed : {"L-001", "L-003"})
        EXPECT_TRUE(text.contains(QLatin1String(listed))) << listed;
    for (const char* absent : {"L-002", "L-004", "L-005", "A-001", "A-002", "A-003"})
        EXPECT_FALSE(text.contains(QLatin1String(absent))) << absent;
    // A lower ceiling of the shop's own lists the second too.
    const QString lower =
        rendered(contractSummaryRequest(ContractSummary::BeyondTheLaw, At, {test::d("14.5"), 3}));
    EXPECT_TRUE(lower.contains(QStringLiteral("L-002")));
}
