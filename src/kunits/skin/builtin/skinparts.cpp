#include <cmath>

#include <QPainterPath>

#include "skinatlas.h"
#include "strokefont.h"

namespace skingen {

// ---- The time digits, shared by the main window and the full-screen bar.

TimeGlyphs DrawTimeGlyphs(Atlas& atlas)
{
    TimeGlyphs t;
    auto glyph = [&](QChar c, int width) {
        const QPoint at = atlas.Single(width, kDigitH, pal::panel, [&](QPainter& p, const QRectF&) {
            QPen pen(pal::accent, 2.0);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.translate((width - 8) / 2.0, 1);
            if (c == ':') {
                p.setPen(Qt::NoPen);
                p.setBrush(pal::accent);
                p.drawEllipse(QPointF(4, 5), 1.2, 1.2);
                p.drawEllipse(QPointF(4, 11), 1.2, 1.2);
            } else if (c != ' ') {
                p.drawPath(DigitPath(c));
            }
        });
        t.chars.push_back({at, QSize(width, kDigitH)});
    };
    for (QChar c : QString("0123456789"))
        glyph(c, kDigitW);
    glyph(' ', kDigitW);
    glyph(':', kColonW);
    glyph('-', kDigitW);
    glyph(' ', kDigitW);
    // Sign, six digits and two colons, one pixel apart.
    t.backgroundSize = QSize(7 * (kDigitW + 1) + 2 * (kColonW + 1) - 1, kDigitH);
    t.background = atlas.Single(t.backgroundSize.width(), kDigitH, pal::panel, [](QPainter&, const QRectF&) {});
    return t;
}

void WriteTime(Xml& x, QPoint form, const TimeGlyphs& t)
{
    x.Open("Time");
    x.Pos("FormPos", form);
    x.Flag("UseBg", true);
    x.Pos("BgSkinPos", t.background);
    x.Size("BgSize", t.backgroundSize);
    x.Open("Chars");
    static const char* const keys[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "Space", ":", "-", "- Space"};
    for (size_t i = 0; i < t.chars.size(); ++i) {
        x.Open(QString("Char Key=\"") + keys[i] + "\"");
        x.Pos("SkinPos", t.chars[i].first);
        x.Size("Size", t.chars[i].second);
        x.Close("Char");
    }
    x.Close("Chars");
    x.Border("SkinBorder", kStateBorder);
    x.Border("FormBorder", 1);
    x.Close("Time");
}

// ---- Buttons and check boxes: 0 disabled, 1 normal, 2 hover, 3 pressed.

QPoint DrawButton(Atlas& atlas, QSize size, Glyph glyph, double glyphSize, const QColor& under, bool danger)
{
    return atlas.Stack(size.width(), size.height(), 4, under, [&](QPainter& p, int state, const QRectF& box) {
        const QRectF pad = box.adjusted(1, 1, -1, -1);
        QColor ink = pal::text;
        if (state == 0)
            ink = pal::disabled;
        if (state == 2)
            DrawPad(p, pad, danger ? pal::warn.darker(160) : pal::hover);
        if (state == 3) {
            DrawPad(p, pad, danger ? pal::warn : pal::accentDark);
            ink = pal::white;
        }
        const QRectF g(box.center().x() - glyphSize / 2, box.center().y() - glyphSize / 2, glyphSize, glyphSize);
        DrawGlyph(p, glyph, g, ink);
    });
}

// Check boxes: 0 disabled, 1 off, 2 pressed, 3 on (accent with an underline).
QPoint DrawCheckbox(Atlas& atlas, QSize size, Glyph glyph, const QColor& under)
{
    return atlas.Stack(size.width(), size.height(), 4, under, [&](QPainter& p, int state, const QRectF& box) {
        QColor ink = state == 0 ? pal::disabled : state == 3 ? pal::accent : pal::text2;
        if (state == 2) {
            DrawPad(p, box, pal::hover);
            ink = pal::text;
        }
        DrawGlyph(p, glyph, QRectF(box.center().x() - 5, 1, 10, 10), ink);
        if (state == 3) {
            p.setPen(Qt::NoPen);
            p.setBrush(pal::accent);
            p.drawRoundedRect(QRectF(box.center().x() - 5, box.height() - 2, 10, 2), 1, 1);
        }
    });
}

int SeekMarkY(int bgHeight, int thumbHeight, double mark)
{
    // The row just above the thumb's centre line, as the track draws it.
    return static_cast<int>(std::round(thumbHeight / 2.0 + (1 - mark) * (bgHeight - thumbHeight))) - 1;
}

void DrawSeekMark(QPainter& p, int x1, int x2, int y) { p.fillRect(QRect(x1, y, x2 - x1, 1), pal::hair); }

Seek DrawSeek(Atlas& atlas, QSize bgSize, QSize thumbSize, const QColor& under, double mark)
{
    Seek s{{}, {}, bgSize, thumbSize};
    const bool vertical = bgSize.height() > bgSize.width();
    s.bg = atlas.Single(bgSize.width(), bgSize.height(), under, [&](QPainter& p, const QRectF& box) {
        // Across the whole picture, so it meets the guide the window draws
        // beside it; the track, in the same colour, hides where they cross.
        if (mark >= 0 && vertical)
            DrawSeekMark(p, 0, box.width(), SeekMarkY(bgSize.height(), thumbSize.height(), mark));
        const QRectF track = vertical ? box.adjusted(0, thumbSize.height() / 2.0 - 2, 0, -thumbSize.height() / 2.0 + 2)
                                      : box.adjusted(thumbSize.width() / 2.0 - 2, 0, -thumbSize.width() / 2.0 + 2, 0);
        DrawTrack(p, track, pal::hair);
        if (mark >= 0 && !vertical) {
            // A tick through the track where the thumb's centre stands for that value.
            const double x = std::round(thumbSize.width() / 2.0 + mark * (box.width() - thumbSize.width()));
            p.setPen(QPen(pal::text2, 1));
            p.drawLine(QPointF(x - 0.5, 1), QPointF(x - 0.5, box.height() - 1));
        }
    });
    // Only the thumb itself is drawn: the track and marks show through.
    s.thumb = atlas.ShapedStack(
        thumbSize.width(), thumbSize.height(), 2, under, [&](QPainter& p, int state, const QRectF& box) {
            DrawThumb(p, box, std::min(box.width(), box.height()) - 2, state == 1 ? pal::accent : pal::text);
        });
    return s;
}

void WriteSeek(Writer& w, const QString& name, QPoint form, const Seek& s, const QString& align)
{
    w.Seek(name, form, s.bg, s.bgSize, s.thumb, s.thumbSize, align);
}

void WriteHiddenSeek(Writer& w, const QString& name) { w.Seek(name, {}, {}, {}, {}, {}, "LeftToRight", false); }

QPoint DrawCaption(Atlas& atlas, QSize size, const QString& title)
{
    return atlas.Stack(size.width(), size.height(), 2, pal::body, [&](QPainter& p, int state, const QRectF& box) {
        const bool active = state == 1;
        DrawGlyph(p, Glyph::Logo, QRectF(0, (box.height() - 11) / 2, 11, 11), active ? pal::accent : pal::text2);
        DrawText(p, title, QPointF(17, (box.height() - 7) / 2), 7, active ? pal::text : pal::text2, 1.2);
    });
}

QPoint DrawPopupPicture(Atlas& atlas, Glyph glyph)
{
    return atlas.Shaped(23, 40, QColor(0, 0, 0),
                        [&](QPainter& p) { DrawGlyph(p, glyph, QRectF(3, 20, 17, 17), pal::accent); });
}

QPoint DrawStatusIcon(Atlas& atlas, Glyph glyph, const QColor& color)
{
    return atlas.Single(10, 10, pal::panel, [&](QPainter& p, const QRectF& box) { DrawGlyph(p, glyph, box, color); });
}

// ---- The resizable frame of the playlist and video windows: body, title
// strip and an inner panel, cut into nine edges from one small drawing.

void DrawFrame(QPainter& p, QSizeF size)
{
    DrawWindowBody(p, QRectF(QPointF(0, 0), size));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(kFrameLeft - 1, kFrameTop - 1, size.width() - kFrameLeft - kFrameRight + 2,
                      size.height() - kFrameTop - kFrameBottom + 2),
               pal::hair);
    p.fillRect(QRectF(kFrameLeft, kFrameTop, size.width() - kFrameLeft - kFrameRight,
                      size.height() - kFrameTop - kFrameBottom),
               pal::panel);
}

