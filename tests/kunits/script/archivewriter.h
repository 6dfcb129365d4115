#pragma once
// Builds script archives for tests: the engine only reads them.
#include <cstdint>
#include <string>
#include <vector>

#include "script/lumoap32.h"
#include "script/lumoarchive.h"
#include "script/lumosupport.h"

namespace kolvarin::script::test {

struct ArchiveEntry {
    std::string name;
    std::vector<uint8_t> content;
    uint8_t flag = 1;
};

inline std::vector<uint8_t> BuildArchive(const std::vector<ArchiveEntry>& entries, const std::string& firstKey,
                                         const std::vector<uint8_t>& secondKey)
{
    auto key1 = std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(firstKey.data()), firstKey.size());
    std::vector<uint8_t> file(kArchiveSignature, kArchiveSignature + 17);
    file.resize(kArchiveHeaderSize, 0);
    uint32_t keyCrc = Crc32(std::string(secondKey.begin(), secondKey.end()));
    for (const auto& e : entries) {
        std::vector<uint8_t> data = ap32::Pack(e.content);
        Scramble(data, secondKey);
        Scramble(data, key1);
        std::vector<uint8_t> header{e.flag};
        for (uint32_t v : {uint32_t(data.size()), keyCrc})
            for (int k = 0; k < 4; ++k)
                header.push_back(uint8_t(v >> (8 * k)));
        header.push_back(uint8_t(e.name.size()));
        header.push_back(uint8_t(e.name.size() >> 8));
        Scramble(header, key1);
        std::vector<uint8_t> name(e.name.begin(), e.name.end());
        Scramble(name, key1);
        file.insert(file.end(), header.begin(), header.end());
        file.insert(file.end(), name.begin(), name.end());
        file.insert(file.end(), data.begin(), data.end());
    }
    return file;
}

} // namespace kolvarin::script::test
