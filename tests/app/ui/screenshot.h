#pragma once

#include <QWidget>

// Set TAWELA_SCREENSHOTS to a folder to keep a picture of each screen a test opens.
inline void keepScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("TAWELA_SCREENSHOTS");
    if (!dir.isEmpty())
        widget->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

// The screen sizes every screen must fit, with room for a panel: every
// button visible on the screen lies whole inside the window.
inline QList<QSize> shopScreens()
{
    return {QSize(1366, 768 - 40), QSize(1280, 800 - 40)};
}
inline QStringList buttonsOutside(QWidget* window, const QSize& size)
{
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return {QStringLiteral("the window was never shown")};
    QApplication::processEvents();
    QStringList outside;
    if (window->width() > size.width() || window->height() > size.height())
        outside << QStringLiteral("the window itself (%1 x %2)")
                       .arg(window->width())
                       .arg(window->height());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window) || b->inherits("QRadioButton") || b->inherits("QCheckBox"))
            continue;
        const QRect r(b->mapTo(window, QPoint(0, 0)), b->size());
        if (!window->rect().contains(r))
            outside << b->text();
    }
    return outside;
}
