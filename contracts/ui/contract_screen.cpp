#include "contracts/ui/contract_screen.h"

#include "app/ui/twips.h"
#include "contracts/ui/field_sync.h"
#include "platform/ui/thai_date_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QTextCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tawela::contracts {

namespace {

QString money(Decimal d)
{
    return d.toString();
}

} // namespace

ContractScreen::ContractScreen(std::unique_ptr<ContractForm> form,
                               std::unique_ptr<ContractList> list, QWidget* parent)
    : QWidget(parent), m_form(std::move(form)), m_list(std::move(list))
{
    setObjectName(QStringLiteral("chumnum"));
    setWindowTitle(QStringLiteral("ขายฝาก"));
    build();
    bindEdits();
    bindCommands();
    setupEnterOrder();
    refillValues();
    refresh();
    placeOnScreen();
}

void ContractScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // On opening, the list's first key is chosen and the cursor waits on it.
    if (m_key->currentIndex() != 0) {
        m_key->setCurrentIndex(0);
        m_list->chooseKey(ContractList::Key(0));
        refillValues();
    }
    if (!focusWidget())
        m_key->setFocus();
}

void ContractScreen::placeOnScreen()
{
    // 10500 twips high and wide enough for the panels beside the history,
    // centred; never larger than the screen.
    QSize size(std::max(sizeHint().width(), app::twipsX(this, 20000)),
               app::twipsY(this, 10500));
    if (QScreen* where = QGuiApplication::primaryScreen()) {
        const QRect free = where->availableGeometry();
        size = size.boundedTo(free.size());
        resize(size);
        move(free.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

QLineEdit* ContractScreen::line(const QString& name, const QString& caption, QFormLayout* form)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    m_t.insert(name, e);
    form->addRow(caption, e);
    return e;
}

void ContractScreen::build()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 4);
    outer->setSpacing(4);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);
    buildToolsMenu(top);
    auto* panels = new QHBoxLayout;
    outer->addLayout(panels);

    m_contractPanel = new QGroupBox(QStringLiteral("(F1)"));
    m_contractPanel->setObjectName(QStringLiteral("F1"));
    auto* c = new QFormLayout(m_contractPanel);
    c->setVerticalSpacing(3);
    line(QStringLiteral("t0"), QStringLiteral("เลขที่สัญญา"), c);
    line(QStringLiteral("t67"), QStringLiteral("เลขที่สัญญากำหนดเอง"), c);
    // Double-clicking a witness label fills in the shop's usual witness.
    for (int which : {1, 2}) {
        auto* label = new QLabel(QStringLiteral("พยาน %1").arg(which));
        label->setObjectName(QStringLiteral("lblPayan%1").arg(which));
        label->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใส่พยานที่ตั้งไว้"));
        label->setProperty("witness", which);
        label->installEventFilter(this);
        auto* e = new QLineEdit;
        e->setObjectName(QStringLiteral("t%1").arg(which));
        m_t.insert(e->objectName(), e);
        label->setBuddy(e);
        c->addRow(label, e);
    }
    line(QStringLiteral("t32"), QStringLiteral("สถานที่เก็บ"), c);
    auto* dateRow = new QHBoxLayout;
    m_deposit = new platform::ThaiDateEdit;
    m_deposit->setObjectName(QStringLiteral("DtPicker1"));
    auto* days = new QLineEdit;
    days->setObjectName(QStringLiteral("t7"));
    days->setMaximumWidth(60);
    m_t.insert(QStringLiteral("t7"), days);
    dateRow->addWidget(m_deposit);
    dateRow->addWidget(days);
    auto* dateLabel = new QLabel(QStringLiteral("วันที่ฝาก / จำนวนวัน"));
    dateLabel->setBuddy(m_deposit->lineEdit());
    c->addRow(dateLabel, dateRow);
    line(QStringLiteral("t4"), QStringLiteral("ยอดฝาก"), c);
    m_rate = new QComboBox;
    m_rate->setObjectName(QStringLiteral("combo2"));
    m_rate->setEditable(true);
    c->addRow(QStringLiteral("ดอกเบี้ย(ร้อยละ/เดือน)"), m_rate);
    line(QStringLiteral("t8"), QStringLiteral("ค่าธรรมเนียม"), c);
    line(QStringLiteral("t10"), QStringLiteral("ยอดจ่าย"), c);
    line(QStringLiteral("t3"), QStringLiteral("ยอดไถ่ถอน"), c);
    m_due = new platform::ThaiDateEdit;
    m_due->setObjectName(QStringLiteral("DtPicker2"));
    c->addRow(QStringLiteral("วันที่สิ้นสุดสัญญา"), m_due);
    m_withheld = new QCheckBox(QStringLiteral("หัก ณ.ที่จ่าย"));
    m_withheld->setObjectName(QStringLiteral("check1"));
    m_table = new QComboBox;
    m_table->setObjectName(QStringLiteral("combo6"));
    m_table->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                       QStringLiteral("4"), QStringLiteral("5")});
    auto* tableRow = new QHBoxLayout;
    auto* tableLabel = new QLabel(QStringLiteral("ตารางที่"));
    tableLabel->setBuddy(m_table);
    tableRow->addWidget(m_withheld);
    tableRow->addStretch(1);
    tableRow->addWidget(tableLabel);
    tableRow->addWidget(m_table);
    c->addRow(QString(), tableRow);
    panels->addWidget(m_contractPanel, 0, Qt::AlignTop);

    m_customerPanel = new QGroupBox(QStringLiteral("(F2) ข้อมูลผู้ขายฝาก"));
    m_customerPanel->setObjectName(QStringLiteral("F2"));
    auto* k = new QFormLayout(m_customerPanel);
    k->setVerticalSpacing(3);
    line(QStringLiteral("t22"), QStringLiteral("รหัสลูกค้า"), k);
    line(QStringLiteral("t9"), QStringLiteral("ชื่อผู้กู้"), k);
    line(QStringLiteral("t11"), QStringLiteral("อายุ"), k);
    line(QStringLiteral("t12"), QStringLiteral("บัตรประชาชน"), k);
    line(QStringLiteral("t19"), QStringLiteral("โทรศัพท์"), k);
    m_address = new QPlainTextEdit;
    m_address->setObjectName(QStringLiteral("t13"));
    m_address->setMaximumHeight(60);
    k->addRow(QStringLiteral("ที่อยู่"), m_address);
    m_details = new QPlainTextEdit;
    m_details->setObjectName(QStringLiteral("text2"));
    m_details->setMaximumHeight(60);
    k->addRow(QStringLiteral("รายละเอียดอื่นๆ"), m_details);
    panels->addWidget(m_customerPanel, 0, Qt::AlignTop);

    m_goodsPanel = new QGroupBox(QStringLiteral("(F3) ข้อมูลสินค้าขายฝาก"));
    m_goodsPanel->setObjectName(QStringLiteral("F3"));
    auto* g = new QFormLayout(m_goodsPanel);
    g->setVerticalSpacing(3);
    auto* groupRow = new QHBoxLayout;
    m_group = new QComboBox;
    m_group->setObjectName(QStringLiteral("combo5"));
    m_group->setEditable(true);
    auto* add = new QPushButton(QStringLiteral("เพิ่ม"));
    add->setObjectName(QStringLiteral("cmdAddGroup"));
    groupRow->addWidget(m_group, 1);
    groupRow->addWidget(add);
    auto* groupLabel = new QLabel(QStringLiteral("กลุ่มสินค้า"));
    groupLabel->setBuddy(m_group);
    g->addRow(groupLabel, groupRow);
    connect(add, &QPushButton::clicked, this, [this] {
        readTexts(); // what was typed elsewhere stays
        m_form->addProductGroup(m_group->currentText());
        refresh();
    });
    m_goods = new QPlainTextEdit;
    m_goods->setObjectName(QStringLiteral("text22"));
    m_goods->setMaximumHeight(70);
    m_goods->setToolTip(QStringLiteral("สูงสุด 255 ตัวอักษร"));
    g->addRow(QStringLiteral("สินค้าขายฝาก"), m_goods);
    // The description holds 255 characters; what is typed or pasted beyond stops there.
    connect(m_goods, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_goods->toPlainText();
        if (text.size() <= 255)
            return;
        QTextCursor cursor = m_goods->textCursor();
        const int at = std::min(cursor.position(), 255);
        m_goods->setPlainText(text.left(255));
        cursor = m_goods->textCursor();
        cursor.setPosition(at);
        m_goods->setTextCursor(cursor);
    });
    g->addRow(QString(), new QLabel(QStringLiteral("สูงสุด 255 ตัวอักษร")));
    line(QStringLiteral("t6"), QStringLiteral("น้าหนัก (กรัม)"), g)
        ->setToolTip(QStringLiteral("ตัวเลขเท่านั้น (สำหรับร้านทอง)"));
    line(QStringLiteral("t30"), QStringLiteral("หมายเลขสินค้า"), g);
    line(QStringLiteral("t31"), QStringLiteral("รายละเอียดอื่นๆ"), g);
    m_fake = new QCheckBox(QStringLiteral("สินค้าขายฝากไม่แสดงในสัญญา"));
    m_fake->setObjectName(QStringLiteral("check2"));
    g->addRow(QString(), m_fake);
    m_closedPanel = new QLabel(QStringLiteral("สัญญาปิด"));
    m_closedPanel->setObjectName(QStringLiteral("lblClosed"));
    m_closedPanel->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
    m_forfeitedPanel = new QLabel(QStringLiteral("หลุดจำนำ"));
    m_forfeitedPanel->setObjectName(QStringLiteral("lblForfeited"));
    m_forfeitedPanel->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
    auto* marks = new QHBoxLayout;
    marks->addWidget(m_closedPanel);
    marks->addWidget(m_forfeitedPanel);
    marks->addStretch(1);
    g->addRow(QString(), marks);
    panels->addWidget(m_goodsPanel, 0, Qt::AlignTop);

    m_listPanel = new QGroupBox;
    m_listPanel->setObjectName(QStringLiteral("F5"));
    auto* l = new QHBoxLayout(m_listPanel);
    l->setContentsMargins(6, 2, 6, 2);
    l->addWidget(new QLabel(QStringLiteral("(F5)")));
    auto* keyLabel = new QLabel(QStringLiteral("คีย์ค้นหา"));
    m_key = new QComboBox;
    m_key->setObjectName(QStringLiteral("combo1"));
    m_key->addItems(ContractList::keyTexts());
    keyLabel->setBuddy(m_key);
    m_value = new QComboBox;
    m_value->setObjectName(QStringLiteral("combo10"));
    m_value->setEditable(true);
    m_value->setMinimumWidth(200);
    auto* equals = new QLabel(QStringLiteral("="));
    equals->setBuddy(m_value);
    m_findNext = new QPushButton(QStringLiteral("หาถัดไป"));
    m_findNext->setObjectName(QStringLiteral("command12"));
    l->addWidget(keyLabel);
    l->addWidget(m_key);
    l->addWidget(equals);
    l->addWidget(m_value, 1);
    l->addWidget(m_findNext);
    const QString filterCaptions[] = {QStringLiteral("สัญญาเปิด"), QStringLiteral("สัญญาปิด"),
                                      QStringLiteral("ทั้งหมด")};
    for (int i = 0; i < 3; ++i) {
        m_filters[i] = new QRadioButton(filterCaptions[i]);
        m_filters[i]->setObjectName(QStringLiteral("option%1").arg(i + 1));
        l->addWidget(m_filters[i]);
        connect(m_filters[i], &QRadioButton::clicked, this, [this, i] {
            m_list->chooseFilter(ContractFilter(i));
            refillValues();
        });
    }
    m_filters[0]->setChecked(true);
    m_listPanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    top->addWidget(m_listPanel, 1);
    buildLowerArea(outer);
    connect(m_key, &QComboBox::activated, this, [this](int i) {
        m_list->chooseKey(ContractList::Key(i));
        refillValues();
        refresh();
    });
    connect(m_value->lineEdit(), &QLineEdit::returnPressed, this, &ContractScreen::search);
    connect(m_value, &QComboBox::activated, this, [this] { search(); });
    connect(m_findNext, &QPushButton::clicked, this, &ContractScreen::findNext);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("(F6)")));
    const std::pair<const char*, const char*> commands[] = {
        {"cmdNew", "สัญญาใหม่"},        {"cmdRenew", "ต่อดอก"},
        {"cmdRedeem", "ไถ่ถอน"},       {"cmdSave", "จัดเก็บ"},
        {"cmdDocuments", "ใบขายฝาก"}, {"cmdForfeit", "หลุดจำนำ"},
        {"cmdFeeTable", "ตารางดอก"},  {"cmdDeductTable", "ตารางส่วนลด"},
        {"cmdDelete", "ลบ"},          {"cmdExit", "ออก"}};
    for (const auto& [name, caption] : commands) {
        auto* b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        m_commands.insert(QLatin1String(name), b);
        bar->addWidget(b);
    }
    outer->addLayout(bar);
    connect(m_commands[QStringLiteral("cmdNew")], &QPushButton::clicked, this,
            &ContractScreen::newContract);
    connect(m_commands[QStringLiteral("cmdSave")], &QPushButton::clicked, this,
            &ContractScreen::save);
    connect(m_commands[QStringLiteral("cmdExit")], &QPushButton::clicked, this, &QWidget::close);
}

