#pragma once

#include "admin/session.h"
#include "customers/customer_filter.h"
#include "customers/customer_history.h"
#include "customers/customer_import.h"
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
    enum class ShopPart { Road, Tumbol, Ampor, ProvinceZip };
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

    // Choices and entries of the address and title lists.
    void titleChosen(const QString& title);
    void provinceChosen(const QString& province);
    void districtChosen(const QString& district);
    void subDistrictChosen(const QString& subDistrict);
    void allDistricts();
    void allSubDistricts();
    // A postal code typed: the province, district and sub-district it names.
    void postCodeEntered();
    void fillFromShop(ShopPart part);

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

    // "ค้นหา": the find panel moves to a matching customer of the shown set.
    struct FindPanel {
        bool visible = false;
        int field = 0;
        QString key;
        QStringList keys; // the key box's list for what is typed
    } finding;
    void openFind();
    void closeFind();
    void findFieldChosen(int field);
    void refreshFindKeys();
    // "Find" from the first customer, "Find Next" after the shown one;
    // "Not found" (titled "End Of File") when there is none.
    bool find();
    bool findNext();
    QList<SearchField> findFieldList() const { return findFields(userCaptions); }

    // "กรองข้อมูล": the simple filter and the advanced panel.
    struct FilterPanel {
        bool visible = false, advanced = false;
        int field = 0;
        FilterOp op = FilterOp::Equal;
        QString value;
        QStringList values; // the value box's list for what is typed
        FilterChain chain;
    } filtering;
    void openFilter();
    void closeFilter();
    void filterFieldChosen(int field);
    void refreshFilterValues();
    void cycleOp() { filtering.op = nextOp(filtering.op); }
    void toggleAdvanced();
    // "กรอง": the shown set becomes the customers of the one condition.
    bool runFilter();
    // "เพิ่ม คำสั่ง", "AND", "OR", "ล้าง คำสั่ง" and "กรอง" of the advanced panel.
    void addCondition();
    void addConnector(FilterChain::Connector connector) { filtering.chain.addConnector(connector); }
    void clearConditions() { filtering.chain.clear(); }
    bool runAdvanced();
    QList<SearchField> filterFieldList() const { return filterFields(userCaptions); }
    // The report selection formula of the last filter run.
    QString reportFilter() const { return m_reportFilter ? *m_reportFilter : QString(); }
    // Where the last filter's formula is kept for the whole run (the report
    // panel reads it).
    void shareReportFilter(std::shared_ptr<QString> formula)
    {
        m_reportFilter = std::move(formula);
    }

    // The spreadsheets: the folder of the work file and the font of its cells.
    void useExports(QString folder, QString fontName)
    {
        m_exportFolder = std::move(folder);
        m_exportFont = std::move(fontName);
    }
    // "One2Excel" and "All2Excel": the file written, for the screen to open;
    // nullopt when nothing was written (the person was told why).
    std::optional<QString> exportCurrent();
    std::optional<QString> exportShown();

    // "นำเข้าข้อมูลจาก Excel": the customers of a sheet added or updated in one
    // transaction, the file read a row at a time as the rows are stored (the
    // progress is called from the first rows on). The result when it ran
    // (the screen then closes, to be opened again on what was imported);
    // nullopt when nothing was stored (said why: a file that does not read,
    // even half-way, stores nothing).
    std::optional<ImportResult> importFile(const QString& path,
                                           const ImportProgress& progress = {});
    static constexpr int ImportColumns = 49; // A … AW

    // "รายงาน": the report panel. The ticked report prints the customers
    // shown (the last filter's formula goes with it); the offsets, in
    // millimetres, move labels and envelopes.
    struct ReportPanel {
        bool visible = false;
        std::optional<CustomerReport> choice;
        QString left = QStringLiteral("0"), top = QStringLiteral("0");
    } reporting;
    void useReports(ReportOutputs outputs) { m_reports = std::move(outputs); }
    void toggleReports() { reporting.visible = !reporting.visible; }
    // False (said why) without a choice or with offsets that are no number.
    bool printReport();
    void choosePrinter();

    // "ส่งอีเมล์": the e-mail panel, sent through the shop's mail account
    // (kept in the file given to useMail). Its texts stay while the screen
    // is open, whatever happens to a send.
    struct MailPanel {
        bool visible = false;
        QString to, cc, subject, body, attachment;
        // The TO box holds what "All" collected: those go in Bcc, so no
        // customer sees the others' addresses, and To is the shop's own.
        bool everyone = false;
        bool sending = false;
        // Customers "All" left out: their stored address is not one.
        QStringList skipped;
    } mailing;
    void useMail(QString accountFile) { m_mailAccountFile = std::move(accountFile); }
    // Where the attachment's file dialog starts: the program's own folder.
    QString mailFolder() const;
    // Shows the panel with the current customer's address in TO, or hides it.
    void toggleMail();
    // "All": the addresses of every customer shown, each after a ";".
    void collectAllAddresses();
    // "ไฟล์แนบ": the path chosen; empty when the dialog was cancelled.
    void mailAttachmentChosen(const QString& path) { mailing.attachment = path; }
    // The account of the settings dialog (the password never comes back:
    // it is left empty); nullopt (said why) when it cannot be read.
    std::optional<platform::MailAccount> mailAccount() const;
    // Stores the settings; the field to put the cursor on when refused (said
    // why). An empty password keeps the stored one.
    std::optional<platform::MailAccountProblem::Field>
    storeMailAccount(const platform::MailAccount& account);
    // "ส่ง" in two halves, so the screen can wait for the server off its own
    // thread: what to send (nullopt, said why, when nothing can be), and
    // what the server answered.
    struct MailJob {
        platform::MailAccount account;
        platform::MailMessage message;
        QByteArray composed; // the message as it is sent
        // A mailing (its recipients in Bcc): refused recipients do not stop it.
        bool toMany() const { return !message.bcc.isEmpty(); }
    };
    std::optional<MailJob> prepareMail();
    // `refused`: the recipients the server would not take.
    void mailFinished(const std::optional<platform::MailFailure>& failure,
                      const QStringList& refused = {});
    // Both halves at once; true when the server accepted the mail.
    bool sendMail();

    // "ย่อ/ขยาย ข้อมูลการเข้ารับบริการของลูกค้า": builds the current
    // customer's history and widens or narrows the record panel.
    struct HistoryPanel {
        bool wide = false;
        QList<HistoryRow> rows;
        int builds = 0; // a new number for every history built
    } history;
    void toggleHistory();
    void printHistory();

    // The three picture slots (0–2) and the attachment: their paths and
    // names go into the record and reach the table when it is saved; the
    // files stay where they are.
    // A path chosen in the file dialog; nullopt when it was cancelled, which
    // keeps the path there was.
    void picturePicked(int slot, const std::optional<QString>& path);
    // A scanned or photographed picture: its full path in the slot's path
    // and name boxes alike.
    void pictureCaptured(int slot, const QString& path);
    QString picturePathOf(int slot) const;
    void attachmentPicked(const std::optional<QString>& path);
    // Double-click on a name box: the file name of the path, when the path
    // has an extension in its last part.
    void pictureNameFromPath(int slot);
    void attachmentNameFromPath();
    // "ลบภาพ" and "ลบไฟล์": path emptied, name "-".
    void clearPicture(int slot);
    void clearAttachment();
    // What viewing a picture or opening the attachment does; a missing file
    // is said here ("ไม่พบแฟ้มรูปภาพ", "ไม่พบแฟ้ม Excel", "ไม่พบแฟ้มExcel").
    struct FileView {
        enum class Kind { Nothing, FullScreen, Open } kind = Kind::Nothing;
        QString path;
    };
    FileView viewPicture(int slot) const;
    FileView openAttachment() const;

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

    QStringList groups, statuses, titles, provinces, districts, userCaptions;
    QList<SubDistrict> subDistricts;

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
    bool findFrom(bool first);
    // Shows the customers of the condition; false (said) when it failed.
    bool showOnly(const platform::db::Condition& where, const QString& formula);
    QStringList columnValues(const QString& column, const QString& prefix) const;

    std::shared_ptr<platform::db::Database> m_main;
    admin::Session m_session;
    platform::Prompt& m_prompt;
    CustomerStore m_store;
    PostalDirectory m_directory;
    Opening m_opening;
    PickHandler m_onPick;
    std::unique_ptr<platform::db::Recordset> m_records;
    bool m_current = false;
    Shown m_stored;                  // what the shown customer holds in the table
    std::optional<qint64> m_addedId; // added by "เพิ่ม" and never saved since
    bool m_deleteAsked = false;
    QString m_longTextColumn;
    std::shared_ptr<QString> m_reportFilter = std::make_shared<QString>();
    QString m_exportFolder, m_exportFont;
    ReportOutputs m_reports;
    QString m_mailAccountFile;
    bool m_clearLoginAccepted = false; // asked once about a login sent unencrypted
    // False when the person would rather not send a login unencrypted.
    bool clearLoginAccepted(const platform::MailAccount& account);
    // Tells the person why an export wrote nothing.
    void exportFailed(const ExportError& e);
};

} // namespace tawela::customers
