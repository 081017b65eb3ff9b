// The lower part of the contract screen: the renewal history and the panels
// that open beside it (renewal, correcting a renewal, redemption and
// forfeiture, deletion, reprint), and the tools menu.
#include "contracts/rate_table_editors.h"
#include "contracts/ui/closing_panel_view.h"
#include "contracts/ui/contract_screen.h"
#include "contracts/ui/panel_binding.h"
#include "contracts/ui/renewal_panel_view.h"
#include "contracts/ui/small_panel_views.h"
#include "contracts/ui/table_editor_screen.h"
#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"
#include "platform/ui/twips.h"
#include "text/thai_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tawela::contracts {

using platform::FormBinding;
using platform::ui::button;
using platform::ui::captioned;
using platform::ui::lineRow;

void ContractScreen::buildLowerArea(QLayout* into)
{
    auto* row = new QHBoxLayout;
    // "MSFlexGrid1": fifty renewals at most.
    m_history = new QTableWidget(ContractForm::MaxRenewals, 9);
    m_history->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_history->setAccessibleName(QStringLiteral("ประวัติการต่อดอก"));
    m_history->setHorizontalHeaderLabels(
        {QStringLiteral("ลำดับ"), QStringLiteral("ครั้ง"), QStringLiteral("ต้น"),
         QStringLiteral("ค่า ธน."), QStringLiteral(" ค่าปรับ "), QStringLiteral("ส่วนลด"),
         QStringLiteral(" รวม "), QStringLiteral("วันฝากต่อ"), QStringLiteral("ครบกำหนด")});
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
        const QString widest = c >= 7   ? QStringLiteral("00/00/0000")
                               : c >= 3 ? QStringLiteral("000000.00")
                                        : m_history->horizontalHeaderItem(c)->text();
        const int w = std::max({platform::twipsX(this, widths[c]),
                                fontMetrics().horizontalAdvance(widest) + 14,
                                m_history->horizontalHeader()->fontMetrics().horizontalAdvance(
                                    m_history->horizontalHeaderItem(c)->text()) +
                                    16});
        m_history->setColumnWidth(c, w);
        total += w;
    }
    m_history->verticalHeader()->setDefaultSectionSize(
        std::max(platform::twipsY(this, 300), fontMetrics().height() + 6));
    m_history->setFixedWidth(total + m_history->verticalScrollBar()->sizeHint().width() + 4);
    m_history->setMinimumHeight(m_history->verticalHeader()->defaultSectionSize() * 5 +
                                m_history->horizontalHeader()->sizeHint().height());
    m_history->installEventFilter(this);
    connect(m_history, &QTableWidget::cellDoubleClicked, this, [this](int r) {
        if (!m_form->commands().history)
            return;
        run([this, r] { m_form->renewals().editRow(r); });
        if (m_form->renewals().editing.visible)
            m_editView->figures().number->setFocus();
    });
    auto* historyBox = new QGroupBox(QStringLiteral("ประวัติการต่อดอก"));
    auto* hb = new QVBoxLayout(historyBox);
    hb->addWidget(m_history);
    row->addWidget(historyBox);

    m_actions = new QStackedWidget;
    m_actions->setObjectName(QStringLiteral("actionArea"));
    using Panel = ContractForm::Panel;
    auto* blank = new QWidget;
    blank->setObjectName(QStringLiteral("blank"));
    m_closingView = new ClosingPanelView(
        *m_form, [this](const std::function<void()>& command) { run(command); },
        [this] { m_cmd.redeem->setFocus(); });
    m_closingPanel = m_closingView;
    m_renewalView = new RenewalPanelView(
        *m_form, [this](const std::function<void()>& command) { run(command); },
        [this] { m_cmd.renew->setFocus(); });
    m_deletionView = new DeletionPanelView(
        *m_form, [this](const std::function<void()>& command) { run(command); },
        [this](bool removed) {
            if (removed)
                close();
            else
                refresh();
        });
    m_reprintView = new ReprintPanelView(
        *m_form, [this](const std::function<void()>& command) { run(command); },
        [this] { m_cmd.documents->setFocus(); });
    m_editView = new RenewalEditView(
        *m_form, [this](const std::function<void()>& command) { run(command); },
        [this] { m_history->setFocus(); });
    const std::pair<Panel, QWidget*> pages[] = {{Panel::None, blank},
                                                {Panel::Renewal, m_renewalView},
                                                {Panel::RenewalEdit, m_editView},
                                                {Panel::Closing, m_closingPanel},
                                                {Panel::Delete, m_deletionView},
                                                {Panel::Reprint, m_reprintView}};
    for (const auto& [panel, page] : pages) {
        m_actions->addWidget(page);
        m_pages.insert(int(panel), page);
    }
    m_pages.insert(int(Panel::ClosedFigures), m_closingPanel);
    row->addWidget(m_actions, 1);
    qobject_cast<QBoxLayout*>(into)->addLayout(row, 1);
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
        run([this] { m_form->deletion().ask(true); });
        m_deletionView->confirmButton()->setFocus();
    });
    // The goods tag of the shown contract, again, on the label printer.
    QAction* tag = m_tools->addAction(QStringLiteral("พิมพ์ป้ายสินค้า"));
    tag->setObjectName(QStringLiteral("mnu_tag"));
    connect(tag, &QAction::triggered, this,
            [this] { run([this] { m_form->reprints().print(Reprint::GoodsTag); }); });
    // The archive moves and older receipts: screens of their own (useTools).
    for (const auto& [name, caption] : {std::pair{"mnu_archive", "ย้ายสัญญาที่ปิดเข้าเก็บ"},
                                        std::pair{"mnu_unarchive", "ย้ายสัญญาที่เก็บไว้กลับมา"},
                                        std::pair{"mnu_old_receipt", "ใบเสร็จย้อนหลัง"}}) {
        QAction* a = m_tools->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        a->setEnabled(false);
    }
    m_tools->setToolTipsVisible(true);
    tools->setMenu(m_tools);
    m_toolsButton = tools;
    qobject_cast<QBoxLayout*>(into)->addWidget(tools);
}

