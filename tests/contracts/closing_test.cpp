#include "contracts/closing.h"
#include "contracts/contract_form.h"
#include "contracts/scan_lookup.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using admin::InterestMode;
using platform::PromptAnswer;

using test::d;

namespace {

const QList<RateRow> lateRows = {{7, d("3")}, {15, d("5")}};
const QList<RateRow> earlyRows = {{30, d("1")}, {10, d("2")}};

} // namespace

TEST(ClosingCharge, LateByTheModes)
{
    const Decimal p = d("10000");
    ClosingCharge steps = closingCharge(InterestMode::Steps, false, 10, p, lateRows, {}, 0);
    EXPECT_EQ(steps.amount, d("250"));
    EXPECT_EQ(steps.stepDays, 15);
    EXPECT_EQ(*steps.caption, QStringLiteral("ส่วนเพิ่ม 5%ของ10000 @ 15วัน"));

    ClosingCharge actual = closingCharge(InterestMode::ActualDays, false, 10, p, lateRows, {}, 0);
    EXPECT_EQ(actual.amount, d("167")); // 166.67
    EXPECT_EQ(*actual.caption, QStringLiteral("ส่วนเพิ่ม 5%ของ10000 @ 10วัน"));

    ClosingCharge flat = closingCharge(InterestMode::NotUsed, false, 3, p, lateRows, {}, 0);
    EXPECT_EQ(flat.amount, d("300")); // the 7-day row, one month
    EXPECT_EQ(*flat.caption, QStringLiteral("ส่วนเพิ่ม 3%ของ10000"));

    // Later than every row: the last row stands.
    EXPECT_EQ(closingCharge(InterestMode::Steps, false, 90, p, lateRows, {}, 0).amount, d("250"));

    // No rows to charge from: nothing charged, and the caller is told.
    ClosingCharge none = closingCharge(InterestMode::Steps, false, 10, p, {}, {}, 7);
    EXPECT_TRUE(none.noLateRates);
    EXPECT_EQ(none.amount, Decimal());
    EXPECT_EQ(none.stepDays, 7);
}

TEST(ClosingCharge, OnTheDueDayAndEarly)
{
    const Decimal p = d("10000");
    ClosingCharge due = closingCharge(InterestMode::Steps, true, 0, p, lateRows, earlyRows, 15);
    EXPECT_EQ(due.amount, Decimal());
    EXPECT_EQ(*due.caption, QStringLiteral("ส่วนเพิ่ม(ลด)"));

    // Without the early discount granted: nothing, and the caption stays.
    ClosingCharge kept = closingCharge(InterestMode::Steps, false, -20, p, lateRows, earlyRows, 0);
    EXPECT_EQ(kept.amount, Decimal());
    EXPECT_FALSE(kept.caption.has_value());

    // The first row not longer than 20 days early is the 10-day row.
    ClosingCharge early = closingCharge(InterestMode::Steps, true, -20, p, lateRows, earlyRows, 0);
    EXPECT_EQ(early.stepDays, 10);
    EXPECT_EQ(early.amount, d("-67")); // −66.67
    EXPECT_EQ(*early.caption, QStringLiteral("ส่วนลด 2%ของ10000 @ 10วัน"));

    ClosingCharge actual = closingCharge(InterestMode::ActualDays, true, -20, p, {}, earlyRows, 0);
    EXPECT_EQ(actual.amount, d("-133")); // 2/100/30 × −20 × 10000 = −133.33
    EXPECT_EQ(*actual.caption, QStringLiteral("ส่วนลด 2%ของ10000 @ -20วัน"));
    EXPECT_EQ(closingCharge(InterestMode::NotUsed, true, -20, p, {}, earlyRows, 0).amount,
              d("-200"));
}

TEST(ClosingCharge, HalvesGoToTheEvenNeighbour)
{
    const QList<RateRow> rows = {{30, d("3")}};
    // 3/100/30 × 25 × 2500 = 62.5; × 2540 = 63.5
    EXPECT_EQ(closingCharge(InterestMode::ActualDays, false, 25, d("2500"), rows, {}, 0).amount,
              d("62"));
    EXPECT_EQ(closingCharge(InterestMode::ActualDays, false, 25, d("2540"), rows, {}, 0).amount,
              d("64"));
    EXPECT_EQ(closingCharge(InterestMode::ActualDays, true, -25, d("2500"), {}, rows, 0).amount,
              d("-62"));
}

