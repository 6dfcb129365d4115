#include <gtest/gtest.h>

#include "core/stream/lumoclass.h"
#include "core/stream/lumostream.h"
#include "core/stream/lumostringtree.h"
#include "core/stream/lumoutils.h"
#include "temphome.h"

namespace kolvarin {
namespace {

TEST(LumoStream, GrowsInSteps)
{
    TLumoStream s;
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_EQ(s.Write("x", 1), 1);
    EXPECT_EQ(s.GetSize(), 1);
    EXPECT_EQ(s.Capacity(), 65536);

    TLumoStream t;
    t.SetText("abcd");
    EXPECT_EQ(t.Seek(10), 10);
    EXPECT_EQ(t.GetSize(), 10);
    EXPECT_EQ(t.GetText(), std::string("abcd\0\0\0\0\0\0", 10));

    EXPECT_EQ(t.Seek(3, 2), 7);
    EXPECT_EQ(t.Seek(-2, 1), 5);
    EXPECT_EQ(t.Seek(-5, 0), 0);
    EXPECT_EQ(t.Seek(4, 9), 4); // unknown origin: from the start

    // A shrink then a grow must not bring the old bytes back.
    ASSERT_TRUE(t.SetSize(2));
    EXPECT_EQ(t.GetPosition(), 2);
    EXPECT_EQ(t.Capacity(), 65536);
    ASSERT_TRUE(t.SetSize(4));
    EXPECT_EQ(t.GetText(), std::string("ab\0\0", 4));
    ASSERT_TRUE(t.SetSize(0));
    EXPECT_EQ(t.Capacity(), 0);
}

TEST(LumoStream, ReadsAreBounded)
{
    TLumoStream s;
    s.SetText("hello");
    char buf[16] = {};
    s.Seek(3);
    EXPECT_EQ(s.Read(buf, 16), 2);
    EXPECT_EQ(s.Read(buf, 16), 0);
    EXPECT_EQ(s.Read(buf, -1), 0);
    EXPECT_EQ(s.ReadAt(1, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "ell");
    // Reading never grows the stream.
    EXPECT_EQ(s.ReadAt(100, buf, 1), 0);
    EXPECT_EQ(s.GetSize(), 5);
    EXPECT_EQ(s.PeekByte(1), 'e');
    EXPECT_EQ(s.PeekByte(99), 0);
    s.Seek(2);
    s.PokeByte(0, 'J');
    EXPECT_EQ(s.GetPosition(), 2);
    EXPECT_EQ(s.GetText(), "Jello");
}

TEST(LumoStream, LittleEndianAndStrings)
{
    TLumoStream s;
    const unsigned char bytes[] = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 3, 0, 0, 0, 'a', 'b', 'c', 0xFF};
    s.Write(bytes, sizeof bytes);
    s.Seek(0);
    EXPECT_EQ(s.ReadWord(), 0x1234);
    EXPECT_EQ(s.ReadDWord(), 0x12345678u);
    std::string text;
    ASSERT_TRUE(s.ReadString(text));
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(s.ReadWord(), 0x00FF); // the missing byte reads as 0
    EXPECT_EQ(s.ReadByte(), 0);
}

TEST(LumoStream, ReadStringChecksTheLength)
{
    struct Case {
        std::string bytes;
        bool ok;
    } cases[] = {
        {std::string("\x02\0\0\0ab", 6), true},      {std::string("\x03\0\0\0ab", 6), false}, // runs past the end
        {std::string("\xFF\xFF\xFF\x7F", 4), false}, // 2 GiB claimed
        {std::string("\xFF\xFF\xFF\xFF", 4), false}, // negative
        {std::string("\x01\0", 2), false}, // length cut short
        {std::string("\0\0\0\0", 4), true},
    };
    for (const auto& c : cases) {
        TLumoStream s;
        s.SetText(c.bytes);
        s.Seek(0);
        std::string text = "keep";
        EXPECT_EQ(s.ReadString(text), c.ok) << c.bytes.size();
        if (!c.ok) {
            EXPECT_EQ(s.GetPosition(), 0);
            EXPECT_EQ(text, "keep");
        }
    }
}

TEST(LumoStream, ReadLineEndings)
{
    TLumoStream s;
    s.SetText("a\r\nb\n\rc\r\rd\n");
    s.Seek(0);
    EXPECT_EQ(s.ReadLine(), "a");
    EXPECT_EQ(s.ReadLine(), "b");
    EXPECT_EQ(s.ReadLine(), "c");
    EXPECT_EQ(s.ReadLine(), ""); // CR CR is two line ends
    EXPECT_EQ(s.ReadLine(), "d");
    EXPECT_EQ(s.ReadLine(), "");
    EXPECT_EQ(s.GetPosition(), s.GetSize());

    TLumoStream w;
    w.WriteLine("x");
    EXPECT_EQ(w.GetText(), "x\r\n");
}

TEST(LumoStream, CopiesBetweenStreams)
{
    std::string big(10000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    TLumoStream a;
    a.SetText(big);
    TLumoStream b;
    b.SetText("old");
    EXPECT_EQ(b.Assign(a), 10000);
    EXPECT_EQ(b.GetText(), big);
    b.Seek(3);
    TLumoStream small;
    small.SetText("XY");
    EXPECT_EQ(b.Append(small), 2);
    EXPECT_EQ(b.GetText().substr(0, 6), big.substr(0, 3) + "XY" + big.substr(5, 1));
    a.Seek(9000);
    TLumoStream c;
    EXPECT_EQ(c.CopyFrom(a, 5000), 1000);
    EXPECT_EQ(c.GetText(), big.substr(9000));
}

TEST(LumoFileStream, ReadsWritesAndNeverTruncatesOnOpen)
{
    ktest::TempDir dir;
    const std::string name = (dir.path() / "f.bin").string();
    {
        TLumoFileStream w(name, TLumoFileMode::CreateNew);
        ASSERT_TRUE(w.IsOpen());
        EXPECT_TRUE(w.WriteLine("line one"));
        EXPECT_EQ(w.Write("z", 1), 1);
        EXPECT_EQ(w.GetSize(), 11);
        EXPECT_EQ(w.Seek(0), 0);
        EXPECT_EQ(w.ReadLine(), "line one");
        EXPECT_EQ(w.Seek(50), 10); // beyond the size: stays
        EXPECT_EQ(w.Seek(1, 2), 10);
        EXPECT_TRUE(w.Close());
    }
    {
        TLumoFileStream r(name);
        ASSERT_TRUE(r.IsOpen());
        EXPECT_EQ(r.GetSize(), 11);
        EXPECT_EQ(r.Write("q", 1), 0); // opened for reading only
        EXPECT_EQ(r.GetText(), "line one\r\nz");
        EXPECT_EQ(r.PeekByte(10), 'z');
    }
    // A missing file is created empty; a folder is no file.
    const std::string missing = (dir.path() / "new.xml").string();
    {
        TLumoFileStream r(missing);
        EXPECT_TRUE(r.IsOpen());
        EXPECT_EQ(r.GetSize(), 0);
    }
    EXPECT_TRUE(LumoFileExists(missing));
    EXPECT_FALSE(LumoFileExists(dir.path().string()));
    TLumoFileStream bad((dir.path() / "no/such/folder.xml").string());
    EXPECT_FALSE(bad.IsOpen());
    char b;
    EXPECT_EQ(bad.Read(&b, 1), 0);
    EXPECT_EQ(bad.GetSize(), 0);
}

class Counted : public TLumoClass {
public:
    explicit Counted(int& alive) : alive_(alive) { ++alive_; }
    ~Counted() override { --alive_; }

private:
    int& alive_;
};

TEST(LumoClassList, CapacityAndOwnership)
{
    int alive = 0;
    {
        TLumoClassList list(true);
        EXPECT_EQ(list.Add(new Counted(alive)), 0);
        EXPECT_EQ(list.Capacity(), 1024);
        EXPECT_EQ(list.Items(-1), nullptr);
        EXPECT_EQ(list.Items(1), nullptr);
        list.SetCount(3);
        EXPECT_EQ(list.Items(2), nullptr);
        EXPECT_EQ(list.Add(new Counted(alive)), 3);
        EXPECT_EQ(alive, 2);
        list.SetCount(1);
        EXPECT_EQ(alive, 1);
        for (int i = 0; i < 5000; ++i)
            list.Add(new Counted(alive));
        EXPECT_EQ(list.Capacity() % 1024, 0);
        EXPECT_GE(list.Capacity(), list.Count());
    }
    EXPECT_EQ(alive, 0);

    TLumoClassList borrowed(false, 15);
    Counted kept(alive);
    borrowed.Add(&kept);
    EXPECT_EQ(borrowed.Capacity(), 16);
    borrowed.Clear();
    EXPECT_EQ(alive, 1);
}

TEST(LumoStringTree, AddFindReplace)
{
    TLumoStringTree t;
    EXPECT_FALSE(t.Add("", 1, true));
    EXPECT_TRUE(t.Add("abc", 1, false));
    EXPECT_TRUE(t.Add("abd", 2, false));
    EXPECT_TRUE(t.Add("a", 3, false));
    EXPECT_TRUE(t.Add("\xFF"
                      "b",
                      4, false));
    EXPECT_FALSE(t.Add("abc", 9, false));
    uint32_t v = 0;
    ASSERT_TRUE(t.Find("abc", v));
    EXPECT_EQ(v, 1u);
    EXPECT_FALSE(t.Find("ab", v));
    EXPECT_FALSE(t.Find("abcd", v));
    EXPECT_FALSE(t.Find("", v));
    ASSERT_TRUE(t.Find("a", v));
    EXPECT_EQ(v, 3u);
    ASSERT_TRUE(t.Find("\xFF"
                       "b",
                       v));
    EXPECT_EQ(v, 4u);
    EXPECT_TRUE(t.Add("abc", 9, true));
    ASSERT_TRUE(t.Find("abc", v));
    EXPECT_EQ(v, 9u);
    t.Clear();
    EXPECT_FALSE(t.Find("abd", v));
}

TEST(LumoUtils, Helpers)
{
    EXPECT_EQ(LumoIntToStr(-42), "-42");
    EXPECT_EQ(LumoIntToHex(0), "");
    EXPECT_EQ(LumoIntToHex(0x1F2E), "1F2E");
    EXPECT_EQ(LumoIntToHex(-1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(LumoExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(LumoExtractFilePath("/x/y"), "/x/");
    EXPECT_EQ(LumoExtractFilePath("c:file"), "c:");
    EXPECT_EQ(LumoExtractFilePath("file"), "");
    EXPECT_EQ(LumoTrimLeft(" \t\x01 x "), "x ");
}

} // namespace
} // namespace kolvarin
