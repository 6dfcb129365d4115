// Pictures in markup: IMG and the BODY background.

#include <QPainter>

#include <algorithm>

#include "codepage/codepage.h"
#include "gdi/qtimage.h"
#include "htmllist/gradient.h"
#include "htmllist/htmllayout_p.h"
#include "htmllist/htmlpicturecache.h"
#include "htmllist/imagelist.h"
#include "htmllist/markuptext_p.h"
#include "htmllist/picturecontainer.h"
#include "shell/icons.h"

namespace kolvarin::markup {

using codepage::AnsiToUtf16;

namespace {

constexpr int SmallIcon = 16;
constexpr int LargeIcon = 32;

// A picture named by the markup: by name from the container, or by URL from
// the cache (added and loaded when new). nullptr when there is none, or the
// source is neither kind.
THTMLPicture* namedPicture(const THTMLDrawArgs& args, std::string_view source)
{
    if (source.find(':') == std::string_view::npos)
        return args.PictureContainer ? args.PictureContainer->FindPicture(source) : nullptr;
    if (source.find("://") != std::string_view::npos && args.PictureCache)
        return args.PictureCache->PictureForURL(std::string(source));
    return nullptr;
}

bool startsWith(std::string_view upper, std::string_view prefix) { return upper.substr(0, prefix.size()) == prefix; }

// What an IMG shows and how large it is; empty when it takes no room.
struct ImageSource {
    const TImageList* list = nullptr;
    int listIndex = 0;
    bool shellIcon = false;
    std::u16string shellPath; // empty for an icon index
    int shellIndex = 0; // the shell's stock icon number
    THTMLPicture* picture = nullptr;
    bool stretch = false;
    int width = 0;
    int height = 0;
};

ImageSource findImage(const THTMLDrawArgs& args, std::string_view tag, std::string_view upper)
{
    ImageSource image;
    const std::string_view source = TagAttribute(tag, upper, "SRC").value_or(std::string_view());
    const std::string sourceUpper = UpperCase(source);
    if (startsWith(sourceUpper, "IDX:")) {
        const int index = LeadingNumber(source.substr(4));
        if (args.Images && index >= 0 && index < args.Images->Count()) {
            image.list = args.Images;
            image.listIndex = index;
            image.width = args.Images->Width();
            image.height = args.Images->Height();
        }
        return image;
    }
    if (startsWith(sourceUpper, "SSYS:") || startsWith(sourceUpper, "LSYS:")) {
        image.shellIcon = true;
        const std::string_view value = source.substr(5);
        if (const std::optional<int> index = WholeNumber(value))
            image.shellIndex = *index;
        else
            image.shellPath = AnsiToUtf16(value);
        image.width = image.height = sourceUpper[0] == 'S' ? SmallIcon : LargeIcon;
        return image;
    }
    THTMLPicture* picture = namedPicture(args, source);
    if (!picture || picture->Empty())
        return image;
    image.picture = picture;
    const int width = LeadingNumber(TagAttribute(tag, upper, "WIDTH").value_or(std::string_view()));
    const int height = LeadingNumber(TagAttribute(tag, upper, "HEIGHT").value_or(std::string_view()));
    image.stretch = width >= 1 || height >= 1;
    // A side not given keeps the picture's own.
    image.width = width >= 1 ? width : picture->Width();
    image.height = height >= 1 ? height : picture->Height();
    return image;
}

void drawImage(LineState& line, const ImageSource& image)
{
    gdi::Canvas& canvas = line.context.canvas;
    const THTMLDrawArgs& args = line.args();
    const int x = line.x;
    const int top = line.geometry.top;
    const double scale = args.Printing ? args.Scale : 1.0;
    const gdi::Rect scaled{x, top, x + int(image.width * scale), top + int(image.height * scale)};
    if (image.list) {
        image.list->Draw(canvas, scaled, image.listIndex);
    } else if (image.shellIcon) {
        const QImage icon = image.shellPath.empty() ? shell::StockIcon(image.shellIndex, image.width)
                                                    : shell::FileIcon(image.shellPath, image.width);
        QImage target = gdi::WrapAsQImage(canvas.bitmap());
        if (!icon.isNull() && !target.isNull())
            QPainter(&target).drawImage(QRect(scaled.left, scaled.top, scaled.width(), scaled.height()), icon);
    } else if (image.stretch) {
        image.picture->Stretch = true;
        image.picture->Draw(canvas, {x, top, x + image.width, top + image.height});
    } else {
        const int left = x + image.picture->FrameXOffset();
        const int upper = top + image.picture->FrameYOffset();
        image.picture->Draw(canvas, {left, upper, left + image.width, upper + image.height});
    }
}

} // namespace

bool ImageTag(LineState& line, std::string_view tag, std::string_view upperTag)
{
    ++line.state().imageCount;
    const ImageSource image = findImage(line.args(), tag, upperTag);
    if (image.width <= 0 || image.height <= 0)
        return true;
    const int room = line.args().Rect.width();
    if (line.pass == Pass::Measure && line.out.width > 0 && line.out.width + image.width > room && room > image.width) {
        line.ended = true;
        return false;
    }
    if (line.pass == Pass::HitTest)
        line.testAnchorHit({line.x, line.geometry.top, line.x + image.width, line.geometry.top + image.height});
    if (line.drawing())
        drawImage(line, image);
    line.x += image.width;
    line.out.width += image.width;
    line.out.height = std::max(line.out.height, image.height);
    // ALIGN="TOP" or "MIDDLE" raises the line's text within the image's height.
    if (upperTag.find("ALIGN") != std::string_view::npos) {
        const int above = line.out.height - LineTextHeight(line.context);
        if (upperTag.find("\"TOP") != std::string_view::npos)
            line.out.textOffset = above;
        else if (upperTag.find("\"MIDDLE") != std::string_view::npos)
            line.out.textOffset = above / 2;
    }
    return true;
}

void BodyTag(LineState& line, std::string_view tag, std::string_view upperTag)
{
    const THTMLDrawArgs& args = line.args();
    if (!line.drawing() || args.Selected)
        return;
    gdi::Canvas& canvas = line.context.canvas;
    const gdi::Rect& r = args.Rect;
    if (const auto background = TagAttribute(tag, upperTag, "BACKGROUND")) {
        if (const THTMLPicture* picture = namedPicture(args, *background))
            picture->Tile(canvas, r);
        return;
    }
    const TColor from = ColorFromAttribute(TagAttribute(tag, upperTag, "BGCOLOR").value_or(std::string_view()));
    if (from == clNone)
        return;
    const TColor to = ColorFromAttribute(TagAttribute(tag, upperTag, "BGCOLORTO").value_or(std::string_view()));
    if (to == clNone) {
        canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(from)};
        canvas.fillRect({r.left - 2, r.top, r.right, r.bottom});
        return;
    }
    const auto direction = TagAttribute(tag, upperTag, "DIR");
    const bool horizontal = !direction || direction->empty() || UpperCase(*direction) == "H";
    DrawGradient(canvas, from, to, clNone, GradientSteps, r, horizontal);
}

} // namespace kolvarin::markup