TEST(PayoffTable, TheDueDateAndTheNextMonthEndsByTheClosingRules)
{
    // Due 12 Aug 2025; late by 19, 49 and 80 days at 5 % a month of 10,000
    // for the actual days: 316.67 → 317, 816.67 → 817, 1,333.33 → 1,333.
    const QList<PayoffRow> rows = payoffTable(InterestMode::ActualDays, false, QDate(2025, 8, 12),
                                              d("10000"), d("10375"), lateRows, 3);
    ASSERT_EQ(rows.size(), 4);
    const QDate dates[] = {{2025, 8, 12}, {2025, 8, 31}, {2025, 9, 30}, {2025, 10, 31}};
    const char* totals[] = {"10375", "10692", "11192", "11708"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i].date, dates[i]);
        EXPECT_EQ(rows[i].total, d(totals[i])) << i;
    }
    // Due on a month's last day: the next month-end is a month later.
    EXPECT_EQ(payoffTable(InterestMode::ActualDays, false, QDate(2025, 8, 31), d("10000"),
                          d("10375"), lateRows, 1)
                  .last()
                  .date,
              QDate(2025, 9, 30));
    EXPECT_TRUE(payoffTable(InterestMode::ActualDays, false, QDate(2025, 8, 12), d("10000"),
                            d("10375"), lateRows, 0)
                    .isEmpty());
}

namespace {

// A contract of 10 000 baht for 30 days from 14 May 2025 (due 13 June),
// stored through the form, then shown again as from the list.
class ClosingFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::rateRows(t.db, "fee_table1", {{7, "3"}, {15, "5"}, {30, "3"}});
        admin::Settings s = admin::loadSettings(t.db);
        s.chumnumRun = 1;
        s.dedugFee = false;
        s.minInteres = Decimal();
        s.dInteresRate = QStringLiteral("ช่วง");
        s.relaxDay = 3;
        s.preRecv = QStringLiteral("R");
        s.runRecv = 10;
        s.sanyaCfg = QStringLiteral("1");
        s.recvtorCfg = QStringLiteral("3");
        s.recvtaiCfg = QStringLiteral("2");
        s.torCfg = QStringLiteral("2");
        admin::saveSettings(t.db, s);
        session.employeeName = QStringLiteral("สมศรี");

        auto f = form();
        EXPECT_TRUE(f->newContract(QDate(2025, 5, 14)));
        f->contract.kuName = QStringLiteral("นายสมชาย O'Neil");
        f->contract.kuAddress = QStringLiteral("9 หมู่ 2");
        f->contract.object = QStringLiteral("ทองคำ");
        f->contract.model = QStringLiteral("สร้อยคอ 1 บาท");
        f->amountTyped(QStringLiteral("10000"));
        f->save(QDateTime(QDate(2025, 5, 14), QTime(9, 0)));
        EXPECT_TRUE(f->saved());
        number = f->contract.policyNo;
        orders.clear();
        prompt.clear();
    }

    std::unique_ptr<ContractForm> form()
    {
        auto f = std::make_unique<ContractForm>(t.db, session, prompt,
                                                [this](const PrintOrder& o) { orders << o; });
        EXPECT_TRUE(f->open());
        return f;
    }

    // The contract shown from the list.
    std::unique_ptr<ContractForm> shown()
    {
        auto f = form();
        f->show(*ContractStore(t.db).find(number));
        return f;
    }

    void addLines(int n)
    {
        for (int i = 1; i <= n; ++i) {
            const QDate start = QDate(2025, 6, 13).addDays(30 * (i - 1));
            t.db->exec(
                QStringLiteral("INSERT INTO chumnum_tor (policy_no, line_no, Amount, fee, "
                               "plub, discount, total, fak_date, return_date) VALUES (?, "
                               "?, 0, 3000000, 0, 0, 3000000, ?, ?)"),
                {number, i, start.toString(Qt::ISODate), start.addDays(30).toString(Qt::ISODate)});
        }
    }

    qint64 count(const QString& sql) { return t.db->scalar(sql).toLongLong(); }
    QVariant value(const QString& sql) { return t.db->scalar(sql); }

    test::TempDatabase t;
    admin::Session session;
    platform::ScriptedPrompt prompt;
    QList<PrintOrder> orders;
    QString number;
};

} // namespace

