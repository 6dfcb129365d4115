#pragma once

#include <cstdint>
#include <string_view>

namespace kolvarin {

// Why a number field's text was refused.
enum class TNumberCheck : uint8_t {
    Ok,
    Empty, // nothing but blanks
    NotNumber, // a character that is not an ASCII digit (or the one separator)
    OutOfRange, // a number, but outside Min..Max (long digit runs included)
};

// A whole number of ASCII digits, blanks around it allowed, no sign: what
// the dialog's count and time fields take. Value is set only for Ok.
TNumberCheck ParseWholeNumber(std::u16string_view text, int64_t min, int64_t max, int64_t& value);

// Digits with at most one decimal separator, '.' or ',' whatever the
// locale, as the settings file reads floats. Value is set only for Ok.
TNumberCheck ParseDecimalNumber(std::u16string_view text, double min, double max, double& value);

} // namespace kolvarin
