#include "customers/customer_form.h"
#include "pdf_text.h"
#include "reports/default_reports.h"
#include "reports/report_runner.h"
#include "temp_home.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace tawela;
using customers::CustomerForm;
using customers::CustomerReport;
using platform::ReportRequest;
using test::letters;

namespace {

// Customers in two groups, the shipped definitions in a data folder, and a
// customer form whose reports are built by the real report runner.
class CustomerReportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::installMissingReports(data.path());
        add("C'7", "มาลี", "VIP");
        add("C2", "สมชาย", "ทั่วไป");
        add("C3", "วิชัย", "VIP");
        customerDb.db->exec(QStringLiteral(
            "UPDATE user_column SET user_caption = 'ร้าน O''Neil' WHERE db_field = 'user2'"));
    }
    void add(const char* code, const char* name, const char* group)
    {
        customerDb.db->exec(
            QStringLiteral("INSERT INTO customer (C_code, C_name, class, spare2, full_address1, "
                           "user1) VALUES (?,?,?,?,?,?)"),
            {QString::fromUtf8(code), QString::fromUtf8(name), QString::fromUtf8(group),
             QString(QStringLiteral("คุณ") + QString::fromUtf8(name)), QStringLiteral("99 หมู่ 1"),
             QStringLiteral("ค้าขาย")});
    }
    std::unique_ptr<CustomerForm> form()
    {
        auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
        f->reports().use({[this](const ReportRequest& r) { printed << r; },
                          [this](const ReportRequest& r) { csv << r; },
                          {}});
        f->open({});
        return f;
    }
    // The text of the last printed report, through a PDF.
    QString printedText()
    {
        const reports::ReportRunner runner(data.path(), mainDb.db, customerDb.db);
        const QString pdf = data.filePath(QStringLiteral("out.pdf"));
        runner.renderToPdf(printed.last(), pdf);
        return letters(test::pdfText(pdf));
    }
    void filterGroup(CustomerForm& f, const QString& group)
    {
        f.filter().open();
        const auto fields = f.filter().fieldList();
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].caption == QStringLiteral("กลุ่มลูกค้า"))
                f.filter().fieldChosen(i);
        f.filter().panel.value = group;
        ASSERT_TRUE(f.filter().run());
    }

    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb{app::DatabaseRole::Main};
    QTemporaryDir data;
    platform::ScriptedPrompt prompt;
    QList<ReportRequest> printed, csv;
};

} // namespace

TEST_F(CustomerReportsTest, APrintListsTheCustomersTheScreenShows)
{
    auto f = form();
    // Nothing ticked: asked for a choice, nothing printed.
    EXPECT_FALSE(f->reports().print());
    EXPECT_TRUE(printed.isEmpty());

    f->reports().panel.choice = CustomerReport::NamesAddresses;
    ASSERT_TRUE(f->reports().print());
    EXPECT_TRUE(printed.last().filter.isEmpty());
    EXPECT_TRUE(printed.last().selection.isEmpty());
    QString all = printedText();
    for (const char* name : {"คุณมาลี", "คุณสมชาย", "คุณวิชัย"})
        EXPECT_TRUE(all.contains(letters(QString::fromUtf8(name)))) << name;

    filterGroup(*f, QStringLiteral("VIP"));
    ASSERT_TRUE(f->reports().print());
    EXPECT_EQ(printed.last().filter, f->filter().reportFilter());
    const QString vip = printedText();
    EXPECT_TRUE(vip.contains(letters(QStringLiteral("คุณมาลี"))));
    EXPECT_TRUE(vip.contains(letters(QStringLiteral("คุณวิชัย"))));
    EXPECT_FALSE(vip.contains(letters(QStringLiteral("คุณสมชาย"))));

    // The selected profile names the shown customer, its apostrophe doubled,
    // and keeps the filter.
    ASSERT_TRUE(f->moveTo(f->count() - 1));
    ASSERT_EQ(f->customer.code, QStringLiteral("C'7"));
    f->reports().panel.choice = CustomerReport::SelectedProfile;
    ASSERT_TRUE(f->reports().print());
    EXPECT_EQ(printed.last().selection, QStringLiteral("{Customer.C_Code} = 'C''7'"));
    EXPECT_EQ(printed.last().filter, f->filter().reportFilter());
    const QString profile = printedText();
    EXPECT_TRUE(profile.contains(letters(QStringLiteral("มาลี"))));
    EXPECT_FALSE(profile.contains(letters(QStringLiteral("วิชัย"))));

    // The shop's own fields print under their captions.
    f->reports().panel.choice = CustomerReport::UserFields;
    ASSERT_TRUE(f->reports().print());
    EXPECT_EQ(printed.last().values.value(1), QStringLiteral("u2c = 'ร้าน O''Neil'"));
    EXPECT_TRUE(printedText().contains(letters(QStringLiteral("ร้าน O'Neil"))));

    // CSV goes to its own output.
    f->reports().panel.choice = CustomerReport::Csv;
    ASSERT_TRUE(f->reports().print());
    ASSERT_EQ(csv.size(), 1);
    EXPECT_EQ(csv.last().file, QStringLiteral("\\CSV.rpt"));
}

