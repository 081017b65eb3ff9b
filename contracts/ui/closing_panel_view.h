#pragma once

#include "platform/ui/screen_parts.h"

#include "contracts/contract_form.h"

#include <QGroupBox>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tawela::platform {
class FormBinding;
class ThaiDateEdit;
} // namespace tawela::platform

namespace tawela::contracts {

// "ไถ่ถอน" and "หลุดจำนำ" on the contract screen: the fields of the form's
// closing panel, read-only for a contract already closed.
class ClosingPanelView : public QGroupBox {
public:
    // `run` runs a command of the form and shows the result; `cancelled`
    // puts the cursor back after "ไม่ใช่".
    using Runner = platform::ui::Runner;
    ClosingPanelView(ContractForm& form, Runner run, std::function<void()> cancelled);

    void bind(platform::FormBinding& b);
    // After every command: the title, the question, the caption of the
    // surcharge, and whether the fields take input.
    void refresh();
    // "ใช่", where the cursor goes when the panel opens.
    QPushButton* confirmButton() const { return m_yes; }

private:
    ContractForm& m_form;
    platform::ThaiDateEdit *m_date = nullptr, *m_due = nullptr, *m_start = nullptr;
    QLineEdit *m_days = nullptr, *m_amount = nullptr, *m_surcharge = nullptr, *m_penalty = nullptr,
              *m_discount = nullptr, *m_total = nullptr;
    // "ยอดไถ่ถอนสูงสุดตามกฎหมาย" and "ใช้ยอดตามกฎหมาย", shown for a redemption
    // while the shop checks the law's limits.
    QLabel* m_lawfulCaption = nullptr;
    QLineEdit* m_lawful = nullptr;
    QPushButton* m_useLawful = nullptr;
    QLabel* m_question = nullptr;
    QLabel* m_chargeCaption = nullptr;
    QWidget* m_buttons = nullptr;
    QPushButton* m_yes = nullptr;
};

} // namespace tawela::contracts
