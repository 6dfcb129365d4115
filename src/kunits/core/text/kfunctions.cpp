#include "core/text/kfunctions.h"

#include <algorithm>

#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

template <class C>
bool allDigits(std::basic_string_view<C> text)
{
    return std::all_of(text.begin(), text.end(), [](C c) { return c >= '0' && c <= '9'; });
}

template <class C>
std::basic_string<C> copyRange(std::basic_string_view<C> text, int64_t from, int64_t to)
{
    from = std::max<int64_t>(from, 1);
    to = std::min<int64_t>(to, static_cast<int64_t>(text.size()));
    if (to < from)
        return {};
    return std::basic_string<C>(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1)));
}

template <class C>
int64_t position(size_t found)
{
    return found == std::basic_string_view<C>::npos ? 0 : static_cast<int64_t>(found) + 1;
}

template <class C>
int64_t lastPos(std::basic_string_view<C> sub, std::basic_string_view<C> text)
{
    if (sub.empty())
        return 0;
    return position<C>(text.rfind(sub));
}

template <class C>
std::basic_string<C> replaceChar(std::basic_string_view<C> text, C oldChar, C newChar)
{
    std::basic_string<C> out(text);
    std::replace(out.begin(), out.end(), oldChar, newChar);
    return out;
}

template <class C>
bool strToBool(std::basic_string_view<C> text)
{
    if (text.size() == 1)
        return text[0] == C('1');
    static constexpr char kTrue[] = "true";
    if (text.size() != 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        C c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<C>(c + 32);
        if (c != C(kTrue[i]))
            return false;
    }
    return true;
}

} // namespace

bool IsNumber(std::string_view text) { return allDigits(text); }
bool IsNumber(std::u16string_view text) { return allDigits(text); }

bool IsHexNumber(std::string_view text)
{
    if (text.empty())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex && !(c == '$' && i == 0))
            return false;
    }
    return true;
}

std::string CopyChars(std::string_view text, int64_t from, int64_t to) { return copyRange(text, from, to); }
std::u16string CopyWideChars(std::u16string_view text, int64_t from, int64_t to) { return copyRange(text, from, to); }

int64_t PosText(std::string_view sub, std::string_view text)
{
    if (sub.empty())
        return 0;
    return position<char>(std::string_view(AnsiLowerCase(text)).find(AnsiLowerCase(sub)));
}

int64_t PosText(std::u16string_view sub, std::u16string_view text)
{
    if (sub.empty())
        return 0;
    return position<char16_t>(std::u16string_view(WideLowerCase(text)).find(WideLowerCase(sub)));
}

int64_t LastPos(std::string_view sub, std::string_view text) { return lastPos(sub, text); }
int64_t LastPos(std::u16string_view sub, std::u16string_view text) { return lastPos(sub, text); }

std::string ReplaceChar(std::string_view text, char oldChar, char newChar)
{
    return replaceChar(text, oldChar, newChar);
}

std::u16string ReplaceChar(std::u16string_view text, char16_t oldChar, char16_t newChar)
{
    return replaceChar(text, oldChar, newChar);
}

std::u16string ReplaceInvalidFileNameChars(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out) {
        switch (static_cast<char>(c & 0xFF)) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|': c = u'_'; break;
        default: break;
        }
    }
    return out;
}

bool SplitString(std::string_view text, std::string_view separator, std::vector<std::string>* list, bool append)
{
    if (!list || separator.empty())
        return false;
    if (!append)
        list->clear();
    if (text.empty())
        return true;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string_view::npos; start = at + separator.size())
        list->emplace_back(text.substr(start, at - start));
    list->emplace_back(text.substr(start));
    return true;
}

void SplitDelimited(char delimiter, std::string_view text, std::vector<std::string>& list)
{
    SplitString(text, std::string_view(&delimiter, 1), &list, false);
}

std::u16string TrimWide(std::u16string_view text)
{
    size_t from = 0;
    size_t to = text.size();
    while (from < to && text[from] < 33)
        ++from;
    while (to > from && text[to - 1] < 33)
        --to;
    return std::u16string(text.substr(from, to - from));
}

bool WideStartsWith(std::u16string_view text, std::u16string_view prefix, bool ignoreCase)
{
    if (text.empty() || prefix.empty() || prefix.size() > text.size())
        return false;
    const std::u16string_view head = text.substr(0, prefix.size());
    return ignoreCase ? WideLowerCase(head) == WideLowerCase(prefix) : head == prefix;
}

bool IsURL(std::u16string_view text)
{
    return WideStartsWith(text, u"http://", true) || WideStartsWith(text, u"https://", true) ||
           WideStartsWith(text, u"mms://", true);
}

std::string BoolToStr(bool value) { return value ? "true" : "false"; }

bool StrToBool(std::string_view text) { return strToBool(text); }
bool StrToBool(std::u16string_view text) { return strToBool(text); }

int32_t ValueToPercent(int64_t value, int64_t min, int64_t max)
{
    if (max == min)
        return 0;
    return static_cast<int32_t>((value - min) * 100 / (max - min));
}

TRGBBytes ColorToRGBBytes(uint32_t color)
{
    return TRGBBytes{static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color >> 16)};
}

std::u16string GetRevisionText(std::u16string_view text)
{
    static constexpr std::u16string_view kOpen = u"[$Rev: ";
    static constexpr std::u16string_view kClose = u" $]";
    const size_t open = text.find(kOpen);
    if (open == std::u16string_view::npos)
        return {};
    const size_t from = open + kOpen.size();
    const size_t close = text.find(kClose, from);
    if (close == std::u16string_view::npos)
        return {};
    return u" - Revision " + TrimWide(text.substr(from, close - from));
}

TKTimeParts MillisecondsToTime(int64_t milliseconds)
{
    const int64_t ms = std::max<int64_t>(milliseconds, 0);
    TKTimeParts t;
    t.Days = ms / 86400000;
    t.Hours = static_cast<int32_t>(ms / 3600000 % 24);
    t.Minutes = static_cast<int32_t>(ms / 60000 % 60);
    t.Seconds = static_cast<int32_t>(ms / 1000 % 60);
    return t;
}

int64_t TimeToMilliseconds(uint8_t hours, uint8_t minutes, uint8_t seconds)
{
    return int64_t(hours) * 3600000 + int64_t(minutes) * 60000 + int64_t(seconds) * 1000;
}

} // namespace kolvarin
