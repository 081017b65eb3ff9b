#pragma once

#include "platform/db/condition.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace tawela::customers {

// What a find or filter field holds, which decides how its value is read
// and compared.
enum class FieldKind {
    Text,       // found anywhere in the text ("like"), or compared as text
    Number,     // user4, C_age: a number, never "like"
    Date,       // user5, birthday: a Buddhist-era date, never "like"
    HasAddress, // "เฉพาะที่มีที่อยู่"
    HasEmail,   // "เฉพาะที่มี E mail"
    Everyone,   // "ทั้งหมด"
};

struct SearchField {
    QString caption; // as the list shows it
    QString column;  // empty for the three entries without a value
    FieldKind kind = FieldKind::Text;
};

// The find panel's fields, in list order, with the user fields' captions.
QList<SearchField> findFields(const QStringList& userCaptions);
// The filter panel's fields, in list order.
QList<SearchField> filterFields(const QStringList& userCaptions);

// The operator button's cycle: " = ", " <> ", " > ", " < ", "like".
enum class FilterOp { Equal, NotEqual, Greater, Less, Like };
QString opCaption(FilterOp op);
FilterOp nextOp(FilterOp op);

// A find criterion: the key anywhere in a text field, equal for a number or
// a date. nullopt (with the reason) when the key cannot be read.
std::optional<platform::db::Condition> findCondition(const SearchField& field, const QString& key,
                                                     QString* why = nullptr);

// One condition of a filter, and what it gives: the bound condition for the
// record set, the condition text the screen shows and the report formula.
struct FilterTerm {
    SearchField field;
    FilterOp op = FilterOp::Equal;
    QString value;
};
struct CompiledTerm {
    platform::db::Condition condition; // empty for "ทั้งหมด"
    QString text;                      // "C_code like '%5%' "
    QString formula;                   // "{customer.C_code}  like '*5*' "
};
// nullopt with the reason when the value cannot be used with the field
// ("like" on a number or a date, a number or date that is none).
std::optional<CompiledTerm> compileTerm(const FilterTerm& term, QString* why = nullptr);

// The advanced filter: conditions chained with AND and OR as the buttons
// were pressed. AND binds before OR, as in the statement the screen shows.
class FilterChain {
public:
    enum class Connector { And, Or };

    // False (with the reason) when the condition cannot be used; nothing added.
    bool add(const FilterTerm& term, QString* why = nullptr);
    void addConnector(Connector connector);
    void clear() { m_items.clear(); }
    bool isEmpty() const { return m_items.isEmpty(); }

    // The condition text and the formula, as the buttons built them.
    QString text() const { return joined(&CompiledTerm::text); }
    QString formula() const { return joined(&CompiledTerm::formula); }
    // The bound condition; nullopt when the chain does not read as
    // condition, connector, condition … ("เงื่อนไขอาจไม่ถูกต้อง").
    std::optional<platform::db::Condition> condition() const;

private:
    using Item = std::variant<CompiledTerm, Connector>;
    QString joined(QString CompiledTerm::*part) const;
    QList<Item> m_items;
};

} // namespace tawela::customers
