#include "app/ui/screen_registry.h"

namespace tawela::app {

QWidget* ScreenRegistry::open(const QString& name, const std::function<QWidget*()>& factory)
{
    if (QWidget* open = find(name)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return open;
    }
    QWidget* screen = factory();
    if (!screen)
        return nullptr; // the screen could not open; it said why
    screen->setAttribute(Qt::WA_DeleteOnClose);
    m_screens.insert(name, screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

QWidget* ScreenRegistry::find(const QString& name) const
{
    const QPointer<QWidget> p = m_screens.value(name);
    return p.isNull() || !p->isVisible() ? nullptr : p.data();
}

} // namespace tawela::app
