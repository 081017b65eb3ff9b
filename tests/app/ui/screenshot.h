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
#include <QHeaderView>
#include <QTableView>
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

// The grids of a shown window that have room for fewer than five rows.
inline QStringList gridsUnderFiveRows(QWidget* window)
{
    QStringList short_;
    for (QTableView* grid : window->findChildren<QTableView*>()) {
        if (!grid->isVisibleTo(window))
            continue;
        const int rowHeight = grid->verticalHeader()->defaultSectionSize();
        if (grid->viewport()->height() < 5 * rowHeight)
            short_ << QStringLiteral("%1 (%2 px, rows of %3)")
                          .arg(grid->objectName())
                          .arg(grid->viewport()->height())
                          .arg(rowHeight);
    }
    return short_;
}

// What keeps a window from fitting either shop screen: buttons outside it
// and grids without room for five rows, each named with the size.
inline QStringList unfitOnShopScreens(QWidget* window)
{
    QStringList faults;
    for (const QSize& size : shopScreens()) {
        const QString at = QStringLiteral(" at %1 x %2").arg(size.width()).arg(size.height());
        for (const QString& b : buttonsOutside(window, size))
            faults << QStringLiteral("button ") + b + at;
        for (const QString& g : gridsUnderFiveRows(window))
            faults << QStringLiteral("grid ") + g + at;
    }
    return faults;
}
