#include "customers/ui/customer_panel_views.h"

#include "platform/ui/form_binding.h"
#include "text/thai_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tawela::customers {

using platform::FormBinding;
using platform::ui::button;
using platform::ui::captioned;

namespace {

QComboBox* valueBox(const char* name, const QString& caption)
{
    auto* c = platform::ui::listBox(name, caption);
    // What is searched is what was typed: no completion filled in ahead.
    c->setCompleter(nullptr);
    return c;
}

QComboBox* fieldBox(const char* name, const QString& caption)
{
    auto* c = captioned(new QComboBox, caption);
    c->setObjectName(QLatin1String(name));
    c->setMaxVisibleItems(21);
    return c;
}

QStringList captionsOf(const QList<SearchField>& fields)
{
    QStringList out;
    for (const SearchField& f : fields)
        out << f.caption;
    return out;
}

// A row of buttons, each running one command of the form.
void connectAll(QObject* owner, const Runner& run,
                std::initializer_list<std::pair<QPushButton*, std::function<void()>>> commands)
{
    for (const auto& c : commands)
        QObject::connect(c.first, &QPushButton::clicked, owner,
                         [run, command = c.second] { run(command); });
}

} // namespace

FindPanelView::FindPanelView(CustomerForm& form, FormBinding& binding, Runner run)
    : QGroupBox(QStringLiteral("ค้นหา")), m_form(form), m_run(std::move(run))
{
    setObjectName(QStringLiteral("Frame_find"));
    auto* k = new QFormLayout(this);
    m_field = fieldBox("cboFindField", QStringLiteral("ข้อมูล"));
    k->addRow(QStringLiteral("ข้อมูล"), m_field);
    m_key = valueBox("cboFindKey", QStringLiteral("คีย์ค้นหา"));
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(QStringLiteral("=")));
    keyRow->addWidget(m_key, 1);
    auto* keyLabel = new QLabel(QStringLiteral("คีย์ค้นหา"));
    keyLabel->setBuddy(m_key);
    k->addRow(keyLabel, keyRow);
    auto* find = button("cmdFindFirst", QStringLiteral("Find"));
    auto* next = button("cmdFindNext", QStringLiteral("Find Next"));
    auto* close = button("cmdFindClose", QStringLiteral("ปิด"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {find, next, close})
        buttons->addWidget(b);
    k->addRow(buttons);
    hide();

    binding.text(m_key, m_form.finder().panel.key);
    // The list completes what is typed.
    connect(m_key->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_form.finder().refreshKeys();
        refresh();
    });
    // An entry chosen from the list is the key.
    connect(m_key, &QComboBox::activated, this, [this](int i) {
        const QString t = m_key->itemText(i);
        m_run([this, t] { m_form.finder().panel.key = t; });
    });
    connect(m_field, &QComboBox::activated, this,
            [this](int i) { m_run([this, i] { m_form.finder().fieldChosen(i); }); });
    CustomerFind& f = m_form.finder();
    connectAll(
        this, m_run,
        {{find, [&f] { f.first(); }}, {next, [&f] { f.next(); }}, {close, [&f] { f.close(); }}});
}

void FindPanelView::open()
{
    m_run([this] { m_form.finder().open(); });
    m_field->setFocus();
}

QWidget* FindPanelView::firstField() const
{
    return m_field;
}

void FindPanelView::refresh()
{
    const CustomerFind& f = m_form.finder();
    setVisible(f.panel.visible);
    if (!f.panel.visible)
        return;
    platform::ui::showItems(m_field, captionsOf(f.fieldList()));
    m_field->setCurrentIndex(f.panel.field);
    platform::ui::showItems(m_key, f.panel.keys);
}

