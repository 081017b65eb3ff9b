#include "reports/default_reports.h"

#include <QDir>
#include <QFile>

namespace tawela::reports {

namespace {
const QString Shipped = QStringLiteral(":/reports/");
}

QStringList defaultReportNames()
{
    return QDir(Shipped).entryList(QDir::Files, QDir::Name);
}

QStringList installMissingReports(const QString& dataFolder)
{
    QStringList copied;
    QDir().mkpath(dataFolder);
    for (const QString& name : defaultReportNames()) {
        const QString target = QDir(dataFolder).filePath(name);
        if (QFile::exists(target))
            continue;
        if (QFile::copy(Shipped + name, target)) {
            // Resource files are read-only; the shop's copy must be editable.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
            copied << name;
        }
    }
    return copied;
}

} // namespace tawela::reports
