#include "script/lumobytes.h"

#include <fstream>

namespace kolvarin::script {

bool ReadFileBytes(const std::string& path, uint64_t limit, std::vector<uint8_t>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0 || uint64_t(size) > limit)
        return false;
    out.resize(static_cast<size_t>(size));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char*>(out.data()), size));
}

} // namespace kolvarin::script
