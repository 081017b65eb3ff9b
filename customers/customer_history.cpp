#include "customers/customer_history.h"

#include <QSqlQuery>

namespace tawela::customers {

using platform::db::ColumnKind;
using platform::db::fromStorage;

QList<HistoryRow> buildHistory(const platform::db::Database& main, const QString& code)
{
    main.createSessionCopy(QStringLiteral("temp"));
    main.exec(QStringLiteral("DELETE FROM temp"));
    const QString columns =
        QStringLiteral("description, tt_price, s_date, s_group, s_group2, employee, c_code");
    main.exec(QStringLiteral("INSERT INTO temp (") + columns +
                  QStringLiteral(") SELECT description, -tt_price, s_date, s_group, s_group2, "
                                 "employee, c_code FROM spending WHERE c_code = ?"),
              {code});
    main.exec(QStringLiteral("INSERT INTO temp (") + columns + QStringLiteral(") SELECT ") +
                  columns + QStringLiteral(" FROM service WHERE c_code = ?"),
              {code});
    QList<HistoryRow> rows;
    QSqlQuery q = main.exec(QStringLiteral("SELECT ") + columns +
                                QStringLiteral(" FROM temp WHERE c_code = ? ORDER BY s_date DESC"),
                            {code});
    while (q.next())
        rows << HistoryRow{q.value(0).toString(),
                           platform::Decimal::fromUnits(q.value(1).toLongLong()),
                           fromStorage(ColumnKind::Date, q.value(2)).toDate(),
                           q.value(3).toString(),
                           q.value(4).toString(),
                           q.value(5).toString(),
                           q.value(6).toString()};
    return rows;
}

} // namespace tawela::customers
