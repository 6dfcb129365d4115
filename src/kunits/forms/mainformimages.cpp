// The main menu's item images: flat pictograms in the skin's accent colour.
#include <QPainter>
#include <QPainterPath>

#include "dialogs/pictogram.h"
#include "forms/mainform.h"

namespace kolvarin {

namespace {

constexpr int kSide = 16;

void About(QPainter& p)
{
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 7), QPointF(8, 11.5));
    p.drawPoint(QPointF(8, 4.5));
}

void Help(QPainter& p)
{
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath hook;
    hook.moveTo(6, 6.2);
    hook.cubicTo(6, 3.8, 10, 3.8, 10, 6.2);
    hook.cubicTo(10, 7.8, 8, 7.8, 8, 9.5);
    p.drawPath(hook);
    p.drawPoint(QPointF(8, 11.8));
}

void Configuration(QPainter& p)
{
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.save();
        p.translate(8, 8);
        p.rotate(tooth * 45.0);
        p.drawLine(QPointF(0, -4.5), QPointF(0, -6.8));
        p.restore();
    }
    p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
    p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
}

void Close(QPainter& p)
{
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void LiveUpdate(QPainter& p)
{
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 290 * 16);
    p.drawPolyline(QPolygonF({QPointF(4.5, 1.5), QPointF(7.5, 3), QPointF(5, 5.5)}));
}

void Minimize(QPainter& p) { p.drawLine(QPointF(3.5, 12.5), QPointF(12.5, 12.5)); }

void Restore(QPainter& p)
{
    p.drawRect(QRectF(2.5, 5.5, 8, 8));
    p.drawPolyline(QPolygonF(
        {QPointF(5.5, 5.5), QPointF(5.5, 2.5), QPointF(13.5, 2.5), QPointF(13.5, 10.5), QPointF(10.5, 10.5)}));
}

void Fullscreen(QPainter& p)
{
    for (const auto& [x, y, dx, dy] :
         {std::array{1.5, 1.5, 1.0, 1.0}, {14.5, 1.5, -1.0, 1.0}, {1.5, 14.5, 1.0, -1.0}, {14.5, 14.5, -1.0, -1.0}})
        p.drawPolyline(QPolygonF({QPointF(x, y + 4 * dy), QPointF(x, y), QPointF(x + 4 * dx, y)}));
}

void Desktop(QPainter& p)
{
    p.drawRect(QRectF(1.5, 2.5, 13, 9));
    p.drawLine(QPointF(8, 11.5), QPointF(8, 14));
    p.drawLine(QPointF(4.5, 14.5), QPointF(11.5, 14.5));
}

void Window(QPainter& p)
{
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.drawLine(QPointF(1.5, 5.5), QPointF(14.5, 5.5));
}

} // namespace

std::array<QIcon, 10> TfrmMain::MainMenuImages()
{
    // The order of the image list: about, help, configuration, close, live
    // update, minimise, restore, full screen, desktop, window.
    static constexpr TPictogram kPictograms[] = {About,    Help,    Configuration, Close,   LiveUpdate,
                                                 Minimize, Restore, Fullscreen,    Desktop, Window};
    std::array<QIcon, 10> images;
    for (size_t i = 0; i < images.size(); ++i)
        images[i] = PictogramIcon(kPictograms[i], kSide, 1.4);
    return images;
}

} // namespace kolvarin
