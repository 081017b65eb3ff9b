// The lower part of the contract screen: the renewal history and the panels
// that open beside it (renewal, correcting a renewal, redemption and
// forfeiture, deletion, reprint), and the tools menu.
#include "app/ui/twips.h"
#include "contracts/rate_table_editors.h"
#include "contracts/ui/contract_screen.h"
#include "contracts/ui/field_sync.h"
#include "contracts/ui/table_editor_screen.h"
#include "platform/ui/thai_date_edit.h"
#include "text/thai_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tawela::contracts {

namespace {

QPushButton* button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

platform::ThaiDateEdit* ContractScreen::dateField(const QString& name)
{
    auto* d = new platform::ThaiDateEdit;
    d->setObjectName(name);
    m_dates.insert(name, d);
    return d;
}

QLineEdit* ContractScreen::panelLine(const QString& name, const QString& caption,
                                     QFormLayout* form, std::function<void(const QString&)> edited)
{
    QLineEdit* e = line(name, caption, form);
    connect(e, &QLineEdit::textEdited, this, [this, edited](const QString& t) {
        edited(t);
        refreshPanels();
    });
    return e;
}

// The renewal number, fee, penalty, discount and total of the renewal panel
// or of the correction panel; the total follows the three figures.
template <typename Panel>
void ContractScreen::renewalFigures(QFormLayout* into, Panel ContractForm::*panel,
                                    const std::array<const char*, 5>& names)
{
    const std::pair<QString Panel::*, QString> fields[] = {
        {&Panel::renewalNo, QStringLiteral("ต่อดอกครั้งที่")},
        {&Panel::fee, QStringLiteral("ค่าธรรมเนียม")},
        {&Panel::penalty, QStringLiteral("ค่าปรับ")},
        {&Panel::discount, QStringLiteral("ส่วนลด")},
        {&Panel::total, QStringLiteral("รวม")}};
    for (int i = 0; i < 5; ++i) {
        const auto field = fields[i].first;
        const bool figure = i >= 1 && i <= 3;
        panelLine(QLatin1String(names[i]), fields[i].second, into,
                  [this, panel, field, figure](const QString& t) {
                      Panel& p = (*m_form).*panel;
                      p.*field = t;
                      if (figure)
                          p.recomputeTotal();
                  });
    }
}

template <typename Panel>
void ContractScreen::showRenewalFigures(const Panel& p, const std::array<const char*, 5>& names)
{
    const QString* values[] = {&p.renewalNo, &p.fee, &p.penalty, &p.discount, &p.total};
    for (int i = 0; i < 5; ++i)
        showText(m_t[QLatin1String(names[i])], *values[i]);
}

void ContractScreen::buildLowerArea(QLayout* into)
{
    auto* row = new QHBoxLayout;
    // "MSFlexGrid1": fifty renewals at most.
    m_history = new QTableWidget(ContractForm::MaxRenewals, 9);
    m_history->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_history->setHorizontalHeaderLabels({QStringLiteral("ลำดับ"), QStringLiteral("ครั้ง"),
                                          QStringLiteral("ต้น"), QStringLiteral("ค่า ธน."),
                                          QStringLiteral(" ค่าปรับ "), QStringLiteral("ส่วนลด"),
                                          QStringLiteral(" รวม "), QStringLiteral("วันฝากต่อ"),
                                          QStringLiteral("ครบกำหนด")});
    m_history->verticalHeader()->hide();
    m_history->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_history->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_history->setSelectionMode(QAbstractItemView::SingleSelection);
    m_history->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อแก้ไขรายการ  Shift+Delete เพื่อทำเครื่องหมายลบ"));
    const int widths[] = {500, 0, 0, 700, 700, 700, 900, 1000, 1000};
    int total = 0;
    for (int c = 0; c < 9; ++c) {
        if (widths[c] == 0) {
            m_history->setColumnHidden(c, true);
            continue;
        }
        // Thai captions and dates need a little more room than the old
        // fixed widths.
        const QString widest = c >= 7 ? QStringLiteral("00/00/0000")
                               : c >= 3 ? QStringLiteral("000000.00")
                                        : m_history->horizontalHeaderItem(c)->text();
        const int w = std::max({app::twipsX(this, widths[c]),
                                fontMetrics().horizontalAdvance(widest) + 14,
                                m_history->horizontalHeader()->fontMetrics().horizontalAdvance(
                                    m_history->horizontalHeaderItem(c)->text()) +
                                    16});
        m_history->setColumnWidth(c, w);
        total += w;
    }
    m_history->verticalHeader()->setDefaultSectionSize(
        std::max(app::twipsY(this, 300), fontMetrics().height() + 6));
    m_history->setFixedWidth(total + m_history->verticalScrollBar()->sizeHint().width() + 4);
    m_history->setMinimumHeight(m_history->verticalHeader()->defaultSectionSize() * 5 +
                                m_history->horizontalHeader()->sizeHint().height());
    m_history->installEventFilter(this);
    connect(m_history, &QTableWidget::cellDoubleClicked, this, [this](int r) {
        if (!m_form->commands().history)
            return;
        readTexts();
        m_form->editRenewal(r);
        refresh();
        if (m_form->renewalEdit.visible)
            m_t[QStringLiteral("Text37")]->setFocus();
    });
    auto* historyBox = new QGroupBox(QStringLiteral("ประวัติการต่อดอก"));
    auto* hb = new QVBoxLayout(historyBox);
    hb->addWidget(m_history);
    row->addWidget(historyBox);

    m_actions = new QStackedWidget;
    m_actions->setObjectName(QStringLiteral("actionArea"));
    m_blankPage = new QWidget;
    m_blankPage->setObjectName(QStringLiteral("blank"));
    m_actions->addWidget(m_blankPage);
    m_renewalPanel = buildRenewalPanel();
    m_editPanel = buildEditPanel();
    m_closingPanel = buildClosingPanel();
    m_deletePanel = buildDeletePanel();
    m_reprintPanel = buildReprintPanel();
    for (QWidget* w :
         {m_renewalPanel, m_editPanel, m_closingPanel, m_deletePanel, m_reprintPanel})
        m_actions->addWidget(w);
    row->addWidget(m_actions, 1);
    auto* box = qobject_cast<QBoxLayout*>(into);
    box->addLayout(row, 1);
}

QGroupBox* ContractScreen::buildRenewalPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("ต่อดอก"));
    panel->setObjectName(QStringLiteral("Frame1"));
    auto* v = new QVBoxLayout(panel);
    auto* question = new QLabel(QStringLiteral("คุณต้องการต่อดอกสัญญานี้ใช่หรือไม่"));
    question->setStyleSheet(QStringLiteral("font-weight: bold"));
    v->addWidget(question);
    auto* cols = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    cols->addLayout(left);
    cols->addLayout(right);
    v->addLayout(cols);
    renewalFigures(left, &ContractForm::renewal, {"Text4", "Text20", "Text27", "Text31", "Text21"});
    auto* current = dateField(QStringLiteral("DTPicker3"));
    auto* next = dateField(QStringLiteral("DTPicker4"));
    auto* on = dateField(QStringLiteral("DTPicker5"));
    right->addRow(QStringLiteral("วันครบกำหนดปัจจุบัน"), current);
    right->addRow(QStringLiteral("วันครบกำหนดใหม่"), next);
    right->addRow(QStringLiteral("วันต่อดอก"), on);
    connect(current, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->renewal.currentDue = d;
    });
    connect(next, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->renewal.newDue = d;
    });
    connect(on, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->renewal.renewalDate = d;
    });
    m_dayCaption = new QLabel;
    m_dayCaption->setObjectName(QStringLiteral("Label35"));
    right->addRow(m_dayCaption);
    auto* buttons = new QHBoxLayout;
    auto* ok = button("Command18", QStringLiteral("ตกลง"));
    auto* no = button("Command23", QStringLiteral("ไม่ใช่"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(no);
    right->addRow(buttons);
    v->addStretch(1);
    connect(ok, &QPushButton::clicked, this, [this] {
        readTexts();
        m_form->confirmRenewal();
        refresh();
        focusCommand("cmdRenew");
    });
    connect(no, &QPushButton::clicked, this, [this] {
        m_form->cancelRenewal();
        refresh();
        focusCommand("cmdRenew");
    });
    return panel;
}

QGroupBox* ContractScreen::buildEditPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("แก้ไขรายการต่อดอก"));
    panel->setObjectName(QStringLiteral("Frame10"));
    auto* v = new QVBoxLayout(panel);
    auto* cols = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    cols->addLayout(left);
    cols->addLayout(right);
    v->addLayout(cols);
    renewalFigures(left, &ContractForm::renewalEdit,
                   {"Text37", "Text35", "Text33", "Text32", "Text34"});
    auto* on = dateField(QStringLiteral("DTPicker11"));
    auto* due = dateField(QStringLiteral("DTPicker9"));
    right->addRow(QStringLiteral("วันต่อดอก"), on);
    right->addRow(QStringLiteral("วันครบกำหนด"), due);
    connect(on, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->renewalEdit.renewalDate = d;
    });
    connect(due, &platform::ThaiDateEdit::dateChanged, this, [this](const QDate& d) {
        if (!m_refreshing && d.isValid())
            m_form->renewalEdit.dueDate = d;
    });
    auto* buttons = new QHBoxLayout;
    auto* apply = button("Command29", QStringLiteral("แก้ไข"));
    auto* cancel = button("Command13", QStringLiteral("ไม่แก้ไข"));
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    right->addRow(buttons);
    v->addStretch(1);
    connect(apply, &QPushButton::clicked, this, [this] {
        m_form->applyRenewalEdit();
        refresh();
        m_history->setFocus();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_form->cancelRenewalEdit();
        refresh();
        m_history->setFocus();
    });
    return panel;
}

