// Reads arbitrary bytes behind a valid signature as a script archive: every
// entry is listed and extracted; errors are numbered, never a crash or hang.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "script/lumoarchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin::script;
    std::string file(kArchiveSignature, kArchiveHeaderSize);
    file.append(reinterpret_cast<const char*>(data), size);
    TLumoArchiveReader lister(std::make_unique<std::istringstream>(file), "k1", {1, 2, 3});
    std::vector<std::string> names;
    for (int k = 0; k < 64; ++k) {
        auto entry = lister.ReadEntry();
        if (!entry)
            break;
        names.push_back(entry->name);
    }
    TLumoArchiveReader reader(std::make_unique<std::istringstream>(file), "k1", {1, 2, 3});
    std::vector<uint8_t> out;
    for (const auto& name : names)
        if (!reader.ExtractFile(name, out) && reader.LastError() == TArchiveError::None)
            __builtin_trap();
    return 0;
}
