#include "reports/report_definition.h"

#include <cmath>

#include "reports/barcode.h"

#include <QFile>
#include <QRegularExpression>

namespace tawela::reports {

namespace {

QString definitionErrorText(const QString& file, int line, const QString& message)
{
    QString where =
        file.isEmpty() ? QStringLiteral("แบบรายงาน") : QStringLiteral("แบบรายงาน ") + file;
    if (line > 0)
        where += QStringLiteral(" บรรทัด ") + QString::number(line);
    return where + QStringLiteral(": ") + message;
}

} // namespace

DefinitionError::DefinitionError(const QString& file, int line, const QString& message)
    : Error(definitionErrorText(file, line, message)), m_line(line)
{}

const Band* ReportDefinition::band(Band::Kind kind) const
{
    for (const Band& b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

namespace {

struct Reader {
    QString file;
    int line = 0;

    [[noreturn]] void fail(const QString& message) const
    {
        throw DefinitionError(file, line, message);
    }

    // A measurement in millimetres or points: a plain number from 0 to
    // 5000 (nan, inf and negatives would make pages no printer can take).
    double number(const QString& text) const
    {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(QStringLiteral("ต้องเป็นตัวเลข: \"") + text.left(40) + u'"');
        if (v < 0 || v > 5000)
            fail(QStringLiteral("ต้องเป็นตัวเลขตั้งแต่ 0 ถึง 5000: \"") + text.left(40) + u'"');
        return v;
    }
    double positive(const QString& text) const
    {
        const double v = number(text);
        if (v <= 0)
            fail(QStringLiteral("ต้องมากกว่า 0: \"") + text.left(40) + u'"');
        return v;
    }
};

const QList<QPair<QString, Band::Kind>>& bandNames()
{
    static const QList<QPair<QString, Band::Kind>> names = {
        {QStringLiteral("report header"), Band::Kind::ReportHeader},
        {QStringLiteral("page header"), Band::Kind::PageHeader},
        {QStringLiteral("group header"), Band::Kind::GroupHeader},
        {QStringLiteral("detail"), Band::Kind::Detail},
        {QStringLiteral("group footer"), Band::Kind::GroupFooter},
        {QStringLiteral("page footer"), Band::Kind::PageFooter},
        {QStringLiteral("report footer"), Band::Kind::ReportFooter},
    };
    return names;
}

void pageSetting(ReportDefinition& d, const QString& value, const Reader& r)
{
    const QString v = value.toLower();
    if (v == QLatin1String("a4"))
        d.pageSize = {210, 297};
    else if (v == QLatin1String("a5"))
        d.pageSize = {148, 210};
    else if (v == QLatin1String("roll58") || v == QLatin1String("roll65") ||
             v == QLatin1String("roll85")) {
        d.pageSize = {v.mid(4).toDouble(), 0};
        d.roll = true;
    } else {
        static const QRegularExpression custom(QStringLiteral("^([0-9.]+)x([0-9.]+)$"));
        const auto m = custom.match(v);
        if (!m.hasMatch())
            r.fail(QStringLiteral("ไม่รู้จักขนาดกระดาษ \"") + value + u'"');
        d.pageSize = {r.positive(m.captured(1)), r.positive(m.captured(2))};
    }
}

Element element(const QString& line, const Reader& r)
{
    // kind x y w h [options][: content]
    const qsizetype colon = line.indexOf(u':');
    const QString head = colon < 0 ? line : line.left(colon);
    Element e;
    e.content = colon < 0 ? QString() : line.mid(colon + 1).trimmed();
    const QStringList words = head.split(u' ', Qt::SkipEmptyParts);
    const QString kind = words.value(0).toLower();
    if (kind == QLatin1String("text"))
        e.kind = Element::Kind::Text;
    else if (kind == QLatin1String("line"))
        e.kind = Element::Kind::Line;
    else if (kind == QLatin1String("box"))
        e.kind = Element::Kind::Box;
    else if (kind == QLatin1String("picture"))
        e.kind = Element::Kind::Picture;
    else if (kind == QLatin1String("barcode"))
        e.kind = Element::Kind::Barcode;
    else
        r.fail(QStringLiteral("ไม่รู้จักชนิดส่วนประกอบ \"") + words.value(0) + u'"');
    if (words.size() < 5)
        r.fail(QStringLiteral("ต้องมีตำแหน่ง x y กว้าง สูง (มิลลิเมตร)"));
    e.x = r.number(words[1]);
    e.y = r.number(words[2]);
    e.w = r.number(words[3]);
    e.h = r.number(words[4]);
    for (qsizetype i = 5; i < words.size(); ++i) {
        const QString opt = words[i];
        const QString key = opt.section(u'=', 0, 0).toLower();
        const QString val = opt.section(u'=', 1);
        if (key == QLatin1String("bold"))
            e.bold = true;
        else if (key == QLatin1String("italic"))
            e.italic = true;
        else if (key == QLatin1String("grow"))
            e.grow = true;
        else if (key == QLatin1String("size"))
            e.size = r.positive(val);
        else if (key == QLatin1String("font"))
            e.font = QString(val).replace(u'_', u' ');
        else if (key == QLatin1String("when"))
            e.when = val;
        else if (key == QLatin1String("unless"))
            e.unless = val;
        else if (key == QLatin1String("type")) {
            if (!barcodeKindFromName(val))
                r.fail(QStringLiteral("type ต้องเป็น code39, code128 หรือ qr"));
            e.symbology = val.toLower();
        } else if (key == QLatin1String("width"))
            e.penWidth = r.number(val);
        else if (key == QLatin1String("align")) {
            Qt::Alignment h = Qt::AlignLeft;
            if (val == QLatin1String("center"))
                h = Qt::AlignHCenter;
            else if (val == QLatin1String("right"))
                h = Qt::AlignRight;
            else if (val != QLatin1String("left"))
                r.fail(QStringLiteral("align ต้องเป็น left, center หรือ right"));
            e.align = (e.align & Qt::AlignVertical_Mask) | h;
        } else if (key == QLatin1String("valign")) {
            Qt::Alignment v = Qt::AlignTop;
            if (val == QLatin1String("middle"))
                v = Qt::AlignVCenter;
            else if (val == QLatin1String("bottom"))
                v = Qt::AlignBottom;
            e.align = (e.align & Qt::AlignHorizontal_Mask) | v;
        } else {
            r.fail(QStringLiteral("ไม่รู้จักตัวเลือก \"") + opt + u'"');
        }
    }
    return e;
}

} // namespace

ReportDefinition ReportDefinition::parse(const QString& text, const QString& fileName)
{
    ReportDefinition d;
    Reader r{fileName, 0};
    Band* current = nullptr;
    const QStringList lines = text.split(u'\n');
    for (const QString& raw : lines) {
        ++r.line;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close < 0)
                r.fail(QStringLiteral("ไม่พบ ] ปิดชื่อแถบ"));
            const QString name = line.mid(1, close - 1).trimmed().toLower();
            Band band;
            bool known = false;
            for (const auto& [n, kind] : bandNames())
                if (n == name) {
                    band.kind = kind;
                    known = true;
                }
            if (!known)
                r.fail(QStringLiteral("ไม่รู้จักแถบ \"") + name + u'"');
            const QStringList rest = line.mid(close + 1).split(u' ', Qt::SkipEmptyParts);
            if (rest.size() != 2 || rest[0] != QLatin1String("height"))
                r.fail(QStringLiteral("แถบต้องบอกความสูง เช่น [detail] height 6"));
            band.height = r.number(rest[1]);
            d.bands << band;
            current = &d.bands.last();
            continue;
        }
        if (current) {
            current->elements << element(line, r);
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            r.fail(QStringLiteral("ต้องเป็น ชื่อ: ค่า"));
        const QString key = line.left(colon).trimmed().toLower();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("title"))
            d.title = value;
        else if (key == QLatin1String("page"))
            pageSetting(d, value, r);
        else if (key == QLatin1String("orientation"))
            d.landscape = value.compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0;
        else if (key == QLatin1String("margins")) {
            const QStringList m = value.split(u' ', Qt::SkipEmptyParts);
            if (m.size() != 4)
                r.fail(QStringLiteral("margins ต้องมีสี่ค่า: ซ้าย บน ขวา ล่าง"));
            d.marginLeft = r.number(m[0]);
            d.marginTop = r.number(m[1]);
            d.marginRight = r.number(m[2]);
            d.marginBottom = r.number(m[3]);
        } else if (key == QLatin1String("font")) {
            const QStringList f = value.split(u' ', Qt::SkipEmptyParts);
            if (f.isEmpty())
                r.fail(QStringLiteral("font ต้องมีชื่อแบบอักษร"));
            d.font = f[0];
            if (f.size() > 1)
                d.fontSize = r.positive(f[1]);
        } else if (key == QLatin1String("database"))
            d.database = value.toLower();
        else if (key == QLatin1String("table"))
            d.table = value;
        else if (key == QLatin1String("join")) {
            static const QRegularExpression join(
                QStringLiteral("^(\\w+)\\s+on\\s+([\\w.]+)\\s*=\\s*([\\w.]+)$"),
                QRegularExpression::CaseInsensitiveOption);
            static const QRegularExpression single(QStringLiteral("^\\w+$"));
            if (single.match(value).hasMatch()) {
                d.joins << Join{value, QString(), QString()};
                continue;
            }
            const auto m = join.match(value);
            if (!m.hasMatch())
                r.fail(QStringLiteral("join ต้องเป็น ตาราง หรือ ตาราง on ตาราง.ช่อง = ตาราง.ช่อง"));
            d.joins << Join{m.captured(1), m.captured(2), m.captured(3)};
        } else if (key == QLatin1String("order")) {
            for (const QString& part : value.split(u',', Qt::SkipEmptyParts))
                d.order << part.trimmed();
        } else if (key == QLatin1String("group"))
            d.group = value;
        else if (key == QLatin1String("columns")) {
            const QStringList c = value.split(u' ', Qt::SkipEmptyParts);
            if (c.size() != 2)
                r.fail(QStringLiteral("columns ต้องมีสองค่า: จำนวนดวงต่อแถว ระยะห่างของดวง"));
            const double across = r.positive(c[0]);
            if (across != std::floor(across) || across > 20)
                r.fail(QStringLiteral("จำนวนดวงต่อแถวต้องเป็นจำนวนเต็มไม่เกิน 20"));
            d.columns = int(across);
            d.columnWidth = r.number(c[1]);
            d.labels = true;
        } else
            r.fail(QStringLiteral("ไม่รู้จัก \"") + key + u'"');
    }
    if (d.table.isEmpty())
        throw DefinitionError(fileName, 0, QStringLiteral("ไม่ได้บอกตารางข้อมูล (table:)"));
    if (!d.roll && d.pageHeight() <= d.marginTop + d.marginBottom)
        throw DefinitionError(fileName, 0, QStringLiteral("ขอบกระดาษบนและล่างกินเนื้อที่ทั้งหน้า"));
    if (d.pageWidth() <= d.marginLeft + d.marginRight)
        throw DefinitionError(fileName, 0, QStringLiteral("ขอบกระดาษซ้ายและขวากินเนื้อที่ทั้งหน้า"));
    return d;
}

ReportDefinition ReportDefinition::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DefinitionError(path, 0, QStringLiteral("ไม่พบแฟ้มแบบรายงาน"));
    // The longest shipped definition is a few kilobytes.
    if (f.size() > MaxFileSize)
        throw DefinitionError(path, 0, QStringLiteral("แฟ้มแบบรายงานใหญ่เกิน 1 MB"));
    return parse(QString::fromUtf8(f.read(MaxFileSize)), path);
}

} // namespace tawela::reports
