#include "contracts/contract_store.h"

#include <QSqlQuery>

#include "admin/settings.h"

#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "platform/db/transaction.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::Condition;
using platform::db::DbError;
using platform::db::Recordset;
using platform::db::Transaction;
namespace error_number = platform::db::error_number;

namespace {

Recordset contractRow(const std::shared_ptr<platform::db::Database>& db, const QString& number)
{
    return Recordset(db, QStringLiteral("chumnum"),
                     Condition::equals(QStringLiteral("Policy_no"), number));
}

// The row the save writes: the contract as shown, with what the save
// derives from it (the words of the amounts, the last movement before any
// renewal line, the goods cut to the column, the hidden-goods text).
Contract asStored(Contract c, const QString& fakeProductText)
{
    c.principalWords = text::bahtText(c.principal);
    c.redemptionWords = text::bahtText(c.redemption);
    c.renewalFee = c.interest;
    c.lastLine = 0;
    c.lastAmount = c.principal;
    c.lastFee = c.interest;
    c.lastTotal = c.redemption;
    c.lastFrom = c.contractDate;
    c.lastDue = c.dueDate;
    c.model = c.model.left(ModelLength);
    c.fakeProduct = c.fakeProductUse ? fakeProductText : QString();
    return c;
}

void writeContract(Recordset& r, const Contract& c, const QString& fakeProductText)
{
    const Contract stored = asStored(c, fakeProductText);
    platform::db::RowWriter writer{r, r.isAdding()};
    mapContractColumns(writer, stored);
}

// A write on a stored contract goes ahead only while the row is as the
// screen read it; every write raises the version.
void checkUnchanged(const Recordset& row, qint64 shownVersion, bool mustBeOpen)
{
    if (platform::db::rowVersion(row) != shownVersion || (mustBeOpen && !readContract(row).pStatus))
        throw DbError(error_number::ChangedElsewhere, changedElsewhereText());
}

DbError notFound(const QString& policyNo)
{
    return DbError(error_number::NoCurrentRecord,
                   QStringLiteral("ไม่พบสัญญาเลขที่ ") + policyNo + QStringLiteral(" ในฐานข้อมูล"));
}

} // namespace

ContractStore::ContractStore(std::shared_ptr<platform::db::Database> main) : m_db(std::move(main))
{}

qint64 ContractStore::currentRun() const
{
    return admin::loadSettings(m_db).chumnumRun;
}

bool ContractStore::contractNumberTaken(const QString& number) const
{
    return contractRow(m_db, number).count() > 0 || archived(number);
}

bool ContractStore::archived(const QString& number) const
{
    return m_archive &&
           m_archive
                   ->scalar(QStringLiteral("SELECT count(*) FROM chumnum WHERE Policy_no = ?"),
                            {number})
                   .toLongLong() > 0;
}

std::optional<QString> ContractStore::receiptContract(const QString& receiptNo) const
{
    QSqlQuery q = m_db->exec(
        QStringLiteral("SELECT prod_code FROM service WHERE recv_no = ? AND recv_no <> ''"),
        {receiptNo});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString().trimmed();
}

std::optional<Contract> ContractStore::find(const QString& policyNo) const
{
    Recordset r = contractRow(m_db, policyNo);
    if (r.isEmpty())
        return std::nullopt;
    return readContract(r);
}

QList<RenewalLine> ContractStore::renewalLines(const QString& policyNo) const
{
    QList<RenewalLine> lines;
    Recordset r(m_db, QStringLiteral("chumnum_tor"),
                Condition::equals(QStringLiteral("policy_no"), policyNo));
    platform::db::RowReader reader{r};
    for (; !r.atEnd(); r.moveNext()) {
        RenewalLine l;
        QString owner;
        mapRenewalLineColumns(reader, l, owner);
        lines << l;
    }
    return lines;
}

void ContractStore::lockWriters() const
{
    // One writer of contracts at a time: running numbers and the stale-copy
    // check read, then write. The counters row stands for them all.
    m_db->lockForWriting(QStringLiteral("config_setting"));
}

