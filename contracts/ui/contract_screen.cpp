#include "contracts/ui/contract_screen.h"

#include "contracts/ui/contract_list_view.h"
#include "contracts/ui/goods_pictures_view.h"

#include "platform/db/work_away.h"
#include "platform/ui/form_binding.h"
#include "platform/ui/picture_slots.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"
#include "platform/ui/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace tawela::contracts {

using platform::FormBinding;
using platform::ui::captioned;
using platform::ui::lineRow;

ContractScreen::ContractScreen(std::unique_ptr<ContractForm> form,
                               std::unique_ptr<ContractList> list, QWidget* parent)
    : QWidget(parent), m_form(std::move(form)), m_list(std::move(list))
{
    setObjectName(QStringLiteral("chumnum"));
    setWindowTitle(QStringLiteral("ขายฝาก"));
    m_binding = new FormBinding(this, [this] { refresh(); });
    build();
    bindFields();
    bindPanels();
    bindCommands();
    setupEnterOrder();
    refresh();
    placeOnScreen();
}

ContractScreen::~ContractScreen() = default;

void ContractScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // On opening, the list's first key is chosen and the cursor waits on it.
    m_listView->reset(!focusWidget());
}

void ContractScreen::placeOnScreen()
{
    // 10500 twips high and wide enough for the panels beside the history,
    // centred; never larger than the screen.
    QSize size(std::max(sizeHint().width(), platform::twipsX(this, 20000)),
               platform::twipsY(this, 10500));
    if (QScreen* where = QGuiApplication::primaryScreen()) {
        const QRect free = where->availableGeometry();
        size = size.boundedTo(free.size());
        resize(size);
        move(free.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

void ContractScreen::build()
{
    m_picturesView = new GoodsPicturesView(
        *m_form, [this](const std::function<void()>& command) { run(command); }, this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 4);
    outer->setSpacing(4);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);
    buildToolsMenu(top);
    m_listView = new ContractListView(
        *m_form, *m_list, [this](const std::optional<Contract>& found) { showFound(found); },
        [this] { refresh(); });
    top->addWidget(m_listView, 1);
    auto* panels = new QHBoxLayout;
    outer->addLayout(panels);
    panels->addWidget(buildContractPanel(), 0, Qt::AlignTop);
    panels->addWidget(buildCustomerPanel(), 0, Qt::AlignTop);
    panels->addWidget(buildGoodsPanel(), 0, Qt::AlignTop);
    buildLowerArea(outer);
    buildCommandBar(outer);
}

QGroupBox* ContractScreen::buildContractPanel()
{
    m_contractPanel = new QGroupBox(QStringLiteral("(F1)"));
    m_contractPanel->setObjectName(QStringLiteral("F1"));
    auto* c = new QFormLayout(m_contractPanel);
    c->setVerticalSpacing(3);
    m_f.number = lineRow(c, "t0", QStringLiteral("เลขที่สัญญา"));
    m_f.customNumber = lineRow(c, "t67", QStringLiteral("เลขที่สัญญากำหนดเอง"));
    // Double-clicking a witness label fills in the shop's usual witness.
    QLineEdit** witnesses[] = {&m_f.witness1, &m_f.witness2};
    for (int which : {1, 2}) {
        auto* label = new QLabel(QStringLiteral("พยาน %1").arg(which));
        label->setObjectName(QStringLiteral("lblPayan%1").arg(which));
        label->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใส่พยานที่ตั้งไว้"));
        label->setProperty("witness", which);
        label->installEventFilter(this);
        auto* e = captioned(new QLineEdit, label->text());
        e->setObjectName(QStringLiteral("t%1").arg(which));
        label->setBuddy(e);
        c->addRow(label, e);
        *witnesses[which - 1] = e;
    }
    m_f.place = lineRow(c, "t32", QStringLiteral("สถานที่เก็บ"));
    auto* dateRow = new QHBoxLayout;
    m_f.deposit = captioned(new platform::ThaiDateEdit, QStringLiteral("วันที่ฝาก"));
    m_f.deposit->setObjectName(QStringLiteral("DtPicker1"));
    m_f.days = captioned(new QLineEdit, QStringLiteral("จำนวนวัน"));
    m_f.days->setObjectName(QStringLiteral("t7"));
    m_f.days->setMaximumWidth(60);
    dateRow->addWidget(m_f.deposit);
    dateRow->addWidget(m_f.days);
    auto* dateLabel = new QLabel(QStringLiteral("วันที่ฝาก / จำนวนวัน"));
    dateLabel->setBuddy(m_f.deposit->lineEdit());
    c->addRow(dateLabel, dateRow);
    m_f.amount = lineRow(c, "t4", QStringLiteral("ยอดฝาก"));
    m_f.rate = captioned(new QComboBox, QStringLiteral("ดอกเบี้ย(ร้อยละ/เดือน)"));
    m_f.rate->setObjectName(QStringLiteral("combo2"));
    m_f.rate->setEditable(true);
    m_f.rate->setInsertPolicy(QComboBox::NoInsert);
    c->addRow(QStringLiteral("ดอกเบี้ย(ร้อยละ/เดือน)"), m_f.rate);
    m_f.interest = lineRow(c, "t8", QStringLiteral("ค่าธรรมเนียม"));
    m_f.payout = lineRow(c, "t10", QStringLiteral("ยอดจ่าย"));
    m_f.redemption = lineRow(c, "t3", QStringLiteral("ยอดไถ่ถอน"));
    m_f.due = captioned(new platform::ThaiDateEdit, QStringLiteral("วันที่สิ้นสุดสัญญา"));
    m_f.due->setObjectName(QStringLiteral("DtPicker2"));
    c->addRow(QStringLiteral("วันที่สิ้นสุดสัญญา"), m_f.due);
    m_f.withheld = new QCheckBox(QStringLiteral("หัก ณ.ที่จ่าย"));
    m_f.withheld->setObjectName(QStringLiteral("check1"));
    m_f.table = captioned(new QComboBox, QStringLiteral("ตารางที่"));
    m_f.table->setObjectName(QStringLiteral("combo6"));
    m_f.table->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                         QStringLiteral("4"), QStringLiteral("5")});
    auto* tableRow = new QHBoxLayout;
    auto* tableLabel = new QLabel(QStringLiteral("ตารางที่"));
    tableLabel->setBuddy(m_f.table);
    tableRow->addWidget(m_f.withheld);
    tableRow->addStretch(1);
    tableRow->addWidget(tableLabel);
    tableRow->addWidget(m_f.table);
    c->addRow(QString(), tableRow);
    return m_contractPanel;
}

