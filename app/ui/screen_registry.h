#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace tawela::app {

// Every screen opens through here: without blocking the caller, and once; a
// screen that is already open is brought forward instead of opened again.
class ScreenRegistry {
public:
    // Returns the open screen of that name, or makes one with the factory,
    // shows it and keeps track of it until it is closed. A factory may give
    // nothing (the screen could not open); then nothing is shown.
    QWidget* open(const QString& name, const std::function<QWidget*()>& factory);
    QWidget* find(const QString& name) const;
    bool isOpen(const QString& name) const { return find(name) != nullptr; }

private:
    QHash<QString, QPointer<QWidget>> m_screens;
};

} // namespace tawela::app
