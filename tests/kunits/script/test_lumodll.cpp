#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "archivewriter.h"
#include "base/bytereader.h"
#include "script/lumodll.h"
#include "script/lumoexporttree.h"
#include "script/lumoscript.h"

namespace kolvarin::script {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ExportTree, AddAndFind)
{
    TExportTree tree;
    EXPECT_TRUE(tree.Add("b", 1));
    uint32_t v = 0;
    EXPECT_FALSE(tree.Find("ab", v));
    EXPECT_FALSE(tree.Add("", 9));
    for (const char* name : {"delta", "alpha", "alp", "charlie",
                             "\xFF"
                             "high"})
        EXPECT_TRUE(tree.Add(name, name[0]));
    EXPECT_FALSE(tree.Add("alpha", 77)); // the first value stays
    for (const char* name : {"b", "delta", "alpha", "alp", "charlie",
                             "\xFF"
                             "high"}) {
        ASSERT_TRUE(tree.Find(name, v)) << name;
        EXPECT_EQ(v, name[0] == 'b' ? 1u : uint32_t(name[0])) << name;
    }
    for (const char* name : {"al", "alphas", "c", "", "e"})
        EXPECT_FALSE(tree.Find(name, v)) << name;
}

#ifdef KOLVARIN_SCRIPT_DLLS
const std::string kDlls = KOLVARIN_SCRIPT_DLLS;
#else
const std::string kDlls;
#endif

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le32(const Bytes& b, size_t at) { return kolvarin::Le32(b.data() + at); }
void Put32(Bytes& b, size_t at, uint32_t v) { kolvarin::PutLe32(b.data() + at, v); }

// Offsets of the fixture's header fields, read from the file itself.
struct PeLayout {
    explicit PeLayout(const Bytes& f)
        : pe(Le32(f, 0x3C)), optional(pe + 24), sections(optional + kolvarin::Le16(f.data() + pe + 20)), file(f)
    {}
    size_t Directory(int d) const { return optional + 96 + 8 * d; }
    size_t RvaToOffset(uint32_t rva) const
    {
        for (size_t s = 0; s < size_t(file[pe + 6]); ++s) {
            size_t at = sections + 40 * s;
            uint32_t va = Le32(file, at + 12), raw = Le32(file, at + 16);
            if (rva >= va && rva < va + raw)
                return Le32(file, at + 20) + (rva - va);
        }
        return 0;
    }
    size_t pe, optional, sections;
    const Bytes& file;
};

class DllLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (kDlls.empty())
            GTEST_SKIP() << "no i686 MinGW compiler: no fixtures";
        space.SetLimits(500, 0);
    }
    uint32_t CallInt(uint32_t address, std::initializer_list<uint32_t> pushed = {})
    {
        std::vector<uint32_t> args(pushed);
        auto r = space.Call(address, args, execmem::ResultKind::Int);
        EXPECT_TRUE(r.ok) << r.error;
        return r.value;
    }
    // Heap blocks and library mappings held in the space.
    std::pair<size_t, size_t> Taken() const { return {space.LiveAllocations(), space.LibraryMappings()}; }
    execmem::ExecSpace space;
};