QGroupBox* ContractScreen::buildCustomerPanel()
{
    m_customerPanel = new QGroupBox(QStringLiteral("(F2) ข้อมูลผู้ขายฝาก"));
    m_customerPanel->setObjectName(QStringLiteral("F2"));
    auto* k = new QFormLayout(m_customerPanel);
    k->setVerticalSpacing(3);
    // A field with its "หา" beside it.
    auto searchRow = [k](const char* name, const QString& caption, QPushButton*& find,
                         const char* findName, QWidget* below = nullptr) {
        auto* e = captioned(new QLineEdit, caption);
        e->setObjectName(QLatin1String(name));
        find = platform::ui::button(findName, QStringLiteral("หา"));
        find->setAccessibleName(QStringLiteral("หา") + caption);
        auto* row = new QHBoxLayout;
        row->addWidget(e, 1);
        row->addWidget(find);
        if (below) {
            auto* box = new QVBoxLayout;
            box->addLayout(row);
            box->addWidget(below);
            k->addRow(caption, box);
        } else {
            k->addRow(caption, row);
        }
        return e;
    };
    m_f.code = searchRow("t22", QStringLiteral("รหัสลูกค้า"), m_cmd.findCode, "cmdFindCode");
    m_cmd.customerTable = platform::ui::button("cmdCustomerTable", QStringLiteral("ตาราง ลูกค้า"));
    m_cmd.scanCard = platform::ui::button("cmdScanCard", QStringLiteral("สแกนจากบัตร"));
    m_cmd.scanCard->setEnabled(false);
    m_cmd.scanCard->setToolTip(QStringLiteral("อ่านข้อมูลผู้ขายฝากจากบัตรประชาชน"));
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(m_cmd.customerTable);
    tableRow->addWidget(m_cmd.scanCard);
    tableRow->addStretch(1);
    k->addRow(QString(), tableRow);
    // The name list opens under the name.
    m_nameList = captioned(new QListWidget, QStringLiteral("รายชื่อลูกค้า"));
    m_nameList->setObjectName(QStringLiteral("List1"));
    m_nameList->setMaximumHeight(120);
    m_nameList->hide();
    m_f.name = searchRow("t9", QStringLiteral("ชื่อผู้กู้"), m_cmd.findName, "cmdFindName", m_nameList);
    m_cmd.findName->setToolTip(QStringLiteral("การค้นหา ไม่ต้องใส่คำนำหน้าชื่อ"));

    m_f.age = lineRow(k, "t11", QStringLiteral("อายุ"));
    m_f.idNumber = searchRow("t12", QStringLiteral("บัตรประชาชน"), m_cmd.findId, "cmdFindID");
    m_f.phone = lineRow(k, "t19", QStringLiteral("โทรศัพท์"));
    m_f.address = captioned(new QPlainTextEdit, QStringLiteral("ที่อยู่"));
    m_f.address->setObjectName(QStringLiteral("t13"));
    m_f.address->setMaximumHeight(60);
    m_f.address->setTabChangesFocus(true);
    k->addRow(QStringLiteral("ที่อยู่"), m_f.address);
    m_f.details = captioned(new QPlainTextEdit, QStringLiteral("รายละเอียดอื่นๆ ของผู้ขายฝาก"));
    m_f.details->setObjectName(QStringLiteral("text2"));
    m_f.details->setMaximumHeight(60);
    m_f.details->setTabChangesFocus(true);
    k->addRow(QStringLiteral("รายละเอียดอื่นๆ"), m_f.details);
    return m_customerPanel;
}

