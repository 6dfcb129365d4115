#include "playback/ktagtext_p.h"

namespace kolvarin::tagtext {

namespace {

bool IsBlank(unsigned char c) { return c <= 32; }

} // namespace

bool IsLatin1Safe(std::u16string_view text)
{
    for (char16_t c : text)
        if (c == 0 || (c >= 0x80 && c < 0xA0) || c > 0xFF)
            return false;
    return true;
}

std::u16string TrimWide(std::u16string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && text[first] < 33)
        ++first;
    while (last > first && text[last - 1] < 33)
        --last;
    return std::u16string(text.substr(first, last - first));
}

std::string TrimAnsi(std::string_view text)
{
    size_t first = 0;
    while (first < text.size() && IsBlank(static_cast<unsigned char>(text[first])))
        ++first;
    return TrimRightAnsi(text.substr(first));
}

std::string TrimRightAnsi(std::string_view text)
{
    size_t last = text.size();
    while (last > 0 && IsBlank(static_cast<unsigned char>(text[last - 1])))
        --last;
    return std::string(text.substr(0, last));
}

std::string_view UpToNul(std::string_view text)
{
    size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

bool ParseInteger(std::string_view text, long long min, long long max, long long& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
        if (result > (1LL << 40))
            return false;
    }
    result = negative ? -result : result;
    if (result < min || result > max)
        return false;
    value = result;
    return true;
}

} // namespace kolvarin::tagtext
