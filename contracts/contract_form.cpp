#include "contracts/contract_form.h"

#include "platform/db/db_error.h"

namespace tawela::contracts {

using platform::db::DbError;

namespace {

// Said for an amount above MaxBaht, typed or computed.
const char* const TooMuchMoney = "จำนวนเงินต้องไม่เกิน 9,999,999,999 บาท";

} // namespace

ContractForm::ContractForm(std::shared_ptr<platform::db::Database> main, admin::Session session,
                           platform::Prompt& prompt, Printer printer)
    : m_db(main), m_session(std::move(session)), m_prompt(prompt), m_printer(std::move(printer)),
      m_tables(main), m_store(main)
{
    m_calc = std::make_unique<ContractCalculator>(m_tables, ContractCalculator::Settings{},
                                                  m_prompt, contract);
}

ContractForm::Commands ContractForm::commands() const
{
    // The command bar by stage: new, save, renew, redeem, forfeit, documents, list.
    struct Row {
        Stage stage;
        bool newContract, save, renew, redeem, forfeit, documents, list;
    };
    static constexpr Row table[] = {
        {Stage::Empty, true, false, false, false, false, false, true},
        {Stage::Entering, false, true, false, false, false, true, false},
        {Stage::JustSaved, true, true, false, false, false, true, true},
        {Stage::Open, true, true, true, true, true, true, true},
        {Stage::Closed, true, false, false, false, false, true, true},
    };
    Commands c;
    for (const Row& r : table) {
        if (r.stage != m_stage)
            continue;
        c.newContract = r.newContract;
        c.save = r.save;
        c.renew = r.renew;
        c.redeem = r.redeem;
        c.forfeit = r.forfeit;
        c.documents = r.documents;
        c.list = r.list;
    }
    // Asked from the tools menu, a deletion leaves nothing else to do.
    if (m_deletion.panel.visible && m_deletion.fromMenu())
        c.save = c.renew = c.redeem = c.documents = false;
    applyRights(c);
    return c;
}

void ContractForm::applyRights(Commands& c) const
{
    // Interest tables and customer tables by their rights; Card decides
    // whether a stored contract can be changed (a new one is always
    // entered), Policy whether anything can be edited at all.
    c.interestTable = m_session.blacklistRight() != admin::Right::NotAllowed;
    c.customerTable = m_session.bkRight() != admin::Right::NotAllowed;
    if (m_session.cardRight() == admin::Right::NotAllowed) {
        c.panels = m_stage == Stage::Entering;
        c.tools = false;
        c.remove = false;
        c.history = false;
    }
    if (m_session.policyRight() == admin::Right::ReadOnly) {
        c.panels = false;
        c.tools = false;
        c.commandBar = false;
    }
}

QString ContractForm::recordMode() const
{
    switch (m_stage) {
    case Stage::Empty:
        return {};
    case Stage::Entering:
        return QStringLiteral("Addnew");
    default:
        return QStringLiteral("Edit");
    }
}

bool ContractForm::open()
{
    try {
        m_settings = admin::loadSettings(m_db);
        m_calc = std::make_unique<ContractCalculator>(
            m_tables,
            ContractCalculator::Settings{m_settings.interestMode(), m_settings.minInteres},
            m_prompt, contract);
        rateList.clear();
        for (const Decimal& r : m_tables.rateList())
            rateList << r.toString();
        productGroups = m_tables.productGroups();
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
        return false;
    }
    m_stage = Stage::Empty;
    contract.tableNo = QStringLiteral("1");
    return true;
}

void ContractForm::clearShown()
{
    const bool fakeKept = contract.fakeProductUse;
    contract = Contract{};
    contract.fakeProductUse = fakeKept;
    contract.tableNo = QStringLiteral("1");
    lines.clear();
    pendingTotal = Decimal();
    hidePanels();
    operation = OperationMode::None;
    m_unsavedRenewals = 0;
    m_saved = false;
    m_stage = Stage::Empty;
}

bool ContractForm::newContract(const QDate& today)
{
    clearShown();
    operation = OperationMode::NewContract;
    contract.pStatus = true;
    try {
        m_settings = admin::loadSettings(m_db);
        m_startedOn = today;
        // Another copy may take the run between reading the counter and
        // checking its number: a taken number counts only while the counter
        // still stands at it.
        for (;;) {
            m_startedWithRun = m_settings.chumnumRun;
            contract.policyNo = contractNumber(today, m_startedWithRun);
            if (!m_store.contractNumberTaken(contract.policyNo))
                break;
            m_settings = admin::loadSettings(m_db);
            if (m_settings.chumnumRun == m_startedWithRun) {
                m_prompt.plain(QStringLiteral("เลขสัญญาซ้ำ กำหนดเลขรันที่ค่าเริ่มต้นใหม่ แล้วจึงเปิดสัญญาใหม่ได้"));
                return false;
            }
        }
        contract.refNo = contract.policyNo;
        takeShopDetails(contract, m_settings);
        contract.principal = Decimal();
        contract.interest = Decimal();
        contract.contractDate = today;
        contract.dueDate = today.addDays(m_settings.chumnumDuration);
        m_calc->withholdingChanged(m_settings.dedugFee);
        // The default term of the table runs the days rule: due date, rate, interest.
        m_calc->daysChanged(m_tables.period(contract.tableNo).value_or(0));
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    m_stage = Stage::Entering;
    return true;
}

void ContractForm::show(const Contract& stored)
{
    m_saved = false;
    m_unsavedRenewals = 0;
    contract = stored;
    if (contract.tableNo.isEmpty())
        contract.tableNo = QStringLiteral("1");
    m_stage = stored.pStatus ? Stage::Open : Stage::Closed;
    operation = OperationMode::None;
    pendingTotal = Decimal();
    hidePanels();
    m_renewals.panel = RenewalPanel{};
    m_closings.panel = ClosingPanel{};
    if (!stored.pStatus) {
        // The closing figures, read-only.
        m_closings.panel.visible = true;
        m_closings.panel.readOnly = true;
        m_closings.panel.kind =
            stored.overDue ? ClosingPanel::Kind::Forfeiture : ClosingPanel::Kind::Redemption;
        m_closings.panel.title =
            stored.overDue ? QStringLiteral("หลุดจำนำ") : QStringLiteral("ไถ่ถอน");
        m_closings.panel.dueDate = stored.lastDue;
        m_closings.panel.date = stored.closeDate;
        m_closings.panel.termStart = stored.lastFrom;
        m_closings.panel.total = stored.lastTotal.toString();
        m_closings.panel.surcharge = stored.lastFee.toString();
        m_closings.panel.amount = stored.lastAmount.toString();
        m_closings.panel.penalty = stored.lastSurcharge.toString();
        m_closings.panel.days = QString::number(stored.days);
        m_closings.panel.discount = stored.lastDiscount.toString();
    }
    // A shown contract keeps every stored figure, its agreed rate above all,
    // until the person changes something; the rules then run from there.
    // (Re-running them on loading would put the rate table's rate of today
    // in place of the agreed one, and a closed contract's days are its
    // closing days.)
    m_calc->loadStored();
    lines = m_store.renewalLines(stored.policyNo);
}

bool ContractForm::reloadSettings()
{
    try {
        m_settings = admin::loadSettings(m_db);
        return true;
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
}

void ContractForm::print(const PrintOrder& order)
{
    if (!m_printer)
        return;
    try {
        m_printer(order);
    } catch (const std::exception& e) {
        // What was stored stays stored; the print is only said to have failed.
        m_prompt.error(QString::fromUtf8(e.what()));
    }
}

void ContractForm::hidePanels()
{
    m_renewals.panel.visible = false;
    m_renewals.editing.visible = false;
    m_closings.panel.visible = false;
    m_deletion.panel.visible = false;
}

std::optional<Decimal> ContractForm::typedNumber(const QString& text, Limit limit)
{
    const Decimal::Typed typed = Decimal::parseTyped(text);
    if (typed.problem == Decimal::Typed::Problem::TooManyPlaces) {
        m_prompt.stop(QStringLiteral("ใส่ทศนิยมได้ไม่เกิน 4 ตำแหน่ง"));
        return std::nullopt;
    }
    const std::int64_t most = limit == Limit::Money  ? MaxBaht
                              : limit == Limit::Days ? MaxDays
                                                     : MaxRate;
    const bool tooLarge = typed.problem == Decimal::Typed::Problem::OutOfRange ||
                          typed.value > Decimal::fromInt(most) ||
                          typed.value < Decimal::fromInt(-most);
    if (tooLarge) {
        switch (limit) {
        case Limit::Money:
            m_prompt.stop(QString::fromUtf8(TooMuchMoney));
            break;
        case Limit::Days:
            m_prompt.stop(QStringLiteral("จำนวนวันต้องไม่เกิน 9,999 วัน"));
            break;
        case Limit::Rate:
            m_prompt.stop(QStringLiteral("ดอกเบี้ยต้องไม่เกินร้อยละ 100 ต่อเดือน"));
            break;
        }
        return std::nullopt;
    }
    return typed.value;
}

bool ContractForm::applyTyped(const QString& text, Limit limit,
                              const std::function<void(Decimal)>& rule)
{
    const auto value = typedNumber(text, limit);
    if (!value)
        return false;
    rule(*value);
    return true;
}

bool ContractForm::amountTyped(const QString& text)
{
    return applyTyped(text, Limit::Money, [this](Decimal v) { m_calc->amountChanged(v); });
}

bool ContractForm::daysTyped(const QString& text)
{
    return applyTyped(text, Limit::Days,
                      [this](Decimal v) { m_calc->daysChanged(v.truncatedToInt()); });
}

bool ContractForm::rateTyped(const QString& text)
{
    return applyTyped(text, Limit::Rate, [this](Decimal v) { m_calc->rateTyped(v); });
}

bool ContractForm::ratePicked(const QString& text)
{
    return applyTyped(text, Limit::Rate, [this](Decimal v) { m_calc->ratePicked(v); });
}

bool ContractForm::interestTyped(const QString& text)
{
    return applyTyped(text, Limit::Money, [this](Decimal v) { m_calc->interestChanged(v); });
}

bool ContractForm::payoutTyped(const QString& text)
{
    return applyTyped(text, Limit::Money, [this](Decimal v) { m_calc->payoutTyped(v); });
}

bool ContractForm::redemptionTyped(const QString& text)
{
    return applyTyped(text, Limit::Money, [this](Decimal v) { m_calc->redemptionTyped(v); });
}

bool ContractForm::figureTyped(QString& into, const QString& text)
{
    if (!typedNumber(text, Limit::Money))
        return false;
    into = text;
    return true;
}

void ContractForm::withholdingSwitched(bool on)
{
    m_calc->withholdingChanged(on);
}

void ContractForm::dueDateChanged(const QDate& date)
{
    m_calc->dueDateChanged(date);
}

void ContractForm::depositDateChanged(const QDate& date)
{
    m_calc->depositDateChanged(date);
}

void ContractForm::tableChanged(const QString& tableNo)
{
    m_calc->tableChanged(tableNo);
}

void ContractForm::addProductGroup(const QString& group)
{
    if (group.trimmed().isEmpty() || productGroups.contains(group))
        return;
    try {
        m_tables.addProductGroup(group);
        productGroups << group;
    } catch (const DbError& e) {
        m_prompt.error(e.description());
    }
}

void ContractForm::fillWitness(int which)
{
    if (which == 1)
        contract.witness1 = m_settings.payanOne;
    else
        contract.witness2 = m_settings.payanTwo;
}

QStringList ContractForm::payoffValues() const
{
    try {
        const QDate due = currentTerm().second;
        return contracts::payoffValues(
            payoffTable(m_settings.interestMode(), m_settings.clearEmployee, due,
                        contract.principal, contract.redemption, m_tables.feeRows(contract.tableNo),
                        m_settings.payoffRows),
            contract.interest);
    } catch (const DbError&) {
        return {}; // without its rate table the ticket prints without the table
    }
}

std::optional<ContractForm::Field> ContractForm::save(const QDateTime& now)
{
    m_saved = false;
    // Required fields, in this order.
    const std::pair<bool, Field> required[] = {
        {contract.kuAddress.trimmed().isEmpty(), Field::Address},
        {contract.object.trimmed().isEmpty(), Field::ProductGroup},
        {contract.principal.isZero(), Field::Amount},
        {contract.redemption.isZero(), Field::Redemption},
        {contract.days == 0, Field::Days},
        {contract.interest.isZero(), Field::Interest},
    };
    for (const auto& [missing, field] : required) {
        if (missing) {
            m_prompt.stop(QStringLiteral("กรุณาใส่ข้อมูลที่จำเป็น "));
            return field;
        }
    }
    if (const auto refused = refusedValue())
        return refused;
    if (m_stage == Stage::Entering) {
        // The law's limits: the person is told and decides.
        if (const auto declined = askAboutLimits(
                m_prompt, legalLimitsOf(m_settings), contract.interest,
                priceOverTime(contract, lines).last().price, contract.days, contract.contractDate,
                contract.dueDate, QStringLiteral(" ต้องการจัดเก็บสัญญานี้หรือไม่ ?")))
            return *declined == DeclinedLimit::Rate ? Field::Interest : Field::DueDate;
    }
    SaveRequest request;
    request.contract = contract;
    request.isNew = m_stage == Stage::Entering;
    request.startedOn = m_startedOn;
    request.startedWithRun = m_startedWithRun;
    request.lines = lines;
    request.mode = operation;
    request.receiptTotal = pendingTotal;
    request.employeeName = m_session.employeeName;
    request.fakeProductText = m_session.fakeProductText;
    request.now = now;
    SaveResult result;
    try {
        // On the server the save waits off the screen's thread: a lost
        // network leaves a window that paints until it is said.
        result =
            platform::db::workAway<SaveResult>(m_store.database(), [&](platform::db::Away& away) {
                return m_store.on(away).save(request);
            });
    } catch (const DbError& e) {
        if (e.number() == platform::db::error_number::ChangedElsewhere) {
            offerReload();
            return std::nullopt;
        }
        m_prompt.error(e.number() == platform::db::error_number::DuplicateKey
                           ? QStringLiteral("หมายเลขสัญญาซ้ำ")
                           : e.description());
        return std::nullopt;
    }
    if (!result.renumberedTo.isEmpty()) {
        // Nothing stored: the number shown is no longer free. Say so and show
        // the new one before it is used.
        const QString old = contract.policyNo;
        if (contract.refNo == old)
            contract.refNo = result.renumberedTo;
        contract.policyNo = result.renumberedTo;
        m_startedWithRun = result.renumberedRun;
        m_prompt.information(QStringLiteral("เลขที่สัญญา ") + old +
                             QStringLiteral(" ถูกใช้จากเครื่องอื่นแล้ว สัญญานี้จะได้เลขที่ ") +
                             result.renumberedTo +
                             QStringLiteral(" กรุณาตรวจสอบแล้วกด \"จัดเก็บ\" อีกครั้ง"));
        return Field::Number;
    }
    // Stored: what follows never undoes it.
    const OperationMode done = operation;
    const bool wasNew = request.isNew;
    const bool renewed = m_unsavedRenewals > 0;
    if (auto stored = m_store.find(result.policyNo))
        contract = *stored;
    pendingTotal = Decimal();
    operation = OperationMode::None;
    m_saved = true;
    m_unsavedRenewals = 0;
    reloadSettings();
    if (done == OperationMode::NewContract) {
        print({newContractDocuments(m_settings, result.policyNo, payoffValues()), {}});
    } else if (done == OperationMode::Renewal || done == OperationMode::Redemption) {
        // A receipt only for money collected; the renewal document only for
        // renewals stored by this save.
        if (!result.receiptNo.isEmpty())
            print({receiptDocuments(m_settings.recvtorCfg, m_settings, contract.kuName,
                                    result.receiptNo),
                   {}});
        if (renewed)
            print({renewalDocuments(m_settings, result.policyNo, payoffValues()), {}});
    }
    // A contract just opened is renewed, redeemed or forfeited only after it
    // is shown again from the list.
    if (wasNew)
        m_stage = Stage::JustSaved;
    m_prompt.plain(QStringLiteral("Data Saved"));
    return std::nullopt;
}

std::optional<ContractForm::Field> ContractForm::refusedValue()
{
    const Decimal most = Decimal::fromInt(MaxBaht);
    const struct {
        bool refused;
        Field field;
        const char* text;
    } checks[] = {
        {!contract.contractDate.isValid(), Field::DepositDate, "วันที่ฝากไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"},
        {!contract.dueDate.isValid(), Field::DueDate, "วันที่สิ้นสุดสัญญาไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง"},
        {contract.principal.isNegative(), Field::Amount, "ยอดฝากต้องไม่ติดลบ"},
        {contract.days < 0, Field::Days, "จำนวนวันต้องไม่ติดลบ"},
        {contract.interest.isNegative(), Field::Interest, "ค่าธรรมเนียมต้องไม่ติดลบ"},
        {contract.payout.isNegative(), Field::Payout, "ยอดจ่ายต้องไม่ติดลบ"},
        {contract.redemption.isNegative(), Field::Redemption, "ยอดไถ่ถอนต้องไม่ติดลบ"},
        {contract.principal > most, Field::Amount, TooMuchMoney},
        {contract.interest > most, Field::Interest, TooMuchMoney},
        {contract.payout > most, Field::Payout, TooMuchMoney},
        {contract.redemption > most, Field::Redemption, TooMuchMoney},
    };
    for (const auto& c : checks) {
        if (c.refused) {
            m_prompt.stop(QString::fromUtf8(c.text));
            return c.field;
        }
    }
    // A kept renewal below zero would be a receipt for less than nothing
    // (older files may hold one).
    refusedRow = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const RenewalLine& l = lines[i];
        if (l.lineNo > 0 && !l.markedDeleted && l.total.isNegative()) {
            refusedRow = i;
            m_prompt.stop(QStringLiteral("รายการต่อดอกครั้งที่ %1 มียอดรวมติดลบ (%2 บาท) "
                                         "กรุณาแก้ไขหรือทำเครื่องหมายลบรายการนี้ก่อนจัดเก็บ")
                              .arg(l.lineNo)
                              .arg(l.total.toFixed(2)));
            return Field::History;
        }
    }
    return std::nullopt;
}

bool ContractForm::stillAsStored()
{
    if (m_stage == Stage::Empty || m_stage == Stage::Entering)
        return true;
    try {
        const auto stored = m_store.find(contract.policyNo);
        if (stored && stored->rowVersion == contract.rowVersion &&
            stored->pStatus == contract.pStatus)
            return true;
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    offerReload();
    return false;
}

void ContractForm::offerReload()
{
    m_prompt.stop(changedElsewhereText());
    if (!m_prompt.askYesNo(QStringLiteral("ต้องการเปิดสัญญานี้ขึ้นมาใหม่ตามที่จัดเก็บไว้หรือไม่ ?")))
        return;
    try {
        if (const auto stored = m_store.find(contract.policyNo))
            show(*stored);
    } catch (const DbError& e) {
        m_prompt.error(e.description());
    }
}

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

ContractForm::Panel ContractForm::panel() const
{
    if (m_renewals.editing.visible)
        return Panel::RenewalEdit;
    if (m_renewals.panel.visible)
        return Panel::Renewal;
    if (m_closings.panel.visible && !m_closings.panel.readOnly)
        return Panel::Closing;
    if (m_deletion.panel.visible)
        return Panel::Delete;
    if (m_reprints.isOpen())
        return Panel::Reprint;
    if (m_closings.panel.visible)
        return Panel::ClosedFigures;
    return Panel::None;
}

} // namespace tawela::contracts
