#include "platform/db/recordset.h"

#include "platform/db/db_error.h"

#include <QSqlQuery>

#include <algorithm>
#include <list>
#include <unordered_map>

namespace tawela::platform::db {

namespace {

constexpr qsizetype WindowSize = 128;
constexpr size_t MaxWindows = 8;

DbError noCurrentRecord()
{
    return DbError(error_number::NoCurrentRecord, QStringLiteral("ไม่มีระเบียนปัจจุบัน"));
}

} // namespace

struct Recordset::Impl {
    std::shared_ptr<Database> db;
    TableInfo info;
    Condition where;
    QList<SortKey> order;
    QString columnList; // quoted, in table order
    QString orderSql;

    std::vector<qint64> keys;
    bool keysAscending = true; // keys in rowid order: finds can use the index
    qsizetype pos = -1;
    bool inGap = false; // the current row was deleted

    // Cached windows of stored rows (raw values, table column order).
    struct Window {
        qsizetype index = -1;
        std::vector<QVariantList> rows;
        std::vector<bool> missing;
    };
    std::list<Window> windows; // most recently used first

    // Edit buffer
    bool adding = false;
    QVariantList edit;
    QBitArray changed;

    void loadKeys()
    {
        keys.clear();
        windows.clear();
        QString sql = QStringLiteral("SELECT rowid FROM ") + quoteName(info.name()) +
                      QStringLiteral(" WHERE ");
        QVariantList binds;
        where.compile(info, sql, binds);
        sql += orderSql;
        QSqlQuery q = db->exec(sql, binds);
        while (q.next())
            keys.push_back(q.value(0).toLongLong());
        keysAscending = order.isEmpty();
    }

    // The rows of positions [begin, end) in one statement, as stored.
    Window fetch(qsizetype begin, qsizetype end) const
    {
        QString sql = QStringLiteral("SELECT rowid, ") + columnList + QStringLiteral(" FROM ") +
                      quoteName(info.name());
        QVariantList binds;
        // The run's keys, in whatever order the set holds them.
        const auto [lowest, highest] =
            std::minmax_element(keys.begin() + begin, keys.begin() + end);
        const qint64 low = *lowest, high = *highest;
        if (high - low < 2 * (end - begin)) {
            // A dense run of keys: one range scan, rows outside the set are skipped below.
            sql += QStringLiteral(" WHERE rowid BETWEEN ? AND ?");
            binds << QVariant::fromValue<qlonglong>(low) << QVariant::fromValue<qlonglong>(high);
        } else {
            sql += QStringLiteral(" WHERE rowid IN (");
            for (qsizetype i = begin; i < end; ++i) {
                sql += i == begin ? QStringLiteral("?") : QStringLiteral(",?");
                binds << QVariant::fromValue<qlonglong>(keys[size_t(i)]);
            }
            sql += u')';
        }
        QSqlQuery q = db->exec(sql, binds);
        std::unordered_map<qint64, QVariantList> byKey;
        byKey.reserve(size_t(end - begin));
        const qsizetype n = info.size();
        while (q.next()) {
            QVariantList row;
            row.reserve(n);
            for (qsizetype c = 0; c < n; ++c)
                row << q.value(int(c + 1));
            byKey.emplace(q.value(0).toLongLong(), std::move(row));
        }
        Window w;
        w.rows.reserve(size_t(end - begin));
        for (qsizetype i = begin; i < end; ++i) {
            auto it = byKey.find(keys[size_t(i)]);
            if (it == byKey.end()) {
                // Deleted by another copy of the program since the set opened.
                QVariantList empty;
                for (qsizetype c = 0; c < n; ++c)
                    empty << QVariant();
                w.rows.push_back(empty);
                w.missing.push_back(true);
            } else {
                w.rows.push_back(std::move(it->second));
                w.missing.push_back(false);
            }
        }
        return w;
    }

