#pragma once

#include "contracts/contract_form.h"
#include "contracts/contract_list.h"
#include "platform/ui/picture_slots.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QMenu;

namespace tawela::platform {
class FormBinding;
class ThaiDateEdit;
} // namespace tawela::platform

namespace tawela::contracts {

class ClosingPanelView;
class ContractListView;
class GoodsPicturesView;
class DeletionPanelView;
class ReprintPanelView;
class RenewalEditView;
class RenewalPanelView;

// "ขายฝาก": the contract screen. It shows a ContractForm and a ContractList:
// each widget is bound once to its value in the form (every edit goes into
// the form at once), every command goes to the form, and refresh() shows
// what the form then holds.
class ContractScreen : public QWidget {
    Q_OBJECT
public:
    ContractScreen(std::unique_ptr<ContractForm> form, std::unique_ptr<ContractList> list,
                   QWidget* parent = nullptr);
    ~ContractScreen() override;

    ContractForm& form() { return *m_form; }
    ContractList& list() { return *m_list; }

    // Shows the form's state in the widgets.
    void refresh();

    // The tools menu's screens of other parts, opened by name ("move_close",
    // "move_back", "RollBack"); without an opener their entries stay off.
    using ToolOpener = std::function<void(const QString& screen)>;
    void useTools(ToolOpener open);

    // The ID card reader of this computer: "สแกนจากบัตร" opens its screen,
    // and the list's ID-number search takes the number of a card put in.
    void useCardReader(std::function<void()> openReader);

    // The picture slots' scan and webcam buttons, and their file dialog.
    void useCapture(platform::ui::CaptureOpener open);
    void setFileChooser(platform::ui::FileChooser chooser);
    bool watchingCards() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Not while a save waits for the server: the form it works on stays.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The fields of the three editing panels.
    struct Fields {
        QLineEdit *number, *customNumber, *witness1, *witness2, *place;
        platform::ThaiDateEdit* deposit;
        QLineEdit *days, *amount;
        QComboBox* rate;
        QLineEdit *interest, *payout, *redemption;
        platform::ThaiDateEdit* due;
        QCheckBox* withheld;
        QComboBox* table;
        QLineEdit *code, *name, *age, *idNumber, *phone;
        QPlainTextEdit *address, *details;
        QComboBox* group;
        QPlainTextEdit* goods;
        QLineEdit *weight, *serial, *otherDetail;
        QCheckBox* fake;
    };
    struct Commands {
        QPushButton *newContract, *renew, *redeem, *save, *documents, *forfeit, *feeTable,
            *deductTable, *remove, *exit;
        QPushButton *findCode, *findName, *findId, *customerTable, *scanCard;
    };

    void build();
    QGroupBox* buildContractPanel();
    QGroupBox* buildCustomerPanel();
    QGroupBox* buildGoodsPanel();
    void buildCommandBar(QLayout* into);
    void placeOnScreen();
    void bindFields();
    void bindPanels();
    void bindCommands();
    // Runs a command of the form and shows the result.
    void run(const std::function<void()>& command);
    void newContract();
    void save();
    void showFound(const std::optional<Contract>& found);
    QWidget* fieldOf(ContractForm::Field field) const;

    // The renewal history and the panels beside it.
    void buildLowerArea(QLayout* into);
    void buildToolsMenu(QLayout* into);
    void setupEnterOrder();
    void refreshCommands();
    void refreshNameList();
    void refreshHistory();
    void refreshPanels();
    void openTableEditor(bool interest);

    std::unique_ptr<ContractForm> m_form;
    std::unique_ptr<ContractList> m_list;
    platform::FormBinding* m_binding = nullptr;
    Fields m_f{};
    ClosingPanelView* m_closingView = nullptr;
    RenewalPanelView* m_renewalView = nullptr;
    RenewalEditView* m_editView = nullptr;
    DeletionPanelView* m_deletionView = nullptr;
    ReprintPanelView* m_reprintView = nullptr;
    ContractListView* m_listView = nullptr;
    Commands m_cmd{};
    QGroupBox* m_contractPanel = nullptr;
    QGroupBox* m_customerPanel = nullptr;
    QGroupBox* m_goodsPanel = nullptr;
    QWidget* m_closedPanel = nullptr;
    QWidget* m_forfeitedPanel = nullptr;
    QTableWidget* m_history = nullptr;
    QListWidget* m_nameList = nullptr;
    QStackedWidget* m_actions = nullptr;
    QHash<int, QWidget*> m_pages; // by ContractForm::Panel
    QGroupBox* m_closingPanel = nullptr;
    QMenu* m_tools = nullptr;
    QWidget* m_toolsButton = nullptr;
    QHash<QObject*, QWidget*> m_enterNext;
    std::function<void()> m_openCardReader;
    GoodsPicturesView* m_picturesView = nullptr;
};

} // namespace tawela::contracts
