#pragma once

#include "contracts/contract_form.h"
#include "contracts/contract_list.h"

#include <QHash>
#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QMenu;
class QAction;

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* line(const QString& name, const QString& caption, QFormLayout* form);
    void build();
    void placeOnScreen();
    void bindEdits();
    void readTexts();
    void newContract();
    void save();
    void search();
    void findNext();
    void showFound(const std::optional<Contract>& found);
    void refillValues();

    // The renewal history and the panels beside it.
    void buildLowerArea(QLayout* into);
    QGroupBox* buildRenewalPanel();
    QGroupBox* buildEditPanel();
    QGroupBox* buildClosingPanel();
    QGroupBox* buildDeletePanel();
    QGroupBox* buildReprintPanel();
    void buildToolsMenu(QLayout* into);
    void bindCommands();
    void setupEnterOrder();
    void refreshHistory();
    void refreshPanels();
    void openTableEditor(bool interest);
    void focusCommand(const char* name);
    platform::ThaiDateEdit* dateField(const QString& name);
    template <typename Panel>
    void renewalFigures(QFormLayout* into, Panel ContractForm::*panel,
                        const std::array<const char*, 5>& names);
    template <typename Panel>
    void showRenewalFigures(const Panel& panel, const std::array<const char*, 5>& names);
    QLineEdit* panelLine(const QString& name, const QString& caption, QFormLayout* form,
                         std::function<void(const QString&)> edited);

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
    QWidget* m_forfeitedPanel = nullptr;
    QTableWidget* m_history = nullptr;
    QStackedWidget* m_actions = nullptr;
    QWidget* m_blankPage = nullptr;
    QGroupBox* m_renewalPanel = nullptr;
    QGroupBox* m_editPanel = nullptr;
    QGroupBox* m_closingPanel = nullptr;
    QGroupBox* m_deletePanel = nullptr;
    QGroupBox* m_reprintPanel = nullptr;
    QHash<QString, platform::ThaiDateEdit*> m_dates;
    QLabel* m_dayCaption = nullptr;
    QLabel* m_closingQuestion = nullptr;
    QLabel* m_chargeCaption = nullptr;
    QWidget* m_closingButtons = nullptr;
    QRadioButton* m_reprint[6] = {};
    bool m_reprintOpen = false;
    QMenu* m_tools = nullptr;
    QWidget* m_toolsButton = nullptr;
    QHash<QObject*, QWidget*> m_enterNext;
    QHash<QString, QPushButton*> m_commands;
    QPushButton* m_findNext = nullptr;
    QRadioButton* m_filters[3] = {};
    bool m_refreshing = false;
};

} // namespace tawela::contracts
