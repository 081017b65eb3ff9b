#include "customers/ui/customer_screen.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "text/thai_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
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
    auto* c = captioned(new QComboBox, caption);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    // What is searched is what was typed: no completion filled in ahead.
    c->setCompleter(nullptr);
    c->lineEdit()->setAccessibleName(caption);
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

} // namespace

QWidget* CustomerScreen::buildFindPanel()
{
    m_find.panel = new QGroupBox(QStringLiteral("ค้นหา"));
    m_find.panel->setObjectName(QStringLiteral("Frame_find"));
    auto* k = new QFormLayout(m_find.panel);
    m_find.field = fieldBox("cboFindField", QStringLiteral("ข้อมูล"));
    k->addRow(QStringLiteral("ข้อมูล"), m_find.field);
    m_find.key = valueBox("cboFindKey", QStringLiteral("คีย์ค้นหา"));
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(QStringLiteral("=")));
    keyRow->addWidget(m_find.key, 1);
    auto* keyLabel = new QLabel(QStringLiteral("คีย์ค้นหา"));
    keyLabel->setBuddy(m_find.key);
    k->addRow(keyLabel, keyRow);
    auto* buttons = new QHBoxLayout;
    m_find.find = button("cmdFindFirst", QStringLiteral("Find"));
    m_find.next = button("cmdFindNext", QStringLiteral("Find Next"));
    m_find.close = button("cmdFindClose", QStringLiteral("ปิด"));
    for (QPushButton* b : {m_find.find, m_find.next, m_find.close})
        buttons->addWidget(b);
    k->addRow(buttons);
    m_find.panel->hide();
    return m_find.panel;
}

QWidget* CustomerScreen::buildFilterPanel()
{
    auto* box = new QWidget;
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    m_filter.panel = new QGroupBox(QStringLiteral("กรองข้อมูล"));
    m_filter.panel->setObjectName(QStringLiteral("Frame_filter"));
    auto* k = new QFormLayout(m_filter.panel);
    m_filter.field = fieldBox("cboFilterField", QStringLiteral("เขตข้อมูล"));
    k->addRow(QStringLiteral("เขตข้อมูล"), m_filter.field);
    m_filter.op = new QLabel;
    m_filter.op->setObjectName(QStringLiteral("lblOperator"));
    m_filter.cycle = button("cmdOperator", QStringLiteral("   =   <>"));
    m_filter.cycle->setAccessibleName(QStringLiteral("เปลี่ยนเครื่องหมายเปรียบเทียบ"));
    auto* opRow = new QHBoxLayout;
    opRow->addWidget(m_filter.op, 1);
    opRow->addWidget(m_filter.cycle);
    k->addRow(QStringLiteral("เครื่องหมาย"), opRow);
    m_filter.value = valueBox("cboFilterValue", QStringLiteral("คีย์ ในการกรอง"));
    k->addRow(QStringLiteral("คีย์ ในการกรอง"), m_filter.value);
    auto* buttons = new QHBoxLayout;
    m_filter.run = button("cmdFilterRun", QStringLiteral("กรอง"));
    m_filter.toggleAdvanced = button("cmdFilterAdvanced", QStringLiteral("กรอง ขั้นสูง"));
    m_filter.close = button("cmdFilterClose", QStringLiteral("ปิด"));
    for (QPushButton* b : {m_filter.run, m_filter.toggleAdvanced, m_filter.close})
        buttons->addWidget(b);
    k->addRow(buttons);
    v->addWidget(m_filter.panel);

    m_filter.advanced = new QGroupBox(QStringLiteral("กรอง ขั้นสูง"));
    m_filter.advanced->setObjectName(QStringLiteral("Frame_advanced"));
    auto* a = new QVBoxLayout(m_filter.advanced);
    auto* commandLabel = new QLabel(QStringLiteral("คำสั่ง"));
    m_filter.command = captioned(new QPlainTextEdit, QStringLiteral("คำสั่ง"));
    m_filter.command->setObjectName(QStringLiteral("txtCommand"));
    m_filter.command->setReadOnly(true);
    m_filter.command->setMaximumHeight(80);
    commandLabel->setBuddy(m_filter.command);
    a->addWidget(commandLabel);
    a->addWidget(m_filter.command);
    auto* row1 = new QHBoxLayout;
    m_filter.add = button("cmdAddCommand", QStringLiteral("เพิ่ม คำสั่ง"));
    m_filter.andButton = button("cmdAnd", QStringLiteral("AND"));
    m_filter.orButton = button("cmdOr", QStringLiteral("OR"));
    m_filter.clear = button("cmdClearCommand", QStringLiteral("ล้าง คำสั่ง"));
    for (QPushButton* b : {m_filter.add, m_filter.andButton, m_filter.orButton, m_filter.clear})
        row1->addWidget(b);
    a->addLayout(row1);
    m_filter.runAdvanced = button("cmdRunAdvanced", QStringLiteral("กรอง"));
    m_filter.runAdvanced->setAccessibleName(QStringLiteral("กรอง ตามคำสั่ง"));
    m_filter.exitAdvanced = button("cmdExitAdvanced", QStringLiteral("ออก"));
    m_filter.exitAdvanced->setAccessibleName(QStringLiteral("ออกจากการกรอง"));
    a->addLayout(platform::ui::rightAligned({m_filter.runAdvanced, m_filter.exitAdvanced}));
    v->addWidget(m_filter.advanced);
    m_filter.panel->hide();
    m_filter.advanced->hide();
    return box;
}

