#include <gtest/gtest.h>

#include <sstream>

#include "archivewriter.h"
#include "script/lumoarchive.h"

namespace kolvarin::script {
namespace {

using Bytes = std::vector<uint8_t>;
const std::string kKey1 = "first key";
const Bytes kKey2{9, 8, 7, 6, 5, 4, 3, 2, 1};

TLumoArchiveReader Reader(const Bytes& file, const Bytes& key2 = kKey2)
{
    return TLumoArchiveReader(std::make_unique<std::istringstream>(std::string(file.begin(), file.end())), kKey1, key2);
}

Bytes Content(size_t size, uint8_t seed)
{
    Bytes b(size);
    for (size_t k = 0; k < size; ++k)
        b[k] = uint8_t(seed + (k * k) % 251);
    return b;
}

TEST(Archive, ScrambleIsReversedAndKeyed)
{
    Bytes plain = Content(100, 3), data = plain;
    Scramble(data, kKey2);
    EXPECT_NE(data, plain);
    Bytes other = plain;
    Scramble(other, Bytes{1});
    EXPECT_NE(other, data);
    Unscramble(data, kKey2);
    EXPECT_EQ(data, plain);
}

TEST(Archive, ExtractsEntriesByNameAndFlag)
{
    Bytes big = Content(20000, 1); // more than two 8192-byte blocks before unpacking
    for (auto& b : big)
        b ^= uint8_t(&b - big.data());
    auto file = test::BuildArchive({{"lib.dll", Content(300, 5)},
                                    {"hidden.dll", Content(10, 6), 0},
                                    {"big.bin", big},
                                    {"hidden.dll", Content(40, 7)}},
                                   kKey1, kKey2);
    auto reader = Reader(file);
    ASSERT_TRUE(reader.IsValid());
    Bytes out;
    EXPECT_TRUE(reader.ExtractFile("big.bin", out));
    EXPECT_EQ(out, big);
    EXPECT_TRUE(reader.ExtractFile("lib.dll", out));
    EXPECT_EQ(out, Content(300, 5));
    EXPECT_TRUE(reader.ExtractFile("hidden.dll", out)); // the entry with flag 1
    EXPECT_EQ(out, Content(40, 7));
    EXPECT_FALSE(reader.ExtractFile("LIB.dll", out));
    EXPECT_EQ(reader.LastError(), TArchiveError::NotFound);

    auto wrongKey = Reader(file, Bytes{1, 2, 3});
    EXPECT_FALSE(wrongKey.ExtractFile("lib.dll", out));
    EXPECT_EQ(wrongKey.LastError(), TArchiveError::KeyMismatch);

    auto entries = Reader(file);
    auto first = entries.ReadEntry();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "lib.dll");
    EXPECT_EQ(first->flag, 1);
    EXPECT_EQ(first->nameLength, 7);
}

TEST(Archive, DamagedArchives)
{
    auto file = test::BuildArchive({{"a", Content(500, 1)}, {"b", Content(500, 2)}}, kKey1, kKey2);
    Bytes out;
    Bytes badSignature = file;
    badSignature[0] = 'X';
    auto bad = Reader(badSignature);
    EXPECT_FALSE(bad.IsValid());
    EXPECT_FALSE(bad.ReadEntry());
    EXPECT_FALSE(bad.ExtractFile("a", out));
    EXPECT_EQ(bad.LastError(), TArchiveError::NotValid);
    EXPECT_FALSE(Reader(Bytes(file.begin(), file.begin() + 10)).IsValid());

    for (size_t cut = kArchiveHeaderSize; cut < file.size(); cut += 37) {
        auto r = Reader(Bytes(file.begin(), file.begin() + cut));
        EXPECT_FALSE(r.ExtractFile("b", out)) << cut;
        EXPECT_TRUE(out.empty());
    }
    // A flipped byte anywhere gives an error or other bytes, never a crash.
    for (size_t at = kArchiveHeaderSize; at < file.size(); at += 7) {
        Bytes damaged = file;
        damaged[at] ^= 0x40;
        auto r = Reader(damaged);
        if (r.ExtractFile("b", out))
            EXPECT_LE(out.size(), ap32::kDefaultUnpackLimit);
        else
            EXPECT_NE(r.LastError(), TArchiveError::None);
    }
}

} // namespace
} // namespace kolvarin::script