QString ContractStore::takeReceiptNumber()
{
    Transaction tx(*m_db);
    lockWriters();
    Recordset s = admin::settingsRecord(m_db);
    admin::Settings counters = admin::readSettings(s);
    qint64 run = counters.runRecv;
    const QString prefix = counters.preRecv;
    // A number already on a stored receipt (a counter set back by hand) is
    // passed over: no two receipts share a number.
    QString number = receiptNumber(prefix, run);
    while (m_db->scalar(QStringLiteral("SELECT count(*) FROM service WHERE recv_no = ?"), {number})
               .toLongLong() > 0)
        number = receiptNumber(prefix, ++run);
    counters.runRecv = run + 1;
    admin::writeSettings(s, counters);
    s.store();
    tx.commit();
    return number;
}

QString ContractStore::addReceipt(Receipt receipt)
{
    Transaction tx(*m_db);
    receipt.number = takeReceiptNumber();
    Recordset r(m_db, QStringLiteral("service"), !Condition());
    r.addNew();
    platform::db::RowWriter writer{r, true};
    mapReceiptColumns(writer, receipt);
    r.store();
    tx.commit();
    return receipt.number;
}

void ContractStore::addExpense(const Expense& e)
{
    Recordset r(m_db, QStringLiteral("spending"), !Condition());
    r.addNew();
    Expense cut = e;
    cut.description = e.description.left(ExpenseDescriptionLength);
    platform::db::RowWriter writer{r, true};
    mapExpenseColumns(writer, cut);
    r.store();
}

SaveResult ContractStore::save(const SaveRequest& request)
{
    // Never a receipt for less than nothing, whoever calls.
    for (const RenewalLine& l : request.lines)
        if (l.lineNo > 0 && !l.markedDeleted && l.total.isNegative())
            throw DbError(
                platform::db::error_number::General,
                QStringLiteral("รายการต่อดอกครั้งที่ %1 มียอดรวมติดลบ ไม่ได้จัดเก็บสัญญา").arg(l.lineNo));
    if (request.receiptTotal.isNegative() &&
        (request.mode == OperationMode::Renewal || request.mode == OperationMode::Redemption))
        throw DbError(platform::db::error_number::General,
                      QStringLiteral("ยอดรับเงินติดลบ (%1 บาท) ไม่ได้จัดเก็บสัญญา")
                          .arg(request.receiptTotal.toFixed(2)));
    Transaction tx(*m_db);
    lockWriters();
    Contract c = request.contract;
    Recordset row = contractRow(m_db, c.policyNo);
    SaveResult result;

    if (request.isNew) {
        if (archived(c.policyNo))
            throw DbError(platform::db::error_number::DuplicateKey,
                          QStringLiteral("หมายเลขสัญญา ") + c.policyNo +
                              QStringLiteral(" มีอยู่แล้วในสัญญาที่แยกเก็บไว้"));
        Recordset settings = admin::settingsRecord(m_db);
        admin::Settings counters = admin::readSettings(settings);
        const qint64 run = counters.chumnumRun;
        // The number shown was formed when the contract was started. If
        // another copy of the program has used that run since, nothing is
        // stored: the person is told the new number before it goes on a
        // goods tag. A number the person typed is kept as typed.
        const QString shown = contractNumber(request.startedOn, request.startedWithRun);
        if (c.policyNo == shown && run != request.startedWithRun) {
            result.renumberedTo = contractNumber(request.startedOn, run);
            result.renumberedRun = run;
            return result;
        }
        counters.chumnumRun = run + 1;
        admin::writeSettings(settings, counters);
        settings.store();
        row.addNew();
        // As they are when it is stored.
        takeShopDetails(c, counters);
        platform::db::startRowVersion(row);
    } else if (row.isEmpty()) {
        throw notFound(c.policyNo);
    } else {
        checkUnchanged(row, c.rowVersion, c.pStatus);
        platform::db::raiseRowVersion(row);
    }
    writeContract(row, c, request.fakeProductText);
    row.store();

    // Renewal lines: the grid replaces whatever was stored.
    m_db->exec(QStringLiteral("DELETE FROM chumnum_tor WHERE policy_no = ?"), {c.policyNo});
    Recordset lines(m_db, QStringLiteral("chumnum_tor"), !Condition());
    const RenewalLine* last = nullptr;
    for (const RenewalLine& l : request.lines) {
        if (l.lineNo <= 0 || l.markedDeleted)
            continue;
        lines.addNew();
        platform::db::RowWriter writer{lines, true};
        mapRenewalLineColumns(writer, l, c.policyNo);
        lines.store();
        last = &l;
    }
    if (last) {
        const bool renewed = request.mode == OperationMode::Renewal;
        platform::db::RowWriter writer{row};
        mapLastLineColumns(writer, *last, renewed);
        row.store();
    }

    result.policyNo = c.policyNo;
    result.refNo = c.refNo;
    const QString model = c.model.left(ModelLength);
    switch (request.mode) {
    case OperationMode::NewContract: {
        Contract stored = c;
        stored.model = model;
        Expense e;
        e.description = expenseDescription(stored);
        e.group = c.object;
        e.kind = QStringLiteral("ขายฝาก");
        e.price = c.principal;
        e.total = c.payout;
        e.date = request.now.date();
        e.employee = request.employeeName;
        e.customerCode = c.kuCode;
        addExpense(e);
        break;
    }
    case OperationMode::Renewal:
    case OperationMode::Redemption: {
        // Nothing collected, no receipt: a numbered receipt of 0 baht
        // would only use a number.
        if (request.receiptTotal.isZero())
            break;
        Receipt r;
        r.contractNo = c.policyNo;
        r.description = QStringLiteral("ต่อดอก สัญญาเลขที่ ") + c.refNo + u' ' + model;
        r.group = c.object;
        r.kind = QStringLiteral("ต่อดอก");
        r.price = request.mode == OperationMode::Renewal ? Decimal() : c.principal;
        r.total = request.receiptTotal;
        r.date = request.now.date();
        r.time = request.now.time();
        r.customerCode = c.kuCode;
        r.employee = request.employeeName;
        r.totalWords = text::bahtText(request.receiptTotal);
        r.customerName = c.kuName;
        r.customerAddress = c.kuAddress;
        result.receiptNo = addReceipt(r);
        break;
    }
    case OperationMode::None:
        break;
    }
    tx.commit();
    return result;
}

