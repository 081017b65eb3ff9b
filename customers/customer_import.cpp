#include "customers/customer_import.h"

#include "customers/customer.h"
#include "customers/customer_export.h"
#include "platform/db/transaction.h"
#include "platform/decimal.h"
#include "text/thai_text.h"

#include <QSet>
#include <QSqlQuery>

#include <cmath>
#include <unordered_map>

namespace tawela::customers {

using platform::SheetValue;
using platform::db::ColumnInfo;
using platform::db::ColumnKind;
using platform::db::quoteName;

namespace {

constexpr int Columns = 49; // A … AW

struct Converted {
    QVariant value;
    QString why; // empty when the value can be stored
};

QDate dateOf(const SheetValue& v)
{
    switch (v.kind) {
    case SheetValue::Kind::Date:
        return v.date;
    case SheetValue::Kind::Number:
        return platform::dateOfSerial(v.number);
    case SheetValue::Kind::Text: {
        const QDate iso = QDate::fromString(v.text.trimmed(), Qt::ISODate);
        return iso.isValid() ? iso : text::parseBuddhistDate(v.text);
    }
    default:
        return {};
    }
}

// The cell in the column's own kind, as the program would store it.
Converted convert(const ColumnInfo& column, const SheetValue& v)
{
    switch (column.kind) {
    case ColumnKind::Text: {
        const QString t = v.asText();
        if (const qsizetype limit = textLimit(column.name); limit > 0 && t.size() > limit)
            return {{}, QStringLiteral("ยาวเกิน %1 ตัวอักษร (มี %2 ตัวอักษร)").arg(limit).arg(t.size())};
        return {t, {}};
    }
    case ColumnKind::Integer: {
        if (v.kind == SheetValue::Kind::Number && v.number == std::floor(v.number) &&
            std::abs(v.number) < 1e15)
            return {QVariant::fromValue<qlonglong>(qlonglong(v.number)), {}};
        bool ok = false;
        const qlonglong n = v.asText().trimmed().toLongLong(&ok);
        if (ok)
            return {QVariant::fromValue(n), {}};
        return {{}, QStringLiteral("ต้องเป็นจำนวนเต็ม")};
    }
    case ColumnKind::Decimal: {
        if (auto d = platform::Decimal::parse(v.asText().trimmed()))
            return {QVariant::fromValue<qlonglong>(d->units()), {}};
        return {{}, QStringLiteral("ต้องเป็นตัวเลข")};
    }
    case ColumnKind::Date: {
        const QDate d = dateOf(v);
        if (d.isValid())
            return {d.toString(Qt::ISODate), {}};
        return {{}, QStringLiteral("ต้องเป็นวันที่")};
    }
    case ColumnKind::Boolean: {
        if (v.kind == SheetValue::Kind::Boolean)
            return {v.boolean ? 1 : 0, {}};
        const QString t = v.asText().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1") || t == QStringLiteral("จริง"))
            return {1, {}};
        if (t == QLatin1String("false") || t == QLatin1String("0") || t == QStringLiteral("เท็จ"))
            return {0, {}};
        return {{}, QStringLiteral("ต้องเป็น TRUE หรือ FALSE")};
    }
    default:
        return {v.asText(), {}};
    }
}

} // namespace

namespace {

const SheetValue& cellOf(const std::vector<SheetValue>& cells, int column)
{
    static const SheetValue empty;
    return size_t(column) < cells.size() ? cells[size_t(column)] : empty;
}

struct Cancelled {};

// Stores the rows of a sheet as they are read, in one transaction. Rows
// wait until a later row with a title (column B) shows that they are read;
// those still waiting at the end lie after the last titled row and are only
// counted. The stored rows of about 400 sheet rows are read in one
// statement.
class Importer {
public:
    Importer(platform::db::Database& db, const ImportProgress& progress)
        : m_db(db), m_info(db.tableInfo(QStringLiteral("customer"))), m_progress(progress),
          m_columns(std::min<int>(Columns, int(m_info.size()) - 1)),
          m_codeLimit(textLimit(QStringLiteral("C_code"))), m_transaction(db)
    {
        // The problem list names a column by its caption; the sheet heads
        // two columns "No use".
        m_headings = sheetHeadings();
        m_headings[32] = QStringLiteral("รายได้");
        m_headings[33] = QStringLiteral("อยู่กทม");
        QStringList stored{QStringLiteral("rowid")}, joined{QStringLiteral("c.rowid")};
        for (int c = 1; c <= m_columns; ++c) {
            stored << quoteName(m_info.columns()[c].name);
            joined << QStringLiteral("c.") + stored.last();
        }
        m_lookup = QStringLiteral("SELECT ") + stored.join(u',') +
                   QStringLiteral(" FROM customer WHERE C_code = ? ORDER BY rowid LIMIT 1");
        m_joined = joined.join(u',');
        if (!db.isServer() &&
            db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                     "AND name = 'customer_c_code'"))
                    .toInt() > 0)
            m_byCode = QStringLiteral(" INDEXED BY customer_c_code");
        db.lockForWriting(QStringLiteral("customer"));
    }

