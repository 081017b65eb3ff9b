#pragma once

#include "platform/ui/screen_parts.h"

#include "contracts/contract_form.h"

#include <QGroupBox>

#include <functional>

class QPushButton;
class QRadioButton;

namespace tawela::contracts {

// "ลบสัญญา": the question before a contract is deleted.
class DeletionPanelView : public QGroupBox {
public:
    using Runner = platform::ui::Runner;
    // `confirmed` hears whether the contract is gone (the screen then closes).
    DeletionPanelView(ContractForm& form, Runner run, std::function<void(bool removed)> confirmed);
    QPushButton* confirmButton() const { return m_yes; }

private:
    ContractForm& m_form;
    QPushButton* m_yes = nullptr;
};

// "ใบขายฝาก": the documents of the shown contract to print again.
class ReprintPanelView : public QGroupBox {
public:
    using Runner = DeletionPanelView::Runner;
    // `closed` puts the cursor back once the panel closed.
    ReprintPanelView(ContractForm& form, Runner run, std::function<void()> closed);
    QPushButton* printButton() const { return m_print; }

private:
    ContractForm& m_form;
    QRadioButton* m_choices[6] = {};
    QPushButton* m_print = nullptr;
};

} // namespace tawela::contracts