QGroupBox* ContractScreen::buildGoodsPanel()
{
    m_goodsPanel = new QGroupBox(QStringLiteral("(F3) ข้อมูลสินค้าขายฝาก"));
    m_goodsPanel->setObjectName(QStringLiteral("F3"));
    auto* g = new QFormLayout(m_goodsPanel);
    g->setVerticalSpacing(3);
    auto* groupRow = new QHBoxLayout;
    m_f.group = captioned(new QComboBox, QStringLiteral("กลุ่มสินค้า"));
    m_f.group->setObjectName(QStringLiteral("combo5"));
    m_f.group->setEditable(true);
    m_f.group->setInsertPolicy(QComboBox::NoInsert);
    auto* add = platform::ui::button("cmdAddGroup", QStringLiteral("เพิ่ม"));
    groupRow->addWidget(m_f.group, 1);
    groupRow->addWidget(add);
    auto* groupLabel = new QLabel(QStringLiteral("กลุ่มสินค้า"));
    groupLabel->setBuddy(m_f.group);
    g->addRow(groupLabel, groupRow);
    connect(add, &QPushButton::clicked, this,
            [this] { run([this] { m_form->addProductGroup(m_form->contract.object); }); });
    m_f.goods = captioned(new QPlainTextEdit, QStringLiteral("สินค้าขายฝาก"));
    m_f.goods->setObjectName(QStringLiteral("text22"));
    m_f.goods->setMaximumHeight(70);
    m_f.goods->setTabChangesFocus(true);
    m_f.goods->setToolTip(QStringLiteral("สูงสุด 255 ตัวอักษร"));
    g->addRow(QStringLiteral("สินค้าขายฝาก"), m_f.goods);
    // The description holds 255 characters; what is typed or pasted beyond stops there.
    connect(m_f.goods, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_f.goods->toPlainText();
        if (text.size() <= ModelLength)
            return;
        QTextCursor cursor = m_f.goods->textCursor();
        const int at = int(std::min<qsizetype>(cursor.position(), ModelLength));
        m_f.goods->setPlainText(text.left(ModelLength));
        cursor = m_f.goods->textCursor();
        cursor.setPosition(at);
        m_f.goods->setTextCursor(cursor);
    });
    g->addRow(QString(), new QLabel(QStringLiteral("สูงสุด 255 ตัวอักษร")));
    m_f.weight = lineRow(g, "t6", QStringLiteral("น้าหนัก (กรัม)"));
    m_f.weight->setToolTip(QStringLiteral("ตัวเลขเท่านั้น (สำหรับร้านทอง)"));
    m_f.serial = lineRow(g, "t30", QStringLiteral("หมายเลขสินค้า"));
    m_f.otherDetail = lineRow(g, "t31", QStringLiteral("รายละเอียดอื่นๆ"));
    m_f.otherDetail->setAccessibleName(QStringLiteral("รายละเอียดอื่นๆ ของสินค้า"));
    m_f.fake = new QCheckBox(QStringLiteral("สินค้าขายฝากไม่แสดงในสัญญา"));
    m_f.fake->setObjectName(QStringLiteral("check2"));
    g->addRow(QString(), m_f.fake);
    m_picturesView->addRows(g);
    // The two marks stand apart, each in its own frame, so they never read
    // as one word.
    auto mark = [](const char* name, const QString& text) {
        auto* l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        l->setAccessibleName(text);
        l->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold; border: 1px solid "
                                        "#b00020; padding: 1px 6px"));
        return l;
    };
    m_closedPanel = mark("lblClosed", QStringLiteral("สัญญาปิด"));
    m_forfeitedPanel = mark("lblForfeited", QStringLiteral("หลุดจำนำ"));
    auto* marks = new QHBoxLayout;
    marks->setSpacing(12);
    marks->addWidget(m_closedPanel);
    marks->addWidget(m_forfeitedPanel);
    marks->addStretch(1);
    g->addRow(QString(), marks);
    return m_goodsPanel;
}

