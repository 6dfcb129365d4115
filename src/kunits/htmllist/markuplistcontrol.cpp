#include "htmllist/markuplistcontrol.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>
#include <utility>

#include "codepage/codepage.h"
#include "htmllist/markuptext_p.h"
#include "htmllist/picturecontainer.h"
#include "shell/launcher.h"

namespace kolvarin {

using codepage::AnsiLowerCase;
using codepage::AnsiToUtf16;
using codepage::Utf16ToAnsi;

namespace {

constexpr int TextInset = 2; // the markup starts this far in from the item's left edge
constexpr int WideTextWidth = 4096; // the layout width while scrolling horizontally
constexpr int BlinkTicks = 5; // 500 ms at the timer's 100 ms

bool containsNoCase(std::string_view text, std::string_view word)
{
    return markup::UpperCase(text).find(markup::UpperCase(word)) != std::string::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           markup::UpperCase(text.substr(0, prefix.size())) == markup::UpperCase(prefix);
}

} // namespace

bool IsShellAnchor(std::string_view anchor)
{
    return anchor.find("://") != std::string_view::npos || containsNoCase(anchor, "mailto:");
}

bool IsOpenableLink(std::string_view anchor)
{
    return startsWithNoCase(anchor, "http://") || startsWithNoCase(anchor, "https://") ||
           startsWithNoCase(anchor, "mailto:");
}

TMarkupListControl::TMarkupListControl(QWidget* parent) : TMarkupListBase(parent)
{
    selectionColors_.OnChange = [this] { Repaint(); };
    cache_.OnChange = [this] { PicturesChanged(); };
    blinkTimer_.setInterval(100);
    QObject::connect(&blinkTimer_, &QTimer::timeout, this, [this] { BlinkTimerTick(); });
}

TMarkupListControl::~TMarkupListControl() = default;

std::string TMarkupListControl::PlainText(int index) const
{
    if (index < 0 || index >= Count())
        throw EMarkupListBoxError("Item index out of range");
    return HTMLStrip(Item(index));
}

void TMarkupListControl::SetImages(const TImageList* images)
{
    images_ = images;
    SetAutoItemHeight(autoItemHeight_);
}

void TMarkupListControl::SetURLColor(TColor color)
{
    if (std::exchange(urlColor_, color) != color)
        Repaint();
}

void TMarkupListControl::SetSelectionFontColor(TColor color)
{
    if (std::exchange(selectionFontColor_, color) != color)
        Repaint();
}

void TMarkupListControl::SetEnableBlink(bool on)
{
    enableBlink_ = on;
    if (on) {
        if (!blinkTimer_.isActive())
            blinkTimer_.start();
        return;
    }
    blinkTimer_.stop();
    blinkPhase_ = false;
    Repaint();
}

void TMarkupListControl::SetLineSpacing(int pixels) { lineSpacing_ = pixels; }

void TMarkupListControl::SetShowSelection(bool on) { SetAndRepaint(showSelection_, on); }

void TMarkupListControl::SetShowFocus(bool on) { SetAndRepaint(showFocus_, on); }

void TMarkupListControl::SetAutoItemHeight(bool on) { SetAndRepaint(autoItemHeight_, on); }

void TMarkupListControl::SetComponentStyle(int style)
{
    TGradientStyle colors;
    if (style >= 0 && style <= 3) {
        colors.SetColorFrom(0xC2EEFF);
        colors.SetBorderColor(clNone);
        selectionFontColor_ = clBlack;
    } else if (style == 4 || style == 5) {
        colors.SetBorderColor(0xC0C0C0);
        colors.SetColorFrom(0xEBFDFF);
        colors.SetColorTo(0xABEBFF);
        colors.SetColorMirrorFrom(0x69D6FF);
        colors.SetColorMirrorTo(0x96E4FF);
        selectionFontColor_ = clBlack;
    } else if (style == 6 || style == 7) {
        colors.SetBorderColor(clNone);
        selectionFontColor_ = clHighlightText;
    } else {
        return;
    }
    selectionColors_.Assign(colors);
}

gdi::Rect TMarkupListControl::TextRect(int index, const gdi::Rect& itemRect) const
{
    gdi::Rect r = itemRect;
    // A right-to-left list keeps its indent (the check column) at the right.
    const bool mirrored = layoutDirection() == Qt::RightToLeft;
    r.left += TextInset + (mirrored ? 0 : ItemIndent(index)) - (scrollHorizontal_ ? HorizontalPosition() : 0);
    if (mirrored)
        r.right -= ItemIndent(index);
    if (scrollHorizontal_)
        r.right = r.left + WideTextWidth;
    return r;
}

THTMLDrawArgs TMarkupListControl::DrawArgs(gdi::Canvas& canvas, int index, const gdi::Rect& itemRect)
{
    THTMLDrawArgs args;
    args.Canvas = &canvas;
    args.Text = Item(index);
    args.Rect = TextRect(index, itemRect);
    args.Images = images_;
    args.ShadowOffset = shadowOffset_;
    args.ShadowColor = shadowColor_;
    args.AnchorColor = urlColor_;
    args.WordWrap = !ellipsis_;
    args.BlinkVisible = !blinkPhase_;
    args.PictureCache = &cache_;
    args.PictureContainer = container_;
    args.LineSpacing = lineSpacing_;
    return args;
}

gdi::Size TMarkupListControl::MeasureItem(int index, const gdi::Rect& rect)
{
    gdi::Canvas& canvas = MeasureCanvas();
    THTMLDrawArgs args = DrawArgs(canvas, index, rect);
    args.Rect = rect;
    args.MeasureOnly = true;
    THTMLDrawResult result;
    HTMLDraw(args, result);
    return {result.Width, result.Height};
}

int TMarkupListControl::WidestItem()
{
    int widest = 0;
    for (int i = 0; i < Count(); ++i)
        widest = std::max(widest, MeasureItem(i, TextRect(i, ItemRect(i))).cx);
    return Count() > 0 ? widest + 6 : 0;
}

void TMarkupListControl::UpdateHorizontalExtent(int width)
{
    if (horizontalGuard_ != 0)
        return;
    if (!scrollHorizontal_) {
        SetHorizontalExtent(0);
        return;
    }
    if (width < 1)
        width = WidestItem();
    ++horizontalGuard_;
    SetHorizontalExtent(ClientWidth() >= width ? 0 : width);
    --horizontalGuard_;
}

void TMarkupListControl::DrawItem(gdi::Canvas& canvas, int index, const gdi::Rect& rect, unsigned state)
{
    const TColor background = Color();
    if (index == Count() - 1 && ClientHeight() > rect.bottom) {
        canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(background)};
        canvas.fillRect({rect.left, rect.bottom, rect.right, ClientHeight()});
    }
    const bool selected = (state & odSelected) && showSelection_;
    TColor fontColor = FontColor();
    TColor anchorColor = urlColor_;
    TColor brush = background;
    if (selected) {
        brush = selectionColors_.ColorFrom();
        fontColor = anchorColor = selectionFontColor_;
    }
    canvas.brush = gdi::Brush{brush == clNone ? gdi::BrushStyle::Clear : gdi::BrushStyle::Solid, ColorToRGB(brush)};
    if (selected && selectionColors_.ColorTo() != clNone) {
        DrawSelectionBackground(canvas, selectionColors_, rect);
        canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(brush)};
    } else {
        canvas.fillRect(rect);
    }
    if ((state & odFocused) && showFocus_ && showSelection_)
        canvas.drawFocusRect(rect);
    DrawItemDecoration(canvas, index, rect);
    if (!ItemEnabled(index))
        fontColor = clGrayText;
    canvas.font.color = ColorToRGB(fontColor);
    THTMLDrawArgs args = DrawArgs(canvas, index, rect);
    args.AnchorColor = anchorColor;
    args.Selected = selected;
    THTMLDrawResult result;
    HTMLDraw(args, result);
}

