#include "strokefont.h"

#include <QTransform>
#include <vector>

namespace skingen {

namespace {

using Line = std::vector<QPointF>;

QPainterPath Lines(std::initializer_list<Line> lines)
{
    QPainterPath path;
    for (const Line& line : lines) {
        path.moveTo(line.front());
        for (size_t i = 1; i < line.size(); ++i)
            path.lineTo(line[i]);
    }
    return path;
}

// An open arc on the ellipse in rect from start through sweep degrees
// (counter-clockwise positive, 0 at three o'clock).
void Arc(QPainterPath& path, const QRectF& rect, double start, double sweep, bool move = true)
{
    if (move)
        path.arcMoveTo(rect, start);
    path.arcTo(rect, start, sweep);
}

QPainterPath Letter(QChar c, double* advance)
{
    *advance = 5;
    QPainterPath p;
    switch (c.unicode()) {
    case 'A': return Lines({{{0, 7}, {2.5, 0}, {5, 7}}, {{0.9, 4.6}, {4.1, 4.6}}});
    case 'B':
        return Lines({{{0, 3.5},
                       {3.4, 3.5},
                       {4.4, 2.6},
                       {4.4, 0.9},
                       {3.4, 0},
                       {0, 0},
                       {0, 7},
                       {3.7, 7},
                       {4.8, 6},
                       {4.8, 4.5},
                       {3.6, 3.5}}});
    case 'C':
        Arc(p, {0, 0, 5.4, 7}, 50, 260);
        *advance = 5.2;
        return p;
    case 'D': return Lines({{{0, 0}, {2.2, 0}, {4.2, 1.3}, {5, 3.5}, {4.2, 5.7}, {2.2, 7}, {0, 7}, {0, 0}}});
    case 'E': return Lines({{{5, 0}, {0, 0}, {0, 7}, {5, 7}}, {{0, 3.5}, {4, 3.5}}});
    case 'F': return Lines({{{5, 0}, {0, 0}, {0, 7}}, {{0, 3.5}, {4, 3.5}}});
    case 'G':
        Arc(p, {0, 0, 5.4, 7}, 50, 270);
        p.lineTo(5.3, 4);
        p.lineTo(3, 4);
        *advance = 5.4;
        return p;
    case 'H': return Lines({{{0, 0}, {0, 7}}, {{5, 0}, {5, 7}}, {{0, 3.5}, {5, 3.5}}});
    case 'I': *advance = 0; return Lines({{{0, 0}, {0, 7}}});
    case 'J': return Lines({{{4.5, 0}, {4.5, 5.4}, {3.2, 7}, {1.3, 7}, {0, 5.6}}});
    case 'K': return Lines({{{0, 0}, {0, 7}}, {{5, 0}, {0, 4.4}}, {{1.8, 2.9}, {5, 7}}});
    case 'L': *advance = 4.5; return Lines({{{0, 0}, {0, 7}, {4.5, 7}}});
    case 'M': *advance = 6; return Lines({{{0, 7}, {0, 0}, {3, 4.6}, {6, 0}, {6, 7}}});
    case 'N': return Lines({{{0, 7}, {0, 0}, {5, 7}, {5, 0}}});
    case 'O':
        p.addEllipse(QRectF(0, 0, 5.6, 7));
        *advance = 5.6;
        return p;
    case 'P': return Lines({{{0, 7}, {0, 0}, {3.6, 0}, {4.8, 1.1}, {4.8, 2.6}, {3.6, 3.7}, {0, 3.7}}});
    case 'Q':
        p.addEllipse(QRectF(0, 0, 5.6, 7));
        p.moveTo(3.4, 5);
        p.lineTo(5.6, 7.4);
        *advance = 5.6;
        return p;
    case 'R':
        return Lines({{{0, 7}, {0, 0}, {3.6, 0}, {4.8, 1.1}, {4.8, 2.6}, {3.6, 3.7}, {0, 3.7}}, {{2.6, 3.7}, {5, 7}}});
    case 'S':
        return Lines({{{4.8, 1},
                       {3.8, 0},
                       {1.2, 0},
                       {0.2, 1},
                       {0.2, 2.5},
                       {1.2, 3.3},
                       {3.8, 3.7},
                       {4.8, 4.5},
                       {4.8, 6},
                       {3.8, 7},
                       {1.2, 7},
                       {0.2, 6}}});
    case 'T': return Lines({{{0, 0}, {5, 0}}, {{2.5, 0}, {2.5, 7}}});
    case 'U': return Lines({{{0, 0}, {0, 5.2}, {1.3, 7}, {3.7, 7}, {5, 5.2}, {5, 0}}});
    case 'V': return Lines({{{0, 0}, {2.5, 7}, {5, 0}}});
    case 'W': *advance = 6.4; return Lines({{{0, 0}, {1.6, 7}, {3.2, 2.4}, {4.8, 7}, {6.4, 0}}});
    case 'X': return Lines({{{0, 0}, {5, 7}}, {{5, 0}, {0, 7}}});
    case 'Y': return Lines({{{0, 0}, {2.5, 3.5}, {5, 0}}, {{2.5, 3.5}, {2.5, 7}}});
    case 'Z': return Lines({{{0, 0}, {5, 0}, {0, 7}, {5, 7}}});
    default: *advance = 3; return p; // blank and anything else
    }
}

} // namespace

QPainterPath DigitPath(QChar c)
{
    QPainterPath p;
    switch (c.unicode()) {
    case '0': p.addRoundedRect(QRectF(0, 0, 8, 16), 4, 4); break;
    case '1': return Lines({{{1.5, 3}, {4.5, 0}, {4.5, 16}}});
    case '2':
        Arc(p, {0, 0, 8, 8}, 180, -180);
        p.cubicTo(8, 8.5, 0, 11, 0, 16);
        p.lineTo(8, 16);
        break;
    case '3':
        p.moveTo(0, 0);
        p.lineTo(8, 0);
        p.lineTo(3.2, 6.4);
        Arc(p, {0, 6.4, 8, 9.6}, 115, -265, false);
        break;
    case '4': return Lines({{{6, 16}, {6, 0}, {0, 11}, {8, 11}}});
    case '5':
        p.moveTo(7.6, 0);
        p.lineTo(1, 0);
        p.lineTo(0.5, 7.4);
        Arc(p, {0, 6, 8, 10}, 148, -278, false);
        break;
    case '6':
        p.moveTo(6.4, 0);
        p.lineTo(0.7, 9.4);
        p.addEllipse(QRectF(0, 7, 8, 9));
        break;
    case '7': return Lines({{{0, 0}, {8, 0}, {2.6, 16}}});
    case '8':
        p.addEllipse(QRectF(0.6, 0, 6.8, 7.2));
        p.addEllipse(QRectF(0, 7.2, 8, 8.8));
        break;
    case '9':
        p.addEllipse(QRectF(0, 0, 8, 9));
        p.moveTo(7.3, 6.6);
        p.lineTo(1.6, 16);
        break;
    case '-': return Lines({{{1.5, 8.5}, {6.5, 8.5}}});
    default: break;
    }
    return p;
}

QPainterPath TextPath(const QString& text, QPointF topLeft, double capHeight, double* width)
{
    const double scale = capHeight / 7.0;
    const double gap = 1.7;
    QPainterPath out;
    double x = 0;
    for (QChar c : text) {
        double advance = 0;
        QPainterPath glyph;
        if (c.isDigit()) {
            glyph = QTransform::fromScale(7.0 / 16.0, 7.0 / 16.0).map(DigitPath(c));
            advance = 8 * 7.0 / 16.0;
        } else {
            glyph = Letter(c.toUpper(), &advance);
        }
        out.addPath(QTransform::fromTranslate(x, 0).map(glyph));
        x += advance + gap;
    }
    if (width)
        *width = (x - (text.isEmpty() ? 0 : gap)) * scale;
    QTransform t;
    t.translate(topLeft.x(), topLeft.y());
    t.scale(scale, scale);
    return t.map(out);
}

double TextWidth(const QString& text, double capHeight)
{
    double width = 0;
    TextPath(text, {}, capHeight, &width);
    return width;
}

} // namespace skingen
