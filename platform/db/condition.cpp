#include "platform/db/condition.h"

#include "platform/db/table_info.h"

namespace tawela::platform::db {

struct Condition::Node {
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge, Like, IsNull, And, Or, Not };
    Op op;
    QString column;
    QVariant value;
    std::shared_ptr<const Node> left;
    std::shared_ptr<const Node> right;
};

namespace {

using Node = Condition::Node;
using Op = Node::Op;

std::shared_ptr<const Node> leaf(Op op, const QString& column, const QVariant& value)
{
    auto n = std::make_shared<Node>();
    n->op = op;
    n->column = column;
    n->value = value;
    return n;
}

const char* comparison(Op op)
{
    switch (op) {
    case Op::Eq:
        return " = ?";
    case Op::Ne:
        return " <> ?";
    case Op::Lt:
        return " < ?";
    case Op::Le:
        return " <= ?";
    case Op::Gt:
        return " > ?";
    case Op::Ge:
        return " >= ?";
    default:
        return "";
    }
}

void compileNode(const Node& n, const TableInfo& table, QString& sql, QVariantList& binds)
{
    switch (n.op) {
    case Op::And:
    case Op::Or:
        sql += u'(';
        compileNode(*n.left, table, sql, binds);
        sql += n.op == Op::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        compileNode(*n.right, table, sql, binds);
        sql += u')';
        return;
    case Op::Not:
        if (!n.left) {
            sql += QStringLiteral("1 = 0");
            return;
        }
        sql += QStringLiteral("NOT (");
        compileNode(*n.left, table, sql, binds);
        sql += u')';
        return;
    case Op::IsNull: {
        const ColumnInfo& c = table.column(n.column);
        sql += quoteName(c.name) + QStringLiteral(" IS NULL");
        return;
    }
    case Op::Like: {
        const ColumnInfo& c = table.column(n.column);
        const QString pattern = n.value.toString();
        // "*text*" is the common search. When the text has no ASCII letter,
        // LIKE's case folding (ASCII only) cannot matter and a plain substring
        // test gives the same rows at about twice the speed.
        if (pattern.size() > 2 && pattern.startsWith(u'*') && pattern.endsWith(u'*')) {
            const QString inner = pattern.mid(1, pattern.size() - 2);
            bool plain = true;
            for (QChar ch : inner)
                if (ch == u'*' || ch == u'?' || (ch.unicode() < 128 && ch.isLetter()))
                    plain = false;
            if (plain) {
                sql += table.dialect().containsText(quoteName(c.name));
                binds << inner;
                return;
            }
        }
        const QString like = likePatternFromWildcards(pattern);
        sql += quoteName(c.name) + table.dialect().like() + u'?';
        if (like.contains(u'\\'))
            sql += QStringLiteral(" ESCAPE '\\'");
        binds << like;
        return;
    }
    default: {
        const ColumnInfo& c = table.column(n.column);
        QVariant stored = toStorage(c, n.value);
        // A null text is the empty text here: bound as it is, the driver
        // would send NULL, which no comparison ever meets.
        if (stored.typeId() == QMetaType::QString && !stored.isNull() && stored.toString().isNull())
            stored = QStringLiteral("");
        if (stored.isNull()) {
            // Comparing with nothing: equal means empty, unequal means filled.
            if (n.op == Op::Eq)
                sql += quoteName(c.name) + QStringLiteral(" IS NULL");
            else if (n.op == Op::Ne)
                sql += quoteName(c.name) + QStringLiteral(" IS NOT NULL");
            else
                sql += QStringLiteral("1 = 0");
            return;
        }
        sql += quoteName(c.name) + QLatin1String(comparison(n.op));
        binds << stored;
        return;
    }
    }
}

} // namespace

QString likePatternFromWildcards(const QString& pattern)
{
    QString out;
    out.reserve(pattern.size() + 4);
    for (QChar ch : pattern) {
        if (ch == u'*')
            out += u'%';
        else if (ch == u'?')
            out += u'_';
        else if (ch == u'%' || ch == u'_' || ch == u'\\')
            out += u'\\' + QString(ch);
        else
            out += ch;
    }
    return out;
}

QString likePrefixPattern(const QString& text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (QChar ch : text) {
        if (ch == u'%' || ch == u'_' || ch == u'\\')
            out += u'\\';
        out += ch;
    }
    return out + u'%';
}

Condition Condition::equals(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Eq, column, value));
}
Condition Condition::notEquals(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Ne, column, value));
}
Condition Condition::less(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Lt, column, value));
}
Condition Condition::lessOrEqual(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Le, column, value));
}
Condition Condition::greater(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Gt, column, value));
}
Condition Condition::greaterOrEqual(const QString& column, const QVariant& value)
{
    return Condition(leaf(Op::Ge, column, value));
}
Condition Condition::like(const QString& column, const QString& pattern)
{
    return Condition(leaf(Op::Like, column, pattern));
}
Condition Condition::isNull(const QString& column)
{
    return Condition(leaf(Op::IsNull, column, {}));
}

Condition Condition::operator&&(const Condition& other) const
{
    if (isEmpty())
        return other;
    if (other.isEmpty())
        return *this;
    auto n = std::make_shared<Node>();
    n->op = Op::And;
    n->left = m_node;
    n->right = other.m_node;
    return Condition(n);
}

Condition Condition::operator||(const Condition& other) const
{
    if (isEmpty() || other.isEmpty())
        return Condition();
    auto n = std::make_shared<Node>();
    n->op = Op::Or;
    n->left = m_node;
    n->right = other.m_node;
    return Condition(n);
}

Condition Condition::operator!() const
{
    if (isEmpty()) {
        // No row: NOT of "every row".
        return Condition(leaf(Op::Not, {}, {}));
    }
    auto n = std::make_shared<Node>();
    n->op = Op::Not;
    n->left = m_node;
    return Condition(n);
}

void Condition::compile(const TableInfo& table, QString& sql, QVariantList& binds) const
{
    if (!m_node) {
        sql += QStringLiteral("1 = 1");
        return;
    }
    compileNode(*m_node, table, sql, binds);
}

} // namespace tawela::platform::db
