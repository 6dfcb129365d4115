#include "core/stream/lumoutils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvarin {

std::string LumoIntToStr(int64_t value) { return std::to_string(value); }

std::string LumoIntToHex(int64_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<uint64_t>(value);
    std::string out;
    while (bits != 0) {
        out.insert(out.begin(), kDigits[bits & 0xF]);
        bits >>= 4;
    }
    return out;
}

bool LumoFileExists(const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Linux opens folders for reading too; they are no files here.
    struct stat st {};
    const bool isFile = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    ::close(fd);
    return isFile;
}

std::string LumoExtractFilePath(std::string_view path)
{
    const size_t at = path.find_last_of("\\/:");
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string LumoTrimLeft(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 33)
        ++i;
    return std::string(text.substr(i));
}

} // namespace kolvarin
