#include "contracts/contract_list.h"

#include "platform/db/table_info.h"

#include <QSqlQuery>

namespace tawela::contracts {

using platform::db::Condition;
using platform::db::Recordset;

QStringList ContractList::keyTexts()
{
    return {QStringLiteral("เลขที่สัญญา"), QStringLiteral("เลขที่บัตรประชาชน"),
            QStringLiteral("ชื่อ นามสกุล"), QStringLiteral("เลขที่สัญญากำหนดเอง")};
}

QString ContractList::columnOf(Key key)
{
    switch (key) {
    case Key::PolicyNo:
        return QStringLiteral("Policy_no");
    case Key::KuId:
        return QStringLiteral("Ku_ID");
    case Key::KuName:
        return QStringLiteral("Ku_name");
    case Key::RefNo:
        return QStringLiteral("ref_no");
    }
    return {};
}

ContractList::ContractList(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt)
    : m_db(std::move(main)), m_prompt(prompt)
{}

void ContractList::chooseFilter(ContractFilter filter)
{
    m_filter = filter;
    forgetSearch();
}

void ContractList::chooseKey(Key key)
{
    m_key = key;
    forgetSearch();
}

void ContractList::forgetSearch()
{
    m_criterion = {};
    m_past = true;
}

QStringList ContractList::values(const QString& prefix, int limit) const
{
    const QString column = platform::db::quoteName(columnOf(m_key));
    QString sql =
        QStringLiteral("SELECT DISTINCT ") + column + QStringLiteral(" FROM chumnum WHERE (");
    QVariantList binds;
    Condition where = conditionFor(m_filter);
    if (!prefix.isEmpty())
        where = where && Condition::like(columnOf(m_key), prefix + u'*');
    where.compile(m_db->tableInfo(QStringLiteral("chumnum")), sql, binds);
    // Numbers newest first, as the set is ordered; ID numbers in order,
    // names in Thai order.
    const bool number = m_key == Key::PolicyNo || m_key == Key::RefNo;
    sql += QStringLiteral(") AND ") + column + QStringLiteral(" <> '' ORDER BY ") + column +
           (number ? QStringLiteral(" DESC") : QString()) + QStringLiteral(" LIMIT ?");
    const platform::db::Dialect& d = m_db->dialect();
    if (m_key == Key::KuName) {
        sql = d.inThaiOrder(sql, {column});
        binds << std::max(limit, d.Candidates);
    }
    binds << limit;
    QStringList out;
    QSqlQuery q = m_db->exec(sql, binds);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

std::optional<Contract> ContractList::first(const Condition& where)
{
    // Equal keys are few, so the matches' keys are all the set reads.
    Recordset matches(m_db, QStringLiteral("chumnum"), conditionFor(m_filter) && where,
                      {{QStringLiteral("Policy_no"), true}});
    m_past = matches.isEmpty();
    if (m_past)
        return std::nullopt;
    matches.moveFirst();
    Contract found = readContract(matches);
    m_at = found.policyNo;
    return found;
}

std::optional<Contract> ContractList::search(const QString& value, const QString& notFound)
{
    m_lastValue = value;
    m_criterion = Condition::equals(columnOf(m_key), value);
    auto found = first(m_criterion);
    if (!found)
        m_prompt.plain(notFound);
    return found;
}

std::optional<Contract> ContractList::findNext()
{
    if (m_past || m_criterion.isEmpty()) {
        m_prompt.plain(QStringLiteral("End of File"));
        return std::nullopt;
    }
    // Nothing more: the next press says "End of File".
    return first(m_criterion && Condition::less(QStringLiteral("Policy_no"), m_at));
}

} // namespace tawela::contracts
