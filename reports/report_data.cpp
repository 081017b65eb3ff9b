#include "reports/report_data.h"

#include "platform/db/db_error.h"
#include "platform/db/table_info.h"

#include <QSqlQuery>

namespace tawela::reports {

using platform::db::quoteName;
using platform::db::TableInfo;

namespace {

// Staff passwords (hashes, or older plain texts) never reach paper.
bool secret(const QString& table, const QString& column)
{
    return table.compare(QLatin1String("employee"), Qt::CaseInsensitive) == 0 &&
           column.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
}

} // namespace

ReportQuery reportQuery(const std::shared_ptr<platform::db::Database>& db,
                        const ReportDefinition& d, const Formula& selection, const Formula& filter)
{
    QStringList tables = {d.table};
    for (const auto& j : d.joins)
        tables << j.table;
    QHash<QString, const TableInfo*> infos;
    for (const QString& t : tables) {
        // The program's own records (the database password's hash among them)
        // are no report data.
        if (t.compare(QLatin1String("tawela_meta"), Qt::CaseInsensitive) == 0 ||
            t.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            throw DefinitionError(QString(), 0,
                                  QStringLiteral("รายงานอ่านตาราง ") + t + QStringLiteral(" ไม่ได้"));
        try {
            infos.insert(t.toLower(), &db->tableInfo(t));
        } catch (const platform::db::DbError& e) {
            throw DefinitionError(QString(), 0, e.description());
        }
    }
    auto field = [&](const QString& table, const QString& column, int position) -> Formula::Field {
        const TableInfo* info = infos.value(table.toLower());
        if (!info)
            throw FormulaError(position, QStringLiteral("รายงานนี้ไม่ได้อ่านตาราง ") + table);
        const qsizetype i = info->indexOf(column);
        if (i < 0)
            throw FormulaError(position, QStringLiteral("ไม่พบช่อง ") + column +
                                             QStringLiteral(" ในตาราง ") + table);
        const auto& c = info->columns()[i];
        if (secret(info->name(), c.name))
            throw FormulaError(position, QStringLiteral("ช่อง ") + column +
                                             QStringLiteral(" อ่านจากรายงานไม่ได้"));
        return {quoteName(info->name()) + u'.' + quoteName(c.name), int(c.kind)};
    };
    // A "table.column" the definition names (in joins, group and order).
    auto named = [&](const QString& ref) {
        const QString t = ref.section(u'.', 0, 0).trimmed();
        const QString c = ref.section(u'.', 1).trimmed();
        try {
            return field(t, c, 0);
        } catch (const FormulaError& e) {
            throw DefinitionError(QString(), 0, e.description());
        }
    };
    auto dotted = [&](const QString& ref) { return named(ref).sql; };

    QStringList columns;
    QList<QPair<QString, platform::db::ColumnKind>> keys;
    for (const QString& t : tables) {
        const TableInfo* info = infos.value(t.toLower());
        for (const auto& c : info->columns()) {
            if (secret(info->name(), c.name))
                continue;
            columns << quoteName(info->name()) + u'.' + quoteName(c.name);
            keys << qMakePair(t.toLower() + u'.' + c.name.toLower(), c.kind);
        }
    }
    QString sql = QStringLiteral("SELECT ") + columns.join(u',') + QStringLiteral(" FROM ") +
                  quoteName(infos.value(d.table.toLower())->name());
    for (const auto& j : d.joins) {
        const QString joined = quoteName(infos.value(j.table.toLower())->name());
        sql += QStringLiteral(" LEFT JOIN ") + joined + QStringLiteral(" ON ");
        if (j.leftField.isEmpty()) // a one-row table such as config_setting
            sql += joined + QStringLiteral(".rowid = (SELECT min(rowid) FROM ") + joined + u')';
        else
            sql += dotted(j.leftField) + QStringLiteral(" = ") + dotted(j.rightField);
    }
    QVariantList binds;
    const Formula::Resolver resolve = [&](const QString& t, const QString& c) {
        return field(t, c, 1);
    };
    sql += QStringLiteral(" WHERE (");
    selection.compile(resolve, sql, binds, db->dialect());
    sql += QStringLiteral(") AND (");
    filter.compile(resolve, sql, binds, db->dialect());
    sql += u')';
    // Reports list names as people look them up: in Thai dictionary order.
    auto sortKey = [&](const QString& ref) {
        const Formula::Field f = named(ref);
        return f.kind == int(platform::db::ColumnKind::Text) ? f.sql + db->dialect().thaiOrder()
                                                             : f.sql;
    };
    QStringList order;
    if (!d.group.isEmpty())
        order << sortKey(d.group);
    for (const QString& o : d.order) {
        const bool desc = o.endsWith(QLatin1String(" desc"), Qt::CaseInsensitive);
        order << sortKey(desc ? o.left(o.size() - 5) : o) +
                     (desc ? QStringLiteral(" DESC") : QString());
    }
    order << quoteName(infos.value(d.table.toLower())->name()) + QStringLiteral(".rowid");
    sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));

    ReportQuery query{sql, binds, std::make_shared<ReportColumns>(), {}};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        query.columns->keys << keys[i].first;
        query.columns->index.insert(keys[i].first, i);
        query.kinds << keys[i].second;
    }
    return query;
}

QList<ReportRow> readReportRows(const std::shared_ptr<platform::db::Database>& db,
                                const ReportDefinition& d, const Formula& selection,
                                const Formula& filter)
{
    const ReportQuery query = reportQuery(db, d, selection, filter);
    std::shared_ptr<const ReportColumns> shared = query.columns;
    QList<ReportRow> rows;
    QSqlQuery q = db->exec(query.sql, query.binds);
    while (q.next()) {
        QVariantList values;
        values.reserve(query.kinds.size());
        for (int i = 0; i < query.kinds.size(); ++i)
            values << platform::db::fromStorage(query.kinds[i], q.value(i));
        rows << ReportRow(shared, std::move(values));
    }
    return rows;
}

} // namespace tawela::reports
