#include "contracts/ui/closing_panel_view.h"

#include "contracts/ui/panel_binding.h"
#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"
#include "text/thai_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::contracts {

using platform::ui::button;
using platform::ui::captioned;
using platform::ui::lineRow;

ClosingPanelView::ClosingPanelView(ContractForm& form, Runner run, std::function<void()> cancelled)
    : QGroupBox(QStringLiteral("ไถ่ถอน")), m_form(form)
{
    setObjectName(QStringLiteral("Frame8"));
    auto* v = new QVBoxLayout(this);
    m_question = new QLabel;
    m_question->setObjectName(QStringLiteral("Label11"));
    m_question->setStyleSheet(QStringLiteral("font-weight: bold"));
    v->addWidget(m_question);
    const auto [left, right] = twoColumns(v);
    m_date = dateRow(left, "DTPicker6", QStringLiteral("วันที่ไถ่ถอน"));
    m_due = dateRow(left, "DTPicker7", QStringLiteral("วันที่ครบกำหนด"));
    m_start = dateRow(left, "DTPicker8", QStringLiteral("วันที่รับฝาก / ผากต่อ"));
    auto* daysRow = new QHBoxLayout;
    m_days = captioned(new QLineEdit, QStringLiteral("ห่างจาวันครบกำหนด (วัน)"));
    m_days->setObjectName(QStringLiteral("Text28"));
    m_days->setMaximumWidth(80);
    daysRow->addWidget(m_days);
    daysRow->addWidget(new QLabel(QStringLiteral("วัน")));
    daysRow->addStretch(1);
    auto* daysLabel = new QLabel(QStringLiteral("ห่างจาวันครบกำหนด"));
    daysLabel->setBuddy(m_days);
    left->addRow(daysLabel, daysRow);
    m_amount = lineRow(right, "Text26", QStringLiteral("ยอดไถ่ถอน"));
    m_chargeCaption = new QLabel;
    m_chargeCaption->setObjectName(QStringLiteral("Label45"));
    m_surcharge = captioned(new QLineEdit, ClosingPanel::defaultCaption());
    m_surcharge->setObjectName(QStringLiteral("Text25"));
    m_chargeCaption->setBuddy(m_surcharge);
    right->addRow(m_chargeCaption, m_surcharge);
    m_penalty = lineRow(right, "Text29", QStringLiteral("ค่าปรับ"));
    m_discount = lineRow(right, "Text30", QStringLiteral("ส่วนลด"));
    m_total = lineRow(right, "Text24", QStringLiteral("รวม"));
    const QString lawfulCaption = QStringLiteral("ยอดไถ่ถอนสูงสุดตามกฎหมาย");
    m_lawful = captioned(new QLineEdit, lawfulCaption);
    m_lawful->setObjectName(QStringLiteral("txtLawful"));
    m_lawful->setReadOnly(true);
    m_lawful->setToolTip(QStringLiteral("ราคาที่ขายฝากจริงรวมประโยชน์ไม่เกินอัตราต่อปีที่กฎหมายกำหนด "
                                        "หักค่าธรรมเนียมที่รับไปแล้ว"));
    m_lawfulCaption = new QLabel(lawfulCaption);
    m_lawfulCaption->setWordWrap(true);
    m_lawfulCaption->setBuddy(m_lawful);
    right->addRow(m_lawfulCaption, m_lawful);
    m_useLawful = button("cmdLawful", QStringLiteral("ใช้ยอดตามกฎหมาย"));
    right->addRow(platform::ui::rightAligned({m_useLawful}));
    connect(m_useLawful, &QPushButton::clicked, this,
            [this, run] { run([this] { m_form.closings().useLawfulMaximum(); }); });
    m_buttons = new QWidget;
    auto* buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    m_yes = button("Command26", QStringLiteral("ใช่"));
    auto* no = button("Command27", QStringLiteral("ไม่ใช่"));
    buttons->addStretch(1);
    buttons->addWidget(m_yes);
    buttons->addWidget(no);
    left->addRow(m_buttons);
    v->addStretch(1);
    connect(m_yes, &QPushButton::clicked, this,
            [this, run] { run([this] { m_form.closings().confirm(); }); });
    connect(no, &QPushButton::clicked, this, [this, run, cancelled] {
        run([this] { m_form.closings().cancel(); });
        cancelled();
    });
}

void ClosingPanelView::bind(platform::FormBinding& b)
{
    ContractForm& f = m_form;
    ClosingPanel& c = f.closings().panel;
    for (const auto& entry :
         {std::pair{m_date, &ClosingPanel::date}, std::pair{m_due, &ClosingPanel::dueDate},
          std::pair{m_start, &ClosingPanel::termStart}}) {
        const auto field = entry.first;
        const auto value = entry.second;
        b.date(
            field, [&c, value] { return c.*value; },
            [&f, &c, value](const QDate& d) {
                c.*value = d;
                f.closings().datesChanged();
            });
    }
    b.text(
        m_days, [&c] { return c.days; },
        [&f](const QString& t) { return f.closings().daysTyped(t); });
    const auto total = [&f] { f.closings().figuresChanged(); };
    bindFigure(b, f, m_amount, c.amount, total);
    bindFigure(b, f, m_surcharge, c.surcharge, total);
    bindFigure(b, f, m_penalty, c.penalty, total);
    bindFigure(b, f, m_discount, c.discount, total);
    bindFigure(b, f, m_total, c.total);
}

void ClosingPanelView::refresh()
{
    const ClosingPanel& c = m_form.closings().panel;
    setTitle(c.title);
    m_question->setText(c.question);
    m_question->setVisible(!c.readOnly);
    m_buttons->setVisible(!c.readOnly);
    for (QLineEdit* e : {m_days, m_amount, m_surcharge, m_penalty, m_discount, m_total})
        e->setReadOnly(c.readOnly);
    for (platform::ThaiDateEdit* d : {m_date, m_due, m_start})
        d->setEnabled(!c.readOnly);
    m_chargeCaption->setText(c.caption);
    m_surcharge->setAccessibleName(c.caption);
    const std::optional<LawfulRedemption> lawful = m_form.closings().lawful();
    for (QWidget* w : std::initializer_list<QWidget*>{m_lawfulCaption, m_lawful})
        w->setVisible(bool(lawful));
    const bool over = lawful && !lawful->excess.isZero();
    m_useLawful->setVisible(over);
    m_lawful->setText(lawful ? text::listAmountText(lawful->maximum) : QString());
    // The asked total in red while it is above what the law allows.
    m_total->setStyleSheet(over ? QStringLiteral("color: #c00000; font-weight: bold") : QString());
    m_total->setToolTip(over ? QStringLiteral("เกินยอดสูงสุดตามกฎหมาย ") +
                                   text::listAmountText(lawful->excess) + QStringLiteral(" บาท")
                             : QString());
}

} // namespace tawela::contracts
