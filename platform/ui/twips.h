#pragma once

#include <QWidget>

namespace tawela::platform {

// The old screens were laid out in twips, 1440 to the inch; these give the
// same physical length on this screen.
inline int twipsX(const QWidget* widget, int twips)
{
    return int(double(twips) * widget->logicalDpiX() / 1440.0 + 0.5);
}

inline int twipsY(const QWidget* widget, int twips)
{
    return int(double(twips) * widget->logicalDpiY() / 1440.0 + 0.5);
}

} // namespace tawela::platform
