#pragma once

#include <QIcon>

class QPainter;

namespace kolvarin {

// Draws one flat pictogram on a side x side surface with the pen already set.
using TPictogram = void (*)(QPainter&);

// The pictogram as an icon at one and two times its side, stroked in the
// skin's accent colour with round caps and joins.
QIcon PictogramIcon(TPictogram draw, int side, qreal penWidth);

} // namespace kolvarin
