#pragma once

#include "admin/session.h"
#include "customers/customer_filter.h"
#include "customers/customer_history.h"
#include "customers/customer_import.h"
#include "customers/customer_panels.h"
#include "customers/customer_reports.h"
#include "customers/customer_store.h"
#include "customers/postal_directory.h"
#include "platform/mail.h"
#include "platform/prompt.h"

#include <functional>
#include <memory>
#include <optional>

namespace tawela::platform::db {
class DbError;
}

namespace tawela::customers {

class ExportError;

// The customer screen's state and commands, without any widget: the record
// set it shows and the current customer's fields, the lists, adding, saving,
// deleting, the address lookups, the birth date with age and month, the ID
// number check, the yearly age update, "Correct All Address" and the
// hand-back of a picked customer to the contract screen.
class CustomerForm {
public:
    // The field a refused save puts the cursor on.
    enum class Field {
        Code,
        Name,
        IdNumber,
        BirthDate,
        Age,
        User4,
        User5,
        District,
        SubDistrict,
        PostCode,
        LongText, // the field of longTextColumn()
    };
    // Which commands and panels the screen offers now.
    struct Commands {
        bool add = true, remove = true, save = true, cancel = false, exit = true;
        bool tools = true, record = true, gridEditable = true, idCard = false, pick = false;
        bool exportOne = false, exportAll = false, reports = false;
    };
    // The labels whose double-click copies the shop's own address.
    using ShopPart = customers::ShopPart;
    using PickHandler = std::function<void(const CustomerCard&)>;

    CustomerForm(std::shared_ptr<platform::db::Database> customerDb,
                 std::shared_ptr<platform::db::Database> main, admin::Session session,
                 platform::Prompt& prompt);

    // Reads the lists and the customers of the opening; the first becomes
    // current. A failure is shown and the screen keeps what it read.
    void open(const Opening& opening, PickHandler onPick = {});

    qsizetype count() const;
    // 0-based; -1 without a current customer.
    qsizetype position() const;
    // "3/120"
    QString positionText() const;
    bool hasCurrent() const { return m_current; }

    // Moves to another customer. Unsaved edits are offered for saving
    // first; false when the form stayed (a refused save).
    bool moveTo(qsizetype position);
    // The data read afresh and the person of this ID number shown (after
    // the card reader stored or found them). False when they are not there.
    bool showPerson(const QString& idNumber);
    bool moveFirst() { return moveTo(0); }
    bool moveLast() { return moveTo(count() - 1); }
    bool moveNext() { return moveTo(position() + 1); }
    bool movePrevious() { return moveTo(position() - 1); }

    // "เพิ่ม": a stored record whose code is its own number; "ยกเลิก"
    // removes it again while it was never saved.
    bool add();
    void cancelAdd();
    // "จัดเก็บ"; the field to put the cursor on when refused.
    std::optional<Field> save(const QDate& today = QDate::currentDate());
    // True when the shown fields differ from what is stored.
    bool unsaved() const;
    // Before the screen closes: false when the person chose to stay.
    bool close();

    // "ลบ", then "ใช่" (with Shift: every customer shown) or "ไม่ใช่".
    void askDelete() { m_deleteAsked = true; }
    bool deleteAsked() const { return m_deleteAsked; }
    void confirmDelete(bool everyShown);
    void cancelDelete() { m_deleteAsked = false; }

    // "Check"
    void checkIdNumber();

    // A title chosen: the sex that goes with it.
    void titleChosen(const QString& title);

    void birthDatePicked(const QDate& date, const QDate& today = QDate::currentDate());
    // Enter in the birth-date text.
    void birthTextEntered(const QDate& today = QDate::currentDate());
    void user5Picked(const QDate& date);

    // Double-click on the birth-date label; true: the screen closes.
    bool updateAllAges(const QDate& today = QDate::currentDate());
    void correctAllAddresses();

    // The find panel's pick button: in pick mode hands the shown customer to
    // the contract screen and gives true (the screen closes).
    bool pick();

    // The panels.
    CustomerAddress& address() { return m_address; }
    const CustomerAddress& address() const { return m_address; }
    CustomerFind& finder() { return m_find; }
    const CustomerFind& finder() const { return m_find; }
    CustomerFilter& filter() { return m_filter; }
    const CustomerFilter& filter() const { return m_filter; }
    CustomerSpreadsheets& spreadsheets() { return m_sheets; }
    CustomerReportsPanel& reports() { return m_reportPanel; }
    const CustomerReportsPanel& reports() const { return m_reportPanel; }
    CustomerHistoryView& historyView() { return m_history; }
    const CustomerHistoryView& historyView() const { return m_history; }
    CustomerMail& mail() { return m_mail; }
    const CustomerMail& mail() const { return m_mail; }
    CustomerFiles& files() { return m_files; }
    const CustomerFiles& files() const { return m_files; }
    using MailJob = customers::MailJob;
    using FileView = customers::FileView;
    using MailPanel = customers::MailPanel;
    static constexpr int ImportColumns = 49; // A … AW

    Commands commands() const;
    bool readOnly() const { return m_session.bkRight() == admin::Right::ReadOnly; }
    const Opening& opening() const { return m_opening; }
    platform::db::Recordset* records() const { return m_records.get(); }
    const CustomerStore& store() const { return m_store; }

    // The column whose text a refused save found too long.
    const QString& longTextColumn() const { return m_longTextColumn; }

    // The fields as shown. The dates, age and user4 are kept as typed; the
    // save reads them.
    Customer customer;
    QString birthText, ageText, user4Text, user5Text;

    QStringList groups, statuses, titles, userCaptions;

private:
    struct Shown {
        Customer customer;
        QString birthText, ageText, user4Text, user5Text;
        bool operator==(const Shown&) const = default;
    };
    Shown shownNow() const;
    void loadCurrent();
    void clearFields();
    // Refuses (said) what the save would store wrong.
    std::optional<Field> refused();
    static QString codeTakenText(const QString& code);
    // Said when the customer changed elsewhere since it was read; on "ใช่"
    // the stored record is shown instead of the edits.
    void offerReload();
    // "ความผิดพลาด " with the error's number and description, critical icon.
    void failed(const platform::db::DbError& e);
    // Shows the customers of the condition; false (said) when it failed.
    bool showOnly(const platform::db::Condition& where, const QString& formula);
    QStringList columnValues(const QString& column, const QString& prefix) const;

    std::shared_ptr<platform::db::Database> m_main;
    admin::Session m_session;
    platform::Prompt& m_prompt;
    CustomerStore m_store;
    Opening m_opening;
    PickHandler m_onPick;
    std::unique_ptr<platform::db::Recordset> m_records;
    bool m_current = false;
    Shown m_stored;                  // what the shown customer holds in the table
    std::optional<qint64> m_addedId; // added by "เพิ่ม" and never saved since
    bool m_deleteAsked = false;
    QString m_longTextColumn;
    ReportOutputs m_reports;
    CustomerAddress m_address;
    CustomerFind m_find{*this};
    CustomerFilter m_filter{*this};
    CustomerSpreadsheets m_sheets{*this};
    CustomerReportsPanel m_reportPanel{*this};
    CustomerHistoryView m_history{*this};
    CustomerMail m_mail{*this};
    CustomerFiles m_files{*this};

    friend class CustomerAddress;
    friend class CustomerFind;
    friend class CustomerFilter;
    friend class CustomerSpreadsheets;
    friend class CustomerReportsPanel;
    friend class CustomerHistoryView;
    friend class CustomerMail;
    friend class CustomerFiles;
};

} // namespace tawela::customers
