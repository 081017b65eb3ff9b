#pragma once

#include <QHash>
#include <QList>
#include <QString>
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

struct ColumnInfo {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool primaryKey = false;
};

// The columns of one table, looked up without regard to letter case.
class TableInfo {
public:
    TableInfo() = default;
    TableInfo(QString name, QList<ColumnInfo> columns);

    const QString& name() const { return m_name; }
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

// Quotes a table or column name for a statement.
QString quoteName(const QString& name);

} // namespace tawela::platform::db
