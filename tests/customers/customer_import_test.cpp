#include "customers/customer_export.h"
#include "customers/customer_form.h"
#include "sheet_tools.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

using namespace tawela;
using customers::CustomerForm;
using platform::PromptAnswer;

namespace {

class CustomerImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        customerDb.db->exec(QStringLiteral(
            "INSERT INTO customer (C_code, C_prename, C_name, C_MP, C_Province) VALUES "
            "('A1', 'นาย', 'สมชาย', '081', 'ชลบุรี')"));
    }
    // A sheet written by another program; cells as JSON.
    QString sheet(const char* name, const QByteArray& json)
    {
        const QString file = dir.filePath(QLatin1String(name));
        runSheetScript("make_sheet.py", {file}, json);
        return file;
    }
    std::unique_ptr<CustomerForm> form()
    {
        auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
        f->open({});
        f->spreadsheets().use(dir.path(), QString());
        return f;
    }
    QVariant stored(const char* code, const char* column)
    {
        return customerDb.db->scalar(QStringLiteral("SELECT ") + QLatin1String(column) +
                                         QStringLiteral(" FROM customer WHERE C_code = ?"),
                                     {QString::fromUtf8(code)});
    }
    // Every stored row, for comparing before and after.
    QStringList dump()
    {
        QStringList rows;
        for (QSqlQuery q =
                 customerDb.db->exec(QStringLiteral("SELECT * FROM customer ORDER BY ID"));
             q.next();) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
    qint64 customers()
    {
        return customerDb.db->scalar(QStringLiteral("SELECT count(*) FROM customer")).toLongLong();
    }

    QTemporaryDir dir;
    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb{app::DatabaseRole::Main};
    platform::ScriptedPrompt prompt;
};

// Headings, then: A1 with a new mobile only; N1 new with a birth date, an age
// that is no number and a Thai name; a row without a code; a row whose
// title (column B) is empty after the last title, which is not read.
const QByteArray Rows = R"([
  ["รหัสลูกค้า", "คำนำหน้าชื่อ", "ชื่อ สกุล", "ชื่อ เล่น", "วันเกิด", "อายุ"],
  ["A1", "นาย", null, null, null, null, null, null, null, null, null, null, null, null, "089"],
  ["N1", "นาง", "มาลี O'Neil", null, {"date": "1985-02-01"}, "สามสิบ", "1101700230705"],
  [null, "นาย", "ไม่มีรหัส"],
  ["Z9", null, "หลังแถวสุดท้าย"]
])";

} // namespace

TEST_F(CustomerImportTest, AddsUpdatesFilledCellsOnlyAndListsWhatItCouldNotStore)
{
    auto f = form();
    // And a name and a code longer than their columns.
    QByteArray rows = Rows;
    // And a name and a code longer than their columns, and a yes/no (AH,
    // headed "No use") that is neither.
    QByteArray nulls;
    for (int i = 0; i < 30; ++i)
        nulls += "null, ";
    const QByteArray more = QByteArray(R"([null, "นาย", "ไม่มีรหัส"], ["L1", "นาย", ")") +
                            QByteArray(101, 'x') + "\", " + nulls +
                            R"("maybe"], ["CODETOOLONG-CODETOOLONG", "นาย", "รหัสยาว"],)";
    rows.replace(R"([null, "นาย", "ไม่มีรหัส"],)", more);
    const auto result = f->spreadsheets().importFile(sheet("in.xlsx", rows));
    ASSERT_TRUE(result) << prompt.lastText().toStdString();
    // Z9, below the last title, is not read but counted.
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("Data saved \nไม่ได้นำเข้า 1 แถว")));
    EXPECT_EQ(result->afterLast, 1);
    EXPECT_EQ(result->updated, 1);
    EXPECT_EQ(result->added, 2);
    EXPECT_EQ(stored("A1", "C_MP").toString(), QStringLiteral("089"));
    EXPECT_EQ(stored("A1", "C_name").toString(), QStringLiteral("สมชาย")); // empty cell: kept
    EXPECT_EQ(stored("A1", "C_Province").toString(), QStringLiteral("ชลบุรี"));
    EXPECT_EQ(stored("N1", "C_name").toString(), QStringLiteral("มาลี O'Neil"));
    EXPECT_EQ(stored("N1", "birthday").toDate(), QDate(1985, 2, 1));
    EXPECT_EQ(stored("N1", "C_ID").toString(), QStringLiteral("1101700230705"));
    EXPECT_FALSE(stored("Z9", "ID").isValid());
    EXPECT_EQ(customers(), 3);
    // The name longer than its column: the rest of the row stored.
    EXPECT_EQ(stored("L1", "C_prename").toString(), QStringLiteral("นาย"));
    EXPECT_EQ(stored("L1", "C_name").toString(), QString());
    ASSERT_EQ(result->problems.size(), 4);
    EXPECT_EQ(result->problems[1].why, QStringLiteral("ยาวเกิน 100 ตัวอักษร (มี 101 ตัวอักษร)"));
    EXPECT_EQ(result->problems[2].heading, QStringLiteral("อยู่กทม"));
    EXPECT_EQ(result->problems[3].sheetRow, 6);
    EXPECT_TRUE(result->problems[3].why.startsWith(QStringLiteral("รหัสยาวเกิน 20 ตัวอักษร")));
    EXPECT_EQ(result->problems[0].sheetRow, 3);
    EXPECT_EQ(result->problems[0].heading, QStringLiteral("อายุ"));
    EXPECT_EQ(result->problems[0].value, QStringLiteral("สามสิบ"));
    EXPECT_TRUE(customers::problemReport(result->problems)
                    .contains(QStringLiteral("3,\"อายุ\",\"สามสิบ\",\"ต้องเป็นจำนวนเต็ม\"")));
}

