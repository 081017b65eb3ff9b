// "ไถ่ถอน" and "หลุดจำนำ", "ลบ", and the reprint of a contract's documents.
#include "contracts/contract_form.h"

#include "platform/db/db_error.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::DbError;
using Stage = ContractForm::Stage;

bool ClosingCommands::open(ClosingPanel::Kind kind, const QDate& today)
{
    const bool redeem = kind == ClosingPanel::Kind::Redemption;
    // A renewal confirmed but not stored would be lost by the closing, and
    // its term would decide the closing figures.
    if (m_form.m_unsavedRenewals > 0) {
        m_form.m_prompt.stop(QStringLiteral("มีรายการต่อดอกที่ยังไม่ได้จัดเก็บ กรุณากด \"จัดเก็บ\" ก่อน") +
                             (redeem ? QStringLiteral("ไถ่ถอน") : QStringLiteral("ทำหลุดจำนำ")));
        return false;
    }
    if (!m_form.stillAsStored())
        return false;
    panel = ClosingPanel{};
    panel.kind = kind;
    panel.title = redeem ? QStringLiteral("ไถ่ถอน") : QStringLiteral("หลุดจำนำ");
    panel.question = redeem ? QStringLiteral("ต้องการไถ่ถอนสัญญานี้ใช่หรือไม่")
                            : QStringLiteral("สัญญานี้ หลุดจำนำ ใช่หรือไม่");
    panel.visible = true;
    panel.date = today;
    const QString zero = QStringLiteral("0");
    panel.total = panel.surcharge = panel.amount = panel.penalty = panel.discount = zero;
    const auto [start, due] = m_form.currentTerm();
    panel.termStart = start;
    panel.dueDate = due;
    if (!start.isValid() || !due.isValid()) {
        m_form.m_prompt.error(QStringLiteral("วันที่ของงวดปัจจุบันไม่ถูกต้อง"));
        panel.visible = false;
        return false;
    }
    const bool overdue = isOverdue(due, m_form.m_settings.relaxDay, today);
    if (redeem && overdue &&
        !m_form.m_prompt.askYesNo(QStringLiteral("สัญญาเกินกำหนด ต้องการไถ่ถอนหรือไม่ ?"))) {
        panel.visible = false;
        return false;
    }
    if (!redeem && !overdue &&
        !m_form.m_prompt.askYesNo(
            QStringLiteral("สัญญายังไม่เกินกำหนด ต้องการปิดสัญญาและทำสินค้าหลุดจำนำ ?"))) {
        panel.visible = false;
        return false;
    }
    if (redeem) {
        panel.amount = m_form.contract.redemption.toString();
        panel.days = QString::number(due.daysTo(today));
        daysChanged();
        panel.total = (Decimal::parseLeading(panel.surcharge) + Decimal::parseLeading(panel.amount))
                          .toString();
        m_form.m_operationBeforePanel = m_form.operation;
        m_form.operation = OperationMode::Redemption;
    } else {
        panel.days = QString::number(start.daysTo(today));
        daysChanged();
        panel.amount = m_form.contract.principal.toString();
        panel.total = zero;
    }
    return true;
}

bool ClosingCommands::openRedemption(const QDate& today)
{
    return open(ClosingPanel::Kind::Redemption, today);
}

bool ClosingCommands::openForfeiture(const QDate& today)
{
    return open(ClosingPanel::Kind::Forfeiture, today);
}