bool TMarkupListControl::AnchorAt(int x, int y, std::string& anchor, int& index)
{
    index = ItemAtPos(x, y);
    if (index < 0)
        return false;
    gdi::Canvas& canvas = MeasureCanvas();
    THTMLDrawArgs args = DrawArgs(canvas, index, ItemRect(index));
    args.HitTest = true;
    args.HitPoint = {x, y};
    THTMLDrawResult result;
    if (!HTMLDraw(args, result))
        return false;
    anchor = result.Anchor;
    return true;
}

void TMarkupListControl::openAnchor(int index, const std::string& anchor)
{
    if (!IsShellAnchor(anchor)) {
        if (OnAnchorClick)
            OnAnchorClick(this, index, anchor);
        return;
    }
    if (IsOpenableLink(anchor))
        shell::OpenDocument(AnsiToUtf16(anchor));
}

void TMarkupListControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    std::string anchor;
    int index = -1;
    if (event->button() == Qt::LeftButton && AnchorAt(p.x(), p.y(), anchor, index)) {
        setFocus(Qt::MouseFocusReason);
        openAnchor(index, anchor);
        return;
    }
    TMarkupListBase::mousePressEvent(event);
}

void TMarkupListControl::mouseMoveEvent(QMouseEvent* event)
{
    TMarkupListBase::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    std::string anchor;
    int index = -1;
    const bool onAnchor = AnchorAt(p.x(), p.y(), anchor, index);
    if (itemHint_) {
        if (index >= 0 && index != hintItem_) {
            QToolTip::hideText();
            hintItem_ = index;
        } else if (index < 0 && hintItem_ >= 0) {
            QToolTip::hideText();
            hintItem_ = -1;
        }
    }
    if (onAnchor) {
        if (anchor != lastAnchor_ && !lastAnchor_.empty()) {
            QToolTip::hideText();
            if (OnAnchorExit)
                OnAnchorExit(this, index, lastAnchor_);
        }
        if (!handCursor_) {
            savedCursor_ = viewport()->cursor();
            viewport()->setCursor(Qt::PointingHandCursor);
            handCursor_ = true;
        }
        if (anchor != lastAnchor_ && OnAnchorEnter)
            OnAnchorEnter(this, index, anchor);
        lastAnchor_ = anchor;
    } else if (handCursor_ && !lastAnchor_.empty()) {
        QToolTip::hideText();
        viewport()->setCursor(savedCursor_);
        handCursor_ = false;
        if (OnAnchorExit)
            OnAnchorExit(this, index, lastAnchor_);
        lastAnchor_.clear();
    }
}

