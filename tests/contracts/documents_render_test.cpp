#include "admin/settings.h"
#include "contracts/contract_store.h"
#include "contracts/documents.h"
#include "pdf_text.h"
#include "reports/default_reports.h"
#include "reports/report_runner.h"
#include "temp_home.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using platform::Decimal;
using test::letters;

namespace {

class DocumentsRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        config = home.setUp();
        reports::installMissingReports(config.dataFolder);
        connections.open(config);
        auto main = connections.main();
        admin::Settings s = admin::loadSettings(main);
        s.companyName = QStringLiteral("ร้านทองเจริญ");
        s.address1 = QStringLiteral("99 ถนนมิตรภาพ ขอนแก่น");
        s.tel = QStringLiteral("043-123456");
        s.taxNo = QStringLiteral("0405551234567");
        s.chumnumRun = 12;
        admin::saveSettings(main, s);

        ContractStore store(main);
        SaveRequest r;
        r.isNew = true;
        r.mode = OperationMode::NewContract;
        r.startedOn = QDate(2025, 5, 14);
        r.startedWithRun = 12;
        Contract& c = r.contract;
        c.policyNo = contractNumber(r.startedOn, 12);
        c.refNo = QStringLiteral("A-77");
        c.principal = Decimal::fromInt(10000);
        c.rate = *Decimal::parse(QStringLiteral("1.25"));
        c.interest = Decimal::fromInt(375);
        c.payout = Decimal::fromInt(10000);
        c.redemption = Decimal::fromInt(10375);
        c.contractDate = QDate(2025, 5, 14);
        c.days = 90;
        c.dueDate = QDate(2025, 8, 12);
        c.kuName = QStringLiteral("นายสมชาย ใจดี");
        c.kuId = QStringLiteral("1234567890121");
        c.kuAddress = QStringLiteral("9 หมู่ 2 ตำบลในเมือง");
        c.object = QStringLiteral("ทองคำ");
        c.model = QStringLiteral("สร้อยคอทองคำ หนัก 1 บาท");
        c.witness1 = QStringLiteral("นางสาวพยาน หนึ่ง");
        policyNo = store.save(r).policyNo;

        SaveRequest renew;
        renew.contract = *store.find(policyNo);
        renew.mode = OperationMode::Renewal;
        RenewalLine l;
        l.lineNo = 1;
        l.fee = Decimal::fromInt(375);
        l.total = l.fee;
        l.from = QDate(2025, 8, 12);
        l.due = QDate(2025, 11, 10);
        renew.lines = {l};
        renew.receiptTotal = Decimal::fromInt(375);
        renew.employeeName = QStringLiteral("สมศรี");
        renew.now = QDateTime(QDate(2025, 8, 12), QTime(10, 30));
        receiptNo = store.save(renew).receiptNo;
    }

    QString renderText(const QString& file, const QString& selection,
                       const QStringList& values = {})
    {
        PrintJob job;
        job.file = file;
        job.selection = selection;
        job.values = values;
        const QString pdf = home.file(job.file + QStringLiteral(".pdf"));
        reports::ReportRunner(config.dataFolder, connections.main(), connections.customer())
            .renderToPdf(job, pdf);
        if (const QString keep = qEnvironmentVariable("TAWELA_SCREENSHOTS"); !keep.isEmpty()) {
            QFile::remove(keep + u'/' + job.file + QStringLiteral(".pdf"));
            QFile::copy(pdf, keep + u'/' + job.file + QStringLiteral(".pdf"));
        }
        return letters(test::pdfText(pdf));
    }

    test::TempHome home;
    app::AppConfig config;
    app::Connections connections;
    QString policyNo, receiptNo;
};

} // namespace

