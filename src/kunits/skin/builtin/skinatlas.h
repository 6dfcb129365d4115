#pragma once

// The generator's building blocks: the bitmap being filled, the description
// being written, and the pictures several windows share.

#include <functional>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QString>

#include "skinpainter.h"

namespace skingen {

using DrawFn = std::function<void(QPainter&, int state, const QRectF& box)>;

constexpr int kGutter = 2;
constexpr int kStateBorder = 2;

// The skin bitmap, filled shelf by shelf. Every element's pictures sit on
// their own cells; the gaps keep the transparent colour.
class Atlas {
public:
    explicit Atlas(int width) : width_(width), image_(width, 4096, QImage::Format_RGB32)
    {
        image_.fill(pal::transparent);
    }

    QPoint Reserve(int w, int h)
    {
        if (x_ + w + kGutter > width_) {
            x_ = kGutter;
            y_ += rowHeight_ + kGutter;
            rowHeight_ = 0;
        }
        const QPoint at(x_, y_);
        x_ += w + kGutter;
        rowHeight_ = std::max(rowHeight_, h);
        return at;
    }

    // `states` pictures of w x h stacked kStateBorder apart, each drawn on `under`.
    QPoint Stack(int w, int h, int states, const QColor& under, const DrawFn& draw)
    {
        const QPoint at = Reserve(w, states * h + (states - 1) * kStateBorder);
        QPainter p(&image_);
        for (int i = 0; i < states; ++i) {
            p.save();
            p.translate(at + QPoint(0, i * (h + kStateBorder)));
            p.setClipRect(QRect(0, 0, w, h));
            p.fillRect(QRect(0, 0, w, h), under);
            p.setRenderHint(QPainter::Antialiasing);
            draw(p, i, QRectF(0, 0, w, h));
            p.restore();
        }
        return at;
    }

    QPoint Single(int w, int h, const QColor& under, const std::function<void(QPainter&, const QRectF&)>& draw)
    {
        return Stack(w, h, 1, under, [&](QPainter& p, int, const QRectF& box) { draw(p, box); });
    }

    // Pictures with see-through parts (window corners, seek-bar thumbs):
    // each drawn on a clear image and flattened against `under`, stacked
    // like Stack.
    QPoint ShapedStack(int w, int h, int states, const QColor& under, const DrawFn& draw)
    {
        const QPoint at = Reserve(w, states * h + (states - 1) * kStateBorder);
        QPainter p(&image_);
        for (int i = 0; i < states; ++i) {
            QImage clear(w, h, QImage::Format_ARGB32_Premultiplied);
            clear.fill(Qt::transparent);
            {
                QPainter c(&clear);
                c.setRenderHint(QPainter::Antialiasing);
                draw(c, i, QRectF(0, 0, w, h));
            }
            p.drawImage(at + QPoint(0, i * (h + kStateBorder)), Flatten(clear, under));
        }
        return at;
    }

    QPoint Shaped(int w, int h, const QColor& under, const std::function<void(QPainter&)>& draw)
    {
        return ShapedStack(w, h, 1, under, [&](QPainter& p, int, const QRectF&) { draw(p); });
    }

    QImage Take() const { return image_.copy(0, 0, width_, y_ + rowHeight_ + kGutter); }

private:
    int width_;
    QImage image_;
    int x_ = kGutter;
    int y_ = kGutter;
    int rowHeight_ = 0;
};

inline QString Num(int v) { return QString::number(v); }

// The description, written as it goes.
class Xml {
public:
    void Open(const QString& name)
    {
        Line("<" + name + ">");
        ++depth_;
    }
    void Close(const QString& name)
    {
        --depth_;
        Line("</" + name + ">");
    }
    void Leaf(const QString& name, const QString& attributes) { Line("<" + name + " " + attributes + " />"); }
    void Comment(const QString& note) { Line("<!-- " + note + " -->"); }
    void Raw(const QString& line) { Line(line); }

    void Pos(const QString& name, QPoint p) { Leaf(name, "X=\"" + Num(p.x()) + "\" Y=\"" + Num(p.y()) + "\""); }
    void Size(const QString& name, QSize s)
    {
        Leaf(name, "Width=\"" + Num(s.width()) + "\" Height=\"" + Num(s.height()) + "\"");
    }
    void Border(const QString& name, int border) { Leaf(name, "Border=\"" + Num(border) + "\""); }
    void Flag(const QString& name, bool on) { Leaf(name, QString("Enabled=\"") + (on ? "true" : "false") + "\""); }
    void Color(const QString& name, const QColor& c) { Leaf(name, ColorAttribute(c)); }
    // A brush or pen style of the playlist editor (the description's numbering).
    void Style(const QString& name, int style, const QColor& c)
    {
        Leaf(name, "Style=\"" + Num(style) + "\" " + ColorAttribute(c));
    }

    QString text;

private:
    static QString ColorAttribute(const QColor& c)
    {
        return "Color=\"" + Num(c.red()) + "," + Num(c.green()) + "," + Num(c.blue()) + "\"";
    }
    void Line(const QString& line) { text += QString(depth_ * 2, ' ') + line + "\r\n"; }
    int depth_ = 0;
};

// One element's record in the description, written by kind.
struct Writer {
    Xml& x;

