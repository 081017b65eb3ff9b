#pragma once

#include "platform/db/database.h"
#include "reports/formula.h"
#include "reports/report_definition.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace tawela::reports {

// The columns a report reads, "table.column" in lower case, shared by its rows.
struct ReportColumns {
    QStringList keys;
    QHash<QString, qsizetype> index;
};

// One row of a report: "table.column" (lower case) to its typed value. The
// names are held once for the whole report, so a long report keeps only
// its values.
class ReportRow {
public:
    ReportRow() = default;
    ReportRow(std::shared_ptr<const ReportColumns> columns, QVariantList values)
        : m_columns(std::move(columns)), m_values(std::move(values))
    {}

    // An invalid QVariant for a column the report does not read.
    QVariant value(const QString& key) const
    {
        if (!m_columns)
            return {};
        const qsizetype i = m_columns->index.value(key, -1);
        return i < 0 ? QVariant() : m_values.value(i);
    }
    bool contains(const QString& key) const { return m_columns && m_columns->index.contains(key); }
    qsizetype size() const { return m_values.size(); }
    const QString& key(qsizetype i) const { return m_columns->keys[i]; }
    const QVariant& at(qsizetype i) const { return m_values[i]; }

private:
    std::shared_ptr<const ReportColumns> m_columns;
    QVariantList m_values;
};

// The statement that reads a report's rows, its bound values and what its
// columns hold.
struct ReportQuery {
    QString sql;
    QVariantList binds;
    std::shared_ptr<ReportColumns> columns;
    QList<platform::db::ColumnKind> kinds;
};
// Throws FormulaError, DefinitionError or platform::db::DbError.
ReportQuery reportQuery(const std::shared_ptr<platform::db::Database>& db,
                        const ReportDefinition& definition, const Formula& selection,
                        const Formula& filter);

// Reads the rows a report shows: its table and joins, the selection and
// filter formulas (compiled to bound SQL), grouped and ordered.
// Throws FormulaError, DefinitionError or platform::db::DbError.
QList<ReportRow> readReportRows(const std::shared_ptr<platform::db::Database>& db,
                                const ReportDefinition& definition, const Formula& selection,
                                const Formula& filter);

} // namespace tawela::reports