TEST_F(CustomerReportsTest, LabelsFillTheSheetAcrossAndTheOffsetsMoveThem)
{
    customerDb.db->exec(QStringLiteral("DELETE FROM customer"));
    for (int i = 10; i < 33; ++i) // 23 labels: a sheet of 21 and two more
        add(QByteArray::number(i).constData(), "ลูกค้า", "VIP");
    auto f = form();
    f->reports().panel.choice = CustomerReport::Labels3;
    f->reports().panel.left = QStringLiteral("x");
    EXPECT_FALSE(f->reports().print());
    f->reports().panel.left = QStringLiteral("2");
    f->reports().panel.top = QStringLiteral("-1.5");
    ASSERT_TRUE(f->reports().print());
    const reports::ReportRunner runner(data.path(), mainDb.db, customerDb.db);
    const reports::LaidOutReport shifted = runner.build(printed.last());
    ReportRequest plain = printed.last();
    plain.shiftLeft = plain.shiftTop = 0;
    const reports::LaidOutReport r = runner.build(plain);
    ASSERT_EQ(r.pages.size(), 2);
    // The first text of each label: three columns 66.04 mm apart, seven lines
    // 38.1 mm apart.
    QList<QPointF> corners;
    for (const auto& op : r.pages[0])
        if (op.kind == reports::DrawOp::Kind::Text && op.text.startsWith(QStringLiteral("คุณ")))
            corners << op.rect.topLeft();
    ASSERT_EQ(corners.size(), 21);
    EXPECT_NEAR(corners[1].x() - corners[0].x(), 66.04, 0.01);
    EXPECT_NEAR(corners[3].y() - corners[0].y(), 38.1, 0.01);
    EXPECT_NEAR(corners[20].y() - corners[0].y(), 6 * 38.1, 0.01);
    EXPECT_NEAR(shifted.pages[0][0].rect.x() - r.pages[0][0].rect.x(), 2, 1e-9);
    EXPECT_NEAR(shifted.pages[0][0].rect.y() - r.pages[0][0].rect.y(), -1.5, 1e-9);
    // A list does not move with the offsets.
    f->reports().panel.choice = CustomerReport::Names;
    ASSERT_TRUE(f->reports().print());
    EXPECT_EQ(printed.last().shiftLeft, 0);
}