TEST_F(ClosingFormTest, RenewalPanelTakesTheContractTermAndWarnsWhenOverdue)
{
    auto f = shown();
    ASSERT_EQ(f->contract.dueDate, QDate(2025, 6, 13));
    // Due date + 3 grace days: no question.
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 16)));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(f->renewals().panel.dayCaption, QStringLiteral("จำนวนวันฝากนับถึงปัจจุบัน = 33"));
    EXPECT_EQ(f->renewals().panel.currentDue, QDate(2025, 6, 13));
    EXPECT_EQ(f->renewals().panel.newDue, QDate(2025, 7, 13));
    EXPECT_EQ(f->renewals().panel.renewalNo, QStringLiteral("1"));
    EXPECT_EQ(f->renewals().panel.fee, QStringLiteral("300"));
    EXPECT_EQ(f->renewals().panel.total, QStringLiteral("300"));
    EXPECT_EQ(f->operation, OperationMode::Renewal);
    f->renewals().cancel();

    // One day later the question comes; No leaves the contract as it was.
    auto later = shown();
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(later->renewals().open(QDate(2025, 6, 17)));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญาเกินกำหนด ต้องการต่อดอกหรือไม่ ?"));
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("เตือน..."));
    EXPECT_FALSE(later->renewals().panel.visible);
    EXPECT_EQ(later->operation, OperationMode::None);
    EXPECT_TRUE(later->lines.isEmpty());
}

TEST_F(ClosingFormTest, TwoRenewalsThenOneSaveThenAnother)
{
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13)));
    f->renewals().panel.penalty = QStringLiteral("50");
    f->renewals().figuresChanged();
    EXPECT_EQ(f->renewals().panel.total, QStringLiteral("350"));
    ASSERT_TRUE(f->renewals().confirm());
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13)));
    EXPECT_EQ(f->renewals().panel.renewalNo, QStringLiteral("2"));
    EXPECT_EQ(f->renewals().panel.currentDue, QDate(2025, 7, 13)); // from the first row
    // Each renewal adds the agreed term of 30 days and charges its fee.
    EXPECT_EQ(f->renewals().panel.newDue, QDate(2025, 8, 12));
    EXPECT_EQ(f->renewals().panel.fee, QStringLiteral("300"));
    ASSERT_TRUE(f->renewals().confirm());
    EXPECT_EQ(f->contract.dueDate, QDate(2025, 8, 12));
    EXPECT_EQ(f->contract.days, 30);
    EXPECT_EQ(f->contract.interest, d("300"));
    EXPECT_EQ(f->contract.redemption, d("10300"));
    EXPECT_EQ(f->pendingTotal, d("700")); // the second kept the penalty of the first

    f->save(QDateTime(QDate(2025, 6, 13), QTime(10, 0)));
    ASSERT_TRUE(f->saved()) << prompt.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT recv_no FROM service")).toString(),
              QStringLiteral("R10"));
    EXPECT_EQ(value(QStringLiteral("SELECT tt_price FROM service")).toLongLong(), 7000000);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT L_N FROM chumnum")).toInt(), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT L_tor FROM chumnum")).toInt(), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT End_date FROM chumnum")).toString(),
              QStringLiteral("2025-08-12"));
    EXPECT_EQ(value(QStringLiteral("SELECT total_day FROM chumnum")).toInt(), 30);
    ASSERT_EQ(orders.size(), 2);
    EXPECT_EQ(orders[0].jobs[0].kind, QStringLiteral("ใบเสร็จรับเงิน"));
    EXPECT_EQ(orders[0].jobs[0].name, QStringLiteral("ใบเสร็จรับเงิน R10"));
    // Each document goes to its own kind's printer: the renewal document is no receipt.
    EXPECT_EQ(orders[1].jobs[0].kind, QStringLiteral("ใบต่อดอกใหญ่"));
    EXPECT_EQ(orders[0].jobs[0].file, QStringLiteral("recv_short58mm.rpt"));
    EXPECT_EQ(orders[0].jobs[0].selection, QStringLiteral("{service.recv_no} = 'R10'"));
    EXPECT_EQ(orders[1].jobs[0].file, QStringLiteral("TOR_A4.rpt"));

    // A second renewal saved without showing the contract again: its own total only.
    ASSERT_TRUE(f->renewals().open(QDate(2025, 8, 12)));
    EXPECT_EQ(f->renewals().panel.penalty, QStringLiteral("50")); // kept from the last time
    EXPECT_EQ(f->renewals().panel.total, QStringLiteral("350"));
    f->renewals().panel.penalty = QStringLiteral("0");
    f->renewals().figuresChanged();
    ASSERT_TRUE(f->renewals().confirm());
    f->save(QDateTime(QDate(2025, 9, 11), QTime(10, 0)));
    EXPECT_EQ(
        value(QStringLiteral("SELECT tt_price FROM service WHERE recv_no = 'R11'")).toLongLong(),
        f->lines.last().total.units());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 3);
}

