#pragma once

#include "app/session.h"
#include "app/settings.h"
#include "contracts/calculator.h"
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
        bool panels = true, tools = true, list = true, commandBar = true;
    };
    // The field a required-field check puts the cursor on.
    enum class Field { Address, ProductGroup, Amount, Redemption, Days, Interest };

    // Prints the documents a save asks for; failures come back as text.
    using Printer = std::function<void(const QList<PrintJob>& jobs, bool receipt)>;

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

    Contract contract; // every field of the screen; money fields follow the calculator
    QList<RenewalLine> lines;
    Decimal pendingTotal; // renewals entered since the contract was shown
    QString recordMode;   // "Addnew", "Edit" or empty
    OperationMode operation = OperationMode::None;
    bool closedPanel = false, forfeitedPanel = false;
    QStringList rateList, productGroups;
    const Commands& commands() const { return m_commands; }
    const app::Settings& settings() const { return m_settings; }
    ContractCalculator& calculator() { return *m_calc; }

private:
    void syncFromCalculator();
    void pushToCalculator();
    void applyRights();

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
};

} // namespace tawela::contracts
