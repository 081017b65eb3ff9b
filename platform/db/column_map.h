#pragma once

#include "platform/db/recordset.h"

#include <QSet>

#include <optional>

namespace tawela::platform::db {

// One list of column <-> member pairs per record serves reading and writing:
//
//   template <typename Row, typename R> void mapColumns(Row& row, R& r)
//   {
//       row.text(QStringLiteral("Policy_no"), r.policyNo);
//       row.decimal(QStringLiteral("Amount1"), r.principal);
//       row.date(QStringLiteral("Close_date"), r.closeDate, Write::Never);
//   }
//
// read with RowReader, written with RowWriter. The last argument says when
// a write stores the column: always, only when the value is not empty, only
// when the row is new, or never (columns other commands keep).
enum class Write { Always, WhenNotEmpty, OnAdd, Never };

struct RowReader {
    const Recordset& rs;
    void text(const QString& c, QString& v, Write = Write::Always) { v = rs.text(c); }
    void integer(const QString& c, qint64& v, Write = Write::Always) { v = rs.integer(c); }
    void boolean(const QString& c, bool& v, Write = Write::Always) { v = rs.boolean(c); }
    void decimal(const QString& c, Decimal& v, Write = Write::Always) { v = rs.decimal(c); }
    void date(const QString& c, QDate& v, Write = Write::Always) { v = rs.date(c); }
    void time(const QString& c, QTime& v, Write = Write::Always) { v = rs.value(c).toTime(); }
    // A value that may be missing (NULL), and one some writes leave as stored.
    void optionalDecimal(const QString& c, std::optional<Decimal>& v)
    {
        v = rs.isNull(c) ? std::nullopt : std::optional(rs.decimal(c));
    }
    void optionalInteger(const QString& c, std::optional<qint64>& v)
    {
        v = rs.isNull(c) ? std::nullopt : std::optional(rs.integer(c));
    }
    void nullableDecimal(const QString& c, std::optional<Decimal>& v, Write = Write::Always)
    {
        optionalDecimal(c, v);
    }
};

struct RowWriter {
    Recordset& rs;
    bool adding = false;
    // When set, only these columns are written (a screen's own, leaving the
    // others as other writers stored them).
    const QSet<QString>* only = nullptr;
    // Only the columns whose value, read as the reader reads it, differs
    // (a row read, changed in a member or two and written back keeps its
    // NULLs and touches nothing else).
    bool onlyChanged = false;

    void text(const QString& c, const QString& v, Write w = Write::Always)
    {
        if (writes(c, w, v.isEmpty()) && !(onlyChanged && rs.text(c) == v))
            rs.setText(c, v);
    }
    void integer(const QString& c, qint64 v, Write w = Write::Always)
    {
        if (writes(c, w, false) && !(onlyChanged && rs.integer(c) == v))
            rs.setInteger(c, v);
    }
    void boolean(const QString& c, bool v, Write w = Write::Always)
    {
        if (writes(c, w, false) && !(onlyChanged && rs.boolean(c) == v))
            rs.setBool(c, v);
    }
    void decimal(const QString& c, Decimal v, Write w = Write::Always)
    {
        if (writes(c, w, false) && !(onlyChanged && rs.decimal(c) == v))
            rs.setDecimal(c, v);
    }
    void date(const QString& c, const QDate& v, Write w = Write::Always)
    {
        if (writes(c, w, !v.isValid()) && !(onlyChanged && rs.date(c) == v))
            rs.setDate(c, v);
    }
    void time(const QString& c, const QTime& v, Write w = Write::Always)
    {
        if (writes(c, w, !v.isValid()) && !(onlyChanged && rs.value(c).toTime() == v))
            rs.setTime(c, v);
    }
    // Written only when given.
    void optionalDecimal(const QString& c, const std::optional<Decimal>& v)
    {
        if (v)
            decimal(c, *v);
    }
    void optionalInteger(const QString& c, const std::optional<qint64>& v)
    {
        if (v)
            integer(c, *v);
    }
    // Empty (NULL) when not given.
    void nullableDecimal(const QString& c, const std::optional<Decimal>& v, Write w = Write::Always)
    {
        if (v)
            decimal(c, *v, w);
        else if (writes(c, w, true) && !(onlyChanged && rs.isNull(c)))
            rs.setValue(c, QVariant());
    }

private:
    bool writes(const QString& column, Write w, bool empty) const
    {
        if (only && !only->contains(column))
            return false;
        switch (w) {
        case Write::Always:
            return true;
        case Write::WhenNotEmpty:
            return !empty;
        case Write::OnAdd:
            return adding;
        case Write::Never:
            return false;
        }
        return false;
    }
};

} // namespace tawela::platform::db