TEST_F(ClosingFormTest, MarkedRowsAndEditsOfTheHistory)
{
    addLines(3);
    auto f = shown();
    ASSERT_EQ(f->lines.size(), 3);
    f->renewals().toggleMark(2);
    f->renewals().toggleMark(1);
    f->renewals().toggleMark(1); // marked and unmarked again
    EXPECT_TRUE(f->lines[2].markedDeleted);
    EXPECT_FALSE(f->lines[1].markedDeleted);

    // Editing takes the row's total out of the pending total; cancelling puts it back.
    f->renewals().editRow(0);
    EXPECT_EQ(f->pendingTotal, d("-300"));
    f->renewals().cancelEdit();
    EXPECT_EQ(f->pendingTotal, Decimal());
    f->renewals().editRow(1);
    f->renewals().editing.fee = QStringLiteral("250");
    f->renewals().editing.discount = QStringLiteral("20abc");
    f->renewals().editFiguresChanged();
    EXPECT_EQ(f->renewals().editing.total, QStringLiteral("230"));
    f->renewals().applyEdit();
    EXPECT_EQ(f->pendingTotal, d("-70"));
    EXPECT_EQ(f->lines[1].total, d("230"));

    f->save();
    ASSERT_TRUE(f->saved());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 2);
    // The last movement comes from the last row kept, the second.
    EXPECT_EQ(value(QStringLiteral("SELECT L_N FROM chumnum")).toInt(), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT L_total FROM chumnum")).toLongLong(), 2300000);
    EXPECT_EQ(value(QStringLiteral("SELECT L_returndate FROM chumnum")).toString(),
              QStringLiteral("2025-08-12"));
    EXPECT_EQ(value(QStringLiteral("SELECT L_tor FROM chumnum")).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 0);
}

TEST_F(ClosingFormTest, TheFiftyFirstRenewalIsRefused)
{
    addLines(ContractForm::MaxRenewals);
    auto f = shown();
    EXPECT_FALSE(f->renewals().open(QDate(2029, 1, 1)));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("50 ครั้ง")));
    EXPECT_EQ(f->operation, OperationMode::None);
    EXPECT_EQ(f->lines.size(), 50);
}

TEST_F(ClosingFormTest, RedemptionLateClosesWithItsReceipt)
{
    auto f = shown();
    // Ten days late, past the grace days: asked, and Yes.
    prompt.queueAnswer(PromptAnswer::Yes);
    ASSERT_TRUE(f->closings().openRedemption(QDate(2025, 6, 23)));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญาเกินกำหนด ต้องการไถ่ถอนหรือไม่ ?"));
    EXPECT_EQ(f->closings().panel.title, QStringLiteral("ไถ่ถอน"));
    EXPECT_EQ(f->closings().panel.days, QStringLiteral("10"));
    EXPECT_EQ(f->closings().panel.amount, QStringLiteral("10300"));
    EXPECT_EQ(f->closings().panel.surcharge, QStringLiteral("250"));
    EXPECT_EQ(f->closings().panel.caption, QStringLiteral("ส่วนเพิ่ม 5%ของ10000 @ 15วัน"));
    EXPECT_EQ(f->closings().panel.total, QStringLiteral("10550"));
    EXPECT_EQ(f->operation, OperationMode::Redemption);
    f->closings().panel.discount = QStringLiteral("150");
    f->closings().figuresChanged();
    EXPECT_EQ(f->closings().panel.total, QStringLiteral("10400"));

    ASSERT_TRUE(f->closings().confirm(QDateTime(QDate(2025, 6, 23), QTime(11, 30))));
    EXPECT_EQ(value(QStringLiteral("SELECT P_status FROM chumnum")).toInt(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT over_due FROM chumnum")).toInt(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT Close_date FROM chumnum")).toString(),
              QStringLiteral("2025-06-23"));
    EXPECT_EQ(value(QStringLiteral("SELECT L_total FROM chumnum")).toLongLong(), 104000000);
    EXPECT_EQ(value(QStringLiteral("SELECT L_fee FROM chumnum")).toLongLong(), 2500000);
    EXPECT_EQ(value(QStringLiteral("SELECT total_day FROM chumnum")).toInt(), 10);
    EXPECT_EQ(value(QStringLiteral("SELECT description FROM service")).toString(),
              QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + number + QStringLiteral("  สร้อยคอ 1 บาท"));
    EXPECT_EQ(value(QStringLiteral("SELECT s_group2 FROM service")).toString(),
              QStringLiteral("ไถ่ถอน"));
    EXPECT_EQ(value(QStringLiteral("SELECT price FROM service")).toLongLong(), 100000000);
    EXPECT_EQ(value(QStringLiteral("SELECT prod_code FROM service")).toString(), QString());
    EXPECT_EQ(value(QStringLiteral("SELECT wordsay FROM service")).toString(),
              QStringLiteral("หนึ่งหมื่นสี่ร้อยบาทถ้วน"));
    EXPECT_EQ(admin::loadSettings(t.db).runRecv, 11);
    ASSERT_EQ(orders.size(), 1);
    EXPECT_EQ(orders[0].jobs[0].file, QStringLiteral("recv_1.rpt"));
    EXPECT_EQ(orders[0].jobs[0].values[0], QStringLiteral("c_name ='นายสมชาย O''Neil'"));
    EXPECT_TRUE(f->closedPanel());
    EXPECT_FALSE(f->forfeitedPanel());
    EXPECT_FALSE(f->commands().save || f->commands().renew || f->commands().redeem ||
                 f->commands().forfeit);
    EXPECT_EQ(f->operation, OperationMode::None);

    // Shown again: the closing figures, read-only.
    auto again = shown();
    EXPECT_TRUE(again->closings().panel.readOnly);
    EXPECT_EQ(again->closings().panel.total, QStringLiteral("10400"));
    EXPECT_EQ(again->closings().panel.discount, QStringLiteral("150"));
    // Its days now hold the closing days; the stored figures are shown as stored.
    EXPECT_EQ(again->contract.days, 10);
    EXPECT_EQ(again->contract.redemption, d("10300"));
    EXPECT_EQ(again->contract.dueDate, QDate(2025, 6, 13));
}

