#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tawela::platform::db {

// What a column holds. The declared SQL type of a column names its kind, so
// the record layer converts values the same way whoever reads the file.
enum class ColumnKind {
    Text,     // TEXT
    Integer,  // INTEGER: whole numbers, counters
    Decimal,  // CURRENCY: exact, stored as a count of ten-thousandths
    Date,     // DATE: ISO "YYYY-MM-DD"
    Time,     // TIME: "HH:MM:SS"
    DateTime, // DATETIME: ISO "YYYY-MM-DDTHH:MM:SS"
    Boolean,  // BOOLEAN: 1 or 0
    Blob,     // BLOB
};

ColumnKind kindFromDeclaredType(const QString& declared);
QString declaredType(ColumnKind kind);

// Which engine holds the data: embedded SQLite files, or a PostgreSQL server
// shared by several counters. Statements that differ ask the backend.
enum class Backend { Sqlite, Postgres };

// The few spellings that differ between the two engines.
struct Dialect {
    Backend backend = Backend::Sqlite;

    // Pattern match without regard to (ASCII) letter case, as SQLite's LIKE.
    QString like() const
    {
        // The server's text columns compare in Thai order without regard to
        // case, a collation its LIKE cannot use: the match runs on the code
        // points instead, as SQLite's does.
        return backend == Backend::Postgres ? QStringLiteral(" COLLATE \"C\" ILIKE ")
                                            : QStringLiteral(" LIKE ");
    }
    // Appended to a text column in ORDER BY: Thai dictionary order, letter
    // case ignored. The server's text columns compare so already; SQLite's
    // keep code-point order (their indexes serve it) unless asked.
    QString thaiOrder() const
    {
        return backend == Backend::Postgres ? QString() : QStringLiteral(" COLLATE thai");
    }
    // The rows of a statement that picks candidates in index order (ending
    // in "LIMIT ?"), put in Thai order by the columns and cut at a second
    // "LIMIT ?": a completing list stays quick however many rows match, and
    // is exact while fewer match than the candidates.
    QString inThaiOrder(const QString& candidates, const QStringList& columns) const
    {
        QStringList order;
        for (const QString& c : columns)
            order << c + thaiOrder();
        return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
               QStringLiteral(" FROM (") + candidates +
               QStringLiteral(") AS candidates ORDER BY ") + order.join(QStringLiteral(", ")) +
               QStringLiteral(" LIMIT ?");
    }
    // True where the column holds a number written in digits alone (a code
    // such as "10", not "A10" or "").
    QString digitsOnly(const QString& quotedColumn) const
    {
        if (backend == Backend::Postgres)
            return quotedColumn + QStringLiteral(" COLLATE \"C\" ~ '^[0-9]+$'");
        return quotedColumn + QStringLiteral(" <> '' AND ") + quotedColumn +
               QStringLiteral(" NOT GLOB '*[^0-9]*'");
    }
    // How many candidates a completing list takes from the index.
    static constexpr int Candidates = 1000;
    // True where the column holds the bound text somewhere.
    QString containsText(const QString& quotedColumn) const
    {
        return backend == Backend::Postgres
                   ? QStringLiteral("strpos(") + quotedColumn +
                         QStringLiteral(" COLLATE \"C\", ?) > 0")
                   : QStringLiteral("instr(") + quotedColumn + QStringLiteral(", ?) > 0");
    }
};

struct ColumnInfo {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool primaryKey = false;
};

// The columns of one table, looked up without regard to letter case.
class TableInfo {
public:
    TableInfo() = default;
    TableInfo(QString name, QList<ColumnInfo> columns, Dialect dialect = {});

    const QString& name() const { return m_name; }
    const Dialect& dialect() const { return m_dialect; }
    const QList<ColumnInfo>& columns() const { return m_columns; }
    qsizetype size() const { return m_columns.size(); }

    // -1 when the table has no such column.
    qsizetype indexOf(const QString& column) const;
    // Throws DbError (item not found) for an unknown column.
    qsizetype require(const QString& column) const;
    const ColumnInfo& column(const QString& name) const { return m_columns[require(name)]; }

private:
    QString m_name;
    QList<ColumnInfo> m_columns;
    Dialect m_dialect;
    QHash<QString, qsizetype> m_index; // lower-cased name -> position
};

// Converts a value handed in by the program to what is stored in a column of
// the given kind: a Decimal or a number text to ten-thousandths, a QDate to
// ISO text, a Boolean to 1 or 0. An empty text stores NULL in a column that is
// not text. Throws DbError (type mismatch) for a value the column cannot hold.
QVariant toStorage(const ColumnInfo& column, const QVariant& value);

// The program's view of a stored value: Decimal, QDate, QTime, QDateTime,
// bool, qint64 or QString; a NULL gives an invalid QVariant.
QVariant fromStorage(ColumnKind kind, const QVariant& raw);

// Quotes a table or column name for a statement. Names are written in lower
// case: SQLite compares names without regard to case, and the server keeps
// every name of the program's tables in lower case, so one spelling serves
// both and matches the unquoted names of hand-written statements.
QString quoteName(const QString& name);

} // namespace tawela::platform::db
