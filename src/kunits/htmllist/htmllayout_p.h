#pragma once

#include <string>
#include <string_view>

#include "gdi/canvas.h"
#include "htmllist/htmlcolors.h"
#include "htmllist/htmldraw.h"

// The layout engine behind HTMLDraw, shared by its translation units.
namespace kolvarin::markup {

// What tags change; saved at the start of each line so the drawing pass
// sees the line exactly as the measuring pass did.
struct MarkupState {
    gdi::Font font; // colour kept in fontColor
    TColor fontColor = clBlack;
    TColor brushColor = clNone; // clNone: text runs get no background
    int listLevel = 0;
    int anchorCount = 0;
    bool inAnchor = false;
    bool shadow = false;
    bool subscript = false;
    bool superscript = false;
    bool hidden = false;
    bool errorMark = false;
    bool paragraphFill = false;
    TColor paragraphFrom = clNone;
    TColor paragraphTo = clNone;
    int align = 0; // 0 left, 1 right, 2 centre
    int indent = 0;
    int imageCount = 0;
    std::string anchor; // value of the anchor we are in
    int anchorX = 0;
    int anchorY = 0;
    TColor anchorSavedBrush = clNone;
    TColor anchorSavedFont = clBlack;
    TColor fontSavedBrush = clNone;
    TColor highlightSavedBrush = clNone;
    TColor highlightSavedFont = clBlack;
    TColor paragraphSavedBrush = clNone;
};

enum class Pass { Measure, HitTest, Draw };

// Bands of the BODY and P gradients.
inline constexpr int GradientSteps = 64;

// Where the line lies; known in the second pass only.
struct LineGeometry {
    int x = 0; // left end of the line's text
    int top = 0;
    int bottom = 0; // line spacing and the sub- and superscript room included
    int textBottom = 0; // where unraised text stands
    int textOffset = 0; // how far images with ALIGN raise the line's text
    int subscriptExtra = 0;
    int superscriptExtra = 0;
};

// One line as the measuring pass found it.
struct LineLayout {
    std::string_view raw; // the runs and tags of the line
    int width = 0;
    int height = 0;
    int subscriptExtra = 0;
    int superscriptExtra = 0;
    int textOffset = 0;
    int align = 0;
    int indent = 0;
};

struct Context {
    Context(const THTMLDrawArgs& a, THTMLDrawResult& r) : args(a), result(r), canvas(*a.Canvas) {}

    const THTMLDrawArgs& args;
    THTMLDrawResult& result;
    gdi::Canvas& canvas;
    gdi::Font baseFont;
    TColor baseColor = clBlack;
    TColor baseBackground = clWhite;
    MarkupState state;
    bool collectText = false; // this pass writes the plain-text output
};

// One pass over one line.
struct LineState {
    LineState(Context& c, Pass p, const LineGeometry& g, LineLayout& o) : context(c), pass(p), geometry(g), out(o) {}

    Context& context;
    Pass pass;
    const LineGeometry& geometry;
    LineLayout& out;
    int x = 0;
    int trailingBlank = 0; // width of the blank the last run ended in
    bool afterWord = false; // the last run ended in a letter: the next one may not wrap
    bool ended = false;
    bool listItemSeen = false;

    const THTMLDrawArgs& args() const { return context.args; }
    MarkupState& state() const { return context.state; }
    bool drawing() const { return pass == Pass::Draw; }
    // Records an anchor hit when the point lies in the box and we are in an anchor.
    void testAnchorHit(const gdi::Rect& box) const;
};

// IMG: true when the image was taken into the line, false when it ends the
// line before it.
bool ImageTag(LineState& line, std::string_view tag, std::string_view upperTag);
// BODY: the item's background picture, colour or gradient.
void BodyTag(LineState& line, std::string_view tag, std::string_view upperTag);

// HTMLDrawEx: lays out (Measure), tests (HitTest) or draws (Draw) one line
// from the start of text. In the measuring pass it ends the line where the
// markup or the rectangle says and fills out; the other passes take exactly
// out.raw of the measuring pass as text.
void LayOutLine(Context& context, Pass pass, std::string_view text, const LineGeometry& geometry, LineLayout& out);

// The text height of "gh" in the current font.
int LineTextHeight(Context& context);

// Puts the state's font (with its resolved colour) and brush on the canvas.
void ApplyState(Context& context);

} // namespace kolvarin::markup
