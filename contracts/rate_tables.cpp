#include "contracts/rate_tables.h"

#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

namespace tawela::contracts {

using platform::db::Condition;
using platform::db::DbError;
using platform::db::Recordset;

std::optional<RateMatch> stepLookup(const QList<RateRow>& rows, qint64 days)
{
    if (rows.isEmpty())
        return std::nullopt;
    for (const RateRow& r : rows)
        if (r.duration >= days)
            return RateMatch{r.fee, r.duration};
    return RateMatch{rows.last().fee, rows.last().duration};
}

std::optional<RateMatch> discountLookup(const QList<RateRow>& rows, qint64 daysEarly)
{
    if (rows.isEmpty())
        return std::nullopt;
    for (const RateRow& r : rows)
        if (r.duration <= daysEarly)
            return RateMatch{r.fee, r.duration};
    return RateMatch{rows.last().fee, rows.last().duration};
}

bool isOverdue(const QDate& dueDate, qint64 relaxDays, const QDate& day)
{
    return dueDate.isValid() && day > dueDate.addDays(relaxDays);
}

QString RateTables::feeTableName(const QString& tableNo)
{
    return QStringLiteral("fee_table") + tableNo;
}

QString RateTables::deductTableName(const QString& tableNo)
{
    return QStringLiteral("deduct_table") + tableNo;
}

QList<RateRow> RateTables::rows(const QString& table) const
{
    QList<RateRow> list;
    Recordset rs(m_db, table);
    for (; !rs.atEnd(); rs.moveNext())
        list << RateRow{rs.integer(QStringLiteral("duration")), rs.decimal(QStringLiteral("fee"))};
    return list;
}

QList<RateRow> RateTables::feeRows(const QString& tableNo) const
{
    return rows(feeTableName(tableNo));
}

QList<RateRow> RateTables::deductRows(const QString& tableNo) const
{
    return rows(deductTableName(tableNo));
}

std::optional<qint64> RateTables::period(const QString& tableNo) const
{
    Recordset rs(m_db, QStringLiteral("Period"),
                 Condition::equals(QStringLiteral("TableName"), tableNo));
    if (rs.isEmpty() || rs.isNull(QStringLiteral("Period")))
        return std::nullopt;
    return rs.integer(QStringLiteral("Period"));
}

void RateTables::setPeriod(const QString& tableNo, qint64 days)
{
    Recordset rs(m_db, QStringLiteral("Period"),
                 Condition::equals(QStringLiteral("TableName"), tableNo));
    if (rs.isEmpty())
        throw DbError(platform::db::error_number::NoCurrentRecord,
                      QStringLiteral("ไม่พบรอบในการรับฝากของตารางที่ ") + tableNo);
    rs.setValue(QStringLiteral("Period"), QVariant::fromValue<qlonglong>(days));
    rs.store();
}

QList<Decimal> RateTables::rateList() const
{
    QList<Decimal> list;
    Recordset rs(m_db, QStringLiteral("fee_table"));
    for (; !rs.atEnd(); rs.moveNext())
        if (!rs.isNull(QStringLiteral("fee")))
            list << rs.decimal(QStringLiteral("fee"));
    return list;
}

QStringList RateTables::productGroups() const
{
    QStringList list;
    Recordset rs(m_db, QStringLiteral("chumnum_prod_group"));
    for (; !rs.atEnd(); rs.moveNext())
        if (const QString g = rs.text(QStringLiteral("prod_group")); !g.isEmpty())
            list << g;
    return list;
}

void RateTables::addProductGroup(const QString& group)
{
    Recordset rs(m_db, QStringLiteral("chumnum_prod_group"), !Condition());
    rs.addNew();
    rs.setValue(QStringLiteral("prod_group"), group);
    rs.store();
}

} // namespace tawela::contracts
