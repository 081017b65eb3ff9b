#include "platform/version.h"

#include "tawela_version.h"

namespace tawela::platform {

QString versionText()
{
    const QString revision = QStringLiteral(TAWELA_REVISION);
    return QStringLiteral(TAWELA_VERSION) +
           (revision.isEmpty() ? QString() : QStringLiteral(" (") + revision + u')');
}

} // namespace tawela::platform