QGroupBox* ContractScreen::buildClosingPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("ไถ่ถอน"));
    panel->setObjectName(QStringLiteral("Frame8"));
    auto* v = new QVBoxLayout(panel);
    m_closingQuestion = new QLabel;
    m_closingQuestion->setObjectName(QStringLiteral("Label11"));
    m_closingQuestion->setStyleSheet(QStringLiteral("font-weight: bold"));
    v->addWidget(m_closingQuestion);
    auto* cols = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    cols->addLayout(left);
    cols->addLayout(right);
    v->addLayout(cols);
    auto* date = dateField(QStringLiteral("DTPicker6"));
    auto* due = dateField(QStringLiteral("DTPicker7"));
    auto* start = dateField(QStringLiteral("DTPicker8"));
    left->addRow(QStringLiteral("วันที่ไถ่ถอน"), date);
    left->addRow(QStringLiteral("วันที่ครบกำหนด"), due);
    left->addRow(QStringLiteral("วันที่รับฝาก / ผากต่อ"), start);
    auto* daysRow = new QHBoxLayout;
    auto* days = new QLineEdit;
    days->setObjectName(QStringLiteral("Text28"));
    days->setMaximumWidth(80);
    m_t.insert(QStringLiteral("Text28"), days);
    daysRow->addWidget(days);
    daysRow->addWidget(new QLabel(QStringLiteral("วัน")));
    daysRow->addStretch(1);
    left->addRow(QStringLiteral("ห่างจาวันครบกำหนด"), daysRow);
    connect(days, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_form->closing.days = t;
        m_form->closingDaysChanged();
        refreshPanels();
    });
    auto dateEdited = [this](QDate ClosingPanel::*field) {
        return [this, field](const QDate& d) {
            if (m_refreshing || !d.isValid())
                return;
            m_form->closing.*field = d;
            m_form->closingDatesChanged();
            refreshPanels();
        };
    };
    connect(date, &platform::ThaiDateEdit::dateChanged, this, dateEdited(&ClosingPanel::date));
    connect(due, &platform::ThaiDateEdit::dateChanged, this, dateEdited(&ClosingPanel::dueDate));
    connect(start, &platform::ThaiDateEdit::dateChanged, this,
            dateEdited(&ClosingPanel::termStart));
    auto figure = [this](QString ClosingPanel::*field) {
        return [this, field](const QString& t) {
            m_form->closing.*field = t;
            m_form->closingFiguresChanged();
        };
    };
    panelLine(QStringLiteral("Text26"), QStringLiteral("ยอดไถ่ถอน"), right,
              figure(&ClosingPanel::amount));
    m_chargeCaption = new QLabel;
    m_chargeCaption->setObjectName(QStringLiteral("Label45"));
    auto* charge = new QLineEdit;
    charge->setObjectName(QStringLiteral("Text25"));
    m_t.insert(QStringLiteral("Text25"), charge);
    right->addRow(m_chargeCaption, charge);
    connect(charge, &QLineEdit::textEdited, this, [this, figure](const QString& t) {
        figure(&ClosingPanel::surcharge)(t);
        refreshPanels();
    });
    panelLine(QStringLiteral("Text29"), QStringLiteral("ค่าปรับ"), right,
              figure(&ClosingPanel::penalty));
    panelLine(QStringLiteral("Text30"), QStringLiteral("ส่วนลด"), right,
              figure(&ClosingPanel::discount));
    panelLine(QStringLiteral("Text24"), QStringLiteral("รวม"), right,
              [this](const QString& t) { m_form->closing.total = t; });
    m_closingButtons = new QWidget;
    auto* buttons = new QHBoxLayout(m_closingButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto* yes = button("Command26", QStringLiteral("ใช่"));
    auto* no = button("Command27", QStringLiteral("ไม่ใช่"));
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    left->addRow(m_closingButtons);
    v->addStretch(1);
    connect(yes, &QPushButton::clicked, this, [this] {
        readTexts();
        if (m_form->confirmClosing()) {
            // The list follows: a closed contract leaves the open ones.
            m_list->chooseFilter(m_list->filter());
            refillValues();
        }
        refresh();
    });
    connect(no, &QPushButton::clicked, this, [this] {
        m_form->cancelClosing();
        refresh();
        focusCommand("cmdRedeem");
    });
    return panel;
}

