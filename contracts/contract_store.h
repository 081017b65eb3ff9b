#pragma once

#include "contracts/contract.h"
#include "platform/db/database.h"
#include "platform/db/work_away.h"

#include <QDateTime>

#include <memory>
#include <optional>

namespace tawela::contracts {

// A receipt line (service).
struct Receipt {
    QString number;     // filled by the store
    QString contractNo; // the contract it was paid on
    QString description;
    QString group; // the goods' kind
    QString kind;  // "ต่อดอก", "ไถ่ถอน"
    qint64 quantity = 1;
    Decimal price; // the principal of a redemption, 0 for a renewal
    Decimal total; // what was paid
    QString payMethod = QStringLiteral("เงินสด");
    QDate date;
    QTime time;
    QString customerCode, employee;
    QString totalWords; // the total in Thai words
    QString customerName, customerAddress;
};

template <typename Row, typename R> void mapReceiptColumns(Row& row, R& r)
{
    row.text(QStringLiteral("recv_no"), r.number);
    row.text(QStringLiteral("prod_code"), r.contractNo);
    row.text(QStringLiteral("description"), r.description);
    row.text(QStringLiteral("s_group"), r.group);
    row.text(QStringLiteral("s_group2"), r.kind);
    row.integer(QStringLiteral("quan"), r.quantity);
    row.decimal(QStringLiteral("price"), r.price);
    row.decimal(QStringLiteral("tt_price"), r.total);
    row.text(QStringLiteral("pay_method"), r.payMethod);
    row.date(QStringLiteral("s_date"), r.date);
    row.time(QStringLiteral("s_time"), r.time);
    row.text(QStringLiteral("c_code"), r.customerCode);
    row.text(QStringLiteral("employee"), r.employee);
    row.text(QStringLiteral("wordsay"), r.totalWords);
    row.text(QStringLiteral("Ku_name"), r.customerName);
    row.text(QStringLiteral("Ku_address"), r.customerAddress);
}

// An expense row (spending).
struct Expense {
    QString description; // cut to ExpenseDescriptionLength when stored
    QString group, kind; // the goods' kind, "ขายฝาก"
    qint64 quantity = 1;
    Decimal price, total;
    QDate date;
    QString employee, customerCode;
};

template <typename Row, typename E> void mapExpenseColumns(Row& row, E& e)
{
    row.text(QStringLiteral("description"), e.description);
    row.text(QStringLiteral("s_group"), e.group);
    row.text(QStringLiteral("s_group2"), e.kind);
    row.integer(QStringLiteral("quan"), e.quantity);
    row.decimal(QStringLiteral("price"), e.price);
    row.decimal(QStringLiteral("tt_price"), e.total);
    row.date(QStringLiteral("s_date"), e.date);
    row.text(QStringLiteral("employee"), e.employee);
    row.text(QStringLiteral("c_code"), e.customerCode);
}

// Everything one press of "จัดเก็บ" stores.
struct SaveRequest {
    Contract contract;  // the values shown on the screen
    bool isNew = false; // record mode "Addnew"
    // For a new contract: the day it was started and the run number its
    // shown number was formed from. When another copy of the program took
    // that number in the meantime, the save takes the next free one.
    QDate startedOn;
    qint64 startedWithRun = 0;
    QList<RenewalLine> lines; // the renewal history grid, in order
    OperationMode mode = OperationMode::None;
    Decimal receiptTotal; // renewals entered since the contract was shown
    QString employeeName;
    QString fakeProductText;
    QDateTime now = QDateTime::currentDateTime();
};

// What closing a contract by redemption or forfeiture writes on its row.
// The three optional figures are written only when given.
struct Closing {
    QString policyNo;
    QDate closeDate;
    Decimal amount;  // the principal closed
    qint64 days = 0; // held since the last movement
    std::optional<Decimal> fee, surcharge, discount;
    Decimal total;
    bool forfeited = false; // over_due is set only by a forfeiture
    bool open = false;      // a closed contract is open no more
    qint64 rowVersion = 0;  // of the contract as shown
};

// The columns of the contract row a closing writes (the key and the row
// version are the store's).
template <typename Row, typename C> void mapClosingColumns(Row& row, C& c)
{
    using platform::db::Write;
    row.boolean(QStringLiteral("P_status"), c.open);
    row.boolean(QStringLiteral("over_due"), c.forfeited,
                c.forfeited ? Write::Always : Write::Never);
    row.date(QStringLiteral("Close_date"), c.closeDate);
    row.decimal(QStringLiteral("L_amount"), c.amount);
    row.integer(QStringLiteral("total_day"), c.days);
    row.optionalDecimal(QStringLiteral("L_fee"), c.fee);
    row.optionalDecimal(QStringLiteral("L_plub"), c.surcharge);
    row.optionalDecimal(QStringLiteral("L_discount"), c.discount);
    row.decimal(QStringLiteral("L_total"), c.total);
}

struct SaveResult {
    QString policyNo; // as stored (may differ from the request for a new contract)
    QString refNo;
    QString receiptNo; // empty when the save wrote no receipt
    // Set when nothing was stored because another copy used the run number
    // of the new contract's shown number: the number it would get now.
    QString renumberedTo;
    qint64 renumberedRun = 0;
};

// "สัญญานี้ถูกแก้ไขจากเครื่องอื่น …": a write refused because the stored
// contract is no longer what the screen read.
QString changedElsewhereText();

// The contract records of the main database: numbering, contracts with
// their renewal lines, expense rows and receipts.
class ContractStore {
public:
    explicit ContractStore(std::shared_ptr<platform::db::Database> main);