TEST_F(DocumentsRender, EveryContractDocument)
{
    for (const char* file :
         {"sanya2.rpt", "sanya2_both.rpt", "sanya2_s.rpt", "sanya2_s58mm.rpt", "sanya3.rpt",
          "CARD.rpt", "TOR_A4.rpt", "sanya2_tor.rpt", "sanya2_tor58mm.rpt"}) {
        SCOPED_TRACE(file);
        const QString text = renderText(QLatin1String(file), contractSelection(policyNo));
        EXPECT_TRUE(text.contains(letters(QStringLiteral("68-05-4-0012")))) << text.toStdString();
        EXPECT_TRUE(text.contains(letters(QStringLiteral("นายสมชาย ใจดี"))));
        EXPECT_TRUE(text.contains(letters(QStringLiteral("10,000.00"))));
    }
    const QString form = renderText(QStringLiteral("sanya3.rpt"), contractSelection(policyNo));
    EXPECT_TRUE(form.contains(letters(QStringLiteral("หนึ่งหมื่นบาทถ้วน"))));
    EXPECT_TRUE(form.contains(letters(QStringLiteral("12 สิงหาคม 2568"))));
    EXPECT_TRUE(form.contains(letters(QStringLiteral("ร้านทองเจริญ"))));
    const QString card = renderText(QStringLiteral("CARD.rpt"), contractSelection(policyNo));
    EXPECT_TRUE(card.contains(letters(QStringLiteral("10/11/2568"))));
    EXPECT_TRUE(card.contains(letters(QStringLiteral("รวม 1 ครั้ง"))));

    // With the automatic number off the documents show the shop's own number.
    connections.main()->exec(QStringLiteral("UPDATE config_setting SET chumnum_autorun = 0"));
    const QString own = renderText(QStringLiteral("sanya2.rpt"), contractSelection(policyNo));
    EXPECT_TRUE(own.contains(QStringLiteral("A-77")));
}

TEST_F(DocumentsRender, TheTicketsCarryThePayoffTableWhenItIsHandedOver)
{
    const QList<RateRow> late = {{7, *Decimal::parse(QStringLiteral("3"))},
                                 {15, *Decimal::parse(QStringLiteral("5"))}};
    const QStringList payoff =
        payoffValues(payoffTable(admin::InterestMode::ActualDays, false, QDate(2025, 8, 12),
                                 Decimal::fromInt(10000), Decimal::fromInt(10375), late, 3),
                     Decimal::fromInt(375));
    for (const char* file : {"sanya2.rpt", "sanya2_both.rpt", "sanya2_s.rpt", "sanya2_s58mm.rpt"}) {
        SCOPED_TRACE(file);
        // A shop that turned the table off, or a caller that hands nothing over.
        EXPECT_FALSE(renderText(QLatin1String(file), contractSelection(policyNo))
                         .contains(letters(QStringLiteral("ยอดไถ่ถอนตามวันที่"))));
        const QString text = renderText(QLatin1String(file), contractSelection(policyNo), payoff);
        for (const char* part : {"ยอดไถ่ถอนตามวันที่", "375.00", "12/08/2568", "10,375.00",
                                 "31/08/2568", "10,692.00", "31/10/2568", "11,708.00"})
            EXPECT_TRUE(text.contains(letters(QString::fromUtf8(part)))) << part;
    }
}

TEST_F(DocumentsRender, TicketsFormsAndReceiptsCarryTheirNumberAsACode128ThatDecodes)
{
    const std::pair<const char*, QString> documents[] = {
        {"sanya2_s.rpt", policyNo},         {"sanya2_s58mm.rpt", policyNo},
        {"sanya2_tor.rpt", policyNo},       {"sanya2_tor58mm.rpt", policyNo},
        {"recv_short.rpt", receiptNo},      {"recv_short58mm.rpt", receiptNo},
        {"recv_short_copy.rpt", receiptNo}, {"sanya3.rpt", policyNo},
        {"TOR_A4.rpt", policyNo},           {"recv_1.rpt", receiptNo},
        {"recv_1_copy.rpt", receiptNo},
    };
    ASSERT_FALSE(receiptNo.isEmpty());
    for (const auto& [file, number] : documents) {
        SCOPED_TRACE(file);
        const bool receipt = QLatin1String(file).startsWith(QLatin1String("recv"));
        const QString text = renderText(QLatin1String(file), receipt ? receiptSelection(number)
                                                                     : contractSelection(number));
        EXPECT_TRUE(text.contains(letters(number))); // the number under its code
        EXPECT_EQ(test::pdfBarcodes(home.file(QLatin1String(file) + QStringLiteral(".pdf"))),
                  QStringList{QStringLiteral("CODE-128:") + number});
    }
    // The original and its copy on one sheet (the reader names a symbol once a page).
    renderText(QStringLiteral("recv_1_both.rpt"), receiptSelection(receiptNo));
    EXPECT_EQ(test::pdfBarcodes(home.file(QStringLiteral("recv_1_both.rpt.pdf"))),
              QStringList{QStringLiteral("CODE-128:") + receiptNo});
}

