#include "contracts/contract_store.h"

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

QVariant dec(Decimal d)
{
    return QVariant::fromValue(d);
}
QVariant day(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

Recordset contractRow(const std::shared_ptr<platform::db::Database>& db, const QString& number)
{
    return Recordset(db, QStringLiteral("chumnum"),
                     Condition::equals(QStringLiteral("Policy_no"), number));
}

// The columns the save writes, in the order it writes them.
void writeContract(Recordset& r, const Contract& c, const QString& fakeProductText)
{
    r.setValue(QStringLiteral("Policy_no"), c.policyNo);
    r.setValue(QStringLiteral("ref_no"), c.refNo);
    r.setValue(QStringLiteral("Amount1"), dec(c.amount1));
    r.setValue(QStringLiteral("Amount2"), dec(c.amount2));
    r.setValue(QStringLiteral("amount3"), dec(c.amount3));
    r.setValue(QStringLiteral("total_day"), QVariant::fromValue<qlonglong>(c.totalDay));
    r.setValue(QStringLiteral("Word1"), text::bahtText(c.amount1));
    r.setValue(QStringLiteral("World2"), text::bahtText(c.amount2));
    r.setValue(QStringLiteral("Interest_rate"), dec(c.interestRate));
    r.setValue(QStringLiteral("deduged"), c.deduged);
    r.setValue(QStringLiteral("Interes"), dec(c.interes));
    r.setValue(QStringLiteral("L_N"), 0);
    r.setValue(QStringLiteral("L_amount"), dec(c.amount1));
    r.setValue(QStringLiteral("L_fee"), dec(c.interestRate));
    r.setValue(QStringLiteral("L_total"), dec(c.amount2));
    r.setValue(QStringLiteral("L_fakdate"), day(c.policyDate));
    r.setValue(QStringLiteral("L_returndate"), day(c.endDate));
    r.setValue(QStringLiteral("P_status"), c.pStatus);
    r.setValue(QStringLiteral("P_note"), c.pNote);
    r.setValue(QStringLiteral("Policy_date"), day(c.policyDate));
    r.setValue(QStringLiteral("End_date"), day(c.endDate));
    r.setValue(QStringLiteral("En_Followup"), dec(c.interestRate));
    r.setValue(QStringLiteral("Payan1"), c.payan1);
    r.setValue(QStringLiteral("Payan2"), c.payan2);
    r.setValue(QStringLiteral("Ku_name"), c.kuName);
    r.setValue(QStringLiteral("Ku_age"), c.kuAge);
    r.setValue(QStringLiteral("Ku_ID"), c.kuId);
    r.setValue(QStringLiteral("Ku_address"), c.kuAddress);
    r.setValue(QStringLiteral("Ku_soi"), c.kuSoi);
    r.setValue(QStringLiteral("Ku_MP"), c.kuMp);
    r.setValue(QStringLiteral("Ku_code"), c.kuCode);
    r.setValue(QStringLiteral("Image1"), c.image1);
    r.setValue(QStringLiteral("Image2"), c.image2);
    r.setValue(QStringLiteral("Image3"), c.image3);
    r.setValue(QStringLiteral("dt_im1"), c.dtIm1);
    r.setValue(QStringLiteral("dt_im2"), c.dtIm2);
    r.setValue(QStringLiteral("dt_im3"), c.dtIm3);
    // Empty fields leave what is stored.
    if (!c.sn.isEmpty())
        r.setValue(QStringLiteral("SN"), c.sn);
    if (!c.weight.isEmpty())
        r.setValue(QStringLiteral("Weight"), c.weight);
    if (!c.otherDetail.isEmpty())
        r.setValue(QStringLiteral("other_detail"), c.otherDetail);
    if (!c.placeKeep.isEmpty())
        r.setValue(QStringLiteral("place_keep"), c.placeKeep);
    r.setValue(QStringLiteral("object"), c.object);
    r.setValue(QStringLiteral("Model"), c.model.left(255));
    r.setValue(QStringLiteral("FakeProductUse"), c.fakeProductUse);
    r.setValue(QStringLiteral("FakeProduct"), c.fakeProductUse ? fakeProductText : QString());
    r.setValue(QStringLiteral("Table_NO"), c.tableNo);
}

// A write on a stored contract goes ahead only while the row is as the
// screen read it; every write raises the version.
void checkUnchanged(const Recordset& row, const Contract& shown, bool mustBeOpen)
{
    if (row.integer(QStringLiteral("row_version")) != shown.rowVersion ||
        (mustBeOpen && !row.boolean(QStringLiteral("P_status"))))
        throw DbError(error_number::ChangedElsewhere, changedElsewhereText());
}

void raiseVersion(Recordset& row)
{
    row.setValue(QStringLiteral("row_version"),
                 QVariant::fromValue<qlonglong>(row.integer(QStringLiteral("row_version")) + 1));
}

DbError notFound(const QString& policyNo)
{
    return DbError(error_number::NoCurrentRecord,
                   QStringLiteral("ไม่พบสัญญาเลขที่ ") + policyNo + QStringLiteral(" ในฐานข้อมูล"));
}

void writeShop(Recordset& r, const Recordset& settings)
{
    r.setValue(QStringLiteral("Company_name"), settings.text(QStringLiteral("company_name")));
    for (const char* column : {"address1", "address2", "address3", "Tel", "Fax", "Tax_no"})
        r.setValue(QLatin1String(column), settings.text(QLatin1String(column)));
}

} // namespace

