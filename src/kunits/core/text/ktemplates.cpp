#include "core/text/ktemplates.h"

#include <vector>

#include "core/system/kfilesave.h"
#include "core/text/kstrings.h"

namespace kolvarin {

TKTemplateLoader* BalloonTemplate = nullptr;
TKTemplateLoader* OSDTemplate = nullptr;

const char16_t* const DefaultBalloonTemplate = u"Playing media '%CAPTION%' (%TIME%)\r\n%STREAMINFOS%";
const char16_t* const DefaultOSDTemplate = u"Playing media '%CAPTION%' (%TIME%)";

namespace {

// Templates are a few lines; anything near this is not one.
constexpr size_t kMaxTemplateBytes = size_t(16) << 20;

std::u16string DecodeText(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return LeBytesToUtf16(bytes.substr(2));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return Utf8ToUtf16(bytes.substr(3));
    return AnsiToUtf16(bytes);
}

// Lines end at CR LF, LF or a lone CR; a last line without an end counts.
std::vector<std::u16string_view> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace

bool TKTemplateLoader::LoadFromFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxTemplateBytes))
        return false;
    const std::u16string decoded = DecodeText(bytes);
    std::u16string text;
    for (std::u16string_view line : SplitLines(decoded)) {
        text += line;
        text += u"\r\n";
    }
    Text = std::move(text);
    return true;
}

void TKTemplateLoader::SaveToFile(const std::string& fileName) const
{
    std::u16string text;
    for (std::u16string_view line : SplitLines(Text)) {
        text += line;
        text += u"\r\n";
    }
    SaveFileAtomically(fileName, "\xFF\xFE" + Utf16ToLeBytes(text));
}

} // namespace kolvarin
