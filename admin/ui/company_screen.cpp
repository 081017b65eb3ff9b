#include "admin/ui/company_screen.h"

#include "platform/ui/screen_parts.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::admin {

CompanyScreen::CompanyScreen(std::unique_ptr<CompanyForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("Company"));
    setWindowTitle(QStringLiteral("ชื่อ - ที่อยู่บริษัท"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_form->open();
    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    CompanyDetails& d = m_form->details;
    const std::pair<const char*, QString*> rows[] = {
        {"txtName", &d.name},         {"txtOwner", &d.owner}, {"txtAddress1", &d.address1},
        {"txtAddress2", &d.address2}, {"txtTel", &d.tel},     {"txtFax", &d.fax},
        {"txtTaxNo", &d.taxNo}};
    const QString captions[] = {
        QStringLiteral("ชื่อบริษัท/ชื่อร้าน"),  QStringLiteral("ชื่อเจ้าของ/ผู้รับมอบอำนาจ"),
        QStringLiteral("ที่อยู่"),           QStringLiteral("ที่อยู่ (บรรทัดที่ 2)"),
        QStringLiteral("โทรศัพท์"),        QStringLiteral("โทรสาร"),
        QStringLiteral("หมายเลขผู้เสียภาษี")};
    QList<QWidget*> order;
    for (int i = 0; i < 7; ++i) {
        QLineEdit* e = platform::ui::lineRow(k, rows[i].first, captions[i]);
        e->setMinimumWidth(360);
        e->setText(*rows[i].second);
        QString* value = rows[i].second;
        connect(e, &QLineEdit::textEdited, this, [value](const QString& t) { *value = t; });
        order << e;
    }
    v->addLayout(k);
    QPushButton* save = platform::ui::button("cmdSave", QStringLiteral("จัดเก็บ"));
    QPushButton* exit = platform::ui::button("cmdExit", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({save, exit}));
    order << save;
    new platform::ui::EnterOrder(this, order);
    connect(save, &QPushButton::clicked, this, [this] {
        if (m_form->save())
            close();
    });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

} // namespace tawela::admin