void ClosingCommands::computeCharge()
{
    try {
        const qint64 days = Decimal::parseLeading(panel.days).truncatedToInt();
        const ClosingCharge charge = closingCharge(
            m_form.m_settings.interestMode(), m_form.m_settings.clearEmployee, days,
            m_form.contract.principal,
            days > 0 ? m_form.m_tables.feeRows(m_form.contract.tableNo) : QList<RateRow>{},
            days < 0 ? m_form.m_tables.deductRows(m_form.contract.tableNo) : QList<RateRow>{},
            panel.stepDays);
        panel.surcharge = charge.amount.toString();
        panel.stepDays = charge.stepDays;
        if (charge.caption)
            panel.caption = *charge.caption;
        if (charge.noLateRates)
            m_form.m_prompt.information(QStringLiteral("ตารางดอกเบี้ยที่ ") + m_form.contract.tableNo +
                                        QStringLiteral(" ยังไม่มีข้อมูล จึงคิดส่วนเพิ่มเป็น 0"));
    } catch (const DbError& e) {
        panel.surcharge = QStringLiteral("0");
        m_form.m_prompt.error(e.description());
    }
    panel.recomputeTotal();
}

void ClosingCommands::datesChanged()
{
    // A forfeiture counts from the start of the term, a redemption from its due date.
    const QDate from =
        panel.kind == ClosingPanel::Kind::Forfeiture ? panel.termStart : panel.dueDate;
    if (!from.isValid() || !panel.date.isValid())
        return;
    panel.days = QString::number(from.daysTo(panel.date));
    daysChanged();
}

void ClosingCommands::daysChanged()
{
    computeCharge();
    // Without withholding a forfeiture carries no surcharge, whatever the days.
    if (panel.kind == ClosingPanel::Kind::Forfeiture && !m_form.contract.withheld) {
        panel.surcharge = QStringLiteral("0");
        panel.recomputeTotal();
    }
}

std::optional<LawfulRedemption> ClosingCommands::lawful() const
{
    const LegalLimits limits = legalLimitsOf(m_form.m_settings);
    if (!panel.visible || panel.readOnly || panel.kind != ClosingPanel::Kind::Redemption ||
        !limits.check || !panel.date.isValid())
        return std::nullopt;
    return lawfulRedemption(limits, m_form.contract, m_form.lines, panel.date,
                            Decimal::parseLeading(panel.total));
}

void ClosingCommands::useLawfulMaximum()
{
    const std::optional<LawfulRedemption> l = lawful();
    if (!l || l->excess.isZero())
        return;
    panel.discount = (Decimal::parseLeading(panel.discount) + l->excess).toString();
    panel.recomputeTotal();
    panel.lawfulTotal = panel.total;
}

bool ClosingCommands::confirm(const QDateTime& now)
{
    if (!panel.visible || panel.readOnly)
        return false;
    if (!panel.date.isValid()) {
        m_form.m_prompt.stop(QStringLiteral("วันที่ไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"));
        return false;
    }
    const bool redeem = panel.kind == ClosingPanel::Kind::Redemption;
    auto given = [](const QString& text) -> std::optional<Decimal> {
        if (text.isEmpty())
            return std::nullopt;
        return Decimal::parseLeading(text);
    };
    if (!redeem)
        panel.total = QStringLiteral("0");
    Closing c;
    c.policyNo = m_form.contract.policyNo;
    c.closeDate = redeem ? now.date() : panel.date;
    c.amount = Decimal::parseLeading(panel.amount);
    c.days = Decimal::parseLeading(panel.days).truncatedToInt();
    c.fee = given(panel.surcharge);
    c.surcharge = given(panel.penalty);
    c.discount = given(panel.discount);
    c.total = Decimal::parseLeading(panel.total);
    c.forfeited = !redeem;
    c.rowVersion = m_form.contract.rowVersion;
    std::optional<Receipt> receipt;
    if (redeem) {
        Receipt r;
        r.description = QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + m_form.contract.refNo +
                        QStringLiteral("  ") + m_form.contract.model;
        if (!panel.lawfulTotal.isEmpty() && panel.total == panel.lawfulTotal)
            r.description += QStringLiteral("  (ยอดไถ่ถอนตามกฎหมาย)");
        r.group = m_form.contract.object;
        r.kind = QStringLiteral("ไถ่ถอน");
        r.price = m_form.contract.principal;
        r.total = c.total;
        r.date = panel.date;
        r.time = now.time();
        r.customerCode = m_form.contract.kuCode;
        r.customerName = m_form.contract.kuName;
        r.customerAddress = m_form.contract.kuAddress;
        r.employee = m_form.m_session.employeeName;
        r.totalWords = text::bahtText(c.total);
        receipt = r;
    }
    QString receiptNo;
    try {
        receiptNo = platform::db::workAway<QString>(m_form.m_store.database(), [&](auto& away) {
            return m_form.m_store.on(away).close(c, receipt);
        });
    } catch (const DbError& e) {
        if (e.number() == platform::db::error_number::ChangedElsewhere)
            m_form.offerReload();
        else
            m_form.m_prompt.error(e.description());
        return false;
    }
    // Closed: the screen shows it so.
    ++m_form.contract.rowVersion;
    m_form.contract.pStatus = false;
    m_form.contract.overDue = m_form.contract.overDue || !redeem;
    m_form.contract.closeDate = c.closeDate;
    m_form.contract.lastAmount = c.amount;
    m_form.contract.days = c.days;
    if (c.fee)
        m_form.contract.lastFee = *c.fee;
    if (c.surcharge)
        m_form.contract.lastSurcharge = *c.surcharge;
    if (c.discount)
        m_form.contract.lastDiscount = *c.discount;
    m_form.contract.lastTotal = c.total;
    if (redeem) {
        m_form.operation = OperationMode::None;
        m_form.reloadSettings();
        m_form.print({receiptDocuments(m_form.m_settings.recvtaiCfg, m_form.m_settings,
                                       m_form.contract.kuName, receiptNo),
                      {}});
    }
    panel.visible = false;
    m_form.m_stage = Stage::Closed;
    return true;
}