ContractStore::ContractStore(std::shared_ptr<platform::db::Database> main) : m_db(std::move(main))
{}

qint64 ContractStore::currentRun() const
{
    return admin::settingsRecord(m_db).integer(QStringLiteral("chumnum_run"));
}

bool ContractStore::contractNumberTaken(const QString& number) const
{
    return contractRow(m_db, number).count() > 0;
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
    for (; !r.atEnd(); r.moveNext()) {
        RenewalLine l;
        l.lineNo = r.integer(QStringLiteral("line_no"));
        l.amount = r.decimal(QStringLiteral("Amount"));
        l.fee = r.decimal(QStringLiteral("fee"));
        l.plub = r.decimal(QStringLiteral("plub"));
        l.discount = r.decimal(QStringLiteral("discount"));
        l.total = r.decimal(QStringLiteral("total"));
        l.fakDate = r.date(QStringLiteral("fak_date"));
        l.returnDate = r.date(QStringLiteral("return_date"));
        lines << l;
    }
    return lines;
}

QString ContractStore::takeReceiptNumber()
{
    Transaction tx(*m_db);
    Recordset s = admin::settingsRecord(m_db);
    qint64 run = s.integer(QStringLiteral("run_recv"));
    const QString prefix = s.text(QStringLiteral("Pre_Recv"));
    // A number already on a stored receipt (a counter set back by hand) is
    // passed over: no two receipts share a number.
    QString number = receiptNumber(prefix, run);
    while (m_db->scalar(QStringLiteral("SELECT count(*) FROM service WHERE recv_no = ?"), {number})
               .toLongLong() > 0)
        number = receiptNumber(prefix, ++run);
    s.setValue(QStringLiteral("run_recv"), QVariant::fromValue<qlonglong>(run + 1));
    s.store();
    tx.commit();
    return number;
}

QString ContractStore::addReceipt(Receipt receipt)
{
    Transaction tx(*m_db);
    receipt.recvNo = takeReceiptNumber();
    Recordset r(m_db, QStringLiteral("service"), !Condition());
    r.addNew();
    r.setValue(QStringLiteral("recv_no"), receipt.recvNo);
    r.setValue(QStringLiteral("prod_code"), receipt.prodCode);
    r.setValue(QStringLiteral("description"), receipt.description);
    r.setValue(QStringLiteral("s_group"), receipt.sGroup);
    r.setValue(QStringLiteral("s_group2"), receipt.sGroup2);
    r.setValue(QStringLiteral("quan"), QVariant::fromValue<qlonglong>(receipt.quan));
    r.setValue(QStringLiteral("price"), dec(receipt.price));
    r.setValue(QStringLiteral("tt_price"), dec(receipt.ttPrice));
    r.setValue(QStringLiteral("pay_method"), receipt.payMethod);
    r.setValue(QStringLiteral("s_date"), day(receipt.sDate));
    r.setValue(QStringLiteral("s_time"),
               receipt.sTime.isValid() ? QVariant(receipt.sTime) : QVariant());
    r.setValue(QStringLiteral("c_code"), receipt.cCode);
    r.setValue(QStringLiteral("employee"), receipt.employee);
    r.setValue(QStringLiteral("wordsay"), receipt.wordsay);
    r.setValue(QStringLiteral("Ku_name"), receipt.kuName);
    r.setValue(QStringLiteral("Ku_address"), receipt.kuAddress);
    r.store();
    tx.commit();
    return receipt.recvNo;
}

void ContractStore::addExpense(const Expense& e)
{
    Recordset r(m_db, QStringLiteral("spending"), !Condition());
    r.addNew();
    r.setValue(QStringLiteral("description"), e.description.left(254));
    r.setValue(QStringLiteral("s_group"), e.sGroup);
    r.setValue(QStringLiteral("s_group2"), e.sGroup2);
    r.setValue(QStringLiteral("quan"), QVariant::fromValue<qlonglong>(e.quan));
    r.setValue(QStringLiteral("price"), dec(e.price));
    r.setValue(QStringLiteral("tt_price"), dec(e.ttPrice));
    r.setValue(QStringLiteral("s_date"), day(e.sDate));
    r.setValue(QStringLiteral("employee"), e.employee);
    r.setValue(QStringLiteral("c_code"), e.cCode);
    r.store();
}

