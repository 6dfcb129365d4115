// The page tree's node images: flat 32-pixel pictograms in the accent colour.
#include <QPainter>
#include <QPainterPath>

#include "dialogs/configform.h"
#include "dialogs/pictogram.h"

namespace kolvarin {

namespace {

constexpr int kSide = 32;

void General(QPainter& p)
{
    // Three sliders.
    for (const auto& [y, knob] : {std::pair{8.0, 20.0}, {16.0, 10.0}, {24.0, 17.0}}) {
        p.drawLine(QPointF(4, y), QPointF(28, y));
        p.drawEllipse(QPointF(knob, y), 3, 3);
    }
}

void Filetypes(QPainter& p)
{
    p.drawPolygon(QPolygonF({QPointF(7, 3), QPointF(19, 3), QPointF(25, 9), QPointF(25, 29), QPointF(7, 29)}));
    p.drawPolyline(QPolygonF({QPointF(19, 3), QPointF(19, 9), QPointF(25, 9)}));
    p.drawLine(QPointF(11, 16), QPointF(21, 16));
    p.drawLine(QPointF(11, 21), QPointF(21, 21));
}

void Shortcuts(QPainter& p)
{
    // A key cap with its letter.
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 4, 4);
    p.drawRoundedRect(QRectF(8, 8, 16, 13), 2, 2);
    p.drawPolyline(QPolygonF({QPointF(13, 18), QPointF(16, 11), QPointF(19, 18)}));
}

void Mouse(QPainter& p)
{
    p.drawRoundedRect(QRectF(9, 3, 14, 26), 7, 7);
    p.drawLine(QPointF(9, 13), QPointF(23, 13));
    p.drawLine(QPointF(16, 3), QPointF(16, 13));
}

void Playlist(QPainter& p)
{
    for (const double y : {7.0, 13.0, 19.0})
        p.drawLine(QPointF(4, y), QPointF(20, y));
    p.drawLine(QPointF(4, 25), QPointF(14, 25));
    p.drawPolygon(QPolygonF({QPointF(19, 20), QPointF(28, 25), QPointF(19, 30)}));
}

void AcceptedExtensions(QPainter& p)
{
    p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(15, 3), QPointF(20, 8), QPointF(20, 25), QPointF(5, 25)}));
    p.drawPolyline(QPolygonF({QPointF(15, 3), QPointF(15, 8), QPointF(20, 8)}));
    p.drawEllipse(QPointF(23, 23), 6, 6);
    p.drawLine(QPointF(23, 20), QPointF(23, 26));
    p.drawLine(QPointF(20, 23), QPointF(26, 23));
}

void Skins(QPainter& p)
{
    // A palette with its thumb hole and paints.
    QPainterPath palette;
    palette.moveTo(16, 4);
    palette.cubicTo(4, 4, 1, 18, 7, 25);
    palette.cubicTo(12, 30, 16, 27, 16, 23);
    palette.cubicTo(16, 19, 20, 19, 23, 20);
    palette.cubicTo(29, 21, 30, 14, 27, 10);
    palette.cubicTo(25, 6, 21, 4, 16, 4);
    p.drawPath(palette);
    for (const QPointF& dot : {QPointF(11, 11), QPointF(17, 9), QPointF(23, 12), QPointF(9, 18)})
        p.drawEllipse(dot, 1.5, 1.5);
}

void Languages(QPainter& p)
{
    p.drawEllipse(QPointF(16, 16), 12, 12);
    p.drawEllipse(QPointF(16, 16), 5, 12);
    p.drawLine(QPointF(4, 16), QPointF(28, 16));
    p.drawLine(QPointF(6, 10), QPointF(26, 10));
    p.drawLine(QPointF(6, 22), QPointF(26, 22));
}

void Speaker(QPainter& p)
{
    p.drawPolygon(
        QPolygonF({QPointF(4, 12), QPointF(9, 12), QPointF(16, 6), QPointF(16, 26), QPointF(9, 20), QPointF(4, 20)}));
}

void Audio(QPainter& p)
{
    Speaker(p);
    p.drawArc(QRectF(14, 11, 8, 10), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 6, 14, 20), -60 * 16, 120 * 16);
}

void AudioOutput(QPainter& p)
{
    // Headphones.
    p.drawArc(QRectF(5, 5, 22, 22), 0, 180 * 16);
    p.drawRoundedRect(QRectF(4, 17, 6, 10), 2, 2);
    p.drawRoundedRect(QRectF(22, 17, 6, 10), 2, 2);
}

