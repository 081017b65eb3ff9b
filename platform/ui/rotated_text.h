#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

namespace tawela::platform::ui {

// Text at an angle, counter-clockwise in degrees as on paper (90: reading
// upwards), its baseline starting at `origin`. The painter is left as it was.
inline void drawRotatedText(QPainter& painter, const QPointF& origin, qreal degrees,
                            const QFont& font, const QString& text)
{
    painter.save();
    painter.translate(origin);
    painter.rotate(-degrees);
    painter.setFont(font);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace tawela::platform::ui