    void add(size_t row, std::vector<SheetValue>& cells, size_t expected)
    {
        if (row == 0)
            return; // the headings
        m_expected = expected;
        m_waiting.push_back({row, std::move(cells)});
        if (!cellOf(m_waiting.back().cells, 1).isEmpty())
            m_titled = m_waiting.size();
        if (m_titled >= Batch)
            storeTitled();
    }

    ImportResult finish()
    {
        storeTitled();
        for (const Waiting& w : m_waiting)
            if (!cellOf(w.cells, 0).asText().trimmed().isEmpty())
                ++m_result.afterLast;
        const qsizetype total = qsizetype(std::max(m_lastStored, size_t(1)));
        if (m_progress && !m_progress(total, total))
            throw Cancelled{};
        m_transaction.commit();
        return m_result;
    }

private:
    static constexpr size_t Batch = 400;
    struct Waiting {
        size_t row;
        std::vector<SheetValue> cells;
    };

    // Every waiting row up to the last one with a title.
    void storeTitled()
    {
        for (size_t from = 0; from < m_titled; from += Batch) {
            const size_t to = std::min(m_titled, from + Batch);
            readStored(from, to);
            for (size_t i = from; i < to; ++i)
                store(m_waiting[i]);
        }
        m_waiting.erase(m_waiting.begin(), m_waiting.begin() + qsizetype(m_titled));
        m_titled = 0;
    }

    QString codeOf(const Waiting& w) const
    {
        // Codes are stored and compared without blanks around them.
        return cellOf(w.cells, 0).asText().trimmed();
    }

