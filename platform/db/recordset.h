#pragma once

#include "platform/db/condition.h"
#include "platform/db/database.h"
#include "platform/decimal.h"

#include <QBitArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace tawela::platform::db {

struct SortKey {
    QString column;
    bool descending = false;
    // Codes that are numbers go by their value (2 before 10): a shorter
    // number first, numbers of one length in their own order; codes with
    // other characters in text order, before every number.
    bool numbersByValue = false;
};

enum class FindStart {
    Current, // the current row is the first candidate
    Next,    // start after the current row
};

// The rows of one table that meet a condition, in a given order, with the row
// operations the screens use: move first/next/previous/last, start and end
// tests, count, read and write a column by name (letter case does not count),
// add and store a row, delete the current row, find forward, re-run.
//
// Opening reads only the row keys; rows are read a window at a time when the
// cursor reaches them, so a set of a million rows opens without loading them.
//
// Edits follow the habits of the record sets the screens were written for:
// setValue() changes the current row in a buffer, store() writes it, and
// moving to another row (or find, or requery) stores pending edits first.
// After removeCurrent() the cursor stands in the gap the row left: there is no
// current row until the next move, and moveNext() lands on the row that
// followed the deleted one.
class Recordset {
public:
    Recordset(std::shared_ptr<Database> database, const QString& table, const Condition& where = {},
              const QList<SortKey>& order = {});
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    qsizetype count() const;
    bool isEmpty() const { return count() == 0; }
    // Before the first row (BOF); true on an empty set.
    bool atStart() const;
    // After the last row (EOF); true on an empty set.
    bool atEnd() const;
    // 0-based; -1 before the first row, count() after the last.
    qsizetype position() const;

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(qsizetype delta);
    void moveTo(qsizetype position);

    // Column values of the current row (DbError "no current record" at the
    // start or end or after a delete; DbError "item not found" for an unknown
    // column). value() gives the typed value (see fromStorage), the others a
    // convenient form with NULL read as empty text, 0, false or an invalid date.
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;
    Decimal decimal(const QString& column) const;
    qint64 integer(const QString& column) const;
    bool boolean(const QString& column) const;
    QDate date(const QString& column) const;
    bool isNull(const QString& column) const;
    // A stored value of any row, by column position, without moving the
    // cursor (for a grid over the set); pending edits are not seen.
    QVariant valueAt(qsizetype position, qsizetype column) const;
    // Every row of the set in its order, its values as valueAt gives them,
    // read a thousand rows to a statement and not kept (an export of the
    // whole set). A row deleted elsewhere since the set opened comes empty.
    void forEachRow(
        const std::function<void(qsizetype position, const QVariantList& row)>& receive) const;

    // Starts a new row; store() appends it to the set and makes it current.
    void addNew();
    void setValue(const QString& column, const QVariant& value);
    // Typed setters: an invalid date or time is stored as NULL.
    void setText(const QString& column, const QString& value);
    void setDecimal(const QString& column, Decimal value);
    void setInteger(const QString& column, qint64 value);
    void setBool(const QString& column, bool value);
    void setDate(const QString& column, const QDate& value);
    void setTime(const QString& column, const QTime& value);
    void store();
    void cancelEdit();
    bool isEditing() const;
    bool isAdding() const;

    // Deletes the current row from the table.
    void removeCurrent();

    // Looks forward for the first row that also meets the condition. Leaves
    // the cursor on it and returns true, or at the end and returns false.
    bool find(const Condition& condition, FindStart start = FindStart::Current);

    // Forgets pending edits and what was read of the current row, so that
    // it is read again as it is stored now.
    void reread();
    // Runs the query again; the cursor goes to the first row.
    void requery();

    const TableInfo& table() const;
    const std::shared_ptr<Database>& database() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Raises the current row's "row_version" by one. Every write of a row that
// carries one raises it, so a screen showing an older state refuses to
// write over a newer one.
void raiseRowVersion(Recordset& row);
// The "row_version" of a row being added, and of the current row.
void startRowVersion(Recordset& row);
qint64 rowVersion(const Recordset& row);

} // namespace tawela::platform::db
