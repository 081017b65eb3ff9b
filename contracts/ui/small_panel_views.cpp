#include "contracts/ui/small_panel_views.h"

#include "platform/ui/screen_parts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tawela::contracts {

using platform::ui::button;

DeletionPanelView::DeletionPanelView(ContractForm& form, Runner run,
                                     std::function<void(bool removed)> confirmed)
    : QGroupBox(QStringLiteral("ลบสัญญา")), m_form(form)
{
    setObjectName(QStringLiteral("Frame7"));
    auto* v = new QVBoxLayout(this);
    auto* question = new QLabel(QStringLiteral("คุณต้องการลบ สัญญานี้ ใช่หรือไม่"));
    question->setStyleSheet(QStringLiteral("font-weight: bold; color: #b00020"));
    v->addWidget(question);
    m_yes = button("Command25", QStringLiteral("ใช่"));
    auto* no = button("Command24", QStringLiteral("ไม่ใช่"));
    v->addLayout(platform::ui::rightAligned({m_yes, no}));
    v->addStretch(1);
    connect(m_yes, &QPushButton::clicked, this,
            [this, confirmed] { confirmed(m_form.deletion().confirm()); });
    connect(no, &QPushButton::clicked, this,
            [this, run] { run([this] { m_form.deletion().cancel(); }); });
}

ReprintPanelView::ReprintPanelView(ContractForm& form, Runner run, std::function<void()> closed)
    : QGroupBox(QStringLiteral("ใบขายฝาก")), m_form(form)
{
    setObjectName(QStringLiteral("Frame12"));
    auto* v = new QVBoxLayout(this);
    const std::pair<const char*, const char*> choices[] = {
        {"Option11", "ใบสัญญา"},   {"Option12", "ใบขายฝาก  ใหญ่"}, {"Option13", "ใบขายฝาก  ย่อ"},
        {"Option4", "การ์ดต่อดอก"}, {"Option17", "ใบต่อดอก  ใหญ่"},  {"Option14", "ใบต่อดอก  ย่อ"}};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        m_choices[i] = new QRadioButton(QString::fromUtf8(choices[i].second));
        m_choices[i]->setObjectName(QLatin1String(choices[i].first));
        grid->addWidget(m_choices[i], i % 3, i / 3);
    }
    v->addLayout(grid);
    m_print = button("Command43", QStringLiteral("พิมพ์"));
    auto* out = button("Command42", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({m_print, out}));
    v->addStretch(1);
    connect(m_print, &QPushButton::clicked, this, [this] {
        // The panel's order of the choices, as the enum holds them.
        const Reprint kinds[] = {Reprint::ContractForm, Reprint::LargeTicket,
                                 Reprint::ShortTicket,  Reprint::RenewalCard,
                                 Reprint::LargeRenewal, Reprint::ShortRenewal};
        QList<Reprint> ticked;
        for (int i = 0; i < 6; ++i)
            if (m_choices[i]->isChecked())
                ticked << kinds[i];
        m_form.reprints().print(firstTicked(ticked));
    });
    connect(out, &QPushButton::clicked, this, [this, run, closed] {
        run([this] { m_form.reprints().close(); });
        closed();
    });
}

} // namespace tawela::contracts
