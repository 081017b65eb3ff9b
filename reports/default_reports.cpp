#include "reports/default_reports.h"

#include "platform/shipped_files.h"

#include <QDir>
#include <QFile>

namespace tawela::reports {

QStringList defaultReportNames()
{
    return QDir(platform::shippedFile(QStringLiteral("reports")))
        .entryList({QStringLiteral("*.rpt")}, QDir::Files, QDir::Name);
}

QStringList installMissingReports(const QString& dataFolder)
{
    QStringList copied;
    QDir().mkpath(dataFolder);
    const QDir shipped(platform::shippedFile(QStringLiteral("reports")));
    for (const QString& name : defaultReportNames()) {
        const QString target = QDir(dataFolder).filePath(name);
        if (QFile::exists(target))
            continue;
        if (QFile::copy(shipped.filePath(name), target)) {
            // The installed files are read-only; the shop's copy must be editable.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
            copied << name;
        }
    }
    return copied;
}

} // namespace tawela::reports
