#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace skingen {

// The palette of the built-in skin.
namespace pal {
inline const QColor body{0x1D, 0x20, 0x26};
inline const QColor panel{0x25, 0x29, 0x32};
inline const QColor hair{0x34, 0x3A, 0x46};
inline const QColor lift{0x3C, 0x43, 0x50};
inline const QColor text{0xE4, 0xE7, 0xEC};
inline const QColor text2{0x9A, 0xA3, 0xB2};
inline const QColor accent{0x4C, 0xC2, 0xFF};
inline const QColor accentDark{0x2E, 0x9B, 0xD6};
inline const QColor accentLight{0x8F, 0xDB, 0xFF};
inline const QColor warn{0xFF, 0x6B, 0x5B};
inline const QColor hover{0x2C, 0x31, 0x3B};
inline const QColor disabled{0x5A, 0x62, 0x72};
// The accent over the panel at about a third, outlined in the accent: the
// selected rows stand out, and both white and accent (played) text read on it.
inline const QColor selectedRow{0x33, 0x5F, 0x7A};
inline const QColor rowAlt{0x28, 0x2D, 0x36};
inline const QColor white{0xFF, 0xFF, 0xFF};
// Marks the pixels outside the windows' rounded corners; drawn nowhere else.
inline const QColor transparent{0xFF, 0x00, 0xFF};
} // namespace pal

enum class Glyph {
    Play,
    Pause,
    Stop,
    Previous,
    Next,
    Eject,
    Close,
    Minimize,
    Gear,
    Repeat,
    Speaker,
    Fullscreen,
    Resize,
    List,
    Equalizer,
    Note,
    Disc,
    Globe,
    Film,
    FilmStream,
    Dvd,
    Ready,
    Wait,
    Logo,
    Grip,
};

// A pictogram centred in the box, in the colour.
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color);

// A flat rounded pad behind a button glyph.
void DrawPad(QPainter& p, const QRectF& box, const QColor& color);
// A 4-pixel rounded track through the middle of the box, along its longer side.
void DrawTrack(QPainter& p, const QRectF& box, const QColor& color);
// A round thumb of the given diameter centred in the box.
void DrawThumb(QPainter& p, const QRectF& box, double diameter, const QColor& color);
// A window body: rounded by 6 pixels, the hairline edge and a 1-pixel lift.
void DrawWindowBody(QPainter& p, const QRectF& rect);
// A recessed panel with a hairline edge.
void DrawPanel(QPainter& p, const QRectF& rect, double radius = 4);
// A stroke-font text in the colour; capHeight pixels tall.
void DrawText(QPainter& p, const QString& text, QPointF topLeft, double capHeight, const QColor& color,
              double strokeWidth = 1.15);

// Turns an antialiased drawing on a transparent image into skin pixels:
// pixels at least half covered become the drawing over `under`, the rest
// the transparent colour.
QImage Flatten(const QImage& drawing, const QColor& under);

} // namespace skingen
