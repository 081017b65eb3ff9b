#include "platform/ini_file.h"

#include <QFile>

namespace tawela::platform {

IniFile IniFile::parse(const QByteArray& content)
{
    IniFile ini;
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QString section;
    const QStringList lines = text.split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = (close > 0 ? line.mid(1, close - 1) : line.mid(1)).trimmed();
            const QString lower = section.toLower();
            if (!ini.m_values.contains(lower)) {
                ini.m_values.insert(lower, {});
                ini.m_sectionOrder << section;
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        auto& keys = ini.m_values[section.toLower()];
        if (!keys.contains(key))
            keys.insert(key, line.mid(eq + 1).trimmed());
    }
    return ini;
}

QByteArray IniFile::withSection(const QByteArray& content, const QString& section,
                                const Entries& entries, bool whole)
{
    const QString eol = content.contains("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = QString::fromUtf8(content).split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const auto keyOf = [](const QString& line) { return line.section(u'=', 0, 0).trimmed(); };
    const auto lineOf = [](const QPair<QString, QString>& e) -> QString {
        return e.first + QStringLiteral(" = ") + e.second;
    };
    QStringList out;
    QString current;
    bool inside = false, found = false;
    QList<bool> written(entries.size(), false);
    const auto closeSection = [&] {
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (!written[i])
                out << lineOf(entries[i]);
        // Keep the blank line that ends the section before the next one.
        if (!out.isEmpty() && !out.last().isEmpty())
            out << QString();
    };
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[')) {
            if (inside) {
                if (!out.isEmpty() && out.last().isEmpty())
                    out.removeLast();
                closeSection();
            }
            const qsizetype close = t.indexOf(u']');
            current = (close > 0 ? t.mid(1, close - 1) : t.mid(1)).trimmed();
            inside = current.compare(section, Qt::CaseInsensitive) == 0 && !found;
            found = found || inside;
            out << line;
            continue;
        }
        if (inside && !t.isEmpty() && !t.startsWith(u';') && !t.startsWith(u'#')) {
            if (whole)
                continue;
            qsizetype i = 0;
            for (; i < entries.size(); ++i)
                if (entries[i].first.compare(keyOf(t), Qt::CaseInsensitive) == 0)
                    break;
            if (i < entries.size()) {
                if (!written[i])
                    out << lineOf(entries[i]);
                written[i] = true;
                continue;
            }
        }
        out << line;
    }
    if (inside) {
        while (!out.isEmpty() && out.last().isEmpty())
            out.removeLast();
        closeSection();
    }
    if (!found) {
        if (!out.isEmpty() && !out.last().isEmpty())
            out << QString();
        out << u'[' + section + u']';
        closeSection();
    }
    return (out.join(eol) + eol).toUtf8();
}

bool IniFile::load(const QString& path, QString* error)
{
    *this = IniFile();
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("ไม่สามารถอ่านแฟ้ม ") + path + QStringLiteral(" : ") +
                    file.errorString());
    if (file.size() > MaxFileSize)
        return fail(QStringLiteral("แฟ้ม ") + path +
                    QStringLiteral(" ใหญ่เกิน 1 MB จึงไม่ใช่แฟ้มตั้งค่าของโปรแกรม"));
    const QByteArray content = file.read(MaxFileSize + 1);
    qsizetype start = 0;
    for (int line = 1; start < content.size(); ++line) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        if (end - start > MaxLineLength)
            return fail(QStringLiteral("แฟ้ม ") + path + QStringLiteral(" บรรทัดที่ ") +
                        QString::number(line) + QStringLiteral(" ยาวเกิน ") +
                        QString::number(MaxLineLength) + QStringLiteral(" ตัวอักษร"));
        start = end + 1;
    }
    *this = parse(content);
    return true;
}

QString IniFile::value(const QString& section, const QString& key) const
{
    const auto s = m_values.constFind(section.toLower());
    if (s == m_values.constEnd())
        return {};
    return s->value(key.toLower());
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const auto s = m_values.constFind(section.toLower());
    return s != m_values.constEnd() && s->contains(key.toLower());
}

} // namespace tawela::platform