static void WriteEdges(Xml& x, QPoint at, QSize reference)
{
    const int rw = reference.width(), rh = reference.height(), c = kFrameCorner;
    const struct {
        const char* name;
        QRect rect;
    } edges[] = {
        {"TopLeft", {0, 0, c, kFrameTop}},
        {"Top", {c, 0, 8, kFrameTop}},
        {"TopRight", {rw - c, 0, c, kFrameTop}},
        {"Left", {0, kFrameTop, kFrameLeft, 8}},
        {"Center", {c, kFrameTop, 8, 8}},
        {"Right", {rw - kFrameRight, kFrameTop, kFrameRight, 8}},
        {"BottomLeft", {0, rh - kFrameBottom, c, kFrameBottom}},
        {"Bottom", {c, rh - kFrameBottom, 8, kFrameBottom}},
        {"BottomRight", {rw - c, rh - kFrameBottom, c, kFrameBottom}},
    };
    x.Open("Edges");
    for (const auto& e : edges) {
        x.Open(e.name);
        x.Pos("SkinPos", at + e.rect.topLeft());
        x.Size("Size", e.rect.size());
        x.Close(e.name);
    }
    x.Close("Edges");
}

void WriteResizeForm(Xml& x, QPoint frame, QSize size, QSize minimum)
{
    x.Open("ResizeForm");
    x.Size("Size", size);
    x.Size("DefaultSize", minimum);
    x.Flag("Masked", true);
    WriteEdges(x, frame, kFrameReference);
    x.Close("ResizeForm");
}

QPoint DrawFrameReference(Atlas& atlas)
{
    return atlas.Shaped(kFrameReference.width(), kFrameReference.height(), pal::body,
                        [](QPainter& p) { DrawFrame(p, kFrameReference); });
}

QPoint DrawGrip(Atlas& atlas)
{
    return atlas.Single(12, 12, pal::body, [](QPainter& p, const QRectF& box) {
        DrawGlyph(p, Glyph::Grip, box.adjusted(-1, -1, -1, -1), pal::disabled);
    });
}

} // namespace skingen
