#include "customers/customer_import.h"

#include "customers/customer.h"
#include "customers/customer_export.h"
#include "platform/db/transaction.h"
#include "platform/decimal.h"
#include "text/thai_text.h"

#include <QSqlQuery>

#include <cmath>

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

ImportResult importCustomers(platform::db::Database& db, const platform::SheetData& sheet,
                             const ImportProgress& progress)
{
    ImportResult result;
    const platform::db::TableInfo& info = db.tableInfo(QStringLiteral("customer"));
    // The last row whose column B (the title) is filled ends the rows read.
    size_t last = 0;
    for (size_t r = 1; r < sheet.rows.size(); ++r)
        if (!sheet.at(r, 1).isEmpty())
            last = r;
    const qsizetype total = qsizetype(last);
    for (size_t r = last + 1; r < sheet.rows.size(); ++r)
        if (!sheet.at(r, 0).asText().trimmed().isEmpty())
            ++result.afterLast;
    // The problem list names a column by its caption; the sheet heads two
    // columns "No use".
    QStringList headings = sheetHeadings();
    headings[32] = QStringLiteral("รายได้");
    headings[33] = QStringLiteral("อยู่กทม");
    const int columns = std::min<int>(Columns, int(info.size()) - 1);
    const qsizetype codeLimit = textLimit(QStringLiteral("C_code"));

    QStringList stored{QStringLiteral("rowid")};
    for (int c = 1; c <= columns; ++c)
        stored << quoteName(info.columns()[c].name);
    const QString lookup = QStringLiteral("SELECT ") + stored.join(u',') +
                           QStringLiteral(" FROM customer WHERE C_code = ? ORDER BY rowid LIMIT 1");

    platform::db::Transaction t(db);
    db.lockForWriting(QStringLiteral("customer"));
    for (size_t r = 1; r <= last; ++r) {
        if (progress && r % 200 == 0 && !progress(qsizetype(r), total)) {
            result = {};
            result.cancelled = true;
            return result; // the transaction is rolled back
        }
        // Codes are stored and compared without blanks around them.
        const QString code = sheet.at(r, 0).asText().trimmed();
        if (code.isEmpty())
            continue;
        if (code.size() > codeLimit) {
            result.problems << ImportProblem{
                int(r + 1), headings.value(0), code,
                QStringLiteral("รหัสยาวเกิน %1 ตัวอักษร ไม่ได้นำเข้าแถวนี้").arg(codeLimit)};
            continue;
        }
        // The stored row, so that only what changes is written.
        const QVariantList row = db.rowRepeated(lookup, {code});
        const bool found = !row.isEmpty();
        QStringList names;
        QVariantList binds;
        for (int c = 0; c < columns; ++c) {
            const SheetValue& v = sheet.at(r, size_t(c));
            if (v.isEmpty())
                continue;
            const ColumnInfo& column = info.columns()[c + 1];
            const Converted value = c == 0 ? Converted{code, {}} : convert(column, v);
            if (!value.why.isEmpty()) {
                result.problems << ImportProblem{int(r + 1), headings.value(c), v.asText(),
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
                ++result.unchanged; // the customer as stored already
                continue;
            }
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            binds << row[0];
            db.scalarRepeated(QStringLiteral("UPDATE customer SET ") +
                                  sets.join(QStringLiteral(", ")) +
                                  QStringLiteral(", row_version = coalesce(row_version, 0) + 1 "
                                                 "WHERE rowid = ?"),
                              binds);
            ++result.updated;
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            db.scalarRepeated(QStringLiteral("INSERT INTO customer (") + names.join(u',') +
                                  QStringLiteral(") VALUES (") + marks.join(u',') + u')',
                              binds);
            ++result.added;
        }
    }
    if (progress && !progress(total, total)) {
        result = {};
        result.cancelled = true;
        return result;
    }
    t.commit();
    return result;
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
