#include "admin/staff_form.h"

#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "platform/password_hash.h"

namespace tawela::admin {

using platform::db::DbError;

StaffForm::StaffForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt)
    : m_main(main), m_prompt(prompt), m_store(std::move(main))
{}

QStringList StaffForm::threeWay()
{
    return {rightText(Right::NotAllowed), rightText(Right::ReadOnly), rightText(Right::Allowed)};
}

QStringList StaffForm::twoWay()
{
    return {rightText(Right::NotAllowed), rightText(Right::Allowed)};
}

bool StaffForm::open()
{
    try {
        m_rows = m_store.all();
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    show(m_rows.isEmpty() ? -1 : 0);
    return true;
}

void StaffForm::show(int row)
{
    mode = Mode::Edit;
    password.clear();
    if (row < 0 || row >= m_rows.size()) {
        m_current = -1;
        return;
    }
    m_current = row;
    const Employee& e = m_rows[row];
    code = e.code;
    name = e.name;
    policy = e.policy;
    card = e.card;
    tool = e.tool;
    blacklist = e.blacklist;
    bk = e.bk;
    rs = e.rs;
    sp1 = e.sp1;
    admin = e.admin;
}

Employee StaffForm::shown() const
{
    Employee e;
    e.code = code.trimmed();
    e.name = name.trimmed();
    e.policy = policy;
    e.card = card;
    e.tool = tool;
    e.blacklist = blacklist;
    e.bk = bk;
    e.rs = rs;
    e.sp1 = sp1;
    e.admin = admin;
    return e;
}

void StaffForm::add()
{
    mode = Mode::AddNew;
    code.clear();
    name.clear();
    password.clear();
}

bool StaffForm::someoneManages(const QList<Employee>& rows)
{
    for (const Employee& e : rows)
        if (e.toolRight() != Right::NotAllowed)
            return true;
    return false;
}

std::optional<StaffForm::Field> StaffForm::save()
{
    Employee e = shown();
    if (e.code.isEmpty()) {
        m_prompt.stop(QStringLiteral("ใส่รหัสพนักงานก่อน"));
        return Field::Code;
    }
    const bool adding = mode == Mode::AddNew || m_current < 0;
    const QString before = adding ? QString() : m_rows[m_current].code;
    const bool renamed = !adding && e.code.compare(before, Qt::CaseInsensitive) != 0;
    for (int i = 0; i < m_rows.size(); ++i)
        if ((adding || i != m_current) &&
            m_rows[i].code.compare(e.code, Qt::CaseInsensitive) == 0) {
            m_prompt.stop(QStringLiteral("รหัสพนักงาน %1 มีอยู่แล้ว ใช้รหัสอื่น").arg(e.code));
            return Field::Code;
        }
    if (adding && password.isEmpty()) {
        m_prompt.stop(QStringLiteral("พนักงานใหม่ต้องมีรหัสผ่าน"));
        return Field::Password;
    }
    e.password =
        password.isEmpty() ? m_rows[m_current].password : platform::password_hash::hash(password);
    QList<Employee> after = m_rows;
    if (adding)
        after << e;
    else
        after[m_current] = e;
    if (!someoneManages(after)) {
        m_prompt.stop(QStringLiteral("ต้องมีพนักงานอย่างน้อยหนึ่งคนที่ใช้ \"เครืองมือในเมนูหลัก\" ได้ "
                                     "มิฉะนั้นจะไม่มีใครจัดการพนักงานได้อีก"));
        return Field::Tool;
    }
    try {
        platform::db::Transaction t(*m_main);
        if (adding) {
            m_store.add(e);
        } else {
            if (renamed)
                m_main->exec(QStringLiteral("UPDATE employee SET EN = ? WHERE EN = ?"),
                             {e.code, before});
            m_store.update(e);
        }
        t.commit();
        m_rows = m_store.all();
    } catch (const DbError& err) {
        m_prompt.error(err.description());
        return Field::Code;
    }
    int row = 0;
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].code.compare(e.code, Qt::CaseInsensitive) == 0)
            row = i;
    show(row);
    m_prompt.information(QStringLiteral("ข้อมูลจัดเก็บ เรียบร้อย"));
    return std::nullopt;
}

bool StaffForm::removeCurrent(bool* closeScreen)
{
    if (closeScreen)
        *closeScreen = false;
    if (m_current < 0)
        return true;
    QList<Employee> after = m_rows;
    after.removeAt(m_current);
    if (!someoneManages(after)) {
        m_prompt.stop(
            QStringLiteral("ลบไม่ได้: ต้องเหลือพนักงานอย่างน้อยหนึ่งคนที่ใช้ "
                           "\"เครืองมือในเมนูหลัก\" ได้ มิฉะนั้นจะไม่มีใครเข้าโปรแกรมหรือจัดการพนักงานได้"));
        return false;
    }
    try {
        m_store.remove(m_rows[m_current].code);
        m_rows = m_store.all();
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    if (m_rows.isEmpty()) {
        if (closeScreen)
            *closeScreen = true;
        show(-1);
        return true;
    }
    show(std::min(m_current, int(m_rows.size()) - 1));
    return true;
}

bool StaffForm::findFrom(int start, int key, const QString& text)
{
    for (int i = std::max(0, start); i < m_rows.size(); ++i) {
        const QString& value = key == 0 ? m_rows[i].code : m_rows[i].name;
        if (value.contains(text, Qt::CaseInsensitive)) {
            show(i);
            return true;
        }
    }
    m_prompt.show(QStringLiteral("Information"), QStringLiteral("Not found"),
                  platform::PromptIcon::Critical, platform::PromptButtons::Ok);
    return false;
}

bool StaffForm::find(int key, const QString& text)
{
    return findFrom(0, key, text);
}

bool StaffForm::findNext(int key, const QString& text)
{
    return findFrom(m_current + 1, key, text);
}

void StaffForm::notYetAllowed()
{
    m_prompt.information(QStringLiteral("ยังไม่อนุญาตให้ใช้เมนูนี้"));
}

} // namespace tawela::admin