QGroupBox* ContractScreen::buildDeletePanel()
{
    auto* panel = new QGroupBox(QStringLiteral("ลบสัญญา"));
    panel->setObjectName(QStringLiteral("Frame7"));
    auto* v = new QVBoxLayout(panel);
    auto* question = new QLabel(QStringLiteral("คุณต้องการลบ สัญญานี้ ใช่หรือไม่"));
    question->setStyleSheet(QStringLiteral("font-weight: bold; color: #b00020"));
    v->addWidget(question);
    auto* buttons = new QHBoxLayout;
    auto* yes = button("Command25", QStringLiteral("ใช่"));
    auto* no = button("Command24", QStringLiteral("ไม่ใช่"));
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    v->addLayout(buttons);
    v->addStretch(1);
    connect(yes, &QPushButton::clicked, this, [this] {
        readTexts();
        if (m_form->confirmDelete()) {
            close();
            return;
        }
        refresh();
    });
    connect(no, &QPushButton::clicked, this, [this] {
        m_form->cancelDelete();
        refresh();
    });
    return panel;
}

QGroupBox* ContractScreen::buildReprintPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("ใบขายฝาก"));
    panel->setObjectName(QStringLiteral("Frame12"));
    auto* v = new QVBoxLayout(panel);
    const std::pair<const char*, const char*> choices[] = {
        {"Option11", "ใบสัญญา"},        {"Option12", "ใบขายฝาก  ใหญ่"},
        {"Option13", "ใบขายฝาก  ย่อ"},  {"Option4", "การ์ดต่อดอก"},
        {"Option17", "ใบต่อดอก  ใหญ่"}, {"Option14", "ใบต่อดอก  ย่อ"}};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        m_reprint[i] = new QRadioButton(QString::fromUtf8(choices[i].second));
        m_reprint[i]->setObjectName(QLatin1String(choices[i].first));
        grid->addWidget(m_reprint[i], i % 3, i / 3);
    }
    v->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    auto* print = button("Command43", QStringLiteral("พิมพ์"));
    auto* out = button("Command42", QStringLiteral("ออก"));
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(out);
    v->addLayout(buttons);
    v->addStretch(1);
    connect(print, &QPushButton::clicked, this, [this] {
        // The panel's order of the choices, as the enum holds them.
        const Reprint kinds[] = {Reprint::ContractForm, Reprint::LargeTicket,
                                 Reprint::ShortTicket,  Reprint::RenewalCard,
                                 Reprint::LargeRenewal, Reprint::ShortRenewal};
        QList<Reprint> ticked;
        for (int i = 0; i < 6; ++i)
            if (m_reprint[i]->isChecked())
                ticked << kinds[i];
        readTexts();
        m_form->reprint(firstTicked(ticked));
    });
    connect(out, &QPushButton::clicked, this, [this] {
        m_reprintOpen = false;
        refresh();
        focusCommand("cmdDocuments");
    });
    return panel;
}

