#pragma once

#include "platform/decimal.h"
#include "platform/prompt.h"
#include "platform/report_request.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tawela::reports {

// "2024,3,7": a date as the report formulas' Date(…) takes it, plain
// numbers without leading zeros, Christian-era year.
QString formulaDate(const QDate& date);

// "รายงานสรุป เกี่ยวกับสัญญา": lists of contracts as of a reference date.
enum class ContractSummary {
    Overdue,        // "สัญญาเลยกำหนด"
    DueToday,       // "สัญญาครบกำหนดวันนี้"
    NotYetDue,      // "สัญญาที่ยังไม่ครบกำหนด"
    Open,           // "สัญญาที่เปิดอยู่ทั้งหมด"
    Closed,         // "สัญญาที่ปิดแล้วทั้งหมด"
    OpenedToday,    // "รายงานรับขายฝากวันนี้"
    RedeemedToday,  // "รายงานไถ่ถอนวันนี้"
    RenewedToday,   // "รายงานต่อดอกวันนี้"
    ForfeitedToday, // "รายงานสินค้าหลุดวันนี้"
    BeyondTheLaw, // "สัญญาที่เกินเพดานตามกฎหมาย"
};
struct ContractSummaryChoice {
    ContractSummary which;
    const char* name; // the choice's control name ("Option4")
    QString caption, file, title;
};
// The choices in the order they are tested.
const QList<ContractSummaryChoice>& contractSummaryChoices();
// The report of a choice as of a date: its file, selection, the date
// (value 0, "at_date") and the title (value 1, "head_title").
// "สัญญาที่เกินเพดานตามกฎหมาย" lists the open contracts whose fee for their
// term is above the yearly ceiling of their price, and those within 60 days
// of the last day the law lets them be redeemed (or past it).
struct LegalCeiling {
    platform::Decimal yearlyPercent = platform::Decimal::fromInt(15);
    qint64 years = 3;
};
platform::ReportRequest contractSummaryRequest(ContractSummary which, const QDate& at,
                                               const LegalCeiling& ceiling = {});
// The Printer_tb row contract summaries print on.
QString contractSummaryPrinterRow();

// "ดูรายงาน": income and expense summaries over a date range.
enum class MoneySummary {
    IncomeByDate, // "จัดกลุ่มตาม วันที่" under "รายงาน รับฝาก"
    IncomeByGroup, // "จัดกลุ่มตาม กลุ่มสินค้า" under "รายงาน รับฝาก"
    IncomeTable,   // "ตารางสรุปรายได้"
    SpendingByDate, // "จัดกลุ่มตาม วันที่" of the expenses
    SpendingByGroup,
    SpendingTable, // "ตารางสรุปรายจ่ายร้าน"
};
struct MoneySummaryChoice {
    MoneySummary which;
    const char* name;
    QString group, caption, file;
    bool income;
};
const QList<MoneySummaryChoice>& moneySummaryChoices();
// The captions shown without a report behind them, with their group.
struct InertChoice {
    QString group, caption;
};
const QList<InertChoice>& moneySummaryInertChoices();
// The report of a choice over the range (both ends included); the dates as
// shown go in values 0 and 1 ("from_date", "to_date").
platform::ReportRequest moneySummaryRequest(MoneySummary which, const QDate& from, const QDate& to);
QString moneySummaryPrinterRow();

using ReportSink = std::function<void(const platform::ReportRequest&)>;

// The screens' state: the date or range, the ticked choice, and "พิมพ์".
class ContractSummaryForm {
public:
    ContractSummaryForm(platform::Prompt& prompt, ReportSink print,
                        QDate today = QDate::currentDate())
        : at(today), m_prompt(prompt), m_print(std::move(print))
    {}
    QDate at;
    std::optional<ContractSummary> choice;
    LegalCeiling ceiling; // the shop's settings
    // False (said why) without a choice or a date.
    bool print();

private:
    platform::Prompt& m_prompt;
    ReportSink m_print;
};

class MoneySummaryForm {
public:
    MoneySummaryForm(platform::Prompt& prompt, ReportSink preview,
                     QDate today = QDate::currentDate())
        : from(today), to(today), m_prompt(prompt), m_preview(std::move(preview))
    {}
    QDate from, to;
    std::optional<MoneySummary> choice;
    // False (said why) without a choice, or when the range ends before it starts.
    bool print();

private:
    platform::Prompt& m_prompt;
    ReportSink m_preview;
};

} // namespace tawela::reports
