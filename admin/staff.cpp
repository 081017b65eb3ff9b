#include "admin/staff.h"

#include "platform/db/column_map.h"
#include "platform/db/recordset.h"

namespace tawela::admin {

using platform::db::Condition;
using platform::db::Recordset;

Right rightFromText(const QString& text)
{
    if (text == QStringLiteral("ไม่อนุญาต"))
        return Right::NotAllowed;
    if (text == QStringLiteral("อ่านอย่างเดียว"))
        return Right::ReadOnly;
    return Right::Allowed;
}

QString rightText(Right right)
{
    switch (right) {
    case Right::Allowed:
        return QStringLiteral("อนุญาต");
    case Right::NotAllowed:
        return QStringLiteral("ไม่อนุญาต");
    case Right::ReadOnly:
        return QStringLiteral("อ่านอย่างเดียว");
    }
    return {};
}

namespace {

const QString Table = QStringLiteral("employee");

template <typename Row, typename E> void mapEmployeeColumns(Row& row, E& e)
{
    row.text(QStringLiteral("EN"), e.code);
    row.text(QStringLiteral("E_name"), e.name);
    row.text(QStringLiteral("PWD"), e.password);
    row.text(QStringLiteral("Policy"), e.policy);
    row.text(QStringLiteral("Card"), e.card);
    row.text(QStringLiteral("tool"), e.tool);
    row.text(QStringLiteral("Blacklist"), e.blacklist);
    row.text(QStringLiteral("BK"), e.bk);
    row.text(QStringLiteral("RS"), e.rs);
    row.text(QStringLiteral("Sp1"), e.sp1);
    row.boolean(QStringLiteral("admin"), e.admin);
}

Employee readRow(const Recordset& rs)
{
    Employee e;
    platform::db::RowReader reader{rs};
    mapEmployeeColumns(reader, e);
    return e;
}

void writeRow(Recordset& rs, const Employee& e)
{
    platform::db::RowWriter writer{rs, rs.isAdding()};
    mapEmployeeColumns(writer, e);
}

} // namespace

std::optional<Employee> StaffStore::find(const QString& code) const
{
    Recordset rs(m_db, Table, Condition::equals(QStringLiteral("EN"), code));
    if (rs.isEmpty())
        return std::nullopt;
    return readRow(rs);
}

QList<Employee> StaffStore::all() const
{
    QList<Employee> list;
    Recordset rs(m_db, Table, {}, {{QStringLiteral("EN")}});
    for (rs.moveFirst(); !rs.atEnd(); rs.moveNext())
        list << readRow(rs);
    return list;
}

void StaffStore::add(const Employee& employee)
{
    Recordset rs(m_db, Table, Condition::equals(QStringLiteral("EN"), employee.code));
    rs.addNew();
    writeRow(rs, employee);
    rs.store();
}

bool StaffStore::update(const Employee& employee)
{
    Recordset rs(m_db, Table, Condition::equals(QStringLiteral("EN"), employee.code));
    if (rs.isEmpty())
        return false;
    writeRow(rs, employee);
    rs.store();
    return true;
}

bool StaffStore::remove(const QString& code)
{
    Recordset rs(m_db, Table, Condition::equals(QStringLiteral("EN"), code));
    if (rs.isEmpty())
        return false;
    rs.removeCurrent();
    return true;
}

} // namespace tawela::admin