    void Form(const QString& name, QPoint skin, QSize size)
    {
        x.Open(name);
        x.Pos("SkinPos", skin);
        x.Size("Size", size);
        x.Flag("Masked", true);
        x.Close(name);
    }
    void Caption(const QString& name, QPoint form, QPoint skin, QSize size)
    {
        x.Open(name);
        x.Pos("FormPos", form);
        x.Pos("SkinPos", skin);
        x.Border("SkinBorder", kStateBorder);
        x.Size("Size", size);
        x.Close(name);
    }
    void Button(const QString& name, QPoint form, QPoint skin, QSize size, bool visible = true)
    {
        x.Open(name);
        x.Pos("FormPos", form);
        x.Pos("SkinPos", skin);
        x.Size("Size", size);
        x.Border("SkinBorder", kStateBorder);
        x.Flag("Visible", visible);
        x.Close(name);
    }
    void Bar(const QString& name, QPoint form, QPoint skin, QSize size, const QString& align = "LeftToRight")
    {
        x.Open(name);
        x.Pos("FormPos", form);
        x.Pos("SkinPos", skin);
        x.Size("Size", size);
        x.Border("SkinBorder", kStateBorder);
        x.Leaf("Align", "Align=\"" + align + "\"");
        x.Close(name);
    }
    void Seek(const QString& name, QPoint form, QPoint bgSkin, QSize bgSize, QPoint barSkin, QSize barSize,
              const QString& align, bool visible = true)
    {
        x.Open(name);
        x.Pos("BgFormPos", form);
        x.Pos("BgSkinPos", bgSkin);
        x.Size("BgSize", bgSize);
        x.Pos("BarSkinPos", barSkin);
        x.Size("BarSize", barSize);
        x.Border("BarSkinBorder", kStateBorder);
        x.Leaf("BarAlign", "Align=\"" + align + "\"");
        x.Flag("Visible", visible);
        x.Close(name);
    }
    void Image(const QString& name, QPoint form, QPoint skin, QSize size)
    {
        x.Open(name);
        x.Pos("FormPos", form);
        x.Pos("SkinPos", skin);
        x.Size("Size", size);
        x.Close(name);
    }
    void Label(const QString& name, QPoint form, QSize size, const QColor& color)
    {
        x.Open(name);
        x.Pos("FormPos", form);
        x.Size("Size", size);
        x.Leaf("Font", "Face=\"DejaVu Sans\" Size=\"8\" Color=\"" + Num(color.red()) + "," + Num(color.green()) + "," +
                           Num(color.blue()) + "\"");
        x.Close(name);
    }
};

// ---- Pictures shared by several windows (skinparts.cpp).

constexpr int kDigitW = 10, kDigitH = 18, kColonW = 4;

struct TimeGlyphs {
    std::vector<std::pair<QPoint, QSize>> chars; // "0".."9", Space, ":", "-", "- Space"
    QPoint background;
    QSize backgroundSize;
};

TimeGlyphs DrawTimeGlyphs(Atlas& atlas);
void WriteTime(Xml& x, QPoint form, const TimeGlyphs& t);

// Buttons: 0 disabled, 1 normal, 2 hover, 3 pressed.
QPoint DrawButton(Atlas& atlas, QSize size, Glyph glyph, double glyphSize, const QColor& under, bool danger = false);
// Check boxes: 0 disabled, 1 off, 2 pressed, 3 on.
QPoint DrawCheckbox(Atlas& atlas, QSize size, Glyph glyph, const QColor& under);

// A seek bar: its track background and its thumb (normal, pressed).
struct Seek {
    QPoint bg, thumb;
    QSize bgSize, thumbSize;
};
// A mark where the thumb's centre stands for `mark` (0 the minimum end, 1 the
// maximum end; below 0 none): on a horizontal bar a tick through the track,
// on a vertical one a hairline guide across the picture, which the window
// continues with DrawSeekMark at the same height (SeekMarkY, in the bar's
// coordinates).
int SeekMarkY(int bgHeight, int thumbHeight, double mark);
void DrawSeekMark(QPainter& p, int x1, int x2, int y);
Seek DrawSeek(Atlas& atlas, QSize bgSize, QSize thumbSize, const QColor& under, double mark = -1);
void WriteSeek(Writer& w, const QString& name, QPoint form, const Seek& s, const QString& align);
void WriteHiddenSeek(Writer& w, const QString& name);

QPoint DrawCaption(Atlas& atlas, QSize size, const QString& title);
QPoint DrawPopupPicture(Atlas& atlas, Glyph glyph);
QPoint DrawStatusIcon(Atlas& atlas, Glyph glyph, const QColor& color);

// The resizable frame of the playlist and video windows: body, title strip
// and an inner panel, cut into nine edges from one small drawing.
constexpr int kFrameLeft = 9, kFrameRight = 9, kFrameTop = 24, kFrameBottom = 16, kFrameCorner = 24;
inline const QSize kFrameReference(2 * kFrameCorner + 8, kFrameTop + 8 + kFrameBottom + 16);
void DrawFrame(QPainter& p, QSizeF size);
QPoint DrawFrameReference(Atlas& atlas);
void WriteResizeForm(Xml& x, QPoint frame, QSize size, QSize minimum);
QPoint DrawGrip(Atlas& atlas);

// The five windows (skinwindows.cpp).
void DrawMain(Atlas& atlas, Xml& x, const TimeGlyphs& time);
void DrawPlaylist(Atlas& atlas, Xml& x);
void DrawMediaControls(Atlas& atlas, Xml& x);
void DrawVideo(Atlas& atlas, Xml& x);
void DrawFullscreenControl(Atlas& atlas, Xml& x, const TimeGlyphs& time);

} // namespace skingen