void ContractScreen::buildCommandBar(QLayout* into)
{
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("(F6)")));
    const std::pair<QPushButton * Commands::*, std::pair<const char*, const char*>> commands[] = {
        {&Commands::newContract, {"cmdNew", "สัญญาใหม่"}},
        {&Commands::renew, {"cmdRenew", "ต่อดอก"}},
        {&Commands::redeem, {"cmdRedeem", "ไถ่ถอน"}},
        {&Commands::save, {"cmdSave", "จัดเก็บ"}},
        {&Commands::documents, {"cmdDocuments", "ใบขายฝาก"}},
        {&Commands::forfeit, {"cmdForfeit", "หลุดจำนำ"}},
        {&Commands::feeTable, {"cmdFeeTable", "ตารางดอก"}},
        {&Commands::deductTable, {"cmdDeductTable", "ตารางส่วนลด"}},
        {&Commands::remove, {"cmdDelete", "ลบ"}},
        {&Commands::exit, {"cmdExit", "ออก"}}};
    for (const auto& [member, names] : commands) {
        QPushButton* b = platform::ui::button(names.first, QString::fromUtf8(names.second));
        m_cmd.*member = b;
        bar->addWidget(b);
    }
    qobject_cast<QBoxLayout*>(into)->addLayout(bar);
}