std::optional<std::string> TMarkupListControl::HintText(int x, int y)
{
    std::string anchor;
    int index = -1;
    if (anchorHint_ && AnchorAt(x, y, anchor, index)) {
        if (OnAnchorHint)
            OnAnchorHint(this, index, anchor);
        return anchor;
    }
    index = ItemAtPos(x, y);
    if (itemHint_ && index >= 0)
        return htmlHint_ ? Item(index) : PlainText(index);
    return std::nullopt;
}

bool TMarkupListControl::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const std::optional<std::string> hint = HintText(help->pos().x(), help->pos().y()))
            QToolTip::showText(help->globalPos(), QString::fromStdU16String(AnsiToUtf16(*hint)), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return TMarkupListBase::viewportEvent(event);
}

void TMarkupListControl::BlinkTimerTick()
{
    if (Count() == 0 || !enableBlink_)
        return;
    const bool cacheChanged = cache_.Animate();
    const bool containerChanged = container_ && container_->Animate();
    if (cacheChanged || containerChanged)
        Repaint();
    if (++blinkCounter_ % BlinkTicks != 0)
        return;
    for (int i = TopIndex(); i < Count() && ItemRect(i).top < ClientHeight(); ++i)
        if (markup::UpperCase(Item(i)).find("<BLINK") != std::string::npos)
            RepaintItem(i);
    blinkPhase_ = !blinkPhase_;
}

void TMarkupListControl::keyPressEvent(QKeyEvent* event)
{
    TMarkupListBase::keyPressEvent(event);
    const int key = event->key();
    if (key == Qt::Key_Escape || (key >= Qt::Key_Home && key <= Qt::Key_PageDown)) {
        lookup_.clear();
        return;
    }
    if (key == Qt::Key_Backspace) {
        if (!lookup_.empty())
            lookup_.pop_back();
        return;
    }
    const std::u16string typed = event->text().toStdU16String();
    if (typed.size() != 1)
        return;
    const std::string character = Utf16ToAnsi(typed);
    const unsigned char c = static_cast<unsigned char>(character[0]);
    if (c < 32 || c == 127 || (character == "?" && typed != u"?"))
        return; // control characters, and characters the code page lacks
    lookup_ = incrLookup_ ? lookup_ + character : character;
    search();
}

void TMarkupListControl::search()
{
    if (Count() == 0 || lookup_.empty())
        return;
    const std::string wanted = AnsiLowerCase(lookup_);
    const int start = std::max(ItemIndex(), 0);
    for (int n = 0; n < Count(); ++n) {
        const int i = (start + n) % Count();
        if (AnsiLowerCase(PlainText(i)).starts_with(wanted)) {
            if (i != ItemIndex()) {
                SetItemIndex(i);
                if (OnClick)
                    OnClick();
            }
            return;
        }
    }
}

void TMarkupListControl::focusOutEvent(QFocusEvent* event)
{
    TMarkupListBase::focusOutEvent(event);
    lookup_.clear();
    if (handCursor_) {
        viewport()->setCursor(savedCursor_);
        handCursor_ = false;
    }
}

} // namespace kolvarin
