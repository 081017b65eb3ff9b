#include "platform/ui/thai_date_edit.h"
#include "reports/ui/archive_screen.h"
#include "reports/ui/receipt_reprint_screen.h"
#include "reports/ui/summary_screens.h"
#include "screenshot.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "typing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

TEST(SummaryScreens, AChoiceAndADateMakeTheReport)
{
    platform::ScriptedPrompt prompt;
    QList<platform::ReportRequest> out;
    const auto keep = [&](const platform::ReportRequest& r) { out << r; };
    ContractSummaryScreen contracts(
        std::make_unique<ContractSummaryForm>(prompt, keep, QDate(2024, 3, 7)));
    contracts.setAttribute(Qt::WA_DeleteOnClose, false);
    contracts.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&contracts));
    const QList<QRadioButton*> options = contracts.findChildren<QRadioButton*>();
    ASSERT_EQ(options.size(), 10);
    EXPECT_EQ(options[0]->objectName(), QStringLiteral("Option4"));
    EXPECT_EQ(options[2]->text(), QStringLiteral("สัญญาที่ยังไม่ครบกำหนด"));
    auto* at = contracts.findChild<platform::ThaiDateEdit*>(QStringLiteral("DTPicker5"));
    EXPECT_EQ(at->lineEdit()->text(), QStringLiteral("07/03/2567"));
    auto* print = contracts.findChild<QPushButton*>(QStringLiteral("Command32"));
    QTest::mouseClick(print, Qt::LeftButton); // nothing ticked: asked for a choice
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
    at->lineEdit()->selectAll();
    test::typeText(at->lineEdit(), QStringLiteral("08/03/2567"));
    QTest::keyClick(at->lineEdit(), Qt::Key_Tab);
    QTest::mouseClick(options[0], Qt::LeftButton);
    keepScreenshot(&contracts, QStringLiteral("report_Sanya"));
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(out.size(), 1);
    EXPECT_TRUE(out[0].selection.contains(QStringLiteral("DateValue(2024,3,8)")));

    int paperSetups = 0;
    MoneySummaryScreen money(std::make_unique<MoneySummaryForm>(prompt, keep, QDate(2024, 3, 7)),
                             [&] { ++paperSetups; });
    money.setAttribute(Qt::WA_DeleteOnClose, false);
    money.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&money));
    int off = 0;
    for (QRadioButton* r : money.findChildren<QRadioButton*>())
        off += r->isEnabled() ? 0 : 1;
    EXPECT_EQ(off, 7); // captions without a report are shown off
    auto* from = money.findChild<platform::ThaiDateEdit*>(QStringLiteral("DTPicker1"));
    from->setDate(QDate(2024, 3, 1));
    QTest::mouseClick(money.findChild<QRadioButton*>(QStringLiteral("Option7")), Qt::LeftButton);
    QTest::mouseClick(money.findChild<QPushButton*>(QStringLiteral("mnu_paper")), Qt::LeftButton);
    EXPECT_EQ(paperSetups, 1);
    keepScreenshot(&money, QStringLiteral("print_sum"));
    QTest::mouseClick(money.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[1].file, QStringLiteral("sum_spending.rpt"));
    EXPECT_EQ(out[1].selection,
              QStringLiteral("{spending.s_date} in Date (2024,3,1) to Date (2024,3,7)"));
}

TEST(ReceiptReprintScreen, TypingCompletesTheNumberAndPrintSendsTheReceipt)
{
    test::TempDatabase main;
    for (const char* no : {"R1", "R2", "R10"})
        test::addRow(main.db, "service", {{"recv_no", no}, {"Ku_name", "นางสมศรี"}});
    platform::ScriptedPrompt prompt;
    QList<platform::ReportRequest> printed;
    ReceiptReprintScreen screen(std::make_unique<ReceiptReprintForm>(
        main.db, prompt, [&](const QList<platform::ReportRequest>& jobs) { printed << jobs; }));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    auto* number = screen.findChild<QComboBox*>(QStringLiteral("Combo1"));
    EXPECT_EQ(number->count(), 3);
    test::typeText(number->lineEdit(), QStringLiteral("R1"));
    EXPECT_EQ(number->count(), 2); // R1, R10
    keepScreenshot(&screen, QStringLiteral("RollBack"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_EQ(printed[0].selection, QStringLiteral("{service.recv_no} = 'R1'"));
    EXPECT_EQ(printed[0].values.value(0), QStringLiteral("c_name ='นางสมศรี'"));
}

TEST(ArchiveScreen, ChosenContractsMoveOutAndANumberOnBothSidesIsAskedAbout)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    test::TempDatabase archive{app::DatabaseRole::Archive};
    for (const char* no : {"A-1", "A-2", "A-3"})
        test::addRow(main.db, "chumnum", {{"Policy_no", no}, {"P_status", false}});
    test::addRow(main.db, "chumnum", {{"Policy_no", "A-4"}, {"P_status", true}});
    platform::ScriptedPrompt prompt;
    ArchiveScreen out(std::make_unique<ArchiveMoveForm>(
        ContractArchive(main.db, archive.db), ContractArchive::Direction::ToArchive, prompt));
    out.setAttribute(Qt::WA_DeleteOnClose, false);
    out.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&out));
    auto* source = out.findChild<QListWidget*>(QStringLiteral("List4"));
    auto* chosen = out.findChild<QListWidget*>(QStringLiteral("List1"));
    ASSERT_EQ(source->count(), 3); // the open A-4 is not offered
    QTest::mouseClick(out.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_EQ(chosen->count(), 0); // nothing selected: nothing changes
    source->item(0)->setSelected(true);
    source->item(2)->setSelected(true);
    QTest::mouseClick(out.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    ASSERT_EQ(chosen->count(), 2);
    EXPECT_EQ(chosen->item(1)->text(), QStringLiteral("A-3"));
    keepScreenshot(&out, QStringLiteral("move_close"));
    QTest::mouseClick(out.findChild<QPushButton*>(QStringLiteral("Command6")), Qt::LeftButton);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญาที่เลือกได้ถูกย้ายไปเก็บแล้ว"));
    EXPECT_FALSE(out.isVisible());
    EXPECT_EQ(archive.db->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt(), 2);

    // A-1 is written again in the main database by an older copy: bringing
    // both back asks first, and "No" moves nothing.
    test::addRow(main.db, "chumnum", {{"Policy_no", "A-1"}, {"P_status", false}});
    ArchiveMoveForm back(ContractArchive(main.db, archive.db), ContractArchive::Direction::Back,
                         prompt);
    ASSERT_TRUE(back.open());
    back.select({0, 1});
    prompt.queueAnswer(platform::PromptAnswer::No);
    EXPECT_FALSE(back.move());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("A-1")));
    EXPECT_EQ(archive.db->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toInt(), 2);
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    EXPECT_TRUE(back.move()); // A-3 comes back, A-1 stays in the archive
    EXPECT_EQ(archive.db->scalar(QStringLiteral("SELECT Policy_no FROM chumnum")).toString(),
              QStringLiteral("A-1"));
}