TEST_F(ClosingFormTest, ARedemptionWhoseReceiptFailsLeavesTheContractOpen)
{
    test::failEvery(*t.db, "INSERT", "service", "disk full");
    auto f = shown();
    ASSERT_TRUE(f->closings().openRedemption(QDate(2025, 6, 13)));
    EXPECT_FALSE(f->closings().confirm(QDateTime(QDate(2025, 6, 13), QTime(9, 0))));
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("พบข้อผิดพลาด"));
    EXPECT_EQ(value(QStringLiteral("SELECT P_status FROM chumnum")).toInt(), 1);
    EXPECT_EQ(admin::loadSettings(t.db).runRecv, 10);
    EXPECT_TRUE(f->closings().panel.visible); // the person can try again
    EXPECT_TRUE(f->commands().redeem);
    EXPECT_TRUE(orders.isEmpty());
}

TEST_F(ClosingFormTest, RedemptionOnTheDueDayAndEarly)
{
    auto f = shown();
    ASSERT_TRUE(f->closings().openRedemption(QDate(2025, 6, 13)));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(f->closings().panel.surcharge, QStringLiteral("0"));
    EXPECT_EQ(f->closings().panel.caption, QStringLiteral("ส่วนเพิ่ม(ลด)"));
    EXPECT_EQ(f->closings().panel.total, QStringLiteral("10300"));
    // A date earlier than the due date: no discount without clear_employee.
    test::rateRows(t.db, "deduct_table1", {{10, "2"}});
    f->closings().panel.date = QDate(2025, 5, 24);
    f->closings().datesChanged();
    EXPECT_EQ(f->closings().panel.days, QStringLiteral("-20"));
    EXPECT_EQ(f->closings().panel.surcharge, QStringLiteral("0"));
    // Cancelled: no trace. A later save writes no receipt and uses no number.
    f->closings().cancel();
    EXPECT_FALSE(f->closings().panel.visible);
    EXPECT_EQ(f->operation, OperationMode::None);
    f->save();
    ASSERT_TRUE(f->saved());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT run_recv FROM config_setting")).toInt(), 10);
    EXPECT_EQ(value(QStringLiteral("SELECT P_status FROM chumnum")).toInt(), 1);
    EXPECT_TRUE(orders.isEmpty());
}

TEST_F(ClosingFormTest, NoClosingWhileARenewalWaitsToBeStored)
{
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13)));
    ASSERT_TRUE(f->renewals().confirm());
    EXPECT_FALSE(f->closings().openRedemption(QDate(2025, 6, 13)));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ยังไม่ได้จัดเก็บ")));
    EXPECT_FALSE(f->closings().openForfeiture(QDate(2025, 6, 13)));
    EXPECT_EQ(f->operation, OperationMode::Renewal);
    f->save(QDateTime(QDate(2025, 6, 13), QTime(9, 0)));
    ASSERT_TRUE(f->saved());
    EXPECT_TRUE(f->closings().openRedemption(QDate(2025, 6, 13)));
}

