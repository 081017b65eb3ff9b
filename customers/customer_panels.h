#pragma once

// The customer screen's panels beside the record, one class each with its
// own state and commands; CustomerForm composes them and holds what they
// share (the record set shown, the current customer, the store).
#include "customers/customer.h"
#include "customers/customer_filter.h"
#include "customers/customer_history.h"
#include "customers/customer_import.h"
#include "customers/customer_reports.h"
#include "customers/postal_directory.h"
#include "platform/mail.h"

#include <QDate>

#include <memory>
#include <optional>

namespace tawela::platform::db {
class Condition;
}

namespace tawela::customers {

class CustomerForm;
class ExportError;

// The labels whose double-click copies the shop's own address.
enum class ShopPart { Road, Tumbol, Ampor, ProvinceZip };

// The address fields: the lists of the province, district and sub-district
// boxes, and what a choice or a postal code fills in.
class CustomerAddress {
public:
    CustomerAddress(CustomerForm& form, std::shared_ptr<platform::db::Database> customer)
        : m_form(form), m_directory(std::move(customer))
    {}

    QStringList provinces, districts;
    QList<SubDistrict> subDistricts;

    void provinceChosen(const QString& province);
    void districtChosen(const QString& district);
    void subDistrictChosen(const QString& subDistrict);
    void allDistricts();
    void allSubDistricts();
    // A postal code typed: the province, district and sub-district it names.
    void postCodeEntered();
    void fillFromShop(ShopPart part);
    // The lists of a customer shown (throws DbError), or of none.
    void load(const Customer& c);
    void clear();
    const PostalDirectory& directory() const { return m_directory; }

private:
    CustomerForm& m_form;
    PostalDirectory m_directory;
};

// "ค้นหา": the find panel moves to a matching customer of the shown set.
struct FindPanel {
    bool visible = false;
    int field = 0;
    QString key;
    QStringList keys; // the key box's list for what is typed
};

class CustomerFind {
public:
    explicit CustomerFind(CustomerForm& form) : m_form(form) {}

    FindPanel panel;

    void open();
    void close();
    void fieldChosen(int field);
    void refreshKeys();
    // "Find" from the first customer, "Find Next" after the shown one;
    // "Not found" (titled "End Of File") when there is none.
    bool first();
    bool next();
    QList<SearchField> fieldList() const;

private:
    bool from(bool first);

    CustomerForm& m_form;
};

// "กรองข้อมูล": the simple filter and the advanced panel.
struct FilterPanel {
    bool visible = false, advanced = false;
    int field = 0;
    FilterOp op = FilterOp::Equal;
    QString value;
    QStringList values; // the value box's list for what is typed
    FilterChain chain;
};

class CustomerFilter {
public:
    explicit CustomerFilter(CustomerForm& form) : m_form(form) {}

    FilterPanel panel;

    void open();
    void close();
    void fieldChosen(int field);
    void refreshValues();
    void cycleOp() { panel.op = nextOp(panel.op); }
    void toggleAdvanced();
    // "กรอง": the shown set becomes the customers of the one condition.
    bool run();
    // "เพิ่ม คำสั่ง", "AND", "OR", "ล้าง คำสั่ง" and "กรอง" of the advanced panel.
    void addCondition();
    void addConnector(FilterChain::Connector connector) { panel.chain.addConnector(connector); }
    void clearConditions() { panel.chain.clear(); }
    bool runAdvanced();
    QList<SearchField> fieldList() const;
    // The report selection formula of the last filter run.
    QString reportFilter() const { return m_reportFilter ? *m_reportFilter : QString(); }
    // Where the last filter's formula is kept for the whole run (the report
    // panel reads it).
    void shareReportFilter(std::shared_ptr<QString> formula)
    {
        m_reportFilter = std::move(formula);
    }
    // The formula of the set now shown.
    void keepReportFilter(const QString& formula) { *m_reportFilter = formula; }

private:
    CustomerForm& m_form;
    std::shared_ptr<QString> m_reportFilter = std::make_shared<QString>();
};

// The spreadsheets: "One2Excel", "All2Excel" and "นำเข้าข้อมูลจาก Excel".
class CustomerSpreadsheets {
public:
    explicit CustomerSpreadsheets(CustomerForm& form) : m_form(form) {}

    // The folder of the work file and the font of its cells.
    void use(QString folder, QString fontName)
    {
        m_folder = std::move(folder);
        m_font = std::move(fontName);
    }
    // The file written, for the screen to open; nullopt when nothing was
    // written (the person was told why).
    std::optional<QString> exportCurrent();
    std::optional<QString> exportShown();
    // The customers of a sheet added or updated in one transaction, the file
    // read a row at a time as the rows are stored (the progress is called
    // from the first rows on). The result when it ran (the screen then
    // closes, to be opened again on what was imported); nullopt when nothing
    // was stored (said why: a file that does not read, even half-way,
    // stores nothing).
    std::optional<ImportResult> importFile(const QString& path,
                                           const ImportProgress& progress = {});
    // A work folder was given: the exports are offered.
    bool available() const { return !m_folder.isEmpty(); }

private:
    // Tells the person why an export wrote nothing.
    void exportFailed(const ExportError& e);

