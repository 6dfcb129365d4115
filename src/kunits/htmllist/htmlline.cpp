// One line of markup: text runs and tags (HTMLDrawEx).

#include <algorithm>

#include "base/bounds.h"
#include "codepage/codepage.h"
#include "gdi/textdraw.h"
#include "htmllist/gradient.h"
#include "htmllist/htmllayout_p.h"
#include "htmllist/markuptext_p.h"

namespace kolvarin::markup {

using codepage::AnsiToUtf16;

namespace {

constexpr unsigned RunFormat = gdi::DT_BOTTOM | gdi::DT_SINGLELINE | gdi::DT_EXPANDTABS | gdi::DT_EXTERNALLEADING;
constexpr int BulletStep = 12;

unsigned runFormat(const Context& context)
{
    return context.args.WordWrap ? RunFormat : RunFormat | gdi::DT_END_ELLIPSIS;
}

// The run's width and height (external leading included).
gdi::Size measure(Context& context, const std::u16string& text)
{
    gdi::Rect box;
    const int height = gdi::DrawText(context.canvas, text, box, runFormat(context) | gdi::DT_CALCRECT);
    return {box.width(), height};
}

void collect(Context& context, std::string_view text)
{
    if (context.collectText)
        context.result.Stripped.append(text);
}

bool isFocused(const LineState& line)
{
    return line.args().FocusAnchor >= 0 && line.args().FocusAnchor + 1 == line.state().anchorCount;
}

// The red zigzag under a run marked as an error.
void drawErrorMark(gdi::Canvas& canvas, int left, int right, int bottom)
{
    canvas.pen = gdi::Pen{gdi::PenStyle::Solid, ColorToRGB(clRed)};
    int x = left & ~1;
    bool up = true;
    canvas.moveTo(x, bottom - 1);
    while (x < right) {
        x += 2;
        up = !up;
        canvas.lineTo(x, up ? bottom - 1 : bottom + 1);
    }
}

void drawRun(LineState& line, const std::u16string& text, int width)
{
    Context& context = line.context;
    MarkupState& state = line.state();
    const LineGeometry& g = line.geometry;
    int bottom = g.textBottom - g.textOffset;
    if (state.superscript)
        bottom -= g.superscriptExtra;
    if (state.subscript)
        bottom += g.subscriptExtra;
    const unsigned format = runFormat(context) & ~gdi::DT_EXTERNALLEADING;
    if (state.shadow) {
        const int offset = line.args().ShadowOffset;
        gdi::Rect shadow{line.x + offset, g.top + offset, line.args().Rect.right + offset, bottom + offset};
        context.canvas.font.color = ColorToRGB(line.args().ShadowColor);
        gdi::DrawText(context.canvas, text, shadow, format);
        ApplyState(context);
    }
    gdi::Rect box{line.x, g.top, line.args().Rect.right, bottom};
    gdi::DrawText(context.canvas, text, box, format);
    if (state.inAnchor && isFocused(line))
        context.result.FocusAnchor = state.anchor;
    if (state.errorMark)
        drawErrorMark(context.canvas, line.x, line.x + width, bottom);
}

// A text run; false when it does not fit and ends the line before it.
bool textRun(LineState& line, std::string_view run)
{
    Context& context = line.context;
    MarkupState& state = line.state();
    const std::string shown = RunText(run);
    const std::u16string wide = AnsiToUtf16(shown);
    ApplyState(context);
    const gdi::Size size = measure(context, wide);
    if (state.subscript)
        line.out.subscriptExtra = std::max(line.out.subscriptExtra, size.cy / 4);
    if (state.superscript)
        line.out.superscriptExtra = std::max(line.out.superscriptExtra, size.cy / 4);
    line.out.height = std::max(line.out.height, size.cy);
    if (state.hidden) {
        collect(context, shown);
        return true;
    }
    const int room = line.args().Rect.width();
    const bool fits = line.out.width + size.cx < room || size.cx >= room || line.afterWord;
    if (line.pass == Pass::Measure && line.args().WordWrap && !fits) {
        line.ended = true;
        return false;
    }
    collect(context, shown);
    if (line.pass == Pass::HitTest && state.inAnchor) {
        // The point must lie strictly between the text's top and its bottom.
        const int bottom = line.geometry.textBottom - line.geometry.textOffset;
        line.testAnchorHit({line.x, bottom - LineTextHeight(context) + 1, line.x + size.cx, bottom});
    }
    if (line.drawing())
        drawRun(line, wide, size.cx);
    line.x += size.cx;
    line.out.width += size.cx;
    line.afterWord = !shown.empty() && shown.back() != ' ';
    line.trailingBlank = shown.empty() || shown.back() != ' ' ? 0 : measure(context, u" ").cx;
    return true;
}

void setFontSize(MarkupState& state, int size)
{
    static constexpr int Sizes[] = {8, 10, 12, 14, 16};
    state.font.pixelSize = 0;
    state.font.size = size >= 1 && size <= 5 ? Sizes[size - 1] : std::clamp(size, 1, kMaxFontSize);
}

void fillParagraph(LineState& line)
{
    const MarkupState& state = line.state();
    const gdi::Rect& r = line.args().Rect;
    const LineGeometry& g = line.geometry;
    gdi::Canvas& canvas = line.context.canvas;
    if (state.paragraphTo != clNone) {
        DrawGradient(canvas, state.paragraphFrom, state.paragraphTo, clNone, GradientSteps,
                     {r.left, g.top, r.right, g.bottom + 2}, true);
    } else {
        canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(state.paragraphFrom)};
        canvas.fillRect({r.left, g.top, r.right, g.bottom});
    }
}

void fontTag(LineState& line, std::string_view tag, std::string_view upper)
{
    MarkupState& state = line.state();
    const bool selected = line.args().Selected;
    if (auto face = TagAttribute(tag, upper, "FACE"); face && !face->empty())
        state.font.name = AnsiToUtf16(*face);
    if (auto color = TagAttribute(tag, upper, " COLOR"); color && !selected)
        if (const TColor c = ColorFromAttribute(*color); c != clNone)
            state.fontColor = c;
    if (auto color = TagAttribute(tag, upper, "BGCOLOR"); color && line.drawing() && !selected) {
        if (const TColor c = ColorFromAttribute(*color); c != clNone) {
            state.fontSavedBrush = state.brushColor;
            state.brushColor = c;
        }
    }
    if (auto size = TagAttribute(tag, upper, "SIZE"); size && !size->empty())
        setFontSize(state, LeadingNumber(*size));
}

void paragraphTag(LineState& line, std::string_view tag, std::string_view upper)
{
    MarkupState& state = line.state();
    if (auto align = TagAttribute(tag, upper, "ALIGN")) {
        const std::string value = UpperCase(*align);
        if (value.find("LEFT") != std::string::npos)
            state.align = 0;
        else if (value.find("RIGHT") != std::string::npos)
            state.align = 1;
        else if (value.find("CENTER") != std::string::npos)
            state.align = 2;
        line.out.align = state.align;
    }
    if (auto indent = TagAttribute(tag, upper, "INDENT")) {
        state.indent = LeadingNumber(*indent);
        line.out.indent = state.indent;
    }
    if (auto color = TagAttribute(tag, upper, "BGCOLOR")) {
        const TColor from = ColorFromAttribute(*color);
        if (from == clNone)
            return;
        const auto to = TagAttribute(tag, upper, "BGCOLORTO");
        state.paragraphSavedBrush = state.brushColor;
        state.paragraphFill = true;
        state.paragraphFrom = from;
        state.paragraphTo = to ? ColorFromAttribute(*to) : clNone;
        if (state.paragraphTo == clNone)
            state.brushColor = from;
        if (line.drawing())
            fillParagraph(line);
    }
}

void anchorOpen(LineState& line, std::string_view tag)
{
    MarkupState& state = line.state();
    const THTMLDrawArgs& args = line.args();
    ++state.anchorCount;
    state.anchorX = line.x;
    state.anchorY = line.geometry.top;
    state.inAnchor = true;
    state.anchor = std::string(FirstQuoted(tag));
    state.anchorSavedBrush = state.brushColor;
    state.anchorSavedFont = state.fontColor;
    const bool hover = args.HoverAnchor >= 0 && args.HoverAnchor + 1 == state.anchorCount;
    if (!(args.HoverOnly && !hover) && line.drawing()) {
        state.font.underline = true;
        if (args.HoverBkColor != clNone)
            state.brushColor = args.HoverBkColor;
        if (args.HoverColor != clNone)
            state.fontColor = args.HoverColor;
    }
    if (!args.Selected && !(hover && args.HoverOnly && args.HoverColor != clNone))
        state.fontColor = args.AnchorColor;
}

void anchorClose(LineState& line)
{
    Context& context = line.context;
    MarkupState& state = line.state();
    state.font.underline = false;
    state.brushColor = state.anchorSavedBrush;
    state.fontColor = line.args().Selected ? state.anchorSavedFont : context.baseColor;
    if (context.result.AnchorHit && context.result.HitAnchor == state.anchorCount - 1 && line.pass == Pass::HitTest)
        context.result.HitAnchorRect = {state.anchorX, state.anchorY, line.x, line.geometry.bottom};
    if (line.drawing() && isFocused(line)) {
        ApplyState(context);
        const int bottom = line.geometry.textBottom;
        context.canvas.drawFocusRect({state.anchorX - 1, bottom - LineTextHeight(context), line.x + 1, bottom});
    }
    state.inAnchor = false;
}

void bullet(LineState& line)
{
    MarkupState& state = line.state();
    line.out.width += state.listLevel * BulletStep;
    line.x += (state.listLevel - 1) * BulletStep;
    // The mark needs a line of text even when no text follows it.
    line.out.height = std::max(line.out.height, LineTextHeight(line.context));
    // Outside a list the mark would stand left of the rectangle: it is left out.
    if (line.drawing() && !state.hidden && line.x >= line.args().Rect.left) {
        ApplyState(line.context);
        // The design draws byte 0xB7 of the Symbol font (a bullet) and "o";
        // here the bullet is its Unicode character in the current face.
        const std::u16string mark = state.listLevel % 2 != 0 ? u"\u2022" : u"o";
        gdi::Rect box{line.x, line.geometry.top, line.x + BulletStep, line.geometry.textBottom};
        gdi::DrawText(line.context.canvas, mark, box, gdi::DT_BOTTOM | gdi::DT_SINGLELINE | gdi::DT_NOCLIP);
    }
    line.x += BulletStep;
}

void horizontalRule(LineState& line)
{
    line.ended = true;
    if (!line.drawing())
        return;
    gdi::Canvas& canvas = line.context.canvas;
    canvas.pen = gdi::Pen{gdi::PenStyle::Solid, ColorToRGB(clBlack)};
    canvas.moveTo(line.args().Rect.left, line.geometry.bottom + 1);
    canvas.lineTo(line.args().Rect.right, line.geometry.bottom + 1);
}

// An opening tag; false when it ends the line before it.
bool openingTag(LineState& line, std::string_view name, std::string_view tag, std::string_view upper)
{
    MarkupState& state = line.state();
    Context& context = line.context;
    if (name == "A") {
        anchorOpen(line, tag);
    } else if (name == "B") {
        state.font.bold = true;
    } else if (name == "BLINK") {
        if (!line.args().BlinkVisible)
            state.fontColor = context.baseBackground;
    } else if (name == "BODY") {
        BodyTag(line, tag, upper);
    } else if (name == "BR") {
        collect(context, "\r");
        line.ended = true;
    } else if (name == "E") {
        if (line.drawing())
            state.errorMark = true;
    } else if (name == "FONT") {
        fontTag(line, tag, upper);
    } else if (name == "HI") {
        if (line.drawing()) {
            state.highlightSavedBrush = state.brushColor;
            state.highlightSavedFont = state.fontColor;
            state.brushColor = clHighlight;
            state.fontColor = clHighlightText;
        }
    } else if (name == "HR") {
        horizontalRule(line);
    } else if (name == "I") {
        state.font.italic = true;
    } else if (name == "IMG") {
        return ImageTag(line, tag, upper);
    } else if (name == "IND") {
        const auto value = TagAttribute(tag, upper, "X");
        const std::optional<int> n = value ? WholeNumber(*value) : std::nullopt;
        if (n && *n > line.out.width) {
            line.out.width = *n;
            line.x = line.args().Rect.left + *n;
        }
    } else if (name == "LI") {
        if (line.listItemSeen) {
            line.ended = true;
            return false;
        }
        line.listItemSeen = true;
        bullet(line);
    } else if (name == "P") {
        paragraphTag(line, tag, upper);
    } else if (name == "R") {
        if (auto angle = TagAttribute(tag, upper, "A"))
            state.font.orientation = (LeadingNumber(*angle) % 360) * 10;
    } else if (name == "S") {
        state.font.strikeout = true;
    } else if (name == "SHADE") {
        state.shadow = true;
    } else if (name == "SUB") {
        state.subscript = true;
    } else if (name == "SUP") {
        state.superscript = true;
    } else if (name == "U") {
        state.font.underline = true;
    } else if (name == "UL") {
        ++state.listLevel;
        line.ended = true;
    } else if (name == "Z") {
        state.hidden = true;
    }
    return true;
}

void closingTag(LineState& line, std::string_view name)
{
    MarkupState& state = line.state();
    Context& context = line.context;
    if (name == "A") {
        anchorClose(line);
    } else if (name == "B") {
        state.font.bold = false;
    } else if (name.starts_with("B")) { // BLINK and BODY
        state.fontColor = context.baseColor;
    } else if (name == "E") {
        state.errorMark = false;
    } else if (name == "FONT") {
        state.font.name = context.baseFont.name;
        state.font.size = context.baseFont.size;
        state.font.pixelSize = context.baseFont.pixelSize;
        if (line.pass != Pass::HitTest && !line.args().Selected) {
            state.fontColor = context.baseColor;
            state.brushColor = state.fontSavedBrush;
        }
    } else if (name == "HI") {
        if (line.drawing()) {
            state.brushColor = state.highlightSavedBrush;
            state.fontColor = state.highlightSavedFont;
        }
    } else if (name == "I") {
        state.font.italic = false;
    } else if (name == "LI") {
        line.ended = true;
    } else if (name == "P") {
        line.ended = true;
        if (state.paragraphFill)
            state.brushColor = state.paragraphSavedBrush;
        state.paragraphFill = false;
        state.align = 0;
        state.indent = 0;
    } else if (name == "R") {
        state.font.orientation = 0;
    } else if (name == "S") {
        state.font.strikeout = false;
    } else if (name == "SHADE") {
        state.shadow = false;
    } else if (name.starts_with("SU")) {
        state.subscript = state.superscript = false;
    } else if (name == "U") {
        state.font.underline = false;
    } else if (name == "UL") {
        if (state.listLevel > 0)
            --state.listLevel;
    } else if (name == "Z") {
        state.hidden = false;
    }
}

// The tag at the start of text; returns how much of text it takes, 0 when
// it ends the line before it.
std::size_t tagAt(LineState& line, std::string_view text)
{
    if (text.size() < 3)
        return text.size(); // dropped
    const std::size_t close = text.find('>');
    if (close == std::string_view::npos)
        return text.size(); // a tag without ">" ends the text
    const std::string_view tag = text.substr(0, close + 1);
    const std::string upper = UpperCase(tag);
    const bool closing = upper[1] == '/';
    std::size_t start = closing ? 2 : 1;
    std::size_t end = start;
    while (end < upper.size() && upper[end] >= 'A' && upper[end] <= 'Z')
        ++end;
    const std::string_view name = std::string_view(upper).substr(start, end - start);
    if (closing)
        closingTag(line, name);
    else if (!openingTag(line, name, tag, upper))
        return 0;
    return tag.size();
}

} // namespace

