// The engine as a host uses it: natives, public functions, prefixes of error
// lines, faults of running code, string ownership, and the mended faults.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "script/lumoscript.h"
#include "script/lumosupport.h"
#include "scriptrun.h"

namespace kolvarin::script {
namespace {

using execmem::ResultKind;

// Compiles SOURCE on ENGINE or fails the test with the error text.
void MustCompile(TLumoScript& engine, const std::string& source)
{
    ASSERT_TRUE(engine.Compile(source, "t.kgraph")) << engine.ErrorText();
}

TEST(LumoScript, CompileLaysOutTheSourceAndNamesTheCache)
{
    const std::string base = testing::TempDir() + "/lumo_base";
    std::filesystem::remove_all(base);
    std::filesystem::create_directory(base);
    TLumoScript engine(base, "temp");
    EXPECT_EQ(engine.CacheFolder(), base + "/temp/");
    EXPECT_TRUE(std::filesystem::is_directory(base + "/temp"));
    engine.onPreCode = [](TLumoScript&, std::string& text) { text = "int pre;\n"; };
    engine.onDeclareNatives = [](TLumoScript& e) { e.AddNativeDeclaration("native void Host();"); };
    engine.onRegisterNatives = [](TLumoScript& e) {
        e.AddNativeFunction("Host", 0, ResultKind::Void, [](auto&) { return 0u; });
    };
    MustCompile(engine, "int x;");
    const std::string& source = engine.SourceStream();
    // The prototypes fill the first line, then the pre-code, then the script.
    EXPECT_EQ(source.rfind("native int round(float number);native int trunc(float number);", 0), 0u);
    // The preprocessor ends each line with CR LF, all but an unterminated last one.
    EXPECT_EQ(source.substr(source.size() - 37), "native void Host();\r\nint pre;\r\nint x;");
    EXPECT_EQ(engine.SourceCrc(), Crc32(source));
    EXPECT_EQ(engine.CacheFileName(), "t.lsc");
    EXPECT_TRUE(engine.Compile("int x;", ""));
    EXPECT_EQ(engine.CacheFileName(), "");
    EXPECT_EQ(engine.Defines().size(), 4u);
    EXPECT_TRUE(engine.Compile("", "c:\\graphs\\avi.kgraph"));
    EXPECT_EQ(engine.CacheFileName(), "avi.lsc");
}

TEST(LumoScript, GetProcFindsTrimmedExactNamesOnlyWhenLinked)
{
    TLumoScript engine;
    EXPECT_EQ(engine.GetProc("$start"), 0u);
    MustCompile(engine, "void Filter() { }\nstruct S { void m(); };\nvoid S::m() { }");
    EXPECT_NE(engine.GetProc("  Filter "), 0u);
    EXPECT_NE(engine.GetProc("S.m"), 0u);
    EXPECT_EQ(engine.GetProc("filter"), 0u);
    engine.Clear();
    EXPECT_EQ(engine.GetProc("Filter"), 0u);
}

TEST(LumoScript, HostNativesSeeTheLastArgumentFirstUnlessStdcall)
{
    TLumoScript engine;
    std::vector<std::string> seen;
    auto record = [&seen, &engine](execmem::HostCall& c) {
        seen.push_back(ScriptStringToString(engine.Space(), c.Arg(0)) + "," + std::to_string(c.Arg(1)));
        return 7u;
    };
    engine.onRegisterNatives = [&](TLumoScript& e) {
        e.AddNativeFunction("Plain", 2, ResultKind::Int, record);
        e.AddNativeFunction("Ordered", 2, ResultKind::Int, record);
    };
    engine.onDeclareNatives = [](TLumoScript& e) {
        e.AddNativeDeclaration("native int Plain(int n, string s);");
        e.AddNativeDeclaration("native stdcall int Ordered(string s, int n);");
    };
    MustCompile(engine, "int r; r = Plain(5, \"abc\") + Ordered(\"xy\", 9); print(r);");
    auto result = engine.CallProc("$start");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(engine.OutputText(), "14");
    EXPECT_EQ(seen, (std::vector<std::string>{"abc,5", "xy,9"}));
}

TEST(LumoScript, EachCompileRegistersTheNativesAgain)
{
    TLumoScript engine;
    MustCompile(engine, "");
    size_t once = engine.Natives().size();
    MustCompile(engine, "");
    EXPECT_EQ(engine.Natives().size(), 2 * once);
    engine.Clear();
    EXPECT_TRUE(engine.Natives().empty());
}

TEST(LumoScript, CallsPassArgumentsAndReturnIntegersAndFloats)
{
    TLumoScript engine;
    MustCompile(engine, "int mul(int a, int b) { return a * b; }\nfloat half(int a) { return a / 2.0; }");
    const uint32_t args[] = {6, 7};
    auto product = engine.CallProc("mul", args);
    ASSERT_TRUE(product.ok) << product.error;
    EXPECT_EQ(product.value, 42u);
    const uint32_t one[] = {5};
    auto half = engine.CallProc("half", one, ResultKind::Float);
    ASSERT_TRUE(half.ok) << half.error;
    EXPECT_FLOAT_EQ(half.fvalue, 2.5f);
}

TEST(LumoScript, AStringFunctionWithoutAValueReturnsNil)
{
    // Without a value the result would be whatever EAX held, here the
    // argument the caller still owns, and releasing it would free it early.
    EXPECT_EQ(test::RunScript(
                  "string keep;\nstring none(string s) { if (length(s) > 99) return s; }\n"
                  "string empty(string s) { return; }\n"
                  "int main() { int i; keep = \"ab\" + \"c\"; for (i = 0; i < 5; i++) { none(keep); empty(keep); }"
                  " print(keep, length(none(keep)), length(empty(keep))); }",
                  "t.kgraph"),
              "abc00");
}

TEST(LumoScript, HostStringsFollowTheOwnershipRule)
{
    TLumoScript engine;
    MustCompile(engine, "string greet(string name) { return \"Hi \" + name; }");
    const size_t linked = engine.Space().LiveAllocations();
    const uint32_t args[] = {StringToScriptString(engine.Space(), "Bob")};
    auto result = engine.CallProc("greet", args);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(ScriptStringToString(engine.Space(), result.value), "Hi Bob");
    ReleaseScriptString(engine.Space(), result.value);
    EXPECT_EQ(engine.Space().LiveAllocations(), linked);
}

TEST(LumoScript, ErrorLinesNameThePreCodeAndThePrefixLineCount)
{
    TLumoScript engine;
    engine.onPreCode = [](TLumoScript&, std::string& text) { text = "int a;\nint b;\nint c;\n"; };
    EXPECT_FALSE(engine.Compile("int d;\nq = 1;", "f.kgraph"));
    EXPECT_EQ(engine.PrefixLineCount(), 4);
    EXPECT_EQ(engine.ErrorText(), "[f.kgraph](2,1) Error: Variable not defined");
    engine.onPreCode = [](TLumoScript&, std::string& text) { text = "int a;\nbad = 1;\n"; };
    EXPECT_FALSE(engine.Compile("", "f.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "OwnPreCode(5,3) Error: Variable not defined");
    EXPECT_EQ(engine.CodeMemory(), 0u);
}

TEST(LumoScript, AnErrorInTheHostDeclarationsNamesThePreCode)
{
    TLumoScript engine;
    engine.onDeclareNatives = [](TLumoScript& e) { e.AddNativeDeclaration("native void Unregistered();"); };
    EXPECT_FALSE(engine.Compile("", "f.kgraph"));
    EXPECT_EQ(engine.ErrorText().substr(0, 11), "OwnPreCode(");
    EXPECT_NE(engine.ErrorText().find("Native function/procedure not found"), std::string::npos);
}

TEST(LumoScript, OnlyTheStubsAScriptUsesAreLaidDown)
{
    TLumoScript engine;
    auto stubLabels = [&engine] {
        std::vector<std::string> labels;
        for (const TLabel& l : engine.Image().labels)
            if (l.name.rfind("C_", 0) == 0 && l.name != "C_Exit")
                labels.push_back(l.name);
        return labels;
    };
    MustCompile(engine, "int a; a = 1;");
    EXPECT_TRUE(stubLabels().empty());
    MustCompile(engine, "string s; s = \"x\"; print(s, 1);");
    EXPECT_EQ(stubLabels(), (std::vector<std::string>{"C_PrintString", "C_WRITENUMUNSIGNED", "C_StrAssign"}));
}

TEST(LumoScript, ErrorBeyondTheLineMapHasNoPosition)
{
    TLumoScript engine;
    engine.LineMap().clear();
    engine.Error(TLumoError::ExpressionError, engine.PrefixLineCount() + 5, 1);
    EXPECT_EQ(engine.ErrorText(), "[?] Error: Error in expression\r\n");
}

TEST(LumoScript, FaultsOfRunningCodeBecomeErrorsAndTheEngineGoesOn)
{
    TLumoScript engine;
    // An instruction budget, not wall time: a loaded machine must not turn the
    // stack overflow of `deep` into a time-out.
    engine.SetLimits(0, 20000000);
    engine.breakpointOption = true;
    MustCompile(engine, "int zero;\n"
                        "int divide() { return 1 / zero; }\n"
                        "int wild() { int *p; p = 16; return *p; }\n"
                        "void spin() { while (1) { } }\n"
                        "void stop() { breakpoint; }\n"
                        "int deep(int n) { return deep(n + 1); }\n"
                        "int fine() { return 3; }\n");
    struct {
        const char* proc;
        const char* error;
    } faults[] = {{"divide", "division by zero"},
                  {"wild", "invalid memory read"},
                  {"spin", "time limit exceeded"},
                  {"stop", "breakpoint"},
                  {"deep", "invalid memory write"}};
    for (const auto& f : faults) {
        auto result = engine.CallProc(f.proc);
        EXPECT_FALSE(result.ok) << f.proc;
        EXPECT_NE(result.error.find(f.error), std::string::npos) << f.proc << ": " << result.error;
    }
    auto result = engine.CallProc("fine");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.value, 3u);
    // A second engine: taking the budget away again makes the emulator drop
    // its whole translation buffer, seconds spent on nothing this test checks.
    TLumoScript timed;
    timed.SetLimits(300);
    MustCompile(timed, "void spin() { while (1) { } }\n");
    EXPECT_FALSE(timed.CallProc("spin").ok) << "wall time ends it too";
}

TEST(LumoScript, OutputBlocksPrintByIndex)
{
    TLumoScript engine;
    MustCompile(engine, "outputblock(1); outputblock(5); outputblock(-1); outputblock(0);");
    engine.OutputBlocks() = {"<a>", "<b>"};
    ASSERT_TRUE(engine.CallProc("$start").ok);
    EXPECT_EQ(engine.OutputText(), "<b><a>");
}

TEST(LumoScript, PublicVariablesAreListedWithStaticsQualified)
{
    TLumoScript engine;
    MustCompile(engine, "int g; int f() { static int n; return n; } int h() { static int n; return n; }");
    std::vector<std::string> names;
    for (const TPublicEntry& v : engine.Image().publicVariables)
        names.push_back(v.name);
    EXPECT_EQ(names, (std::vector<std::string>{"g", "n.f", "n.h"}));
}

TEST(LumoScript, BreakpointIsNothingWithoutTheOption)
{
    TLumoScript engine;
    MustCompile(engine, "int stop() { breakpoint; return 1; }");
    EXPECT_TRUE(engine.CallProc("stop").ok);
}

TEST(LumoScript, ArgumentsBeyondSixtyFourKilobytesAreRejected)
{
    TLumoScript engine;
    EXPECT_FALSE(engine.Compile("struct Big { int a[16384]; };\nvoid f(Big b) { }", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[t.kgraph](2,12) Error: Error in function parameter definition");
    MustCompile(engine, "struct Big { int a[16383]; };\nvoid f(Big b) { }");
}

TEST(LumoScript, GotoOutOfSwitchesDropsTheirSelectors)
{
    // Each pass leaves two switches; 140000 passes that kept their selectors on
    // the stack would overflow its 1 MB.
    EXPECT_EQ(test::RunScript("int n; int v;\nagain:\nn++;\nswitch (v) { case 0: switch (v) { case 0: if (n < 140000)"
                              " goto again; } }\nprint(n);",
                              "t.kgraph"),
              "140000");
}

TEST(LumoScript, ReturnFromInsideASwitchRestoresTheCallersRegisters)
{
    TLumoScript engine;
    MustCompile(engine, "int pick(int v) { switch (v) { case 1: return 10; default: return 20; } }");
    uint32_t pick = engine.GetProc("pick");
    // Sets EBX, ECX, EDX and EDI, calls pick(1) and returns the bits in which
    // any of them changed.
    std::vector<uint8_t> thunk = {0xBB, 0x11, 0x11, 0x11, 0x11, // mov ebx,11111111h
                                  0xB9, 0x22, 0x22, 0x22, 0x22, // mov ecx,22222222h
                                  0xBA, 0x33, 0x33, 0x33, 0x33, // mov edx,33333333h
                                  0xBF, 0x44, 0x44, 0x44, 0x44, // mov edi,44444444h
                                  0x6A, 0x01, // push 1
                                  0xE8, 0,    0,    0,    0, // call pick
                                  0x81, 0xF3, 0x11, 0x11, 0x11, 0x11, 0x81, 0xF1, 0x22, 0x22, 0x22,
                                  0x22, 0x81, 0xF2, 0x33, 0x33, 0x33, 0x33, 0x81, 0xF7, 0x44, 0x44,
                                  0x44, 0x44, 0x09, 0xCB, 0x09, 0xD3, 0x09, 0xFB, // or ebx,ecx; or ebx,edx; or ebx,edi
                                  0x89, 0xD8, 0xC3}; // mov eax,ebx; ret
    uint32_t at = engine.Space().Allocate(thunk.size());
    uint32_t rel = pick - (at + 27);
    for (int i = 0; i < 4; ++i)
        thunk[23 + i] = static_cast<uint8_t>(rel >> (8 * i));
    engine.Space().Write(at, thunk.data(), thunk.size());
    auto result = engine.Call(at);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.value, 0u);
}

TEST(LumoScript, AFailedLinkLeavesNoCode)
{
    TLumoScript engine;
    MustCompile(engine, "int f() { return 1; }");
    EXPECT_FALSE(engine.Compile("int f() { return 1; }\nbreak;", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[Link] Error: Code fix up error");
    EXPECT_EQ(engine.CodeMemory(), 0u);
    EXPECT_EQ(engine.GetProc("f"), 0u);
}

TEST(LumoScript, ANilNativeAddressFailsTheLink)
{
    TLumoScript engine;
    engine.onRegisterNatives = [](TLumoScript& e) { e.AddNativeFunction("Gone", 0); };
    engine.onDeclareNatives = [](TLumoScript& e) { e.AddNativeDeclaration("native void Gone();"); };
    EXPECT_FALSE(engine.Compile("Gone();", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[Link] Error: Native function/procedure is a null pointer");
}

TEST(LumoScript, StringsAreNeitherLeakedNorFreedTwice)
{
    TLumoScript engine;
    const size_t before = engine.Space().LiveAllocations();
    MustCompile(engine, "struct Named { string name; int n; };\n"
                        "string g; string list[3]; Named keep;\n"
                        "string twice(string s) { string t; t = s + s; return t; }\n"
                        "Named make(string s) { Named r; r.name = s + \"!\"; r.n = 1; return r; }\n"
                        "string pass(string s) { g = \"other\"; return s; }\n"
                        "int change(string s, Named n) { s = s + \"?\"; n.name = s; return length(n.name); }\n"
                        "int main() { int i; string acc; Named a, b;\n"
                        "  for (i = 0; i < 50; i++) { acc = acc + twice(\"ab\"); acc += \"c\"; }\n"
                        "  list[1] = copy(acc, 0, 5); list[2] = list[1];\n"
                        "  a = make(\"x\"); b = a; keep = b;\n"
                        "  for (i = 0; i < 20; i++) change(acc, a);\n"
                        "  g = uppercase(\"abc\"); print(pass(g), \" \", length(acc), \" \", keep.name, \" \", "
                        "change(g, a), \"\\n\");\n"
                        "}\n");
    const size_t linked = engine.Space().LiveAllocations();
    for (const char* proc : {"$start", "$main", "$end"}) {
        auto result = engine.CallProc(proc);
        ASSERT_TRUE(result.ok) << proc << ": " << result.error;
    }
    EXPECT_EQ(engine.OutputText(), "ABC 250 x! 6\n");
    EXPECT_EQ(engine.Space().LiveAllocations(), linked);
    engine.Clear();
    EXPECT_EQ(engine.Space().LiveAllocations(), before);
}

TEST(LumoScript, TopLevelReturnLeavesThroughStart)
{
    TLumoScript engine;
    MustCompile(engine, "print(1); if (1) return; print(2);");
    for (int run = 0; run < 2; ++run) {
        auto result = engine.CallProc("$start");
        ASSERT_TRUE(result.ok) << result.error;
    }
    EXPECT_EQ(engine.OutputText(), "11");
}

TEST(LumoScript, LibraryNativesKeepTheirEdgeCases)
{
    EXPECT_EQ(test::RunScript("print(copy(\"abc\", 1, 2147483647), \"|\", copy(\"abc\", 2147483647, 2147483647), \"|\","
                              " charat(\"abc\", -1), \"|\", pos(\"\", \"abc\", 0), \"|\", inttobase(0, 16), \"|\","
                              " uinttohex(4294967295), \"|\", getmem(-1), \"|\", posex(\"B\", \"abc\", -5));",
                              "t.kgraph"),
              "bc||0|-1||FFFFFFFF|0|1");
}

TEST(LumoScript, ScriptMemoryAndFilesWork)
{
    std::string path = testing::TempDir() + "/lumo_file.txt";
    std::string script = "int h; int *p; string line;\n"
                         "p = getmem(8); *p = 0x636261; print(setstring(p, 3)); free(p);\n"
                         "h = filecreate(\"" +
                         path +
                         "\"); filewriteline(h, \"first\"); fileclose(h);\n"
                         "h = fileopen(\"" +
                         path +
                         "\"); line = filereadline(h);\n"
                         "print(\" \", line, \" \", filesize(h), \" \", fileeof(h)); fileclose(h);\n";
    EXPECT_EQ(test::RunScript(script, "t.kgraph"), "abc first 7 1");
    EXPECT_EQ(test::RunScript("fileclose(5);", "t.kgraph"), "Run error: fileclose: invalid file handle\n");
}

} // namespace
} // namespace kolvarin::script