TEST_F(CustomerReportsTest, HistoryIsEachConnectionsOwn)
{
    auto addRow = [this](const char* table, const char* code, qint64 baht, const char* date) {
        mainDb.db->exec(QStringLiteral("INSERT INTO ") + QLatin1String(table) +
                            QStringLiteral(" (description, tt_price, s_date, s_group, c_code) "
                                           "VALUES ('รายการ', ?, ?, 'ทองคำ', ?)"),
                        {baht * 10000, QString::fromLatin1(date), QString::fromUtf8(code)});
    };
    addRow("spending", "C2", 500, "2025-01-10");
    addRow("service", "C2", 500, "2025-02-10");
    addRow("service", "C3", 90, "2025-03-01");
    auto f = form();
    ASSERT_TRUE(f->moveTo(1));
    ASSERT_EQ(f->customer.code, QStringLiteral("C2"));
    f->historyView().toggle();
    EXPECT_TRUE(f->historyView().panel.wide);
    ASSERT_EQ(f->historyView().panel.rows.size(), 2);
    EXPECT_EQ(f->historyView().panel.rows[0].amount.toString(), QStringLiteral("500"));
    EXPECT_EQ(f->historyView().panel.rows[0].date, QDate(2025, 2, 10));
    EXPECT_EQ(f->historyView().panel.rows[1].amount.toString(), QStringLiteral("-500"));

    // Another computer builds another customer's history meanwhile.
    if (!mainDb.db->isServer()) {
        auto other =
            platform::db::Database::open(mainDb.db->path(), platform::db::OpenMode::ExistingOnly);
        EXPECT_EQ(customers::buildHistory(*other, QStringLiteral("C3")).size(), 1);
    }
    EXPECT_EQ(mainDb.db->scalar(QStringLiteral("SELECT count(*) FROM temp")).toInt(), 2);

    f->historyView().print();
    const QString text = printedText();
    EXPECT_TRUE(text.contains(letters(QStringLiteral("รหัสลูกค้า C2"))));
    EXPECT_TRUE(text.contains(QStringLiteral("-500.00")));

    // Built again: the panel flips back; a customer without lines has none.
    ASSERT_TRUE(f->moveTo(2));
    f->historyView().toggle();
    EXPECT_FALSE(f->historyView().panel.wide);
    EXPECT_TRUE(f->historyView().panel.rows.isEmpty());
}

TEST_F(CustomerReportsTest, OnASheetOfLabelsEveryTextStaysInItsCell)
{
    customerDb.db->exec(QStringLiteral("DELETE FROM customer"));
    const QString longLine = QStringLiteral("หมู่บ้านพฤกษาวิลล์ ซอยประชาอุทิศ 45 แยก 3 ถนนประชาอุทิศ "
                                            "แขวงบางมด เขตทุ่งครุ กรุงเทพมหานคร 10140 ");
    for (int i = 1; i <= 50; ++i)
        customerDb.db->exec(
            QStringLiteral("INSERT INTO customer (C_code, spare2, full_address1, full_address2, "
                           "spare3) VALUES (?,?,?,?,?)"),
            {QString::number(i), QStringLiteral("คุณสมศักดิ์ ศรีสวัสดิ์วงศ์ไพบูลย์ %1").arg(i),
             QStringLiteral("999/99"), longLine.repeated(1 + i % 3), longLine});
    struct Sheet {
        CustomerReport report;
        double left, top, pitch, width;
        int across, pages;
    };
    for (const Sheet& sheet : {Sheet{CustomerReport::Labels3, 7.25, 15.15, 66.04, 63.5, 3, 3},
                               Sheet{CustomerReport::Labels2, 4.65, 15.15, 101.6, 99.1, 2, 4}}) {
        SCOPED_TRACE(int(sheet.report));
        auto f = form();
        f->reports().panel.choice = sheet.report;
        ASSERT_TRUE(f->reports().print());
        const reports::ReportRunner runner(data.path(), mainDb.db, customerDb.db);
        const QString pdf = data.filePath(QStringLiteral("labels.pdf"));
        runner.renderToPdf(printed.last(), pdf);
        // 21 (or 14) to a sheet: 50 customers fill two (three) and part of one more.
        EXPECT_EQ(letters(test::pdfText(pdf)).count(letters(QStringLiteral("คุณสมศักดิ์"))), 50);
        for (int page = 1; page <= sheet.pages; ++page) {
            const auto words = test::pdfWords(pdf, page);
            ASSERT_FALSE(words.isEmpty()) << page;
            for (const test::PdfWord& w : words) {
                // The cell the word starts in; it must end there too.
                const int column = int((w.box.left() - sheet.left) / sheet.pitch);
                const int row = int((w.box.top() - sheet.top) / 38.1);
                const QRectF cell(sheet.left + column * sheet.pitch, sheet.top + row * 38.1,
                                  sheet.width, 38.1);
                const QRectF room = cell.adjusted(-0.2, -0.2, 0.2, 0.2);
                EXPECT_TRUE(column < sheet.across && row < 7 && w.box.left() >= room.left() &&
                            w.box.right() <= room.right() && w.box.top() >= room.top() &&
                            w.box.bottom() <= room.bottom())
                    << "page " << page << " " << w.text.toStdString() << " at " << w.box.left()
                    << "," << w.box.top() << "-" << w.box.right() << "," << w.box.bottom();
            }
        }
        EXPECT_TRUE(test::pdfWords(pdf, sheet.pages + 1).isEmpty());
    }
}
