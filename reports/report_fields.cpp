#include "reports/report_fields.h"
#include "reports/report_engine.h"

#include "platform/decimal.h"
#include "text/thai_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace tawela::reports {

using platform::Decimal;
using platform::Rounding;

QHash<QString, QString> parseFormulaValues(const QStringList& entries)
{
    static const QRegularExpression entry(QStringLiteral("^\\s*(\\w+)\\s*=\\s*'(.*)'\\s*$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QHash<QString, QString> values;
    for (const QString& e : entries) {
        const auto m = entry.match(e);
        if (m.hasMatch())
            values.insert(m.captured(1).toLower(),
                          m.captured(2).replace(QStringLiteral("''"), QStringLiteral("'")));
    }
    return values;
}

namespace {

QString numberFormat(Decimal v, const QString& format)
{
    if (format == QLatin1String("#####.00"))
        return text::listAmountText(v);
    const qsizetype point = format.indexOf(u'.');
    const int places = point < 0 ? 0 : int(format.size() - point - 1);
    if (format.contains(u','))
        return text::groupedAmountText(v, places);
    return v.rounded(places, Rounding::HalfAwayFromZero).toFixed(places);
}

QString beDate(const QDate& d)
{
    return text::buddhistDateText(d);
}

} // namespace

QString formatValue(const QVariant& value, const QString& format)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QString f = format.trimmed();
    if (f == QLatin1String("baht")) {
        if (value.typeId() == qMetaTypeId<Decimal>())
            return text::bahtText(value.value<Decimal>());
        return text::bahtText(value.toString());
    }
    if (value.typeId() == QMetaType::QDate) {
        const QDate d = value.toDate();
        if (f == QLatin1String("longdate"))
            return text::thaiLongDate(d).trimmed();
        return beDate(d);
    }
    if (value.typeId() == QMetaType::QTime)
        return value.toTime().toString(QStringLiteral("HH:mm"));
    Decimal number;
    bool isNumber = false;
    if (value.typeId() == qMetaTypeId<Decimal>()) {
        number = value.value<Decimal>();
        isNumber = true;
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
        number = Decimal::fromInt(value.toLongLong());
        isNumber = true;
    } else if (value.typeId() == QMetaType::Bool) {
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    } else if (!f.isEmpty() && f != QLatin1String("date") && f != QLatin1String("longdate")) {
        if (auto parsed = Decimal::parse(value.toString())) {
            number = *parsed;
            isNumber = true;
        }
    }
    if (isNumber)
        return f.isEmpty() ? number.toString() : numberFormat(number, f);
    if (f == QLatin1String("date") || f == QLatin1String("longdate")) {
        const QDate d = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (d.isValid())
            return f == QLatin1String("date") ? beDate(d) : text::thaiLongDate(d).trimmed();
    }
    return value.toString();
}

namespace fields {

QString pagesMark()
{
    return QStringLiteral("\x01pages\x01");
}

Totals totalsOf(const QList<ReportRow>& rows, qsizetype from, qsizetype to)
{
    Totals t;
    for (qsizetype i = from; i < to; ++i) {
        ++t.count;
        const ReportRow& row = rows[i];
        for (qsizetype k = 0; k < row.size(); ++k) {
            const QVariant& v = row.at(k);
            if (!v.isNull() && v.isValid())
                ++t.present[row.key(k)];
            if (v.typeId() == qMetaTypeId<Decimal>())
                t.sums[row.key(k)] += v.value<Decimal>();
            else if (v.typeId() == QMetaType::LongLong)
                t.sums[row.key(k)] += Decimal::fromInt(v.toLongLong());
        }
    }
    return t;
}

QVariant valueOf(const QString& name, const Context& c)
{
    const QString n = name.trimmed();
    if (n.size() >= 2 && n.startsWith(u'\'') && n.endsWith(u'\''))
        return n.mid(1, n.size() - 2);
    if (n.contains(u'.'))
        return c.row ? c.row->value(n.toLower()) : QVariant();
    if (c.values && c.values->contains(n.toLower()))
        return c.values->value(n.toLower());
    return {};
}

bool truthy(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == qMetaTypeId<Decimal>())
        return !v.value<Decimal>().isZero();
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return v.toLongLong() != 0;
    const QString t = v.toString().trimmed();
    return !t.isEmpty() && t != QLatin1String("0") &&
           t.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

QString expand(const QString& templ, const Context& c)
{
    QString out;
    qsizetype i = 0;
    while (i < templ.size()) {
        const qsizetype open = templ.indexOf(u'{', i);
        if (open < 0) {
            out += templ.mid(i);
            break;
        }
        const qsizetype close = templ.indexOf(u'}', open);
        if (close < 0) {
            out += templ.mid(i);
            break;
        }
        out += templ.mid(i, open - i);
        const QStringList parts = templ.mid(open + 1, close - open - 1).split(u':');
        const QString head = parts.value(0).trimmed().toLower();
        if (head == QLatin1String("page")) {
            out += QString::number(c.page);
        } else if (head == QLatin1String("pages")) {
            out += pagesMark();
        } else if (head == QLatin1String("printdate")) {
            out += formatValue(c.printDate, parts.value(1));
        } else if (head == QLatin1String("count")) {
            // {count}: the rows; {count:table.column}: the rows holding that field
            // (the lines of a joined list, which a row without any still lacks).
            const QString field = parts.value(1).trimmed().toLower();
            const qint64 n = !c.totals         ? 0
                             : field.isEmpty() ? c.totals->count
                                               : c.totals->present.value(field);
            out += QString::number(n);
        } else if (head == QLatin1String("sum")) {
            const QString field = parts.value(1).trimmed().toLower();
            const Decimal sum = c.totals ? c.totals->sums.value(field) : Decimal();
            out += formatValue(QVariant::fromValue(sum), parts.value(2));
        } else if (head == QLatin1String("if")) {
            // {if:CONDITION:THEN:ELSE}
            const QVariant v =
                valueOf(truthy(valueOf(parts.value(1), c)) ? parts.value(2) : parts.value(3), c);
            out += formatValue(v, QString());
        } else if (head == QLatin1String("first")) {
            // {first:A:B:...}: the first that is not empty
            for (qsizetype k = 1; k < parts.size(); ++k) {
                const QString text = formatValue(valueOf(parts[k], c), QString());
                if (!text.trimmed().isEmpty()) {
                    out += text;
                    break;
                }
            }
        } else if (head.contains(u'.')) {
            out += formatValue(c.row ? c.row->value(head) : QVariant(), parts.value(1));
        } else if (c.values && c.values->contains(head)) {
            out += c.values->value(head);
        }
        i = close + 1;
    }
    return out;
}

} // namespace fields

} // namespace tawela::reports
