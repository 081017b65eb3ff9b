#include "platform/shipped_files.h"

#include "platform/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tawela::platform {

namespace {

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

} // namespace

QString shippedFolder()
{
    static const QString found = [] {
        QDir dir(programFolder());
        // bin/ of an installation is one level down; a test of a build four at most.
        for (int up = 0; up < 5 && dir.cdUp(); ++up) {
            const QString candidate = dir.filePath(QStringLiteral("share/tawela"));
            if (QFileInfo(candidate + QStringLiteral("/reports")).isDir())
                return QDir::cleanPath(candidate);
        }
        return QString();
    }();
    return found;
}

QString shippedFile(const QString& relativePath)
{
    const QString folder = shippedFolder();
    const QString path = folder + u'/' + relativePath;
    if (folder.isEmpty() || !QFileInfo::exists(path))
        throw Error(QStringLiteral("ไม่พบแฟ้ม %1 ที่มากับโปรแกรม (ควรอยู่ใน share/tawela "
                                   "ข้างโฟลเดอร์ของโปรแกรม) กรุณาติดตั้งโปรแกรมใหม่")
                        .arg(relativePath));
    return path;
}

} // namespace tawela::platform
