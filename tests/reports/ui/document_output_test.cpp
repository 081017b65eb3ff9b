#include "reports/default_reports.h"
#include "reports/ui/document_output.h"
#include "reports/ui/report_output.h"
#include "temp_home.h"

#include <QApplication>
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

} // namespace

TEST(DocumentOutput, ReceiptsGoToTheirPrinterOrThePreview)
{
    // Never send a test page to a real printer of the machine running the tests.
    if (!installedPrinters().isEmpty())
        GTEST_SKIP() << "this computer has printers";
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    installMissingReports(config.dataFolder);
    app::Connections connections;
    connections.open(config);
    connections.main()->exec(
        QStringLiteral("INSERT INTO service (recv_no, tt_price) VALUES ('R1', 3750000)"));
    platform::ScriptedPrompt prompt;
    PrinterChoice choice;
    const ReportRunner runner(config.dataFolder, connections);
    DocumentOutput output(runner, PrinterSettings(connections.personal()), choice, prompt);

    // The receipt row asks for the preview (a new shop's rows all do).
    closePreviews();
    output.print({{QStringLiteral("recv_1.rpt"),
                   QStringLiteral("{service.recv_no} = 'R1'"),
                   QString(),
                   {QStringLiteral("c_name ='นายดี'")}}},
                 QStringLiteral("ใบเสร็จรับเงิน"));
    EXPECT_EQ(openPreviews(), 1);

    // A definition that is missing is said; the next one still comes.
    output.print({{QStringLiteral("nosuch.rpt"), QString(), QString(), {}},
                  {QStringLiteral("recv_1_copy.rpt"),
                   QStringLiteral("{service.recv_no} = 'R1'"),
                   QString(),
                   {}}});
    bool missingSaid = false;
    for (const auto& m : prompt.messages())
        missingSaid = missingSaid || m.text.contains(QStringLiteral("ไม่พบแฟ้มแบบรายงาน"));
    EXPECT_TRUE(missingSaid);
    EXPECT_EQ(openPreviews(), 2); // the copy came all the same (no printer here: preview)
    closePreviews();
}
