// Parses arbitrary bytes; whatever parses must write out as text that
// parses again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/xml/lumoxml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin;
    TLumoXML doc;
    if (!doc.Parse(std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    TLumoStream out;
    if (!doc.Write(out, 2))
        std::abort();
    TLumoXML again;
    if (!again.Parse(out))
        std::abort();
    return 0;
}
