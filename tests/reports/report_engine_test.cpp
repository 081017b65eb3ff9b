#include "pdf_text.h"
#include "platform/decimal.h"
#include "reports/barcode.h"
#include "reports/default_reports.h"
#include "reports/report_data.h"
#include "reports/report_engine.h"
#include "temp_home.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <QMultiMap>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::reports;
using platform::Decimal;
using test::letters;

namespace {

const char* const Summary = R"(# income by product group
title: สรุปรายรับ
page: A4
margins: 15 10 15 10
font: Laksaman 12
database: main
table: service
order: service.s_date, service.recv_no
group: service.s_group

[report header] height 14
text 0 0 180 10 size=18 bold align=center: {head_title}
[page header] height 8
text 0 0 40 6 bold: เลขที่
text 40 0 80 6 bold: รายการ
text 140 0 40 6 bold align=right: จำนวนเงิน
line 0 7 180 7 width=0.3
[group header] height 7
text 0 0 180 6 bold: กลุ่มสินค้า {service.s_group}
[detail] height 6
text 0 0 40 6: {service.recv_no}
text 40 0 100 6: {service.description}
text 140 0 40 6 align=right: {service.tt_price:#,##0.00}
[group footer] height 8
text 40 0 100 6: รวม {count} รายการ
text 140 0 40 6 bold align=right: {sum:service.tt_price:#,##0.00}
[page footer] height 8
text 0 0 180 6 align=right: หน้า {page}/{pages}  พิมพ์ {printdate}
[report footer] height 10
text 40 2 100 6 bold: รวมทั้งสิ้น
text 140 2 40 6 bold align=right: {sum:service.tt_price:#,##0.00}
)";

class ReportEngineTest : public ::testing::Test {
protected:
    void addReceipt(const QString& no, const QString& group, const char* amount, const char* date)
    {
        t.db->exec(QStringLiteral("INSERT INTO service (recv_no, s_group, description, tt_price, "
                                  "s_date) VALUES (?,?,?,?,?)"),
                   {no, group, QString(QStringLiteral("ต่อดอก สัญญาเลขที่ ") + no),
                    qlonglong(Decimal::parse(QString::fromLatin1(amount))->units()),
                    QString::fromLatin1(date)});
    }

    LaidOutReport render(const QString& selection = QString())
    {
        const ReportDefinition d = ReportDefinition::parse(QString::fromUtf8(Summary));
        const auto rows = readReportRows(t.db, d, Formula::parse(selection), Formula());
        return layoutReport(d, rows,
                            parseFormulaValues({QStringLiteral("head_title = 'รายรับเดือน มี.ค.'")}),
                            QDate(2026, 12, 9));
    }

    static QStringList texts(const LaidOutReport& r)
    {
        QStringList out;
        for (const auto& page : r.pages)
            for (const DrawOp& op : page)
                if (op.kind == DrawOp::Kind::Text)
                    out << op.text;
        return out;
    }

    // "Page size: W x H pts" read back from the file, in points.
    static QSizeF pageSize(const QString& info)
    {
        static const QRegularExpression re(
            QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
        const auto m = re.match(info);
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
    }

    static QString run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    test::TempDatabase t;
    QTemporaryDir dir;
};

} // namespace

TEST(ReportFormats, NumbersDatesAndWords)
{
    const auto d = [](const char* s) {
        return QVariant::fromValue(*Decimal::parse(QString::fromLatin1(s)));
    };
    EXPECT_EQ(formatValue(d("1234567.005"), QStringLiteral("#,##0.00")),
              QStringLiteral("1,234,567.01"));
    EXPECT_EQ(formatValue(d("-1500"), QStringLiteral("#,##0.00")), QStringLiteral("-1,500.00"));
    EXPECT_EQ(formatValue(d("999.5"), QStringLiteral("#,##0")), QStringLiteral("1,000"));
    EXPECT_EQ(formatValue(d("0"), QStringLiteral("#####.00")), QStringLiteral(".00"));
    EXPECT_EQ(formatValue(d("10375.5"), QString()), QStringLiteral("10375.5"));
    EXPECT_EQ(formatValue(d("100.5"), QStringLiteral("baht")),
              QStringLiteral("หนึ่งร้อยบาทห้าสิบสตางค์"));
    EXPECT_EQ(formatValue(QDate(2024, 3, 7), QString()), QStringLiteral("07/03/2567"));
    EXPECT_EQ(formatValue(QDate(2014, 1, 5), QStringLiteral("longdate")),
              QStringLiteral("5 มกราคม 2557"));
    EXPECT_EQ(formatValue(QVariant(), QStringLiteral("#,##0.00")), QString());
    EXPECT_EQ(parseFormulaValues({QStringLiteral("c_name ='O''Neil'"), QStringLiteral("bad")})
                  .value(QStringLiteral("c_name")),
              QStringLiteral("O'Neil"));
}

TEST(ReportDefinitions, ErrorsNameTheLine)
{
    try {
        ReportDefinition::parse(
            QStringLiteral("table: service\n[detail] height 6\ntext 0 0 10: x\n"),
            QStringLiteral("recv_1.rpt"));
        FAIL() << "accepted";
    } catch (const DefinitionError& e) {
        EXPECT_EQ(e.line(), 3);
        EXPECT_TRUE(e.description().contains(QStringLiteral("recv_1.rpt")));
    }
    EXPECT_THROW(ReportDefinition::parse(QStringLiteral("page: letter\ntable: x")),
                 DefinitionError);
    EXPECT_THROW(ReportDefinition::parse(QStringLiteral("[detail] height 6\n")), DefinitionError);
    EXPECT_THROW(ReportDefinition::parse(QStringLiteral("table: t\n[middle] height 6\n")),
                 DefinitionError);
    const ReportDefinition roll =
        ReportDefinition::parse(QStringLiteral("page: roll58\ntable: t\n"));
    EXPECT_TRUE(roll.roll);
    EXPECT_EQ(roll.pageWidth(), 58);
}

TEST_F(ReportEngineTest, GroupsTotalsAndPages)
{
    addReceipt(QStringLiteral("R1"), QStringLiteral("ทองคำ"), "1000.50", "2024-03-01");
    addReceipt(QStringLiteral("R2"), QStringLiteral("นาฬิกา"), "200", "2024-03-02");
    addReceipt(QStringLiteral("R3"), QStringLiteral("ทองคำ"), "2500", "2024-03-03");
    const QStringList shown = texts(render());
    EXPECT_TRUE(shown.contains(QStringLiteral("รายรับเดือน มี.ค.")));
    const qsizetype gold = shown.indexOf(QStringLiteral("กลุ่มสินค้า ทองคำ"));
    const qsizetype watch = shown.indexOf(QStringLiteral("กลุ่มสินค้า นาฬิกา"));
    ASSERT_GE(gold, 0);
    ASSERT_GT(watch, gold);
    // The gold group lists R1 and R3, then its own total.
    EXPECT_EQ(shown.indexOf(QStringLiteral("R1")), gold + 1);
    EXPECT_TRUE(shown.mid(gold, watch - gold).contains(QStringLiteral("3,500.50")));
    EXPECT_TRUE(shown.mid(gold, watch - gold).contains(QStringLiteral("รวม 2 รายการ")));
    EXPECT_TRUE(shown.mid(watch).contains(QStringLiteral("200.00")));
    EXPECT_TRUE(shown.contains(QStringLiteral("3,700.50"))); // the whole report
    EXPECT_TRUE(shown.contains(QStringLiteral("หน้า 1/1  พิมพ์ 09/12/2569")));

    // The selection narrows the rows.
    const QStringList one = texts(render(QStringLiteral("{service.recv_no} = 'R2'")));
    EXPECT_FALSE(one.contains(QStringLiteral("R1")));
    EXPECT_TRUE(one.contains(QStringLiteral("R2")));
}

TEST_F(ReportEngineTest, LongListsBreakIntoPages)
{
    t.db->exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < 120; ++i)
        addReceipt(QStringLiteral("R%1").arg(i, 3, 10, QChar(u'0')), QStringLiteral("ทองคำ"), "10",
                   "2024-03-01");
    t.db->exec(QStringLiteral("COMMIT"));
    const LaidOutReport r = render();
    ASSERT_GE(r.pages.size(), 3);
    const QStringList shown = texts(r);
    EXPECT_TRUE(shown.contains(QStringLiteral("หน้า 1/%1  พิมพ์ 09/12/2569").arg(r.pages.size())));
    EXPECT_TRUE(shown.contains(QStringLiteral("1,200.00")));
    // Nothing runs into the page footer.
    for (const auto& page : r.pages) {
        for (const DrawOp& op : page) {
            if (op.kind == DrawOp::Kind::Text) {
                EXPECT_LE(op.rect.bottom(), 297 - 10 + 0.001);
            }
        }
    }
}

TEST_F(ReportEngineTest, PdfHoldsTheThaiTextAtTheRightSize)
{
    addReceipt(QStringLiteral("R1"), QStringLiteral("ทองคำ"), "1000.50", "2024-03-01");
    const QString pdf = dir.filePath(QStringLiteral("summary.pdf"));
    QString error;
    ASSERT_TRUE(writePdf(render(), pdf, &error)) << error.toStdString();
    // Set TAWELA_SCREENSHOTS to a folder to look at the pages.
    if (const QString keep = qEnvironmentVariable("TAWELA_SCREENSHOTS"); !keep.isEmpty())
        QFile::copy(pdf, keep + QStringLiteral("/summary.pdf"));
    const QString text = letters(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
    EXPECT_TRUE(text.contains(letters(QStringLiteral("รายรับเดือน มี.ค."))));
    EXPECT_TRUE(text.contains(letters(QStringLiteral("กลุ่มสินค้า ทองคำ"))));
    EXPECT_TRUE(text.contains(QStringLiteral("1,000.50")));
    EXPECT_TRUE(text.contains(letters(QStringLiteral("รวมทั้งสิ้น"))));
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QSizeF a4 = pageSize(info);
    EXPECT_NEAR(a4.width(), 595.3, 1) << info.toStdString();
    EXPECT_NEAR(a4.height(), 841.9, 1);

    // Roll paper: 58 mm wide, as long as the content.
    ReportDefinition roll = ReportDefinition::parse(
        QStringLiteral("page: roll58\nmargins: 2 2 2 2\ntable: service\n[detail] height 20\n"
                       "text 0 0 54 8: {service.recv_no}\n"));
    const auto rows = readReportRows(t.db, roll, Formula(), Formula());
    const LaidOutReport r = layoutReport(roll, rows, {});
    EXPECT_DOUBLE_EQ(r.pageSize.width(), 58);
    EXPECT_DOUBLE_EQ(r.pageSize.height(), 24);
    const QString rollPdf = dir.filePath(QStringLiteral("roll.pdf"));
    ASSERT_TRUE(writePdf(r, rollPdf));
    const QSizeF rollSize = pageSize(run(QStringLiteral("pdfinfo"), {rollPdf}));
    EXPECT_NEAR(rollSize.width(), 164.4, 1); // 58 mm
    EXPECT_NEAR(rollSize.height(), 68.0, 1); // 24 mm
    EXPECT_FALSE(writePdf(r, QStringLiteral("/nonexistent/x.pdf"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ไม่สามารถเขียนแฟ้ม")));
}

TEST_F(ReportEngineTest, BadFieldsAreReported)
{
    const ReportDefinition d = ReportDefinition::parse(QString::fromUtf8(Summary));
    EXPECT_THROW(readReportRows(t.db, d,
                                Formula::parse(QStringLiteral("{chumnum.Policy_no} = 'x'")),
                                Formula()),
                 FormulaError);
    EXPECT_THROW(readReportRows(t.db, d, Formula::parse(QStringLiteral("{service.nosuch} = 'x'")),
                                Formula()),
                 FormulaError);
    ReportDefinition missing = ReportDefinition::parse(QStringLiteral("table: nosuch\n"));
    EXPECT_THROW(readReportRows(t.db, missing, Formula(), Formula()), DefinitionError);
}

TEST_F(ReportEngineTest, AnUnknownFieldIsReportedWhereItStands)
{
    const ReportDefinition d = ReportDefinition::parse(QString::fromUtf8(Summary));
    try {
        readReportRows(t.db, d, Formula::parse(QStringLiteral("true and {service.nosuch} = 1")),
                       Formula());
        FAIL() << "accepted";
    } catch (const FormulaError& e) {
        EXPECT_EQ(e.position(), 10) << e.description().toStdString();
    }
}

TEST(Barcodes, SymbolsFromLibzint)
{
    const QImage code39 = barcodeImage(BarcodeKind::Code39, QStringLiteral("68-05-4-0012"));
    ASSERT_FALSE(code39.isNull());
    EXPECT_GT(code39.width(), code39.height());
    // Bars are black and white only, and both are there.
    QSet<QRgb> colours;
    for (int x = 0; x < code39.width(); ++x)
        colours.insert(code39.pixel(x, code39.height() / 2));
    EXPECT_EQ(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    const QImage qr = barcodeImage(BarcodeKind::Qr, QStringLiteral("ร้าน'ดี 68-05-4-0012"));
    ASSERT_FALSE(qr.isNull());
    EXPECT_EQ(qr.width(), qr.height());
    EXPECT_TRUE(barcodeImage(BarcodeKind::Code39, QStringLiteral("ไทย")).isNull());
    EXPECT_TRUE(barcodeImage(BarcodeKind::Code128, QString()).isNull());
    EXPECT_THROW(ReportDefinition::parse(QStringLiteral("table: t\n[detail] height 9\n"
                                                        "barcode 0 0 40 8 type=ean99: x\n")),
                 DefinitionError);
}

TEST_F(ReportEngineTest, ShippedDefinitionsAreInstalledAndRender)
{
    EXPECT_TRUE(defaultReportNames().contains(QStringLiteral("Hist.rpt")));
    const QString data = dir.filePath(QStringLiteral("data"));
    EXPECT_TRUE(installMissingReports(data).contains(QStringLiteral("Hist.rpt")));
    // A shop's own copy is kept.
    QFile own(data + QStringLiteral("/Hist.rpt"));
    ASSERT_TRUE(own.open(QIODevice::Append));
    own.write("# ร้านแก้เอง\n");
    own.close();
    EXPECT_TRUE(installMissingReports(data).isEmpty());
    QFile again(data + QStringLiteral("/Hist.rpt"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(again.readAll()).contains(QStringLiteral("ร้านแก้เอง")));

    t.db->exec(QStringLiteral("INSERT INTO temp (description, tt_price, s_date, s_group, s_group2, "
                              "c_code) VALUES ('สัญญาเลขที่ 68-05-4-0012 ขายฝาก แหวนทอง', -100000000, "
                              "'2025-05-14', 'ทองคำ', 'ขายฝาก', 'C01'), ('ต่อดอก', 3750000, "
                              "'2025-06-14', 'ทองคำ', 'ต่อดอก', 'C01')"));
    const auto d = ReportDefinition::load(data + QStringLiteral("/Hist.rpt"));
    const LaidOutReport r = layoutReport(d, readReportRows(t.db, d, {}, {}), {});
    const QStringList shown = texts(r);
    EXPECT_TRUE(shown.contains(QStringLiteral("รหัสลูกค้า C01")));
    EXPECT_TRUE(shown.contains(QStringLiteral("-10,000.00")));
    EXPECT_TRUE(shown.contains(QStringLiteral("-9,625.00")));
    EXPECT_TRUE(shown.contains(QStringLiteral("14/06/2568")));
    // The columns of a line keep a gap between them, so their texts never touch.
    QMultiMap<int, QRectF> lines; // by top, in tenths of a millimetre
    for (const DrawOp& op : r.pages[0])
        if (op.kind == DrawOp::Kind::Text)
            lines.insert(int(std::lround(op.rect.top() * 10)), op.rect);
    for (const int top : lines.uniqueKeys()) {
        QList<QRectF> row = lines.values(top);
        std::sort(row.begin(), row.end(),
                  [](const QRectF& a, const QRectF& b) { return a.left() < b.left(); });
        for (qsizetype i = 1; i < row.size(); ++i)
            EXPECT_GE(row[i].left() - row[i - 1].right(), 1.5) << "line at " << top / 10.0;
    }
    const QString pdf = dir.filePath(QStringLiteral("hist.pdf"));
    ASSERT_TRUE(writePdf(r, pdf));
    if (const QString keep = qEnvironmentVariable("TAWELA_SCREENSHOTS"); !keep.isEmpty())
        QFile::copy(pdf, keep + QStringLiteral("/hist.pdf"));
}

TEST_F(ReportEngineTest, CsvQuotesWhatNeedsIt)
{
    addReceipt(QStringLiteral("R1"), QStringLiteral("ทองคำ"), "1000.50", "2024-03-01");
    t.db->exec(QStringLiteral("UPDATE service SET description = 'แหวน, \"ทอง\" 1 บาท'"));
    const ReportDefinition d = ReportDefinition::parse(QString::fromUtf8(Summary));
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(writeCsv(d, readReportRows(t.db, d, {}, {}), {}, csv));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(f.readAll().mid(3));
    EXPECT_EQ(content, QStringLiteral("เลขที่,รายการ,จำนวนเงิน\r\n"
                                      "R1,\"แหวน, \"\"ทอง\"\" 1 บาท\",\"1,000.50\"\r\n"));

    // A text that a spreadsheet would run as a formula is written as text;
    // a negative amount stays a number.
    t.db->exec(QStringLiteral("UPDATE service SET description = '=HYPERLINK(\"http://x\")', "
                              "recv_no = '@SUM(A1)', tt_price = -15000000"));
    ASSERT_TRUE(writeCsv(d, readReportRows(t.db, d, {}, {}), {}, csv));
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList cells =
        QString::fromUtf8(f.readAll().mid(3)).split(QStringLiteral("\r\n"))[1].split(u',');
    EXPECT_EQ(cells.value(0), QStringLiteral("'@SUM(A1)"));
    EXPECT_TRUE(cells.value(1).startsWith(QStringLiteral("\"'=HYPERLINK")))
        << cells.value(1).toStdString();
    EXPECT_EQ(cells.mid(2).join(u','), QStringLiteral("\"-1,500.00\""));
}

TEST_F(ReportEngineTest, HostileDefinitionsAndSecretsAreRefused)
{
    auto lineOfError = [](const QString& text) {
        try {
            ReportDefinition::parse(text);
        } catch (const DefinitionError& e) {
            return e.line();
        }
        return -1;
    };
    EXPECT_EQ(lineOfError(QStringLiteral("table: t\n[detail] height nan\n")), 2);
    EXPECT_EQ(lineOfError(QStringLiteral("table: t\n[detail] height inf\n")), 2);
    EXPECT_EQ(lineOfError(QStringLiteral("table: t\nmargins: 10 -5 10 10\n")), 2);
    EXPECT_EQ(lineOfError(QStringLiteral("page: 0x0\ntable: t\n")), 1);
    EXPECT_EQ(lineOfError(QStringLiteral("table: t\n[detail] height 6\ntext 0 0 10 1e308: x\n")),
              3);
    EXPECT_GE(lineOfError(QStringLiteral("page: 100x20\nmargins: 10 10 10 10\ntable: t\n")), 0);
    // A definition of megabytes is no definition.
    const QString big = dir.filePath(QStringLiteral("big.rpt"));
    QFile out(big);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("table: service\n" + QByteArray(2 * 1024 * 1024, '#'));
    out.close();
    EXPECT_THROW(ReportDefinition::load(big), DefinitionError);

    // Passwords and the program's own records never reach paper.
    const ReportDefinition staff = ReportDefinition::parse(
        QStringLiteral("table: employee\n[detail] height 6\ntext 0 0 50 6: {employee.PWD}\n"));
    t.db->exec(QStringLiteral("INSERT INTO employee (EN, PWD) VALUES ('A01', 'secret')"));
    const auto rows = readReportRows(t.db, staff, Formula(), Formula());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_FALSE(rows[0].contains(QStringLiteral("employee.pwd")));
    EXPECT_EQ(texts(layoutReport(staff, rows, {})), QStringList{QString()});
    EXPECT_THROW(readReportRows(t.db, staff,
                                Formula::parse(QStringLiteral("{employee.PWD} = 'secret'")),
                                Formula()),
                 FormulaError);
    EXPECT_THROW(readReportRows(t.db,
                                ReportDefinition::parse(QStringLiteral("table: tawela_meta\n")),
                                Formula(), Formula()),
                 DefinitionError);
}

TEST_F(ReportEngineTest, ChoicesInsideADocument)
{
    t.db->exec(QStringLiteral("INSERT INTO chumnum (Policy_no, ref_no, Model, FakeProductUse, "
                              "FakeProduct) VALUES ('68-05-4-0012', 'A-1', 'แหวนทอง', 1, 'n/a')"));
    t.db->exec(QStringLiteral("UPDATE config_setting SET chumnum_autorun = 0, sanya_copy = 1"));
    const auto d = ReportDefinition::parse(QStringLiteral(
        "table: chumnum\njoin: config_setting\n[detail] height 30\n"
        "text 0 0 50 6: เลขที่ {if:config_setting.chumnum_autorun:chumnum.Policy_no:chumnum.ref_no}\n"
        "text 0 6 50 6: {if:chumnum.FakeProductUse:chumnum.FakeProduct:chumnum.Model}\n"
        "text 0 12 50 6: {first:c_name:chumnum.Ku_name:'ไม่ระบุชื่อ'}\n"
        "text 0 18 50 6 when=config_setting.sanya_copy: สำเนา\n"
        "text 0 24 50 6 unless=config_setting.sanya_copy: ต้นฉบับเท่านั้น\n"));
    auto shown = [&](const QStringList& values) {
        return texts(layoutReport(d, readReportRows(t.db, d, {}, {}), parseFormulaValues(values)));
    };
    EXPECT_EQ(shown({}), (QStringList{"เลขที่ A-1", "n/a", "ไม่ระบุชื่อ", "สำเนา"}));
    EXPECT_EQ(shown({QStringLiteral("c_name ='นายดี'")}).value(2), QStringLiteral("นายดี"));
    t.db->exec(QStringLiteral("UPDATE config_setting SET chumnum_autorun = 1, sanya_copy = 0"));
    t.db->exec(QStringLiteral("UPDATE chumnum SET FakeProductUse = 0, Ku_name = 'นางสาวใจ'"));
    EXPECT_EQ(shown({}), (QStringList{"เลขที่ 68-05-4-0012", "แหวนทอง", "นางสาวใจ", "ต้นฉบับเท่านั้น"}));
}

TEST(ReportOrder, NamesInThaiDictionaryOrderOnEitherEngine)
{
    test::TempDatabase t;
    for (const char* name : {"ขวด", "ไก่", "Banana", "เกม", "apple", "กา"})
        t.db->exec(QStringLiteral("INSERT INTO service (description) VALUES (?)"),
                   {QString::fromUtf8(name)});
    const ReportDefinition d = ReportDefinition::parse(
        QStringLiteral("table: service\norder: service.description\n[detail] height 6\n"
                       "text 0 0 40 6: {service.description}\n"));
    QStringList names;
    for (const ReportRow& row : readReportRows(t.db, d, Formula(), Formula()))
        names << row.value(QStringLiteral("service.description")).toString();
    // Leading vowels do not lead, letter case does not count.
    const QStringList thai = {"กา", "เกม", "ไก่", "ขวด"};
    EXPECT_EQ(names.mid(names.indexOf(QStringLiteral("กา")), 4), thai)
        << names.join(u',').toStdString();
    EXPECT_LT(names.indexOf(QStringLiteral("apple")), names.indexOf(QStringLiteral("Banana")));
}
