#pragma once

#include "admin/session.h"
#include "admin/settings.h"
#include "contracts/calculator.h"
#include "contracts/closing.h"
#include "contracts/contract.h"
#include "contracts/contract_panels.h"
#include "contracts/contract_store.h"
#include "contracts/documents.h"
#include "customers/customer_store.h"
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
    // What the screen is doing with its contract. The commands on follow
    // from it, the open panel and the rights, in commands().
    enum class Stage {
        Empty,    // opened, nothing shown yet
        Entering, // "สัญญาใหม่": a new contract being entered (record mode "Addnew")
        JustSaved, // a new contract stored; renewed or closed only once shown again
        Open,      // a stored open contract shown
        Closed,    // a redeemed or forfeited contract shown
    };
    // Which commands and panels the screen offers now.
    struct Commands {
        bool newContract = true, save = false, renew = false, redeem = false, documents = false,
             forfeit = false, customerTable = true, remove = true;
        // "ตารางดอก" and "ตารางส่วนลด": both by the Blacklist right.
        bool interestTable = true;
        bool panels = true, tools = true, list = true, commandBar = true, history = true;
    };
    // The field a refused save puts the cursor on.
    enum class Field {
        Address,
        ProductGroup,
        Amount,
        Redemption,
        Days,
        Interest,
        Payout,
        DepositDate,
        DueDate,
        Number,
        History, // the row refusedRow of the renewal history
    };

    // The largest amount of money and the most days a field takes: what the
    // words of an amount can still say and what a term can sensibly hold.
    static constexpr std::int64_t MaxBaht = 9'999'999'999;
    static constexpr std::int64_t MaxDays = 9'999;
    static constexpr std::int64_t MaxRate = 100; // percent a month

    // Prints what a command asks for; the printer reports its own failures.
    using Printer = std::function<void(const PrintOrder& order)>;
    // The most renewals the history holds.
    static constexpr int MaxRenewals = 50;

    ContractForm(std::shared_ptr<platform::db::Database> main, admin::Session session,
                 platform::Prompt& prompt, Printer printer = {});

    // Opening the screen: settings, lists, rights. False when the database
    // could not be read (the message was shown).
    bool open();
    // "สัญญาใหม่"; false when the generated number is taken: the message was
    // shown and the screen is to close.
    bool newContract(const QDate& today = QDate::currentDate());
    // Empties the screen (a card whose number has no contract): nothing of
    // the contract shown before stays.
    void clearShown();
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
    // False when the text cannot be kept as typed (too many decimals, beyond
    // the largest amount): the person was told and the value stays as it was.
    bool amountTyped(const QString& text);
    bool daysTyped(const QString& text);
    bool rateTyped(const QString& text);
    bool ratePicked(const QString& text);
    bool interestTyped(const QString& text);
    bool payoutTyped(const QString& text);
    bool redemptionTyped(const QString& text);
    void withholdingSwitched(bool on);
    // An invalid date (a text that is no date) is held as such; the save
    // refuses it.
    void dueDateChanged(const QDate& date);
    void depositDateChanged(const QDate& date);
    void tableChanged(const QString& tableNo);
    // A figure of the renewal, correction or closing panel typed into
    // `into`; false (said) when it cannot be kept.
    bool figureTyped(QString& into, const QString& text);

    // The panels.
    RenewalCommands& renewals() { return m_renewals; }
    const RenewalCommands& renewals() const { return m_renewals; }
    ClosingCommands& closings() { return m_closings; }
    const ClosingCommands& closings() const { return m_closings; }
    DeletionCommands& deletion() { return m_deletion; }
    ReprintCommands& reprints() { return m_reprints; }
    CustomerLookup& customer() { return m_customerLookup; }
    const CustomerLookup& customer() const { return m_customerLookup; }
    GoodsPictures& pictures() { return m_pictures; }

    // The archive of closed contracts, whose numbers stay taken.
    void useArchive(std::shared_ptr<platform::db::Database> archive)
    {
        m_store.useArchive(std::move(archive));
    }
    // The one panel shown beside the history: what the person is doing
    // comes before what is only shown.
    enum class Panel { None, Renewal, RenewalEdit, Closing, Delete, Reprint, ClosedFigures };
    Panel panel() const;

    Contract contract; // every field of the screen; money fields follow the calculator
    QList<RenewalLine> lines;
    Decimal pendingTotal; // renewals entered since the contract was shown
    // The figure of the renewal or correction panel refused last, for the
    // cursor; the history row a save refused.
    std::optional<RenewalFigure> refusedFigure;
    int refusedRow = -1;
    OperationMode operation = OperationMode::None;
    QStringList rateList, productGroups;
    Stage stage() const { return m_stage; }
    // "Addnew" while a new contract is entered, "Edit" once one is stored.
    QString recordMode() const;
    // The marks "สัญญาปิด" and "หลุดจำนำ".
    bool closedPanel() const { return m_stage == Stage::Closed; }
    bool forfeitedPanel() const { return m_stage == Stage::Closed && contract.overDue; }
    Commands commands() const;
    const admin::Settings& settings() const { return m_settings; }
    ContractCalculator& calculator() { return *m_calc; }
    const std::shared_ptr<platform::db::Database>& database() const { return m_db; }
    const admin::Session& session() const { return m_session; }
    platform::Prompt& prompt() const { return m_prompt; }

