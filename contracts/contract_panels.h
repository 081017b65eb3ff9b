#pragma once

// The contract screen's panels beside its fields, one class each with its
// own state and commands; ContractForm composes them and holds what they
// share (the contract, its history, the operation mode, the store).
#include "contracts/closing.h"
#include "contracts/documents.h"
#include "contracts/legal_limits.h"
#include "customers/customer_store.h"

#include <QDate>
#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>

namespace tawela::contracts {

class ContractForm;

// "ต่อดอก" and the renewal history: the renewal panel, the correction of a
// history row and its deletion mark.
class RenewalCommands {
public:
    explicit RenewalCommands(ContractForm& form) : m_form(form) {}

    RenewalPanel panel;
    RenewalEditPanel editing;

    // The panel with the current term; false when it was not opened
    // (history full, or an overdue contract the person declined).
    bool open(const QDate& today = QDate::currentDate());
    // After the fee, penalty or discount of the panel was typed.
    void figuresChanged() { panel.recomputeTotal(); }
    // "ตกลง": a history row, the due date moved, the pending total raised.
    bool confirm();
    void cancel();
    // Double-click on history row (0-based), then "แก้ไข" or "ไม่แก้ไข".
    void editRow(int row);
    void editFiguresChanged() { editing.recomputeTotal(); }
    // False (said, the form's refusedFigure names the field) when its
    // figures cannot be kept.
    bool applyEdit();
    void cancelEdit();
    // Shift+Delete on a history row: the deletion mark on or off.
    void toggleMark(int row);

private:
    ContractForm& m_form;
};

// "ไถ่ถอน" and "หลุดจำนำ": the closing panel and its figures.
class ClosingCommands {
public:
    explicit ClosingCommands(ContractForm& form) : m_form(form) {}

    ClosingPanel panel;

    // The panel; false when declined.
    bool openRedemption(const QDate& today = QDate::currentDate());
    bool openForfeiture(const QDate& today = QDate::currentDate());
    // The panel's date or due date changed: days, then the surcharge.
    void datesChanged();
    // The days typed: the surcharge and its caption.
    void daysChanged();
    bool daysTyped(const QString& text);
    // The amount, surcharge, penalty or discount typed: the total.
    void figuresChanged() { panel.recomputeTotal(); }
    // "ใช่": closes the contract (with its receipt for a redemption).
    bool confirm(const QDateTime& now = QDateTime::currentDateTime());
    void cancel();
    // "ยอดไถ่ถอนสูงสุดตามกฎหมาย" of the redemption on the panel's date, for
    // the total asked; nothing for a forfeiture or with the check off.
    std::optional<LawfulRedemption> lawful() const;
    // "ใช้ยอดตามกฎหมาย": the discount takes the total down to the lawful
    // maximum, and the receipt says so.
    void useLawfulMaximum();

private:
    bool open(ClosingPanel::Kind kind, const QDate& today);
    void computeCharge();

    ContractForm& m_form;
};

// "ลบ" and the tools menu's "ลบสัญญา".
class DeletionCommands {
public:
    explicit DeletionCommands(ContractForm& form) : m_form(form) {}

    DeletePanel panel;

    void ask(bool fromMenu);
    // "ใช่": true when the contract is gone and the screen is to close.
    bool confirm();
    void cancel();
    // Asked from the tools menu: more of the screen is off meanwhile.
    bool fromMenu() const { return m_fromMenu; }

private:
    ContractForm& m_form;
    bool m_fromMenu = false;
};

// "ใบขายฝาก": the reprint panel of the shown contract's documents.
class ReprintCommands {
public:
    explicit ReprintCommands(ContractForm& form) : m_form(form) {}

    void open() { m_open = true; }
    void close() { m_open = false; }
    bool isOpen() const { return m_open; }
    // "พิมพ์": the choice for the shown contract.
    void print(Reprint choice);

private:
    ContractForm& m_form;
    bool m_open = false;
};

// The customer of the contract: the searches by code, ID number and name,
// the customer screen opened to pick or complete one.
class CustomerLookup {
public:
    explicit CustomerLookup(ContractForm& form) : m_form(form) {}

    // How the customer screen is opened: on a customer just added to be
    // completed, or to pick one ("ตาราง ลูกค้า").
    using Opener = std::function<void(const customers::Opening&)>;
    // The customer file the searches read.
    void use(std::shared_ptr<platform::db::Database> customer, Opener open);
    bool available() const { return bool(m_customers); }
    // "หา" beside the code and beside the ID number: the customer's fields,
    // or the question whether to add one.
    void findByCode() { find(customers::OpeningMode::ByCode); }
    void findById() { find(customers::OpeningMode::ById); }
    // "หา" beside the name: the first press opens the name list, the second
    // looks the list's text up.
    void nameSearchPressed();
    bool nameListOpen() const { return m_nameListOpen; }
    // The name list for what is typed (a limited number of entries).
    void refreshNameList();
    void nameChosen(const QString& entry);
    void openTable();
    // A customer the customer screen handed back, or the card reader read.
    void picked(const customers::CustomerCard& card);

    QStringList nameList;

private:
    void fill(const std::optional<customers::Customer>& found, bool byCode);
    // By the code or the ID number typed.
    void find(customers::OpeningMode mode);
    // Adds the customer not found and opens the customer screen on it.
    void addFoundMissing(customers::Customer bare, customers::OpeningMode mode,
                         const QString& value);
    void findNamed(const QString& entry, bool askToAdd);

    ContractForm& m_form;
    std::unique_ptr<customers::CustomerStore> m_customers;
    Opener m_open;
    bool m_nameListOpen = false;
};

// The goods panel's three picture slots (0-2): a path and a caption ("-"
// when empty); only the paths are stored, the files stay where they are.
class GoodsPictures {
public:
    explicit GoodsPictures(ContractForm& form) : m_form(form) {}

    QString path(int slot) const;
    void picked(int slot, const std::optional<QString>& path);
    // A scanned or photographed picture: its full path as path and caption.
    void captured(int slot, const QString& path);
    void clear(int slot);
    // Double-click on the caption: the file name of the path.
    void nameFromPath(int slot);

private:
    ContractForm& m_form;
};

} // namespace tawela::contracts
