#pragma once

// The tag readers take file names, so each input goes through a file of
// this process in a memory-backed folder when there is one.

#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzzfile {

// Removes the input file when the fuzzer ends.
struct InputFile {
    std::string path;
    ~InputFile() { unlink(path.c_str()); }
};

inline std::u16string Write(const char* suffix, const uint8_t* data, size_t size)
{
    static const InputFile file{std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/kolvarin-fuzz-" +
                                std::to_string(getpid()) + suffix};
    const std::string& path = file.path;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return std::u16string(path.begin(), path.end());
}

} // namespace fuzzfile