QWidget* CustomerScreen::buildReportPanel()
{
    m_report.panel = new QGroupBox(QStringLiteral("รายงาน"));
    m_report.panel->setObjectName(QStringLiteral("Frame_report"));
    auto* v = new QVBoxLayout(m_report.panel);
    m_report.choices = new QButtonGroup(m_report.panel);
    auto* grid = new QGridLayout;
    const QList<CustomerReportChoice>& choices = customerReportChoices();
    for (int i = 0; i < choices.size(); ++i) {
        auto* r = new QRadioButton(choices[i].caption);
        r->setObjectName(QStringLiteral("optReport%1").arg(i + 1));
        m_report.choices->addButton(r, i);
        grid->addWidget(r, i % 6, i / 6);
    }
    v->addLayout(grid);
    auto* offsets = new QHBoxLayout;
    offsets->addWidget(new QLabel(QStringLiteral("+/-Left    +/-Top")));
    m_report.left = captioned(new QLineEdit, QStringLiteral("+/-Left"));
    m_report.left->setObjectName(QStringLiteral("txtLeft"));
    m_report.top = captioned(new QLineEdit, QStringLiteral("+/-Top"));
    m_report.top->setObjectName(QStringLiteral("txtTop"));
    for (QLineEdit* e : {m_report.left, m_report.top}) {
        e->setMaximumWidth(60);
        e->setToolTip(QStringLiteral("เลื่อนลาเบลและซองจดหมาย (มิลลิเมตร)"));
        offsets->addWidget(e);
    }
    offsets->addStretch(1);
    v->addLayout(offsets);
    m_report.printer = button("cmdChoosePrinter", QStringLiteral("เลือกPrinter"));
    m_report.print = button("cmdPrintReport", QStringLiteral("พิมพ์"));
    m_report.close = button("cmdReportClose", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({m_report.printer, m_report.print, m_report.close}));
    m_report.panel->hide();
    return m_report.panel;
}