TEST_F(ClosingFormTest, ForfeitureAsksBeforeTheDueDateAndWritesNoReceipt)
{
    addLines(2); // terms 13 Jun – 13 Jul, 13 Jul – 12 Aug
    {
        auto f = shown();
        prompt.queueAnswer(PromptAnswer::No);
        EXPECT_FALSE(f->closings().openForfeiture(QDate(2025, 8, 1)));
        EXPECT_EQ(prompt.lastText(),
                  QStringLiteral("สัญญายังไม่เกินกำหนด ต้องการปิดสัญญาและทำสินค้าหลุดจำนำ ?"));
        EXPECT_FALSE(f->closings().panel.visible);
    }
    auto f = shown();
    prompt.queueAnswer(PromptAnswer::Yes);
    ASSERT_TRUE(f->closings().openForfeiture(QDate(2025, 8, 1)));
    EXPECT_EQ(f->closings().panel.title, QStringLiteral("หลุดจำนำ"));
    EXPECT_EQ(f->closings().panel.question, QStringLiteral("สัญญานี้ หลุดจำนำ ใช่หรือไม่"));
    EXPECT_EQ(f->closings().panel.days,
              QStringLiteral("19")); // from the start of the second renewal
    EXPECT_EQ(f->closings().panel.amount, QStringLiteral("10000"));
    EXPECT_EQ(f->closings().panel.surcharge, QStringLiteral("0")); // no withholding
    EXPECT_EQ(f->closings().panel.total, QStringLiteral("0"));
    EXPECT_EQ(f->operation, OperationMode::None);
    f->closings().panel.penalty = QStringLiteral("100");
    f->closings().figuresChanged();
    ASSERT_TRUE(f->closings().confirm(QDateTime(QDate(2025, 8, 2), QTime(9, 0))));
    EXPECT_EQ(value(QStringLiteral("SELECT over_due FROM chumnum")).toInt(), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT P_status FROM chumnum")).toInt(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT L_total FROM chumnum")).toLongLong(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT L_plub FROM chumnum")).toLongLong(), 1000000);
    EXPECT_EQ(value(QStringLiteral("SELECT Close_date FROM chumnum")).toString(),
              QStringLiteral("2025-08-01"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 0);
    EXPECT_TRUE(orders.isEmpty());
    EXPECT_TRUE(f->closedPanel() && f->forfeitedPanel());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 2);
}

TEST_F(ClosingFormTest, DeletionRemovesTheContractWithItsLinesOrNothing)
{
    addLines(3);
    t.db->exec(QStringLiteral("INSERT INTO service (recv_no, prod_code) VALUES ('R1', ?)"),
               {number});

    // A failure removes nothing and says so.
    test::failEvery(*t.db, "DELETE", "chumnum_tor", "locked");
    auto f = shown();
    f->deletion().ask(false);
    EXPECT_FALSE(f->deletion().confirm());
    EXPECT_TRUE(f->deletion().panel.visible);
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("พบข้อผิดพลาด"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 3);
    test::stopFailing(*t.db, "chumnum_tor");

    prompt.clear();
    EXPECT_TRUE(f->deletion().confirm());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญานี้ถูกลบแล้ว"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 1); // receipts stay

    // Gone already: nothing happens, nothing is said.
    prompt.clear();
    f->deletion().ask(true);
    EXPECT_FALSE(f->commands().save);
    EXPECT_FALSE(f->deletion().confirm());
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(f->deletion().panel.visible);
}

TEST_F(ClosingFormTest, CancellingADeletionLeavesAClosedContractClosed)
{
    t.db->exec(QStringLiteral("UPDATE chumnum SET P_status = 0"));
    auto f = shown();
    f->deletion().ask(true);
    EXPECT_FALSE(f->commands().documents);
    f->deletion().cancel();
    EXPECT_TRUE(f->commands().documents);
    EXPECT_FALSE(f->commands().renew);
    EXPECT_FALSE(f->commands().save);
}

TEST_F(ClosingFormTest, ReprintPreparesTheChoicesPrinterWithTheShopMargin)
{
    admin::Settings s = admin::loadSettings(t.db);
    s.offsetPrint = 7;
    admin::saveSettings(t.db, s);
    auto f = shown();
    f->reprints().print(Reprint::RenewalCard);
    ASSERT_EQ(orders.size(), 1);
    EXPECT_EQ(orders[0].jobs[0].file, QStringLiteral("CARD.rpt"));
    EXPECT_EQ(orders[0].jobs[0].kind, QStringLiteral("การ์ดต่อดอก"));
    EXPECT_EQ(orders[0].marginWhenEmpty, 7);
    EXPECT_EQ(orders[0].jobs[0].selection,
              QStringLiteral("{chumnum.Policy_no} = '") + number + QStringLiteral("'"));

    // A new contract not stored yet: said, nothing printed.
    ASSERT_TRUE(f->newContract(QDate(2025, 7, 1)));
    f->reprints().print(Reprint::LargeTicket);
    EXPECT_EQ(orders.size(), 1);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ยังไม่ได้จัดเก็บ")));
}

