#include "admin/staff.h"

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

Employee readRow(const Recordset& rs)
{
    Employee e;
    e.code = rs.text(QStringLiteral("EN"));
    e.name = rs.text(QStringLiteral("E_name"));
    e.password = rs.text(QStringLiteral("PWD"));
    e.policy = rs.text(QStringLiteral("Policy"));
    e.card = rs.text(QStringLiteral("Card"));
    e.tool = rs.text(QStringLiteral("tool"));
    e.blacklist = rs.text(QStringLiteral("Blacklist"));
    e.bk = rs.text(QStringLiteral("BK"));
    e.rs = rs.text(QStringLiteral("RS"));
    e.sp1 = rs.text(QStringLiteral("Sp1"));
    e.admin = rs.boolean(QStringLiteral("admin"));
    return e;
}

void writeRow(Recordset& rs, const Employee& e)
{
    rs.setValue(QStringLiteral("EN"), e.code);
    rs.setValue(QStringLiteral("E_name"), e.name);
    rs.setValue(QStringLiteral("PWD"), e.password);
    rs.setValue(QStringLiteral("Policy"), e.policy);
    rs.setValue(QStringLiteral("Card"), e.card);
    rs.setValue(QStringLiteral("tool"), e.tool);
    rs.setValue(QStringLiteral("Blacklist"), e.blacklist);
    rs.setValue(QStringLiteral("BK"), e.bk);
    rs.setValue(QStringLiteral("RS"), e.rs);
    rs.setValue(QStringLiteral("Sp1"), e.sp1);
    rs.setValue(QStringLiteral("admin"), e.admin);
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
