#pragma once

#include "platform/db/database.h"
#include "platform/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace tawela::customers {

// One line of a customer's service history: money the shop paid the
// customer (negative) or received (positive).
struct HistoryRow {
    QString description;
    platform::Decimal amount;
    QDate date;
    QString group, group2, employee, code;
};

// Fills the history table `temp` with the customer's payments (their amounts
// negated) and receipts, and returns its lines newest first. The table is
// this connection's own copy, so two computers building histories at once
// never see or remove each other's lines; the history report reads it.
// Throws DbError.
QList<HistoryRow> buildHistory(const platform::db::Database& main, const QString& code);

} // namespace tawela::customers
