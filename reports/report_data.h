#pragma once

#include "platform/db/database.h"
#include "reports/formula.h"
#include "reports/report_definition.h"

#include <QHash>
#include <QList>
#include <QVariant>

#include <memory>

namespace tawela::reports {

// One row of a report: "table.column" (lower case) to its typed value.
using ReportRow = QHash<QString, QVariant>;

// Reads the rows a report shows: its table and joins, the selection and
// filter formulas (compiled to bound SQL), grouped and ordered.
// Throws FormulaError, DefinitionError or platform::db::DbError.
QList<ReportRow> readReportRows(const std::shared_ptr<platform::db::Database>& db,
                                const ReportDefinition& definition, const Formula& selection,
                                const Formula& filter);

} // namespace tawela::reports
