#include "skinpainter.h"

#include <QPainterPath>
#include <cmath>

#include "strokefont.h"

namespace skingen {

namespace {

QPen Pen(const QColor& color, double width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Fill(QPainter& p, const QPainterPath& path, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

void Stroke(QPainter& p, const QPainterPath& path, const QColor& color, double width)
{
    p.setPen(Pen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (QPointF point : points) {
        first ? path.moveTo(point) : path.lineTo(point);
        first = false;
    }
    path.closeSubpath();
    return path;
}

} // namespace

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Every glyph is designed on a 12 x 12 grid centred in the box.
    const double s = std::min(box.width(), box.height()) / 12.0;
    p.translate(box.center().x() - 6 * s, box.center().y() - 6 * s);
    p.scale(s, s);
    const double w = 1.5; // stroke width on the grid
    QPainterPath path;
    switch (glyph) {
    case Glyph::Play: Fill(p, Polygon({{2.5, 1}, {11, 6}, {2.5, 11}}), color); break;
    case Glyph::Pause:
        path.addRoundedRect(QRectF(2.5, 1.5, 2.6, 9), 0.6, 0.6);
        path.addRoundedRect(QRectF(6.9, 1.5, 2.6, 9), 0.6, 0.6);
        Fill(p, path, color);
        break;
    case Glyph::Stop:
        path.addRoundedRect(QRectF(2, 2, 8, 8), 1, 1);
        Fill(p, path, color);
        break;
    case Glyph::Previous:
        path.addRoundedRect(QRectF(1.5, 1.5, 2, 9), 0.5, 0.5);
        path.addPath(Polygon({{11, 1.5}, {3.5, 6}, {11, 10.5}}));
        Fill(p, path, color);
        break;
    case Glyph::Next:
        path.addRoundedRect(QRectF(8.5, 1.5, 2, 9), 0.5, 0.5);
        path.addPath(Polygon({{1, 1.5}, {8.5, 6}, {1, 10.5}}));
        Fill(p, path, color);
        break;
    case Glyph::Eject:
        path.addPath(Polygon({{6, 1.5}, {11, 7}, {1, 7}}));
        path.addRoundedRect(QRectF(1, 8.7, 10, 2), 0.5, 0.5);
        Fill(p, path, color);
        break;
    case Glyph::Close:
        path.moveTo(3, 3);
        path.lineTo(9, 9);
        path.moveTo(9, 3);
        path.lineTo(3, 9);
        Stroke(p, path, color, w);
        break;
    case Glyph::Minimize:
        path.moveTo(3, 8.5);
        path.lineTo(9, 8.5);
        Stroke(p, path, color, w);
        break;
    case Glyph::Gear:
        path.addEllipse(QPointF(6, 6), 2.6, 2.6);
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4;
            path.moveTo(6 + 3.6 * std::cos(a), 6 + 3.6 * std::sin(a));
            path.lineTo(6 + 5.2 * std::cos(a), 6 + 5.2 * std::sin(a));
        }
        Stroke(p, path, color, 1.4);
        break;
    case Glyph::Repeat:
        path.moveTo(2, 7);
        path.lineTo(2, 5.5);
        path.quadTo(2, 3.5, 4, 3.5);
        path.lineTo(10, 3.5);
        path.moveTo(10, 5);
        path.lineTo(10, 6.5);
        path.quadTo(10, 8.5, 8, 8.5);
        path.lineTo(2, 8.5);
        Stroke(p, path, color, 1.3);
        Fill(p, Polygon({{8.2, 1.3}, {11, 3.5}, {8.2, 5.7}}), color);
        Fill(p, Polygon({{3.8, 6.3}, {1, 8.5}, {3.8, 10.7}}), color);
        break;
    case Glyph::Speaker:
        Fill(p, Polygon({{1, 4.3}, {3.4, 4.3}, {6.4, 1.6}, {6.4, 10.4}, {3.4, 7.7}, {1, 7.7}}), color);
        path.arcMoveTo(QRectF(4.6, 3.6, 4.8, 4.8), 50);
        path.arcTo(QRectF(4.6, 3.6, 4.8, 4.8), 50, -100);
        path.arcMoveTo(QRectF(3.4, 1.6, 8, 8.8), 48);
        path.arcTo(QRectF(3.4, 1.6, 8, 8.8), 48, -96);
        Stroke(p, path, color, 1.2);
        break;
    case Glyph::Fullscreen:
        for (auto [x, y, dx, dy] :
             {std::array<double, 4>{1.5, 1.5, 1, 1}, {10.5, 1.5, -1, 1}, {1.5, 10.5, 1, -1}, {10.5, 10.5, -1, -1}}) {
            path.moveTo(x, y + 3 * dy);
            path.lineTo(x, y);
            path.lineTo(x + 3 * dx, y);
        }
        Stroke(p, path, color, 1.4);
        break;
    case Glyph::Resize:
        path.moveTo(2.5, 9.5);
        path.lineTo(9.5, 2.5);
        path.moveTo(5.5, 2.5);
        path.lineTo(9.5, 2.5);
        path.lineTo(9.5, 6.5);
        path.moveTo(2.5, 5.5);
        path.lineTo(2.5, 9.5);
        path.lineTo(6.5, 9.5);
        Stroke(p, path, color, 1.3);
        break;
    case Glyph::List:
        for (double y : {3.0, 6.0, 9.0}) {
            path.moveTo(4.5, y);
            path.lineTo(10.5, y);
        }
        Stroke(p, path, color, 1.3);
        for (double y : {3.0, 6.0, 9.0}) {
            QPainterPath dot;
            dot.addEllipse(QPointF(2, y), 0.9, 0.9);
            Fill(p, dot, color);
        }
        break;
    case Glyph::Equalizer:
        for (auto [x, knob] : {std::pair{3.0, 7.5}, {6.0, 4.0}, {9.0, 6.5}}) {
            path.moveTo(x, 1.5);
            path.lineTo(x, 10.5);
            QPainterPath k;
            k.addRoundedRect(QRectF(x - 1.6, knob - 1, 3.2, 2), 0.6, 0.6);
            Fill(p, k, color);
        }
        Stroke(p, path, color, 1.0);
        break;
    case Glyph::Note:
        path.addEllipse(QRectF(2.2, 7.6, 4, 3));
        Fill(p, path, color);
        path = {};
        path.moveTo(6, 9);
        path.lineTo(6, 1.5);
        path.quadTo(8.5, 2.5, 9.5, 4.8);
        Stroke(p, path, color, 1.1);
        break;
    case Glyph::Disc:
    case Glyph::Dvd:
        path.addEllipse(QPointF(6, 6), 4.8, 4.8);
        path.addEllipse(QPointF(6, 6), 1.3, 1.3);
        Stroke(p, path, color, 1.0);
        if (glyph == Glyph::Dvd) {
            QPainterPath arc;
            arc.arcMoveTo(QRectF(2.6, 2.6, 6.8, 6.8), 100);
            arc.arcTo(QRectF(2.6, 2.6, 6.8, 6.8), 100, 70);
            Stroke(p, arc, color, 1.0);
        }
        break;
    case Glyph::Globe:
        path.addEllipse(QPointF(6, 6), 4.8, 4.8);
        path.addEllipse(QPointF(6, 6), 2, 4.8);
        path.moveTo(1.2, 6);
        path.lineTo(10.8, 6);
        Stroke(p, path, color, 1.0);
        break;
    case Glyph::Film:
    case Glyph::FilmStream: {
        const QRectF frame = glyph == Glyph::Film ? QRectF(1.5, 2, 9, 8) : QRectF(1, 3.5, 7, 7);
        path.addRoundedRect(frame, 1, 1);
        path.moveTo(frame.left() + 2.2, frame.top());
        path.lineTo(frame.left() + 2.2, frame.bottom());
        path.moveTo(frame.right() - 2.2, frame.top());
        path.lineTo(frame.right() - 2.2, frame.bottom());
        if (glyph == Glyph::FilmStream) {
            path.arcMoveTo(QRectF(5, -1, 8, 8), 0);
            path.arcTo(QRectF(5, -1, 8, 8), 0, 90);
            path.arcMoveTo(QRectF(7, 1, 4, 4), 0);
            path.arcTo(QRectF(7, 1, 4, 4), 0, 90);
        }
        Stroke(p, path, color, 1.0);
        break;
    }
    case Glyph::Ready:
        path.addEllipse(QPointF(6, 6), 3.2, 3.2);
        Stroke(p, path, color, 1.4);
        break;
    case Glyph::Wait:
        path.moveTo(3, 1.5);
        path.lineTo(9, 1.5);
        path.lineTo(3, 10.5);
        path.lineTo(9, 10.5);
        path.closeSubpath();
        Stroke(p, path, color, 1.2);
        break;
    case Glyph::Logo: {
        QPainterPath ring;
        ring.addEllipse(QPointF(6, 6), 5.4, 5.4);
        Fill(p, ring, color);
        Fill(p, Polygon({{4.6, 3.4}, {8.8, 6}, {4.6, 8.6}}), pal::body);
        break;
    }
    case Glyph::Grip:
        for (auto [x, y] : {std::pair{9.5, 3.5}, {9.5, 6.5}, {6.5, 6.5}, {9.5, 9.5}, {6.5, 9.5}, {3.5, 9.5}}) {
            QPainterPath dot;
            dot.addEllipse(QPointF(x, y), 0.9, 0.9);
            Fill(p, dot, color);
        }
        break;
    }
    p.restore();
}

void DrawPad(QPainter& p, const QRectF& box, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(box, 4, 4);
    p.restore();
}

void DrawTrack(QPainter& p, const QRectF& box, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    if (box.width() >= box.height())
        p.drawRoundedRect(QRectF(box.left(), box.center().y() - 2, box.width(), 4), 2, 2);
    else
        p.drawRoundedRect(QRectF(box.center().x() - 2, box.top(), 4, box.height()), 2, 2);
    p.restore();
}

void DrawThumb(QPainter& p, const QRectF& box, double diameter, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(box.center(), diameter / 2, diameter / 2);
    p.restore();
}

void DrawWindowBody(QPainter& p, const QRectF& rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::hair);
    p.drawRoundedRect(rect, 6, 6);
    p.setBrush(pal::lift);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), 5, 5);
    p.setBrush(pal::body);
    p.drawRoundedRect(rect.adjusted(1, 2, -1, -1), 5, 5);
    p.restore();
}

void DrawPanel(QPainter& p, const QRectF& rect, double radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::hair);
    p.drawRoundedRect(rect, radius, radius);
    p.setBrush(pal::panel);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    p.restore();
}

void DrawText(QPainter& p, const QString& text, QPointF topLeft, double capHeight, const QColor& color,
              double strokeWidth)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(color, strokeWidth));
    p.setBrush(Qt::NoBrush);
    p.drawPath(TextPath(text, topLeft, capHeight));
    p.restore();
}

QImage Flatten(const QImage& drawing, const QColor& under)
{
    QImage out(drawing.size(), QImage::Format_RGB32);
    const QImage src = drawing.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* dest = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (a < 128) {
                dest[x] = pal::transparent.rgb();
                continue;
            }
            auto mix = [&](int c, int u) { return (c * a + u * (255 - a) + 127) / 255; };
            dest[x] =
                qRgb(mix(qRed(in[x]), under.red()), mix(qGreen(in[x]), under.green()), mix(qBlue(in[x]), under.blue()));
        }
    }
    return out;
}

} // namespace skingen