void LineState::testAnchorHit(const gdi::Rect& box) const
{
    const gdi::Point p = args().HitPoint;
    if (!state().inAnchor || !box.contains(p.x, p.y))
        return;
    context.result.AnchorHit = true;
    context.result.Anchor = state().anchor;
    context.result.HitAnchor = state().anchorCount - 1;
}

int LineTextHeight(Context& context)
{
    ApplyState(context);
    return context.canvas.textHeight(u"gh");
}

void ApplyState(Context& context)
{
    const MarkupState& state = context.state;
    context.canvas.font = state.font;
    context.canvas.font.color = ColorToRGB(state.fontColor);
    if (state.brushColor == clNone)
        context.canvas.brush = gdi::Brush{gdi::BrushStyle::Clear, context.canvas.brush.color};
    else
        context.canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(state.brushColor)};
}

void LayOutLine(Context& context, Pass pass, std::string_view text, const LineGeometry& geometry, LineLayout& out)
{
    LineState line(context, pass, geometry, out);
    line.x = geometry.x;
    out.align = context.state.align;
    out.indent = context.state.indent;
    if (line.drawing() && context.state.paragraphFill)
        fillParagraph(line);
    std::size_t pos = 0;
    while (pos < text.size() && !line.ended) {
        std::size_t end = text.find('<', pos);
        if (end == std::string_view::npos)
            end = text.size();
        if (context.args.WordWrap)
            if (const std::size_t blank = text.substr(pos, end - pos).find(' '); blank != std::string_view::npos)
                end = pos + blank + 1;
        if (end > pos) {
            if (!textRun(line, text.substr(pos, end - pos)))
                break;
            pos = end;
            continue;
        }
        const std::size_t taken = tagAt(line, text.substr(pos));
        if (taken == 0)
            break;
        pos += taken;
    }
    if (pos == 0 && !text.empty() && pass == Pass::Measure) {
        // Nothing fitted: take the first tag or run anyway, so every line
        // moves the text on.
        const std::size_t close = text.find('>');
        pos = text[0] == '<' && close != std::string_view::npos ? close + 1 : 1;
    }
    out.width -= line.trailingBlank;
    out.raw = text.substr(0, pos);
}

} // namespace kolvarin::markup
