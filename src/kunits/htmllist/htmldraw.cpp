#include "htmllist/htmldraw.h"

#include <algorithm>

#include "htmllist/htmllayout_p.h"
#include "htmllist/markuptext_p.h"

namespace kolvarin {

using markup::Context;
using markup::LineGeometry;
using markup::LineLayout;
using markup::Pass;

namespace {

// Where a line's text starts, by its alignment and indent.
int lineLeft(const gdi::Rect& rect, const LineLayout& line)
{
    const int left = rect.left + 1;
    int x = left;
    if (line.align == 1 && rect.right - line.width > left)
        x = rect.right - line.width;
    else if (line.align == 2 && rect.right - left - line.width > 0)
        x = left + (rect.right - left - line.width) / 2;
    return x + line.indent;
}

// An anchor under the point has not closed yet: its rectangle is still to come.
bool hitStillOpen(const Context& context)
{
    return context.result.AnchorHit && context.state.inAnchor &&
           context.result.HitAnchor == context.state.anchorCount - 1;
}

} // namespace

bool HTMLDraw(const THTMLDrawArgs& args, THTMLDrawResult& result)
{
    result = THTMLDrawResult();
    if (!args.Canvas)
        return false;
    Context context(args, result);
    gdi::Canvas& canvas = context.canvas;
    const gdi::Font savedFont = canvas.font;
    const gdi::Brush savedBrush = canvas.brush;
    context.baseFont = canvas.font;
    context.baseColor = canvas.font.color;
    context.baseBackground = canvas.brush.color;
    context.state.font = canvas.font;
    context.state.fontColor = context.baseColor;
    context.state.brushColor = clNone;

    const std::string text = markup::PrepareMarkup(args.Text);
    std::string_view rest = text;
    const gdi::Rect& rect = args.Rect;
    int y = rect.top;
    while (!rest.empty()) {
        const markup::MarkupState lineStart = context.state;
        const int textHeight = markup::LineTextHeight(context);
        context.collectText = args.MeasureOnly;
        LineLayout line;
        markup::LayOutLine(context, Pass::Measure, rest, {}, line);
        const int extras = line.superscriptExtra + line.subscriptExtra;
        if (!args.MeasureOnly) {
            context.state = lineStart;
            context.collectText = true;
            LineGeometry geometry;
            geometry.x = lineLeft(rect, line);
            geometry.top = y;
            geometry.bottom = y + line.height + args.LineSpacing + extras;
            geometry.textBottom = y + line.superscriptExtra + line.height;
            geometry.textOffset = line.textOffset;
            geometry.subscriptExtra = line.subscriptExtra;
            geometry.superscriptExtra = line.superscriptExtra;
            LineLayout again;
            markup::LayOutLine(context, args.HitTest ? Pass::HitTest : Pass::Draw, line.raw, geometry, again);
        }
        rest.remove_prefix(line.raw.size());
        const int advance = line.height + args.LineSpacing + extras;
        y += advance;
        result.Height += advance;
        result.Width = std::max(result.Width, line.width);
        if (!args.MeasureOnly && y + textHeight > rect.bottom)
            break; // the rest would lie below the rectangle
        if (args.HitTest && y > args.HitPoint.y && !hitStillOpen(context))
            break; // nothing below the point can be hit
    }
    if (result.Height == 0)
        result.Height = markup::LineTextHeight(context);
    result.AnchorCount = context.state.anchorCount;
    canvas.font = savedFont;
    canvas.brush = savedBrush;
    return result.AnchorHit;
}

std::string HTMLStrip(std::string_view markup)
{
    std::string text(markup);
    const std::string upper = markup::UpperCase(text);
    // Line breaks first, at the same places in both copies.
    std::string broken;
    broken.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upper.compare(i, 4, "<BR>") == 0 || upper.compare(i, 4, "<HR>") == 0) {
            broken += "\r\n";
            i += 3;
        } else {
            broken += text[i];
        }
    }
    // Hidden text, lower-case tags first, then upper-case ones.
    for (const auto& [open, close] : {std::pair{"<z>", "</z>"}, std::pair{"<Z>", "</Z>"}}) {
        std::string kept;
        kept.reserve(broken.size());
        std::size_t from = 0;
        for (;;) {
            const std::size_t start = broken.find(open, from);
            const std::size_t end = start == std::string::npos ? start : broken.find(close, start);
            if (end == std::string::npos) {
                kept.append(broken, from);
                break;
            }
            kept.append(broken, from, start - from);
            from = end + 4;
        }
        broken = std::move(kept);
    }
    std::string out;
    out.reserve(broken.size());
    for (std::size_t i = 0; i < broken.size(); ++i) {
        if (broken[i] != '<') {
            out += broken[i];
            continue;
        }
        const std::size_t close = broken.find('>', i);
        if (close == std::string::npos)
            break; // an unclosed tag runs to the end
        i = close;
    }
    return out;
}

} // namespace kolvarin
