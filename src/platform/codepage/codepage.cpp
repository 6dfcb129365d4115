#include "codepage/codepage.h"

#include <array>
#include <cstdint>

#include "base/bytereader.h"

namespace kolvarin::codepage {

namespace {

// The DOS OEM code page 437, bytes 0x80..0xFF.
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 0x80-0x9F; unassigned bytes keep their own code.
constexpr std::array<char16_t, 32> kAnsi80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = code << 6 | (d & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        size_t len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2;
            cp = b & 0x1F;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            cp = b & 0x0F;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            cp = b & 0x07;
            min = 0x10000;
        }
        size_t k = 1;
        for (; len && k < len && i + k < n; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (len == 0 || k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // One replacement per maximal invalid prefix, then resync.
            out += kReplacement;
            i += (len == 0) ? 1 : k;
            continue;
        }
        AppendUtf16(out, cp);
        i += len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

char16_t AnsiCharToWide(unsigned char c)
{
    return (c >= 0x80 && c < 0xA0) ? kAnsi80[c - 0x80] : static_cast<char16_t>(c);
}

std::u16string AnsiToUtf16(std::string_view text)
{
    std::u16string out(text.size(), u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = AnsiCharToWide(static_cast<unsigned char>(text[i]));
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text)
{
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            b = static_cast<char>(c);
        } else {
            for (size_t k = 0; k < kAnsi80.size(); ++k) {
                if (kAnsi80[k] == c) {
                    b = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        out[i] = b;
    }
    return out;
}

char16_t WideLowerChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capitals with the next code, except in the
        // two runs that start on an odd code.
        const bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130)
            return u'i';
        if (c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (c == 0x178)
            return 0xFF;
        if (oddRun ? (c & 1) : !(c & 1))
            return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 32;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

std::u16string WideLowerCase(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = WideLowerChar(c);
    return out;
}

std::string AnsiLowerCase(std::string_view text)
{
    std::string out(text);
    for (auto& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            ch = static_cast<char>(c + 32);
        else if (c == 0x8A || c == 0x8C || c == 0x8E)
            ch = static_cast<char>(c + 16);
        else if (c == 0x9F)
            ch = static_cast<char>(0xFF);
    }
    return out;
}

std::u16string OemToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        out += b < 0x80 ? static_cast<char16_t>(b) : kCp437High[b - 0x80];
    }
    return out;
}

std::string Utf16ToLeBytes(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    ByteWriter out(bytes);
    for (char16_t c : text)
        out.U16(c);
    return bytes;
}

std::u16string LeBytesToUtf16(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    ByteReader in(bytes);
    for (uint16_t unit; in.U16(unit);)
        text += static_cast<char16_t>(unit);
    return text;
}

} // namespace kolvarin::codepage
