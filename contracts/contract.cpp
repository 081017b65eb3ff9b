#include "contracts/contract.h"

#include "platform/db/recordset.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::Condition;

ContractState stateOf(const Contract& c)
{
    if (!c.pStatus)
        return c.overDue ? ContractState::Forfeited : ContractState::Redeemed;
    return c.lN > 0 ? ContractState::Renewed : ContractState::Open;
}

QString contractFilterText(ContractFilter filter)
{
    switch (filter) {
    case ContractFilter::Open:
        return QStringLiteral("สัญญาเปิด");
    case ContractFilter::Closed:
        return QStringLiteral("สัญญาปิด");
    case ContractFilter::All:
        return QStringLiteral("ทั้งหมด");
    }
    return {};
}

Condition conditionFor(ContractFilter filter)
{
    switch (filter) {
    case ContractFilter::Open:
        return Condition::equals(QStringLiteral("P_status"), true);
    case ContractFilter::Closed:
        return Condition::equals(QStringLiteral("P_status"), false);
    case ContractFilter::All:
        return {};
    }
    return {};
}

QString contractNumber(const QDate& day, qint64 run)
{
    const QString year = QString::number(text::buddhistYear(day.year())).right(2);
    const QString month = QStringLiteral("-%1-").arg(day.month(), 2, 10, QChar(u'0'));
    const QString runPart = run < 0 ? u'-' + QStringLiteral("%1").arg(-run, 4, 10, QChar(u'0'))
                                    : QStringLiteral("%1").arg(run, 4, 10, QChar(u'0'));
    return year + month + QStringLiteral("4-") + runPart;
}

QString receiptNumber(const QString& prefix, qint64 run)
{
    return prefix + QString::number(run);
}

QString expenseDescription(const Contract& c)
{
    const QString text =
        QStringLiteral("สัญญาเลขที่ ") + c.refNo + c.kuName + QStringLiteral("  ขายฝาก ") + c.model;
    return text.left(254);
}

Contract readContract(const platform::db::Recordset& r)
{
    Contract c;
    c.id = r.integer(QStringLiteral("ID"));
    c.policyNo = r.text(QStringLiteral("Policy_no"));
    c.refNo = r.text(QStringLiteral("ref_no"));
    c.tableNo = r.text(QStringLiteral("Table_NO"));
    c.amount1 = r.decimal(QStringLiteral("Amount1"));
    c.interes = r.decimal(QStringLiteral("Interes"));
    c.interestRate = r.decimal(QStringLiteral("Interest_rate"));
    c.enFollowup = r.decimal(QStringLiteral("En_Followup"));
    c.deduged = r.boolean(QStringLiteral("deduged"));
    c.amount3 = r.decimal(QStringLiteral("amount3"));
    c.amount2 = r.decimal(QStringLiteral("Amount2"));
    c.word1 = r.text(QStringLiteral("Word1"));
    c.world2 = r.text(QStringLiteral("World2"));
    c.policyDate = r.date(QStringLiteral("Policy_date"));
    c.totalDay = r.integer(QStringLiteral("total_day"));
    c.endDate = r.date(QStringLiteral("End_date"));
    c.kuCode = r.text(QStringLiteral("Ku_code"));
    c.kuName = r.text(QStringLiteral("Ku_name"));
    c.kuAge = r.text(QStringLiteral("Ku_age"));
    c.kuId = r.text(QStringLiteral("Ku_ID"));
    c.kuAddress = r.text(QStringLiteral("Ku_address"));
    c.kuSoi = r.text(QStringLiteral("Ku_soi"));
    c.kuMp = r.text(QStringLiteral("Ku_MP"));
    c.pNote = r.text(QStringLiteral("P_note"));
    c.object = r.text(QStringLiteral("object"));
    c.model = r.text(QStringLiteral("Model"));
    c.weight = r.text(QStringLiteral("Weight"));
    c.sn = r.text(QStringLiteral("SN"));
    c.otherDetail = r.text(QStringLiteral("other_detail"));
    c.placeKeep = r.text(QStringLiteral("place_keep"));
    c.fakeProductUse = r.boolean(QStringLiteral("FakeProductUse"));
    c.fakeProduct = r.text(QStringLiteral("FakeProduct"));
    c.image1 = r.text(QStringLiteral("Image1"));
    c.image2 = r.text(QStringLiteral("Image2"));
    c.image3 = r.text(QStringLiteral("Image3"));
    c.dtIm1 = r.text(QStringLiteral("dt_im1"));
    c.dtIm2 = r.text(QStringLiteral("dt_im2"));
    c.dtIm3 = r.text(QStringLiteral("dt_im3"));
    c.payan1 = r.text(QStringLiteral("Payan1"));
    c.payan2 = r.text(QStringLiteral("Payan2"));
    c.companyName = r.text(QStringLiteral("Company_name"));
    c.address1 = r.text(QStringLiteral("address1"));
    c.address2 = r.text(QStringLiteral("address2"));
    c.address3 = r.text(QStringLiteral("address3"));
    c.tel = r.text(QStringLiteral("Tel"));
    c.fax = r.text(QStringLiteral("Fax"));
    c.taxNo = r.text(QStringLiteral("Tax_no"));
    c.pStatus = r.boolean(QStringLiteral("P_status"));
    c.overDue = r.boolean(QStringLiteral("over_due"));
    c.closeDate = r.date(QStringLiteral("Close_date"));
    c.lN = r.integer(QStringLiteral("L_N"));
    c.lAmount = r.decimal(QStringLiteral("L_amount"));
    c.lFee = r.decimal(QStringLiteral("L_fee"));
    c.lPlub = r.decimal(QStringLiteral("L_plub"));
    c.lDiscount = r.decimal(QStringLiteral("L_discount"));
    c.lTotal = r.decimal(QStringLiteral("L_total"));
    c.lFakdate = r.date(QStringLiteral("L_fakdate"));
    c.lReturndate = r.date(QStringLiteral("L_returndate"));
    c.lTor = r.boolean(QStringLiteral("L_tor"));
    c.rowVersion = r.integer(QStringLiteral("row_version"));
    return c;
}

} // namespace tawela::contracts
