// The contract screen's commands on a shown contract: renewal and its
// history, redemption and forfeiture, deletion and reprint.
#include "contracts/contract_form.h"

#include "platform/db/db_error.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::DbError;

// Renewal -----------------------------------------------------------------

std::pair<QDate, QDate> ContractForm::currentTerm() const
{
    if (lines.isEmpty())
        return {contract.contractDate, contract.dueDate};
    return {lines.last().from, lines.last().due};
}

bool ContractForm::historyFull()
{
    if (lines.size() < MaxRenewals)
        return false;
    m_prompt.stop(QStringLiteral("สัญญานี้ต่อดอกครบ ") + QString::number(MaxRenewals) +
                  QStringLiteral(" ครั้งแล้ว ต่อดอกเพิ่มไม่ได้ กรุณาปิดสัญญานี้แล้วเปิดสัญญาใหม่"));
    return true;
}

bool ContractForm::openRenewal(const QDate& today)
{
    if (historyFull() || !stillAsStored())
        return false;
    const auto [start, due] = currentTerm();
    if (!start.isValid() || !due.isValid()) {
        m_prompt.error(QStringLiteral("วันที่ของงวดปัจจุบันไม่ถูกต้อง"));
        return false;
    }
    renewal.visible = true;
    renewal.principal = QStringLiteral("0");
    renewal.renewalDate = today;
    renewal.dayCaption =
        QStringLiteral("จำนวนวันฝากนับถึงปัจจุบัน = ") + QString::number(start.daysTo(today));
    renewal.fee = contract.interest.toString();
    // The penalty and discount typed last time stay in the panel, so the
    // total counts them too: the row then adds up as shown.
    renewal.recomputeTotal();
    renewal.currentDue = due;
    renewal.newDue = due.addDays(contract.days);
    if (isOverdue(due, m_settings.relaxDay, today) &&
        !m_prompt.askYesNo(QStringLiteral("สัญญาเกินกำหนด ต้องการต่อดอกหรือไม่ ?"))) {
        renewal.visible = false;
        return false;
    }
    renewal.renewalNo = QString::number(lines.size() + 1);
    m_operationBeforePanel = operation;
    operation = OperationMode::Renewal;
    return true;
}

void ContractForm::cancelRenewal()
{
    // A cancelled panel leaves no trace: the save writes what it would have.
    if (renewal.visible)
        operation = m_operationBeforePanel;
    renewal.visible = false;
}

void ContractForm::cancelClosing()
{
    if (closing.visible && !closing.readOnly)
        operation = m_operationBeforePanel;
    closing.visible = false;
}

namespace {

Decimal leading(const QString& text)
{
    return Decimal::parseLeading(text);
}

RenewalLine lineFrom(const QString& renewalNo, const QString& fee, const QString& penalty,
                     const QString& discount, const QString& total, const QDate& renewalDate,
                     const QDate& dueDate)
{
    RenewalLine l;
    l.lineNo = leading(renewalNo).truncatedToInt();
    l.fee = leading(fee);
    l.surcharge = leading(penalty);
    l.discount = leading(discount);
    l.total = leading(total);
    l.from = renewalDate;
    l.due = dueDate;
    return l;
}

} // namespace

bool ContractForm::confirmRenewal()
{
    if (!renewal.visible || historyFull() || !stillAsStored())
        return false;
    if (!renewal.newDue.isValid() || !renewal.renewalDate.isValid()) {
        m_prompt.stop(QStringLiteral("วันที่ไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"));
        return false;
    }
    if (!figuresKept(renewal.fee, renewal.penalty, renewal.discount, renewal.total,
                     renewal.principal))
        return false;
    lines << lineFrom(renewal.renewalNo, renewal.fee, renewal.penalty, renewal.discount,
                      renewal.total, renewal.renewalDate, renewal.newDue);
    ++m_unsavedRenewals;
    // The due date moves by the agreed term; the term, its fee and the
    // redemption amount stay as agreed. (Recomputing from the deposit date
    // would make each renewal charge the whole time again.)
    m_calc->termMoved(renewal.newDue);
    renewal.visible = false;
    pendingTotal += leading(renewal.total);
    return true;
}

