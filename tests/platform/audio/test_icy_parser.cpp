// The ICY body parser: metadata taken out wherever the blocks split it.

#include <algorithm>

#include <gtest/gtest.h>

#include "audio/icy_parser.h"

namespace {

using kolvarin::audio::IcyParser;
using kolvarin::audio::parseMetaInterval;

TEST(IcyParserTest, SameResultForEveryBlockSize)
{
    // Interval 5: "abcde" [1] "StreamTitle='x';" [0] "fghij" [0] "kl"
    std::string meta = "StreamTitle='x';";
    meta.resize(16, '\0');
    const std::string body = "abcde" + std::string(1, '\1') + meta + "fghij" + std::string(1, '\0') + "kl";
    for (const std::size_t block : {1u, 2u, 5u, 6u, 7u, 100u}) {
        IcyParser parser(5);
        std::string audio;
        std::vector<std::string> metadata;
        for (std::size_t at = 0; at < body.size(); at += block)
            parser.feed(reinterpret_cast<const std::uint8_t*>(body.data()) + at, std::min(block, body.size() - at),
                        audio, metadata);
        EXPECT_EQ(audio, "abcdefghijkl") << block;
        ASSERT_EQ(metadata.size(), 1u) << block;
        EXPECT_EQ(metadata[0], "StreamTitle='x';");
    }
}

TEST(IcyParserTest, WithoutIntervalEverythingIsAudio)
{
    IcyParser parser(0);
    std::string audio;
    std::vector<std::string> metadata;
    const std::string body("\1\2\0\3", 4);
    parser.feed(reinterpret_cast<const std::uint8_t*>(body.data()), body.size(), audio, metadata);
    EXPECT_EQ(audio, body);
    EXPECT_TRUE(metadata.empty());
}

TEST(IcyParserTest, MetaIntervalHeaderValues)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"16000", 16000}, {" 8192\r", 8192},      {"0", -1},        {"-5", -1},          {"lots", -1}, {"", -1},
        {"12ab", -1},     {"16777216", 16777216}, {"16777217", -1}, {"99999999999", -1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseMetaInterval(text), expected) << text;
}

} // namespace
