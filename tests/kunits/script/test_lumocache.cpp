#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "script/lumocache.h"
#include "script/lumoscript.h"

namespace kolvarin::script {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& path, const Bytes& b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}
void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = uint8_t(v >> (8 * k));
}

const char kSeven[] = "int main() { return 7; }\n";
const char kNine[] = "int g; int main() { outputblock(0); g = 9; return g; }\n";

class CacheFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = testing::TempDir() + "/lumo_cache_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(base);
        std::filesystem::create_directories(base);
    }
    std::string Path() const { return base + "/temp/t.lsc"; }
    uint32_t RunMain(TLumoScript& engine, const std::string& source)
    {
        EXPECT_TRUE(engine.Compile(source, "t.kgraph")) << engine.ErrorText();
        auto r = engine.CallProc("main");
        EXPECT_TRUE(r.ok) << r.error;
        return r.value;
    }
    // Writes the cache of kNine under the key of kSeven, so a run of kSeven
    // that returns 9 took its code from the file.
    void PlantNineAsSeven(bool compress = true)
    {
        TLumoScript seven(base, "temp");
        RunMain(seven, kSeven);
        TLumoScript nine(base, "temp");
        nine.compressCache = compress;
        RunMain(nine, kNine);
        Bytes file = ReadFile(Path());
        Put32(file, 8, seven.SourceCrc());
        WriteFile(Path(), file);
    }
    std::string base;
};

TEST_F(CacheFile, UnchangedSourceIsLoadedNotCompiled)
{
    for (bool compress : {true, false}) {
        PlantNineAsSeven(compress);
        EXPECT_EQ(ReadFile(Path())[12], compress ? 1 : 0);
        TLumoScript engine(base, "temp");
        EXPECT_EQ(RunMain(engine, kSeven), 9u);
    }
}

TEST_F(CacheFile, OtherOptionsOrAnotherNativeSetRecompile)
{
    struct Case {
        const char* what;
        std::function<void(TLumoScript&)> setup;
    } cases[] = {
        {"alignment off", [](TLumoScript& e) { e.alignment = false; }},
        {"breakpoint on", [](TLumoScript& e) { e.breakpointOption = true; }},
        {"one native more",
         [](TLumoScript& e) {
             e.onRegisterNatives = [](TLumoScript& s) {
                 s.AddNativeFunction("Extra", 0, execmem::ResultKind::Int, {});
             };
         }},
        {"no file name", nullptr},
    };
    for (const auto& c : cases) {
        PlantNineAsSeven();
        TLumoScript engine(base, "temp");
        if (c.setup) {
            c.setup(engine);
            EXPECT_EQ(RunMain(engine, kSeven), 7u) << c.what;
        } else {
            EXPECT_TRUE(engine.Compile(kSeven, ""));
            EXPECT_EQ(engine.CallProc("main").value, 7u);
        }
    }
    // A cache written with the breakpoint on is not taken with it off.
    TLumoScript breaking(base, "temp");
    breaking.breakpointOption = true;
    ASSERT_TRUE(breaking.Compile("int main() { breakpoint; return 1; }\n", "t.kgraph"));
    EXPECT_FALSE(breaking.CallProc("main").ok); // int3 ends the call
    TLumoScript plain(base, "temp");
    EXPECT_EQ(RunMain(plain, "int main() { breakpoint; return 1; }\n"), 1u);
}

TEST_F(CacheFile, DamagedFilesAreRecompiled)
{
    PlantNineAsSeven();
    Bytes good = ReadFile(Path());
    for (size_t cut : {size_t(3), size_t(12), size_t(16), good.size() - 1}) {
        WriteFile(Path(), Bytes(good.begin(), good.begin() + cut));
        TLumoScript engine(base, "temp");
        EXPECT_EQ(RunMain(engine, kSeven), 7u) << cut;
    }
    Bytes version2 = good;
    version2[4] = 2;
    WriteFile(Path(), version2);
    TLumoScript engine(base, "temp");
    EXPECT_EQ(RunMain(engine, kSeven), 7u);
}

TCacheContent SampleContent(const std::vector<TNativeEntry>& natives)
{
    TCacheContent c;
    c.image.code = {0xE8, 0, 0, 0, 0, 0xC3, 0, 0, 0, 0};
    c.image.zeroAreaSize = 4;
    c.image.publicFunctions = {{"main", 0}, {"S.m", 5}};
    c.image.publicVariables = {{"g", 6}};
    c.image.labels = {{"L1", 0}, {"g", 6}};
    c.image.fixups = {{FixupKind::NativeRel32, "n1", 1, 0}, {FixupKind::Absolute, "g", 2, -3}};
    c.natives = natives;
    c.natives[1].linkName = "n1";
    c.imports = {{"Beep", "i1", "kernel32.dll", "Beep"}};
    c.outputBlocks = {"<b>", ""};
    return c;
}