void AudioLivestreaming(QPainter& p)
{
    // A mast sending waves.
    p.drawEllipse(QPointF(16, 13), 2, 2);
    p.drawLine(QPointF(16, 15), QPointF(11, 29));
    p.drawLine(QPointF(16, 15), QPointF(21, 29));
    for (const double r : {6.0, 11.0}) {
        p.drawArc(QRectF(16 - r, 13 - r, 2 * r, 2 * r), 135 * 16, 90 * 16);
        p.drawArc(QRectF(16 - r, 13 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

void Screen(QPainter& p) { p.drawRoundedRect(QRectF(3, 6, 26, 18), 2, 2); }

void Video(QPainter& p)
{
    Screen(p);
    p.drawPolygon(QPolygonF({QPointF(13, 10), QPointF(21, 15), QPointF(13, 20)}));
    p.drawLine(QPointF(10, 28), QPointF(22, 28));
}

void VideoFilter(QPainter& p)
{
    p.drawPolygon(
        QPolygonF({QPointF(4, 5), QPointF(28, 5), QPointF(19, 16), QPointF(19, 26), QPointF(13, 29), QPointF(13, 16)}));
}

void VideoOSD(QPainter& p)
{
    Screen(p);
    p.drawLine(QPointF(8, 19), QPointF(24, 19));
    p.drawLine(QPointF(16, 10), QPointF(16, 15));
    p.drawLine(QPointF(12, 10), QPointF(20, 10));
}

void VideoDefault(QPainter& p)
{
    // A speech bubble: the spoken language and its subtitles.
    p.drawPolygon(QPolygonF({QPointF(4, 5), QPointF(28, 5), QPointF(28, 21), QPointF(14, 21), QPointF(8, 27),
                             QPointF(9, 21), QPointF(4, 21)}));
    p.drawLine(QPointF(9, 11), QPointF(23, 11));
    p.drawLine(QPointF(9, 15), QPointF(19, 15));
}

void VideoFullscreen(QPainter& p)
{
    for (const auto& [x, y, dx, dy] :
         {std::array{4.0, 4.0, 1.0, 1.0}, {28.0, 4.0, -1.0, 1.0}, {4.0, 28.0, 1.0, -1.0}, {28.0, 28.0, -1.0, -1.0}})
        p.drawPolyline(QPolygonF({QPointF(x, y + 8 * dy), QPointF(x, y), QPointF(x + 8 * dx, y)}));
}

void System(QPainter& p)
{
    // A chip with its pins.
    p.drawRoundedRect(QRectF(8, 8, 16, 16), 2, 2);
    p.drawRect(QRectF(12, 12, 8, 8));
    for (const double at : {12.0, 16.0, 20.0}) {
        p.drawLine(QPointF(at, 3), QPointF(at, 8));
        p.drawLine(QPointF(at, 24), QPointF(at, 29));
        p.drawLine(QPointF(3, at), QPointF(8, at));
        p.drawLine(QPointF(24, at), QPointF(29, at));
    }
}

void Notifications(QPainter& p)
{
    QPainterPath bell;
    bell.moveTo(6, 23);
    bell.cubicTo(9, 20, 9, 17, 9, 13);
    bell.cubicTo(9, 4, 23, 4, 23, 13);
    bell.cubicTo(23, 17, 23, 20, 26, 23);
    bell.closeSubpath();
    p.drawPath(bell);
    p.drawArc(QRectF(13, 24, 6, 5), 180 * 16, 180 * 16);
}

} // namespace

std::array<QIcon, kConfigPageCount> TfrmConfig::ConfigNodeImages()
{
    // By the nodes' absolute index.
    static constexpr TPictogram kPictograms[kConfigPageCount] = {General,
                                                                 Filetypes,
                                                                 Shortcuts,
                                                                 Mouse,
                                                                 Playlist,
                                                                 AcceptedExtensions,
                                                                 Skins,
                                                                 Languages,
                                                                 Audio,
                                                                 AudioOutput,
                                                                 AudioLivestreaming,
                                                                 Video,
                                                                 VideoFilter,
                                                                 VideoOSD,
                                                                 VideoDefault,
                                                                 VideoFullscreen,
                                                                 System,
                                                                 Notifications};
    std::array<QIcon, kConfigPageCount> images;
    for (size_t i = 0; i < images.size(); ++i)
        images[i] = PictogramIcon(kPictograms[i], kSide, 2.0);
    return images;
}

} // namespace kolvarin
