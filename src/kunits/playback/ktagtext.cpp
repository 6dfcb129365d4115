#include "playback/ktagtext_p.h"

#include <array>

namespace kolvarin::tagtext {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 0x80..0x9F; the unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kAnsiHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsBlank(unsigned char c) { return c <= 32; }

} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int extra = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size()) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t code = c & (0x3F >> extra);
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                good = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        bool inRange = (extra == 1 && code >= 0x80) || (extra == 2 && code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) ||
                       (extra == 3 && code >= 0x10000 && code <= 0x10FFFF);
        if (!good || !inRange) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += extra + 1;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::u16string AnsiToUtf16(std::string_view text)
{
    std::u16string out(text.size(), u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        out[i] = c >= 0x80 && c < 0xA0 ? kAnsiHigh[c - 0x80] : c;
    }
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte = static_cast<char>(c);
        } else {
            for (size_t k = 0; k < kAnsiHigh.size(); ++k)
                if (kAnsiHigh[k] == c)
                    byte = static_cast<char>(0x80 + k);
        }
        out.push_back(byte);
    }
    return out;
}

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