    CustomerForm& m_form;
    QString m_folder, m_font;
};

// "รายงาน": the ticked report prints the customers shown (the last
// filter's formula goes with it); the offsets, in millimetres, move labels
// and envelopes.
struct ReportPanel {
    bool visible = false;
    std::optional<CustomerReport> choice;
    QString left = QStringLiteral("0"), top = QStringLiteral("0");
};

class CustomerReportsPanel {
public:
    explicit CustomerReportsPanel(CustomerForm& form) : m_form(form) {}

    ReportPanel panel;

    void use(ReportOutputs outputs);
    void toggle() { panel.visible = !panel.visible; }
    // False (said why) without a choice or with offsets that are no number.
    bool print();
    void choosePrinter();

private:
    CustomerForm& m_form;
};

// "ย่อ/ขยาย ข้อมูลการเข้ารับบริการของลูกค้า": the current customer's
// history, the record panel widened or narrowed.
struct HistoryPanel {
    bool wide = false;
    QList<HistoryRow> rows;
    int builds = 0; // a new number for every history built
};

class CustomerHistoryView {
public:
    explicit CustomerHistoryView(CustomerForm& form) : m_form(form) {}

    HistoryPanel panel;

    void toggle();
    void print();

private:
    CustomerForm& m_form;
};

// "ส่งอีเมล์", sent through the shop's mail account. Its texts stay while
// the screen is open, whatever happens to a send.
struct MailPanel {
    bool visible = false;
    QString to, cc, subject, body, attachment;
    // The TO box holds what "All" collected: those go in Bcc, so no
    // customer sees the others' addresses, and To is the shop's own.
    bool everyone = false;
    bool sending = false;
    // Customers "All" left out: their stored address is not one.
    QStringList skipped;
};

// What "ส่ง" sends.
struct MailJob {
    platform::MailAccount account;
    platform::MailMessage message;
    QByteArray composed; // the message as it is sent
    // A mailing (its recipients in Bcc): refused recipients do not stop it.
    bool toMany() const { return !message.bcc.isEmpty(); }
};

class CustomerMail {
public:
    explicit CustomerMail(CustomerForm& form) : m_form(form) {}

    MailPanel panel;

    // The shop's mail account, kept in this file.
    void use(QString accountFile) { m_accountFile = std::move(accountFile); }
    // Where the attachment's file dialog starts: the program's own folder.
    QString folder() const;
    // Shows the panel with the current customer's address in TO, or hides it.
    void toggle();
    // "All": the addresses of every customer shown, each after a ";".
    void collectAllAddresses();
    // "ไฟล์แนบ": the path chosen; empty when the dialog was cancelled.
    void attachmentChosen(const QString& path) { panel.attachment = path; }
    // The account of the settings dialog (the password never comes back:
    // it is left empty); nullopt (said why) when it cannot be read.
    std::optional<platform::MailAccount> account() const;
    // Stores the settings; the field to put the cursor on when refused (said
    // why). An empty password keeps the stored one.
    std::optional<platform::MailAccountProblem::Field>
    storeAccount(const platform::MailAccount& account);
    // "ส่ง" in two halves, so the screen can wait for the server off its own
    // thread: what to send (nullopt, said why, when nothing can be), and
    // what the server answered (`refused`: the recipients it would not take).
    std::optional<MailJob> prepare();
    void finished(const std::optional<platform::MailFailure>& failure,
                  const QStringList& refused = {});
    // Both halves at once; true when the server accepted the mail.
    bool send();

private:
    // False when the person would rather not send a login unencrypted.
    bool clearLoginAccepted(const platform::MailAccount& account);

    CustomerForm& m_form;
    QString m_accountFile;
    bool m_clearLoginAccepted = false; // asked once about a login sent unencrypted
};

// What viewing a picture or opening the attachment does.
struct FileView {
    enum class Kind { Nothing, FullScreen, Open } kind = Kind::Nothing;
    QString path;
};

// The three picture slots (0–2) and the attachment: their paths and names
// go into the record and reach the table when it is saved; the files stay
// where they are.
class CustomerFiles {
public:
    explicit CustomerFiles(CustomerForm& form) : m_form(form) {}

    // A path chosen in the file dialog; nullopt when it was cancelled, which
    // keeps the path there was.
    void picked(int slot, const std::optional<QString>& path);
    // A scanned or photographed picture: its full path in the slot's path
    // and name boxes alike.
    void captured(int slot, const QString& path);
    QString path(int slot) const;
    void attachmentPicked(const std::optional<QString>& path);
    // Double-click on a name box: the file name of the path, when the path
    // has an extension in its last part.
    void nameFromPath(int slot);
    void attachmentNameFromPath();
    // "ลบภาพ" and "ลบไฟล์": path emptied, name "-".
    void clear(int slot);
    void clearAttachment();
    // A missing file is said here ("ไม่พบแฟ้มรูปภาพ", "ไม่พบแฟ้ม Excel",
    // "ไม่พบแฟ้มExcel").
    FileView view(int slot) const;
    FileView openAttachment() const;

private:
    CustomerForm& m_form;
};

} // namespace tawela::customers