    qint64 currentRun() const;
    // Contracts moved to the archive keep their numbers: a number there
    // counts as taken, and a new contract cannot be stored under it.
    void useArchive(std::shared_ptr<platform::db::Database> archive)
    {
        m_archive = std::move(archive);
    }
    bool contractNumberTaken(const QString& number) const;
    // The same store on the connections of a unit of work run away from
    // the screen (platform::db::workAway).
    ContractStore on(const platform::db::Away& away) const
    {
        ContractStore store(away.use(m_db));
        if (m_archive)
            store.useArchive(away.use(m_archive));
        return store;
    }

    std::optional<Contract> find(const QString& policyNo) const;
    // Whether a contract of that number was moved to the archive.
    bool archived(const QString& number) const;
    // The contract a receipt was paid on: empty when the receipt names none,
    // nothing when there is no such receipt.
    std::optional<QString> receiptContract(const QString& receiptNo) const;
    // The stored renewal lines of a contract, in stored order.
    QList<RenewalLine> renewalLines(const QString& policyNo) const;

    // Stores the contract, rewrites its renewal lines and writes the expense
    // row or the receipt of the operation mode, all in one transaction: on any
    // failure nothing is stored and no counter is used. A duplicate contract
    // number fails with DbError 3022; a stored contract that changed since it
    // was read (another copy saved or closed it) with 3197. A new contract
    // whose run number was taken meanwhile stores nothing and says so in the
    // result. Throws DbError.
    SaveResult save(const SaveRequest& request);

    // Closes the contract and, when given, writes the receipt under the next
    // receipt number, in one transaction. Returns the receipt number (empty
    // without a receipt). Throws DbError, also when the contract is gone.
    QString close(const Closing& closing, const std::optional<Receipt>& receipt);

    // Removes the contract and its renewal lines together. False when there
    // is no such contract. Throws DbError, also when the row is no longer at
    // the given version; then nothing is removed.
    bool remove(const QString& policyNo, std::optional<qint64> rowVersion = std::nullopt);

    // Pre_Recv & run_recv; run_recv is raised and stored. Call inside the
    // transaction that stores the receipt, so a failure gives the number back.
    QString takeReceiptNumber();
    // Appends a receipt under the next receipt number; returns the number.
    QString addReceipt(Receipt receipt);
    void addExpense(const Expense& expense);

    const std::shared_ptr<platform::db::Database>& database() const { return m_db; }

private:
    // Inside the command's transaction, before anything is read.
    void lockWriters() const;

    std::shared_ptr<platform::db::Database> m_db;
    std::shared_ptr<platform::db::Database> m_archive;
};

} // namespace tawela::contracts