    const Window& window(qsizetype windowIndex)
    {
        for (auto it = windows.begin(); it != windows.end(); ++it) {
            if (it->index == windowIndex) {
                windows.splice(windows.begin(), windows, it);
                return windows.front();
            }
        }
        Window w =
            fetch(windowIndex * WindowSize,
                  std::min<qsizetype>((windowIndex + 1) * WindowSize, qsizetype(keys.size())));
        w.index = windowIndex;
        windows.push_front(std::move(w));
        if (windows.size() > MaxWindows)
            windows.pop_back();
        return windows.front();
    }

    void dropWindowsFrom(qsizetype position)
    {
        const qsizetype first = position / WindowSize;
        windows.remove_if([first](const Window& w) { return w.index >= first; });
    }

    bool hasCurrent() const
    {
        return adding || (!inGap && pos >= 0 && pos < qsizetype(keys.size()));
    }

    QVariant rawValue(qsizetype column)
    {
        if (!hasCurrent())
            throw noCurrentRecord();
        // No edit in progress: the bits are not there to ask.
        if (adding || (column < changed.size() && changed.testBit(column)))
            return edit[column];
        const Window& w = window(pos / WindowSize);
        return w.rows[size_t(pos % WindowSize)][column];
    }

    void beginEditIfNeeded()
    {
        if (edit.size() != info.size()) {
            edit = QVariantList(info.size());
            changed = QBitArray(info.size());
        }
    }

    void clearEdit()
    {
        adding = false;
        edit.clear();
        changed.clear();
    }

    bool editing() const { return adding || (changed.size() > 0 && changed.count(true) > 0); }

    void storePending()
    {
        if (!editing())
            return;
        const QString table = quoteName(info.name());
        QStringList names;
        QVariantList binds;
        for (qsizetype c = 0; c < info.size(); ++c) {
            if (changed.testBit(c)) {
                names << quoteName(info.columns()[c].name);
                binds << edit[c];
            }
        }
        if (adding) {
            QString sql;
            if (names.isEmpty()) {
                sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES");
            } else {
                QStringList marks;
                for (qsizetype i = 0; i < names.size(); ++i)
                    marks << QStringLiteral("?");
                sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                      names.join(u',') + QStringLiteral(") VALUES (") + marks.join(u',') + u')';
            }
            const qint64 key = db->insert(sql, binds);
            if (!keys.empty() && key < keys.back())
                keysAscending = false;
            keys.push_back(key);
            pos = qsizetype(keys.size()) - 1;
            inGap = false;
            dropWindowsFrom(pos);
        } else {
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            binds << QVariant::fromValue<qlonglong>(keys[size_t(pos)]);
            db->exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                         sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?"),
                     binds);
            const qsizetype w = pos / WindowSize;
            windows.remove_if([w](const Window& x) { return x.index == w; });
        }
        clearEdit();
    }

    void setPosition(qsizetype p)
    {
        storePending();
        inGap = false;
        const qsizetype n = qsizetype(keys.size());
        pos = std::clamp<qsizetype>(p, -1, n);
    }
};

Recordset::Recordset(std::shared_ptr<Database> database, const QString& table,
                     const Condition& where, const QList<SortKey>& order)
    : d(std::make_unique<Impl>())
{
    d->db = std::move(database);
    d->info = d->db->tableInfo(table);
    d->where = where;
    d->order = order;
    QStringList cols;
    for (const ColumnInfo& c : d->info.columns())
        cols << quoteName(c.name);
    d->columnList = cols.join(u',');
    QStringList orderParts;
    for (const SortKey& k : order) {
        const QString name = quoteName(d->info.column(k.column).name);
        const QString direction = k.descending ? QStringLiteral(" DESC") : QString();
        if (k.numbersByValue)
            orderParts << QStringLiteral("CASE WHEN ") + d->db->dialect().digitsOnly(name) +
                              QStringLiteral(" THEN length(") + name +
                              QStringLiteral(") ELSE 0 END") + direction;
        orderParts << name + direction;
    }
    // Ties go by key, in the direction of the last sort key, so that an index
    // on that column (which ends with the key) gives the order without sorting.
    orderParts << QStringLiteral("rowid") + (!order.isEmpty() && order.last().descending
                                                 ? QStringLiteral(" DESC")
                                                 : QString());
    d->orderSql = QStringLiteral(" ORDER BY ") + orderParts.join(QStringLiteral(", "));
    d->loadKeys();
    d->pos = d->keys.empty() ? -1 : 0;
}

Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