void ContractScreen::useTools(ToolOpener open)
{
    const std::pair<const char*, const char*> screens[] = {{"mnu_archive", "move_close"},
                                                           {"mnu_unarchive", "move_back"},
                                                           {"mnu_old_receipt", "RollBack"}};
    for (const auto& entry : screens) {
        const QString screen = QLatin1String(entry.second);
        for (QAction* a : m_tools->actions()) {
            if (a->objectName() != QLatin1String(entry.first))
                continue;
            a->setEnabled(bool(open));
            if (open)
                connect(a, &QAction::triggered, this, [open, screen] { open(screen); });
        }
    }
}

void ContractScreen::openTableEditor(bool interest)
{
    auto editor = std::make_unique<RateTableEditorForm>(
        m_form->database(),
        interest ? RateTableEditorForm::Kind::Interest : RateTableEditorForm::Kind::Discount,
        m_form->contract.tableNo, m_form->session().blacklistRight(), m_form->prompt());
    if (!editor->open())
        return;
    auto* screen = new TableEditorScreen(std::move(editor), m_form->prompt(), this);
    screen->setWindowFlag(Qt::Window);
    screen->setWindowModality(Qt::WindowModal);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
}

void ContractScreen::bindPanels()
{
    FormBinding& b = *m_binding;
    m_renewalView->bind(b);
    m_editView->bind(b);

    m_closingView->bind(b);
}

