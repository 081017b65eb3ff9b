#include "reports/receipt_reprint.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using reports::ReceiptReprintForm;

namespace {

QStringList filesOf(const QList<platform::ReportRequest>& jobs)
{
    QStringList out;
    for (const auto& j : jobs)
        out << j.file;
    return out;
}

} // namespace

TEST(ReceiptReprint, FormatFollowsTheRedemptionSettingForEveryReceipt)
{
    admin::Settings s;
    const auto files = [&](const char* cfg, bool copy, int size) {
        s.recvtaiCfg = QLatin1String(cfg);
        s.recvCopy = copy;
        s.receptPrinterSize = size;
        return filesOf(reports::reprintedReceipt(s, QStringLiteral("R1"), QString()));
    };
    EXPECT_EQ(files("1", true, 80), QStringList{QStringLiteral("recv_1.rpt")}); // "1" still prints
    EXPECT_EQ(files("2", true, 80),
              QStringList({QStringLiteral("recv_1.rpt"), QStringLiteral("recv_1_copy.rpt")}));
    EXPECT_EQ(files("2", false, 80), QStringList{QStringLiteral("recv_1.rpt")});
    EXPECT_EQ(files("3", true, 58), QStringList({QStringLiteral("recv_short58mm.rpt"),
                                                 QStringLiteral("recv_short_copy.rpt")}));
    EXPECT_EQ(files("3", false, 80), QStringList{QStringLiteral("recv_short.rpt")});
}

TEST(ReceiptReprint, TheListCompletesWhatIsTypedAndThePrintNamesTheCustomer)
{
    test::TempDatabase main;
    // A shop whose older copy wrote one receipt number twice (today's
    // databases refuse that).
    main.db->exec(QStringLiteral("DROP INDEX service_recv_no_once"));
    for (int i = 1; i <= 60; ++i)
        test::addRow(main.db, "service",
                     {{"recv_no", QStringLiteral("R%1").arg(i)}, {"Ku_name", "นายก"}});
    // Two rows of one receipt (two lines), and a row without a number.
    test::addRow(main.db, "service", {{"recv_no", "R7"}, {"Ku_name", "O'Neil สมชาย"}});
    test::addRow(main.db, "service", {{"recv_no", ""}});
    admin::Settings s = admin::loadSettings(main.db);
    s.recvtaiCfg = QStringLiteral("2");
    s.recvCopy = true;
    admin::saveSettings(main.db, s);

    platform::ScriptedPrompt prompt;
    QList<platform::ReportRequest> printed;
    ReceiptReprintForm f(main.db, prompt,
                         [&](const QList<platform::ReportRequest>& jobs) { printed << jobs; });
    f.refreshNumbers();
    ASSERT_EQ(f.numbers.size(), ReceiptReprintForm::ListSize) << prompt.lastText().toStdString();
    EXPECT_EQ(f.numbers.last(), QStringLiteral("R7")); // the latest row last
    f.number = QStringLiteral("R7");
    f.refreshNumbers();
    EXPECT_EQ(f.numbers, QStringList({QStringLiteral("R7"), QStringLiteral("R7")})); // each row
    f.number = QStringLiteral("R5");
    f.refreshNumbers();
    EXPECT_EQ(f.numbers.size(), 11); // R5, R50 … R59
    EXPECT_EQ(f.numbers.first(), QStringLiteral("R5"));
    f.number = QStringLiteral("R_");
    f.refreshNumbers();
    EXPECT_TRUE(f.numbers.isEmpty()); // typed characters are no wildcards

    f.number = QStringLiteral("R99");
    EXPECT_FALSE(f.print());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบใบเสร็จเลขที่ R99"));
    f.number = QStringLiteral(" R7 ");
    ASSERT_TRUE(f.print());
    ASSERT_EQ(filesOf(printed),
              QStringList({QStringLiteral("recv_1.rpt"), QStringLiteral("recv_1_copy.rpt")}));
    EXPECT_EQ(printed[0].selection, QStringLiteral("{service.recv_no} = 'R7'"));
    // The customer of the receipt's first row, not "xxxx".
    EXPECT_EQ(printed[0].values, QStringList{QStringLiteral("c_name ='นายก'")});
    EXPECT_EQ(printed[0].kind, QStringLiteral("ใบเสร็จรับเงิน"));
}
