#pragma once

#include <QString>

namespace tawela::platform {

// "0.1.0", or "0.1.0 (2738478)" when built from a checkout: the project's
// version and what git says of the sources it was built from.
QString versionText();

} // namespace tawela::platform
