#pragma once

#include "platform/db/database.h"
#include "platform/db/table_model.h"
#include "platform/prompt.h"

#include <memory>

namespace tawela::customers {

// The five small tables of the customer file in an editable grid each:
// groups, statuses, titles with their sex, the captions of the user fields,
// and the postal-code directory (narrowed by province and district).
class LookupEditorForm {
public:
    enum class Kind { Groups, Statuses, Titles, UserFields, PostalCodes };

    LookupEditorForm(std::shared_ptr<platform::db::Database> customer, Kind kind,
                     platform::Prompt& prompt);

    Kind kind() const { return m_kind; }
    // The screen's control name and title.
    QString name() const;
    QString title() const;
    QString note() const;
    // "จัดเก็บ" beside "ออก" (the user fields and the postal codes).
    bool hasSave() const { return m_kind == Kind::UserFields || m_kind == Kind::PostalCodes; }
    platform::db::TableModel* model() const { return m_model.get(); }

    // The postal-code editor's "กรอง": a province narrows the districts and
    // the grid, a district the grid.
    QStringList provinces, districts;
    void provinceChosen(const QString& province);
    void districtChosen(const QString& district);

private:
    std::shared_ptr<platform::db::Database> m_db;
    Kind m_kind;
    std::unique_ptr<platform::db::TableModel> m_model;
    QString m_province;
};

} // namespace tawela::customers
