#pragma once

#include "platform/db/condition.h"
#include "platform/db/database.h"

#include <QAbstractTableModel>
#include <QList>
#include <QVariantList>

#include <functional>
#include <memory>

namespace tawela::platform {
class Prompt;
}

namespace tawela::platform::db {

// An editable grid over a small table, in stored order. Every change is
// written as it is made; the last line of an editable grid is an empty row
// where a new row is typed. A value the column cannot hold is refused with
// a message and nothing changes.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString name;
        QString caption;
        bool editable = true;
        // Why a value cannot be kept in this column at a row (the value as
        // the column holds it: a Decimal, a number, a text), empty when it can.
        std::function<QString(const QVariant& value, int row)> check = {};
    };
    // The value of a cell as the column holds it (the new row's: invalid).
    QVariant value(int row, int column) const;

    TableModel(std::shared_ptr<Database> database, QString table, QList<Column> columns,
               Prompt& prompt, QObject* parent = nullptr);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    // Rows stored in the table (the empty new row not counted).
    int storedRows() const { return int(m_rows.size()); }
    // Shows only the rows that meet the condition, ordered by the columns
    // (text in Thai order); stored order without any. Reads them at once.
    void select(const Condition& where, const QStringList& orderColumns = {});
    // Values a row typed into the empty last line starts with, by column
    // name (the filter's, so that the new row stays in view).
    void setNewRowValues(const QVariantMap& values) { m_newRowValues = values; }
    // Reads the table again.
    void reload();
    // Appends a stored row with the given values, by column name.
    bool appendRow(const QVariantMap& values);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    struct Row {
        qint64 key;
        QVariantList values; // typed, in column order
    };
    bool isNewRow(int row) const { return !m_readOnly && row == int(m_rows.size()); }

    std::shared_ptr<Database> m_db;
    QString m_table;
    QList<Column> m_columns;
    Prompt& m_prompt;
    bool m_readOnly = false;
    Condition m_where;
    QStringList m_order;
    QVariantMap m_newRowValues;
    std::vector<Row> m_rows;
};

} // namespace tawela::platform::db
