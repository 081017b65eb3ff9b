#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace tawela::platform {

// A plain INI file read the way the shop's configuration has always been
// read: section and key names compare without regard to letter case, a value
// is the text after the first "=" with the blanks around it removed, and a
// key that is absent reads as the empty string. The first occurrence of a key
// wins; lines starting with ";" or "#" are comments.
class IniFile {
public:
    IniFile() = default;

    // Parses UTF-8 text (a byte-order mark is ignored; CRLF and LF both end lines).
    static IniFile parse(const QByteArray& content);

    // Far more than a configuration file holds: a larger file, or a longer
    // line, is not one (and reading it whole would cost seconds and memory).
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    static constexpr qsizetype MaxLineLength = 4096;

    // Reads a file; returns false (and leaves the object empty) when it
    // cannot be read or is too large, with the reason in Thai in *error.
    bool load(const QString& path, QString* error = nullptr);

    // The text of an INI file with the keys of one section set: each key
    // given replaces its line (or is added at the end of the section), or
    // with `whole` the section's lines are replaced by the keys given. A
    // missing section is added at the end. Other lines stay as they were,
    // with the file's own line ends.
    using Entries = QList<QPair<QString, QString>>;
    static QByteArray withSection(const QByteArray& content, const QString& section,
                                  const Entries& entries, bool whole = false);

    QString value(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;
    QStringList sections() const { return m_sectionOrder; }

private:
    QHash<QString, QHash<QString, QString>> m_values; // lower-cased names
    QStringList m_sectionOrder;
};

} // namespace tawela::platform
