#include "htmllist/htmlcolors.h"

#include <array>
#include <span>
#include <string>
#include <utility>

#include "base/hexdigit.h"
#include "gdi/syscolors.h"

namespace kolvarin {

namespace {

using NamedColor = std::pair<std::string_view, TColor>;

constexpr NamedColor PlainColors[] = {
    {"clred", 0x0000FF},  {"clblack", 0x000000},  {"clblue", 0xFF0000},    {"clgreen", 0x008000},
    {"claqua", 0xFFFF00}, {"clyellow", 0x00FFFF}, {"clfuchsia", 0xFF00FF}, {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00}, {"clsilver", 0xC0C0C0}, {"clgray", 0x808080},    {"clolive", 0x008080},
    {"clnavy", 0x800000}, {"clpurple", 0x800080}, {"clteal", 0x808000},    {"clmaroon", 0x000080},
};

constexpr NamedColor SystemColors[] = {
    {"clbackground", 0xFF000001},
    {"clactivecaption", 0xFF000002},
    {"clinactivecaption", 0xFF000003},
    {"clmenu", 0xFF000004},
    {"clwindow", 0xFF000005},
    {"clwindowframe", 0xFF000006},
    {"clmenutext", 0xFF000007},
    {"clwindowtext", 0xFF000008},
    {"clcaptiontext", 0xFF000009},
    {"clactiveborder", 0xFF00000A},
    {"clinactiveborder", 0xFF00000B},
    {"clappworkspace", 0xFF00000C},
    {"clhighlight", 0xFF00000D},
    {"clhighlighttext", 0xFF00000E},
    {"clbtnface", 0xFF00000F},
    {"clbtnshadow", 0xFF000010},
    {"clgraytext", 0xFF000011},
    {"clbtntext", 0xFF000012},
    {"clinactivecaptiontext", 0xFF000013},
    {"clbtnhighlight", 0xFF000014},
    {"cl3ddkshadow", 0xFF000015},
    {"cl3dlight", 0xFF000016},
    {"clinfotext", 0xFF000017},
    {"clinfobk", 0xFF000018},
};

TColor lookUp(std::span<const NamedColor> table, std::string_view name)
{
    for (const auto& [text, value] : table)
        if (text == name)
            return value;
    return 0;
}

} // namespace

gdi::Color ColorToRGB(TColor color)
{
    if (color == clNone)
        return 0;
    if ((color & 0xFF000000) == 0xFF000000)
        return gdi::GetSysColor(int(color & 0xFF));
    return gdi::ColorRGB(color);
}

TColor ColorFromName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    const TColor plain = lookUp(PlainColors, lower);
    return plain != 0 ? plain : lookUp(SystemColors, lower);
}

TColor ColorFromAttribute(std::string_view value)
{
    if (value.empty())
        return clNone;
    if (value[0] != '#')
        return ColorFromName(value);
    if (value.size() < 7)
        return clBlack;
    TColor channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigitValue(value[1 + 2 * i]);
        const int low = HexDigitValue(value[2 + 2 * i]);
        if (high < 0 || low < 0)
            return clBlack;
        channels[i] = TColor(high * 16 + low);
    }
    return channels[0] | channels[1] << 8 | channels[2] << 16;
}

} // namespace kolvarin
