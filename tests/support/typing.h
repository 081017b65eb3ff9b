#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

namespace tawela::test {

// Types text into a widget key by key, as a person does; Thai letters too
// (QTest::keyClicks knows only the ASCII keys).
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace tawela::test
