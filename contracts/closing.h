#pragma once

#include "admin/settings.h"
#include "contracts/rate_tables.h"

#include <QDate>
#include <QString>

#include <optional>

namespace tawela::contracts {

// The surcharge for a late closing or the discount for an early one.
struct ClosingCharge {
    Decimal amount;                 // positive: surcharge; negative: discount
    std::optional<QString> caption; // nothing: the caption stays as it was
    qint64 stepDays = 0;            // k: the duration of the row looked up last
    bool noLateRates = false;       // late, but the fee table has no rows
};

// Days after the due date (negative: before it) give a surcharge from
// fee_tableN or, with clearEmployee, a discount from deduct_tableN; the
// mode decides how the days count. Rounds to whole baht, halves to even.
// previousStep is k before this lookup; an empty table leaves it.
ClosingCharge closingCharge(admin::InterestMode mode, bool clearEmployee, qint64 days,
                            Decimal principal, const QList<RateRow>& feeRows,
                            const QList<RateRow>& deductRows, qint64 previousStep);

// "ยอดไถ่ถอนตามวันที่": what a redemption asks on the due date and at each
// of the next `monthEnds` month-ends after it, by the closing rules (the
// redemption amount and the surcharge for the days late). Nothing when
// `monthEnds` is 0 or the due date is not known.
struct PayoffRow {
    QDate date;
    qint64 daysLate = 0;
    Decimal total;
};
QList<PayoffRow> payoffTable(admin::InterestMode mode, bool clearEmployee, const QDate& due,
                             Decimal principal, Decimal redemption, const QList<RateRow>& feeRows,
                             qint64 monthEnds);

// The redemption panel, which forfeiture uses with its own title. Figures
// are held as typed; they are read by their leading number.
struct ClosingPanel {
    enum class Kind { Redemption, Forfeiture };
    static QString defaultCaption() { return QStringLiteral("ส่วนเพิ่ม(ลด)"); }

    bool visible = false;
    bool readOnly = false; // a closed contract's figures, question and buttons hidden
    Kind kind = Kind::Redemption;
    QString title, question;
    QDate date;      // redemption or forfeiture date
    QDate dueDate;   // of the current term
    QDate termStart; // of the current term
    QString days, amount, surcharge, penalty, discount, total;
    QString caption = defaultCaption();
    qint64 stepDays = 0;
    QString lawfulTotal; // the total "ใช้ยอดตามกฎหมาย" set (the receipt says so while it stands)

    // total = amount + surcharge + penalty − discount
    void recomputeTotal();
};

// A figure of a renewal that cannot be kept: a fee, penalty or discount
// below zero, or a discount larger than what the renewal collects (a
// receipt for less than nothing). Names the field and, for the discount,
// the largest one allowed.
enum class RenewalFigure { Fee, Penalty, Discount, Total, DueDate };
struct RefusedFigure {
    RenewalFigure field;
    QString message;
};
std::optional<RefusedFigure> refusedRenewalFigures(const QString& fee, const QString& penalty,
                                                   const QString& discount, const QString& total,
                                                   const QString& principal = QStringLiteral("0"));

// The "ต่อดอก" panel.
struct RenewalPanel {
    bool visible = false;
    QString renewalNo, fee, penalty = QStringLiteral("0"), discount = QStringLiteral("0"), total;
    QString principal = QStringLiteral("0");
    QDate currentDue, newDue, renewalDate;
    QString dayCaption;

    // total = principal + fee + penalty − discount
    void recomputeTotal();
};

// "แก้ไขรายการต่อดอก": one row of the history being corrected.
struct RenewalEditPanel {
    bool visible = false;
    int row = -1;
    QString renewalNo, fee, penalty, discount, total;
    QDate renewalDate, dueDate;
    Decimal takenFromPending; // the row's total, given back on "ไม่แก้ไข"

    // total = fee + penalty − discount
    void recomputeTotal();
};

// The delete confirmation.
struct DeletePanel {
    bool visible = false;
};

} // namespace tawela::contracts
