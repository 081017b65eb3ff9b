#include "contracts/ui/renewal_panel_view.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::contracts {

using platform::ui::button;
using platform::ui::captioned;
using platform::ui::lineRow;

namespace {

// "ตกลง" or "แก้ไข" runs `apply` and puts the cursor on a refused figure,
// else calls `done`; the other button runs `cancel`, then `done`.
template <typename View>
void connectFigureButtons(View* view, QPushButton* apply, QPushButton* cancel,
                          const RenewalPanelView::Runner& run, const std::function<void()>& done,
                          std::function<void()> applyCommand, std::function<void()> cancelCommand)
{
    QObject::connect(apply, &QPushButton::clicked, view, [view, run, done, applyCommand] {
        run(applyCommand);
        if (!focusRefusedFigure(view->form(), view->figures()))
            done();
    });
    QObject::connect(cancel, &QPushButton::clicked, view, [run, done, cancelCommand] {
        run(cancelCommand);
        done();
    });
}

void bindDate(platform::FormBinding& b, platform::ThaiDateEdit* field, QDate& value)
{
    b.date(
        field, [&value] { return value; }, [&value](const QDate& d) { value = d; });
}

} // namespace

RenewalFigureFields renewalFigureFields(QFormLayout* into, const std::array<const char*, 5>& names)
{
    return {lineRow(into, names[0], QStringLiteral("ต่อดอกครั้งที่")),
            lineRow(into, names[1], QStringLiteral("ค่าธรรมเนียม")),
            lineRow(into, names[2], QStringLiteral("ค่าปรับ")),
            lineRow(into, names[3], QStringLiteral("ส่วนลด")),
            lineRow(into, names[4], QStringLiteral("รวม"))};
}

bool focusRefusedFigure(ContractForm& form, const RenewalFigureFields& fields)
{
    if (!form.refusedFigure)
        return false;
    QLineEdit* field = fields.total;
    switch (*form.refusedFigure) {
    case RenewalFigure::Fee:
        field = fields.fee;
        break;
    case RenewalFigure::Penalty:
        field = fields.penalty;
        break;
    case RenewalFigure::Discount:
        field = fields.discount;
        break;
    case RenewalFigure::Total:
        break;
    case RenewalFigure::DueDate:
        if (fields.due)
            field = fields.due;
        break;
    }
    form.refusedFigure.reset();
    field->setFocus();
    field->selectAll();
    return true;
}

RenewalPanelView::RenewalPanelView(ContractForm& form, Runner run, std::function<void()> done)
    : QGroupBox(QStringLiteral("ต่อดอก")), m_form(form)
{
    setObjectName(QStringLiteral("Frame1"));
    auto* v = new QVBoxLayout(this);
    auto* question = new QLabel(QStringLiteral("คุณต้องการต่อดอกสัญญานี้ใช่หรือไม่"));
    question->setStyleSheet(QStringLiteral("font-weight: bold"));
    v->addWidget(question);
    const auto [left, right] = twoColumns(v);
    m_figures = renewalFigureFields(left, {"Text4", "Text20", "Text27", "Text31", "Text21"});
    m_currentDue = dateRow(right, "DTPicker3", QStringLiteral("วันครบกำหนดปัจจุบัน"));
    m_newDue = dateRow(right, "DTPicker4", QStringLiteral("วันครบกำหนดใหม่"));
    m_figures.due = m_newDue->lineEdit();
    m_on = dateRow(right, "DTPicker5", QStringLiteral("วันต่อดอก"));
    m_dayCaption = new QLabel;
    m_dayCaption->setObjectName(QStringLiteral("Label35"));
    right->addRow(m_dayCaption);
    auto* ok = button("Command18", QStringLiteral("ตกลง"));
    auto* no = button("Command23", QStringLiteral("ไม่ใช่"));
    right->addRow(platform::ui::rightAligned({ok, no}));
    v->addStretch(1);
    connectFigureButtons(
        this, ok, no, run, done, [this] { m_form.renewals().confirm(); },
        [this] { m_form.renewals().cancel(); });
}

void RenewalPanelView::bind(platform::FormBinding& b)
{
    RenewalPanel& p = m_form.renewals().panel;
    bindRenewalFigures(b, m_form, m_figures, p);
    bindDate(b, m_currentDue, p.currentDue);
    bindDate(b, m_newDue, p.newDue);
    bindDate(b, m_on, p.renewalDate);
}

void RenewalPanelView::refresh()
{
    m_dayCaption->setText(m_form.renewals().panel.dayCaption);
}

RenewalEditView::RenewalEditView(ContractForm& form, Runner run, std::function<void()> done)
    : QGroupBox(QStringLiteral("แก้ไขรายการต่อดอก")), m_form(form)
{
    setObjectName(QStringLiteral("Frame10"));
    auto* v = new QVBoxLayout(this);
    const auto [left, right] = twoColumns(v);
    m_figures = renewalFigureFields(left, {"Text37", "Text35", "Text33", "Text32", "Text34"});
    m_on = dateRow(right, "DTPicker11", QStringLiteral("วันต่อดอก"));
    m_due = dateRow(right, "DTPicker9", QStringLiteral("วันครบกำหนด"));
    auto* apply = button("Command29", QStringLiteral("แก้ไข"));
    auto* cancel = button("Command13", QStringLiteral("ไม่แก้ไข"));
    right->addRow(platform::ui::rightAligned({apply, cancel}));
    v->addStretch(1);
    connectFigureButtons(
        this, apply, cancel, run, done, [this] { m_form.renewals().applyEdit(); },
        [this] { m_form.renewals().cancelEdit(); });
}

void RenewalEditView::bind(platform::FormBinding& b)
{
    RenewalEditPanel& p = m_form.renewals().editing;
    bindRenewalFigures(b, m_form, m_figures, p);
    bindDate(b, m_on, p.renewalDate);
    bindDate(b, m_due, p.dueDate);
}

} // namespace tawela::contracts
