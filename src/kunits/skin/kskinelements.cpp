#include "skin/kskinelements.h"

#include <algorithm>

#include "base/bounds.h"
#include "core/desktop/kbitmaps.h"
#include "skin/kgui_p.h"

namespace kolvarin {

namespace {

using Wide = __int128;

TKSkinDragState dragState;

int64_t Narrow(Wide value)
{
    const Wide lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(std::clamp(value, lo, hi));
}

// a x b / c truncated toward zero; c must not be 0.
int64_t MulDiv(int64_t a, int64_t b, int64_t c) { return Narrow(Wide(a) * b / c); }

// a x b / c rounded to the nearest integer, halves to even; c > 0.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c)
{
    const Wide n = Wide(a) * b;
    Wide q = n / c;
    Wide r = n % c;
    if (r < 0) {
        r += c;
        q -= 1;
    }
    if (2 * r > c || (2 * r == c && (q & 1) != 0))
        q += 1;
    return Narrow(q);
}

void Place(QWidget& control, TKSPoint pos, TKSSize size)
{
    control.setGeometry(pos.X, pos.Y, std::max(size.Width, 0), std::max(size.Height, 0));
}

bool IsVertical(uint8_t seekAlign) { return seekAlign == sbaUpToDown || seekAlign == sbaDownToUp; }

} // namespace

TKSkinDragState& SkinDragState() { return dragState; }

void SkinShowButton(const TKGUI&, TKImage& control, const TKSButton& button)
{
    Place(control, button.FormPos, button.Size);
    if (button.State <= 3)
        control.SetPicture(button.Bitmaps[button.State]);
}

bool SkinButtonMouseDown(const TKGUI& skin, TKImage& control, TKSButton& button, TMouseButton mouse)
{
    if (mouse != TMouseButton::mbLeft)
        return false;
    button.State = 3;
    SkinShowButton(skin, control, button);
    return true;
}

void SkinButtonMouseEnterLeave(const TKGUI& skin, TKImage& control, TKSButton& button, bool entered)
{
    button.State = entered ? 2 : 1;
    SkinShowButton(skin, control, button);
}

bool SkinButtonMouseUp(const TKGUI& skin, TKImage& control, TKSButton& button, TMouseButton mouse, bool mouseOver)
{
    if (mouse != TMouseButton::mbLeft)
        return false;
    button.State = mouseOver ? 2 : 1;
    SkinShowButton(skin, control, button);
    return mouseOver;
}

void SkinSetCheckboxState(const TKGUI& skin, TKImage& control, const TKSCheckbox& box)
{
    SkinShowButton(skin, control, box);
}

void SkinCheckboxMouseDown(const TKGUI& skin, TKImage& control, TKSCheckbox& box)
{
    box.State = 2;
    SkinSetCheckboxState(skin, control, box);
}

void SkinCheckboxMouseUp(const TKGUI& skin, TKImage& control, TKSCheckbox& box)
{
    const bool checked = control.Tag == 0;
    control.Tag = checked ? 1 : 0;
    box.State = checked ? 3 : 1;
    SkinSetCheckboxState(skin, control, box);
}

void SkinSetCaptionActive(const TKGUI&, TKImage& control, const TKSCaptionBar& bar, bool active)
{
    control.SetPicture(bar.Bitmaps[active ? 1 : 0]);
}

void SkinPlaceImage(const TKGUI&, TKImage& control, const TKSImage& image)
{
    Place(control, image.FormPos, image.Size);
    control.SetPicture(image.Bitmap);
}

bool SkinSetWindowRegion(QWidget& window, const gdi::Region& region)
{
    window.setMask(region.toQRegion());
    return true;
}

bool SkinClearWindowRegion(QWidget& window)
{
    window.clearMask();
    return true;
}

bool SkinApplyFormBackground(const TKGUI& skin, TKImage& control, TKSForm& form, QWidget& window)
{
    Place(control, {0, 0}, form.Size);
    control.SetPicture(form.Bitmap);
    if (!form.Masked)
        return SkinClearWindowRegion(window);
    form.Region = CreateRegionFromBitmap(form.Bitmap, skin.TransparentColor);
    return SkinSetWindowRegion(window, form.Region);
}

void SkinComposeResizeForm(TKSResizeForm& form, int width, int height)
{
    const auto& e = form.EdgeBitmaps;
    gdi::Bitmap& bg = form.Background;
    const int w = std::max(width, 0), h = std::max(height, 0);
    bg.setSize(w, h);
    gdi::Canvas canvas(bg);
    canvas.brush = {gdi::BrushStyle::Solid, gdi::RGB(255, 255, 255)};
    canvas.fillRect({0, 0, w, h});
    TileBitmap(e[eCenter], bg, {0, 0, w, h});
    BlitBitmapAt(e[eTopLeft], bg, 0, 0);
    TileBitmap(e[eTop], bg, {e[eTopLeft].width(), 0, w - e[eTopRight].width(), e[eTop].height()});
    BlitBitmapAt(e[eTopRight], bg, w - e[eTopRight].width(), 0);
    TileBitmap(e[eLeft], bg, {0, e[eTopLeft].height(), e[eLeft].width(), h - e[eBottomLeft].height() + 1});
    TileBitmap(e[eRight], bg, {w - e[eRight].width(), e[eTopRight].height(), w, h - e[eBottomRight].height() + 1});
    BlitBitmapAt(e[eBottomLeft], bg, 0, h - e[eBottomLeft].height());
    TileBitmap(e[eBottom], bg, {e[eBottomLeft].width(), h - e[eBottom].height(), w - e[eBottomRight].width() + 1, h});
    BlitBitmapAt(e[eBottomRight], bg, w - e[eBottomRight].width(), h - e[eBottomRight].height());
}

bool SkinPaintResizeForm(const TKGUI& skin, TKPaintbox& control, TKSResizeForm& form, QWidget& window)
{
    form.Size = {window.width(), window.height()};
    Place(control, {0, 0}, form.Size);
    SkinComposeResizeForm(form, form.Size.Width, form.Size.Height);
    control.Invalidate();
    if (!form.Masked)
        return SkinClearWindowRegion(window);
    form.Region = CreateRegionFromBitmap(form.Background, skin.TransparentColor);
    return SkinSetWindowRegion(window, form.Region);
}

void SkinPaintBar(const TKGUI& skin, TKImage& control, const TKSBar& bar)
{
    Place(control, bar.FormPos, bar.Size);
    control.SetPicture(bar.Bitmaps[0]);
    const int64_t range = bar.Max - bar.Min;
    if (bar.Max <= 0 || range <= 0)
        return;
    const int64_t value = std::clamp(bar.Value, bar.Min, bar.Max);
    const gdi::Bitmap& fill = bar.Bitmaps[1];
    const int width = bar.Size.Width, height = bar.Size.Height;
    gdi::Bitmap part;
    auto clearTo = [&](int w, int h) {
        part.setSize(w, h);
        gdi::Canvas canvas(part);
        canvas.brush = {gdi::BrushStyle::Solid, skin.TransparentColor};
        canvas.fillRect({0, 0, w, h});
    };
    gdi::Canvas canvas(part);
    switch (bar.Align) {
    case baLeftToRight: {
        const int w = static_cast<int>(MulDiv(width, value - bar.Min, range));
        clearTo(w, height);
        canvas.bitBlt(0, 0, w, height, fill, 0, 0);
        break;
    }
    case baRightToLeft: {
        const int o = static_cast<int>(MulDiv(width, bar.Max - value, range));
        part = bar.Bitmaps[0];
        canvas.bitBlt(o, 0, width - o, height, fill, o, 0);
        break;
    }
    case baDownToUp: {
        const int o = static_cast<int>(MulDiv(height, bar.Max - value, range));
        part = bar.Bitmaps[0];
        canvas.bitBlt(0, o, width, height - o, fill, 0, o);
        break;
    }
    case baUpToDown: {
        const int h = static_cast<int>(MulDiv(height, value - bar.Min, range));
        clearTo(width, h);
        canvas.bitBlt(0, 0, width, h, fill, 0, 0);
        break;
    }
    default: return;
    }
    part.setTransparentColor(fill.transparentColor());
    part.setTransparent(fill.transparent());
    gdi::Canvas(control.EditPicture()).draw(0, 0, part);
    control.PictureChanged();
}

void SkinBarMouseDown(const TKGUI& skin, TKImage& control, TKSBar& bar, TMouseButton mouse, int x, int y)
{
    if (mouse == TMouseButton::mbLeft)
        SkinBarMouseMove(skin, control, bar, ssLeft, x, y);
}

void SkinBarMouseMove(const TKGUI& skin, TKImage& control, TKSBar& bar, TShiftState shift, int x, int y)
{
    if (shift != ssLeft)
        return;
    const bool horizontal = bar.Align == baLeftToRight || bar.Align == baRightToLeft;
    const int extent = horizontal ? bar.Size.Width : bar.Size.Height;
    if (extent <= 0)
        return;
    const int along = std::clamp(horizontal ? x : y, 0, extent);
    int c = along;
    if (bar.Align == baRightToLeft || bar.Align == baDownToUp)
        c = extent - along;
    bar.Value = bar.Min + MulDiv(c, bar.Max - bar.Min, extent);
    SkinPaintBar(skin, control, bar);
}

double SkinBarPercent(const TKSBar& bar)
{
    if (bar.Max <= 0 || bar.Max == bar.Min)
        return 0;
    return 100.0 * double(bar.Value - bar.Min) / double(bar.Max - bar.Min);
}

void SkinPlaceSeekBarThumb(const TKGUI&, TKImage& background, TKImage& thumb, TKSSeekBar& bar)
{
    if (!bar.Visible)
        return;
    const QRect bg = background.geometry();
    bar.Track = {bg.left(), bg.top(), bg.left() + bg.width(), bg.top() + bg.height()};
    thumb.setGeometry(bg.left(), bg.top(), std::max(bar.BarSize.Width, 0), std::max(bar.BarSize.Height, 0));
    background.setVisible(true);
    thumb.setVisible(true);
    if (bar.Max <= bar.Min)
        return;
    const int64_t range = bar.Max - bar.Min;
    const int64_t value = std::clamp(bar.Value, bar.Min, bar.Max);
    const bool vertical = IsVertical(bar.BarAlign);
    bar.Travel = vertical ? bg.height() - thumb.height() : bg.width() - thumb.width();
    const int64_t travel = std::max(bar.Travel, 0);
    const bool fromMax = bar.BarAlign == sbaDownToUp || bar.BarAlign == sbaRightToLeft;
    const int offset = static_cast<int>(MulDivRound(fromMax ? bar.Max - value : value - bar.Min, travel, range));
    if (vertical)
        thumb.move(bg.left(), bg.top() + offset);
    else
        thumb.move(bg.left() + offset, bg.top());
}

void SkinSeekBarMouseDown(const TKGUI&, TKImage& thumb, TKSSeekBar& bar, TMouseButton, int x, int y)
{
    thumb.SetPicture(bar.BarBitmaps[1]);
    if (bar.Max == 0)
        return;
    if (IsVertical(bar.BarAlign)) {
        dragState.GrabOffset = thumb.height() / 2;
        thumb.move(thumb.x(), thumb.y() + y - dragState.GrabOffset);
    } else {
        dragState.GrabOffset = thumb.width() / 2;
        thumb.move(thumb.x() + x - dragState.GrabOffset, thumb.y());
    }
    dragState.Dragging = true;
}

void SkinSeekBarMouseMove(const TKGUI&, TKImage& background, TKImage& thumb, TKSSeekBar& bar, TShiftState, int x, int y)
{
    if (!dragState.Dragging)
        return;
    const QRect bg = background.geometry();
    const bool vertical = IsVertical(bar.BarAlign);
    const int start = vertical ? bg.top() : bg.left();
    const int room = vertical ? bg.height() - thumb.height() : bg.width() - thumb.width();
    const int current = vertical ? thumb.y() : thumb.x();
    const int moved = current + (vertical ? y : x) - dragState.GrabOffset;
    const int pos = std::max(start, std::min(moved, start + room));
    vertical ? thumb.move(thumb.x(), pos) : thumb.move(pos, thumb.y());
    if (bar.Travel <= 0 || bar.Max <= bar.Min)
        return;
    const bool fromMax = bar.BarAlign == sbaDownToUp || bar.BarAlign == sbaRightToLeft;
    int64_t offset = std::clamp<int64_t>(pos - start, 0, bar.Travel);
    if (fromMax)
        offset = bar.Travel - offset;
    bar.Value = std::clamp(bar.Min + MulDivRound(offset, bar.Max - bar.Min, bar.Travel), bar.Min, bar.Max);
    // The ends sit exactly where placement puts them.
    if (bar.Value == bar.Min || bar.Value == bar.Max) {
        const bool atFar = (bar.Value == bar.Max) != fromMax;
        const int end = atFar ? start + bar.Travel : start;
        vertical ? thumb.move(thumb.x(), end) : thumb.move(end, thumb.y());
    }
}

void SkinSeekBarMouseUp(const TKGUI&, TKImage& thumb, TKSSeekBar& bar)
{
    thumb.SetPicture(bar.BarBitmaps[0]);
    dragState.Dragging = false;
}

double SkinSeekBarPercent(const TKSSeekBar& bar)
{
    if (bar.Max == bar.Min)
        return 0;
    return 100.0 * double(bar.Value - bar.Min) / double(bar.Max - bar.Min);
}

namespace {

void SetLabelFont(gdi::Canvas& canvas, const TKSScrollLabel& label)
{
    canvas.brush.style = gdi::BrushStyle::Clear;
    canvas.font.name = label.FontName;
    canvas.font.size = label.FontSize;
    canvas.font.color = label.FontColor;
}

} // namespace

void SkinScrollLabelSetText(const TKGUI&, TKSScrollLabel& label)
{
    gdi::Canvas canvas(label.Buffer);
    SetLabelFont(canvas, label);
    label.TextWidth = canvas.textWidth(label.Text);
    label.X1 = 0;
    label.X2 = label.TextWidth + 1;
    label.Step = 1;
}

void SkinScrollLabelPaint(const TKGUI&, TKPaintbox& control, TKImage& background, const TKSImage& backgroundElement,
                          TKSScrollLabel& label)
{
    Place(control, label.FormPos, label.Size);
    gdi::Bitmap& buffer = label.Buffer;
    if (buffer.width() != std::max(label.Size.Width, 0) || buffer.height() != std::max(label.Size.Height, 0))
        buffer.setSize(label.Size.Width, label.Size.Height);
    BlitBitmapAtOrigin(backgroundElement.Bitmap, buffer, label.FormPos.X - background.x(), 0);
    gdi::Canvas canvas(buffer);
    SetLabelFont(canvas, label);
    label.TextWidth = canvas.textWidth(label.Text);
    if (!SkinScrollLabelMoves(label)) {
        canvas.textOut(0, 0, label.Text);
    } else {
        for (int32_t* p : {&label.X1, &label.X2}) {
            if (label.Mode == smRight)
                *p = *p > label.TextWidth ? -label.TextWidth : *p + label.Step;
            else if (label.Mode == smLeft)
                *p = *p + label.TextWidth < 0 ? label.TextWidth : *p - label.Step;
        }
        canvas.textOut(label.X1, 0, label.Text);
        canvas.textOut(label.X2, 0, label.Text);
    }
    BlitBitmap(buffer, control.Surface());
    control.InvalidateChanged();
}

bool SkinScrollLabelMoves(const TKSScrollLabel& label)
{
    return label.Mode != smStatic && label.TextWidth > label.Size.Width;
}

gdi::Size SkinSizeTime(const TKSTime& time)
{
    if (time.UseBg)
        return {BoundedExtent(time.BgSize.Width), BoundedExtent(time.BgSize.Height)};
    const TKSRect& space = time.Chars[tcSpace];
    return {BoundedExtent(9 * (int64_t(space.Width) + time.FormBorder)), BoundedExtent(space.Height)};
}

void SkinPaintTime(const TKGUI& skin, TKImage& control, const TKSTime& time, const std::array<int, 6>& digits,
                   bool sign)
{
    const gdi::Size size = SkinSizeTime(time);
    control.setGeometry(time.FormPos.X, time.FormPos.Y, size.cx, size.cy);
    gdi::Bitmap& picture = control.EditPicture();
    if (time.UseBg) {
        picture = time.BgBitmap;
    } else {
        picture = gdi::Bitmap(size.cx, size.cy);
        gdi::Canvas fill(picture);
        fill.brush = {gdi::BrushStyle::Solid, skin.TransparentColor};
        fill.fillRect({0, 0, size.cx, size.cy});
    }
    picture.setTransparentColor(skin.TransparentColor);
    picture.setTransparent(true);
    gdi::Canvas canvas(picture);
    int x = 0;
    auto glyph = [&](int index) {
        canvas.draw(x, 0, time.CharBitmaps[index]);
        x += time.FormBorder + time.CharBitmaps[index].width();
    };
    glyph(sign ? tcMinus : tcMinusSpace);
    const std::array<int, 8> order = {digits[0], digits[1], tcColon,   digits[2],
                                      digits[3], tcColon,   digits[4], digits[5]};
    for (size_t i = 0; i < order.size(); ++i) {
        const bool colon = i == 2 || i == 5;
        if (colon)
            glyph(tcColon);
        else if (order[i] == -1)
            glyph(tcSpace);
        else if (order[i] >= 0 && order[i] <= 9)
            glyph(order[i]);
    }
    control.PictureChanged();
}

void SkinLayoutPlaylist(const TKGUI&, QWidget& editor, QWidget& statusbar, const TKSResizeForm& form,
                        const TKSPlaylistEditor& element, TKSStatusBar& bar)
{
    const QWidget* window = editor.parentWidget();
    const int w = window ? window->width() : 0, h = window ? window->height() : 0;
    const auto& e = form.EdgeBitmaps;
    const TKSBorders& b = element.Borders;
    const int left = e[eLeft].width() + b.Left;
    const int width = w - (e[eLeft].width() + e[eRight].width()) - (b.Left + b.Right);
    const int innerHeight = h - (e[eTop].height() + e[eBottom].height()) - (b.Top + b.Bottom);
    const int barHeight = std::max(bar.Size.Height, 0);
    statusbar.setVisible(!bar.Hidden);
    int editorTop = e[eTop].height() + b.Top;
    int editorHeight = innerHeight;
    int barTop = editorTop;
    if (!bar.Hidden) {
        editorHeight = innerHeight - barHeight;
        if (bar.Align == 0)
            editorTop += barHeight;
        else
            barTop = editorTop + editorHeight;
    }
    editor.setGeometry(left, editorTop, std::max(width, 0), std::max(editorHeight, 0));
    statusbar.setGeometry(left, barTop, std::max(width, 0), barHeight);
    bar.Background.setSize(std::max(width, 0), barHeight);
    gdi::Canvas canvas(bar.Background);
    canvas.brush = {gdi::BrushStyle::Solid, gdi::RGB(255, 255, 255)};
    canvas.fillRect({0, 0, bar.Background.width(), barHeight});
    TileBitmap(bar.Bitmap, bar.Background, {0, 0, bar.Background.width(), barHeight});
}

void SkinUpdatePlaylistScrollThumb(const TKGUI&, TKImage& thumb, const QWidget& editor, TKSScrollBar& bar)
{
    const QRect ed = editor.geometry();
    const int right = ed.left() + ed.width();
    bar.Thumb = {right, ed.top(), right + bar.Size.Width, ed.top() + ed.height()};
    thumb.setGeometry(right, ed.top(), std::max(bar.Size.Width, 0), std::max(bar.Size.Height, 0));
    bar.Travel = ed.height() - thumb.height();
    if (bar.Max > 0) {
        bar.Position = std::clamp<int64_t>(bar.Position, 0, bar.Max);
        thumb.move(right, ed.top() + static_cast<int>(MulDivRound(bar.Position, std::max(bar.Travel, 0), bar.Max)));
    } else {
        bar.Position = 0;
    }
}

void SkinScrollBarMouseDown(const TKGUI&, TKImage& thumb, TKSScrollBar& bar, TMouseButton, int, int y)
{
    thumb.SetPicture(bar.Bitmaps[1]);
    if (bar.Max == 0)
        return;
    dragState.GrabOffset = thumb.height() / 2;
    thumb.move(thumb.x(), thumb.y() + y - dragState.GrabOffset);
    dragState.Dragging = true;
}

void SkinScrollBarMouseMove(const TKGUI&, TKImage& thumb, const QWidget& editor, TKSScrollBar& bar, TShiftState, int,
                            int y)
{
    if (!dragState.Dragging)
        return;
    const QRect ed = editor.geometry();
    const int top =
        std::max(ed.top(), std::min(thumb.y() + y - dragState.GrabOffset, ed.top() + ed.height() - thumb.height()));
    thumb.move(thumb.x(), top);
    if (bar.Shown)
        bar.Position =
            bar.Travel > 0 ? std::clamp<int64_t>(MulDivRound(top - ed.top(), bar.Max, bar.Travel), 0, bar.Max) : 0;
}

void SkinScrollBarMouseUp(const TKGUI&, TKImage& thumb, TKSScrollBar& bar)
{
    thumb.SetPicture(bar.Bitmaps[0]);
    dragState.Dragging = false;
}

void SkinPlaceGripAndCaption(const QWidget& window, QWidget& grip, QWidget& caption)
{
    grip.move(window.width() - grip.width(), window.height() - grip.height());
    caption.move((window.width() - caption.width()) / 2, caption.y());
}

void SkinPlaceVideoWindow(const TKGUI&, QWidget& panel, const TKSResizeForm& form, const TKSBorders& borders)
{
    const QWidget* window = panel.parentWidget();
    const int w = window ? window->width() : 0, h = window ? window->height() : 0;
    const auto& e = form.EdgeBitmaps;
    const int width = w - (e[eLeft].width() + e[eRight].width()) - (borders.Left + borders.Right);
    const int height = h - (e[eTop].height() + e[eBottom].height()) - (borders.Top + borders.Bottom);
    panel.setGeometry(e[eLeft].width() + borders.Left, e[eTop].height() + borders.Top, std::max(width, 0),
                      std::max(height, 0));
}

gdi::BrushStyle SkinBrushStyle(uint8_t style)
{
    using B = gdi::BrushStyle;
    static constexpr B kStyles[] = {B::Clear, B::Solid,     B::BDiagonal,  B::FDiagonal,
                                    B::Cross, B::DiagCross, B::Horizontal, B::Vertical};
    return style < 8 ? kStyles[style] : B::Clear;
}

gdi::PenStyle SkinPenStyle(uint8_t style)
{
    using P = gdi::PenStyle;
    static constexpr P kStyles[] = {P::Clear, P::Solid, P::Dash, P::Dot, P::DashDot, P::DashDotDot};
    return style < 6 ? kStyles[style] : P::Clear;
}

} // namespace kolvarin
