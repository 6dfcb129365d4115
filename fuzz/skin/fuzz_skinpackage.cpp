#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "core/system/kpaths.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

#include "skinwindows.h"

// Any bytes as a ".kskz" package: unpacked into the temporary folder and
// loaded; the result is a code, the temporary folder is left empty. A skin
// that loads is applied to the windows and painted once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    namespace fs = std::filesystem;
    static const fs::path home = fs::temp_directory_path() / ("kolvarin-fuzz-skin-" + std::to_string(::getpid()));
    static TZipHandler zip;
    static TKGUI skin;
    UserPath = home.string() + "/";
    fs::create_directories(home);
    const fs::path package = home / "package.kskz";
    std::ofstream(package, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    InitGUI(skin);
    const uint8_t result = LoadSkinFromArchive(skin, package.string(), zip);
    if (result != kSkinLoaded && skin.Loaded)
        __builtin_trap();
    std::error_code ec;
    if (!fs::is_empty(home / "data/temp", ec) && !ec)
        __builtin_trap();
    if (result == kSkinLoaded)
        ApplyAndPaintOnce(skin);
    return 0;
}
