#include "app/home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace tawela::app {

QString resolveHomeFolder(const QStringList& arguments)
{
    QString home;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--home") && i + 1 < arguments.size()) {
            home = arguments[i + 1];
            break;
        }
        if (a.startsWith(QLatin1String("--home="))) {
            home = a.mid(7);
            break;
        }
    }
    if (home.isEmpty())
        home = qEnvironmentVariable("TAWELA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share/Tawela");
    if (home.startsWith(QLatin1String("~/")))
        home = QDir::homePath() + home.mid(1);
    return QDir::cleanPath(QDir(home).absolutePath());
}

bool makePrivateFolder(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
}

void keepNewFilesPrivate()
{
    ::umask(0077);
}

} // namespace tawela::app
