// Preprocesses arbitrary text in which every #include names the input itself:
// errors are numbered (37), the line map covers the output, and runaway
// macros or self-inclusion end, never hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/lumopreproc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin::script;
    std::string text(reinterpret_cast<const char*>(data), size);
    auto result = Preprocess(text, {{"LS", "", {}}}, "main", 1, [&](const std::string&) { return text; });
    size_t lines = 0;
    for (char c : result.text)
        lines += c == '\n';
    if (result.lineMap.size() + 1 < lines)
        __builtin_trap(); // one entry per line after the prefix
    return 0;
}