TEST_F(DllLoader, MapsRelocatesAttachesAndExports)
{
    auto before = Taken();
    {
        TDynamicLinkLibrary lib(space, "fixa.dll");
        ASSERT_TRUE(lib.LoadLibrary(kDlls + "/fixa.dll")) << int(lib.LastError());
        EXPECT_NE(lib.Delta(), 0); // the library area lies far below the preferred base
        EXPECT_EQ(lib.ImageBase() % 0x10000, 0u);
        uint32_t add = lib.GetProcAddress("Add");
        ASSERT_NE(add, 0u);
        EXPECT_EQ(CallInt(add, {3, 2}), 5u);
        EXPECT_EQ(CallInt(lib.GetProcAddress("TableAt"), {2}), 30u); // through a relocated pointer
        // The entry function ran with instance, reason 1 and a zero reserved argument.
        EXPECT_EQ(CallInt(lib.GetProcAddress("AttachReason")), 1u);
        EXPECT_EQ(CallInt(lib.GetProcAddress("AttachInstance")), lib.ImageBase());
        EXPECT_EQ(CallInt(lib.GetProcAddress("AttachReserved")), 0u);
        // By ordinal only, and forwarders to itself and to a library beside it.
        EXPECT_EQ(CallInt(lib.GetProcAddress("#7")), 4242u);
        EXPECT_EQ(lib.GetProcAddress("Secret"), 0u);
        EXPECT_EQ(lib.GetProcAddress("Plus"), add);
        uint32_t sub = lib.GetProcAddress("Sub");
        ASSERT_NE(sub, 0u);
        EXPECT_EQ(CallInt(sub, {3, 10}), 7u);
        EXPECT_EQ(lib.GetProcAddress("add"), 0u);
        EXPECT_EQ(lib.GetProcAddress("#99"), 0u);
        EXPECT_EQ(lib.Exports().size(), 9u);
        // Code is not writable once mapped.
        auto text = std::find_if(lib.Sections().begin(), lib.Sections().end(),
                                 [](const TSections& s) { return s.characteristics & (1u << 29); });
        ASSERT_NE(text, lib.Sections().end());
        uint8_t code[] = {0xC7, 0x05, 0, 0, 0, 0, 1, 0, 0, 0, 0xC3}; // mov dword [text], 1; ret
        uint32_t stub = space.Allocate(sizeof code);
        std::memcpy(code + 2, &text->address, 4);
        space.Write(stub, code, sizeof code);
        EXPECT_FALSE(space.Call(stub, {}, execmem::ResultKind::Int).ok);
        space.Free(stub);
    }
    EXPECT_EQ(Taken(), before);
}

TEST_F(DllLoader, RefusedLibraries)
{
    auto before = Taken();
    struct Case {
        const char* file;
        TDllError error;
    } cases[] = {{"fixk32.dll", TDllError::ImportFailed},
                 {"fixrefuse.dll", TDllError::EntryFailed},
                 {"missing.dll", TDllError::ReadFailed}};
    for (const auto& c : cases) {
        TDynamicLinkLibrary lib(space, c.file);
        EXPECT_FALSE(lib.LoadLibrary(kDlls + "/" + c.file)) << c.file;
        EXPECT_EQ(lib.LastError(), c.error) << c.file;
        EXPECT_EQ(lib.GetProcAddress("Ticks"), 0u);
    }
    EXPECT_EQ(Taken(), before);
}

