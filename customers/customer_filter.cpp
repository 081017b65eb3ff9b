#include "customers/customer_filter.h"

#include "platform/decimal.h"
#include "text/thai_text.h"

namespace tawela::customers {

using platform::db::Condition;

namespace {

QString user(const QStringList& captions, int i)
{
    return captions.value(i, QStringLiteral("user") + QString::number(i + 1));
}

QString userColumn(int i)
{
    return QStringLiteral("user") + QString::number(i + 1);
}

// Text in a formula: in apostrophes, an apostrophe inside written twice.
QString formulaText(const QString& value)
{
    QString v = value;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

Condition compare(FilterOp op, const QString& column, const QVariant& value)
{
    switch (op) {
    case FilterOp::Equal:
        return Condition::equals(column, value);
    case FilterOp::NotEqual:
        return Condition::notEquals(column, value);
    case FilterOp::Greater:
        return Condition::greater(column, value);
    case FilterOp::Less:
        return Condition::less(column, value);
    case FilterOp::Like:
        break;
    }
    return Condition::like(column, u'*' + value.toString() + u'*');
}

void say(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

} // namespace

QList<SearchField> findFields(const QStringList& userCaptions)
{
    return {
        {QStringLiteral("รหัสลูกค้า"), QStringLiteral("C_code"), FieldKind::Text},
        {QStringLiteral("ชื่อ / บริษัท"), QStringLiteral("C_name"), FieldKind::Text},
        {QStringLiteral("นามสกุล / ผู้ติดต่อ"), QStringLiteral("C_Sname"), FieldKind::Text},
        {QStringLiteral("เลขที่บัตรประชาชน"), QStringLiteral("C_ID"), FieldKind::Text},
        {QStringLiteral("โทรศัพท์มือถือ"), QStringLiteral("C_MP"), FieldKind::Text},
        {user(userCaptions, 0), userColumn(0), FieldKind::Text},
        {user(userCaptions, 1), userColumn(1), FieldKind::Text},
        {user(userCaptions, 2), userColumn(2), FieldKind::Text},
        {user(userCaptions, 3), userColumn(3), FieldKind::Number},
        {user(userCaptions, 4), userColumn(4), FieldKind::Date},
        {QStringLiteral("E mail"), QStringLiteral("Email"), FieldKind::Text},
    };
}

QList<SearchField> filterFields(const QStringList& userCaptions)
{
    return {
        {QStringLiteral("รหัสลูกค้า"), QStringLiteral("C_code"), FieldKind::Text},
        {QStringLiteral("ชื่อ"), QStringLiteral("C_name"), FieldKind::Text},
        {QStringLiteral("นามสกุล"), QStringLiteral("C_Sname"), FieldKind::Text},
        {QStringLiteral("กลุ่มลูกค้า"), QStringLiteral("Class"), FieldKind::Text},
        {QStringLiteral("สถานะลูกค้า"), QStringLiteral("Marrital"), FieldKind::Text},
        {QStringLiteral("เพศ"), QStringLiteral("Sex"), FieldKind::Text},
        {QStringLiteral("วุฒิการศึกษา"), QStringLiteral("Education"), FieldKind::Text},
        {QStringLiteral("วันเกิด"), QStringLiteral("birthday"), FieldKind::Date},
        {QStringLiteral("เดือนเกิด"), QStringLiteral("month_birth"), FieldKind::Text},
        {QStringLiteral("จังหวัด"), QStringLiteral("C_Province"), FieldKind::Text},
        {QStringLiteral("อำเภอ"), QStringLiteral("C_Ampor"), FieldKind::Text},
        {QStringLiteral("ตำบล"), QStringLiteral("C_Tumbol"), FieldKind::Text},
        {user(userCaptions, 0), userColumn(0), FieldKind::Text},
        {user(userCaptions, 1), userColumn(1), FieldKind::Text},
        {user(userCaptions, 2), userColumn(2), FieldKind::Text},
        {user(userCaptions, 3), userColumn(3), FieldKind::Number},
        {user(userCaptions, 4), userColumn(4), FieldKind::Date},
        {QStringLiteral("อายุ"), QStringLiteral("C_age"), FieldKind::Number},
        {QStringLiteral("เฉพาะที่มีที่อยู่"), QString(), FieldKind::HasAddress},
        {QStringLiteral("เฉพาะที่มี E mail"), QString(), FieldKind::HasEmail},
        {QStringLiteral("ทั้งหมด"), QString(), FieldKind::Everyone},
    };
}

QString opCaption(FilterOp op)
{
    switch (op) {
    case FilterOp::Equal:
        return QStringLiteral(" = ");
    case FilterOp::NotEqual:
        return QStringLiteral(" <> ");
    case FilterOp::Greater:
        return QStringLiteral(" > ");
    case FilterOp::Less:
        return QStringLiteral(" < ");
    case FilterOp::Like:
        return QStringLiteral("like");
    }
    return {};
}

FilterOp nextOp(FilterOp op)
{
    switch (op) {
    case FilterOp::Equal:
        return FilterOp::NotEqual;
    case FilterOp::NotEqual:
        return FilterOp::Greater;
    case FilterOp::Greater:
        return FilterOp::Less;
    case FilterOp::Less:
        return FilterOp::Like;
    case FilterOp::Like:
        break;
    }
    return FilterOp::Equal;
}

std::optional<Condition> findCondition(const SearchField& field, const QString& key, QString* why)
{
    switch (field.kind) {
    case FieldKind::Number: {
        const auto n = platform::Decimal::parse(key.trimmed());
        if (!n) {
            say(why, field.caption + QStringLiteral(" ค้นหาได้ด้วยตัวเลขเท่านั้น"));
            return std::nullopt;
        }
        return Condition::equals(field.column, n->toString());
    }
    case FieldKind::Date: {
        const QDate d = text::parseBuddhistDate(key);
        if (!d.isValid()) {
            say(why, field.caption + QStringLiteral(" ค้นหาได้ด้วยวันที่ วัน/เดือน/ปี พ.ศ. เท่านั้น"));
            return std::nullopt;
        }
        return Condition::equals(field.column, d);
    }
    default:
        return Condition::like(field.column, u'*' + key + u'*');
    }
}

std::optional<CompiledTerm> compileTerm(const FilterTerm& term, QString* why)
{
    const SearchField& f = term.field;
    const QString op = opCaption(term.op);
    const QString formulaField = QStringLiteral("{customer.") + f.column + QStringLiteral("} ");
    switch (f.kind) {
    case FieldKind::Everyone:
        return CompiledTerm{};
    case FieldKind::HasAddress:
        return CompiledTerm{Condition::notEquals(QStringLiteral("C_address"), QString()),
                            QStringLiteral("C_address <> ''"),
                            QStringLiteral("{Customer.C_address} <> ''")};
    case FieldKind::HasEmail:
        return CompiledTerm{Condition::notEquals(QStringLiteral("email"), QString()),
                            QStringLiteral("email <> ''"),
                            QStringLiteral("{Customer.email} <> ''")};
    case FieldKind::Number: {
        if (term.op == FilterOp::Like) {
            say(why, QStringLiteral("ใช้ like กับ ") + f.caption +
                         QStringLiteral(" ไม่ได้ เพราะเป็นตัวเลข ให้ใช้ = <> > หรือ <"));
            return std::nullopt;
        }
        const auto n = platform::Decimal::parse(term.value.trimmed());
        if (!n) {
            say(why, f.caption + QStringLiteral(" ต้องเป็นตัวเลข"));
            return std::nullopt;
        }
        const QString v = n->toString();
        // As text: each number column reads it in its own kind.
        return CompiledTerm{compare(term.op, f.column, v), f.column + u' ' + op + u' ' + v,
                            formulaField + op + u' ' + v};
    }
    case FieldKind::Date: {
        if (term.op == FilterOp::Like) {
            say(why, QStringLiteral("ใช้ like กับ ") + f.caption +
                         QStringLiteral(" ไม่ได้ เพราะเป็นวันที่ ให้ใช้ = <> > หรือ <"));
            return std::nullopt;
        }
        const QDate d = text::parseBuddhistDate(term.value);
        if (!d.isValid()) {
            say(why, f.caption + QStringLiteral(" ต้องเป็นวันที่ วัน/เดือน/ปี พ.ศ."));
            return std::nullopt;
        }
        return CompiledTerm{
            compare(term.op, f.column, d),
            f.column + u' ' + op + QStringLiteral(" #") + text::sqlDateText(d) + u'#',
            formulaField + op +
                QStringLiteral(" date(%1,%2,%3)").arg(d.year()).arg(d.month()).arg(d.day())};
    }
    case FieldKind::Text:
        break;
    }
    if (term.op == FilterOp::Like)
        return CompiledTerm{
            compare(term.op, f.column, term.value),
            f.column + QStringLiteral(" like '%") + term.value + QStringLiteral("%' "),
            formulaField + QStringLiteral(" like ") + formulaText(u'*' + term.value + u'*') + u' '};
    return CompiledTerm{compare(term.op, f.column, term.value),
                        f.column + u' ' + op + QStringLiteral(" '") + term.value + u'\'',
                        formulaField + op + u' ' + formulaText(term.value)};
}

bool FilterChain::add(const FilterTerm& term, QString* why)
{
    auto compiled = compileTerm(term, why);
    if (!compiled)
        return false;
    if (!compiled->condition.isEmpty())
        m_items << *compiled;
    return true;
}

void FilterChain::addConnector(Connector connector)
{
    m_items << connector;
}

QString FilterChain::joined(QString CompiledTerm::*part) const
{
    QString out;
    for (const Item& item : m_items) {
        if (const auto* t = std::get_if<CompiledTerm>(&item))
            out += (*t).*part;
        else
            out += std::get<Connector>(item) == Connector::And ? QStringLiteral(" AND ")
                                                               : QStringLiteral(" OR ");
    }
    return out;
}

std::optional<Condition> FilterChain::condition() const
{
    if (m_items.isEmpty() || m_items.size() % 2 == 0)
        return std::nullopt;
    std::optional<Condition> any;   // the OR of the groups so far
    std::optional<Condition> group; // the AND group being built
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const bool termPlace = i % 2 == 0;
        if (termPlace != std::holds_alternative<CompiledTerm>(item))
            return std::nullopt;
        if (termPlace) {
            const Condition& c = std::get<CompiledTerm>(item).condition;
            group = group ? *group && c : c;
        } else if (std::get<Connector>(item) == Connector::Or) {
            any = any ? *any || *group : *group;
            group.reset();
        }
    }
    return any ? *any || *group : *group;
}

} // namespace tawela::customers