TEST_F(DocumentsRender, TheGoodsTagFitsItsLabelAndPrintsWhenTheSettingsSaySo)
{
    // Long names and goods are set smaller and cut, never off the label.
    connections.main()->exec(
        QStringLiteral("UPDATE chumnum SET Ku_name = ?, Model = ?"),
        {QStringLiteral("นางสาวสมศรีสุดาพรรณ ศรีสวัสดิ์วงศ์ตระกูลใหญ่ยิ่ง"),
         QStringLiteral("สร้อยคอทองคำลายสี่เสาพร้อมจี้พระสมเด็จวัดระฆังเลี่ยมทองกันน้ำ หนัก 2 บาท")});
    const QString text = renderText(QStringLiteral("tag.rpt"), contractSelection(policyNo));
    EXPECT_TRUE(text.contains(letters(QStringLiteral("10,000.00"))));
    const QString pdf = home.file(QStringLiteral("tag.rpt.pdf"));
    EXPECT_EQ(test::pdfBarcodes(pdf), QStringList{QStringLiteral("CODE-128:") + policyNo});
    EXPECT_TRUE(test::pdfWords(pdf, 2).isEmpty()); // one label
    const QList<test::PdfWord> words = test::pdfWords(pdf, 1);
    ASSERT_FALSE(words.isEmpty());
    for (const test::PdfWord& w : words)
        EXPECT_TRUE(w.box.left() >= 0 && w.box.top() >= 0 && w.box.right() <= 50 &&
                    w.box.bottom() <= 30)
            << w.text.toStdString();

    admin::Settings s = admin::loadSettings(connections.main());
    s.sanyaCfg = QStringLiteral("3");
    EXPECT_EQ(newContractDocuments(s, policyNo).size(), 1);
    s.printTag = true;
    const QList<PrintJob> jobs = newContractDocuments(s, policyNo);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(jobs[1].file, QStringLiteral("tag.rpt"));
    EXPECT_EQ(jobs[1].kind, QStringLiteral("ป้ายสินค้า"));
    EXPECT_EQ(reprintDocument(Reprint::GoodsTag, s, policyNo).file, QStringLiteral("tag.rpt"));
}

TEST_F(DocumentsRender, EveryReceipt)
{
    ASSERT_EQ(receiptNo, QStringLiteral("R1"));
    for (const char* file : {"recv_1.rpt", "recv_1_both.rpt", "recv_1_copy.rpt", "recv_short.rpt",
                             "recv_short58mm.rpt", "recv_short_copy.rpt"}) {
        SCOPED_TRACE(file);
        const QString text = renderText(QLatin1String(file), receiptSelection(receiptNo),
                                        {customerNameValue(QStringLiteral("นายสมชาย O'Neil"))});
        EXPECT_TRUE(text.contains(QStringLiteral("R1"))) << text.toStdString();
        EXPECT_TRUE(text.contains(letters(QStringLiteral("นายสมชาย O'Neil"))));
        EXPECT_TRUE(text.contains(letters(QStringLiteral("สามร้อยเจ็ดสิบห้าบาทถ้วน"))));
        EXPECT_TRUE(text.contains(QStringLiteral("375.00")));
        const bool copy = QString::fromLatin1(file).contains(QStringLiteral("copy")) ||
                          QString::fromLatin1(file).contains(QStringLiteral("both"));
        EXPECT_EQ(text.contains(letters(QStringLiteral("สำเนา"))), copy);
    }
}

namespace {

// The area a text really covers on paper: as wide as its widest line, where
// its alignment puts it, and as high as its wrapped lines; and the height of
// one of its lines.
struct Inked {
    QRectF area;
    double line;
};

Inked inked(const reports::DrawOp& op)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(int(1200 / 0.0254));
    device.setDotsPerMeterY(int(1200 / 0.0254));
    const QFontMetricsF fm(op.font, &device);
    const double mm = 25.4 / 1200;
    const QRectF r =
        fm.boundingRect(QRectF(0, 0, op.rect.width() / mm, 1e7), Qt::TextWordWrap, op.text);
    const double w = std::min(op.rect.width(), r.width() * mm);
    double x = op.rect.x();
    if (op.align & Qt::AlignRight)
        x = op.rect.right() - w;
    else if (op.align & Qt::AlignHCenter)
        x = op.rect.center().x() - w / 2;
    return {QRectF(x, op.rect.y(), w, r.height() * mm), fm.height() * mm};
}

} // namespace

