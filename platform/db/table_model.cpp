#include "platform/db/table_model.h"

#include "platform/db/db_error.h"
#include "platform/decimal.h"
#include "platform/prompt.h"

#include <QDate>
#include <QSqlQuery>

namespace tawela::platform::db {

TableModel::TableModel(std::shared_ptr<Database> database, QString table, QList<Column> columns,
                       Prompt& prompt, QObject* parent)
    : QAbstractTableModel(parent), m_db(std::move(database)), m_table(std::move(table)),
      m_columns(std::move(columns)), m_prompt(prompt)
{
    reload();
}

void TableModel::setReadOnly(bool readOnly)
{
    beginResetModel();
    m_readOnly = readOnly;
    endResetModel();
}

void TableModel::select(const Condition& where, const QStringList& orderColumns)
{
    m_where = where;
    m_order = orderColumns;
    reload();
}

void TableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    const TableInfo& info = m_db->tableInfo(m_table);
    QStringList names;
    QList<ColumnKind> kinds;
    for (const Column& c : m_columns) {
        const ColumnInfo& ci = info.column(c.name);
        names << quoteName(ci.name);
        kinds << ci.kind;
    }
    QString sql = QStringLiteral("SELECT rowid, ") + names.join(u',') + QStringLiteral(" FROM ") +
                  quoteName(info.name()) + QStringLiteral(" WHERE ");
    QVariantList binds;
    m_where.compile(info, sql, binds);
    sql += QStringLiteral(" ORDER BY ");
    for (const QString& name : m_order) {
        const ColumnInfo& ci = info.column(name);
        sql += quoteName(ci.name) +
               (ci.kind == ColumnKind::Text ? m_db->dialect().thaiOrder() : QString()) +
               QStringLiteral(", ");
    }
    sql += QStringLiteral("rowid");
    QSqlQuery q = m_db->exec(sql, binds);
    while (q.next()) {
        Row r{q.value(0).toLongLong(), {}};
        for (int i = 0; i < m_columns.size(); ++i)
            r.values << fromStorage(kinds[i], q.value(i + 1));
        m_rows.push_back(r);
    }
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_rows.size()) + (m_readOnly ? 0 : 1);
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (isNewRow(index.row()))
        return {};
    const QVariant& v = m_rows[size_t(index.row())].values[index.column()];
    if (v.typeId() == qMetaTypeId<Decimal>())
        return v.value<Decimal>().toString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columns.size() ? m_columns[section].caption : QString();
    return isNewRow(section) ? QStringLiteral("*") : QString::number(section + 1);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_readOnly && m_columns[index.column()].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const TableInfo& info = m_db->tableInfo(m_table);
    const ColumnInfo& column = info.column(m_columns[index.column()].name);
    const Column& shown = m_columns[index.column()];
    try {
        const QVariant stored = toStorage(column, value);
        if (shown.check && stored.isValid()) {
            const QString why = shown.check(fromStorage(column.kind, stored), index.row());
            if (!why.isEmpty()) {
                m_prompt.stop(why);
                return false;
            }
        }
        if (isNewRow(index.row())) {
            if (!stored.isValid())
                return false; // nothing typed: no row
            QStringList names{quoteName(column.name)};
            QStringList marks{QStringLiteral("?")};
            QVariantList binds{stored};
            for (auto it = m_newRowValues.begin(); it != m_newRowValues.end(); ++it) {
                const ColumnInfo& c = info.column(it.key());
                if (c.name.compare(column.name, Qt::CaseInsensitive) == 0)
                    continue;
                names << quoteName(c.name);
                marks << QStringLiteral("?");
                binds << toStorage(c, it.value());
            }
            m_db->exec(QStringLiteral("INSERT INTO ") + quoteName(info.name()) +
                           QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES (") +
                           marks.join(u',') + u')',
                       binds);
            reload();
            return true;
        }
        Row& r = m_rows[size_t(index.row())];
        m_db->exec(QStringLiteral("UPDATE ") + quoteName(info.name()) + QStringLiteral(" SET ") +
                       quoteName(column.name) + QStringLiteral(" = ? WHERE rowid = ?"),
                   {stored, QVariant::fromValue<qlonglong>(r.key)});
        r.values[index.column()] = fromStorage(column.kind, stored);
        Q_EMIT dataChanged(index, index);
        return true;
    } catch (const DbError& e) {
        // A value of the wrong kind is told by the column's caption.
        m_prompt.error(e.number() == error_number::TypeMismatch
                           ? QStringLiteral("ค่า \"") + value.toString().left(60) +
                                 QStringLiteral("\" ใช้กับช่อง ") + shown.caption +
                                 QStringLiteral(" ไม่ได้ (ชนิดข้อมูลไม่ตรงกัน)")
                           : e.description());
        return false;
    }
}

QVariant TableModel::value(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= m_columns.size())
        return {};
    return m_rows[size_t(row)].values.value(column);
}

bool TableModel::appendRow(const QVariantMap& values)
{
    if (m_readOnly)
        return false;
    const TableInfo& info = m_db->tableInfo(m_table);
    QStringList names, marks;
    QVariantList binds;
    try {
        for (auto it = values.begin(); it != values.end(); ++it) {
            const ColumnInfo& c = info.column(it.key());
            names << quoteName(c.name);
            marks << QStringLiteral("?");
            binds << toStorage(c, it.value());
        }
        m_db->exec(QStringLiteral("INSERT INTO ") + quoteName(info.name()) + QStringLiteral(" (") +
                       names.join(u',') + QStringLiteral(") VALUES (") + marks.join(u',') + u')',
                   binds);
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    reload();
    return true;
}

bool TableModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (m_readOnly || parent.isValid() || row < 0 || row + count > int(m_rows.size()))
        return false;
    try {
        beginRemoveRows({}, row, row + count - 1);
        for (int i = 0; i < count; ++i)
            m_db->exec(QStringLiteral("DELETE FROM ") + quoteName(m_table) +
                           QStringLiteral(" WHERE rowid = ?"),
                       {QVariant::fromValue<qlonglong>(m_rows[size_t(row + i)].key)});
        m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
        endRemoveRows();
    } catch (const DbError& e) {
        endRemoveRows();
        m_prompt.error(e.description());
        reload();
        return false;
    }
    return true;
}

} // namespace tawela::platform::db
