#include "platform/db/db_error.h"
#include "reports/printer_settings.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;

namespace {

const QString Receipt = QStringLiteral("ใบเสร็จรับเงิน");
const InstalledPrinters Printers = {{QStringLiteral("Office_Laser"), QStringLiteral("Receipt58")},
                                    QStringLiteral("Office_Laser")};

void setReceiptRow(test::TempDatabase& t, const QVariant& name, const QVariant& index,
                   bool preview = false)
{
    t.db->exec(QStringLiteral("UPDATE Printer_tb SET Printer_index = ?, Preview = ?, "
                              "OffsetLeft = 3, Printer_name = ? WHERE Report_name = ?"),
               {index, preview ? 1 : 0, name, Receipt});
}

} // namespace

TEST(PrinterPreparation, ByNameThenPositionThenTheDefault)
{
    test::TempDatabase t(app::DatabaseRole::Personal);
    PrinterSettings settings(t.db);
    PrinterChoice choice;
    platform::ScriptedPrompt prompt;
    auto prepare = [&](const InstalledPrinters& installed, std::optional<qint64> margin = {}) {
        return choice.prepare(settings, Receipt, installed, prompt, margin);
    };

    setReceiptRow(t, QStringLiteral("Receipt58"), 1);
    PrintTarget target = prepare(Printers);
    EXPECT_EQ(target.printerName, QStringLiteral("Receipt58"));
    EXPECT_EQ(target.leftMargin, 3);
    EXPECT_FALSE(target.preview);
    // The shop's margin stands in only for a row that has none.
    EXPECT_EQ(prepare(Printers, 7).leftMargin, 3);
    t.db->exec(QStringLiteral("UPDATE Printer_tb SET OffsetLeft = NULL"));
    EXPECT_EQ(prepare(Printers, 7).leftMargin, 7);

    // A printer added that sorts first moves the positions: the name still finds it.
    const InstalledPrinters added = {
        {QStringLiteral("A_New"), QStringLiteral("Office_Laser"), QStringLiteral("Receipt58")},
        QStringLiteral("Office_Laser")};
    EXPECT_EQ(prepare(added).printerName, QStringLiteral("Receipt58"));
    // Another printer removed: the one named is still there, nothing to say.
    EXPECT_EQ(prepare({{QStringLiteral("Receipt58")}, {}}).printerName,
              QStringLiteral("Receipt58"));
    EXPECT_TRUE(prompt.messages().isEmpty());
    // A row naming no printer goes to the system's default.
    setReceiptRow(t, QString(), QVariant());
    EXPECT_EQ(prepare(added).printerName, QStringLiteral("Office_Laser"));
    setReceiptRow(t, QString(), -1);
    EXPECT_EQ(prepare(added).printerName, QStringLiteral("Office_Laser"));
    // A name that is gone: its position, when there is one.
    setReceiptRow(t, QStringLiteral("Old_Roll"), 1);
    EXPECT_EQ(prepare(Printers).printerName, QStringLiteral("Receipt58"));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Neither name nor position found: said, then the preview.
    setReceiptRow(t, QStringLiteral("Old_Roll"), 5);
    target = prepare(Printers);
    EXPECT_TRUE(target.preview);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("Old_Roll")));

    // No printer on this computer at all.
    target = prepare({});
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
    EXPECT_EQ(settings.rows().size(), 10);
}
