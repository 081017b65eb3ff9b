#pragma once

#include "contracts/contract_form.h"
#include "contracts/contract_list.h"

#include <QHash>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tawela::platform {
class ThaiDateEdit;
}

namespace tawela::contracts {

// "ขายฝาก": the contract screen. It shows a ContractForm and a ContractList
// and passes every edit and command to them.
class ContractScreen : public QWidget {
    Q_OBJECT
public:
    ContractScreen(std::unique_ptr<ContractForm> form, std::unique_ptr<ContractList> list,
                   QWidget* parent = nullptr);

    ContractForm& form() { return *m_form; }
    ContractList& list() { return *m_list; }

    // Shows the form's state in the widgets.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* line(const QString& name, const QString& caption, QFormLayout* form);
    void build();
    void bindEdits();
    void readTexts();
    void newContract();
    void save();
    void search();
    void findNext();
    void showFound(const std::optional<Contract>& found);
    void refillValues();

    std::unique_ptr<ContractForm> m_form;
    std::unique_ptr<ContractList> m_list;
    QHash<QString, QLineEdit*> m_t;
    QPlainTextEdit* m_address = nullptr;
    QPlainTextEdit* m_details = nullptr;
    QPlainTextEdit* m_goods = nullptr;
    QComboBox* m_rate = nullptr;
    QComboBox* m_table = nullptr;
    QComboBox* m_group = nullptr;
    QComboBox* m_key = nullptr;
    QComboBox* m_value = nullptr;
    QCheckBox* m_withheld = nullptr;
    QCheckBox* m_fake = nullptr;
    platform::ThaiDateEdit* m_deposit = nullptr;
    platform::ThaiDateEdit* m_due = nullptr;
    QGroupBox* m_contractPanel = nullptr;
    QGroupBox* m_customerPanel = nullptr;
    QGroupBox* m_goodsPanel = nullptr;
    QGroupBox* m_listPanel = nullptr;
    QWidget* m_closedPanel = nullptr;
    QHash<QString, QPushButton*> m_commands;
    QPushButton* m_findNext = nullptr;
    QRadioButton* m_filters[3] = {};
    bool m_refreshing = false;
};

} // namespace tawela::contracts