SaveResult ContractStore::save(const SaveRequest& request)
{
    Transaction tx(*m_db);
    Contract c = request.contract;
    Recordset row = contractRow(m_db, c.policyNo);
    SaveResult result;

    if (request.isNew) {
        Recordset settings = admin::settingsRecord(m_db);
        const qint64 run = settings.integer(QStringLiteral("chumnum_run"));
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
        settings.setValue(QStringLiteral("chumnum_run"), QVariant::fromValue<qlonglong>(run + 1));
        settings.store();
        row.addNew();
        writeShop(row, settings);
        row.setValue(QStringLiteral("row_version"), 0);
    } else if (row.isEmpty()) {
        throw notFound(c.policyNo);
    } else {
        checkUnchanged(row, c, c.pStatus);
        raiseVersion(row);
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
        lines.setValue(QStringLiteral("policy_no"), c.policyNo);
        lines.setValue(QStringLiteral("line_no"), QVariant::fromValue<qlonglong>(l.lineNo));
        lines.setValue(QStringLiteral("Amount"), dec(l.amount));
        lines.setValue(QStringLiteral("fee"), dec(l.fee));
        lines.setValue(QStringLiteral("plub"), dec(l.plub));
        lines.setValue(QStringLiteral("discount"), dec(l.discount));
        lines.setValue(QStringLiteral("total"), dec(l.total));
        lines.setValue(QStringLiteral("fak_date"), day(l.fakDate));
        lines.setValue(QStringLiteral("return_date"), day(l.returnDate));
        lines.store();
        last = &l;
    }
    if (last) {
        row.setValue(QStringLiteral("L_N"), QVariant::fromValue<qlonglong>(last->lineNo));
        row.setValue(QStringLiteral("L_amount"), dec(last->amount));
        row.setValue(QStringLiteral("L_fee"), dec(last->fee));
        row.setValue(QStringLiteral("L_plub"), dec(last->plub));
        row.setValue(QStringLiteral("L_discount"), dec(last->discount));
        row.setValue(QStringLiteral("L_total"), dec(last->total));
        row.setValue(QStringLiteral("L_fakdate"), day(last->fakDate));
        row.setValue(QStringLiteral("L_returndate"), day(last->returnDate));
        row.setValue(QStringLiteral("L_tor"), request.mode == OperationMode::Renewal);
        row.store();
    }

    result.policyNo = c.policyNo;
    result.refNo = c.refNo;
    const QString model = c.model.left(255);
    switch (request.mode) {
    case OperationMode::NewContract: {
        Contract stored = c;
        stored.model = model;
        Expense e;
        e.description = expenseDescription(stored);
        e.sGroup = c.object;
        e.sGroup2 = QStringLiteral("ขายฝาก");
        e.price = c.amount1;
        e.ttPrice = c.amount3;
        e.sDate = request.now.date();
        e.employee = request.employeeName;
        e.cCode = c.kuCode;
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
        r.prodCode = c.policyNo;
        r.description = QStringLiteral("ต่อดอก สัญญาเลขที่ ") + c.refNo + u' ' + model;
        r.sGroup = c.object;
        r.sGroup2 = QStringLiteral("ต่อดอก");
        r.price = request.mode == OperationMode::Renewal ? Decimal() : c.amount1;
        r.ttPrice = request.receiptTotal;
        r.sDate = request.now.date();
        r.sTime = request.now.time();
        r.cCode = c.kuCode;
        r.employee = request.employeeName;
        r.wordsay = text::bahtText(request.receiptTotal);
        r.kuName = c.kuName;
        r.kuAddress = c.kuAddress;
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
    Recordset row = contractRow(m_db, closing.policyNo);
    if (row.isEmpty())
        throw notFound(closing.policyNo);
    if (row.integer(QStringLiteral("row_version")) != closing.rowVersion ||
        !row.boolean(QStringLiteral("P_status")))
        throw DbError(error_number::ChangedElsewhere, changedElsewhereText());
    raiseVersion(row);
    row.setValue(QStringLiteral("P_status"), false);
    if (closing.forfeited)
        row.setValue(QStringLiteral("over_due"), true);
    row.setValue(QStringLiteral("Close_date"), day(closing.closeDate));
    row.setValue(QStringLiteral("L_amount"), dec(closing.lAmount));
    row.setValue(QStringLiteral("total_day"), QVariant::fromValue<qlonglong>(closing.totalDay));
    if (closing.lFee)
        row.setValue(QStringLiteral("L_fee"), dec(*closing.lFee));
    if (closing.lPlub)
        row.setValue(QStringLiteral("L_plub"), dec(*closing.lPlub));
    if (closing.lDiscount)
        row.setValue(QStringLiteral("L_discount"), dec(*closing.lDiscount));
    row.setValue(QStringLiteral("L_total"), dec(closing.lTotal));
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
    Recordset row = contractRow(m_db, policyNo);
    if (row.isEmpty())
        return false;
    if (rowVersion && row.integer(QStringLiteral("row_version")) != *rowVersion)
        throw DbError(error_number::ChangedElsewhere, changedElsewhereText());
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