TEST_F(CustomerImportTest, OtherProgramsFilesReadAlike)
{
    for (const char* name : {"in.ods", "in.xls", "in.plain.xlsx"}) {
        SCOPED_TRACE(name);
        auto f = form();
        ASSERT_TRUE(f->spreadsheets().importFile(sheet(name, Rows)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(stored("A1", "C_MP").toString(), QStringLiteral("089"));
        EXPECT_EQ(stored("N1", "birthday").toDate(), QDate(1985, 2, 1));
        EXPECT_EQ(stored("N1", "C_name").toString(), QStringLiteral("มาลี O'Neil"));
        EXPECT_EQ(customers(), 2);
    }
    // Formula cells of the older kind import as the results the spreadsheet
    // program showed: a text code, a number telephone.
    {
        QByteArray rows = Rows;
        rows.replace(R"(["A1", "นาย", null)",
                     R"([{"formula": "\"A\"&\"1\"", "cached": "A1"}, "นาย", )"
                     R"({"formula": "\"สม\"&\"ชาย\"", "cached": "สมชาย"})");
        rows.replace(R"("089"])", R"({"formula": "80+9", "cached": 89}])");
        ASSERT_TRUE(form()->spreadsheets().importFile(sheet("formulas.xls", rows)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(stored("A1", "C_name").toString(), QStringLiteral("สมชาย"));
        EXPECT_EQ(stored("A1", "C_MP").toString(), QStringLiteral("89"));
    }
    // A workbook renamed to the older kind's name reads by what it holds.
    const QString renamed = dir.filePath(QStringLiteral("renamed.xls"));
    QFile::copy(sheet("again.xlsx", Rows), renamed);
    EXPECT_TRUE(form()->spreadsheets().importFile(renamed)) << prompt.lastText().toStdString();
}

TEST_F(CustomerImportTest, AFileThatIsNoWholeSheetIsSaidForWhatItIs)
{
    QFile whole(sheet("whole.xlsx", Rows));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QByteArray sheetInside = bytes.left(bytes.size() / 2);
    const std::pair<const char*, QByteArray> files[] = {
        {"empty.xlsx", QByteArray()},
        {"half.xlsx", sheetInside},
        {"notes.xlsx", "รหัส,ชื่อ\nA1,สมชาย\n"},
        {"junk.xls", QByteArray(3000, '\x07')},
    };
    const char* said[] = {"แฟ้มว่าง (0 ไบต์)", "แฟ้มไม่ครบ", "เป็นแฟ้มข้อความ", "ไม่ใช่แฟ้มตารางคำนวณ"};
    const QStringList before = dump();
    for (size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(files[i].first);
        const QString path = dir.filePath(QLatin1String(files[i].first));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(files[i].second);
        out.close();
        prompt.clear();
        EXPECT_FALSE(form()->spreadsheets().importFile(path));
        EXPECT_EQ(prompt.messages().last().title, platform::Prompt::errorTitle());
        const QString text = prompt.lastText();
        EXPECT_TRUE(text.contains(QString::fromUtf8(said[i]))) << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String(files[i].first)));
        EXPECT_FALSE(text.contains(QStringLiteral("()")));
    }
    EXPECT_EQ(dump(), before);
}