    // The stored rows of waiting rows [from, to) in one statement: their
    // codes joined to the file, matched as the database compares codes
    // (letter case aside), the first stored row of each code.
    void readStored(size_t from, size_t to)
    {
        m_stored.clear();
        m_written.clear();
        QStringList values;
        QVariantList binds;
        for (size_t i = from; i < to; ++i) {
            const QString code = codeOf(m_waiting[i]);
            if (code.isEmpty() || code.size() > m_codeLimit)
                continue;
            values << QStringLiteral("(?, ?)");
            binds << qlonglong(m_waiting[i].row) << code;
        }
        if (values.isEmpty())
            return;
        // The sheet's codes drive the join, each looked up by the code's
        // index. SQLite is told which index: without statistics (a file
        // being filled by its first import) it builds a temporary one over
        // the whole table for every statement instead, which made a first
        // import of 100,000 customers take a minute.
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT s.column1, ") + m_joined +
                                    QStringLiteral(" FROM (VALUES ") + values.join(u',') +
                                    QStringLiteral(") AS s CROSS JOIN customer c") + m_byCode +
                                    QStringLiteral(" WHERE c.C_code = s.column2 "
                                                   "ORDER BY s.column1, c.rowid"),
                                binds);
        while (q.next()) {
            const size_t r = size_t(q.value(0).toLongLong());
            if (m_stored.count(r))
                continue; // a later stored row of the same code
            QVariantList row;
            row.reserve(m_columns + 1);
            for (int i = 1; i <= m_columns + 1; ++i)
                row << q.value(i);
            m_stored.emplace(r, std::move(row));
        }
    }

    void store(const Waiting& w)
    {
        const size_t r = w.row;
        m_lastStored = r;
        if (m_progress && ++m_done % 200 == 0 &&
            !m_progress(qsizetype(r), qsizetype(std::max(m_expected, r + 1) - 1)))
            throw Cancelled{};
        const QString code = codeOf(w);
        if (code.isEmpty())
            return;
        if (code.size() > m_codeLimit) {
            m_result.problems << ImportProblem{
                int(r + 1), m_headings.value(0), code,
                QStringLiteral("รหัสยาวเกิน %1 ตัวอักษร ไม่ได้นำเข้าแถวนี้").arg(m_codeLimit)};
            return;
        }
        // The stored row, so that only what changes is written; a code met
        // again in the same batch reads what was written for it.
        const QString key = code.toCaseFolded();
        QVariantList row;
        if (m_written.contains(key))
            row = m_db.rowRepeated(m_lookup, {code});
        else if (auto found = m_stored.find(r); found != m_stored.end())
            row = std::move(found->second);
        m_written.insert(key);
        const bool found = !row.isEmpty();
        QStringList names;
        QVariantList binds;
        for (int c = 0; c < m_columns; ++c) {
            const SheetValue& v = cellOf(w.cells, c);
            if (v.isEmpty())
                continue;
            const ColumnInfo& column = m_info.columns()[c + 1];
            const Converted value = c == 0 ? Converted{code, {}} : convert(column, v);
            if (!value.why.isEmpty()) {
                m_result.problems << ImportProblem{int(r + 1), m_headings.value(c), v.asText(),
                                                   value.why};
                continue;
            }
            const QVariant was = found ? row[c + 1] : QVariant();
            if (found && !was.isNull() && was.toString() == value.value.toString())
                continue;
            names << quoteName(column.name);
            binds << value.value;
        }
        if (found) {
            if (names.isEmpty()) {
                ++m_result.unchanged; // the customer as stored already
                return;
            }
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            binds << row[0];
            m_db.scalarRepeated(QStringLiteral("UPDATE customer SET ") +
                                    sets.join(QStringLiteral(", ")) +
                                    QStringLiteral(", row_version = coalesce(row_version, 0) + 1 "
                                                   "WHERE rowid = ?"),
                                binds);
            ++m_result.updated;
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            m_db.scalarRepeated(QStringLiteral("INSERT INTO customer (") + names.join(u',') +
                                    QStringLiteral(") VALUES (") + marks.join(u',') + u')',
                                binds);
            ++m_result.added;
        }
    }

    platform::db::Database& m_db;
    const platform::db::TableInfo& m_info;
    const ImportProgress& m_progress;
    const int m_columns;
    const qsizetype m_codeLimit;
    QStringList m_headings;
    QString m_lookup, m_joined, m_byCode;
    platform::db::Transaction m_transaction;
    ImportResult m_result;
    std::vector<Waiting> m_waiting;
    size_t m_titled = 0; // waiting rows up to the last with a title
    size_t m_expected = 0, m_lastStored = 0, m_done = 0;
    std::unordered_map<size_t, QVariantList> m_stored;
    QSet<QString> m_written;
};

ImportResult cancelled()
{
    ImportResult result;
    result.cancelled = true;
    return result;
}

} // namespace

ImportResult importCustomers(platform::db::Database& db, const platform::SheetData& sheet,
                             const ImportProgress& progress)
{
    try {
        Importer importer(db, progress);
        for (size_t r = 0; r < sheet.rows.size(); ++r) {
            std::vector<SheetValue> cells = sheet.rows[r];
            importer.add(r, cells, sheet.rows.size());
        }
        return importer.finish();
    } catch (const Cancelled&) {
        return cancelled(); // the transaction is rolled back
    }
}

ImportResult importCustomerFile(platform::db::Database& db, const QString& path, int columns,
                                const ImportProgress& progress)
{
    try {
        Importer importer(db, progress);
        platform::readSheetRows(path, columns,
                                [&](size_t row, std::vector<SheetValue>& cells, size_t expected) {
                                    importer.add(row, cells, expected);
                                });
        return importer.finish();
    } catch (const Cancelled&) {
        return cancelled();
    }
}

QString problemReport(const QList<ImportProblem>& problems)
{
    auto field = [](const QString& s) {
        QString quoted = s;
        quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return QStringLiteral("\"%1\"").arg(quoted);
    };
    QString out = QStringLiteral("แถว,หัวคอลัมน์,ข้อมูล,สาเหตุ\n");
    for (const ImportProblem& p : problems)
        out +=
            QStringLiteral("%1,%2,%3,%4\n")
                .arg(QString::number(p.sheetRow), field(p.heading), field(p.value), field(p.why));
    return out;
}

} // namespace tawela::customers
