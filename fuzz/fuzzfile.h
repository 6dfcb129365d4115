#pragma once

// Readers that take file names get each input through a file of this
// process, in a memory-backed folder when there is one.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzzfile {

// A path of this process (a file or an empty folder) removed when the
// fuzzer ends.
struct TempPath {
    std::string path;
    ~TempPath() { std::remove(path.c_str()); }
};

inline std::string TempFolder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }

// The input as the file <temp>/kolvarin-fuzz-<pid><suffix>; its UTF-8 path.
inline std::string WriteFile(const char* suffix, const uint8_t* data, size_t size)
{
    static const TempPath file{TempFolder() + "/kolvarin-fuzz-" + std::to_string(getpid()) + suffix};
    std::ofstream(file.path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file.path;
}

// The same, for readers that take UTF-16 names.
inline std::u16string Write(const char* suffix, const uint8_t* data, size_t size)
{
    const std::string path = WriteFile(suffix, data, size);
    return std::u16string(path.begin(), path.end());
}

} // namespace fuzzfile