void ContractScreen::bindEdits()
{
    connect(m_t[QStringLiteral("t4")], &QLineEdit::textEdited, this, [this](const QString& t) {
        readTexts(); // what was typed elsewhere stays
        m_form->amountTyped(t);
        refresh();
    });
    connect(m_t[QStringLiteral("t7")], &QLineEdit::textEdited, this, [this](const QString& t) {
        readTexts(); // what was typed elsewhere stays
        m_form->daysTyped(t);
        refresh();
    });
    connect(m_t[QStringLiteral("t8")], &QLineEdit::textEdited, this, [this](const QString& t) {
        readTexts(); // what was typed elsewhere stays
        m_form->interestTyped(t);
        refresh();
    });
    connect(m_rate, &QComboBox::activated, this, [this] {
        readTexts(); // what was typed elsewhere stays
        m_form->ratePicked(m_rate->currentText());
        refresh();
    });
    connect(m_rate->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) {
        readTexts(); // what was typed elsewhere stays
        m_form->rateTyped(t);
        refresh();
    });
    connect(m_withheld, &QCheckBox::toggled, this, [this](bool on) {
        if (m_refreshing)
            return;
        readTexts(); // what was typed elsewhere stays
        m_form->withholdingSwitched(on);
        refresh();
    });
    connect(m_due, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (m_refreshing || !d.isValid())
            return;
        readTexts(); // what was typed elsewhere stays
        m_form->dueDateChanged(d);
        refresh();
    });
    connect(m_deposit, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->depositDateChanged(d);
    });
    connect(m_table, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (!m_refreshing)
            m_form->tableChanged(t);
    });
}

