#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "script/lumopreproc.h"
#include "script/lumoscript.h"

namespace kolvarin::script {
namespace {

struct Files {
    std::map<std::string, std::string> files;
    int reads = 0;
    TIncludeReader Reader()
    {
        return [this](const std::string& name) {
            ++reads;
            auto it = files.find(name);
            return it == files.end() ? std::string() : it->second;
        };
    }
};

TPreprocessResult Pre(const std::string& source, Files& files, std::vector<TDefineEntry> defines = {})
{
    return Preprocess(source, defines, "main.kgraph", 0, files.Reader());
}

// The output lines without their CR LF.
std::string Out(const TPreprocessResult& r)
{
    std::string text;
    for (char c : r.text)
        if (c != '\r')
            text += c;
    return text;
}

TEST(Preprocessor, ConditionalsAndDefines)
{
    struct Case {
        const char* source;
        const char* output;
    } cases[] = {
        {"#define A\n#ifdef A\nyes\n#else\nno\n#endif\n", "yes\n"},
        {"#ifdef A\nyes\n#else\nno\n#endif\n", "no\n"},
        {"#ifndef A\nyes\n#endif\nafter\n", "yes\nafter\n"},
        {"#ifdef A\n#ifdef B\nx\n#else\ny\n#endif\nz\n#else\nw\n#endif\n", "w\n"},
        {"#define B\n#ifdef B\n#ifdef A\nx\n#else\ny\n#endif\nz\n#endif\n", "y\nz\n"},
        {"#ifdef A\n#define C 5\n#endif\nC\n", "C\n"}, // a define in a skipped block defines nothing
        {"#define N 42\nint x = N; int NN = N2;\n", "int x = 42; int NN = N2;\n"},
        {"#define N 1\n#define N 2\nN\n", "1\n"}, // the first definition stays
        {"#define N 1\n#undef N\nN\n#ifdef N\nstill\n#endif\n", "N\n"},
        {"#endif\n#else\ntext\n#pragma whatever\n", "text\n"},
        {"#define ADD(a, b) ((a) + (b))\nADD(1, x)\n", "((1) + (x))\n"},
        {"#define ONE 1\n#define TWO (ONE+ONE)\n", ""}, // "(" starts a parameter list: malformed
        {"#define SQ(v) v*v\n#define X SQ(3)\nX;\n", "3*3;\n"},
        {"#define M(a) [a]\nM( spaced  )\n", "[spaced  ]\n"},
    };
    for (const auto& c : cases) {
        Files files;
        EXPECT_EQ(Out(Pre(c.source, files)), c.output) << c.source;
    }
    Files files;
    EXPECT_EQ(Out(Pre("#ifdef HOST\nh\n#endif\n", files, {{"HOST", "", {}}})), "h\n");
}

TEST(Preprocessor, MalformedAndRunawayMacrosEndInErrors)
{
    struct Case {
        const char* source;
        const char* output;
        size_t errors;
    } cases[] = {
        {"#define TWO(a, b) a+b\nTWO(1)\n", "(1)\n", 1}, // the name is removed, the line written
        {"#define F(a) a\nF 1\n", " 1\n", 1},
        {"#define F(a) a\nF(1\n", "(1\n", 1},
        {"#define BAD(a b) a\nx\n", "x\n", 1},
        {"#define OPEN(a\nx\n", "x\n", 1},
        {"#define A B\n#define B A\nA\n", nullptr, 1},
        {"#define X X X\nX\n", nullptr, 1},
        {"#define R(a) R(a)\nR(1)\n", nullptr, 1},
    };
    for (const auto& c : cases) {
        Files files;
        auto r = Pre(c.source, files);
        if (c.output) {
            EXPECT_EQ(Out(r), c.output) << c.source;
        }
        EXPECT_EQ(r.errors.size(), c.errors) << c.source;
        EXPECT_LE(r.text.size(), 4 * kMaxLineLength) << c.source;
    }
}

TEST(Preprocessor, MultiLineDefinitionsKeepTheLineMap)
{
    Files files;
    auto r = Pre("#define BODY a = 1; \\\n  b = 2; \\\n  c = 3;\nBODY\nafter\n", files);
    EXPECT_EQ(Out(r), "a = 1; \n  b = 2; \n  c = 3;\nafter\n");
    // Three output lines from source line 4, then line 5.
    ASSERT_EQ(r.lineMap.size(), 4u);
    EXPECT_EQ(r.lineMap[0].line, 4);
    EXPECT_EQ(r.lineMap[2].line, 4);
    EXPECT_EQ(r.lineMap[3].line, 5);
}

TEST(Preprocessor, IncludesAndTheirLineMap)
{
    Files files;
    files.files["inc.h"] = "one\ntwo\nthree\n";
    files.files["self.h"] = "s\n#include \"self.h\"\n";
    auto r = Pre("first\n#include \"inc.h\"\nsecond\n#include <inc.h>\n#includeonce inc.h\nlast\n", files);
    // A skipped #includeonce still leaves its empty line.
    EXPECT_EQ(Out(r), "first\n\none\ntwo\nthree\nsecond\n\none\ntwo\nthree\n\nlast\n");
    EXPECT_EQ(r.fileNames, (std::vector<std::string>{"main.kgraph", "inc.h", "inc.h"}));
    ASSERT_EQ(r.lineMap.size(), 12u);
    EXPECT_EQ(r.lineMap[3].line, 2); // "two" in inc.h
    EXPECT_EQ(r.lineMap[3].fileIndex, 1);
    EXPECT_EQ(r.lineMap[5].line, 3); // "second" keeps its own line in the main file
    EXPECT_EQ(r.lineMap[5].fileIndex, 0);
    EXPECT_EQ(r.lineMap[11].line, 6);

    auto once = Pre("#includeonce \"inc.h\"\n#includeonce <inc.h>\n", files);
    EXPECT_EQ(Out(once), "\none\ntwo\nthree\n\n");

    files.reads = 0;
    auto self = Pre("#include self.h\nend\n", files);
    EXPECT_EQ(self.errors.size(), 1u);
    EXPECT_LT(files.reads, kMaxIncludeDepth + 1);
    EXPECT_NE(Out(self).find("end\n"), std::string::npos);

    files.files["twice.h"] = "#include twice.h\n#include twice.h\n";
    files.reads = 0;
    auto twice = Pre("#include twice.h\n", files);
    EXPECT_FALSE(twice.errors.empty());
    EXPECT_LE(files.reads, int(kMaxIncludedFiles));
}

TEST(Preprocessor, EngineErrorsNameTheFileAndLine)
{
    const std::string dir = testing::TempDir() + "/lumo_preproc";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/lib.h") << "int a;\nint b\nint c;\n";
    TLumoScript engine;
    engine.onPreCode = [](TLumoScript&, std::string& text) { text = "int pre;\n"; };
    EXPECT_FALSE(engine.Compile("int x;\n#include \"" + dir + "/lib.h\"\nint y;\n", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText().rfind("[" + dir + "/lib.h](3,", 0), 0u) << engine.ErrorText();

    engine.Clear();
    EXPECT_FALSE(engine.Compile("int x;\n\n#define P(a, b) a\nint y = P(1);\n", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[t.kgraph](4,0) Error: Preprocessor error");
    engine.Clear();
    EXPECT_FALSE(engine.Compile("int x;\n#define BAD(\nint y;\n", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[t.kgraph](2,0) Error: Preprocessor error");

    engine.Clear();
    EXPECT_TRUE(engine.Compile("#define SIZE 3\nint t[SIZE];\n#ifdef LumoScript\nint main() { return SIZE; }\n#endif\n",
                               "t.kgraph"))
        << engine.ErrorText();
    auto r = engine.CallProc("main");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 3u);
}

} // namespace
} // namespace kolvarin::script
