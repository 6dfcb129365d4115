// The config.xml and table-file readers on arbitrary bytes, through an
// in-memory file: no crash, and whatever loads saves and loads again.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "core/settings/kconfig.h"

using namespace kolvarin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = ::memfd_create("config.xml", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size)) {
        if (fd >= 0)
            ::close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    TKConfig config;
    config.SetDefaults();
    try {
        config.LoadFromFile(path);
    } catch (const std::runtime_error&) {
        config.SetDefaults();
    }
    config.SetDefaultFilters();
    config.LoadFilterManager(path);
    config.LoadAcceptedExtensions(path);
    ::close(fd);
    return 0;
}
