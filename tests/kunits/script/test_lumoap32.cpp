#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/bytereader.h"
#include "script/lumoap32.h"

namespace kolvarin::script::ap32 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes RoundTrip(const Bytes& in)
{
    Bytes out;
    EXPECT_EQ(Unpack(Pack(in), out), Ap32Error::None);
    return out;
}

TEST(Ap32, ExactCodes)
{
    // One byte: length, the byte, and the end code's tag bits 1 1 0 at the top.
    EXPECT_EQ(Pack(Bytes{0x41}), (Bytes{1, 0, 0, 0, 0x41, 192}));
    // A zero byte with nothing better takes the 7-bit code 1 1 1 0000.
    EXPECT_EQ(Pack(Bytes{5, 0}), (Bytes{2, 0, 0, 0, 5, 0xE1, 0x80}));
    // A run of 100: the plain byte, then one match at offset 1 (gamma 3, low
    // byte 1, gamma 97), the second tag byte reserved after the data byte.
    EXPECT_EQ(Pack(Bytes(100, 7)), (Bytes{100, 0, 0, 0, 7, 0xAD, 0x01, 0x56, 0xC0}));
    EXPECT_TRUE(Pack(Bytes{}).empty());
}

TEST(Ap32, RoundTrips)
{
    std::mt19937 rng(11);
    Bytes random(5000);
    for (auto& b : random)
        b = uint8_t(rng());
    Bytes text;
    while (text.size() < 20000) {
        std::string line =
            "int f" + std::to_string(rng() % 300) + "(int a) { return a * " + std::to_string(rng() % 9) + "; }\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    Bytes farRepeat(40000, 0); // offsets past 1280 and 32000
    for (size_t k = 0; k < 300; ++k)
        farRepeat[k] = farRepeat[k + 35000] = farRepeat[k + 2000] = uint8_t(rng());
    Bytes sparse(3000);
    for (size_t k = 0; k < sparse.size(); k += 1 + rng() % 20)
        sparse[k] = uint8_t(rng() % 4);
    for (const Bytes& in : {Bytes{0}, Bytes{1, 2}, Bytes(300, 0), Of("abababababababab"), Of("abcabdabcabdxabcabd"),
                            random, text, farRepeat, sparse}) {
        EXPECT_EQ(RoundTrip(in), in) << "length " << in.size();
    }
    EXPECT_LT(Pack(text).size(), text.size() / 3);
}

Bytes WithHeader(const Bytes& packed, uint32_t headerSize)
{
    Bytes block = Of("AP32");
    ByteWriter out(block);
    for (uint32_t v : {headerSize, 0xDEADBEEFu, 0x12345678u, Le32(packed.data()), 0xCAFEBABEu})
        out.U32(v);
    block.resize(headerSize, 0xEE);
    block.insert(block.end(), packed.begin() + 4, packed.end());
    return block;
}

TEST(Ap32, HeaderIgnoresCrcsAndSkipsExtraBytes)
{
    Bytes in = Of("header test header test header test");
    Bytes packed = Pack(in);
    for (uint32_t size : {24u, 32u}) {
        Bytes out;
        EXPECT_EQ(Unpack(WithHeader(packed, size), out), Ap32Error::None);
        EXPECT_EQ(out, in);
    }
    Bytes out;
    Bytes shortHeader = WithHeader(packed, 24);
    shortHeader[4] = 20;
    EXPECT_EQ(Unpack(shortHeader, out), Ap32Error::ShortHeader);
    EXPECT_EQ(Unpack(Of("AP32\x18"), out), Ap32Error::ShortHeader);
}

TEST(Ap32, DamagedStreamsGiveErrors)
{
    struct Case {
        const char* what;
        Bytes block;
        Ap32Error error;
    };
    Bytes gammaFlood{5, 0, 0, 0, 1, 0xBF}; // tag 1 0, then gamma pairs (1 1) ...
    gammaFlood.insert(gammaFlood.end(), 40, 0xFF);
    const Case cases[] = {
        {"length only", {5, 0, 0, 0}, Ap32Error::Truncated},
        {"no tag byte", {5, 0, 0, 0, 1}, Ap32Error::Truncated},
        {"single byte before start", {5, 0, 0, 0, 1, 0xE6}, Ap32Error::BadOffset}, // 1 1 1 0011
        {"short match before start", {5, 0, 0, 0, 1, 0xC0, 0x08}, Ap32Error::BadOffset},
        {"end code too early", {5, 0, 0, 0, 1, 0xC0, 0x00}, Ap32Error::EarlyEnd},
        {"repeat with no previous offset", {5, 0, 0, 0, 1, 0x88}, Ap32Error::BadOffset}, // 1 0, gamma 2, gamma 2
        {"match beyond declared length",
         {3, 0, 0, 0, 1, 0x60, 2, 3},
         Ap32Error::Overrun}, // literal, then 3 at offset 1
        {"overlong gamma", gammaFlood, Ap32Error::BadGamma},
        {"declared length over limit", {0xFF, 0xFF, 0xFF, 0xFF, 1}, Ap32Error::TooLarge},
        {"three bytes", {1, 0, 0}, Ap32Error::Truncated},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_EQ(Unpack(c.block, out), c.error) << c.what;
        EXPECT_LE(out.size(), 5u) << c.what;
    }
    // Every truncation of a real stream is refused.
    Bytes packed = Pack(Of("truncated streams are refused, truncated streams are refused"));
    for (size_t cut = 1; cut < packed.size(); ++cut) {
        Bytes out;
        EXPECT_NE(Unpack(Bytes(packed.begin(), packed.begin() + cut), out), Ap32Error::None) << cut;
    }
}

} // namespace
} // namespace kolvarin::script::ap32
