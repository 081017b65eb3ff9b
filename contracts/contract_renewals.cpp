// "ต่อดอก" and the renewal history.
#include "contracts/contract_form.h"

#include "platform/db/db_error.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::DbError;
using Stage = ContractForm::Stage;

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

bool RenewalCommands::open(const QDate& today)
{
    if (m_form.historyFull() || !m_form.stillAsStored())
        return false;
    const auto [start, due] = m_form.currentTerm();
    if (!start.isValid() || !due.isValid()) {
        m_form.m_prompt.error(QStringLiteral("วันที่ของงวดปัจจุบันไม่ถูกต้อง"));
        return false;
    }
    panel.visible = true;
    panel.principal = QStringLiteral("0");
    panel.renewalDate = today;
    panel.dayCaption =
        QStringLiteral("จำนวนวันฝากนับถึงปัจจุบัน = ") + QString::number(start.daysTo(today));
    panel.fee = m_form.contract.interest.toString();
    // The penalty and discount typed last time stay in the panel, so the
    // total counts them too: the row then adds up as shown.
    panel.recomputeTotal();
    panel.currentDue = due;
    panel.newDue = due.addDays(m_form.contract.days);
    if (isOverdue(due, m_form.m_settings.relaxDay, today) &&
        !m_form.m_prompt.askYesNo(QStringLiteral("สัญญาเกินกำหนด ต้องการต่อดอกหรือไม่ ?"))) {
        panel.visible = false;
        return false;
    }
    panel.renewalNo = QString::number(m_form.lines.size() + 1);
    m_form.m_operationBeforePanel = m_form.operation;
    m_form.operation = OperationMode::Renewal;
    return true;
}

void RenewalCommands::cancel()
{
    // A cancelled panel leaves no trace: the save writes what it would have.
    if (panel.visible)
        m_form.operation = m_form.m_operationBeforePanel;
    panel.visible = false;
}

bool RenewalCommands::confirm()
{
    if (!panel.visible || m_form.historyFull() || !m_form.stillAsStored())
        return false;
    if (!panel.newDue.isValid() || !panel.renewalDate.isValid()) {
        m_form.m_prompt.stop(QStringLiteral("วันที่ไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"));
        return false;
    }
    if (!m_form.figuresKept(panel.fee, panel.penalty, panel.discount, panel.total, panel.principal))
        return false;
    // The law's limits: the person is told and decides.
    if (const auto declined =
            askAboutLimits(m_form.m_prompt, legalLimitsOf(m_form.m_settings), leading(panel.fee),
                           priceOverTime(m_form.contract, m_form.lines).last().price,
                           panel.currentDue.daysTo(panel.newDue), m_form.contract.contractDate,
                           panel.newDue, QStringLiteral(" ต้องการต่อดอกหรือไม่ ?"))) {
        m_form.refusedFigure =
            *declined == DeclinedLimit::Rate ? RenewalFigure::Fee : RenewalFigure::DueDate;
        return false;
    }
    m_form.lines << lineFrom(panel.renewalNo, panel.fee, panel.penalty, panel.discount, panel.total,
                             panel.renewalDate, panel.newDue);
    ++m_form.m_unsavedRenewals;
    // The due date moves by the agreed term; the term, its fee and the
    // redemption amount stay as agreed. (Recomputing from the deposit date
    // would make each renewal charge the whole time again.)
    m_form.m_calc->termMoved(panel.newDue);
    panel.visible = false;
    m_form.pendingTotal += leading(panel.total);
    return true;
}

void RenewalCommands::editRow(int row)
{
    if (row < 0 || row >= m_form.lines.size())
        return;
    const RenewalLine& l = m_form.lines[row];
    editing = RenewalEditPanel{};
    editing.visible = true;
    editing.row = row;
    editing.renewalNo = l.lineNo > 0 ? QString::number(l.lineNo) : QString();
    editing.fee = l.fee.toString();
    editing.penalty = l.surcharge.toString();
    editing.discount = l.discount.toString();
    editing.total = l.total.toString();
    editing.renewalDate = l.from;
    editing.dueDate = l.due;
    editing.takenFromPending = l.total;
    m_form.pendingTotal -= l.total;
}

bool RenewalCommands::applyEdit()
{
    if (!editing.visible || editing.row < 0 || editing.row >= m_form.lines.size())
        return false;
    if (!m_form.figuresKept(editing.fee, editing.penalty, editing.discount, editing.total))
        return false;
    RenewalLine& l = m_form.lines[editing.row];
    const bool marked = l.markedDeleted;
    l = lineFrom(editing.renewalNo, editing.fee, editing.penalty, editing.discount, editing.total,
                 editing.renewalDate, editing.dueDate);
    l.markedDeleted = marked;
    editing.visible = false;
    m_form.pendingTotal += leading(editing.total);
    return true;
}

void RenewalCommands::cancelEdit()
{
    if (!editing.visible)
        return;
    editing.visible = false;
    m_form.pendingTotal += editing.takenFromPending;
}

void RenewalCommands::toggleMark(int row)
{
    if (row >= 0 && row < m_form.lines.size())
        m_form.lines[row].markedDeleted = !m_form.lines[row].markedDeleted;
}

} // namespace tawela::contracts
