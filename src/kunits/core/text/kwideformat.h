#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kolvarin {

// One argument of WideFormat: a UTF-16 text, an integer or a double.
class WideFormatArg {
public:
    enum class Type { Text, Signed, Unsigned, Real };

    WideFormatArg(std::u16string_view text) : type_(Type::Text), text_(text) {}
    WideFormatArg(const std::u16string& text) : type_(Type::Text), text_(text) {}
    WideFormatArg(const char16_t* text) : type_(Type::Text), text_(text ? text : u"") {}
    template <class I, std::enable_if_t<std::is_integral_v<I> && std::is_signed_v<I>, int> = 0>
    WideFormatArg(I value) : type_(Type::Signed), signed_(value)
    {}
    template <class I, std::enable_if_t<std::is_integral_v<I> && std::is_unsigned_v<I>, int> = 0>
    WideFormatArg(I value) : type_(Type::Unsigned), unsigned_(value)
    {}
    WideFormatArg(double value) : type_(Type::Real), real_(value) {}

    Type type() const { return type_; }
    std::u16string_view text() const { return text_; }
    int64_t asSigned() const;
    uint64_t asUnsigned() const;
    double asReal() const;

private:
    Type type_;
    std::u16string_view text_;
    int64_t signed_ = 0;
    uint64_t unsigned_ = 0;
    double real_ = 0;
};

// Formats with the rules of the platform's wide sprintf subset the program
// uses: %s (UTF-16 text), %d %i %u %x %X %c, %f (as %3.1f: width and
// precision), %% ; the flags "-" (left-align), "0" (zero-pad) and "#" (0x
// before hex); the size prefixes l, h, ll and I64 are accepted and ignored.
// A conversion takes the next argument and prints it by the conversion
// when the types agree, else by the argument's own type; missing arguments
// print nothing. The result holds at most 1,024 characters.
std::u16string WideFormatList(std::u16string_view format, std::initializer_list<WideFormatArg> args);

// The kind of argument each conversion of Format takes, in order: Text for
// %s, Signed for the integer conversions (%d %i %u %x %X %c), Real for %f.
// Two formats with the same list take the same arguments.
std::vector<WideFormatArg::Type> WideFormatArgumentTypes(std::u16string_view format);

template <class... Args>
std::u16string WideFormat(std::u16string_view format, const Args&... args)
{
    return WideFormatList(format, {WideFormatArg(args)...});
}

} // namespace kolvarin
