#include "kaddmedia.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"

namespace kolvarin {

TKMediaAdder MediaAdder{
    [](const std::u16string& fileName) { return PlaySystem && PlaySystem->AddFileToPlaylist(fileName); }};

void AddDirectory(const std::u16string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::u16string> files;
    for (fs::recursive_directory_iterator it(Utf16ToUtf8(folder), fs::directory_options::skip_permission_denied, ec),
         end;
         it != end; it.increment(ec)) {
        if (ec)
            break;
        if (!it->is_regular_file(ec))
            continue;
        std::u16string name = Utf8ToUtf16(it->path().string());
        if (SystemTypeOfFileName(name, Config->AcceptAllFiles, Config->AcceptedExtensions) != TSystemType::None)
            files.push_back(std::move(name));
    }
    // Directory order is the file system's: sort, so a folder adds the same way every time.
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        MediaAdder.AddFile(file);
}

} // namespace kolvarin
