#include "reports/ui/summary_screens.h"

#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tawela::reports {

using platform::ThaiDateEdit;
using platform::ui::button;
using platform::ui::captioned;

namespace {

ThaiDateEdit* dateField(const char* name, const QString& caption, const QDate& date)
{
    auto* d = captioned(new ThaiDateEdit, caption);
    d->setObjectName(QLatin1String(name));
    d->lineEdit()->setAccessibleName(caption);
    d->setDate(date);
    return d;
}

} // namespace

ContractSummaryScreen::ContractSummaryScreen(std::unique_ptr<ContractSummaryForm> form,
                                             QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("report_Sanya"));
    setWindowTitle(QStringLiteral("รายงานสรุป เกี่ยวกับสัญญา"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    m_at = dateField("DTPicker5", QStringLiteral("ณ. วันที่"), m_form->at);
    k->addRow(QStringLiteral("ณ. วันที่"), m_at);
    v->addLayout(k);
    auto* box = new QGroupBox(QStringLiteral("รายงาน"));
    auto* list = new QVBoxLayout(box);
    m_choices = new QButtonGroup(this);
    const QList<ContractSummaryChoice>& choices = contractSummaryChoices();
    for (int i = 0; i < choices.size(); ++i) {
        auto* r = new QRadioButton(choices[i].caption);
        r->setObjectName(QLatin1String(choices[i].name));
        m_choices->addButton(r, i);
        list->addWidget(r);
    }
    v->addWidget(box);
    QPushButton* print = button("Command32", QStringLiteral("พิมพ์"));
    QPushButton* exit = button("Command33", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({print, exit}));

    connect(m_at, &ThaiDateEdit::dateChanged, this, [this](const QDate& d) { m_form->at = d; });
    connect(m_choices, &QButtonGroup::idClicked, this,
            [this](int id) { m_form->choice = contractSummaryChoices()[id].which; });
    connect(print, &QPushButton::clicked, this, [this] { m_form->print(); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

MoneySummaryScreen::MoneySummaryScreen(std::unique_ptr<MoneySummaryForm> form,
                                       std::function<void()> paperSetup, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("print_sum"));
    setWindowTitle(QStringLiteral("ดูรายงาน"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    m_from = dateField("DTPicker1", QStringLiteral("ตั้งแต่วันที่"), m_form->from);
    m_to = dateField("DTPicker2", QStringLiteral("ถึงวันที่"), m_form->to);
    k->addRow(QStringLiteral("ตั้งแต่วันที่"), m_from);
    k->addRow(QStringLiteral("ถึงวันที่"), m_to);
    v->addLayout(k);

    // The choices under their group captions, in the order they are tested;
    // those without a report are shown off.
    QMap<QString, QVBoxLayout*> groups;
    auto* grid = new QGridLayout;
    const auto groupOf = [&](const QString& caption) {
        if (!groups.contains(caption)) {
            auto* g = new QGroupBox(caption);
            auto* gl = new QVBoxLayout(g);
            const int n = int(groups.size());
            grid->addWidget(g, n / 2, n % 2);
            groups.insert(caption, gl);
        }
        return groups.value(caption);
    };
    m_choices = new QButtonGroup(this);
    const QList<MoneySummaryChoice>& choices = moneySummaryChoices();
    for (int i = 0; i < choices.size(); ++i) {
        auto* r = new QRadioButton(choices[i].caption);
        r->setObjectName(QLatin1String(choices[i].name));
        r->setAccessibleName(choices[i].group + u' ' + choices[i].caption);
        m_choices->addButton(r, i);
        groupOf(choices[i].group)->addWidget(r);
    }
    for (const InertChoice& c : moneySummaryInertChoices()) {
        auto* r = new QRadioButton(c.caption);
        r->setEnabled(false);
        r->setToolTip(QStringLiteral("รายงานนี้ยังไม่มีในรุ่นนี้"));
        groupOf(c.group)->addWidget(r);
    }
    for (QVBoxLayout* gl : groups)
        gl->addStretch(1);
    v->addLayout(grid);
    QPushButton* paper = button("mnu_paper", QStringLiteral("ปรับเครื่องพิมพ์ และขนาดกระดาษ"));
    QPushButton* print = button("Command3", QStringLiteral("พิมพ์"));
    QPushButton* exit = button("Command2", QStringLiteral("ออก"));
    auto* row = new QHBoxLayout;
    row->addWidget(paper);
    row->addStretch(1);
    row->addWidget(print);
    row->addWidget(exit);
    v->addLayout(row);
    m_print = print;
    paper->setEnabled(bool(paperSetup));

    connect(m_from, &ThaiDateEdit::dateChanged, this, [this](const QDate& d) { m_form->from = d; });
    connect(m_to, &ThaiDateEdit::dateChanged, this, [this](const QDate& d) { m_form->to = d; });
    connect(m_choices, &QButtonGroup::idClicked, this,
            [this](int id) { m_form->choice = moneySummaryChoices()[id].which; });
    connect(print, &QPushButton::clicked, this, [this] { m_form->print(); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    if (paperSetup)
        connect(paper, &QPushButton::clicked, this, std::move(paperSetup));
}

void MoneySummaryScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_print->setFocus();
}

} // namespace tawela::reports
