#include "reports/summaries.h"

#include "text/thai_text.h"

namespace tawela::reports {

namespace {

using S = ContractSummary;
using M = MoneySummary;

QString quotedValue(const char* name, const QString& value)
{
    return QLatin1String(name) + QStringLiteral(" = ") + platform::formulaText(value);
}

QString selectionOf(S which, const QDate& at, const LegalCeiling& ceiling)
{
    const QString d = formulaDate(at);
    const QString date = QStringLiteral("DateValue(") + d + u')';
    const QString open = QStringLiteral(" and {chumnum.P_status} = true");
    switch (which) {
    case S::Overdue:
        return QStringLiteral("DateValue({chumnum.L_returndate}) < ") + date + open;
    case S::DueToday:
        return QStringLiteral("DateValue({chumnum.L_returndate}) = ") + date + open;
    case S::NotYetDue:
        return QStringLiteral("DateValue({chumnum.L_returndate}) >= ") + date + open;
    case S::Open:
        return QStringLiteral("{chumnum.P_status} = true");
    case S::Closed:
        return QStringLiteral("{chumnum.P_status} = false");
    case S::OpenedToday:
        return QStringLiteral("DateValue({chumnum.Policy_date}) = ") + date;
    case S::RedeemedToday:
        return QStringLiteral("DateValue({chumnum.close_date}) = ") + date +
               QStringLiteral(" and {chumnum.over_due} = FALSE");
    case S::RenewedToday:
        return QStringLiteral("DateValue({chumnum_tor.fak_date}) = ") + date;
    case S::ForfeitedToday:
        return QStringLiteral("DateValue({chumnum.close_date}) = ") + date +
               QStringLiteral(" and {chumnum.over_due} = TRUE");
    case S::BeyondTheLaw: {
        // The fee over what was paid out, a year of 365 days; the contract
        // dates whose last lawful day falls within 60 days.
        const QDate made = at.addDays(60).addYears(-int(ceiling.years));
        return QStringLiteral("{chumnum.P_status} = true and ({chumnum.Interest_rate} * 36500 / "
                              "({chumnum.amount3} * {chumnum.total_day}) > ") +
               ceiling.yearlyPercent.toString() +
               QStringLiteral(" or DateValue({chumnum.Policy_date}) <= DateValue(") +
               formulaDate(made) + QStringLiteral("))");
    }
    }
    return {};
}

} // namespace

QString formulaDate(const QDate& date)
{
    return QStringLiteral("%1,%2,%3").arg(date.year()).arg(date.month()).arg(date.day());
}

const QList<ContractSummaryChoice>& contractSummaryChoices()
{
    static const QList<ContractSummaryChoice> choices = {
        {S::Overdue, "Option4", QStringLiteral("สัญญาเลยกำหนด"), QStringLiteral("sanya4.rpt"),
         QStringLiteral("สัญญาเลยกำหนด")},
        {S::DueToday, "Option5", QStringLiteral("สัญญาครบกำหนดวันนี้"), QStringLiteral("sanya4.rpt"),
         QStringLiteral("สัญญาครบกำหนดวันนี้")},
        {S::NotYetDue, "Option9", QStringLiteral("สัญญาที่ยังไม่ครบกำหนด"), QStringLiteral("sanya4.rpt"),
         QStringLiteral("สัญญาที่ยังไม่เลยกำหนด")},
        {S::Open, "Option6", QStringLiteral("สัญญาที่เปิดอยู่ทั้งหมด"), QStringLiteral("sanya4.rpt"),
         QStringLiteral("สัญญาเปิดอยู่ทั้งหมด")},
        {S::Closed, "Option7", QStringLiteral("สัญญาที่ปิดแล้วทั้งหมด"), QStringLiteral("closed.rpt"),
         QStringLiteral("สัญญาปิดแล้วทั้งหมด")},
        {S::OpenedToday, "Option8", QStringLiteral("รายงานรับขายฝากวันนี้"),
         QStringLiteral("sanya4.rpt"), QStringLiteral("รายงานรับขายฝากวันนี้")},
        {S::RedeemedToday, "Option10", QStringLiteral("รายงานไถ่ถอนวันนี้"), QStringLiteral("tai.rpt"),
         QStringLiteral("รายงานไถ่ถอนวันนี้")},
        {S::RenewedToday, "Option15", QStringLiteral("รายงานต่อดอกวันนี้"), QStringLiteral("tor.rpt"),
         QStringLiteral("รายงานต่อดอกวันนี้")},
        {S::ForfeitedToday, "Option16", QStringLiteral("รายงานสินค้าหลุดวันนี้"),
         QStringLiteral("closed.rpt"), QStringLiteral("รายงานของหลุดวันนี้")},
        {S::BeyondTheLaw, "OptionLegal", QStringLiteral("สัญญาที่เกินเพดานตามกฎหมาย"),
         QStringLiteral("sanya4.rpt"), QStringLiteral("สัญญาที่เกินเพดานตามกฎหมาย")},
    };
    return choices;
}

platform::ReportRequest contractSummaryRequest(ContractSummary which, const QDate& at,
                                               const LegalCeiling& ceiling)
{
    platform::ReportRequest r;
    for (const ContractSummaryChoice& c : contractSummaryChoices())
        if (c.which == which) {
            r.file = c.file;
            r.name = c.title;
            r.values = {quotedValue("at_date", text::thaiLongDate(at)),
                        quotedValue("head_title", c.title)};
        }
    r.selection = selectionOf(which, at, ceiling);
    r.kind = contractSummaryPrinterRow();
    return r;
}

QString contractSummaryPrinterRow()
{
    return QStringLiteral("รายงานสรุปสัญญา");
}

const QList<MoneySummaryChoice>& moneySummaryChoices()
{
    const QString income = QStringLiteral("รายงาน รับฝาก");
    const QString spending = QStringLiteral("รายงาน รายจ่ายร้าน");
    const QString tables = QStringLiteral("ตารางสรุป");
    static const QList<MoneySummaryChoice> choices = {
        {M::IncomeByDate, "Option1", income, QStringLiteral("จัดกลุ่มตาม วันที่"),
         QStringLiteral("D_daily.rpt"), true},
        {M::IncomeByGroup, "Option2", income, QStringLiteral("จัดกลุ่มตาม กลุ่มสินค้า"),
         QStringLiteral("D_jobly.rpt"), true},
        {M::IncomeTable, "Option4", tables, QStringLiteral("ตารางสรุปรายได้"),
         QStringLiteral("sum_all.rpt"), true},
        {M::SpendingByDate, "Option9", spending, QStringLiteral("จัดกลุ่มตาม วันที่"),
         QStringLiteral("spending_byDate.rpt"), false},
        {M::SpendingByGroup, "Option10", spending, QStringLiteral("จัดกลุ่มตาม กลุ่มสินค้า"),
         QStringLiteral("spending_byGroup.rpt"), false},
        {M::SpendingTable, "Option7", tables, QStringLiteral("ตารางสรุปรายจ่ายร้าน"),
         QStringLiteral("sum_spending.rpt"), false},
    };
    return choices;
}

const QList<InertChoice>& moneySummaryInertChoices()
{
    const QString closing = QStringLiteral("รายงาน ต่อดอก ไถ่ถอน");
    const QString stock = QStringLiteral("รายงานสต๊อก");
    static const QList<InertChoice> inert = {
        {closing, QStringLiteral("รายงานไถ่ถอน")},
        {closing, QStringLiteral("รายงานต่อดอก")},
        {stock, QStringLiteral("รายงานสต๊อก จัดกลุ่มตามสินค้า")},
        {stock, QStringLiteral("รายงานสินค้าเคลื่อนไหว")},
        {stock, QStringLiteral("รายงานสต๊อก จัดกลุ่มตามวันที่")},
        {stock, QStringLiteral("จ่ายสินค้าออกประจำวัน")},
        {stock, QStringLiteral("รับสินค้าเข้า ประจำวัน")},
    };
    return inert;
}

platform::ReportRequest moneySummaryRequest(MoneySummary which, const QDate& from, const QDate& to)
{
    platform::ReportRequest r;
    for (const MoneySummaryChoice& c : moneySummaryChoices())
        if (c.which == which) {
            r.file = c.file;
            r.name = c.caption;
            r.selection = (c.income ? QStringLiteral("{service.s_date}")
                                    : QStringLiteral("{spending.s_date}")) +
                          QStringLiteral(" in Date (") + formulaDate(from) +
                          QStringLiteral(") to Date (") + formulaDate(to) + u')';
        }
    r.values = {quotedValue("from_date", text::buddhistDateText(from)),
                quotedValue("to_date", text::buddhistDateText(to))};
    r.kind = moneySummaryPrinterRow();
    return r;
}

QString moneySummaryPrinterRow()
{
    return QStringLiteral("รายงานสรุป รับ-จ่าย");
}

bool ContractSummaryForm::print()
{
    if (!choice) {
        m_prompt.plain(QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
        return false;
    }
    if (!at.isValid()) {
        m_prompt.plain(QStringLiteral("ใส่วันที่ก่อน"));
        return false;
    }
    if (m_print)
        m_print(contractSummaryRequest(*choice, at, ceiling));
    return true;
}

bool MoneySummaryForm::print()
{
    if (!choice) {
        m_prompt.plain(QStringLiteral("เลือกรายงานที่จะพิมพ์ก่อน"));
        return false;
    }
    if (!from.isValid() || !to.isValid()) {
        m_prompt.plain(QStringLiteral("ใส่วันที่ทั้งสองช่องก่อน"));
        return false;
    }
    if (to < from) {
        m_prompt.plain(QStringLiteral("\"ถึงวันที่\" ต้องไม่ก่อน \"ตั้งแต่วันที่\""));
        return false;
    }
    if (m_preview)
        m_preview(moneySummaryRequest(*choice, from, to));
    return true;
}

} // namespace tawela::reports
