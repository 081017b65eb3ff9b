#include "contracts/rate_table_editors.h"
#include "contracts/rate_tables.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using Kind = RateTableEditorForm::Kind;

namespace {

qint64 rows(const test::TempDatabase& t, const char* table)
{
    return t.db->scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
        .toLongLong();
}

} // namespace

TEST(RateTableEditors, FirstRowsAreCreatedOnce)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    for (int round = 0; round < 2; ++round) {
        RateTableEditorForm fee(t.db, Kind::Interest, QStringLiteral("2"), admin::Right::Allowed,
                                prompt);
        ASSERT_TRUE(fee.open());
        EXPECT_EQ(fee.title(), QStringLiteral("อัตราดอกเบี้ย(ร้อยละ/เดือน) ที่ 2"));
        EXPECT_EQ(fee.note(), QStringLiteral("ให้ใส่จำนวนวันจากน้อยไปหามาก"));
        EXPECT_EQ(fee.cycleText, QStringLiteral("30"));
        RateTableEditorForm discount(t.db, Kind::Discount, QStringLiteral("2"),
                                     admin::Right::Allowed, prompt);
        ASSERT_TRUE(discount.open());
        EXPECT_EQ(discount.title(), QStringLiteral("อัตราส่วนลด(ร้อยละ/เดือน) ที่ 2"));
        EXPECT_FALSE(discount.hasCycle());
    }
    EXPECT_EQ(rows(t, "fee_table2"), 1);
    EXPECT_EQ(rows(t, "deduct_table2"), 1);
    const RateTables tables(t.db);
    EXPECT_EQ(tables.feeRows(QStringLiteral("2")).first().duration, 30);
    EXPECT_EQ(tables.feeRows(QStringLiteral("2")).first().fee, platform::Decimal::fromInt(5));
    EXPECT_EQ(tables.deductRows(QStringLiteral("2")).first().duration, 10);
    EXPECT_EQ(tables.deductRows(QStringLiteral("2")).first().fee, platform::Decimal::fromInt(1));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(RateTableEditors, GridWritesAndKeepsStoredOrder)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    RateTableEditorForm form(t.db, Kind::Interest, QStringLiteral("1"), admin::Right::Allowed,
                             prompt);
    ASSERT_TRUE(form.open());
    auto* m = form.model();
    ASSERT_EQ(m->rowCount(), 2); // the first row and the empty new row
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("จำนวนวัน"));
    EXPECT_TRUE(m->setData(m->index(1, 1), QStringLiteral("60")));
    EXPECT_EQ(m->storedRows(), 2);
    EXPECT_TRUE(m->setData(m->index(1, 2), QStringLiteral("2.5")));
    EXPECT_FALSE(m->setData(m->index(1, 2), QStringLiteral("abc")));
    EXPECT_EQ(prompt.messages().size(), 1);                      // the refusal was said
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable); // ID
    const auto stored = RateTables(t.db).feeRows(QStringLiteral("1"));
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1].duration, 60);
    EXPECT_EQ(stored[1].fee.toString(), QStringLiteral("2.5"));
    EXPECT_TRUE(m->removeRows(0, 1));
    EXPECT_EQ(RateTables(t.db).feeRows(QStringLiteral("1")).first().duration, 60);
}

TEST(RateTableEditors, ReadOnlyGridStillStoresTheCycle)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    RateTableEditorForm form(t.db, Kind::Interest, QStringLiteral("3"), admin::Right::ReadOnly,
                             prompt);
    ASSERT_TRUE(form.open());
    auto* m = form.model();
    EXPECT_TRUE(m->isReadOnly());
    EXPECT_EQ(m->rowCount(), 1); // no new row to type in
    EXPECT_FALSE(m->setData(m->index(0, 1), QStringLiteral("99")));
    EXPECT_FALSE(m->removeRows(0, 1));
    EXPECT_EQ(RateTables(t.db).feeRows(QStringLiteral("3")).first().duration, 30);
    form.cycleText = QStringLiteral("45");
    EXPECT_TRUE(form.close());
    EXPECT_EQ(RateTables(t.db).period(QStringLiteral("3")), 45);
}

