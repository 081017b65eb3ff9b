#include "pdf_text.h"
#include "private_cups.h"
#include "reports/default_reports.h"
#include "reports/ui/document_output.h"
#include "reports/ui/report_output.h"
#include "temp_home.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

namespace {

int openPreviews()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("reportPreview") && w->isVisible())
            ++n;
    return n;
}

void closePreviews()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("reportPreview"))
            w->close();
    QApplication::processEvents();
}

// A shop with a receipt and a contract, printing to two queues of a print
// system of the test's own: an A4 office printer and a receipt roll.
class DocumentOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!cups.available())
            GTEST_SKIP() << cups.why().toStdString();
        ASSERT_TRUE(cups.addQueue(QStringLiteral("Office_A4")));
        ASSERT_TRUE(cups.addQueue(QStringLiteral("Receipt58")));
        config = home.setUp();
        installMissingReports(config.dataFolder);
        connections.open(config);
        connections.main()->exec(
            QStringLiteral("INSERT INTO service (recv_no, tt_price) VALUES ('R1', 3750000)"));
        connections.main()->exec(QStringLiteral(
            "INSERT INTO chumnum (Policy_no, Ku_name) VALUES ('68-05-4-0012', 'นายดี')"));
        auto row = [&](const char* kind, const char* printer) {
            connections.personal()->exec(
                QStringLiteral("UPDATE Printer_tb SET Printer_name = ?, Printer_index = NULL, "
                               "Preview = 0 WHERE Report_name = ?"),
                {QString::fromLatin1(printer), QString::fromUtf8(kind)});
        };
        row("ใบเสร็จรับเงิน", "Receipt58");
        row("ใบต่อดอกใหญ่", "Office_A4");
    }

    QList<ReportRequest> receiptThenRenewal() const
    {
        ReportRequest receipt{
            QStringLiteral("recv_1.rpt"),       QStringLiteral("{service.recv_no} = 'R1'"),
            {QStringLiteral("c_name ='นายดี'")}, QStringLiteral("ใบเสร็จรับเงิน"),
            QStringLiteral("ใบเสร็จรับเงิน R1"),   {}};
        ReportRequest renewal{QStringLiteral("TOR_A4.rpt"),
                              QStringLiteral("{chumnum.Policy_no} = '68-05-4-0012'"),
                              {},
                              QStringLiteral("ใบต่อดอกใหญ่"),
                              QStringLiteral("ใบต่อดอกใหญ่ 68-05-4-0012"),
                              {}};
        return {receipt, renewal};
    }

    test::PrivateCups cups;
    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
    platform::ScriptedPrompt prompt;
    PrinterChoice choice;
};

} // namespace

TEST_F(DocumentOutputTest, EachDocumentGoesToItsOwnPrinterUnderItsName)
{
    const ReportRunner runner(config.dataFolder, connections.main(), connections.customer());
    DocumentOutput output(runner, PrinterSettings(connections.personal()), choice, prompt);
    EXPECT_TRUE(output.print(receiptThenRenewal()));
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.lastText().toStdString();
    // The renewal document does not follow the receipt onto the roll.
    EXPECT_EQ(cups.finishedJobs(QStringLiteral("Receipt58"), 1),
              QStringList{QStringLiteral("ใบเสร็จรับเงิน R1")});
    EXPECT_EQ(cups.finishedJobs(QStringLiteral("Office_A4"), 1),
              QStringList{QStringLiteral("ใบต่อดอกใหญ่ 68-05-4-0012")});
    EXPECT_TRUE(
        test::pdfText(cups.outputOf(QStringLiteral("Receipt58"))).contains(QStringLiteral("R1")));
    EXPECT_TRUE(test::pdfText(cups.outputOf(QStringLiteral("Office_A4")))
                    .contains(QStringLiteral("68-05-4-0012")));
    EXPECT_EQ(openPreviews(), 0);
}

TEST_F(DocumentOutputTest, ARefusedJobIsSaidWithTheDocumentsName)
{
    ASSERT_TRUE(cups.reject(QStringLiteral("Office_A4")));
    const ReportRunner runner(config.dataFolder, connections.main(), connections.customer());
    DocumentOutput output(runner, PrinterSettings(connections.personal()), choice, prompt);
    EXPECT_FALSE(output.print(receiptThenRenewal()));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ใบต่อดอกใหญ่ 68-05-4-0012")))
        << prompt.lastText().toStdString();
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("Office_A4")));
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("พบข้อผิดพลาด"));
    // The receipt before it still printed.
    EXPECT_EQ(cups.finishedJobs(QStringLiteral("Receipt58"), 1).size(), 1);
}

TEST_F(DocumentOutputTest, PreviewRowsAndMissingDefinitions)
{
    connections.personal()->exec(QStringLiteral("UPDATE Printer_tb SET Preview = 1"));
    const ReportRunner runner(config.dataFolder, connections.main(), connections.customer());
    DocumentOutput output(runner, PrinterSettings(connections.personal()), choice, prompt);
    closePreviews();
    QList<ReportRequest> documents = receiptThenRenewal();
    // A definition that is missing is said; the next one still comes.
    documents.prepend({QStringLiteral("nosuch.rpt"),
                       QString(),
                       {},
                       QStringLiteral("ใบเสร็จรับเงิน"),
                       QStringLiteral("ใบเสร็จรับเงิน R0"),
                       {}});
    EXPECT_FALSE(output.print(documents));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ไม่พบแฟ้มแบบรายงาน")));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ใบเสร็จรับเงิน R0")));
    EXPECT_EQ(openPreviews(), 2);
    // The preview fits the screen it opens on.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("reportPreview")) {
            EXPECT_LE(w->height(), w->screen()->availableGeometry().height());
        }
    }
    closePreviews();
    EXPECT_TRUE(cups.finishedJobs(QStringLiteral("Receipt58"), 0).isEmpty());
}
