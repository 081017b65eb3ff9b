#include "admin/ui/staff_screen.h"

#include "platform/ui/screen_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tawela::admin {

using platform::ui::button;
using platform::ui::captioned;

namespace {

struct RightRow {
    const char* name;
    const char* caption;
    QString StaffForm::*value;
    QString Employee::*stored;
    bool threeWay;
};
const RightRow Rights[7] = {
    {"cboPolicy", "ขายฝาก", &StaffForm::policy, &Employee::policy, true},
    {"cboCard", "แก้ไขสาระของสัญญา", &StaffForm::card, &Employee::card, false},
    {"cboTool", "เครืองมือในเมนูหลัก", &StaffForm::tool, &Employee::tool, false},
    {"cboBlacklist", "ตารางอัตราดอบเบี้ย", &StaffForm::blacklist, &Employee::blacklist, true},
    {"cboBK", "ข้อมูลลูกค้า", &StaffForm::bk, &Employee::bk, true},
    {"cboRS", "กำหนดรูปแบบรายงาน", &StaffForm::rs, &Employee::rs, false},
    {"cboSp1", "Restore", &StaffForm::sp1, &Employee::sp1, false},
};

} // namespace

StaffScreen::StaffScreen(std::unique_ptr<StaffForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("set_level"));
    setWindowTitle(QStringLiteral("จัดระดับการเข้าถึงข้อมูล"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_form->open();
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_grid = new QTableWidget(0, 10);
    m_grid->setObjectName(QStringLiteral("grdStaff"));
    m_grid->setAccessibleName(QStringLiteral("รายชื่อพนักงาน"));
    QStringList heads{QStringLiteral("รหัสพนักงาน"), QStringLiteral("ชื่อ - สกุล")};
    for (const RightRow& r : Rights)
        heads << QString::fromUtf8(r.caption);
    heads << QStringLiteral("แก้ไขช่องป้องกัน");
    m_grid->setHorizontalHeaderLabels(heads);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->setMinimumWidth(520);
    left->addWidget(m_grid, 1);
    top->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    auto* k = new QFormLayout;
    m_code = platform::ui::lineRow(k, "txtEN", QStringLiteral("รหัสพนักงาน"));
    m_name = platform::ui::lineRow(k, "txtName", QStringLiteral("ชื่อ - สกุล"));
    m_password = platform::ui::lineRow(k, "txtPassword", QStringLiteral("รหัสผ่าน"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("เว้นว่างไว้ = ใช้รหัสผ่านเดิม"));
    QList<QWidget*> order{m_code, m_name, m_password};
    for (int i = 0; i < 7; ++i) {
        const QString caption = QString::fromUtf8(Rights[i].caption);
        m_rights[i] = captioned(new QComboBox, caption);
        m_rights[i]->setObjectName(QLatin1String(Rights[i].name));
        m_rights[i]->addItems(Rights[i].threeWay ? StaffForm::threeWay() : StaffForm::twoWay());
        k->addRow(caption, m_rights[i]);
        order << m_rights[i];
    }
    m_admin = new QCheckBox(QStringLiteral("แก้ไขช่องป้องกัน"));
    m_admin->setObjectName(QStringLiteral("chkAdmin"));
    k->addRow(m_admin);
    right->addLayout(k);
    new platform::ui::EnterOrder(this, order);

    QPushButton* add = button("cmdAdd", QStringLiteral("เพิ่ม"));
    QPushButton* remove = button("cmdDelete", QStringLiteral("ลบ"));
    QPushButton* save = button("cmdSave", QStringLiteral("จัดเก็บ"));
    QPushButton* search = button("cmdSearch", QStringLiteral("ค้นหา"));
    QPushButton* exit = button("cmdExit", QStringLiteral("ออก"));
    QPushButton* pictures = button("cmdPictures", QStringLiteral("รูปภาพ"));
    QPushButton* report = button("cmdReport", QStringLiteral("รายงาน"));
    m_commands = {add, remove, save, search, exit, pictures, report};
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : m_commands)
        commands->addWidget(b);
    right->addLayout(commands);

    m_deletePanel = new QGroupBox;
    m_deletePanel->setObjectName(QStringLiteral("Frame_delete"));
    auto* d = new QVBoxLayout(m_deletePanel);
    d->addWidget(new QLabel(QStringLiteral("คุณต้องการลบ Record นี้ใช่หรือไม่")));
    QPushButton* yes = button("cmdYes", QStringLiteral("ใช่"));
    QPushButton* no = button("cmdNo", QStringLiteral("ไม่ใช่"));
    d->addLayout(platform::ui::rightAligned({yes, no}));
    m_deletePanel->hide();
    right->addWidget(m_deletePanel);

    m_findPanel = new QGroupBox(QStringLiteral("ค้นหา"));
    m_findPanel->setObjectName(QStringLiteral("Frame_find"));
    auto* fk = new QFormLayout(m_findPanel);
    m_findKey = captioned(new QComboBox, QStringLiteral("คีย์ค้นหา"));
    m_findKey->setObjectName(QStringLiteral("cboFindKey"));
    m_findKey->addItems({QStringLiteral("รหัสพนักงาน"), QStringLiteral("ชื่อ - สกุล")});
    fk->addRow(QStringLiteral("คีย์ค้นหา"), m_findKey);
    m_findText = platform::ui::lineRow(fk, "txtFind", QStringLiteral("ข้อมูล"));
    QPushButton* find = button("cmdFind", QStringLiteral("Find"));
    QPushButton* next = button("cmdNext", QStringLiteral("Next"));
    QPushButton* close = button("cmdFindClose", QStringLiteral("ปิด"));
    fk->addRow(platform::ui::rightAligned({find, next, close}));
    m_findPanel->hide();
    right->addWidget(m_findPanel);
    right->addStretch(1);
    top->addLayout(right, 2);

    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && row != m_form->current()) {
            m_form->show(row);
            refresh();
        }
    });
    connect(add, &QPushButton::clicked, this, [this] {
        readFields();
        m_form->add();
        refresh();
        m_code->setFocus();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        readFields();
        if (const auto field = m_form->save()) {
            QWidget* to = *field == StaffForm::Field::Password ? static_cast<QWidget*>(m_password)
                          : *field == StaffForm::Field::Tool   ? static_cast<QWidget*>(m_rights[2])
                          : *field == StaffForm::Field::Name   ? static_cast<QWidget*>(m_name)
                                                               : static_cast<QWidget*>(m_code);
            to->setFocus();
            return;
        }
        refresh();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_deletePanel->show();
        setCommands(false);
    });
    connect(no, &QPushButton::clicked, this, [this] {
        m_deletePanel->hide();
        setCommands(true);
    });
    connect(yes, &QPushButton::clicked, this, [this] {
        bool closeScreen = false;
        m_form->removeCurrent(&closeScreen);
        m_deletePanel->hide();
        setCommands(true);
        if (closeScreen) {
            this->close();
            return;
        }
        refresh();
    });
    connect(search, &QPushButton::clicked, this, [this] {
        m_findPanel->show();
        setCommands(false);
        m_findText->setFocus();
    });
    connect(find, &QPushButton::clicked, this, [this] {
        m_form->find(m_findKey->currentIndex(), m_findText->text());
        refresh();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        m_form->findNext(m_findKey->currentIndex(), m_findText->text());
        refresh();
    });
    connect(close, &QPushButton::clicked, this, [this] {
        m_findPanel->hide();
        setCommands(true);
    });
    connect(pictures, &QPushButton::clicked, this, [this] { m_form->notYetAllowed(); });
    connect(report, &QPushButton::clicked, this, [this] { m_form->notYetAllowed(); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    refresh();
}

void StaffScreen::setCommands(bool on)
{
    for (QPushButton* b : m_commands)
        b->setEnabled(on);
    if (on && m_form->mode == StaffForm::Mode::AddNew)
        for (int i : {0, 1, 3, 5, 6})
            m_commands[i]->setEnabled(false);
}

void StaffScreen::readFields()
{
    StaffForm& f = *m_form;
    f.code = m_code->text();
    f.name = m_name->text();
    f.password = m_password->text();
    for (int i = 0; i < 7; ++i)
        f.*(Rights[i].value) = m_rights[i]->currentText();
    f.admin = m_admin->isChecked();
}

void StaffScreen::refresh()
{
    const StaffForm& f = *m_form;
    const QList<Employee>& rows = f.employees();
    const QSignalBlocker quiet(m_grid);
    m_grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        QStringList cells{rows[r].code, rows[r].name};
        for (const RightRow& right : Rights)
            cells << rows[r].*(right.stored);
        cells << (rows[r].admin ? QStringLiteral("✓") : QString());
        for (int c = 0; c < cells.size(); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_grid->resizeColumnsToContents();
    if (f.current() >= 0 && f.mode == StaffForm::Mode::Edit)
        m_grid->setCurrentCell(f.current(), 0);
    m_code->setText(f.code);
    m_name->setText(f.name);
    m_password->clear();
    for (int i = 0; i < 7; ++i) {
        const int at = m_rights[i]->findText(f.*(Rights[i].value));
        // A right stored empty counts as allowed and is shown so, except
        // "Restore", which needs an explicit "อนุญาต".
        const bool restore = Rights[i].value == &StaffForm::sp1;
        m_rights[i]->setCurrentIndex(at >= 0 ? at : (restore ? 0 : m_rights[i]->count() - 1));
    }
    m_admin->setChecked(f.admin);
    setCommands(m_deletePanel->isHidden() && m_findPanel->isHidden());
}

} // namespace tawela::admin
