#include "customers/lookup_editors.h"

#include "customers/postal_directory.h"
#include "platform/db/db_error.h"

#include <QRegularExpression>

namespace tawela::customers {

using platform::db::Condition;
using platform::db::TableModel;
using Column = TableModel::Column;

namespace {

QString tableOf(LookupEditorForm::Kind kind)
{
    switch (kind) {
    case LookupEditorForm::Kind::Groups:
        return QStringLiteral("size");
    case LookupEditorForm::Kind::Statuses:
        return QStringLiteral("status_cust");
    case LookupEditorForm::Kind::Titles:
        return QStringLiteral("pre_name");
    case LookupEditorForm::Kind::UserFields:
        return QStringLiteral("user_column");
    case LookupEditorForm::Kind::PostalCodes:
        return QStringLiteral("Post_code");
    }
    return {};
}

QList<Column> columnsOf(LookupEditorForm::Kind kind)
{
    switch (kind) {
    case LookupEditorForm::Kind::Groups:
        return {{QStringLiteral("size"), QStringLiteral("กลุ่มลูกค้า")}};
    case LookupEditorForm::Kind::Statuses:
        return {{QStringLiteral("size"), QStringLiteral("สถานะลูกค้า")}};
    case LookupEditorForm::Kind::Titles:
        return {{QStringLiteral("pre_name"), QStringLiteral("คำนำหน้าชื่อ")},
                {QStringLiteral("sex"), QStringLiteral("เพศ")}};
    case LookupEditorForm::Kind::UserFields:
        return {{QStringLiteral("ID"), QStringLiteral("USER#"), false},
                {QStringLiteral("db_field"), QStringLiteral("db_field")},
                {QStringLiteral("field_index"), QStringLiteral("field_index")},
                {QStringLiteral("user_caption"), QStringLiteral("USER FIELD NAME")}};
    case LookupEditorForm::Kind::PostalCodes:
        return {{QStringLiteral("ID"), QStringLiteral("ID"), false},
                {QStringLiteral("location_code"), QStringLiteral("location_code")},
                {QStringLiteral("Province"), QStringLiteral("จังหวัด")},
                {QStringLiteral("District"), QStringLiteral("อำเภอ/เขต")},
                {QStringLiteral("Sub_district"), QStringLiteral("ตำบล/แขวง")},
                {QStringLiteral("Post_code"), QStringLiteral("รหัสไปรษณีย์"), true,
                 [](const QVariant& v, int) -> QString {
                     static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
                     return fiveDigits.match(v.toString().trimmed()).hasMatch()
                                ? QString()
                                : QStringLiteral("รหัสไปรษณีย์ต้องเป็นตัวเลข 5 หลัก (พบ \"%1\")")
                                      .arg(v.toString().left(20));
                 }}};
    }
    return {};
}

} // namespace

LookupEditorForm::LookupEditorForm(std::shared_ptr<platform::db::Database> customer, Kind kind,
                                   platform::Prompt& prompt)
    : m_db(std::move(customer)), m_kind(kind),
      m_model(std::make_unique<TableModel>(m_db, tableOf(kind), columnsOf(kind), prompt))
{
    if (kind == Kind::PostalCodes) {
        const PostalDirectory directory(m_db);
        provinces = directory.provinces();
        districts = directory.districts();
        m_model->select({}, {QStringLiteral("Province")});
    }
}

QString LookupEditorForm::name() const
{
    switch (m_kind) {
    case Kind::Groups:
        return QStringLiteral("group_cust");
    case Kind::Statuses:
        return QStringLiteral("status_table");
    case Kind::Titles:
        return QStringLiteral("pre_name_table");
    case Kind::UserFields:
        return QStringLiteral("user_field");
    case Kind::PostalCodes:
        return QStringLiteral("PostalCode");
    }
    return {};
}

QString LookupEditorForm::title() const
{
    switch (m_kind) {
    case Kind::Groups:
        return QStringLiteral("ตาราง กลุ่มลูกค้า");
    case Kind::Statuses:
        return QStringLiteral("ตาราง สถานะลูกค้า");
    case Kind::Titles:
        return QStringLiteral("ตาราง คำนำหน้าชื่อ");
    case Kind::UserFields:
        return QStringLiteral("User define Field");
    case Kind::PostalCodes:
        return QStringLiteral("รหัสไปรษณีย์");
    }
    return {};
}

QString LookupEditorForm::note() const
{
    return m_kind == Kind::UserFields
               ? QStringLiteral(" Note:    USER4 is Numeric field   USER5 is Date field")
               : QString();
}

void LookupEditorForm::provinceChosen(const QString& province)
{
    m_province = province;
    districts = PostalDirectory(m_db).districts(province);
    m_model->setNewRowValues({{QStringLiteral("Province"), province}});
    m_model->select(Condition::equals(QStringLiteral("Province"), province),
                    {QStringLiteral("District")});
}

void LookupEditorForm::districtChosen(const QString& district)
{
    QVariantMap start{{QStringLiteral("District"), district}};
    Condition where = Condition::equals(QStringLiteral("District"), district);
    if (!m_province.isEmpty()) {
        // A district name found in two provinces stays in the chosen one.
        where = where && Condition::equals(QStringLiteral("Province"), m_province);
        start.insert(QStringLiteral("Province"), m_province);
    }
    m_model->setNewRowValues(start);
    m_model->select(where, {QStringLiteral("District"), QStringLiteral("Sub_district")});
}

} // namespace tawela::customers