void ClosingCommands::cancel()
{
    if (panel.visible && !panel.readOnly)
        m_form.operation = m_form.m_operationBeforePanel;
    panel.visible = false;
}

bool ClosingCommands::daysTyped(const QString& text)
{
    if (!m_form.typedNumber(text, ContractForm::Limit::Days))
        return false;
    panel.days = text;
    daysChanged();
    return true;
}

void DeletionCommands::ask(bool fromMenu)
{
    panel.visible = true;
    m_fromMenu = fromMenu;
}

bool DeletionCommands::confirm()
{
    bool removed = false;
    try {
        const auto version = m_form.m_stage == Stage::Entering
                                 ? std::nullopt
                                 : std::optional(m_form.contract.rowVersion);
        removed = platform::db::workAway<bool>(m_form.m_store.database(), [&](auto& away) {
            return m_form.m_store.on(away).remove(m_form.contract.policyNo, version);
        });
    } catch (const DbError& e) {
        if (e.number() == platform::db::error_number::ChangedElsewhere) {
            panel.visible = false;
            m_form.offerReload();
            return false;
        }
        // Nothing was removed: say so rather than claim the deletion.
        m_form.m_prompt.error(QStringLiteral("ลบสัญญาไม่สำเร็จ ") + e.description());
        return false;
    }
    if (!removed)
        return false; // no such contract: the panel stays
    panel.visible = false;
    m_form.m_prompt.plain(QStringLiteral("สัญญานี้ถูกลบแล้ว"));
    return true;
}

void DeletionCommands::cancel()
{
    panel.visible = false;
}

void ReprintCommands::print(Reprint choice)
{
    if (!m_form.reloadSettings())
        return;
    // Documents show what is stored; a contract not yet stored has nothing to show.
    if (!m_form.m_store.contractNumberTaken(m_form.contract.policyNo)) {
        m_form.m_prompt.information(QStringLiteral("สัญญานี้ยังไม่ได้จัดเก็บ กรุณากด \"จัดเก็บ\" ก่อนพิมพ์"));
        return;
    }
    m_form.print({{reprintDocument(choice, m_form.m_settings, m_form.contract.policyNo,
                                   m_form.payoffValues())},
                  m_form.m_settings.offsetPrint});
}

} // namespace tawela::contracts