QString ContractStore::close(const Closing& closing, const std::optional<Receipt>& receipt)
{
    Transaction tx(*m_db);
    lockWriters();
    Recordset row = contractRow(m_db, closing.policyNo);
    if (row.isEmpty())
        throw notFound(closing.policyNo);
    checkUnchanged(row, closing.rowVersion, true);
    platform::db::raiseRowVersion(row);
    platform::db::RowWriter writer{row};
    mapClosingColumns(writer, closing);
    row.store();
    QString number;
    if (receipt)
        number = addReceipt(*receipt);
    tx.commit();
    return number;
}

bool ContractStore::remove(const QString& policyNo, std::optional<qint64> rowVersion)
{
    Transaction tx(*m_db);
    lockWriters();
    Recordset row = contractRow(m_db, policyNo);
    if (row.isEmpty())
        return false;
    if (rowVersion)
        checkUnchanged(row, *rowVersion, false);
    m_db->exec(QStringLiteral("DELETE FROM chumnum WHERE Policy_no = ?"), {policyNo});
    m_db->exec(QStringLiteral("DELETE FROM chumnum_tor WHERE policy_no = ?"), {policyNo});
    tx.commit();
    return true;
}

QString changedElsewhereText()
{
    return QStringLiteral("สัญญานี้ถูกแก้ไขจากเครื่องอื่น หลังจากที่เปิดดูบนเครื่องนี้ "
                          "กรุณาเปิดสัญญาขึ้นมาใหม่ แล้วทำรายการอีกครั้ง");
}

} // namespace tawela::contracts