TEST_F(ClosingFormTest, ARenewalNeverMakesAReceiptForLessThanNothing)
{
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13))); // fee 300
    const struct {
        const char *penalty, *discount, *said;
        RenewalFigure field;
    } refused[] = {
        {"0", "5000", "ส่วนลดได้ไม่เกิน 300.00 บาท", RenewalFigure::Discount},
        {"50", "350.01", "ส่วนลดได้ไม่เกิน 350.00 บาท", RenewalFigure::Discount},
        {"-1", "0", "ค่าปรับต้องไม่ติดลบ", RenewalFigure::Penalty},
        {"0", "-20", "ส่วนลดต้องไม่ติดลบ", RenewalFigure::Discount},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.discount);
        f->renewals().panel.penalty = QString::fromUtf8(r.penalty);
        f->renewals().panel.discount = QString::fromUtf8(r.discount);
        f->renewals().figuresChanged();
        EXPECT_FALSE(f->renewals().confirm());
        EXPECT_TRUE(prompt.lastText().contains(QString::fromUtf8(r.said)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(f->refusedFigure, r.field);
        EXPECT_TRUE(f->renewals().panel.visible);
        EXPECT_TRUE(f->lines.isEmpty());
        EXPECT_TRUE(f->pendingTotal.isZero());
    }
    // A discount of the whole fee and penalty: the renewal is kept, and
    // nothing collected writes no receipt and takes no number.
    f->renewals().panel.penalty = QStringLiteral("50");
    f->renewals().panel.discount = QStringLiteral("350");
    f->renewals().figuresChanged();
    ASSERT_TRUE(f->renewals().confirm()) << prompt.lastText().toStdString();
    f->save(QDateTime(QDate(2025, 6, 13), QTime(10, 0)));
    ASSERT_TRUE(f->saved()) << prompt.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT run_recv FROM config_setting")).toInt(), 10);

    // The history's correction panel refuses the same.
    f->renewals().editRow(0);
    f->renewals().editing.discount = QStringLiteral("400");
    f->renewals().editFiguresChanged();
    EXPECT_FALSE(f->renewals().applyEdit());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ส่วนลดได้ไม่เกิน 350.00 บาท")));
    EXPECT_EQ(f->lines.first().discount, d("350"));
}

TEST_F(ClosingFormTest, AStoredRenewalBelowZeroFromAnOlderFileIsRefusedByItsRow)
{
    t.db->exec(QStringLiteral("INSERT INTO chumnum_tor (policy_no, line_no, Amount, fee, plub, "
                              "discount, total, fak_date, return_date) VALUES (?, 1, 0, 3000000, "
                              "0, 50000000, -47000000, '2025-06-13', '2025-07-13')"),
               {number});
    const auto version = [&] {
        return value(QStringLiteral("SELECT row_version FROM chumnum")).toLongLong();
    };
    const qint64 before = version();
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 7, 13)));
    ASSERT_TRUE(f->renewals().confirm());
    f->save(QDateTime(QDate(2025, 7, 13), QTime(10, 0)));
    EXPECT_FALSE(f->saved());
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("รายการต่อดอกครั้งที่ 1 มียอดรวมติดลบ")))
        << prompt.lastText().toStdString();
    EXPECT_EQ(f->refusedRow, 0);
    EXPECT_EQ(version(), before);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM service")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum_tor")), 1);
    // Marked for deletion, the row no longer stands in the way.
    f->renewals().toggleMark(0);
    f->save(QDateTime(QDate(2025, 7, 13), QTime(10, 0)));
    EXPECT_TRUE(f->saved()) << prompt.lastText().toStdString();
}

