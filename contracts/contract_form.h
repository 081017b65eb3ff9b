#pragma once

#include "app/session.h"
#include "app/settings.h"
#include "contracts/calculator.h"
#include "contracts/closing.h"
#include "contracts/contract.h"
#include "contracts/contract_store.h"
#include "contracts/documents.h"
#include "platform/prompt.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

namespace tawela::contracts {

// The contract screen's state and commands, without any widget: the fields
// of the three panels (held as a Contract), the money rules run on every
// change, the record and operation modes, which commands are on, and
// "สัญญาใหม่", showing a stored contract, "เพิ่ม", the witnesses and "จัดเก็บ".
class ContractForm {
public:
    // Which commands and panels the screen offers now.
    struct Commands {
        bool newContract = true, save = false, renew = false, redeem = false, documents = false,
             forfeit = false, interestTable = true, customerTable = true, remove = true;
        bool panels = true, tools = true, list = true, commandBar = true, history = true;
    };
    // The field a required-field check puts the cursor on.
    enum class Field { Address, ProductGroup, Amount, Redemption, Days, Interest };

    // Prints what a command asks for; the printer reports its own failures.
    using Printer = std::function<void(const PrintOrder& order)>;
    // The most renewals the history holds.
    static constexpr int MaxRenewals = 50;

    ContractForm(std::shared_ptr<platform::db::Database> main, app::Session session,
                 platform::Prompt& prompt, Printer printer = {});

    // Opening the screen: settings, lists, rights. False when the database
    // could not be read (the message was shown).
    bool open();
    // "สัญญาใหม่"; false when the generated number is taken: the message was
    // shown and the screen is to close.
    bool newContract(const QDate& today = QDate::currentDate());
    // Shows a stored contract with its renewal lines.
    void show(const Contract& stored);
    // "จัดเก็บ". Returns the field to put the cursor on when a required one
    // is missing; errors are shown. True in saved() afterwards when stored.
    std::optional<Field> save(const QDateTime& now = QDateTime::currentDateTime());
    bool saved() const { return m_saved; }
    // "เพิ่ม" for the typed product group: added once.
    void addProductGroup(const QString& group);
    // Double-click on a witness label.
    void fillWitness(int which);

    // Changes of the money fields, as typed (the leading number counts).
    void amountTyped(const QString& text);
    void daysTyped(const QString& text);
    void rateTyped(const QString& text);
    void ratePicked(const QString& text);
    void interestTyped(const QString& text);
    void withholdingSwitched(bool on);
    void dueDateChanged(const QDate& date);
    void depositDateChanged(const QDate& date);
    void tableChanged(const QString& tableNo);

    // "ต่อดอก": the panel with the current term; false when it was not
    // opened (history full, or an overdue contract the person declined).
    bool openRenewal(const QDate& today = QDate::currentDate());
    // After the fee, penalty or discount of the panel was typed.
    void renewalFiguresChanged() { renewal.recomputeTotal(); }
    // "ตกลง": a history row, the due date moved, the pending total raised.
    bool confirmRenewal();
    void cancelRenewal() { renewal.visible = false; }
    // Double-click on history row (0-based), then "แก้ไข" or "ไม่แก้ไข".
    void editRenewal(int row);
    void renewalEditFiguresChanged() { renewalEdit.recomputeTotal(); }
    void applyRenewalEdit();
    void cancelRenewalEdit();
    // Shift+Delete on a history row: the deletion mark on or off.
    void toggleRenewalMark(int row);

    // "ไถ่ถอน" and "หลุดจำนำ": the closing panel; false when declined.
    bool openRedemption(const QDate& today = QDate::currentDate());
    bool openForfeiture(const QDate& today = QDate::currentDate());
    // The panel's date or due date changed: days, then the surcharge.
    void closingDatesChanged();
    // The days typed: the surcharge and its caption.
    void closingDaysChanged();
    // The amount, surcharge, penalty or discount typed: the total.
    void closingFiguresChanged() { closing.recomputeTotal(); }
    // "ใช่": closes the contract (with its receipt for a redemption).
    bool confirmClosing(const QDateTime& now = QDateTime::currentDateTime());
    void cancelClosing() { closing.visible = false; }

    // "ลบ" (fromMenu false) and the tools menu's "ลบสัญญา".
    void askDelete(bool fromMenu);
    // "ใช่": true when the contract is gone and the screen is to close.
    bool confirmDelete();
    void cancelDelete();

    // The reprint panel's "พิมพ์" for the shown contract.
    void reprint(Reprint choice);

    Contract contract; // every field of the screen; money fields follow the calculator
    QList<RenewalLine> lines;
    Decimal pendingTotal; // renewals entered since the contract was shown
    RenewalPanel renewal;
    RenewalEditPanel renewalEdit;
    ClosingPanel closing;
    DeletePanel deletion;
    QString recordMode;   // "Addnew", "Edit" or empty
    OperationMode operation = OperationMode::None;
    bool closedPanel = false, forfeitedPanel = false;
    QStringList rateList, productGroups;
    const Commands& commands() const { return m_commands; }
    const app::Settings& settings() const { return m_settings; }
    ContractCalculator& calculator() { return *m_calc; }
    const std::shared_ptr<platform::db::Database>& database() const { return m_db; }
    const app::Session& session() const { return m_session; }
    platform::Prompt& prompt() const { return m_prompt; }

private:
    void syncFromCalculator();
    void pushToCalculator();
    void applyRights();
    void hidePanels();
    bool openClosing(ClosingPanel::Kind kind, const QDate& today);
    void computeClosingCharge();
    // The current term: its start and due date, from the last history row.
    std::pair<QDate, QDate> currentTerm() const;
    void print(const PrintOrder& order);
    // Reads the settings row again for what follows; false (said) when it fails.
    bool reloadSettings();
    // True (said) when the history holds all the renewals it can.
    bool historyFull();

    std::shared_ptr<platform::db::Database> m_db;
    app::Session m_session;
    platform::Prompt& m_prompt;
    Printer m_printer;
    app::Settings m_settings;
    RateTables m_tables;
    std::unique_ptr<ContractCalculator> m_calc;
    ContractStore m_store;
    Commands m_commands;
    QDate m_startedOn;
    qint64 m_startedWithRun = 0;
    bool m_saved = false;
    Commands m_beforeDelete;
    int m_unsavedRenewals = 0; // confirmed in the panel, not yet stored
};

} // namespace tawela::contracts