void ContractScreen::buildToolsMenu(QLayout* into)
{
    auto* tools = new QToolButton;
    tools->setObjectName(QStringLiteral("mnu_tools"));
    tools->setText(QStringLiteral("เครื่องมือ"));
    tools->setPopupMode(QToolButton::InstantPopup);
    m_tools = new QMenu(tools);
    QAction* remove = m_tools->addAction(QStringLiteral("ลบสัญญา"));
    remove->setObjectName(QStringLiteral("mnu_delete"));
    connect(remove, &QAction::triggered, this, [this] {
        readTexts();
        m_form->askDelete(true);
        refresh();
        m_deletePanel->findChild<QPushButton*>(QStringLiteral("Command25"))->setFocus();
    });
    // Archive moves and older receipts open from here once they exist.
    for (const auto& [name, caption] :
         {std::pair{"mnu_archive", "ย้ายสัญญาที่ปิดเข้าเก็บ"},
          std::pair{"mnu_unarchive", "ย้ายสัญญาที่เก็บไว้กลับมา"},
          std::pair{"mnu_old_receipt", "ใบเสร็จย้อนหลัง"}}) {
        QAction* a = m_tools->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        a->setEnabled(false);
        a->setToolTip(QStringLiteral("ยังไม่เปิดให้ใช้ในรุ่นนี้"));
    }
    m_tools->setToolTipsVisible(true);
    tools->setMenu(m_tools);
    m_toolsButton = tools;
    qobject_cast<QBoxLayout*>(into)->addWidget(tools);
}

