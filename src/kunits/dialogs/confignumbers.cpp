#include "dialogs/confignumbers.h"

#include <charconv>
#include <string>

namespace kolvarin {

namespace {

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

TNumberCheck ParseWholeNumber(std::u16string_view text, int64_t min, int64_t max, int64_t& value)
{
    text = trimmed(text);
    if (text.empty())
        return TNumberCheck::Empty;
    int64_t result = 0;
    bool tooLarge = false;
    for (char16_t c : text) {
        if (!isDigit(c))
            return TNumberCheck::NotNumber;
        // Saturates instead of wrapping, so a long digit run is out of range.
        if (result > (INT64_MAX - 9) / 10)
            tooLarge = true;
        else
            result = result * 10 + (c - u'0');
    }
    if (tooLarge || result < min || result > max)
        return TNumberCheck::OutOfRange;
    value = result;
    return TNumberCheck::Ok;
}

TNumberCheck ParseDecimalNumber(std::u16string_view text, double min, double max, double& value)
{
    text = trimmed(text);
    if (text.empty())
        return TNumberCheck::Empty;
    std::string ascii;
    bool separator = false;
    int digits = 0;
    for (char16_t c : text) {
        if (c == u'.' || c == u',') {
            if (separator)
                return TNumberCheck::NotNumber;
            separator = true;
            ascii += '.';
        } else if (isDigit(c)) {
            ++digits;
            ascii += static_cast<char>(c);
        } else {
            return TNumberCheck::NotNumber;
        }
    }
    if (digits == 0)
        return TNumberCheck::NotNumber;
    if (digits > 30)
        return TNumberCheck::OutOfRange;
    // from_chars ignores the locale, which strtod would follow.
    double result = 0;
    std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    if (result < min || result > max)
        return TNumberCheck::OutOfRange;
    value = result;
    return TNumberCheck::Ok;
}

} // namespace kolvarin