private:
    enum class Limit { Money, Days, Rate };
    // Reads a typed number; nullopt (said) when it cannot be kept.
    std::optional<Decimal> typedNumber(const QString& text, Limit limit);
    // Reads a typed number and runs the rule with it; false when refused.
    bool applyTyped(const QString& text, Limit limit, const std::function<void(Decimal)>& rule);
    // The renewal figures checked (said, refusedFigure set when refused).
    bool figuresKept(const QString& fee, const QString& penalty, const QString& discount,
                     const QString& total, const QString& principal = QStringLiteral("0"));
    // The sound-value checks of the save after the required fields.
    std::optional<Field> refusedValue();
    // False (said, a reload offered) when another copy changed or closed
    // the shown contract since it was read.
    bool stillAsStored();
    void offerReload();
    void applyRights(Commands& commands) const;
    void hidePanels();
    // The current term: its start and due date, from the last history row.
    std::pair<QDate, QDate> currentTerm() const;
    // The payoff table of the contract's current term, as its documents take it.
    QStringList payoffValues() const;
    void print(const PrintOrder& order);
    // Reads the settings row again for what follows; false (said) when it fails.
    bool reloadSettings();
    // True (said) when the history holds all the renewals it can.
    bool historyFull();

    std::shared_ptr<platform::db::Database> m_db;
    admin::Session m_session;
    platform::Prompt& m_prompt;
    Printer m_printer;
    admin::Settings m_settings;
    RateTables m_tables;
    std::unique_ptr<ContractCalculator> m_calc;
    ContractStore m_store;
    Stage m_stage = Stage::Empty;
    QDate m_startedOn;
    qint64 m_startedWithRun = 0;
    bool m_saved = false;
    int m_unsavedRenewals = 0; // confirmed in the panel, not yet stored
    OperationMode m_operationBeforePanel = OperationMode::None; // given back on cancel
    RenewalCommands m_renewals{*this};
    ClosingCommands m_closings{*this};
    DeletionCommands m_deletion{*this};
    ReprintCommands m_reprints{*this};
    CustomerLookup m_customerLookup{*this};
    GoodsPictures m_pictures{*this};

    friend class RenewalCommands;
    friend class ClosingCommands;
    friend class DeletionCommands;
    friend class ReprintCommands;
    friend class CustomerLookup;
    friend class GoodsPictures;
};

} // namespace tawela::contracts