// One line a field: the widget, the value it shows and how an edit reaches
// the form. A new field of the screen is one more line here.
void ContractScreen::bindFields()
{
    Contract& c = m_form->contract;
    ContractForm& f = *m_form;
    FormBinding& b = *m_binding;
    auto text = [&b](auto* widget, QString& value) { b.text(widget, value); };
    auto money = [&b, &f](QLineEdit* widget, Decimal& value,
                          bool (ContractForm::*typed)(const QString&)) {
        b.text(
            widget, [&value] { return value.toString(); },
            [&f, typed](const QString& t) { return (f.*typed)(t); });
    };
    text(m_f.number, c.policyNo);
    text(m_f.customNumber, c.refNo);
    text(m_f.witness1, c.witness1);
    text(m_f.witness2, c.witness2);
    text(m_f.place, c.placeKeep);
    b.date(
        m_f.deposit, [&c] { return c.contractDate; },
        [&f](const QDate& d) { f.depositDateChanged(d); });
    b.text(
        m_f.days, [&c] { return QString::number(c.days); },
        [&f](const QString& t) { return f.daysTyped(t); });
    money(m_f.amount, c.principal, &ContractForm::amountTyped);
    b.text(
        m_f.rate, [&c] { return c.rate.toString(); },
        [&f](const QString& t) { return f.rateTyped(t); });
    money(m_f.interest, c.interest, &ContractForm::interestTyped);
    money(m_f.payout, c.payout, &ContractForm::payoutTyped);
    money(m_f.redemption, c.redemption, &ContractForm::redemptionTyped);
    b.date(
        m_f.due, [&c] { return c.dueDate; }, [&f](const QDate& d) { f.dueDateChanged(d); });
    b.check(
        m_f.withheld, [&c] { return c.withheld; }, [&f](bool on) { f.withholdingSwitched(on); });
    b.text(
        m_f.table, [&c] { return c.tableNo; },
        FormBinding::always([&f](const QString& t) { f.tableChanged(t); }));
    text(m_f.code, c.kuCode);
    text(m_f.name, c.kuName);
    text(m_f.age, c.kuAge);
    text(m_f.idNumber, c.kuId);
    text(m_f.phone, c.kuMp);
    text(m_f.address, c.kuAddress);
    text(m_f.details, c.pNote);
    text(m_f.group, c.object);
    text(m_f.goods, c.model);
    text(m_f.weight, c.weight);
    text(m_f.serial, c.sn);
    text(m_f.otherDetail, c.otherDetail);
    m_picturesView->bind(b);
    b.check(
        m_f.fake, [&c] { return c.fakeProductUse; }, [&c](bool on) { c.fakeProductUse = on; });
    // A rate chosen from the list (not Enter in the box, which only moves on).
    connect(m_f.rate, &QComboBox::textActivated, this,
            [this](const QString& t) { run([this, t] { m_form->ratePicked(t); }); });
}

void ContractScreen::run(const std::function<void()>& command)
{
    command();
    refresh();
}

void ContractScreen::refresh()
{
    if (m_f.rate->count() != m_form->rateList.size()) {
        const QSignalBlocker quiet(m_f.rate);
        m_f.rate->clear();
        m_f.rate->addItems(m_form->rateList);
    }
    if (m_f.group->count() != m_form->productGroups.size()) {
        const QSignalBlocker quiet(m_f.group);
        m_f.group->clear();
        m_f.group->addItems(m_form->productGroups);
    }
    m_binding->show();
    refreshNameList();
    m_closedPanel->setVisible(m_form->closedPanel());
    m_forfeitedPanel->setVisible(m_form->forfeitedPanel());
    refreshCommands();
    refreshHistory();
    refreshPanels();
}

void ContractScreen::refreshNameList()
{
    m_nameList->setVisible(m_form->customer().nameListOpen());
    QStringList shown;
    for (int i = 0; i < m_nameList->count(); ++i)
        shown << m_nameList->item(i)->text();
    if (shown != m_form->customer().nameList) {
        m_nameList->clear();
        m_nameList->addItems(m_form->customer().nameList);
    }
}

