// Loads each input as the registry file. Whatever loads must write back to
// a file that loads to the same store: a second load and flush give the same
// bytes as the first flush.

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fuzzfile.h"
#include "registry/registry.h"

namespace {

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzfile::WriteFile(".registry", data, size);
    using kolvarin::registry::TRegistry;
    const TRegistry first(path);
    first.GetKeyNames(TRegistry::Root::CurrentUser, "Software");
    if (!first.Flush())
        return 0;
    const std::string written = FileBytes(path);
    const TRegistry second(path);
    if (!second.Flush() || FileBytes(path) != written)
        std::abort();
    return 0;
}
