#pragma once

#include "platform/db/database.h"
#include "platform/decimal.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace tawela::contracts {

using platform::Decimal;

// One row of a rate table: a number of days and a percentage.
struct RateRow {
    qint64 duration = 0;
    Decimal fee;
};

// What a lookup settled on: the rate and the step days of its row.
struct RateMatch {
    Decimal rate;
    qint64 duration = 0;
};

// Step lookup in fee_tableN (rows in stored order): the first row whose
// duration is not less than the days, else the last row; nothing for an
// empty table.
std::optional<RateMatch> stepLookup(const QList<RateRow>& rows, qint64 days);

// Discount lookup in deduct_tableN (rows entered from most days to fewest):
// the first row whose duration is not greater than the days early, else
// the last row; nothing for an empty table.
std::optional<RateMatch> discountLookup(const QList<RateRow>& rows, qint64 daysEarly);

// Overdue on a day when it is later than the due date plus the grace days.
bool isOverdue(const QDate& dueDate, qint64 relaxDays, const QDate& day);

// The rate tables of the main database.
class RateTables {
public:
    explicit RateTables(std::shared_ptr<platform::db::Database> main) : m_db(std::move(main)) {}

    static QString feeTableName(const QString& tableNo);
    static QString deductTableName(const QString& tableNo);

    // Rows in stored order. Throws DbError when the table does not exist
    // (a table number typed by hand).
    QList<RateRow> feeRows(const QString& tableNo) const;
    QList<RateRow> deductRows(const QString& tableNo) const;
    // The default term of table N; nothing when its row is missing or empty.
    std::optional<qint64> period(const QString& tableNo) const;
    // Sets the Period of table N. Throws DbError when the row is missing.
    void setPeriod(const QString& tableNo, qint64 days);
    // The non-empty rates of fee_table, for the contract screen's rate list.
    QList<Decimal> rateList() const;
    // The non-empty product groups, in stored order.
    QStringList productGroups() const;
    void addProductGroup(const QString& group);

private:
    QList<RateRow> rows(const QString& table) const;
    std::shared_ptr<platform::db::Database> m_db;
};

} // namespace tawela::contracts