void ContractScreen::readTexts()
{
    Contract& c = m_form->contract;
    c.policyNo = m_t[QStringLiteral("t0")]->text();
    c.refNo = m_t[QStringLiteral("t67")]->text();
    c.payan1 = m_t[QStringLiteral("t1")]->text();
    c.payan2 = m_t[QStringLiteral("t2")]->text();
    c.placeKeep = m_t[QStringLiteral("t32")]->text();
    c.kuCode = m_t[QStringLiteral("t22")]->text();
    c.kuName = m_t[QStringLiteral("t9")]->text();
    c.kuAge = m_t[QStringLiteral("t11")]->text();
    c.kuId = m_t[QStringLiteral("t12")]->text();
    c.kuMp = m_t[QStringLiteral("t19")]->text();
    c.kuAddress = m_address->toPlainText();
    c.pNote = m_details->toPlainText();
    c.object = m_group->currentText();
    c.model = m_goods->toPlainText();
    c.weight = m_t[QStringLiteral("t6")]->text();
    c.sn = m_t[QStringLiteral("t30")]->text();
    c.otherDetail = m_t[QStringLiteral("t31")]->text();
    c.fakeProductUse = m_fake->isChecked();
}

void ContractScreen::refresh()
{
    m_refreshing = true;
    const Contract& c = m_form->contract;
    showText(m_t[QStringLiteral("t0")], c.policyNo);
    showText(m_t[QStringLiteral("t67")], c.refNo);
    showText(m_t[QStringLiteral("t1")], c.payan1);
    showText(m_t[QStringLiteral("t2")], c.payan2);
    showText(m_t[QStringLiteral("t32")], c.placeKeep);
    showText(m_t[QStringLiteral("t7")], QString::number(c.totalDay));
    showText(m_t[QStringLiteral("t4")], money(c.amount1));
    showText(m_t[QStringLiteral("t8")], money(c.interestRate));
    showText(m_t[QStringLiteral("t10")], money(c.amount3));
    showText(m_t[QStringLiteral("t3")], money(c.amount2));
    showText(m_t[QStringLiteral("t22")], c.kuCode);
    showText(m_t[QStringLiteral("t9")], c.kuName);
    showText(m_t[QStringLiteral("t11")], c.kuAge);
    showText(m_t[QStringLiteral("t12")], c.kuId);
    showText(m_t[QStringLiteral("t19")], c.kuMp);
    showText(m_t[QStringLiteral("t6")], c.weight);
    showText(m_t[QStringLiteral("t30")], c.sn);
    showText(m_t[QStringLiteral("t31")], c.otherDetail);
    if (!m_address->hasFocus() && m_address->toPlainText() != c.kuAddress)
        m_address->setPlainText(c.kuAddress);
    if (!m_details->hasFocus() && m_details->toPlainText() != c.pNote)
        m_details->setPlainText(c.pNote);
    if (!m_goods->hasFocus() && m_goods->toPlainText() != c.model)
        m_goods->setPlainText(c.model);
    if (!m_rate->lineEdit()->hasFocus())
        m_rate->setEditText(money(c.interes));
    if (m_rate->count() != m_form->rateList.size()) {
        const QString text = m_rate->currentText();
        m_rate->clear();
        m_rate->addItems(m_form->rateList);
        m_rate->setEditText(text);
    }
    if (m_group->count() != m_form->productGroups.size()) {
        m_group->clear();
        m_group->addItems(m_form->productGroups);
    }
    if (!m_group->lineEdit()->hasFocus())
        m_group->setEditText(c.object);
    m_table->setCurrentText(c.tableNo);
    m_withheld->setChecked(c.deduged);
    m_fake->setChecked(c.fakeProductUse);
    // A date the contract lacks leaves the field as it is.
    if (c.policyDate.isValid())
        showDate(m_deposit, c.policyDate);
    if (c.endDate.isValid())
        showDate(m_due, c.endDate);
    m_closedPanel->setVisible(m_form->closedPanel);
    m_forfeitedPanel->setVisible(m_form->forfeitedPanel);

    const ContractForm::Commands& cmd = m_form->commands();
    const std::pair<const char*, bool> states[] = {
        {"cmdNew", cmd.newContract},        {"cmdRenew", cmd.renew},
        {"cmdRedeem", cmd.redeem},          {"cmdSave", cmd.save},
        {"cmdDocuments", cmd.documents},    {"cmdForfeit", cmd.forfeit},
        {"cmdFeeTable", cmd.interestTable}, {"cmdDeductTable", true},
        {"cmdDelete", cmd.remove},          {"cmdExit", true}};
    for (const auto& [name, on] : states) {
        QPushButton* b = m_commands[QLatin1String(name)];
        b->setEnabled(cmd.commandBar && on);
    }
    m_commands[QStringLiteral("cmdDelete")]->setVisible(cmd.remove);
    for (QGroupBox* p : {m_contractPanel, m_customerPanel, m_goodsPanel})
        p->setEnabled(cmd.panels);
    m_listPanel->setEnabled(cmd.list);
    m_findNext->setVisible(m_list->findNextVisible());
    m_toolsButton->setEnabled(cmd.tools);
    refreshHistory();
    refreshPanels();
    m_refreshing = false;
}

