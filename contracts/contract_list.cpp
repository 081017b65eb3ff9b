#include "contracts/contract_list.h"

#include "platform/db/table_info.h"

#include <QSqlQuery>

namespace tawela::contracts {

using platform::db::Condition;
using platform::db::FindStart;
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
{
    reload();
}

void ContractList::reload()
{
    m_set = std::make_unique<Recordset>(
        m_db, QStringLiteral("chumnum"), conditionFor(m_filter),
        QList<platform::db::SortKey>{{QStringLiteral("Policy_no"), true}});
}

void ContractList::chooseFilter(ContractFilter filter)
{
    m_filter = filter;
    reload();
}

void ContractList::chooseKey(Key key)
{
    m_key = key;
    reload();
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
    // Numbers newest first, as the set is ordered; names and ID numbers
    // alphabetically.
    const bool number = m_key == Key::PolicyNo || m_key == Key::RefNo;
    sql += QStringLiteral(") AND ") + column + QStringLiteral(" <> '' ORDER BY ") + column +
           (number ? QStringLiteral(" DESC") : QString()) + QStringLiteral(" LIMIT ?");
    binds << limit;
    QStringList out;
    QSqlQuery q = m_db->exec(sql, binds);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

std::optional<Contract> ContractList::search(const QString& value)
{
    m_set->moveFirst();
    m_lastValue = value;
    m_criterion = Condition::equals(columnOf(m_key), value);
    if (!m_set->find(m_criterion, FindStart::Current)) {
        m_prompt.plain(QStringLiteral("ไม่พบสัญญาที่หา"));
        return std::nullopt;
    }
    return readContract(*m_set);
}

std::optional<Contract> ContractList::findNext()
{
    if (m_set->atEnd() || m_criterion.isEmpty()) {
        m_prompt.plain(QStringLiteral("End of File"));
        return std::nullopt;
    }
    if (m_set->find(m_criterion, FindStart::Next))
        return readContract(*m_set);
    return std::nullopt; // nothing more: the next press says "End of File"
}

} // namespace tawela::contracts
