#include "customers/customer_export.h"
#include "customers/customer_form.h"
#include "sheet_tools.h"
#include "temp_home.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tawela;
using customers::Customer;
using customers::CustomerForm;

namespace {

// What an independent reader (openpyxl) finds in the file: "kind\tplace\tvalue" lines.
QStringList sheetFacts(const QString& file)
{
    return runSheetScript("read_sheet.py", {file}).split(u'\n', Qt::SkipEmptyParts);
}

QString fact(const QStringList& facts, const QString& kind, const QString& place)
{
    const QString head = kind + u'\t' + place + u'\t';
    for (const QString& f : facts)
        if (f.startsWith(head))
            return f.mid(head.size());
    return QStringLiteral("<none>");
}

class CustomerExportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Temp"))); }
    QString temp() const { return dir.filePath(QStringLiteral("Temp")); }
    std::unique_ptr<CustomerForm> form()
    {
        auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
        f->open({});
        f->spreadsheets().use(temp(), QStringLiteral("Laksaman"));
        return f;
    }
    Customer add(const char* name, const char* province, const char* birthday)
    {
        Customer c;
        c.name = QString::fromUtf8(name);
        c = customers::CustomerStore(customerDb.db).addBare(c);
        customerDb.db->exec(QStringLiteral("UPDATE customer SET C_Province = ?, birthday = ?, "
                                           "C_ID = '0105536000015', C_age = 41 WHERE ID = ?"),
                            {QString::fromUtf8(province), QString::fromLatin1(birthday), c.id});
        return c;
    }

    QTemporaryDir dir;
    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb{app::DatabaseRole::Main};
    platform::ScriptedPrompt prompt;
};

} // namespace

TEST_F(CustomerExportTest, TheRecordCardHoldsItsTextsColoursMergesAndPageSetup)
{
    add("สมหญิง", "ชลบุรี", "1985-02-01");
    auto f = form();
    f->customer.prename = QStringLiteral("นาง");
    f->customer.address = QStringLiteral("9/1");
    f->customer.moo = QStringLiteral("ม.2");
    f->customer.user1 = QStringLiteral("ค้าขาย");
    f->customer.user3 = QStringLiteral("ตลาด'ใหม่");
    f->customer.spouse = QStringLiteral("สมชาย");
    f->customer.spouseDetail = QStringLiteral("ทำงานต่างจังหวัด");
    const auto file = f->spreadsheets().exportCurrent();
    ASSERT_TRUE(file) << prompt.lastText().toStdString();
    EXPECT_TRUE(file->endsWith(QStringLiteral("Temp/temp.xlsx")));
    const QStringList facts = sheetFacts(*file);
    EXPECT_EQ(fact(facts, "cell", "F1"), QStringLiteral("สัญญาเลขที่"));
    EXPECT_EQ(fact(facts, "cell", "H23"), QStringLiteral("ออกใบเสร็จโดย"));
    EXPECT_EQ(fact(facts, "cell", "B3"), QStringLiteral("นางสมหญิง"));
    EXPECT_EQ(fact(facts, "cell", "B4"), QStringLiteral("9/1 ม.2"));
    EXPECT_EQ(fact(facts, "cell", "B5"), QStringLiteral("ค้าขาย ที่ทำงาน ตลาด'ใหม่"));
    EXPECT_EQ(fact(facts, "cell", "F6"), QStringLiteral("0105536000015")); // text: no digit lost
    EXPECT_EQ(fact(facts, "cell", "G3"), QStringLiteral("สมชาย"));
    EXPECT_EQ(fact(facts, "comment", "G3"), QStringLiteral("ทำงานต่างจังหวัด\\n"));
    EXPECT_EQ(fact(facts, "fill", "G1"), QStringLiteral("FFFF00"));  // 6
    EXPECT_EQ(fact(facts, "fill", "B4"), QStringLiteral("FFFF99"));  // 36
    EXPECT_EQ(fact(facts, "fill", "G18"), QStringLiteral("FFCC99")); // 40
    EXPECT_EQ(fact(facts, "fill", "B19"), QStringLiteral("FFCC00")); // 44
    EXPECT_EQ(fact(facts, "fill", "A23"), QStringLiteral("FF99CC")); // 38
    EXPECT_EQ(fact(facts, "fill", "A24"), QStringLiteral("C0C0C0")); // 15, then alternating
    EXPECT_EQ(fact(facts, "fill", "A25"), QStringLiteral("969696")); // 48
    EXPECT_EQ(fact(facts, "fill", "H39"), QStringLiteral("969696"));
    EXPECT_EQ(fact(facts, "format", "E6"), QStringLiteral("0"));
    for (const char* m : {"B23:C23", "D23:E23", "F23:G23", "H23:J23", "B24:C24", "H39:J39"})
        EXPECT_TRUE(facts.contains(QStringLiteral("merge\t") + QLatin1String(m) + u'\t')) << m;
    EXPECT_NEAR(fact(facts, "width", "A").toDouble(), 12.33, 0.8);
    EXPECT_EQ(fact(facts, "height", "7"), QStringLiteral("9"));
    EXPECT_EQ(fact(facts, "sheet", "gridlines"), QStringLiteral("False"));
    EXPECT_TRUE(fact(facts, "sheet", "print_area").endsWith(QStringLiteral("$A$1:$J$39")));
    EXPECT_EQ(fact(facts, "sheet", "fit"), QStringLiteral("True 1 1"));
}

