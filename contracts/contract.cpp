#include "contracts/contract.h"

#include "platform/db/recordset.h"
#include "text/thai_text.h"

namespace tawela::contracts {

using platform::db::Condition;

ContractState stateOf(const Contract& c)
{
    if (!c.pStatus)
        return c.overDue ? ContractState::Forfeited : ContractState::Redeemed;
    return c.lastLine > 0 ? ContractState::Renewed : ContractState::Open;
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
    return text.left(ExpenseDescriptionLength);
}

void takeShopDetails(Contract& c, const admin::Settings& s)
{
    c.companyName = s.companyName;
    c.address1 = s.address1;
    c.address2 = s.address2;
    c.address3 = s.address3;
    c.tel = s.tel;
    c.fax = s.fax;
    c.taxNo = s.taxNo;
}

Contract readContract(const platform::db::Recordset& r)
{
    Contract c;
    platform::db::RowReader reader{r};
    mapContractColumns(reader, c);
    return c;
}

} // namespace tawela::contracts
