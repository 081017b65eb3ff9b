#include "platform/spreadsheet_reader.h"
#include "platform/spreadsheet_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tawela::platform;

namespace {

// A row-by-row sheet of `rows` rows (several of the writer's batches): a
// text, a number and a date each, one text `longText` characters long.
void writeRows(const QString& file, int rows, int longRow, int longText)
{
    SpreadsheetWriter w(file, {QStringLiteral("Sheet1"), QString(), 12, true});
    w.columnWidth(0, 0, 20);
    for (int r = 0; r < rows; ++r) {
        w.text(r, 0, r == longRow ? QString(longText, u'ก') : QStringLiteral("แถว %1").arg(r));
        w.number(r, 1, r * 0.5);
        w.date(r, 2, QDate(2026, 1, 1).addDays(r % 365), {0, QStringLiteral("yyyy-mm-dd")});
    }
    w.finish();
}

} // namespace

TEST(SpreadsheetWriter, RowsWrittenOnTheirOwnThreadArriveWholeAndInOrder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.xlsx"));
    writeRows(file, 20000, 19999, 100);
    const SheetData sheet = readSheet(file, 3);
    ASSERT_EQ(sheet.rows.size(), 20000u);
    EXPECT_EQ(sheet.at(0, 0).text, QStringLiteral("แถว 0"));
    EXPECT_EQ(sheet.at(12345, 0).text, QStringLiteral("แถว 12345"));
    EXPECT_DOUBLE_EQ(sheet.at(12345, 1).number, 6172.5);
    EXPECT_EQ(sheet.at(19999, 0).text, QString(100, u'ก'));
    EXPECT_EQ(dateOfSerial(sheet.at(19999, 2).number), QDate(2026, 1, 1).addDays(19999 % 365));
}

TEST(SpreadsheetWriter, ACellRefusedOnTheWritingThreadFailsTheWholeFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.xlsx"));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the earlier export");
    old.close();
    // A text longer than a cell may hold, far into the sheet.
    try {
        writeRows(file, 20000, 15000, 40000);
        FAIL() << "written";
    } catch (const SpreadsheetError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("text")))
            << e.description().toStdString();
    }
    // The earlier file stays as it was and no part is left beside it.
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the earlier export"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.xlsx"});
}

TEST(SpreadsheetWriter, AWriterLeftUnfinishedLeavesNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.xlsx"));
    {
        SpreadsheetWriter w(file, {QStringLiteral("Sheet1"), QString(), 12, true});
        for (int r = 0; r < 30000; ++r)
            w.number(r, 0, r);
    } // the caller failed half-way: the thread ends, nothing is kept
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