QWidget* CustomerScreen::buildHistoryPanel()
{
    m_history.toggle = button("cmdHistory", QStringLiteral("ย่อ/ขยาย ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_history.panel = new QGroupBox(QStringLiteral("ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_history.panel->setObjectName(QStringLiteral("Frame_history"));
    auto* v = new QVBoxLayout(m_history.panel);
    m_history.grid = new QTableWidget(0, 7);
    m_history.grid->setObjectName(QStringLiteral("grdHistory"));
    m_history.grid->setAccessibleName(QStringLiteral("ข้อมูลการเข้ารับบริการของลูกค้า"));
    m_history.grid->setHorizontalHeaderLabels(
        {QStringLiteral("รายละเอียด"), QStringLiteral("ยอดรวม"), QStringLiteral("วันที่"),
         QStringLiteral("กลุ่มสินค้า"), QStringLiteral("กลุ่มงาน"), QStringLiteral("พนักงาน"),
         QStringLiteral("รหัสลูกค้า")});
    m_history.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_history.grid->verticalHeader()->hide();
    m_history.grid->horizontalHeader()->setStretchLastSection(true);
    // Five rows of history in sight, however many panels are open beside it.
    m_history.grid->setMinimumHeight(m_history.grid->horizontalHeader()->sizeHint().height() +
                                     5 * m_history.grid->verticalHeader()->defaultSectionSize() +
                                     m_history.grid->horizontalScrollBar()->sizeHint().height() +
                                     2 * m_history.grid->frameWidth() + 4);
    v->addWidget(m_history.grid);
    m_history.print = new QPushButton;
    m_history.print->setObjectName(QStringLiteral("cmdPrintHistory"));
    m_history.print->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_history.print->setAccessibleName(QStringLiteral("พิมพ์ประวัติการเข้ารับบริการ"));
    m_history.print->setToolTip(QStringLiteral("พิมพ์ประวัติการเข้ารับบริการ"));
    v->addLayout(platform::ui::rightAligned({m_history.print}));
    m_history.panel->hide();
    auto* box = new QWidget;
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_history.toggle);
    outer->addWidget(m_history.panel);
    return box;
}

void CustomerScreen::bindPanels()
{
    CustomerForm& f = *m_form;
    FormBinding& b = *m_binding;
    b.text(m_find.key, f.finder().panel.key);
    b.text(m_filter.value, f.filter().panel.value);
    // The lists complete what is typed.
    connect(m_find.key->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_form->finder().refreshKeys();
        refreshPanels();
    });
    connect(m_filter.value->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_form->filter().refreshValues();
        refreshPanels();
    });
    // An entry chosen from a list is the key or value.
    connect(m_find.key, &QComboBox::activated, this, [this](int i) {
        const QString t = m_find.key->itemText(i);
        run([this, t] { m_form->finder().panel.key = t; });
    });
    connect(m_filter.value, &QComboBox::activated, this, [this](int i) {
        const QString t = m_filter.value->itemText(i);
        run([this, t] { m_form->filter().panel.value = t; });
    });
    connect(m_find.field, &QComboBox::activated, this,
            [this](int i) { run([this, i] { m_form->finder().fieldChosen(i); }); });
    connect(m_filter.field, &QComboBox::activated, this,
            [this](int i) { run([this, i] { m_form->filter().fieldChosen(i); }); });

    connect(m_cmd.find, &QPushButton::clicked, this, [this] {
        run([this] { m_form->finder().open(); });
        m_find.field->setFocus();
    });
    connect(m_find.find, &QPushButton::clicked, this,
            [this] { run([this] { m_form->finder().first(); }); });
    connect(m_find.next, &QPushButton::clicked, this,
            [this] { run([this] { m_form->finder().next(); }); });
    connect(m_find.close, &QPushButton::clicked, this,
            [this] { run([this] { m_form->finder().close(); }); });

    connect(m_cmd.filter, &QPushButton::clicked, this, [this] {
        run([this] { m_form->filter().open(); });
        m_filter.field->setFocus();
    });
    connect(m_filter.cycle, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().cycleOp(); }); });
    connect(m_filter.run, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().run(); }); });
    connect(m_filter.toggleAdvanced, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().toggleAdvanced(); }); });
    connect(m_filter.close, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().close(); }); });
    connect(m_filter.add, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().addCondition(); }); });
    connect(m_filter.andButton, &QPushButton::clicked, this, [this] {
        run([this] { m_form->filter().addConnector(FilterChain::Connector::And); });
    });
    connect(m_filter.orButton, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().addConnector(FilterChain::Connector::Or); }); });
    connect(m_filter.clear, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().clearConditions(); }); });
    connect(m_filter.runAdvanced, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().runAdvanced(); }); });
    connect(m_filter.exitAdvanced, &QPushButton::clicked, this,
            [this] { run([this] { m_form->filter().close(); }); });

    b.text(m_report.left, f.reports().panel.left);
    b.text(m_report.top, f.reports().panel.top);
    connect(m_report.choices, &QButtonGroup::idClicked, this, [this](int id) {
        run([this, id] { m_form->reports().panel.choice = customerReportChoices()[id].report; });
    });
    connect(m_cmd.report, &QPushButton::clicked, this,
            [this] { run([this] { m_form->reports().toggle(); }); });
    connect(m_report.close, &QPushButton::clicked, this,
            [this] { run([this] { m_form->reports().panel.visible = false; }); });
    connect(m_report.print, &QPushButton::clicked, this,
            [this] { run([this] { m_form->reports().print(); }); });
    connect(m_report.printer, &QPushButton::clicked, this,
            [this] { run([this] { m_form->reports().choosePrinter(); }); });
    connect(m_history.toggle, &QPushButton::clicked, this,
            [this] { run([this] { m_form->historyView().toggle(); }); });
    connect(m_history.print, &QPushButton::clicked, this,
            [this] { run([this] { m_form->historyView().print(); }); });
}