void ContractForm::editRenewal(int row)
{
    if (row < 0 || row >= lines.size())
        return;
    const RenewalLine& l = lines[row];
    renewalEdit = RenewalEditPanel{};
    renewalEdit.visible = true;
    renewalEdit.row = row;
    renewalEdit.renewalNo = l.lineNo > 0 ? QString::number(l.lineNo) : QString();
    renewalEdit.fee = l.fee.toString();
    renewalEdit.penalty = l.surcharge.toString();
    renewalEdit.discount = l.discount.toString();
    renewalEdit.total = l.total.toString();
    renewalEdit.renewalDate = l.from;
    renewalEdit.dueDate = l.due;
    renewalEdit.takenFromPending = l.total;
    pendingTotal -= l.total;
}

bool ContractForm::figuresKept(const QString& fee, const QString& penalty, const QString& discount,
                               const QString& total, const QString& principal)
{
    refusedFigure.reset();
    if (const auto refused = refusedRenewalFigures(fee, penalty, discount, total, principal)) {
        m_prompt.stop(refused->message);
        refusedFigure = refused->field;
        return false;
    }
    return true;
}

bool ContractForm::applyRenewalEdit()
{
    if (!renewalEdit.visible || renewalEdit.row < 0 || renewalEdit.row >= lines.size())
        return false;
    if (!figuresKept(renewalEdit.fee, renewalEdit.penalty, renewalEdit.discount, renewalEdit.total))
        return false;
    RenewalLine& l = lines[renewalEdit.row];
    const bool marked = l.markedDeleted;
    l = lineFrom(renewalEdit.renewalNo, renewalEdit.fee, renewalEdit.penalty, renewalEdit.discount,
                 renewalEdit.total, renewalEdit.renewalDate, renewalEdit.dueDate);
    l.markedDeleted = marked;
    renewalEdit.visible = false;
    pendingTotal += leading(renewalEdit.total);
    return true;
}

void ContractForm::cancelRenewalEdit()
{
    if (!renewalEdit.visible)
        return;
    renewalEdit.visible = false;
    pendingTotal += renewalEdit.takenFromPending;
}

void ContractForm::toggleRenewalMark(int row)
{
    if (row >= 0 && row < lines.size())
        lines[row].markedDeleted = !lines[row].markedDeleted;
}

// Redemption and forfeiture ------------------------------------------------

bool ContractForm::openClosing(ClosingPanel::Kind kind, const QDate& today)
{
    const bool redeem = kind == ClosingPanel::Kind::Redemption;
    // A renewal confirmed but not stored would be lost by the closing, and
    // its term would decide the closing figures.
    if (m_unsavedRenewals > 0) {
        m_prompt.stop(QStringLiteral("มีรายการต่อดอกที่ยังไม่ได้จัดเก็บ กรุณากด \"จัดเก็บ\" ก่อน") +
                      (redeem ? QStringLiteral("ไถ่ถอน") : QStringLiteral("ทำหลุดจำนำ")));
        return false;
    }
    if (!stillAsStored())
        return false;
    closing = ClosingPanel{};
    closing.kind = kind;
    closing.title = redeem ? QStringLiteral("ไถ่ถอน") : QStringLiteral("หลุดจำนำ");
    closing.question = redeem ? QStringLiteral("ต้องการไถ่ถอนสัญญานี้ใช่หรือไม่")
                              : QStringLiteral("สัญญานี้ หลุดจำนำ ใช่หรือไม่");
    closing.visible = true;
    closing.date = today;
    const QString zero = QStringLiteral("0");
    closing.total = closing.surcharge = closing.amount = closing.penalty = closing.discount = zero;
    const auto [start, due] = currentTerm();
    closing.termStart = start;
    closing.dueDate = due;
    if (!start.isValid() || !due.isValid()) {
        m_prompt.error(QStringLiteral("วันที่ของงวดปัจจุบันไม่ถูกต้อง"));
        closing.visible = false;
        return false;
    }
    const bool overdue = isOverdue(due, m_settings.relaxDay, today);
    if (redeem && overdue &&
        !m_prompt.askYesNo(QStringLiteral("สัญญาเกินกำหนด ต้องการไถ่ถอนหรือไม่ ?"))) {
        closing.visible = false;
        return false;
    }
    if (!redeem && !overdue &&
        !m_prompt.askYesNo(QStringLiteral("สัญญายังไม่เกินกำหนด ต้องการปิดสัญญาและทำสินค้าหลุดจำนำ ?"))) {
        closing.visible = false;
        return false;
    }
    if (redeem) {
        closing.amount = contract.redemption.toString();
        closing.days = QString::number(due.daysTo(today));
        closingDaysChanged();
        closing.total = (leading(closing.surcharge) + leading(closing.amount)).toString();
        m_operationBeforePanel = operation;
        operation = OperationMode::Redemption;
    } else {
        closing.days = QString::number(start.daysTo(today));
        closingDaysChanged();
        closing.amount = contract.principal.toString();
        closing.total = zero;
    }
    return true;
}

