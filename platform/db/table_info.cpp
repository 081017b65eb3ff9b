#include "platform/db/table_info.h"

#include "platform/db/db_error.h"
#include "platform/decimal.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace tawela::platform::db {

namespace {

DbError mismatch(const ColumnInfo& column, const QVariant& value)
{
    return DbError(error_number::TypeMismatch, QStringLiteral("ค่า \"") + value.toString().left(60) +
                                                   QStringLiteral("\" ใช้กับช่อง ") + column.name +
                                                   QStringLiteral(" ไม่ได้ (ชนิดข้อมูลไม่ตรงกัน)"));
}

bool isEmptyText(const QVariant& v)
{
    return v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty();
}

std::optional<qint64> integerOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return v.toLongLong();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        break;
    }
    if (v.canConvert<Decimal>() && v.typeId() == qMetaTypeId<Decimal>()) {
        const Decimal d = v.value<Decimal>();
        if (d.units() % Decimal::Unit == 0)
            return d.truncatedToInt();
        return std::nullopt;
    }
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const qint64 n = v.toString().trimmed().toLongLong(&ok);
        if (ok)
            return n;
        if (auto d = Decimal::parse(v.toString()); d && d->units() % Decimal::Unit == 0)
            return d->truncatedToInt();
    }
    return std::nullopt;
}

} // namespace

ColumnKind kindFromDeclaredType(const QString& declared)
{
    const QString t = declared.trimmed().toUpper();
    if (t == QLatin1String("CURRENCY"))
        return ColumnKind::Decimal;
    if (t == QLatin1String("DATE"))
        return ColumnKind::Date;
    if (t == QLatin1String("TIME"))
        return ColumnKind::Time;
    if (t == QLatin1String("DATETIME"))
        return ColumnKind::DateTime;
    if (t == QLatin1String("BOOLEAN"))
        return ColumnKind::Boolean;
    if (t == QLatin1String("BLOB"))
        return ColumnKind::Blob;
    if (t.contains(QLatin1String("INT")))
        return ColumnKind::Integer;
    return ColumnKind::Text;
}

QString declaredType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Text:
        return QStringLiteral("TEXT");
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Decimal:
        return QStringLiteral("CURRENCY");
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::Time:
        return QStringLiteral("TIME");
    case ColumnKind::DateTime:
        return QStringLiteral("DATETIME");
    case ColumnKind::Boolean:
        return QStringLiteral("BOOLEAN");
    case ColumnKind::Blob:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

TableInfo::TableInfo(QString name, QList<ColumnInfo> columns, Dialect dialect)
    : m_name(std::move(name)), m_columns(std::move(columns)), m_dialect(dialect)
{
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        m_index.insert(m_columns[i].name.toLower(), i);
}

qsizetype TableInfo::indexOf(const QString& column) const
{
    return m_index.value(column.toLower(), -1);
}

qsizetype TableInfo::require(const QString& column) const
{
    const qsizetype i = indexOf(column);
    if (i < 0)
        throw DbError(error_number::ItemNotFound, QStringLiteral("ไม่พบช่องข้อมูล ") + column +
                                                      QStringLiteral(" ในตาราง ") + m_name);
    return i;
}

