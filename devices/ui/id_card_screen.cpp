#include "devices/ui/id_card_screen.h"

#include "devices/ui/card_panel.h"
#include "platform/ui/screen_parts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::devices {

namespace {
const QString NoReader = QStringLiteral("<ต่อเครื่องอ่านบัตร>");
}

IdCardScreen::IdCardScreen(std::unique_ptr<CardForm> form, platform::Prompt& prompt,
                           QWidget* parent)
    : QWidget(parent), m_form(std::move(form)), m_prompt(prompt), m_watcher(500, true)
{
    setObjectName(QStringLiteral("IDcard"));
    setWindowTitle(QStringLiteral("ID Card Reader"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    m_readers = platform::ui::captioned(new QComboBox, QStringLiteral("Card reader:"));
    m_readers->setObjectName(QStringLiteral("cboReader"));
    k->addRow(QStringLiteral("Card reader:"), m_readers);
    v->addLayout(k);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    v->addWidget(m_status);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("ความคืบหน้าการอ่านบัตร"));
    m_progress->hide();
    v->addWidget(m_progress);
    m_panel = new CardPanel;
    v->addWidget(m_panel, 1);
    m_store = platform::ui::button("cmdSave", QStringLiteral("     จัดเก็บ        ลงฐานข้อมูล"));
    m_store->setAccessibleName(QStringLiteral("จัดเก็บ ลงฐานข้อมูล"));
    QPushButton* exit = platform::ui::button("cmdExit", QStringLiteral("ออก"));
    v->addLayout(platform::ui::rightAligned({m_store, exit}));

    // The reader list and the service's word on itself (quick calls).
    const CardReader reader;
    const QStringList names = reader.readers();
    if (names.isEmpty())
        m_readers->addItem(NoReader);
    else
        m_readers->addItems(names);
    const QString watched = readerToWatch(names);
    if (!watched.isEmpty())
        m_readers->setCurrentText(watched);
    const CardReader::Status status = reader.libraryStatus();
    setStatus(status.text, status.ok && !names.isEmpty());
    m_store->setEnabled(false);

    connect(&m_watcher, &CardWatcher::noCard, this, [this] {
        m_progress->setValue(0);
        m_progress->hide();
    });
    connect(&m_watcher, &CardWatcher::progress, this, [this](int p) {
        m_progress->show();
        m_progress->setValue(p);
    });
    // The text at once; the photo, the look-up and storing when it comes.
    connect(&m_watcher, &CardWatcher::textRead, this, [this](const IdCard& card) {
        m_store->setEnabled(false);
        m_panel->setCard(card);
        setStatus(QStringLiteral("กำลังอ่านรูปถ่ายจากบัตร…"), true);
    });
    connect(&m_watcher, &CardWatcher::cardRead, this, &IdCardScreen::showCard);
    connect(&m_watcher, &CardWatcher::failed, this, [this](const QString& why) {
        m_progress->hide();
        setStatus(why, false);
        // Nobody from before may be stored under this read.
        m_form->readFailed();
        m_panel->clear();
        m_store->setEnabled(false);
    });
    if (!watched.isEmpty())
        m_watcher.start(watched);
    connect(m_readers, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (name == NoReader)
            return;
        chooseReader(name); // the contract screen's polling follows it
        m_watcher.start(name);
    });

    connect(m_store, &QPushButton::clicked, this, [this] { m_form->store(); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

IdCardScreen::~IdCardScreen() = default;

bool IdCardScreen::waitingForRemoval() const
{
    return m_watcher.waitingForRemoval();
}

void IdCardScreen::setStatus(const QString& text, bool ok)
{
    m_status->setText(text);
    m_status->setStyleSheet(ok ? QStringLiteral("color: #1F4FA8")
                               : QStringLiteral("color: #B22222"));
}

void IdCardScreen::showCard(const IdCard& card)
{
    m_panel->setCard(card);
    m_progress->setValue(100);
    setStatus(QStringLiteral("อ่านบัตรของ ") + card.thaiFirst + u' ' + card.thaiLast +
                  QStringLiteral(" แล้ว"),
              true);
    m_prompt.information(QStringLiteral("อ่านเรียบร้อย ถอดการ์ดได้"));
    // Without its photo the person is neither looked up nor stored.
    m_store->setEnabled(false);
    m_form->cardRead(card, m_panel->picture());
    m_store->setEnabled(m_form->storeAllowed());
}

void IdCardScreen::closeEvent(QCloseEvent* event)
{
    m_watcher.stop();
    QWidget::closeEvent(event);
}

} // namespace tawela::devices