bool ContractForm::openRedemption(const QDate& today)
{
    return openClosing(ClosingPanel::Kind::Redemption, today);
}

bool ContractForm::openForfeiture(const QDate& today)
{
    return openClosing(ClosingPanel::Kind::Forfeiture, today);
}

void ContractForm::computeClosingCharge()
{
    try {
        const qint64 days = leading(closing.days).truncatedToInt();
        const ClosingCharge charge = closingCharge(
            m_settings.interestMode(), m_settings.clearEmployee, days, contract.principal,
            days > 0 ? m_tables.feeRows(contract.tableNo) : QList<RateRow>{},
            days < 0 ? m_tables.deductRows(contract.tableNo) : QList<RateRow>{}, closing.stepDays);
        closing.surcharge = charge.amount.toString();
        closing.stepDays = charge.stepDays;
        if (charge.caption)
            closing.caption = *charge.caption;
        if (charge.noLateRates)
            m_prompt.information(QStringLiteral("ตารางดอกเบี้ยที่ ") + contract.tableNo +
                                 QStringLiteral(" ยังไม่มีข้อมูล จึงคิดส่วนเพิ่มเป็น 0"));
    } catch (const DbError& e) {
        closing.surcharge = QStringLiteral("0");
        m_prompt.error(e.description());
    }
    closing.recomputeTotal();
}

void ContractForm::closingDatesChanged()
{
    // A forfeiture counts from the start of the term, a redemption from its due date.
    const QDate from =
        closing.kind == ClosingPanel::Kind::Forfeiture ? closing.termStart : closing.dueDate;
    if (!from.isValid() || !closing.date.isValid())
        return;
    closing.days = QString::number(from.daysTo(closing.date));
    closingDaysChanged();
}

void ContractForm::closingDaysChanged()
{
    computeClosingCharge();
    // Without withholding a forfeiture carries no surcharge, whatever the days.
    if (closing.kind == ClosingPanel::Kind::Forfeiture && !contract.withheld) {
        closing.surcharge = QStringLiteral("0");
        closing.recomputeTotal();
    }
}