QVariant toStorage(const ColumnInfo& column, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (column.kind) {
    case ColumnKind::Text:
        if (value.typeId() == qMetaTypeId<Decimal>())
            return value.value<Decimal>().toString();
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        return value.toString();
    case ColumnKind::Integer: {
        if (isEmptyText(value))
            return QVariant();
        if (auto n = integerOf(value))
            return QVariant::fromValue<qlonglong>(*n);
        throw mismatch(column, value);
    }
    case ColumnKind::Decimal: {
        if (value.typeId() == qMetaTypeId<Decimal>())
            return QVariant::fromValue<qlonglong>(value.value<Decimal>().units());
        if (isEmptyText(value))
            return QVariant();
        if (value.typeId() == QMetaType::QString) {
            if (auto d = Decimal::parse(value.toString()))
                return QVariant::fromValue<qlonglong>(d->units());
            throw mismatch(column, value);
        }
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            // Numbers that arrive as binary floating point (a spreadsheet cell)
            // are taken at their shortest decimal spelling.
            if (auto d = Decimal::parse(QString::number(value.toDouble(), 'g', 15)))
                return QVariant::fromValue<qlonglong>(d->units());
            throw mismatch(column, value);
        }
        if (auto n = integerOf(value))
            return QVariant::fromValue<qlonglong>(Decimal::fromInt(*n).units());
        throw mismatch(column, value);
    }
    case ColumnKind::Date: {
        if (isEmptyText(value))
            return QVariant();
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else if (value.typeId() == QMetaType::QString)
            d = QDate::fromString(value.toString().trimmed().left(10), Qt::ISODate);
        if (!d.isValid())
            throw mismatch(column, value);
        return d.toString(Qt::ISODate);
    }
    case ColumnKind::Time: {
        if (isEmptyText(value))
            return QVariant();
        QTime t;
        if (value.typeId() == QMetaType::QTime)
            t = value.toTime();
        else if (value.typeId() == QMetaType::QDateTime)
            t = value.toDateTime().time();
        else if (value.typeId() == QMetaType::QString)
            t = QTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!t.isValid())
            throw mismatch(column, value);
        return t.toString(QStringLiteral("HH:mm:ss"));
    }
    case ColumnKind::DateTime: {
        if (isEmptyText(value))
            return QVariant();
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (value.typeId() == QMetaType::QString)
            dt = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!dt.isValid())
            throw mismatch(column, value);
        return dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    }
    case ColumnKind::Boolean: {
        if (value.typeId() == QMetaType::Bool)
            return QVariant::fromValue<qlonglong>(value.toBool() ? 1 : 0);
        if (isEmptyText(value))
            return QVariant::fromValue<qlonglong>(0); // yes/no is never unknown
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed().toLower();
            if (t == QLatin1String("true"))
                return QVariant::fromValue<qlonglong>(1);
            if (t == QLatin1String("false"))
                return QVariant::fromValue<qlonglong>(0);
        }
        if (auto n = integerOf(value))
            return QVariant::fromValue<qlonglong>(*n != 0 ? 1 : 0);
        throw mismatch(column, value);
    }
    case ColumnKind::Blob:
        return value.toByteArray();
    }
    return value;
}

QVariant fromStorage(ColumnKind kind, const QVariant& raw)
{
    if (!raw.isValid() || raw.isNull())
        return QVariant();
    switch (kind) {
    case ColumnKind::Text:
        return raw.toString();
    case ColumnKind::Integer:
        return QVariant::fromValue<qlonglong>(raw.toLongLong());
    case ColumnKind::Decimal:
        if (raw.typeId() == QMetaType::Double) {
            // Written by something other than this program; take its decimal spelling.
            if (auto d = Decimal::parse(QString::number(raw.toDouble(), 'g', 15)))
                return QVariant::fromValue(*d);
        }
        if (raw.typeId() == QMetaType::QString)
            return QVariant::fromValue(Decimal::parse(raw.toString()).value_or(Decimal()));
        return QVariant::fromValue(Decimal::fromUnits(raw.toLongLong()));
    case ColumnKind::Date: {
        if (raw.typeId() == QMetaType::QDate)
            return raw.toDate();
        const QDate d = QDate::fromString(raw.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case ColumnKind::Time: {
        if (raw.typeId() == QMetaType::QTime)
            return raw.toTime();
        const QTime t = QTime::fromString(raw.toString(), Qt::ISODate);
        return t.isValid() ? QVariant(t) : QVariant();
    }
    case ColumnKind::DateTime: {
        if (raw.typeId() == QMetaType::QDateTime)
            return raw.toDateTime();
        const QDateTime dt = QDateTime::fromString(raw.toString(), Qt::ISODate);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case ColumnKind::Boolean:
        return raw.toLongLong() != 0;
    case ColumnKind::Blob:
        return raw.toByteArray();
    }
    return raw;
}

QString quoteName(const QString& name)
{
    QString escaped = name.toLower();
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

} // namespace tawela::platform::db