void CustomerScreen::refreshPanels()
{
    const CustomerForm& f = *m_form;
    m_report.panel->setVisible(f.reports().panel.visible);
    for (int i = 0; i < customerReportChoices().size(); ++i)
        if (f.reports().panel.choice == customerReportChoices()[i].report)
            m_report.choices->button(i)->setChecked(true);
    m_history.panel->setVisible(f.historyView().panel.wide);
    // Filled when a history was built, not at every edit.
    if (f.historyView().panel.wide && m_history.shownBuild != f.historyView().panel.builds) {
        m_history.shownBuild = f.historyView().panel.builds;
        m_history.grid->setRowCount(int(f.historyView().panel.rows.size()));
        for (int r = 0; r < f.historyView().panel.rows.size(); ++r) {
            const HistoryRow& h = f.historyView().panel.rows[r];
            const QString cells[] = {h.description,
                                     text::listAmountText(h.amount),
                                     text::buddhistDateText(h.date),
                                     h.group,
                                     h.group2,
                                     h.employee,
                                     h.code};
            for (int c = 0; c < 7; ++c) {
                auto* item = new QTableWidgetItem(cells[c]);
                if (c == 1)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_history.grid->setItem(r, c, item);
            }
        }
    }
    m_find.panel->setVisible(f.finder().panel.visible);
    if (f.finder().panel.visible) {
        platform::ui::showItems(m_find.field, captionsOf(f.finder().fieldList()));
        m_find.field->setCurrentIndex(f.finder().panel.field);
        platform::ui::showItems(m_find.key, f.finder().panel.keys);
    }
    m_filter.panel->setVisible(f.filter().panel.visible);
    m_filter.advanced->setVisible(f.filter().panel.visible && f.filter().panel.advanced);
    if (f.filter().panel.visible) {
        const QList<SearchField> fields = f.filter().fieldList();
        platform::ui::showItems(m_filter.field, captionsOf(fields));
        m_filter.field->setCurrentIndex(f.filter().panel.field);
        const bool hasValue = !fields.value(f.filter().panel.field).column.isEmpty();
        m_filter.value->setVisible(hasValue);
        platform::ui::showItems(m_filter.value, f.filter().panel.values);
        m_filter.op->setText(opCaption(f.filter().panel.op));
        m_filter.command->setPlainText(f.filter().panel.chain.text());
    }
}

} // namespace tawela::customers