void ContractScreen::refreshCommands()
{
    const ContractForm::Commands cmd = m_form->commands();
    const std::pair<QPushButton*, bool> states[] = {
        {m_cmd.newContract, cmd.newContract}, {m_cmd.renew, cmd.renew},
        {m_cmd.redeem, cmd.redeem},           {m_cmd.save, cmd.save},
        {m_cmd.documents, cmd.documents},     {m_cmd.forfeit, cmd.forfeit},
        {m_cmd.feeTable, cmd.interestTable},  {m_cmd.deductTable, cmd.interestTable},
        {m_cmd.remove, cmd.remove},           {m_cmd.exit, true}};
    for (const auto& [button, on] : states)
        button->setEnabled(cmd.commandBar && on);
    m_cmd.remove->setVisible(cmd.remove);
    for (QGroupBox* p : {m_contractPanel, m_customerPanel, m_goodsPanel})
        p->setEnabled(cmd.panels);
    m_listView->refresh(cmd.list);
    m_toolsButton->setEnabled(cmd.tools);
    const bool customers = m_form->customer().available();
    for (QPushButton* b : {m_cmd.findCode, m_cmd.findName, m_cmd.findId})
        b->setEnabled(customers);
    m_cmd.customerTable->setEnabled(customers && cmd.customerTable);
}

void ContractScreen::newContract()
{
    m_listView->watchCards(false);
    if (!m_form->newContract()) {
        close(); // the number is taken: the run number has to be set anew first
        return;
    }
    m_listView->startNew();
    refresh();
    m_f.code->setFocus();
}

QWidget* ContractScreen::fieldOf(ContractForm::Field field) const
{
    switch (field) {
    case ContractForm::Field::Address:
        return m_f.address;
    case ContractForm::Field::ProductGroup:
        return m_f.group;
    case ContractForm::Field::Amount:
        return m_f.amount;
    case ContractForm::Field::Redemption:
        return m_f.redemption;
    case ContractForm::Field::Days:
        return m_f.days;
    case ContractForm::Field::Interest:
        return m_f.interest;
    case ContractForm::Field::Payout:
        return m_f.payout;
    case ContractForm::Field::DepositDate:
        return m_f.deposit->lineEdit();
    case ContractForm::Field::DueDate:
        return m_f.due->lineEdit();
    case ContractForm::Field::Number:
        return m_f.number;
    case ContractForm::Field::History:
        if (m_form->refusedRow >= 0)
            m_history->selectRow(m_form->refusedRow);
        return m_history;
    }
    return nullptr;
}

void ContractScreen::save()
{
    const auto refused = m_form->save();
    refresh();
    if (refused)
        if (QWidget* target = fieldOf(*refused))
            target->setFocus();
}

void ContractScreen::showFound(const std::optional<Contract>& found)
{
    if (found)
        m_form->show(*found);
    refresh();
}

void ContractScreen::useCapture(platform::ui::CaptureOpener open)
{
    m_picturesView->useCapture(std::move(open));
}

void ContractScreen::setFileChooser(platform::ui::FileChooser chooser)
{
    m_picturesView->setFileChooser(std::move(chooser));
}

void ContractScreen::useCardReader(std::function<void()> openReader)
{
    m_openCardReader = std::move(openReader);
    m_cmd.scanCard->setEnabled(bool(m_openCardReader));
    connect(m_cmd.scanCard, &QPushButton::clicked, this, [this] {
        m_listView->watchCards(false); // the reader screen takes the card
        m_openCardReader();
    });
    m_listView->useCardReader();
}

bool ContractScreen::watchingCards() const
{
    return m_listView->watchingCards();
}

void ContractScreen::closeEvent(QCloseEvent* event)
{
    if (platform::db::workingAway()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void ContractScreen::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F1:
        m_f.number->setFocus();
        return;
    case Qt::Key_F2:
        m_f.code->setFocus();
        return;
    case Qt::Key_F3:
        m_f.group->setFocus();
        return;
    case Qt::Key_F5:
        m_listView->focusKey();
        return;
    case Qt::Key_F6:
        (m_cmd.newContract->isEnabled() ? m_cmd.newContract : m_cmd.save)->setFocus();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tawela::contracts