TEST_F(ClosingFormTest, TheLawsLimitsAreSaidAtSaveRenewalAndRedemptionAndThePersonDecides)
{
    admin::Settings s = admin::loadSettings(t.db);
    s.legalCheck = true;
    admin::saveSettings(t.db, s);
    const QString rateSaid =
        QStringLiteral("อัตรานี้เท่ากับ 36.50 % ต่อปี เกินอัตราที่กฎหมายกำหนด (15 % ต่อปี)");

    // A new contract of 3 % for 30 days: No stores nothing and points at the fee.
    auto fresh = form();
    ASSERT_TRUE(fresh->newContract(QDate(2025, 5, 20)));
    fresh->contract.kuAddress = QStringLiteral("9 หมู่ 2");
    fresh->contract.object = QStringLiteral("ทองคำ");
    fresh->amountTyped(QStringLiteral("10000"));
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(fresh->save(QDateTime(QDate(2025, 5, 20), QTime(9, 0))),
              ContractForm::Field::Interest);
    EXPECT_TRUE(prompt.lastText().startsWith(rateSaid)) << prompt.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum")), 1);
    prompt.queueAnswer(PromptAnswer::Yes);
    fresh->save(QDateTime(QDate(2025, 5, 20), QTime(9, 0)));
    EXPECT_TRUE(fresh->saved());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM chumnum")), 2);

    // A renewal at the same fee: No adds no row; past three years it is said
    // with the last lawful day.
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13)));
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(f->renewals().confirm());
    EXPECT_EQ(f->refusedFigure, RenewalFigure::Fee);
    EXPECT_TRUE(prompt.lastText().startsWith(rateSaid));
    EXPECT_TRUE(f->lines.isEmpty());
    f->renewals().panel.newDue = QDate(2028, 5, 15);
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(f->renewals().confirm());
    EXPECT_EQ(f->refusedFigure, RenewalFigure::DueDate);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("วันสุดท้ายที่ไถ่ถอนได้คือ 14/05/2571")))
        << prompt.lastText().toStdString();
    f->renewals().cancel();

    // The redemption on the due day asks 10,300; the law allows
    // 10,000 + 10,000 × 15 % × 30 ÷ 365 = 10,123.29. The button takes the
    // total there through the discount, and the receipt says so.
    ASSERT_TRUE(f->closings().openRedemption(QDate(2025, 6, 13)));
    std::optional<LawfulRedemption> lawful = f->closings().lawful();
    ASSERT_TRUE(lawful);
    EXPECT_EQ(lawful->maximum, d("10123.29"));
    EXPECT_EQ(lawful->excess, d("176.71"));
    f->closings().useLawfulMaximum();
    EXPECT_EQ(f->closings().panel.discount, QStringLiteral("176.71"));
    EXPECT_EQ(f->closings().panel.total, QStringLiteral("10123.29"));
    EXPECT_EQ(f->closings().lawful()->excess, Decimal());
    ASSERT_TRUE(f->closings().confirm(QDateTime(QDate(2025, 6, 13), QTime(11, 30))));
    EXPECT_EQ(value(QStringLiteral("SELECT tt_price FROM service")).toLongLong(), 101232900);
    EXPECT_TRUE(value(QStringLiteral("SELECT description FROM service"))
                    .toString()
                    .endsWith(QStringLiteral("  (ยอดไถ่ถอนตามกฎหมาย)")));
}

TEST_F(ClosingFormTest, AScannedNumberFindsItsContractItsReceiptsOrSaysWhyNot)
{
    auto f = shown();
    ASSERT_TRUE(f->renewals().open(QDate(2025, 6, 13)));
    ASSERT_TRUE(f->renewals().confirm());
    f->save(QDateTime(QDate(2025, 6, 13), QTime(10, 0)));
    ASSERT_TRUE(f->saved());
    ContractStore store(t.db);
    using K = ScannedNumber::Kind;

    ScannedNumber s = lookUpScanned(store, number);
    EXPECT_EQ(s.kind, K::Contract);
    EXPECT_EQ(s.policyNo, number);
    // The renewal's receipt names its contract.
    s = lookUpScanned(store, QStringLiteral(" R10 "));
    EXPECT_EQ(s.kind, K::Receipt);
    EXPECT_EQ(s.policyNo, number);
    EXPECT_EQ(s.receiptNo, QStringLiteral("R10"));
    // A number the shop does not hold, or one with an apostrophe.
    for (const QString& unknown : {QStringLiteral("69-12-4-9999"), QStringLiteral("R1'0")}) {
        s = lookUpScanned(store, unknown);
        EXPECT_EQ(s.kind, K::Unknown);
        EXPECT_EQ(s.message, QStringLiteral("ไม่พบสัญญาเลขที่ ") + unknown);
    }
    // A contract moved to the archive is said to be there.
    test::TempDatabase archive(app::DatabaseRole::Archive);
    archive.db->exec(QStringLiteral("INSERT INTO chumnum (Policy_no) VALUES ('67-01-4-0001')"));
    store.useArchive(archive.db);
    s = lookUpScanned(store, QStringLiteral("67-01-4-0001"));
    EXPECT_EQ(s.kind, K::Archived);
    EXPECT_TRUE(s.message.contains(QStringLiteral("แฟ้มเก็บสัญญาที่ปิดแล้ว")));
}
