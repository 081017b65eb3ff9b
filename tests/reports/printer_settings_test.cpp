#include "platform/db/db_error.h"
#include "reports/printer_settings.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

namespace {

const QString Receipt = QStringLiteral("ใบเสร็จรับเงิน");
const QStringList Printers = {QStringLiteral("Office_Laser"), QStringLiteral("Receipt58")};

void setReceiptRow(test::TempDatabase& t, const QVariant& index, bool preview)
{
    t.db->exec(QStringLiteral("UPDATE Printer_tb SET Printer_index = ?, Preview = ?, "
                              "OffsetLeft = 3, Printer_name = 'Receipt58' WHERE Report_name = ?"),
               {index, preview ? 1 : 0, Receipt});
}

} // namespace

TEST(PrinterPreparation, ByPositionWithFallbacks)
{
    test::TempDatabase t(app::DatabaseRole::Personal);
    PrinterSettings settings(t.db);
    PrinterChoice choice;
    platform::ScriptedPrompt prompt;

    setReceiptRow(t, 1, false);
    PrintTarget target = choice.prepare(settings, Receipt, Printers, prompt);
    EXPECT_EQ(target.printerIndex, 1);
    EXPECT_EQ(target.printerName, QStringLiteral("Receipt58"));
    EXPECT_EQ(target.leftMargin, 3);
    EXPECT_FALSE(target.preview);
    // The shop's margin stands in only for a row that has none.
    EXPECT_EQ(choice.prepare(settings, Receipt, Printers, prompt, 7).leftMargin, 3);
    t.db->exec(QStringLiteral("UPDATE Printer_tb SET OffsetLeft = NULL"));
    EXPECT_EQ(choice.prepare(settings, Receipt, Printers, prompt, 7).leftMargin, 7);
    EXPECT_EQ(choice.prepare(settings, Receipt, Printers, prompt).leftMargin, std::nullopt);
    setReceiptRow(t, 1, false);
    // The choice stays current for prints that do not prepare their own.
    EXPECT_EQ(choice.current(Printers).printerName, QStringLiteral("Receipt58"));

    for (const QVariant& index : {QVariant(-1), QVariant()}) {
        setReceiptRow(t, index, true);
        target = choice.prepare(settings, Receipt, Printers, prompt);
        EXPECT_EQ(target.printerIndex, 0);
        EXPECT_TRUE(target.preview);
    }
    EXPECT_TRUE(prompt.messages().isEmpty());

    // A printer removed since the setting was saved: said, then the preview.
    setReceiptRow(t, 5, false);
    target = choice.prepare(settings, Receipt, Printers, prompt);
    EXPECT_TRUE(target.preview);
    EXPECT_EQ(target.printerIndex, 0);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("5")));

    // No printer on this computer at all.
    target = choice.prepare(settings, Receipt, {}, prompt);
    EXPECT_TRUE(target.preview);
    EXPECT_EQ(target.printerIndex, -1);
    EXPECT_EQ(prompt.messages().size(), 2);
}

TEST(PrinterSettingsScreen, SaveKeepsEmptiedFields)
{
    test::TempDatabase t(app::DatabaseRole::Personal);
    PrinterSettings settings(t.db);
    QList<PrinterLine> lines(9);
    lines[8] = {QStringLiteral("Receipt58"), QStringLiteral("1"), QStringLiteral("4"), true};
    settings.save(lines);
    auto row = settings.row(Receipt);
    EXPECT_EQ(row->printerName, QStringLiteral("Receipt58"));
    EXPECT_EQ(row->printerIndex, 1);
    EXPECT_EQ(row->offsetLeft, 4);
    EXPECT_TRUE(row->preview);
    EXPECT_FALSE(settings.rows()[0].preview);

    // An emptied margin keeps the stored one; the tick box is always written.
    lines[8] = {QString(), QString(), QString(), false};
    settings.save(lines);
    row = settings.row(Receipt);
    EXPECT_EQ(row->offsetLeft, 4);
    EXPECT_EQ(row->printerName, QStringLiteral("Receipt58"));
    EXPECT_FALSE(row->preview);

    // A margin that is not a number stores nothing at all.
    lines[0] = {QStringLiteral("X"), QString(), QString(), true};
    lines[8].offsetLeft = QStringLiteral("abc");
    EXPECT_THROW(settings.save(lines), platform::db::DbError);
    EXPECT_FALSE(settings.rows()[0].preview);
    EXPECT_EQ(settings.rows().size(), 9);
}
