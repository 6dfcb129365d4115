#include "core/text/kwideformat.h"

#include <cmath>
#include <cstdio>

namespace kolvarin {

namespace {

constexpr size_t kMaxResult = 1024;

struct Spec {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    size_t width = 0;
    int precision = -1;
    char16_t type = 0;
};

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string digits(uint64_t value, unsigned base, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), set[value % base]);
        value /= base;
    } while (value != 0);
    return out;
}

// Values that fit 32 bits print as the platform's 32-bit unsigned would.
uint64_t unsignedView(const WideFormatArg& arg)
{
    if (arg.type() == WideFormatArg::Type::Signed) {
        const int64_t v = arg.asSigned();
        if (v < 0 && v >= INT32_MIN)
            return static_cast<uint32_t>(v);
    }
    return arg.asUnsigned();
}

void pad(std::u16string& out, std::u16string body, const Spec& spec, size_t signLength = 0)
{
    if (body.size() < spec.width) {
        const size_t fill = spec.width - body.size();
        if (spec.left)
            body.append(fill, u' ');
        else if (spec.zero)
            body.insert(signLength, fill, u'0');
        else
            body.insert(0, fill, u' ');
    }
    out += body;
}

void formatInteger(std::u16string& out, const WideFormatArg& arg, const Spec& spec)
{
    std::string sign;
    std::string body;
    switch (spec.type) {
    case u'd':
    case u'i': {
        const int64_t v = arg.asSigned();
        if (v < 0)
            sign.push_back('-');
        body = digits(v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), 10, false);
        break;
    }
    case u'u': body = digits(unsignedView(arg), 10, false); break;
    default: // x, X
        body = digits(unsignedView(arg), 16, spec.type == u'X');
        if (spec.alternate && body != "0")
            sign = spec.type == u'X' ? "0X" : "0x";
        break;
    }
    if (spec.precision > 0 && body.size() < size_t(spec.precision))
        body.insert(0, size_t(spec.precision) - body.size(), '0');
    Spec s = spec;
    s.zero = spec.zero && spec.precision < 0;
    pad(out, widen(sign + body), s, sign.size());
}

void formatReal(std::u16string& out, double value, const Spec& spec)
{
    char buf[400];
    const int precision = spec.precision < 0 ? 6 : std::min(spec.precision, 60);
    std::snprintf(buf, sizeof buf, "%.*f", precision, value);
    const std::string text = buf;
    const bool negative = !text.empty() && text[0] == '-';
    Spec s = spec;
    s.zero = spec.zero && std::isfinite(value);
    pad(out, widen(text), s, negative ? 1 : 0);
}

void formatArg(std::u16string& out, const WideFormatArg* arg, Spec spec)
{
    if (!arg)
        return;
    const auto type = arg->type();
    const bool wantsText = spec.type == u's' || spec.type == u'S';
    if (type == WideFormatArg::Type::Text && (wantsText || spec.type != u'c')) {
        std::u16string_view text = arg->text();
        if (spec.precision >= 0 && text.size() > size_t(spec.precision))
            text = text.substr(0, size_t(spec.precision));
        spec.zero = false;
        pad(out, std::u16string(text), spec);
        return;
    }
    if (spec.type == u'c') {
        const char16_t c = type == WideFormatArg::Type::Text ? (arg->text().empty() ? 0 : arg->text()[0])
                                                             : static_cast<char16_t>(arg->asUnsigned());
        spec.zero = false;
        pad(out, std::u16string(1, c), spec);
        return;
    }
    if (spec.type == u'f' || type == WideFormatArg::Type::Real) {
        formatReal(out, arg->asReal(), spec);
        return;
    }
    if (wantsText)
        spec.type = type == WideFormatArg::Type::Unsigned ? u'u' : u'd';
    formatInteger(out, *arg, spec);
}