TEST(RateTableEditors, ClosingTheCycle)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    RateTableEditorForm form(t.db, Kind::Interest, QStringLiteral("4"), admin::Right::Allowed,
                             prompt);
    ASSERT_TRUE(form.open());
    form.cycleText.clear();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(RateTables(t.db).period(QStringLiteral("4")), 30); // unchanged
    form.cycleText = QStringLiteral("สามสิบ");
    EXPECT_FALSE(form.close());
    t.db->exec(QStringLiteral("DELETE FROM Period WHERE TableName = '4'"));
    form.cycleText = QStringLiteral("60");
    EXPECT_FALSE(form.close()); // a missing row is reported, not created
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(
        t.db->scalar(QStringLiteral("SELECT count(*) FROM Period WHERE TableName = '4'")).toInt(),
        0);

    RateTableEditorForm missing(t.db, Kind::Interest, QStringLiteral("8"), admin::Right::Allowed,
                                prompt);
    EXPECT_FALSE(missing.open());
    EXPECT_EQ(prompt.messages().size(), 3);
}

TEST(ProductGroupEditor, EditsTheGroups)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    ProductGroupEditorForm form(t.db, prompt);
    auto* m = form.model();
    const int before = m->storedRows();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("กลุ่มสินค้าขายฝาก"));
    EXPECT_TRUE(m->setData(m->index(before, 0), QStringLiteral("พระเครื่อง")));
    EXPECT_EQ(m->storedRows(), before + 1);
    EXPECT_EQ(RateTables(t.db).productGroups().last(), QStringLiteral("พระเครื่อง"));
}

TEST(RateTableEditors, ImpossibleRatesAndDaysAreRefusedByTheirCaptionAndNothingIsStored)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    RateTableEditorForm form(t.db, Kind::Interest, QStringLiteral("1"), admin::Right::Allowed,
                             prompt);
    ASSERT_TRUE(form.open()); // 30 days at 5 %
    auto* m = form.model();
    const auto stored = [&] {
        QStringList out;
        for (const RateRow& r : RateTables(t.db).feeRows(QStringLiteral("1")))
            out << QString::number(r.duration) + u'@' + r.fee.toString();
        return out;
    };
    const QStringList before = stored();
    const struct {
        int row, column;
        const char* typed;
        const char* said;
    } refused[] = {
        {0, 2, "-5", "ค่าธรรมเนียมต้องอยู่ระหว่าง 0 ถึง 100"},
        {0, 2, "100.01", "ค่าธรรมเนียมต้องอยู่ระหว่าง 0 ถึง 100"},
        {0, 2, "abc", "ช่อง ค่าธรรมเนียม ไม่ได้"},
        {0, 1, "0", "จำนวนวันต้องอยู่ระหว่าง 1 ถึง 9,999"},
        {0, 1, "-30", "จำนวนวันต้องอยู่ระหว่าง 1 ถึง 9,999"},
        {1, 1, "10000", "จำนวนวันต้องอยู่ระหว่าง 1 ถึง 9,999"},
        {1, 1, "30", "มีแถว 30 วันอยู่แล้ว"}, // the new row, a day count the table has
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        prompt.clear();
        EXPECT_FALSE(m->setData(m->index(r.row, r.column), QString::fromUtf8(r.typed)));
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_TRUE(prompt.lastText().contains(QString::fromUtf8(r.said)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(stored(), before);
    }
    // The limits themselves are kept, and a row keeps its own day count.
    EXPECT_TRUE(m->setData(m->index(0, 2), QStringLiteral("100")));
    EXPECT_TRUE(m->setData(m->index(0, 1), QStringLiteral("30")));
    EXPECT_TRUE(m->setData(m->index(1, 1), QStringLiteral("9999")));
    EXPECT_EQ(stored(), QStringList({QStringLiteral("30@100"), QStringLiteral("9999@0")}));
}