FilterPanelView::FilterPanelView(CustomerForm& form, FormBinding& binding, Runner run)
    : m_form(form), m_run(std::move(run))
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_panel = new QGroupBox(QStringLiteral("กรองข้อมูล"));
    m_panel->setObjectName(QStringLiteral("Frame_filter"));
    auto* k = new QFormLayout(m_panel);
    m_field = fieldBox("cboFilterField", QStringLiteral("เขตข้อมูล"));
    k->addRow(QStringLiteral("เขตข้อมูล"), m_field);
    m_op = new QLabel;
    m_op->setObjectName(QStringLiteral("lblOperator"));
    auto* cycle = button("cmdOperator", QStringLiteral("   =   <>"));
    cycle->setAccessibleName(QStringLiteral("เปลี่ยนเครื่องหมายเปรียบเทียบ"));
    auto* opRow = new QHBoxLayout;
    opRow->addWidget(m_op, 1);
    opRow->addWidget(cycle);
    k->addRow(QStringLiteral("เครื่องหมาย"), opRow);
    m_value = valueBox("cboFilterValue", QStringLiteral("คีย์ ในการกรอง"));
    k->addRow(QStringLiteral("คีย์ ในการกรอง"), m_value);
    auto* runButton = button("cmdFilterRun", QStringLiteral("กรอง"));
    auto* toggleAdvanced = button("cmdFilterAdvanced", QStringLiteral("กรอง ขั้นสูง"));
    auto* close = button("cmdFilterClose", QStringLiteral("ปิด"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {runButton, toggleAdvanced, close})
        buttons->addWidget(b);
    k->addRow(buttons);
    v->addWidget(m_panel);

    m_advanced = new QGroupBox(QStringLiteral("กรอง ขั้นสูง"));
    m_advanced->setObjectName(QStringLiteral("Frame_advanced"));
    auto* a = new QVBoxLayout(m_advanced);
    auto* commandLabel = new QLabel(QStringLiteral("คำสั่ง"));
    m_command = captioned(new QPlainTextEdit, QStringLiteral("คำสั่ง"));
    m_command->setObjectName(QStringLiteral("txtCommand"));
    m_command->setReadOnly(true);
    m_command->setMaximumHeight(80);
    commandLabel->setBuddy(m_command);
    a->addWidget(commandLabel);
    a->addWidget(m_command);
    auto* add = button("cmdAddCommand", QStringLiteral("เพิ่ม คำสั่ง"));
    auto* andButton = button("cmdAnd", QStringLiteral("AND"));
    auto* orButton = button("cmdOr", QStringLiteral("OR"));
    auto* clear = button("cmdClearCommand", QStringLiteral("ล้าง คำสั่ง"));
    auto* row1 = new QHBoxLayout;
    for (QPushButton* b : {add, andButton, orButton, clear})
        row1->addWidget(b);
    a->addLayout(row1);
    auto* runAdvanced = button("cmdRunAdvanced", QStringLiteral("กรอง"));
    runAdvanced->setAccessibleName(QStringLiteral("กรอง ตามคำสั่ง"));
    auto* exitAdvanced = button("cmdExitAdvanced", QStringLiteral("ออก"));
    exitAdvanced->setAccessibleName(QStringLiteral("ออกจากการกรอง"));
    a->addLayout(platform::ui::rightAligned({runAdvanced, exitAdvanced}));
    v->addWidget(m_advanced);
    m_panel->hide();
    m_advanced->hide();

    binding.text(m_value, m_form.filter().panel.value);
    connect(m_value->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_form.filter().refreshValues();
        refresh();
    });
    connect(m_value, &QComboBox::activated, this, [this](int i) {
        const QString t = m_value->itemText(i);
        m_run([this, t] { m_form.filter().panel.value = t; });
    });
    connect(m_field, &QComboBox::activated, this,
            [this](int i) { m_run([this, i] { m_form.filter().fieldChosen(i); }); });
    CustomerFilter& f = m_form.filter();
    using C = FilterChain::Connector;
    connectAll(this, m_run,
               {{cycle, [&f] { f.cycleOp(); }},
                {runButton, [&f] { f.run(); }},
                {toggleAdvanced, [&f] { f.toggleAdvanced(); }},
                {close, [&f] { f.close(); }},
                {add, [&f] { f.addCondition(); }},
                {andButton, [&f] { f.addConnector(C::And); }},
                {orButton, [&f] { f.addConnector(C::Or); }},
                {clear, [&f] { f.clearConditions(); }},
                {runAdvanced, [&f] { f.runAdvanced(); }},
                {exitAdvanced, [&f] { f.close(); }}});
}

void FilterPanelView::open()
{
    m_run([this] { m_form.filter().open(); });
    m_field->setFocus();
}

void FilterPanelView::refresh()
{
    const CustomerFilter& f = m_form.filter();
    m_panel->setVisible(f.panel.visible);
    m_advanced->setVisible(f.panel.visible && f.panel.advanced);
    if (!f.panel.visible)
        return;
    const QList<SearchField> fields = f.fieldList();
    platform::ui::showItems(m_field, captionsOf(fields));
    m_field->setCurrentIndex(f.panel.field);
    m_value->setVisible(!fields.value(f.panel.field).column.isEmpty());
    platform::ui::showItems(m_value, f.panel.values);
    m_op->setText(opCaption(f.panel.op));
    m_command->setPlainText(f.panel.chain.text());
}