// Reads what follows a '%' (not "%%") up to and including the conversion
// character, which may be none of the conversions. False when the text ends first.
bool readSpec(std::u16string_view format, size_t& i, Spec& spec)
{
    const size_t n = format.size();
    for (; i < n; ++i) {
        if (format[i] == u'-')
            spec.left = true;
        else if (format[i] == u'0')
            spec.zero = true;
        else if (format[i] == u'#')
            spec.alternate = true;
        else
            break;
    }
    for (; i < n && format[i] >= u'0' && format[i] <= u'9'; ++i)
        spec.width = std::min<size_t>(spec.width * 10 + (format[i] - u'0'), kMaxResult);
    if (i < n && format[i] == u'.') {
        spec.precision = 0;
        for (++i; i < n && format[i] >= u'0' && format[i] <= u'9'; ++i)
            spec.precision = std::min<int>(spec.precision * 10 + (format[i] - u'0'), int(kMaxResult));
    }
    if (format.substr(i, 3) == u"I64")
        i += 3;
    while (i < n && (format[i] == u'l' || format[i] == u'h'))
        ++i;
    if (i >= n)
        return false;
    spec.type = format[i++];
    return true;
}

bool isConversion(char16_t type)
{
    switch (type) {
    case u's':
    case u'S':
    case u'd':
    case u'i':
    case u'u':
    case u'x':
    case u'X':
    case u'c':
    case u'f': return true;
    default: return false;
    }
}

// Walks the format: Literal gets each character that stands for itself
// ("%%" as one '%'), Conversion each conversion after a '%'. Either
// returns false to stop.
template <class Literal, class Conversion>
void walkFormat(std::u16string_view format, Literal&& literal, Conversion&& conversion)
{
    const size_t n = format.size();
    size_t i = 0;
    while (i < n) {
        const char16_t c = format[i++];
        if (c != u'%' || i >= n) {
            if (!literal(c))
                return;
            continue;
        }
        if (format[i] == u'%') {
            ++i;
            if (!literal(u'%'))
                return;
            continue;
        }
        Spec spec;
        if (!readSpec(format, i, spec) || !conversion(spec))
            return;
    }
}

} // namespace

int64_t WideFormatArg::asSigned() const
{
    switch (type_) {
    case Type::Signed: return signed_;
    case Type::Unsigned: return static_cast<int64_t>(unsigned_);
    case Type::Real:
        return std::isfinite(real_) ? static_cast<int64_t>(std::trunc(std::fmax(std::fmin(real_, 9.2e18), -9.2e18)))
                                    : 0;
    case Type::Text: return 0;
    }
    return 0;
}

uint64_t WideFormatArg::asUnsigned() const
{
    return type_ == Type::Unsigned ? unsigned_ : static_cast<uint64_t>(asSigned());
}

double WideFormatArg::asReal() const
{
    switch (type_) {
    case Type::Real: return real_;
    case Type::Signed: return static_cast<double>(signed_);
    case Type::Unsigned: return static_cast<double>(unsigned_);
    case Type::Text: return 0;
    }
    return 0;
}

std::u16string WideFormatList(std::u16string_view format, std::initializer_list<WideFormatArg> args)
{
    std::u16string out;
    const WideFormatArg* next = args.begin();
    walkFormat(
        format,
        [&](char16_t c) {
            out += c;
            return out.size() < kMaxResult;
        },
        [&](const Spec& spec) {
            if (isConversion(spec.type))
                formatArg(out, next != args.end() ? next++ : nullptr, spec);
            else
                out += spec.type; // not a conversion: copied as it stands
            return out.size() < kMaxResult;
        });
    if (out.size() > kMaxResult)
        out.resize(kMaxResult);
    return out;
}

std::vector<WideFormatArg::Type> WideFormatArgumentTypes(std::u16string_view format)
{
    std::vector<WideFormatArg::Type> types;
    walkFormat(
        format, [](char16_t) { return true; },
        [&](const Spec& spec) {
            if (spec.type == u's' || spec.type == u'S')
                types.push_back(WideFormatArg::Type::Text);
            else if (spec.type == u'f')
                types.push_back(WideFormatArg::Type::Real);
            else if (isConversion(spec.type))
                types.push_back(WideFormatArg::Type::Signed);
            return true;
        });
    return types;
}

} // namespace kolvarin
