// "ค้นหา" and "กรองข้อมูล".
#include "customers/customer_form.h"

#include "customers/customer_export.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

#include <algorithm>

namespace tawela::customers {

using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;
using platform::db::DbError;

void CustomerFind::open()
{
    m_form.m_filter.panel.visible = m_form.m_filter.panel.advanced = false;
    panel.visible = true;
    fieldChosen(panel.field);
}

void CustomerFind::close()
{
    panel.visible = false;
}

void CustomerFind::fieldChosen(int field)
{
    panel.field = std::clamp(field, 0, int(fieldList().size()) - 1);
    refreshKeys();
}

void CustomerFind::refreshKeys()
{
    panel.keys = m_form.columnValues(fieldList().value(panel.field).column, panel.key);
}

bool CustomerFind::first()
{
    return from(true);
}

bool CustomerFind::next()
{
    return from(false);
}

bool CustomerFind::from(bool first)
{
    if (!m_form.m_records || !m_form.close())
        return false;
    QString why;
    const auto where = findCondition(fieldList().value(panel.field), panel.key, &why);
    if (!where) {
        m_form.m_prompt.stop(why);
        return false;
    }
    bool found = false;
    try {
        if (first && !m_form.m_records->isEmpty()) {
            m_form.m_records->moveFirst();
            found = m_form.m_records->find(*where, platform::db::FindStart::Current);
        } else if (!first && !m_form.m_records->atEnd()) {
            found = m_form.m_records->find(*where, platform::db::FindStart::Next);
        }
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
    m_form.m_addedId.reset();
    m_form.loadCurrent();
    if (!found)
        m_form.m_prompt.show(QStringLiteral("End Of File"), QStringLiteral("Not found"),
                             PromptIcon::Critical, PromptButtons::Ok);
    return found;
}

QList<SearchField> CustomerFind::fieldList() const
{
    return findFields(m_form.userCaptions);
}

void CustomerFilter::open()
{
    m_form.m_find.panel.visible = false;
    panel.visible = true;
    fieldChosen(panel.field);
}

void CustomerFilter::close()
{
    panel.visible = panel.advanced = false;
}

void CustomerFilter::fieldChosen(int field)
{
    panel.field = std::clamp(field, 0, int(fieldList().size()) - 1);
    refreshValues();
}

void CustomerFilter::refreshValues()
{
    const SearchField f = fieldList().value(panel.field);
    panel.values = f.column.isEmpty() ? QStringList() : m_form.columnValues(f.column, panel.value);
}

void CustomerFilter::toggleAdvanced()
{
    panel.advanced = !panel.advanced;
    if (!panel.advanced)
        panel.op = FilterOp::Equal;
}

bool CustomerFilter::run()
{
    QString why;
    const auto term = compileTerm({fieldList().value(panel.field), panel.op, panel.value}, &why);
    if (!term) {
        m_form.m_prompt.stop(why);
        return false;
    }
    return m_form.showOnly(term->condition, term->formula);
}

void CustomerFilter::addCondition()
{
    const SearchField f = fieldList().value(panel.field);
    if (f.kind == FieldKind::Everyone) {
        panel.advanced = false;
        return;
    }
    QString why;
    if (!panel.chain.add({f, panel.op, panel.value}, &why))
        m_form.m_prompt.stop(why);
}

bool CustomerFilter::runAdvanced()
{
    const auto where = panel.chain.condition();
    if (!where) {
        m_form.m_prompt.plain(QStringLiteral("เงื่อนไขอาจไม่ถูกต้อง"));
        return false;
    }
    return m_form.showOnly(*where, panel.chain.formula());
}

QList<SearchField> CustomerFilter::fieldList() const
{
    return filterFields(m_form.userCaptions);
}

void CustomerReportsPanel::use(ReportOutputs outputs)
{
    m_form.m_reports = std::move(outputs);
}

} // namespace tawela::customers