TEST_F(DocumentsRender, LongDataNeverPrintsOverWhatStandsBelow)
{
    const QString longText =
        QStringLiteral("บ้านเลขที่ 123/45 หมู่บ้านสวนทองวิลล่า ซอยประชาอุทิศ 12 ถนนประชาอุทิศ "
                       "แขวงราษฎร์บูรณะ เขตราษฎร์บูรณะ กรุงเทพมหานคร 10140 ใกล้ตลาดนัดวันเสาร์ "
                       "ตรงข้ามโรงเรียนวัดราษฎร์บูรณะ ")
            .repeated(2)
            .left(200);
    auto main = connections.main();
    main->exec(QStringLiteral("UPDATE chumnum SET Ku_address = ?, Model = ?, Ku_name = ?, "
                              "address1 = ?, address2 = ?, Company_name = ?"),
               QVariantList{longText, QString(longText.left(199) + u'!'),
                            QStringLiteral("นางสาวสมศรีสุดาพรรณ ศรีสวัสดิ์วงศ์ตระกูลใหญ่ยิ่ง"),
                            longText.left(90), longText.mid(90, 60),
                            QStringLiteral("ห้างทองเจริญรุ่งเรืองทรัพย์มั่งมีศรีสุข สาขาขอนแก่น")});
    main->exec(QStringLiteral("UPDATE config_setting SET address1 = ?, address2 = ?"),
               QVariantList{longText.left(90), longText.mid(90, 60)});
    const reports::ReportRunner runner(config.dataFolder, connections.main(),
                                       connections.customer());
    const std::pair<const char*, QString> documents[] = {
        {"sanya2.rpt", contractSelection(policyNo)},
        {"sanya2_both.rpt", contractSelection(policyNo)},
        {"sanya2_s.rpt", contractSelection(policyNo)},
        {"sanya2_s58mm.rpt", contractSelection(policyNo)},
        {"sanya3.rpt", contractSelection(policyNo)},
        {"CARD.rpt", contractSelection(policyNo)},
        {"TOR_A4.rpt", contractSelection(policyNo)},
        {"sanya2_tor.rpt", contractSelection(policyNo)},
        {"sanya2_tor58mm.rpt", contractSelection(policyNo)},
        {"recv_1.rpt", receiptSelection(receiptNo)},
        {"recv_1_both.rpt", receiptSelection(receiptNo)},
        {"recv_1_copy.rpt", receiptSelection(receiptNo)},
        {"recv_short.rpt", receiptSelection(receiptNo)},
        {"recv_short58mm.rpt", receiptSelection(receiptNo)},
        {"recv_short_copy.rpt", receiptSelection(receiptNo)},
    };
    // The payoff table is on the tickets as a new contract prints them.
    const QStringList payoff =
        payoffValues(payoffTable(admin::InterestMode::ActualDays, false, QDate(2025, 8, 12),
                                 Decimal::fromInt(10000), Decimal::fromInt(10375), {}, 3),
                     Decimal::fromInt(375));
    for (const auto& [file, selection] : documents) {
        SCOPED_TRACE(file);
        const reports::LaidOutReport laid =
            runner.build({QLatin1String(file), selection, payoff, {}, {}, {}});
        for (const auto& page : laid.pages) {
            QList<Inked> texts;
            QStringList what;
            for (const auto& op : page)
                if (op.kind == reports::DrawOp::Kind::Text && !op.text.trimmed().isEmpty()) {
                    texts << inked(op);
                    what << QStringLiteral("%1 [%2 %3 %4 %5]")
                                .arg(op.text.left(30))
                                .arg(op.rect.x())
                                .arg(op.rect.y())
                                .arg(op.rect.width())
                                .arg(op.rect.height());
                }
            for (qsizetype i = 0; i < texts.size(); ++i)
                for (qsizetype j = i + 1; j < texts.size(); ++j) {
                    // A line's box reaches a little below its letters (the
                    // font's descent and leading); a line printed over
                    // another overlaps by far more than that.
                    const QRectF both = texts[i].area.intersected(texts[j].area);
                    EXPECT_FALSE(both.width() > 0.3 &&
                                 both.height() > 0.5 * std::min(texts[i].line, texts[j].line))
                        << "texts " << i << " and " << j << " overlap at y " << both.y() << ": "
                        << what[i].toStdString() << " / " << what[j].toStdString() << " ink "
                        << texts[i].area.height();
                }
        }
    }
}

TEST_F(DocumentsRender, ARenewalCardWithoutRenewalsStillShowsTheContract)
{
    connections.main()->exec(QStringLiteral("DELETE FROM chumnum_tor"));
    const QString card = renderText(QStringLiteral("CARD.rpt"), contractSelection(policyNo));
    EXPECT_TRUE(card.contains(letters(QStringLiteral("68-05-4-0012")))) << card.toStdString();
    EXPECT_TRUE(card.contains(letters(QStringLiteral("นายสมชาย ใจดี"))));
    EXPECT_TRUE(card.contains(letters(QStringLiteral("ร้านทองเจริญ"))));
    EXPECT_TRUE(card.contains(letters(QStringLiteral("รวม 0 ครั้ง"))));
}
