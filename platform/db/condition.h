#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace tawela::platform::db {

class TableInfo;

// A condition on the columns of one table, built as a structure and compiled
// to SQL with every value bound as a parameter. Nothing a person typed ever
// becomes part of the statement text.
class Condition {
public:
    // The empty condition: every row.
    Condition() = default;

    static Condition equals(const QString& column, const QVariant& value);
    static Condition notEquals(const QString& column, const QVariant& value);
    static Condition less(const QString& column, const QVariant& value);
    static Condition lessOrEqual(const QString& column, const QVariant& value);
    static Condition greater(const QString& column, const QVariant& value);
    static Condition greaterOrEqual(const QString& column, const QVariant& value);
    // A record-set pattern: "*" any text, "?" any one character; every other
    // character stands for itself ("100%" matches only "100%").
    static Condition like(const QString& column, const QString& pattern);
    static Condition isNull(const QString& column);

    bool isEmpty() const { return !m_node; }

    Condition operator&&(const Condition& other) const;
    Condition operator||(const Condition& other) const;
    Condition operator!() const;

    // Appends the SQL for this condition to sql and its values to binds;
    // column names are checked against the table (DbError for an unknown one)
    // and values converted to the column's stored form. Empty conditions give "1".
    void compile(const TableInfo& table, QString& sql, QVariantList& binds) const;

    struct Node;

private:
    explicit Condition(std::shared_ptr<const Node> node) : m_node(std::move(node)) {}
    std::shared_ptr<const Node> m_node;
};

// Turns a record-set pattern into a LIKE pattern with "\" as escape.
QString likePatternFromWildcards(const QString& pattern);
// The LIKE pattern (with "\" as escape) of the texts that begin with `text`,
// every character of it taken as itself.
QString likePrefixPattern(const QString& text);

} // namespace tawela::platform::db
