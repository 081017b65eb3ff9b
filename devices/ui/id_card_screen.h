#pragma once

#include "devices/card_form.h"
#include "devices/card_reader.h"

#include <QThread>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tawela::devices {

class CardPanel;

// Talks to the reader on a thread of its own, so the screen never waits.
class CardWorker : public QObject {
    Q_OBJECT
public:
    // Is a card in the reader; when `read` and it is, read it whole.
    void check(const QString& reader, bool read);

Q_SIGNALS:
    void absent();
    void present();
    void progress(int percent);
    void readDone(const tawela::devices::IdCard& card);
    void readFailed(const QString& why);

private:
    CardReader m_reader;
};

// "ID Card Reader": waits for a card, shows it, finds or stores the person,
// and hands them to the screen that opened it. Each card is read once until
// it is taken out.
class IdCardScreen : public QWidget {
    Q_OBJECT
public:
    explicit IdCardScreen(std::unique_ptr<CardForm> form, platform::Prompt& prompt,
                          QWidget* parent = nullptr);
    ~IdCardScreen() override;
    CardForm& form() { return *m_form; }
    CardPanel* panel() const { return m_panel; }
    // A read is under way or a card is shown and still in the reader.
    bool waitingForRemoval() const;

Q_SIGNALS:
    void check(const QString& reader, bool read);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cardTick();
    void removalTick();
    void showCard(const IdCard& card);
    void setStatus(const QString& text, bool ok);

    std::unique_ptr<CardForm> m_form;
    platform::Prompt& m_prompt;
    QThread m_thread;
    CardWorker* m_worker;
    QComboBox* m_readers;
    QLabel* m_status;
    QProgressBar* m_progress;
    CardPanel* m_panel;
    QPushButton* m_store;
    QTimer *m_cardTimer, *m_removalTimer;
    bool m_busy = false;
};

} // namespace tawela::devices