void ContractScreen::focusCommand(const char* name)
{
    if (QPushButton* b = m_commands.value(QLatin1String(name)))
        b->setFocus();
}

void ContractScreen::openTableEditor(bool interest)
{
    readTexts();
    auto editor = std::make_unique<RateTableEditorForm>(
        m_form->database(),
        interest ? RateTableEditorForm::Kind::Interest : RateTableEditorForm::Kind::Discount,
        m_table->currentText(), m_form->session().blacklistRight(), m_form->prompt());
    if (!editor->open())
        return;
    auto* screen = new TableEditorScreen(std::move(editor), m_form->prompt(), this);
    screen->setWindowFlag(Qt::Window);
    screen->setWindowModality(Qt::WindowModal);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
}

void ContractScreen::bindCommands()
{
    connect(m_commands[QStringLiteral("cmdRenew")], &QPushButton::clicked, this, [this] {
        readTexts();
        const bool opened = m_form->openRenewal();
        refresh();
        if (opened)
            m_t[QStringLiteral("Text4")]->setFocus();
        else
            focusCommand("cmdRenew");
    });
    // Redemption and forfeiture share the closing panel.
    auto closingCommand = [this](bool (ContractForm::*openPanel)(const QDate&)) {
        return [this, openPanel] {
            readTexts();
            const bool opened = ((*m_form).*openPanel)(QDate::currentDate());
            refresh();
            if (opened)
                m_closingButtons->findChild<QPushButton*>(QStringLiteral("Command26"))->setFocus();
            else
                focusCommand("cmdRenew");
        };
    };
    connect(m_commands[QStringLiteral("cmdRedeem")], &QPushButton::clicked, this,
            closingCommand(&ContractForm::openRedemption));
    connect(m_commands[QStringLiteral("cmdForfeit")], &QPushButton::clicked, this,
            closingCommand(&ContractForm::openForfeiture));
    connect(m_commands[QStringLiteral("cmdDelete")], &QPushButton::clicked, this, [this] {
        readTexts();
        m_form->askDelete(false);
        refresh();
    });
    connect(m_commands[QStringLiteral("cmdDocuments")], &QPushButton::clicked, this, [this] {
        m_reprintOpen = true;
        refresh();
        m_reprintPanel->findChild<QPushButton*>(QStringLiteral("Command43"))->setFocus();
    });
    connect(m_commands[QStringLiteral("cmdFeeTable")], &QPushButton::clicked, this,
            [this] { openTableEditor(true); });
    connect(m_commands[QStringLiteral("cmdDeductTable")], &QPushButton::clicked, this,
            [this] { openTableEditor(false); });
}

