// The .kpl, .pls and .m3u readers on arbitrary bytes: no crash, and a .kpl
// that is taken writes back to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/playlist/kplaylistfiles.h"

using namespace kolvarin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TKPlaylistEntries entries;
    if (ParseKplFile(bytes, entries)) {
        TKPlaylist list;
        for (auto& entry : entries)
            list.Append(std::move(entry));
        const std::string written = BuildKplFile(list, 0);
        TKPlaylistEntries again;
        if (!ParseKplFile(written, again) || static_cast<int>(again.size()) != list.Count())
            std::abort();
    }
    const std::u16string text = DecodeListText(bytes);
    ParsePlsText(text, entries);
    ParseM3uText(text, u"/folder", entries);
    return 0;
}
