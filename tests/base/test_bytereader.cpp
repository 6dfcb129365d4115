#include "base/bytereader.h"

#include <gtest/gtest.h>

namespace kolvarin {
namespace {

const uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};

TEST(ByteReaderTest, FieldsAreLittleEndian)
{
    ByteReader r(kBytes, sizeof kBytes);
    uint8_t b;
    uint16_t w;
    uint32_t d;
    ASSERT_TRUE(r.U8(b) && r.U16(w) && r.U32(d));
    EXPECT_EQ(b, 0x01);
    EXPECT_EQ(w, 0x0302);
    EXPECT_EQ(d, 0x07060504u);
    EXPECT_EQ(r.Position(), 7u);
    EXPECT_EQ(r.Remaining(), 2u);

    ByteReader wide(kBytes, sizeof kBytes);
    uint64_t q;
    ASSERT_TRUE(wide.U64(q));
    EXPECT_EQ(q, 0x0807060504030201u);

    const uint8_t negative[] = {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF};
    ByteReader s(negative, sizeof negative);
    int32_t i32;
    int16_t i16;
    ASSERT_TRUE(s.I32(i32) && s.Seek(0));
    int64_t i64;
    ASSERT_TRUE(s.I64(i64) && s.I16(i16));
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(i64, -2);
    EXPECT_EQ(i16, -3);
}

// A read that does not fit fails without moving or writing, so a parser can
// report the offset of the field that was cut off.
TEST(ByteReaderTest, AShortReadFailsWithoutMoving)
{
    ByteReader r(kBytes, sizeof kBytes);
    ASSERT_TRUE(r.Skip(6));
    uint32_t d = 0xAAAAAAAA;
    EXPECT_FALSE(r.U32(d));
    EXPECT_EQ(d, 0xAAAAAAAAu);
    uint64_t q = 7;
    EXPECT_FALSE(r.U64(q));
    EXPECT_EQ(q, 7u);
    uint8_t copy[4] = {};
    EXPECT_FALSE(r.Bytes(copy, 4));
    EXPECT_EQ(copy[0], 0);
    std::string_view view;
    EXPECT_FALSE(r.View(4, view));
    EXPECT_FALSE(r.CString(view)) << "no zero byte";
    EXPECT_FALSE(r.Skip(4));
    EXPECT_FALSE(r.Seek(sizeof kBytes + 1));
    EXPECT_EQ(r.Position(), 6u);

    // A count near SIZE_MAX must not wrap the check.
    EXPECT_FALSE(r.Skip(SIZE_MAX));
    std::span<const uint8_t> span;
    EXPECT_FALSE(r.View(SIZE_MAX - 2, span));
    EXPECT_EQ(r.Position(), 6u);

    ASSERT_TRUE(r.View(3, span));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(span[2], 0x09);
    EXPECT_TRUE(r.Seek(sizeof kBytes)) << "the end itself is a position";

    ByteReader empty;
    uint8_t b;
    EXPECT_FALSE(empty.U8(b));
    EXPECT_FALSE(empty.CString(view));
    EXPECT_TRUE(empty.Skip(0));
}

TEST(ByteReaderTest, CStringReadsUpToAndPastItsZero)
{
    const std::string bytes("key\0\0tail", 9);
    ByteReader r(bytes);
    std::string_view first, second;
    ASSERT_TRUE(r.CString(first));
    EXPECT_EQ(first, "key");
    EXPECT_EQ(r.Position(), 4u);
    ASSERT_TRUE(r.CString(second));
    EXPECT_TRUE(second.empty());
    EXPECT_FALSE(r.CString(second));
    EXPECT_EQ(r.Position(), 5u);
}

TEST(ByteWriterTest, WritesWhatTheReaderReads)
{
    std::string bytes;
    ByteWriter w(bytes);
    w.U8(0x11);
    w.U16(0x2233);
    w.U32(0x44556677);
    w.U64(0x8899AABBCCDDEEFFull);
    w.Bytes("xy");
    ByteReader r(bytes);
    uint8_t b;
    uint16_t s;
    uint32_t d;
    uint64_t q;
    std::string_view tail;
    ASSERT_TRUE(r.U8(b) && r.U16(s) && r.U32(d) && r.U64(q) && r.View(2, tail));
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(s, 0x2233);
    EXPECT_EQ(d, 0x44556677u);
    EXPECT_EQ(q, 0x8899AABBCCDDEEFFull);
    EXPECT_EQ(tail, "xy");
    EXPECT_TRUE(r.AtEnd());

    std::vector<uint8_t> raw;
    ByteWriter(raw).U32(0xDEADBEEF);
    EXPECT_EQ(raw, (std::vector<uint8_t>{0xEF, 0xBE, 0xAD, 0xDE}));
    PutLe32(raw.data(), 0x01020304);
    EXPECT_EQ(Le32(raw.data()), 0x01020304u);
    PutLe16(raw.data(), 0xBEEF);
    EXPECT_EQ(Le16(raw.data()), 0xBEEF);
    EXPECT_EQ(raw[2], 0x02);
}

} // namespace
} // namespace kolvarin
