#include "contracts/rate_tables.h"

#include "platform/db/column_map.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

namespace tawela::contracts {

namespace {

// A row of a fee or deduct table.
template <typename Row, typename R> void mapRateRowColumns(Row& row, R& r)
{
    row.integer(QStringLiteral("duration"), r.duration);
    row.decimal(QStringLiteral("fee"), r.fee);
}

// A table's default term (Period), none when empty.
template <typename Row, typename P> void mapPeriodColumns(Row& row, P& days)
{
    row.optionalInteger(QStringLiteral("Period"), days);
}

// A rate of the rate list (fee_table), none when empty.
template <typename Row, typename F> void mapRateListColumns(Row& row, F& fee)
{
    row.optionalDecimal(QStringLiteral("fee"), fee);
}

// A product group of the list.
template <typename Row, typename G> void mapProductGroupColumns(Row& row, G& group)
{
    row.text(QStringLiteral("prod_group"), group);
}

} // namespace

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
    platform::db::RowReader reader{rs};
    for (; !rs.atEnd(); rs.moveNext()) {
        RateRow r;
        mapRateRowColumns(reader, r);
        list << r;
    }
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
    std::optional<qint64> days;
    if (!rs.isEmpty()) {
        platform::db::RowReader reader{rs};
        mapPeriodColumns(reader, days);
    }
    return days;
}

void RateTables::setPeriod(const QString& tableNo, qint64 days)
{
    Recordset rs(m_db, QStringLiteral("Period"),
                 Condition::equals(QStringLiteral("TableName"), tableNo));
    if (rs.isEmpty())
        throw DbError(platform::db::error_number::NoCurrentRecord,
                      QStringLiteral("ไม่พบรอบในการรับฝากของตารางที่ ") + tableNo);
    const std::optional<qint64> term = days;
    platform::db::RowWriter writer{rs};
    mapPeriodColumns(writer, term);
    rs.store();
}

QList<Decimal> RateTables::rateList() const
{
    QList<Decimal> list;
    Recordset rs(m_db, QStringLiteral("fee_table"));
    platform::db::RowReader reader{rs};
    for (; !rs.atEnd(); rs.moveNext()) {
        std::optional<Decimal> fee;
        mapRateListColumns(reader, fee);
        if (fee)
            list << *fee;
    }
    return list;
}

QStringList RateTables::productGroups() const
{
    QStringList list;
    Recordset rs(m_db, QStringLiteral("chumnum_prod_group"));
    platform::db::RowReader reader{rs};
    for (; !rs.atEnd(); rs.moveNext()) {
        QString g;
        mapProductGroupColumns(reader, g);
        if (!g.isEmpty())
            list << g;
    }
    return list;
}

void RateTables::addProductGroup(const QString& group)
{
    Recordset rs(m_db, QStringLiteral("chumnum_prod_group"), !Condition());
    rs.addNew();
    platform::db::RowWriter writer{rs, true};
    mapProductGroupColumns(writer, group);
    rs.store();
}

} // namespace tawela::contracts