TEST(CacheFormat, RoundTripAndExactLayout)
{
    std::vector<TNativeEntry> registered{{"A", "", 0x100}, {"B", "", 0x200}};
    TCacheContent in = SampleContent(registered);
    for (bool pack : {false, true}) {
        Bytes file = WriteCacheFile(in, 0x12345678u, pack);
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 13),
                  (Bytes{'L', 'S', 'C', 'F', 1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12, uint8_t(pack)}));
        if (!pack) {
            EXPECT_EQ(file[13], 6); // code length without the zero area
            EXPECT_EQ(file[17], 4);
            EXPECT_EQ(Bytes(file.begin() + 49, file.begin() + 57),
                      (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
        }
        TCacheContent out;
        ASSERT_EQ(ReadCacheFile(file, 0x12345678u, registered, out), TCacheError::None) << pack;
        EXPECT_EQ(out.image.code, in.image.code);
        EXPECT_EQ(out.image.fixups.size(), 2u);
        EXPECT_EQ(out.image.fixups[1].addend, -3);
        EXPECT_EQ(out.natives[1].linkName, "n1");
        EXPECT_EQ(out.natives[1].address, 0x200u); // addresses are this run's
        EXPECT_EQ(out.imports[0].libraryName, "kernel32.dll");
        EXPECT_EQ(out.outputBlocks, in.outputBlocks);
    }
}

TEST(CacheFormat, EveryFieldIsChecked)
{
    std::vector<TNativeEntry> registered{{"A", "", 1}, {"B", "", 2}};
    const Bytes plain = WriteCacheFile(SampleContent(registered), 7, false);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        TCacheError error;
    };
    // Body offsets: 13 code length, 17 zero area, 21.. the counts.
    const Case cases[] = {
        {"magic", [](Bytes& f) { f[0] = 'X'; }, TCacheError::BadMagic},
        {"version 2", [](Bytes& f) { f[4] = 2; }, TCacheError::BadVersion},
        {"other key", [](Bytes& f) { f[8] ^= 1; }, TCacheError::OtherSource},
        {"packed flag 2", [](Bytes& f) { f[12] = 2; }, TCacheError::BadFlag},
        {"packed length beyond the file",
         [](Bytes& f) {
             f[12] = 1;
             Put32(f, 13, 0xFFFFFFF0u);
         },
         TCacheError::Truncated},
        {"code length beyond the file", [](Bytes& f) { Put32(f, 13, 0x7FFFFFFFu); }, TCacheError::Truncated},
        {"huge zero area", [](Bytes& f) { Put32(f, 17, 0xFFFFFFFFu); }, TCacheError::Truncated},
        {"function count", [](Bytes& f) { Put32(f, 21, 0x10000000u); }, TCacheError::Truncated},
        {"fix-up count", [](Bytes& f) { Put32(f, 33, 0xFFFFFFFFu); }, TCacheError::Truncated},
        {"native count", [](Bytes& f) { Put32(f, 37, 3); }, TCacheError::NativeCount},
        {"output block count", [](Bytes& f) { Put32(f, 45, 0xFFFFFFFFu); }, TCacheError::Truncated},
        {"function name length", [](Bytes& f) { Put32(f, 63, 0xFFFFFF00u); }, TCacheError::Truncated},
        {"function past the code", [](Bytes& f) { Put32(f, 71, 6); }, TCacheError::BadPosition},
        {"trailing byte", [](Bytes& f) { f.push_back(0); }, TCacheError::TrailingBytes},
    };
    for (const auto& c : cases) {
        Bytes f = plain;
        c.damage(f);
        TCacheContent out;
        out.outputBlocks = {"kept"};
        EXPECT_EQ(ReadCacheFile(f, 7, registered, out), c.error) << c.what;
        EXPECT_EQ(out.outputBlocks, std::vector<std::string>{"kept"}) << c.what; // nothing taken from a rejected file
    }
    TCacheContent out;
    std::vector<TNativeEntry> renamed{{"A", "", 1}, {"C", "", 2}};
    EXPECT_EQ(ReadCacheFile(plain, 7, renamed, out), TCacheError::UnknownNative);
    // Fix-up positions: the placeholder must lie inside the code.
    TCacheContent bad = SampleContent(registered);
    bad.image.fixups[0].position = 3; // 3 + 4 > 6 bytes of code
    EXPECT_EQ(ReadCacheFile(WriteCacheFile(bad, 7, true), 7, registered, out), TCacheError::BadPosition);
    for (size_t cut = 0; cut < plain.size(); ++cut)
        EXPECT_NE(ReadCacheFile(Bytes(plain.begin(), plain.begin() + cut), 7, registered, out), TCacheError::None)
            << cut;
}

} // namespace
} // namespace kolvarin::script
