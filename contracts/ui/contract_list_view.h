#pragma once

#include "contracts/contract_form.h"
#include "contracts/contract_list.h"
#include "devices/ui/card_watcher.h"

#include <QGroupBox>

#include <functional>
#include <optional>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace tawela::contracts {

// "(F5) คีย์ค้นหา": the contract list's key, the value searched for, the next
// match and the open / closed / all choice. With the ID-number key chosen, a
// card put in the reader searches its number.
class ContractListView : public QGroupBox {
public:
    // `show` shows what a search found (nothing when the search found nothing).
    using Shower = std::function<void(const std::optional<Contract>&)>;
    ContractListView(ContractForm& form, ContractList& list, Shower show,
                     std::function<void()> refreshScreen);

    // On opening: the first key, with the cursor on it unless it is elsewhere.
    void reset(bool focus);
    void focusKey();
    // A new contract is typed: the list shows the open contracts, nothing searched.
    void startNew();
    // Whether this screen may search; "หาถัดไป" when there is a next match.
    void refresh(bool enabled);
    // The first field after the key in the screen's Enter order.
    QWidget* keyBox() const;

    // Starts looking for cards while the ID-number key is chosen.
    void useCardReader();
    void watchCards(bool on);
    bool watchingCards() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void refillValues();
    void cardInserted(const devices::IdCard& card);

    ContractForm& m_form;
    ContractList& m_list;
    Shower m_show;
    std::function<void()> m_refreshScreen;
    QComboBox *m_key = nullptr, *m_value = nullptr;
    QPushButton* m_findNext = nullptr;
    QRadioButton* m_filters[3] = {};
    bool m_popupChoice = false;     // the value list's pop-up has just closed
    bool m_cardMessageOpen = false; // a card reader failure is being said
    devices::CardWatcher* m_cardWatch = nullptr;
};

} // namespace tawela::contracts
