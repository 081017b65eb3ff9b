#include "reports/ui/report_output.h"
#include "screenshot.h"
#include "temp_home.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

TEST(ReportPreview, ShowsPagesAndSavesAPdf)
{
    test::TempDatabase t;
    t.db->exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < 80; ++i)
        t.db->exec(QStringLiteral("INSERT INTO chumnum_prod_group (prod_group) VALUES (?)"),
                   {QStringLiteral("กลุ่มที่ %1 เครื่องประดับเงินและทอง").arg(i)});
    t.db->exec(QStringLiteral("COMMIT"));
    const auto d = ReportDefinition::parse(
        QStringLiteral("title: กลุ่มสินค้า\npage: A5\ntable: chumnum_prod_group\n"
                       "[detail] height 7\ntext 0 0 120 6: {chumnum_prod_group.prod_group}\n"
                       "[page footer] height 7\ntext 0 0 120 6 align=right: หน้า {page}/{pages}\n"));
    const LaidOutReport report = layoutReport(d, readReportRows(t.db, d, {}, {}), {});
    ASSERT_GT(report.pages.size(), 1);

    ReportPreview preview(report, d.title, PrintTarget{});
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_EQ(preview.pageCount(), report.pages.size());
    auto* page = preview.findChild<QLabel*>(QStringLiteral("lblPage"));
    EXPECT_EQ(page->text(), QStringLiteral("หน้า 1 / %1").arg(report.pages.size()));
    QTest::mouseClick(preview.findChild<QPushButton*>(QStringLiteral("cmdNext")), Qt::LeftButton);
    EXPECT_EQ(page->text(), QStringLiteral("หน้า 2 / %1").arg(report.pages.size()));
    keepScreenshot(&preview, QStringLiteral("report_preview"));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
    preview.saveAsPdf(pdf);
    EXPECT_GT(QFile(pdf).size(), 1000);

    // A target that asks for the preview opens a window of its own.
    platform::ScriptedPrompt prompt;
    PrintTarget target;
    target.preview = true;
    outputReport(report, d.title, target, prompt);
    QWidget* opened = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != &preview && w->objectName() == QStringLiteral("reportPreview") && w->isVisible())
            opened = w;
    ASSERT_NE(opened, nullptr);
    opened->close();
    EXPECT_TRUE(prompt.messages().isEmpty());
}
