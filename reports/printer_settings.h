#pragma once

#include "platform/db/database.h"
#include "platform/print_queue.h"
#include "platform/prompt.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tawela::reports {

// One line of Printer_tb: the printer of one kind of document on this computer.
struct PrinterRow {
    QString reportName;
    QString printerName;
    std::optional<qint64> printerIndex;
    std::optional<qint64> offsetLeft;
    bool preview = false;
};

// What the Printer_tb screen hands to its store: the texts of one line.
struct PrinterLine {
    QString printerName, printerIndex, offsetLeft;
    bool preview = false;
};

class PrinterSettings {
public:
    explicit PrinterSettings(std::shared_ptr<platform::db::Database> personal)
        : m_db(std::move(personal))
    {}

    // The rows in line order.
    QList<PrinterRow> rows() const;
    std::optional<PrinterRow> row(const QString& reportName) const;

    // The screen's "จัดเก็บ": walks the stored rows with the lines in order;
    // a field left empty keeps what is stored, Preview is always written.
    // All lines are stored or none. Throws DbError (a number that is not one).
    void save(const QList<PrinterLine>& lines);

private:
    std::shared_ptr<platform::db::Database> m_db;
};

// The Printer_tb screen ("Printer Select"): the nine lines, the chooser of
// installed printers and its store.
class PrinterTbForm {
public:
    PrinterTbForm(std::shared_ptr<platform::db::Database> personal, QStringList installedPrinters,
                  platform::Prompt& prompt);

    QStringList reportNames;  // the lines' labels, in line order
    QList<PrinterLine> lines; // what the screen shows and edits
    QStringList printers;     // the chooser's list
    int chooserLine = -1;     // the line the chooser stands beside
    int chooserIndex = 0;     // the chooser's position
    bool chooserVisible = true;

    // Clicking a line's printer name: the chooser moves beside that line.
    void pickLine(int line) { chooserLine = line; }
    // The select button: the remembered line gets the chosen printer.
    void select();
    // "ซ่อน/แสดง"
    void toggleChooser() { chooserVisible = !chooserVisible; }
    // "จัดเก็บ": true when stored (the screen then closes); an error is shown.
    bool save();

private:
    PrinterSettings m_settings;
    platform::Prompt& m_prompt;
};

// The printer a print goes to, as printer preparation settles it.
struct PrintTarget {
    int printerIndex = -1; // position in the installed list; -1: none
    QString printerName;
    std::optional<qint64> leftMargin;
    bool preview = false;
};

// The printers of this computer, as the print system lists them.
using InstalledPrinters = platform::PrinterList;

// The printer chosen last stays current for prints that do not prepare
// their own; one of these lives for the whole run.
class PrinterChoice {
public:
    // Printer preparation for a kind of document: the row's printer, its
    // left margin when set (else marginWhenEmpty), its preview choice. The
    // printer is found by the name stored in the row; its stored position
    // counts only when that name is no longer installed (printers added or
    // removed since move the positions). A row that names no printer uses
    // the system's default. A printer that cannot be found, or a computer
    // without printers, is said in a message and the report is shown in the
    // preview instead.
    PrintTarget prepare(const PrinterSettings& settings, const QString& reportName,
                        const InstalledPrinters& installed, platform::Prompt& prompt,
                        std::optional<qint64> marginWhenEmpty = std::nullopt);

    // The current printer, for prints that use it without preparing.
    PrintTarget current(const QStringList& installedPrinters) const;
    int currentIndex() const { return m_current; }
    // "เลือกPrinter": the printer of the installed list that becomes current.
    void choose(int index) { m_current = index; }

private:
    int m_current = 0;
};

} // namespace tawela::reports