void ContractScreen::bindCommands()
{
    connect(m_cmd.newContract, &QPushButton::clicked, this, &ContractScreen::newContract);
    connect(m_cmd.save, &QPushButton::clicked, this, &ContractScreen::save);
    connect(m_cmd.exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmd.renew, &QPushButton::clicked, this, [this] {
        bool opened = false;
        run([this, &opened] { opened = m_form->renewals().open(); });
        (opened ? static_cast<QWidget*>(m_renewalView->figures().number) : m_cmd.renew)->setFocus();
    });
    // Redemption and forfeiture share the closing panel.
    auto closingCommand = [this](bool (ClosingCommands::*openPanel)(const QDate&),
                                 QPushButton* command) {
        return [this, openPanel, command] {
            bool opened = false;
            run([&] { opened = (m_form->closings().*openPanel)(QDate::currentDate()); });
            (opened ? m_closingView->confirmButton() : command)->setFocus();
        };
    };
    connect(m_cmd.redeem, &QPushButton::clicked, this,
            closingCommand(&ClosingCommands::openRedemption, m_cmd.redeem));
    connect(m_cmd.forfeit, &QPushButton::clicked, this,
            closingCommand(&ClosingCommands::openForfeiture, m_cmd.forfeit));
    connect(m_cmd.remove, &QPushButton::clicked, this,
            [this] { run([this] { m_form->deletion().ask(false); }); });
    connect(m_cmd.documents, &QPushButton::clicked, this, [this] {
        run([this] { m_form->reprints().open(); });
        m_reprintView->printButton()->setFocus();
    });
    connect(m_cmd.feeTable, &QPushButton::clicked, this, [this] { openTableEditor(true); });
    connect(m_cmd.deductTable, &QPushButton::clicked, this, [this] { openTableEditor(false); });
    connect(m_cmd.findCode, &QPushButton::clicked, this,
            [this] { run([this] { m_form->customer().findByCode(); }); });
    connect(m_cmd.findId, &QPushButton::clicked, this,
            [this] { run([this] { m_form->customer().findById(); }); });
    connect(m_cmd.findName, &QPushButton::clicked, this,
            [this] { run([this] { m_form->customer().nameSearchPressed(); }); });
    connect(m_cmd.customerTable, &QPushButton::clicked, this,
            [this] { run([this] { m_form->customer().openTable(); }); });
    connect(m_nameList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const QString entry = item->text();
        run([this, entry] { m_form->customer().nameChosen(entry); });
    });
    // While the list is open it follows what is typed in the name.
    connect(m_f.name, &QLineEdit::textEdited, this, [this] {
        if (m_form->customer().nameListOpen()) {
            m_form->customer().refreshNameList();
            refreshNameList();
        }
    });
}

void ContractScreen::setupEnterOrder()
{
    // An editable list takes the key before its text does: both move on.
    const std::pair<QWidget*, QWidget*> order[] = {
        {m_f.number, m_f.customNumber},
        {m_f.customNumber, m_f.witness1},
        {m_f.witness1, m_f.witness2},
        {m_f.witness2, m_f.place},
        {m_f.place, m_f.amount},
        {m_f.amount, m_f.rate},
        {m_f.rate, m_f.redemption},
        {m_f.rate->lineEdit(), m_f.redemption},
        {m_f.redemption, m_f.deposit->lineEdit()},
        {m_f.days, m_f.due->lineEdit()},
        {m_f.code, m_f.name},
        {m_f.name, m_f.age},
        {m_f.age, m_f.idNumber},
        {m_f.idNumber, m_f.phone},
        {m_f.phone, m_f.address},
        {m_f.address, m_f.details},
        {m_f.serial, m_f.otherDetail},
        {m_renewalView->figures().number, m_renewalView->figures().fee},
        {m_renewalView->figures().fee, m_renewalView->figures().total},
        {m_renewalView->figures().total, m_renewalView->currentDue()->lineEdit()},
    };
    for (const auto& [from, to] : order) {
        m_enterNext.insert(from, to);
        from->installEventFilter(this);
    }
}

bool ContractScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched->property("witness").isValid()) {
        run([this, watched] { m_form->fillWitness(watched->property("witness").toInt()); });
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_history && key->key() == Qt::Key_Delete &&
        key->modifiers() == Qt::ShiftModifier) {
        if (m_form->commands().history) {
            m_form->renewals().toggleMark(m_history->currentRow());
            refreshHistory();
        }
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Shift+Enter still starts a new line in the address.
    if (enter && !(key->modifiers() & Qt::ShiftModifier) &&
        platform::ui::focusNext(m_enterNext, watched))
        return true;
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
            cells[4] = text::listAmountText(l.surcharge);
            cells[5] = text::listAmountText(l.discount);
            cells[6] = text::listAmountText(l.total);
            cells[7] = text::buddhistDateText(l.from);
            cells[8] = text::buddhistDateText(l.due);
        }
        for (int c = 0; c < 9; ++c) {
            QTableWidgetItem* item = m_history->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 0             ? Qt::AlignCenter
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
    m_renewalView->refresh();
    m_closingView->refresh();
    m_actions->setCurrentWidget(m_pages.value(int(m_form->panel())));
}

} // namespace tawela::contracts
