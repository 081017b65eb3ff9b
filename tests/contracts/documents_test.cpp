#include "contracts/documents.h"
#include "reports/formula.h"
#include "reports/report_engine.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;

namespace {

QStringList files(const QList<PrintJob>& jobs)
{
    QStringList out;
    for (const PrintJob& j : jobs)
        out << j.file;
    return out;
}

admin::Settings settings(const char* sanya, const char* tor, bool recvCopy, bool cityCall,
                         qint64 roll)
{
    admin::Settings s;
    s.sanyaCfg = QString::fromLatin1(sanya);
    s.torCfg = QString::fromLatin1(tor);
    s.recvCopy = recvCopy;
    s.cityCall = cityCall;
    s.receptPrinterSize = roll;
    return s;
}

} // namespace

TEST(Documents, NewContractBySanyaCfg)
{
    struct Case {
        const char* cfg;
        bool recvCopy;
        qint64 roll;
        QStringList expected;
    };
    const Case cases[] = {
        {"1", false, 58, {}},
        {"2", false, 58, {"sanya2.rpt"}},
        {"2", true, 58, {"sanya2_both.rpt"}},
        {"3", false, 58, {"sanya2_s58mm.rpt"}},
        {"3", false, 65, {"sanya2_s.rpt"}},
        {"3", true, 85, {"sanya2_s.rpt"}},
        {"4", true, 58, {"sanya3.rpt"}},
        {"5", false, 58, {}},
        {"", false, 58, {}},
    };
    for (const Case& c : cases) {
        const auto jobs = newContractDocuments(settings(c.cfg, "1", c.recvCopy, false, c.roll),
                                               QStringLiteral("68-05-4-0012"));
        EXPECT_EQ(files(jobs), c.expected) << c.cfg << " " << c.recvCopy << " " << c.roll;
        for (const PrintJob& j : jobs) {
            EXPECT_EQ(j.selection, QStringLiteral("{chumnum.Policy_no} = '68-05-4-0012'"));
            EXPECT_TRUE(j.values.isEmpty());
        }
    }
}

TEST(Documents, ReceiptsAndTheirCopies)
{
    struct Case {
        const char* setting;
        bool recvCopy, cityCall;
        qint64 roll;
        QStringList expected;
    };
    const Case cases[] = {
        {"1", true, true, 58, {}}, // numbered and stored, nothing printed, no copy
        {"3", false, false, 58, {"recv_short58mm.rpt"}},
        {"3", true, false, 58, {"recv_short58mm.rpt", "recv_short_copy.rpt"}},
        {"3", true, true, 65, {"recv_short.rpt", "recv_short_copy.rpt"}},
        {"2", false, false, 58, {"recv_1.rpt"}},
        {"2", true, false, 58, {"recv_1.rpt", "recv_1_copy.rpt"}},
        {"2", true, true, 58, {"recv_1_both.rpt"}},
        {"2", false, true, 58, {"recv_1.rpt"}},
        {"4", true, false, 58, {}}, // outside the codes: nothing at all
    };
    for (const Case& c : cases) {
        const auto jobs = receiptDocuments(
            QString::fromLatin1(c.setting), settings("1", "1", c.recvCopy, c.cityCall, c.roll),
            QStringLiteral("นายสมชาย O'Neil"), QStringLiteral("R15"));
        EXPECT_EQ(files(jobs), c.expected) << c.setting << c.recvCopy << c.cityCall << c.roll;
        for (const PrintJob& j : jobs) {
            EXPECT_EQ(j.selection, QStringLiteral("{service.recv_no} = 'R15'"));
            ASSERT_EQ(j.values.size(), 1);
            EXPECT_EQ(j.values[0], QStringLiteral("c_name ='นายสมชาย O''Neil'"));
            // The name reaches the report whole, apostrophe included.
            EXPECT_EQ(reports::parseFormulaValues(j.values).value(QStringLiteral("c_name")),
                      QStringLiteral("นายสมชาย O'Neil"));
        }
    }
}

TEST(Documents, RenewalDocumentAndReprint)
{
    EXPECT_EQ(files(renewalDocuments(settings("1", "1", false, false, 58), QStringLiteral("A"))),
              QStringList{});
    EXPECT_EQ(files(renewalDocuments(settings("1", "2", false, false, 58), QStringLiteral("A"))),
              QStringList{"TOR_A4.rpt"});
    EXPECT_EQ(files(renewalDocuments(settings("1", "3", false, false, 58), QStringLiteral("A"))),
              QStringList{"sanya2_tor58mm.rpt"});
    EXPECT_EQ(files(renewalDocuments(settings("1", "3", false, false, 85), QStringLiteral("A"))),
              QStringList{"sanya2_tor.rpt"});
    EXPECT_EQ(files(renewalDocuments(settings("1", "4", false, false, 58), QStringLiteral("A"))),
              QStringList{});

    EXPECT_EQ(firstTicked({}), Reprint::LargeTicket);
    EXPECT_EQ(firstTicked({Reprint::ShortRenewal, Reprint::RenewalCard}), Reprint::RenewalCard);
    EXPECT_EQ(firstTicked({Reprint::LargeTicket, Reprint::ContractForm}), Reprint::ContractForm);
    const admin::Settings s = settings("1", "1", true, false, 58);
    const PrintJob card = reprintDocument(Reprint::RenewalCard, s, QStringLiteral("ร้าน'ดี-1"));
    EXPECT_EQ(card.file, QStringLiteral("CARD.rpt"));
    EXPECT_EQ(card.kind, QStringLiteral("การ์ดต่อดอก"));
    EXPECT_EQ(card.name, QStringLiteral("การ์ดต่อดอก ร้าน'ดี-1"));
    // A number with an apostrophe is still a valid formula.
    EXPECT_NO_THROW(reports::Formula::parse(card.selection));
    EXPECT_EQ(reprintDocument(Reprint::LargeTicket, s, QStringLiteral("A")).file,
              QStringLiteral("sanya2_both.rpt"));
    EXPECT_EQ(reprintDocument(Reprint::ShortTicket, s, QStringLiteral("A")).kind,
              QStringLiteral("ใบขายฝากย่อ"));
    EXPECT_EQ(reprintDocument(Reprint::ShortRenewal, s, QStringLiteral("A")).file,
              QStringLiteral("sanya2_tor58mm.rpt"));
}