qsizetype Recordset::count() const
{
    return qsizetype(d->keys.size());
}

bool Recordset::atStart() const
{
    return d->keys.empty() || (d->pos < 0 && !d->adding);
}

bool Recordset::atEnd() const
{
    return d->keys.empty() ? !d->adding : (d->pos >= count() && !d->adding);
}

qsizetype Recordset::position() const
{
    return d->pos;
}

void Recordset::moveFirst()
{
    d->setPosition(d->keys.empty() ? -1 : 0);
}
void Recordset::moveLast()
{
    d->setPosition(count() - 1);
}

void Recordset::moveNext()
{
    if (d->inGap && !d->editing()) {
        d->inGap = false; // the row after the deleted one already stands at pos
        return;
    }
    d->setPosition(d->pos + 1);
}

void Recordset::movePrevious()
{
    d->setPosition(d->pos - 1);
}

void Recordset::move(qsizetype delta)
{
    if (d->inGap && delta > 0)
        --delta;
    d->setPosition(d->pos + delta);
}

void Recordset::moveTo(qsizetype position)
{
    d->setPosition(position);
}

QVariant Recordset::value(const QString& column) const
{
    const qsizetype c = d->info.require(column);
    return fromStorage(d->info.columns()[c].kind, d->rawValue(c));
}

