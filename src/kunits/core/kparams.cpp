#include "core/kparams.h"

namespace kolvarin {

namespace {

constexpr size_t kMaxParam = 8192;

// Reads the parameter starting at or after Pos into Out (when given) and
// returns the position after it; npos when no parameter is left.
size_t nextParam(std::u16string_view line, size_t pos, std::u16string* out)
{
    const size_t n = line.size();
    for (;;) {
        while (pos < n && line[pos] < 33)
            ++pos;
        if (pos + 1 < n && line[pos] == u'"' && line[pos + 1] == u'"')
            pos += 2;
        else
            break;
    }
    if (pos >= n)
        return std::u16string_view::npos;
    while (pos < n && line[pos] >= 33) {
        if (line[pos] == u'"') {
            for (++pos; pos < n && line[pos] != u'"'; ++pos) {
                if (out && out->size() < kMaxParam)
                    *out += line[pos];
            }
            if (pos < n)
                ++pos;
        } else {
            if (out && out->size() < kMaxParam)
                *out += line[pos];
            ++pos;
        }
    }
    return pos;
}

} // namespace

int32_t WideParamCount(std::u16string_view commandLine)
{
    int32_t count = -1; // parameter 0 is the program
    for (size_t pos = 0; (pos = nextParam(commandLine, pos, nullptr)) != std::u16string_view::npos;)
        ++count;
    return count < 0 ? 0 : count;
}

std::u16string WideParamStr(std::u16string_view commandLine, int32_t index)
{
    if (index < 0)
        return {};
    size_t pos = 0;
    for (int32_t i = 0;; ++i) {
        std::u16string param;
        pos = nextParam(commandLine, pos, &param);
        if (pos == std::u16string_view::npos)
            return {};
        if (i == index)
            return param;
    }
}

} // namespace kolvarin