void ContractScreen::setupEnterOrder()
{
    auto t = [this](const char* name) -> QWidget* { return m_t.value(QLatin1String(name)); };
    const std::pair<QWidget*, QWidget*> order[] = {
        {t("t0"), t("t67")},
        {t("t67"), t("t1")},
        {t("t1"), t("t2")},
        {t("t2"), t("t32")},
        {t("t32"), t("t4")},
        {t("t4"), m_rate},
        {m_rate->lineEdit(), t("t3")},
        {t("t3"), m_deposit->lineEdit()},
        {t("t7"), m_due->lineEdit()},
        {t("t22"), t("t9")},
        {t("t9"), t("t11")},
        {t("t11"), t("t12")},
        {t("t12"), t("t19")},
        {t("t19"), m_address},
        {m_address, m_details},
        {t("t30"), t("t31")},
        {t("Text4"), t("Text20")},
        {t("Text20"), t("Text21")},
        {t("Text21"), m_dates[QStringLiteral("DTPicker3")]->lineEdit()},
    };
    for (const auto& [from, to] : order) {
        m_enterNext.insert(from, to);
        from->installEventFilter(this);
    }
}

bool ContractScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched->property("witness").isValid()) {
        readTexts();
        m_form->fillWitness(watched->property("witness").toInt());
        refresh();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_history && key->key() == Qt::Key_Delete &&
        key->modifiers() == Qt::ShiftModifier) {
        if (m_form->commands().history) {
            m_form->toggleRenewalMark(m_history->currentRow());
            refreshHistory();
        }
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Shift+Enter still starts a new line in the address.
    if (enter && !(key->modifiers() & Qt::ShiftModifier)) {
        if (QWidget* next = m_enterNext.value(watched)) {
            next->setFocus();
            if (auto* e = qobject_cast<QLineEdit*>(next))
                e->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ContractScreen::refreshHistory()
{
    const QList<RenewalLine>& lines = m_form->lines;
    for (int r = 0; r < ContractForm::MaxRenewals; ++r) {
        QStringList cells(9);
        cells[0] = QString::number(r + 1);
        if (r < lines.size()) {
            const RenewalLine& l = lines[r];
            if (l.markedDeleted)
                cells[0] = QStringLiteral("X");
            cells[1] = l.lineNo > 0 ? QString::number(l.lineNo) : QString();
            cells[2] = QStringLiteral("0");
            cells[3] = text::listAmountText(l.fee);
            cells[4] = text::listAmountText(l.plub);
            cells[5] = text::listAmountText(l.discount);
            cells[6] = text::listAmountText(l.total);
            cells[7] = text::buddhistDateText(l.fakDate);
            cells[8] = text::buddhistDateText(l.returnDate);
        }
        for (int c = 0; c < 9; ++c) {
            QTableWidgetItem* item = m_history->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 0 ? Qt::AlignCenter
                                       : c >= 3 && c <= 6 ? (Qt::AlignRight | Qt::AlignVCenter)
                                                          : (Qt::AlignLeft | Qt::AlignVCenter));
                m_history->setItem(r, c, item);
            }
            if (item->text() != cells[c])
                item->setText(cells[c]);
        }
    }
    m_history->setEnabled(m_form->commands().history);
}

void ContractScreen::refreshPanels()
{
    const bool wasRefreshing = m_refreshing;
    m_refreshing = true;
    const RenewalPanel& r = m_form->renewal;
    showRenewalFigures(r, {"Text4", "Text20", "Text27", "Text31", "Text21"});
    showDate(m_dates[QStringLiteral("DTPicker3")], r.currentDue);
    showDate(m_dates[QStringLiteral("DTPicker4")], r.newDue);
    showDate(m_dates[QStringLiteral("DTPicker5")], r.renewalDate);
    m_dayCaption->setText(r.dayCaption);

    const RenewalEditPanel& e = m_form->renewalEdit;
    showRenewalFigures(e, {"Text37", "Text35", "Text33", "Text32", "Text34"});
    showDate(m_dates[QStringLiteral("DTPicker11")], e.renewalDate);
    showDate(m_dates[QStringLiteral("DTPicker9")], e.dueDate);

    const ClosingPanel& c = m_form->closing;
    m_closingPanel->setTitle(c.title);
    m_closingQuestion->setText(c.question);
    m_closingQuestion->setVisible(!c.readOnly);
    m_closingButtons->setVisible(!c.readOnly);
    showDate(m_dates[QStringLiteral("DTPicker6")], c.date);
    showDate(m_dates[QStringLiteral("DTPicker7")], c.dueDate);
    showDate(m_dates[QStringLiteral("DTPicker8")], c.termStart);
    for (const char* name : {"Text28", "Text26", "Text25", "Text29", "Text30", "Text24"})
        m_t[QLatin1String(name)]->setReadOnly(c.readOnly);
    for (const char* name : {"DTPicker6", "DTPicker7", "DTPicker8"})
        m_dates[QLatin1String(name)]->setEnabled(!c.readOnly);
    showText(m_t[QStringLiteral("Text28")], c.days);
    showText(m_t[QStringLiteral("Text26")], c.amount);
    showText(m_t[QStringLiteral("Text25")], c.surcharge);
    showText(m_t[QStringLiteral("Text29")], c.penalty);
    showText(m_t[QStringLiteral("Text30")], c.discount);
    showText(m_t[QStringLiteral("Text24")], c.total);
    m_chargeCaption->setText(c.caption);

    // One panel at a time beside the history: what the person is doing
    // comes before what is only shown.
    QWidget* page = m_blankPage;
    if (e.visible)
        page = m_editPanel;
    else if (r.visible)
        page = m_renewalPanel;
    else if (c.visible && !c.readOnly)
        page = m_closingPanel;
    else if (m_form->deletion.visible)
        page = m_deletePanel;
    else if (m_reprintOpen)
        page = m_reprintPanel;
    else if (c.visible)
        page = m_closingPanel;
    m_actions->setCurrentWidget(page);
    m_refreshing = wasRefreshing;
}

} // namespace tawela::contracts
