// The header list and metadata text an internet radio server sends, through
// the splitting the play system does for station names and titles.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "playback/ksystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string list = text;
    list.append(2, '\0'); // a tag list ends with an empty string
    std::vector<TKey> pairs;
    SplitKeyValues(TagListToText(list.c_str()), pairs, ':', true, ';');
    SplitKeyValues(text + ";", pairs, '=', false, ';');
    TKey pair;
    FindKeyValue("icy-name", pairs, pair);
    FindKeyValue("StreamTitle", pairs, pair);
    return 0;
}
