#pragma once

#include "devices/card_form.h"
#include "devices/ui/card_watcher.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tawela::devices {

class CardPanel;

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showCard(const IdCard& card);
    void setStatus(const QString& text, bool ok);

    std::unique_ptr<CardForm> m_form;
    platform::Prompt& m_prompt;
    CardWatcher m_watcher;
    QComboBox* m_readers;
    QLabel* m_status;
    QProgressBar* m_progress;
    CardPanel* m_panel;
    QPushButton* m_store;
};

} // namespace tawela::devices
