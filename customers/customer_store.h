#pragma once

#include "customers/customer.h"
#include "platform/db/database.h"
#include "platform/db/recordset.h"

#include <memory>
#include <optional>

namespace tawela::customers {

// Why the customer screen is opened, and so which customers it shows.
enum class OpeningMode {
    All,              // the main menu, and every other reason
    Pick,             // "bill_find": the contract screen picks a customer
    ContractCustomer, // "chumnum_detail": the contract's customer with the history
    ByCode,           // "chumnum_detail_C_Code"
    ById,             // "chumnum_detail_ID"
    ByName,           // "chumnum_detail_C_Name"
};
struct Opening {
    OpeningMode mode = OpeningMode::All;
    QString value; // the code, ID number or name the contract screen had
};

// A title of the title list and the sex it stands for ("" when none).
struct Title {
    QString title, sex;
};

// The customer table of the customer database and its small lookup tables.
// Every value is bound; a command that writes several rows runs in one
// transaction. Throws DbError.
class CustomerStore {
public:
    explicit CustomerStore(std::shared_ptr<platform::db::Database> customer);

    // The customers an opening shows, highest code first.
    platform::db::Recordset open(const Opening& opening) const;
    // The customers that meet a filter, highest code first.
    platform::db::Recordset filtered(const platform::db::Condition& where) const;
    // The different values of a column that begin with the text, from the
    // whole table, at most limit of them (a find or filter value list).
    QStringList values(const QString& column, const QString& prefix, int limit) const;

    std::optional<Customer> byCode(const QString& code) const;
    std::optional<Customer> byIdNumber(const QString& idNumber) const;
    // "given-name family-name" as the name list shows it, or the given
    // name alone for a customer without a family name.
    std::optional<Customer> byFullName(const QString& fullName) const;
    // The name list: customers whose given name starts with the text, in
    // Thai order, at most limit of them.
    QStringList names(const QString& prefix, int limit) const;
    // What the name list shows for a customer.
    static QString listName(const QString& name, const QString& sname);

    // Stores a customer typed on the contract screen and not found, or the
    // empty record of "เพิ่ม" (into the set the screen shows, which then
    // stands on it); without a code it gets its own number as code. Returns
    // it as stored.
    Customer addBare(Customer customer, platform::db::Recordset* into = nullptr);

    // Another customer already has this code / ID number (a code compared
    // as it is stored: without blanks around it).
    bool codeTaken(const QString& code, qint64 exceptId) const
    {
        return taken("C_code", code.trimmed(), exceptId);
    }
    bool idNumberTaken(const QString& idNumber, qint64 exceptId) const
    {
        return taken("C_ID", idNumber, exceptId);
    }

    // The stored version of the customer's row, none when it is gone. Inside
    // a transaction, the row stays locked to it until the commit.
    std::optional<qint64> storedVersion(qint64 id) const;

    // The code a customer added without one gets: its own number, or one
    // above the highest number in use when another customer has that code.
    QString ownCodeOf(qint64 id) const;

    QStringList groups() const;
    QStringList statuses() const;
    QList<Title> titles() const;
    // Captions of user1 … user5: the first rows of user_column, in table
    // order; "userN" where the table has fewer rows.
    QStringList userCaptions() const;

    // The yearly age update: every customer with a birth date, in the whole
    // table. Returns how many were updated.
    qsizetype updateAllAges(const QDate& today = QDate::currentDate());
    // Recomputes the three address lines of every row of the set.
    void correctAddresses(platform::db::Recordset& shown);
    // Deletes every row of the set.
    void removeAll(platform::db::Recordset& shown);

    const std::shared_ptr<platform::db::Database>& database() const { return m_db; }

private:
    std::optional<Customer> first(const platform::db::Condition& where) const;
    bool taken(const char* column, const QString& value, qint64 exceptId) const;
    QStringList column(const QString& table, const QString& column, const QString& order) const;

    std::shared_ptr<platform::db::Database> m_db;
};

} // namespace tawela::customers
