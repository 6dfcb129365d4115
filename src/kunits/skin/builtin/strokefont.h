#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QString>

class QPainter;

namespace skingen {

// A small geometric stroke font of our own: digits drawn in an 8 x 16 box
// and capital letters in a 5 x 7 box, as outlines for a pen to stroke. Used
// for the time digits and the captions and labels of the built-in skin.

// The outline of a digit 0-9 in its 8 x 16 box; ':' and '-' too.
QPainterPath DigitPath(QChar c);

// The outline of a text of capitals, digits and blanks with its cap height
// scaled to capHeight, starting at the top-left point. Returns the advance
// width through `width`.
QPainterPath TextPath(const QString& text, QPointF topLeft, double capHeight, double* width = nullptr);

// The width TextPath would take.
double TextWidth(const QString& text, double capHeight);

} // namespace skingen