TEST_F(DllLoader, DamagedImages)
{
    const Bytes good = ReadFile(kDlls + "/fixa.dll");
    ASSERT_GT(good.size(), 1024u);
    PeLayout pe(good);
    auto relocations = pe.RvaToOffset(Le32(good, pe.Directory(5)));
    auto exports = pe.RvaToOffset(Le32(good, pe.Directory(0)));
    ASSERT_NE(relocations, 0u);
    ASSERT_NE(exports, 0u);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        TDllError error;
    };
    const Case cases[] = {
        {"no MZ", [](Bytes& f) { f[0] = 'Z'; }, TDllError::BadDosHeader},
        {"new header beyond the file", [](Bytes& f) { Put32(f, 0x3C, uint32_t(f.size())); }, TDllError::BadDosHeader},
        {"no PE signature", [&](Bytes& f) { f[pe.pe + 1] = 'X'; }, TDllError::BadPeHeader},
        {"x86-64 machine",
         [&](Bytes& f) {
             f[pe.pe + 4] = 0x64;
             f[pe.pe + 5] = 0x86;
         },
         TDllError::BadMachine},
        {"no sections", [&](Bytes& f) { f[pe.pe + 6] = 0; }, TDllError::BadLayout},
        {"more sections than any loader takes", [&](Bytes& f) { f[pe.pe + 6] = 97; }, TDllError::BadLayout},
        {"huge image", [&](Bytes& f) { Put32(f, pe.optional + 56, 0xFFFFF000u); }, TDllError::BadLayout},
        {"section data beyond the file", [&](Bytes& f) { Put32(f, pe.sections + 20, 0xFFFFFF00u); },
         TDllError::BadLayout},
        {"section beyond the image", [&](Bytes& f) { Put32(f, pe.sections + 12, 0x7FFFF000u); }, TDllError::BadLayout},
        {"relocations stripped, away from its base", [&](Bytes& f) { f[pe.pe + 22] |= 1; }, TDllError::BadRelocation},
        {"relocation block of 4 bytes", [&](Bytes& f) { Put32(f, relocations + 4, 4); }, TDllError::BadRelocation},
        {"relocation block past its directory", [&](Bytes& f) { Put32(f, relocations + 4, 0x10000); },
         TDllError::BadRelocation},
        {"relocation page outside the sections", [&](Bytes& f) { Put32(f, relocations, 0x00F00000); },
         TDllError::BadRelocation},
        {"relocation directory outside the image", [&](Bytes& f) { Put32(f, pe.Directory(5), 0xFFFFFFF0u); },
         TDllError::BadRelocation},
        {"import directory outside the image", [&](Bytes& f) { Put32(f, pe.Directory(1), 0xFFFFFFF0u); },
         TDllError::BadImport},
        {"export table too long", [&](Bytes& f) { Put32(f, exports + 20, 0x40000000u); }, TDllError::BadExport},
        {"export name outside the image", [&](Bytes& f) { Put32(f, exports + 32, 0x00FFFFFFu); }, TDllError::BadExport},
    };
    auto before = Taken();
    for (const auto& c : cases) {
        Bytes f = good;
        c.damage(f);
        TDynamicLinkLibrary lib(space, "fixa.dll");
        EXPECT_FALSE(lib.LoadFromStream(f)) << c.what;
        EXPECT_EQ(lib.LastError(), c.error) << c.what;
        if (c.error <= TDllError::BadLayout) {
            EXPECT_EQ(Taken(), before) << c.what; // refused before any memory is taken
        }
    }
    for (size_t cut : {size_t(0), size_t(63), size_t(200), size_t(1023)}) {
        TDynamicLinkLibrary lib(space, "fixa.dll");
        EXPECT_FALSE(lib.LoadFromStream(Bytes(good.begin(), good.begin() + cut))) << cut;
    }
    EXPECT_EQ(Taken(), before);
}

TEST_F(DllLoader, ScriptsCallImportedFunctions)
{
    TLumoScript engine;
    const std::string lib = kDlls + "/fixa.dll";
    ASSERT_TRUE(engine.Compile("import stdcall int Diff(int a, int b) (\"" + lib +
                                   "\", \"Diff\");\n"
                                   "import int Reason() (\"" +
                                   lib +
                                   "\", \"AttachReason\");\n"
                                   "int main() { return Diff(10, 3) * 10 + Reason(); }\n",
                               "t.kgraph"))
        << engine.ErrorText();
    auto r = engine.CallProc("main");
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.value, 71u);
    // A library that imports from a system library cannot be loaded here.
    engine.Clear();
    EXPECT_FALSE(engine.Compile("import int Ticks() (\"" + kDlls +
                                    "/fixk32.dll\", \"Ticks\");\n"
                                    "int main() { return Ticks(); }\n",
                                "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[Link] Error: Code fix up error");
}

TEST_F(DllLoader, ImportsFallBackToTheAttachedArchive)
{
    const std::vector<uint8_t> key2{4, 2};
    auto file = test::BuildArchive({{"packed.dll", ReadFile(kDlls + "/fixa.dll")}}, "k", key2);
    TLumoArchiveReader reader(std::make_unique<std::istringstream>(std::string(file.begin(), file.end())), "k", key2);
    const std::string source =
        "import stdcall int Diff(int a, int b) (\"packed.dll\", \"Diff\");\nint main() { return Diff(50, 8); }\n";
    TLumoScript engine;
    EXPECT_FALSE(engine.Compile(source, "t.kgraph")); // not on disk, and no archive
    engine.Clear();
    engine.archive = &reader;
    ASSERT_TRUE(engine.Compile(source, "t.kgraph")) << engine.ErrorText();
    EXPECT_EQ(engine.CallProc("main").value, 42u);
}

} // namespace
} // namespace kolvarin::script
