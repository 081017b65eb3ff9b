#pragma once

#include "platform/ui/screen_parts.h"

#include "contracts/ui/panel_binding.h"

#include <QGroupBox>

#include <functional>

class QLabel;

namespace tawela::platform {
class ThaiDateEdit;
}

namespace tawela::contracts {

// "ต่อดอก" on the contract screen: the renewal panel of the form's renewal
// commands, with the current term's dates and the days held so far.
class RenewalPanelView : public QGroupBox {
public:
    using Runner = platform::ui::Runner;
    // `done` puts the cursor back once the panel closed.
    RenewalPanelView(ContractForm& form, Runner run, std::function<void()> done);

    void bind(platform::FormBinding& b);
    void refresh();
    const RenewalFigureFields& figures() const { return m_figures; }
    ContractForm& form() const { return m_form; }
    platform::ThaiDateEdit* currentDue() const { return m_currentDue; }

private:
    ContractForm& m_form;
    RenewalFigureFields m_figures;
    platform::ThaiDateEdit *m_currentDue = nullptr, *m_newDue = nullptr, *m_on = nullptr;
    QLabel* m_dayCaption = nullptr;
};

// "แก้ไขรายการต่อดอก": a history row's figures and dates corrected.
class RenewalEditView : public QGroupBox {
public:
    using Runner = RenewalPanelView::Runner;
    RenewalEditView(ContractForm& form, Runner run, std::function<void()> done);

    void bind(platform::FormBinding& b);
    const RenewalFigureFields& figures() const { return m_figures; }
    ContractForm& form() const { return m_form; }

private:
    ContractForm& m_form;
    RenewalFigureFields m_figures;
    platform::ThaiDateEdit *m_on = nullptr, *m_due = nullptr;
};

} // namespace tawela::contracts