TEST_F(CustomerImportTest, ACancelOrAFailureStoresNothing)
{
    const QStringList before = dump();
    const QString file = sheet("in.xlsx", Rows);
    EXPECT_FALSE(
        form()->spreadsheets().importFile(file, [](qsizetype, qsizetype) { return false; }));
    EXPECT_EQ(dump(), before);
    test::failEvery(*customerDb.db, "INSERT", "customer", "disk full");
    EXPECT_FALSE(form()->spreadsheets().importFile(file));
    EXPECT_EQ(dump(), before); // A1's update went back with the failed row
    // Said as the database's failure, not as a damaged file.
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("ฐานข้อมูล")))
        << prompt.lastText().toStdString();
    EXPECT_FALSE(prompt.lastText().contains(QStringLiteral("เนื้อหาในแฟ้มเสียหาย")));
    test::stopFailing(*customerDb.db, "customer");
}

TEST_F(CustomerImportTest, AnExportedSheetImportedAgainChangesNothing)
{
    customerDb.db->exec(
        QStringLiteral("UPDATE customer SET birthday = '1990-05-06', C_age = 35, user4 = 125000, "
                       "city_call = 1, Note = 'บรรทัด 1' WHERE C_code = 'A1'"));
    const QStringList before = dump();
    auto f = form();
    const auto file = f->spreadsheets().exportShown();
    ASSERT_TRUE(file);
    const auto result = form()->spreadsheets().importFile(*file);
    ASSERT_TRUE(result) << prompt.lastText().toStdString();
    EXPECT_TRUE(result->problems.isEmpty());
    EXPECT_EQ(result->unchanged, 1); // nothing to write
    EXPECT_EQ(dump(), before);
}

TEST_F(CustomerImportTest, ALargeSheetIsStoredAsItIsReadAndDamageFarIntoItStoresNothing)
{
    // Some megabytes of sheet: read and stored a piece at a time.
    QByteArray rows = R"([["รหัสลูกค้า", "คำนำหน้าชื่อ", "ชื่อ สกุล"])";
    for (int i = 1; i <= 20000; ++i)
        rows += QStringLiteral(R"(, ["B%1", "นาย", "ลูกค้า ที่ %1 บ้านเลขที่ยาวพอให้แผ่นงานใหญ่"])")
                    .arg(i)
                    .toUtf8();
    rows += ']';
    const QString file = sheet("large.xlsx", rows);
    const qsizetype before = customers();

    // The sheet's part damaged at two thirds: the first rows read and are
    // stored in the transaction before the damage shows; all go back.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const qsizetype part = bytes.indexOf("xl/worksheets/sheet1.xml");
    const qsizetype next = bytes.indexOf("PK\x03\x04", part);
    ASSERT_GT(next, part + 100000);
    const qsizetype at = part + (next - part) * 2 / 3;
    for (qsizetype i = at; i < at + 16; ++i)
        bytes[i] = char(~bytes[i]);
    const QString damaged = dir.filePath(QStringLiteral("damaged.xlsx"));
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    qsizetype lastProgress = 0;
    EXPECT_FALSE(form()->spreadsheets().importFile(damaged, [&](qsizetype done, qsizetype) {
        lastProgress = done;
        return true;
    }));
    EXPECT_GT(lastProgress, 2000); // rows were stored before the damage
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("เนื้อหาในแฟ้มเสียหาย")))
        << prompt.lastText().toStdString();
    EXPECT_EQ(customers(), before);

    // Whole, every row arrives, across the pieces.
    const auto result = form()->spreadsheets().importFile(file);
    ASSERT_TRUE(result) << prompt.lastText().toStdString();
    EXPECT_EQ(result->added, 20000);
    EXPECT_EQ(stored("B20000", "C_name").toString(),
              QStringLiteral("ลูกค้า ที่ 20000 บ้านเลขที่ยาวพอให้แผ่นงานใหญ่"));
    EXPECT_EQ(stored("B7777", "C_prename").toString(), QStringLiteral("นาย"));
}