ReportPanelView::ReportPanelView(CustomerForm& form, FormBinding& binding, Runner run)
    : QGroupBox(QStringLiteral("รายงาน")), m_form(form)
{
    setObjectName(QStringLiteral("Frame_report"));
    auto* v = new QVBoxLayout(this);
    m_choices = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    const QList<CustomerReportChoice>& choices = customerReportChoices();
    for (int i = 0; i < choices.size(); ++i) {
        auto* r = new QRadioButton(choices[i].caption);
        r->setObjectName(QStringLiteral("optReport%1").arg(i + 1));
        m_choices->addButton(r, i);
        grid->addWidget(r, i % 6, i / 6);
    }
    v->addLayout(grid);
    auto* offsets = new QHBoxLayout;
    offsets->addWidget(new QLabel(QStringLiteral("+/-Left    +/-Top")));
    auto* left = captioned(new QLineEdit, QStringLiteral("+/-Left"));
    left->setObjectName(QStringLiteral("txtLeft"));
    auto* top = captioned(new QLineEdit, QStringLiteral("+/-Top"));
    top->setObjectName(QStringLiteral("txtTop"));
    for (QLineEdit* e : {left, top}) {
        e->setMaximumWidth(60);
        e->setToolTip(QStringLiteral("เลื่อนลาเบลและซองจดหมาย (มิลลิเมตร)"));
        offsets->addWidget(e);
    }
    offsets->addStretch(1);
    v->addLayout(offsets);
    auto* printer = button("cmdChoosePrinter", QStringLiteral("เลือกPrinter"));
    auto* print = button("cmdPrintReport", QStringLiteral("พิมพ์"));
    auto* close = button("cmdReportClose", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({printer, print, close}));
    hide();

    CustomerReportsPanel& r = m_form.reports();
    binding.text(left, r.panel.left);
    binding.text(top, r.panel.top);
    connect(m_choices, &QButtonGroup::idClicked, this, [run, &r](int id) {
        run([&r, id] { r.panel.choice = customerReportChoices()[id].report; });
    });
    connectAll(this, run,
               {{close, [&r] { r.panel.visible = false; }},
                {print, [&r] { r.print(); }},
                {printer, [&r] { r.choosePrinter(); }}});
}

void ReportPanelView::refresh()
{
    const CustomerReportsPanel& r = m_form.reports();
    setVisible(r.panel.visible);
    for (int i = 0; i < customerReportChoices().size(); ++i)
        if (r.panel.choice == customerReportChoices()[i].report)
            m_choices->button(i)->setChecked(true);
}

HistoryPanelView::HistoryPanelView(CustomerForm& form, Runner run) : m_form(form)
{
    auto* toggle = button("cmdHistory", QStringLiteral("ย่อ/ขยาย ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_panel = new QGroupBox(QStringLiteral("ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_panel->setObjectName(QStringLiteral("Frame_history"));
    auto* v = new QVBoxLayout(m_panel);
    m_grid = new QTableWidget(0, 7);
    m_grid->setObjectName(QStringLiteral("grdHistory"));
    m_grid->setAccessibleName(QStringLiteral("ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("รายละเอียด"), QStringLiteral("ยอดรวม"),
                                       QStringLiteral("วันที่"), QStringLiteral("กลุ่มสินค้า"),
                                       QStringLiteral("กลุ่มงาน"), QStringLiteral("พนักงาน"),
                                       QStringLiteral("รหัสลูกค้า")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // Five rows of history in sight, however many panels are open beside it.
    m_grid->setMinimumHeight(m_grid->horizontalHeader()->sizeHint().height() +
                             5 * m_grid->verticalHeader()->defaultSectionSize() +
                             m_grid->horizontalScrollBar()->sizeHint().height() +
                             2 * m_grid->frameWidth() + 4);
    v->addWidget(m_grid);
    auto* print = new QPushButton;
    print->setObjectName(QStringLiteral("cmdPrintHistory"));
    print->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    print->setAccessibleName(QStringLiteral("พิมพ์ประวัติการเข้ารับบริการ"));
    print->setToolTip(QStringLiteral("พิมพ์ประวัติการเข้ารับบริการ"));
    v->addLayout(platform::ui::rightAligned({print}));
    m_panel->hide();
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(toggle);
    outer->addWidget(m_panel);

    CustomerHistoryView& h = m_form.historyView();
    connectAll(this, run, {{toggle, [&h] { h.toggle(); }}, {print, [&h] { h.print(); }}});
}

void HistoryPanelView::refresh()
{
    const CustomerHistoryView& h = m_form.historyView();
    m_panel->setVisible(h.panel.wide);
    // Filled when a history was built, not at every edit.
    if (!h.panel.wide || m_shownBuild == h.panel.builds)
        return;
    m_shownBuild = h.panel.builds;
    m_grid->setRowCount(int(h.panel.rows.size()));
    for (int r = 0; r < h.panel.rows.size(); ++r) {
        const HistoryRow& row = h.panel.rows[r];
        const QString cells[] = {row.description,
                                 text::listAmountText(row.amount),
                                 text::buddhistDateText(row.date),
                                 row.group,
                                 row.group2,
                                 row.employee,
                                 row.code};
        for (int c = 0; c < 7; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
}

} // namespace tawela::customers
