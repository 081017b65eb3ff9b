#pragma once

#include "platform/error.h"

#include "platform/db/table_info.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <stdexcept>

namespace tawela::reports {

// A formula the report engine cannot use; position counts characters from 1.
// description(): "สูตรไม่ถูกต้องที่ตำแหน่ง 12: ..."
class FormulaError : public platform::Error {
public:
    FormulaError(int position, const QString& message);
    int position() const { return m_position; }
    QString message() const { return m_message; }

private:
    int m_position;
    QString m_message;
};

// The selection and filter formulas callers hand to a report, in the
// syntax the shop's reports always used:
//   {chumnum.Policy_no} = 'A1'
//   DateValue({chumnum.L_returndate}) < DateValue(2024,3,7) and {chumnum.P_status} = true
//   {service.s_date} in Date (2024,3,1) to Date (2024,3,31)
//   {customer.C_name} like '*สม*'
// with and/or/not, parentheses, = <> < > <= >=, text in apostrophes (an
// apostrophe inside written twice), numbers, true/false.
//
// A formula compiles to a SQL condition in which every value is a bound
// parameter; a field is checked against the tables the report reads.
class Formula {
public:
    // Resolves {table.column}: returns the quoted SQL column and its column
    // kind, or throws FormulaError for an unknown one (the position is then
    // set to the field's place in the formula).
    struct Field {
        QString sql;
        int kind; // platform::db::ColumnKind
    };
    using Resolver = std::function<Field(const QString& table, const QString& column)>;

    // Throws FormulaError. An empty or blank formula selects everything.
    static Formula parse(const QString& text);

    bool isEmpty() const { return !m_root; }

    // Appends the SQL condition (always true when empty) and its values, in
    // the given engine's spelling.
    void compile(const Resolver& resolve, QString& sql, QVariantList& binds,
                 const platform::db::Dialect& dialect = {}) const;

    // Every {table.column} the formula names.
    QStringList fields() const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
};

} // namespace tawela::reports