TEST_F(CustomerExportTest, AllShownExportsTheFilteredSetInItsOrder)
{
    add("ก", "ชลบุรี", "1985-02-01");
    add("ข", "ระยอง", "1990-03-04");
    add("ค", "ชลบุรี", "1970-12-31");
    auto f = form();
    f->filter().open();
    f->filter().fieldChosen(9); // "จังหวัด"
    f->filter().panel.value = QStringLiteral("ชลบุรี");
    ASSERT_TRUE(f->filter().run());
    const auto file = f->spreadsheets().exportShown();
    ASSERT_TRUE(file);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Export to Excel completed"));
    const QStringList facts = sheetFacts(*file);
    EXPECT_EQ(fact(facts, "sheet", "rows"), QStringLiteral("3")); // headings and two customers
    EXPECT_EQ(fact(facts, "cell", "A1"), QStringLiteral("รหัสลูกค้า"));
    EXPECT_EQ(fact(facts, "cell", "AW1"), QStringLiteral("แต้มสะสม"));
    EXPECT_EQ(fact(facts, "cell", "C2"), QStringLiteral("ค")); // highest code first
    EXPECT_EQ(fact(facts, "cell", "C3"), QStringLiteral("ก"));
    EXPECT_EQ(fact(facts, "cell", "E2"), QStringLiteral("1970-12-31"));
    EXPECT_EQ(fact(facts, "format", "E2"), QStringLiteral("[$-107041E]d mmmm yyyy;@"));
    EXPECT_EQ(fact(facts, "cell", "F2"), QStringLiteral("41"));
    EXPECT_EQ(fact(facts, "cell", "G2"), QStringLiteral("0105536000015"));
    EXPECT_EQ(fact(facts, "fill", "A1"), QStringLiteral("C0C0C0"));
    EXPECT_EQ(fact(facts, "fill", "E1"), QStringLiteral("CCFFCC"));
    EXPECT_EQ(fact(facts, "fill", "U1"), QStringLiteral("FFFF00"));
    EXPECT_NEAR(fact(facts, "width", "AT").toDouble(), 50, 0.8);
    // The large sheet is deflated for speed.
    EXPECT_EQ(fact(facts, "zip", "sheet1.xml"), QStringLiteral("fastest"));
}

TEST_F(CustomerExportTest, AWorkFileOpenElsewhereOrAMissingFolderWritesNothing)
{
    add("ก", "ชลบุรี", "1985-02-01");
    auto f = form();
    const QString file = customers::exportFile(temp());
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the sheet being looked at");
    old.close();
    QFile lock(QDir(temp()).filePath(QStringLiteral(".~lock.temp.xlsx#")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_FALSE(f->spreadsheets().exportShown());
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("File summary.xls is open"));
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the sheet being looked at"));
    lock.remove();

    f->spreadsheets().use(dir.filePath(QStringLiteral("gone")), QString());
    EXPECT_FALSE(f->spreadsheets().exportCurrent());
    EXPECT_EQ(prompt.messages().last().title, platform::Prompt::errorTitle());
    EXPECT_EQ(QDir(temp()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("temp.xlsx")}); // no part file left
}
