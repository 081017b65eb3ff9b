#pragma once

#include "platform/db/database.h"
#include "platform/db/recordset.h"
#include "platform/decimal.h"

#include <QDate>
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

// One row stored the way the program stores it: each value as it is typed
// in the program (amounts as text "1,000.50", dates as QDate, yes/no as bool).
//   addRow(db, "service", {{"recv_no", "R1"}, {"s_date", QDate(2024, 3, 1)}, {"tt_price", "100"}});
inline void addRow(const std::shared_ptr<platform::db::Database>& db, const char* table,
                   std::initializer_list<std::pair<const char*, QVariant>> values)
{
    const QString name = QLatin1String(table);
    const QString first = db->tableInfo(name).columns().first().name;
    // Opened on no row at all: only the new one is read back.
    platform::db::Recordset rs(db, name, platform::db::Condition::isNull(first));
    rs.addNew();
    for (const auto& [column, value] : values)
        rs.setValue(QLatin1String(column), value);
    rs.store();
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

// One open contract, 68-01-4-0001 of 10,000 baht at 3 % for 30 days from
// ten days ago (table 1, fee 300), for the screens that show a contract.
inline void openContract(const std::shared_ptr<platform::db::Database>& db)
{
    const QDate start = QDate::currentDate().addDays(-10);
    db->exec(
        QStringLiteral("INSERT INTO chumnum (Policy_no, ref_no, Amount1, Amount2, amount3, "
                       "Interes, Interest_rate, total_day, Policy_date, End_date, P_status, "
                       "Ku_name, Ku_address, object, Model, Table_NO) VALUES ('68-01-4-0001', "
                       "'68-01-4-0001', 100000000, 103000000, 100000000, 30000, 3000000, 30, ?, "
                       "?, 1, 'นายดี มีทรัพย์', '1 ถนนสุขุมวิท', 'ทองคำ', 'แหวนทอง', '1')"),
        {start.toString(Qt::ISODate), start.addDays(30).toString(Qt::ISODate)});
}

// Makes every INSERT (or DELETE) on a table fail from now on, with the
// message given: a disk or a server failing in the middle of a command.
inline void failEvery(platform::db::Database& db, const char* operation, const char* table,
                      const char* message)
{
    const QString name = QStringLiteral("fail_") + QLatin1String(table);
    if (db.isServer()) {
        db.exec(QStringLiteral("CREATE OR REPLACE FUNCTION tawela_fail() RETURNS trigger AS $$ "
                               "BEGIN RAISE EXCEPTION '%', TG_ARGV[0]; END $$ LANGUAGE plpgsql"));
        db.exec(
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION "
                           "tawela_fail('%4')")
                .arg(name, QLatin1String(operation), QLatin1String(table), QLatin1String(message)));
        return;
    }
    db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, '%4'); END")
                .arg(name, QLatin1String(operation), QLatin1String(table), QLatin1String(message)));
}

// Undoes failEvery().
inline void stopFailing(platform::db::Database& db, const char* table)
{
    db.exec(QStringLiteral("DROP TRIGGER fail_") + QLatin1String(table) +
            (db.isServer() ? QStringLiteral(" ON ") + QLatin1String(table) : QString()));
}

} // namespace tawela::test
