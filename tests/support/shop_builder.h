#pragma once

#include "platform/db/database.h"
#include "platform/decimal.h"

#include <QString>

#include <initializer_list>
#include <memory>
#include <utility>

namespace tawela::test {

// An amount or a percentage written as people write it: d("10,375.50"), d("2.5").
inline platform::Decimal d(const char* text)
{
    return platform::Decimal::parse(QString::fromLatin1(text)).value();
}

// Rows of a rate table in days and percent a month, as the editor shows them:
//   rateRows(db, "fee_table1", {{30, "3"}, {60, "2.5"}});
inline void rateRows(const std::shared_ptr<platform::db::Database>& db, const char* table,
                     std::initializer_list<std::pair<int, const char*>> rows)
{
    for (const auto& row : rows)
        db->exec(QStringLiteral("INSERT INTO ") + QLatin1String(table) +
                     QStringLiteral(" (duration, fee) VALUES (?, ?)"),
                 {row.first, qlonglong(d(row.second).units())});
}

} // namespace tawela::test