void ContractScreen::refillValues()
{
    const QString typed = m_value->currentText();
    m_value->clear();
    m_value->addItems(m_list->values());
    m_value->setEditText(typed);
}

void ContractScreen::newContract()
{
    if (!m_form->newContract()) {
        close(); // the number is taken: the run number has to be set anew first
        return;
    }
    m_filters[0]->setChecked(true);
    m_list->chooseFilter(ContractFilter::Open);
    m_value->setEditText(QString());
    refresh();
    m_t[QStringLiteral("t22")]->setFocus();
}

void ContractScreen::save()
{
    readTexts();
    const auto missing = m_form->save();
    if (missing) {
        QWidget* target = nullptr;
        switch (*missing) {
        case ContractForm::Field::Address:
            target = m_address;
            break;
        case ContractForm::Field::ProductGroup:
            target = m_group;
            break;
        case ContractForm::Field::Amount:
            target = m_t[QStringLiteral("t4")];
            break;
        case ContractForm::Field::Redemption:
            target = m_t[QStringLiteral("t3")];
            break;
        case ContractForm::Field::Days:
            target = m_t[QStringLiteral("t7")];
            break;
        case ContractForm::Field::Interest:
            target = m_t[QStringLiteral("t8")];
            break;
        }
        if (target)
            target->setFocus();
    }
    if (m_form->saved()) {
        m_list->chooseFilter(m_list->filter());
        refillValues();
    }
    refresh();
}

void ContractScreen::showFound(const std::optional<Contract>& found)
{
    if (found)
        m_form->show(*found);
    refresh();
}

void ContractScreen::search()
{
    showFound(m_list->search(m_value->currentText()));
}

void ContractScreen::findNext()
{
    showFound(m_list->findNext());
}

void ContractScreen::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F1:
        m_t[QStringLiteral("t0")]->setFocus();
        return;
    case Qt::Key_F2:
        m_t[QStringLiteral("t22")]->setFocus();
        return;
    case Qt::Key_F3:
        m_group->setFocus();
        return;
    case Qt::Key_F5:
        m_key->setFocus();
        return;
    case Qt::Key_F6: {
        QPushButton* target = m_commands[QStringLiteral("cmdNew")];
        if (!target->isEnabled())
            target = m_commands[QStringLiteral("cmdSave")];
        target->setFocus();
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tawela::contracts