QString Recordset::text(const QString& column) const
{
    const QVariant v = value(column);
    if (v.typeId() == qMetaTypeId<Decimal>())
        return v.value<Decimal>().toString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

Decimal Recordset::decimal(const QString& column) const
{
    const QVariant v = value(column);
    if (v.typeId() == qMetaTypeId<Decimal>())
        return v.value<Decimal>();
    if (v.typeId() == QMetaType::LongLong)
        return Decimal::fromInt(v.toLongLong());
    if (v.typeId() == QMetaType::Bool)
        return Decimal::fromInt(v.toBool() ? 1 : 0);
    return Decimal::parse(v.toString()).value_or(Decimal());
}

qint64 Recordset::integer(const QString& column) const
{
    const QVariant v = value(column);
    if (v.typeId() == qMetaTypeId<Decimal>())
        return v.value<Decimal>().truncatedToInt();
    return v.toLongLong();
}

bool Recordset::boolean(const QString& column) const
{
    return value(column).toBool();
}

QDate Recordset::date(const QString& column) const
{
    const QVariant v = value(column);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

bool Recordset::isNull(const QString& column) const
{
    const QVariant v = d->rawValue(d->info.require(column));
    return !v.isValid() || v.isNull();
}

void Recordset::forEachRow(
    const std::function<void(qsizetype position, const QVariantList& row)>& receive) const
{
    constexpr qsizetype Run = 1024;
    const qsizetype n = d->info.size();
    QVariantList row;
    for (qsizetype begin = 0; begin < count(); begin += Run) {
        const Impl::Window w = d->fetch(begin, std::min(begin + Run, count()));
        for (size_t i = 0; i < w.rows.size(); ++i) {
            row.clear();
            for (qsizetype c = 0; c < n; ++c)
                row << fromStorage(d->info.columns()[c].kind, w.rows[i][c]);
            receive(begin + qsizetype(i), row);
        }
    }
}

QVariant Recordset::valueAt(qsizetype position, qsizetype column) const
{
    if (position < 0 || position >= count() || column < 0 || column >= d->info.size())
        return {};
    const auto& w = d->window(position / WindowSize);
    return fromStorage(d->info.columns()[column].kind,
                       w.rows[size_t(position % WindowSize)][column]);
}

void Recordset::addNew()
{
    d->storePending();
    d->clearEdit();
    d->adding = true;
    d->beginEditIfNeeded();
}

void Recordset::setValue(const QString& column, const QVariant& value)
{
    const qsizetype c = d->info.require(column);
    if (!d->hasCurrent())
        throw noCurrentRecord();
    // Half a character pair cannot be stored as text: the database would
    // take the next character with it.
    if (value.typeId() == QMetaType::QString && !QStringView(value.toString()).isValidUtf16())
        throw DbError(error_number::TypeMismatch,
                      QStringLiteral("ข้อความในช่อง ") + column +
                          QStringLiteral(" มีอักขระที่ไม่ถูกต้อง กรุณาพิมพ์ข้อความนี้ใหม่"));
    const QVariant stored = toStorage(d->info.columns()[c], value);
    if (!d->adding && !(c < d->changed.size() && d->changed.testBit(c))) {
        // The value it already holds: nothing to write (and no index to touch).
        const QVariant raw = d->rawValue(c);
        if (raw.isNull() == stored.isNull() && raw == stored)
            return;
    }
    d->beginEditIfNeeded();
    d->edit[c] = stored;
    d->changed.setBit(c);
}

void Recordset::setText(const QString& column, const QString& value)
{
    setValue(column, value);
}

void Recordset::setDecimal(const QString& column, Decimal value)
{
    setValue(column, QVariant::fromValue(value));
}

void Recordset::setInteger(const QString& column, qint64 value)
{
    setValue(column, QVariant::fromValue<qlonglong>(value));
}

void Recordset::setBool(const QString& column, bool value)
{
    setValue(column, value);
}

void Recordset::setDate(const QString& column, const QDate& value)
{
    setValue(column, value.isValid() ? QVariant(value) : QVariant());
}

void Recordset::setTime(const QString& column, const QTime& value)
{
    setValue(column, value.isValid() ? QVariant(value) : QVariant());
}

void Recordset::store()
{
    d->storePending();
}

void Recordset::cancelEdit()
{
    const bool wasAdding = d->adding;
    d->clearEdit();
    if (wasAdding && d->pos >= count())
        d->pos = count();
}

bool Recordset::isEditing() const
{
    return d->editing();
}
bool Recordset::isAdding() const
{
    return d->adding;
}

void Recordset::removeCurrent()
{
    if (d->adding) {
        d->clearEdit();
        return;
    }
    if (!d->hasCurrent())
        throw noCurrentRecord();
    d->db->exec(QStringLiteral("DELETE FROM ") + quoteName(d->info.name()) +
                    QStringLiteral(" WHERE rowid = ?"),
                {QVariant::fromValue<qlonglong>(d->keys[size_t(d->pos)])});
    d->clearEdit();
    d->keys.erase(d->keys.begin() + d->pos);
    d->dropWindowsFrom(d->pos);
    d->inGap = true;
}

bool Recordset::find(const Condition& condition, FindStart start)
{
    d->storePending();
    qsizetype from = d->pos < 0 ? 0 : d->pos;
    if (start == FindStart::Next && !d->inGap && d->pos >= 0)
        ++from;
    d->inGap = false;
    const qsizetype n = count();
    if (from >= n) {
        d->pos = n;
        return false;
    }

    const QString table = quoteName(d->info.name());
    QString sql = QStringLiteral("SELECT rowid FROM ") + table + QStringLiteral(" WHERE (");
    QVariantList binds;
    d->where.compile(d->info, sql, binds);
    sql += QStringLiteral(") AND (");
    condition.compile(d->info, sql, binds);
    sql += u')';

    if (d->keysAscending) {
        // Rows in key order: look near the cursor first, where the database
        // can stop at the first match.
        const qsizetype nearEnd = std::min<qsizetype>(from + 4096, n);
        QVariantList b = binds;
        b << QVariant::fromValue<qlonglong>(d->keys[size_t(from)])
          << QVariant::fromValue<qlonglong>(d->keys[size_t(nearEnd - 1)]);
        QSqlQuery nearQuery =
            d->db->exec(sql + QStringLiteral(" AND rowid BETWEEN ? AND ? ORDER BY rowid"), b);
        while (nearQuery.next()) {
            const qint64 key = nearQuery.value(0).toLongLong();
            auto it = std::lower_bound(d->keys.begin(), d->keys.end(), key);
            // A row added by another copy after this set opened is not part of it.
            if (it != d->keys.end() && *it == key) {
                d->pos = qsizetype(it - d->keys.begin());
                return true;
            }
        }
        from = nearEnd;
        if (from >= n) {
            d->pos = n;
            return false;
        }
    }

    if (!d->keysAscending) {
        // Any other order: ask the rows just after the cursor first, a few
        // hundred keys at a time, so a common match costs one short query.
        constexpr qsizetype Batch = 500;
        constexpr int Batches = 4;
        for (int b = 0; b < Batches && from < n; ++b) {
            const qsizetype end = std::min<qsizetype>(from + Batch, n);
            QVariantList nb = binds;
            QString in = QStringLiteral(" AND rowid IN (");
            for (qsizetype i = from; i < end; ++i) {
                in += i == from ? QStringLiteral("?") : QStringLiteral(",?");
                nb << QVariant::fromValue<qlonglong>(d->keys[size_t(i)]);
            }
            std::vector<qint64> found;
            for (QSqlQuery q = d->db->exec(sql + in + u')', nb); q.next();)
                found.push_back(q.value(0).toLongLong());
            if (!found.empty()) {
                std::sort(found.begin(), found.end());
                for (qsizetype i = from; i < end; ++i) {
                    if (std::binary_search(found.begin(), found.end(), d->keys[size_t(i)])) {
                        d->pos = i;
                        return true;
                    }
                }
            }
            from = end;
        }
        if (from >= n) {
            d->pos = n;
            return false;
        }
    }

    std::vector<qint64> matches;
    QSqlQuery q = d->db->exec(sql, binds);
    while (q.next())
        matches.push_back(q.value(0).toLongLong());
    std::sort(matches.begin(), matches.end());
    if (d->keysAscending) {
        for (auto m = std::lower_bound(matches.begin(), matches.end(), d->keys[size_t(from)]);
             m != matches.end(); ++m) {
            auto it = std::lower_bound(d->keys.begin() + from, d->keys.end(), *m);
            if (it != d->keys.end() && *it == *m) {
                d->pos = qsizetype(it - d->keys.begin());
                return true;
            }
        }
        d->pos = n;
        return false;
    }
    for (qsizetype i = from; i < n; ++i) {
        if (std::binary_search(matches.begin(), matches.end(), d->keys[size_t(i)])) {
            d->pos = i;
            return true;
        }
    }
    d->pos = n;
    return false;
}

namespace {
QString rowVersionColumn()
{
    return QStringLiteral("row_version");
}
} // namespace

void raiseRowVersion(Recordset& row)
{
    row.setInteger(rowVersionColumn(), rowVersion(row) + 1);
}

void startRowVersion(Recordset& row)
{
    row.setInteger(rowVersionColumn(), 0);
}

qint64 rowVersion(const Recordset& row)
{
    return row.integer(rowVersionColumn());
}

void Recordset::reread()
{
    d->clearEdit();
    if (d->hasCurrent()) {
        const qsizetype w = d->pos / WindowSize;
        d->windows.remove_if([w](const Impl::Window& x) { return x.index == w; });
    }
}

void Recordset::requery()
{
    d->storePending();
    d->inGap = false;
    d->loadKeys();
    d->pos = d->keys.empty() ? -1 : 0;
}

const TableInfo& Recordset::table() const
{
    return d->info;
}

const std::shared_ptr<Database>& Recordset::database() const
{
    return d->db;
}

} // namespace tawela::platform::db
