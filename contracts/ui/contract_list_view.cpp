#include "contracts/ui/contract_list_view.h"

#include "platform/db/work_away.h"
#include "platform/ui/screen_parts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace tawela::contracts {

using platform::ui::captioned;

ContractListView::ContractListView(ContractForm& form, ContractList& list, Shower show,
                                   std::function<void()> refreshScreen)
    : m_form(form), m_list(list), m_show(std::move(show)), m_refreshScreen(std::move(refreshScreen))
{
    setObjectName(QStringLiteral("F5"));
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(6, 2, 6, 2);
    l->addWidget(new QLabel(QStringLiteral("(F5)")));
    auto* keyLabel = new QLabel(QStringLiteral("คีย์ค้นหา"));
    m_key = captioned(new QComboBox, QStringLiteral("คีย์ค้นหา"));
    m_key->setObjectName(QStringLiteral("combo1"));
    m_key->addItems(ContractList::keyTexts());
    keyLabel->setBuddy(m_key);
    m_value = captioned(new QComboBox, QStringLiteral("ค่าที่ค้นหา"));
    m_value->setObjectName(QStringLiteral("combo10"));
    m_value->setEditable(true);
    // Enter searches; it never adds what was typed to the list.
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumWidth(200);
    auto* equals = new QLabel(QStringLiteral("="));
    equals->setBuddy(m_value);
    m_findNext = platform::ui::button("command12", QStringLiteral("หาถัดไป"));
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
            m_list.chooseFilter(ContractFilter(i));
            refillValues();
        });
    }
    m_filters[0]->setChecked(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    connect(m_key, &QComboBox::activated, this, [this](int i) {
        m_list.chooseKey(ContractList::Key(i));
        refillValues();
        m_refreshScreen();
    });
    // The value box completes what is typed from the list's values that
    // begin with it, so the newest contracts are found as well as the oldest.
    connect(m_value->lineEdit(), &QLineEdit::textEdited, this, [this] { refillValues(); });
    connect(m_value->lineEdit(), &QLineEdit::returnPressed, this, [this] { search(); });
    connect(m_findNext, &QPushButton::clicked, this, [this] { m_show(m_list.findNext()); });

    m_key->installEventFilter(this);
    m_value->installEventFilter(this);
    m_value->lineEdit()->installEventFilter(this);
    m_value->view()->installEventFilter(this);
    // A value chosen from the open list searches. Enter is taken in
    // eventFilter, and the list also says "activated" when the cursor leaves
    // a box whose text matches an entry: only a choice just made counts.
    connect(m_value, &QComboBox::activated, this, [this] {
        if (m_popupChoice) {
            m_popupChoice = false;
            search();
        }
    });
    refillValues();
}

QWidget* ContractListView::keyBox() const
{
    return m_key;
}

void ContractListView::reset(bool focus)
{
    if (m_key->currentIndex() != 0) {
        m_key->setCurrentIndex(0);
        m_list.chooseKey(ContractList::Key(0));
        refillValues();
    }
    if (focus)
        m_key->setFocus();
}

void ContractListView::focusKey()
{
    m_key->setFocus();
}

void ContractListView::startNew()
{
    watchCards(false);
    m_filters[0]->setChecked(true);
    m_list.chooseFilter(ContractFilter::Open);
    m_value->setEditText(QString());
}

void ContractListView::refresh(bool enabled)
{
    setEnabled(enabled);
    m_findNext->setVisible(m_list.findNextVisible());
}

void ContractListView::refillValues()
{
    // What is typed stays; the list holds the values that begin with it.
    const QString typed = m_value->currentText();
    const QSignalBlocker quiet(m_value);
    m_value->clear();
    m_value->addItems(m_list.values(typed));
    m_value->setEditText(typed);
}

void ContractListView::search()
{
    m_show(m_list.search(m_value->currentText()));
}

void ContractListView::useCardReader()
{
    m_cardWatch = new devices::CardWatcher(1500, false, this);
    connect(m_cardWatch, &devices::CardWatcher::cardRead, this, &ContractListView::cardInserted);
    connect(m_cardWatch, &devices::CardWatcher::failed, this, [this](const QString& why) {
        // One box at a time: the watcher goes on looking while it is open.
        if (m_cardMessageOpen || platform::db::workingAway())
            return;
        m_cardMessageOpen = true;
        m_form.prompt().error(why);
        m_cardMessageOpen = false;
    });
    connect(m_key, &QComboBox::activated, this,
            [this](int i) { watchCards(ContractList::Key(i) == ContractList::Key::KuId); });
}

bool ContractListView::watchingCards() const
{
    return m_cardWatch && m_cardWatch->watching();
}

void ContractListView::watchCards(bool on)
{
    if (!m_cardWatch)
        return;
    if (!on) {
        m_cardWatch->stop();
        return;
    }
    const QString reader = devices::readerToWatch(devices::CardReader().readers());
    if (!reader.isEmpty())
        m_cardWatch->start(reader);
}

void ContractListView::cardInserted(const devices::IdCard& card)
{
    if (platform::db::workingAway()) {
        // A save is waiting for the server: the card's contract comes after it.
        QTimer::singleShot(200, this, [this, card] { cardInserted(card); });
        return;
    }
    m_value->setEditText(card.idNumber);
    m_form.prompt().information(QStringLiteral("อ่านเรียบร้อย ถอดการ์ดได้"));
    const auto found = m_list.search(card.idNumber, QStringLiteral("ไม่พบสัญญา ในฐานข้อมูล"));
    if (!found)
        m_form.clearShown(); // no other customer's contract stays under this card
    m_show(found);
}

bool ContractListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched == m_value->view()) {
        m_popupChoice = true;
        QTimer::singleShot(0, this, [this] { m_popupChoice = false; });
    }
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter)
        return QGroupBox::eventFilter(watched, event);
    if (watched == m_key) {
        m_value->setFocus();
        return true;
    }
    if (watched == m_value || watched == m_value->lineEdit()) {
        search(); // once: the list's own Enter handling never sees the key
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tawela::contracts
