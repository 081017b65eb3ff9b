#pragma once

// What the layout and the outputs share: a band's text with its fields
// filled in from a row, the handed-over values and the totals.
#include "platform/decimal.h"
#include "reports/report_data.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

namespace tawela::reports::fields {

// Stands for the page count in a laid-out text until the pages are known.
QString pagesMark();

struct Totals {
    QHash<QString, platform::Decimal> sums;
    QHash<QString, qint64> present; // rows in which the field has a value
    qint64 count = 0;
};

// The sums and counts of the rows from .. to (not included).
Totals totalsOf(const QList<ReportRow>& rows, qsizetype from, qsizetype to);

struct Context {
    const ReportRow* row = nullptr;
    const QHash<QString, QString>* values = nullptr;
    const Totals* totals = nullptr;
    int page = 1;
    QDate printDate;
};

// A name inside braces: "table.column", a formula value, or 'literal text'.
QVariant valueOf(const QString& name, const Context& c);
// A value as a condition ({if:…}, when, unless) reads it.
bool truthy(const QVariant& v);
// The text with every {field} filled in.
QString expand(const QString& templ, const Context& c);

} // namespace tawela::reports::fields