bool ContractForm::confirmClosing(const QDateTime& now)
{
    if (!closing.visible || closing.readOnly)
        return false;
    if (!closing.date.isValid()) {
        m_prompt.stop(QStringLiteral("วันที่ไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"));
        return false;
    }
    const bool redeem = closing.kind == ClosingPanel::Kind::Redemption;
    auto given = [](const QString& text) -> std::optional<Decimal> {
        if (text.isEmpty())
            return std::nullopt;
        return leading(text);
    };
    if (!redeem)
        closing.total = QStringLiteral("0");
    Closing c;
    c.policyNo = contract.policyNo;
    c.closeDate = redeem ? now.date() : closing.date;
    c.amount = leading(closing.amount);
    c.days = leading(closing.days).truncatedToInt();
    c.fee = given(closing.surcharge);
    c.surcharge = given(closing.penalty);
    c.discount = given(closing.discount);
    c.total = leading(closing.total);
    c.forfeited = !redeem;
    c.rowVersion = contract.rowVersion;
    std::optional<Receipt> receipt;
    if (redeem) {
        Receipt r;
        r.description = QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + contract.refNo + QStringLiteral("  ") +
                        contract.model;
        r.group = contract.object;
        r.kind = QStringLiteral("ไถ่ถอน");
        r.price = contract.principal;
        r.total = c.total;
        r.date = closing.date;
        r.time = now.time();
        r.customerCode = contract.kuCode;
        r.customerName = contract.kuName;
        r.customerAddress = contract.kuAddress;
        r.employee = m_session.employeeName;
        r.totalWords = text::bahtText(c.total);
        receipt = r;
    }
    QString receiptNo;
    try {
        receiptNo = platform::db::workAway<QString>(
            m_store.database(), [&](auto& away) { return m_store.on(away).close(c, receipt); });
    } catch (const DbError& e) {
        if (e.number() == platform::db::error_number::ChangedElsewhere)
            offerReload();
        else
            m_prompt.error(e.description());
        return false;
    }
    // Closed: the screen shows it so.
    ++contract.rowVersion;
    contract.pStatus = false;
    contract.overDue = contract.overDue || !redeem;
    contract.closeDate = c.closeDate;
    contract.lastAmount = c.amount;
    contract.days = c.days;
    if (c.fee)
        contract.lastFee = *c.fee;
    if (c.surcharge)
        contract.lastSurcharge = *c.surcharge;
    if (c.discount)
        contract.lastDiscount = *c.discount;
    contract.lastTotal = c.total;
    if (redeem) {
        operation = OperationMode::None;
        reloadSettings();
        print(
            {receiptDocuments(m_settings.recvtaiCfg, m_settings, contract.kuName, receiptNo), {}});
    }
    closing.visible = false;
    m_stage = Stage::Closed;
    return true;
}

// Deletion -----------------------------------------------------------------

void ContractForm::askDelete(bool fromMenu)
{
    deletion.visible = true;
    m_deletingFromMenu = fromMenu;
}

bool ContractForm::confirmDelete()
{
    bool removed = false;
    try {
        const auto version =
            m_stage == Stage::Entering ? std::nullopt : std::optional(contract.rowVersion);
        removed = platform::db::workAway<bool>(m_store.database(), [&](auto& away) {
            return m_store.on(away).remove(contract.policyNo, version);
        });
    } catch (const DbError& e) {
        if (e.number() == platform::db::error_number::ChangedElsewhere) {
            deletion.visible = false;
            offerReload();
            return false;
        }
        // Nothing was removed: say so rather than claim the deletion.
        m_prompt.error(QStringLiteral("ลบสัญญาไม่สำเร็จ ") + e.description());
        return false;
    }
    if (!removed)
        return false; // no such contract: the panel stays
    deletion.visible = false;
    m_prompt.plain(QStringLiteral("สัญญานี้ถูกลบแล้ว"));
    return true;
}

void ContractForm::cancelDelete()
{
    deletion.visible = false;
}

// Reprint ------------------------------------------------------------------

ContractForm::Panel ContractForm::panel() const
{
    if (renewalEdit.visible)
        return Panel::RenewalEdit;
    if (renewal.visible)
        return Panel::Renewal;
    if (closing.visible && !closing.readOnly)
        return Panel::Closing;
    if (deletion.visible)
        return Panel::Delete;
    if (m_reprintOpen)
        return Panel::Reprint;
    if (closing.visible)
        return Panel::ClosedFigures;
    return Panel::None;
}

void ContractForm::reprint(Reprint choice)
{
    if (!reloadSettings())
        return;
    // Documents show what is stored; a contract not yet stored has nothing to show.
    if (!m_store.contractNumberTaken(contract.policyNo)) {
        m_prompt.information(QStringLiteral("สัญญานี้ยังไม่ได้จัดเก็บ กรุณากด \"จัดเก็บ\" ก่อนพิมพ์"));
        return;
    }
    print({{reprintDocument(choice, m_settings, contract.policyNo)}, m_settings.offsetPrint});
}

} // namespace tawela::contracts
