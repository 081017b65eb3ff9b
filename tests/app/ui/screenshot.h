#pragma once

#include <QWidget>

// Set TAWELA_SCREENSHOTS to a folder to keep a picture of each screen a test opens.
inline void keepScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("TAWELA_SCREENSHOTS");
    if (!dir.isEmpty())
        widget->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}
