// Every numbered compile error the compiler raises, with its position.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "script/lumoscript.h"
#include "scriptrun.h"

namespace {

struct ErrorCase {
    const char* source;
    const char* expected;
};

const ErrorCase kCases[] = {
    {"int a;\n@", "[t.kgraph](2,1) Error: Unknown error"},
    {"int a;\nif a > 1) a = 2;", "[t.kgraph](2,3) Error: '(' expected"},
    {"int a;\na = (1 + 2;", "[t.kgraph](2,7) Error: ')' expected"},
    {"int a;\na = 7 / -2;", "[t.kgraph](2,6) Error: Error in expression"},
    {"int a;\na 5;", "[t.kgraph](2,3) Error: '=' expected"},
    {"int a;\na = \x1a;", "[t.kgraph](2,2) Error: Unexpected file END"},
    {"b = 1;", "[t.kgraph](1,1) Error: Variable not defined"},
    {"int a;\nint a;", "[t.kgraph](2,5) Error: Variable already defined"},
    {"int a[-3];", "[t.kgraph](1,7) Error: Number value expected"},
    {"int a[3;", "[t.kgraph](1,7) Error: ']' expected"},
    {"int a;\na[1] = 2;", "[t.kgraph](2,4) Error: Variable isn't a array"},
    {"int 5;", "[t.kgraph](1,5) Error: Identifier expected"},
    {"int f(int a b) { return a; }", "[t.kgraph](1,11) Error: Error in function parameter definition"},
    {"int f(int a) { return a; }\nint b;\nb = f(1, 2);", "[t.kgraph](3,8) Error: Invalid function parameters"},
    {"int f(int a, int b) { return a; }\nint b;\nb = f(1 2);", "[t.kgraph](3,7) Error: Invalid function parameters"},
    {"int a;\ndo a = 1; while (a);", "[t.kgraph](2,6) Error: 'WHILE' expected"},
    {"int a\na = 1;", "[t.kgraph](2,1) Error: ';' expected"},
    {"void f() return;", "[t.kgraph](1,14) Error: '{' expected"},
    {"void f() { int a;", "[t.kgraph](1,13) Error: '}' expected"},
    {"native int nothere(int a);", "[t.kgraph](1,23) Error: Native function/procedure not found"},
    {"int a;\nswitch (a) { a = 1; }", "[t.kgraph](2,11) Error: 'case' expected"},
    {"int a;\nswitch (a) { case 1 a = 2; }", "[t.kgraph](2,16) Error: ':' expected"},
    {"int a;\nbreak;", "[Link] Error: Code fix up error"},
    {"unsigned x;", "[t.kgraph](1,10) Error: Type expected"},
    {"int a;\na.b = 1;", "[t.kgraph](2,3) Error: No struct"},
    {"int f(float x) { return x; }", "[t.kgraph](1,21) Error: Wrong type"},
    {"float f;\nf = 2.5 % 2;", "[t.kgraph](2,8) Error: Invalid float operation"},
    {"float f;\nf = 1.5 + 7 % 3;", "[t.kgraph](2,10) Error: Invalid float operation"},
    {"int a;\na = 0x1.5;", "[t.kgraph](2,6) Error: A float number cann't be heximal"},
    {"L:\nL:", "[t.kgraph](2,2) Error: Label already defined"},
    {"goto nowhere;", "[t.kgraph](1,12) Error: Label not found"},
    {"int a;\na:", "[t.kgraph](2,2) Error: Label name as a variable already defined"},
    {"enum { A, B };\nenum { A };", "[t.kgraph](2,6) Error: enum already defined"},
    {"enum E { X };\nenum E { Y };", "[t.kgraph](2,5) Error: enum object name already used"},
    {"string s;\ns = 5;", "[t.kgraph](2,4) Error: string expected"},
    {"string s;\ns = s - \"a\";", "[t.kgraph](2,8) Error: Illegal string operation"},
    {"struct P { int x; };\nP p;\np = 5;", "[t.kgraph](3,4) Error: Struct expected"},
    {"struct P { int x; };\nP p;\np = &p;", "[t.kgraph](3,4) Error: Illegal struct operation"},
    {"packed int a;", "[t.kgraph](1,9) Error: Struct, union or object statement expected"},
    {"struct P { int x; };\nstruct P { int y; };", "[t.kgraph](2,7) Error: Struct, union or object already defined"},
    {"inherited;", "[t.kgraph](1,10) Error: Only in a method allowed"},
    {"import int f(int a) (\"lib.so\" \"f\");", "[t.kgraph](1,29) Error: ',' expected"},
    {"import int f(int a) (\"lib.so\", \"f\");\nint b;\nb = f(1);", "[Link] Error: Code fix up error"},
    {"int f(int a) { return a; }\nint b;\nb = f(;", "[t.kgraph](3,5) Error: Error in expression"},
    {"struct P { int x; };\nP p;\np->x = 1;", "[t.kgraph](3,4) Error: No struct"},
    {"struct P { int x; };\nstruct Q(Z) { int y; };", "[t.kgraph](2,10) Error: Struct expected"},
    {"int f(int a) { return a; }\nint b;\nb = f 1;", "[t.kgraph](3,5) Error: '(' expected"},
    {"print(1;", "[t.kgraph](1,8) Error: ')' expected"},
    {"int a;\nprint(\"abc\n", "[t.kgraph](2,10) Error: ')' expected"},
    {"int a;\na = (1 + 2\n\n", "[t.kgraph](2,6) Error: ')' expected"},
    {"int a;\nwhile (a < 3 { a++; }", "[t.kgraph](2,10) Error: ')' expected"},
    {"L:\ngoto L", "[t.kgraph](2,5) Error: ';' expected"},
    {"struct P { int x;", "[t.kgraph](1,13) Error: '}' expected"},
    {"int f() { return 1; }\nint f() { return 2; }", "[t.kgraph](2,5) Error: Variable already defined"},
    {"struct A { int x; void f(); };\nvoid A::f() { inherited(); }",
     "[t.kgraph](2,22) Error: No inherited call possible"},
    {"struct A { void f(); };\nA a;\na.f();", "[Link] Error: Code fix up error"},
    {"struct A { void f(); };\nvoid A::g() { }", "[t.kgraph](2,9) Error: Variable not defined"},
    {"struct A { void f(); };\nvoid A::f() { }\nvoid A::f() { }", "[t.kgraph](3,9) Error: Variable already defined"},
};

TEST(CompileErrors, EachCodeIsReportedWithItsPosition)
{
    for (const ErrorCase& c : kCases) {
        EXPECT_EQ(kolvarin::script::test::RunScript(c.source, "t.kgraph"), std::string(c.expected) + "\n") << c.source;
    }
}

} // namespace

namespace kolvarin::script {
namespace {

TEST(BadInput, DeepNestingHugeLiteralsAndOpenTextsEndInErrors)
{
    const struct {
        std::string source;
        std::string expected;
    } cases[] = {
        {"int a;\na = " + std::string(100000, '(') + "1;", "[t.kgraph](2,403) Error: Error in expression\n"},
        {"int a;\na = " + std::string(100000, '!') + "1;", "[t.kgraph](2,403) Error: Error in expression\n"},
        {std::string(100000, '{'), "[t.kgraph](1,402) Error: Unknown error\n"},
        {"int a;\na = 123456789012345678901234567890;\nprint(a);", "1312754386"}, // the low 32 bits
        {"string s;\ns = \"never closed;\nprint(s);", "[t.kgraph](3,9) Error: ';' expected\n"},
        {"int a; /* never closed\na = 1;", ""},
        {"int f() { return 1;", "[t.kgraph](1,15) Error: '}' expected\n"},
        {std::string("int a;\na = 1;\0\x7f\xff", 16), "[t.kgraph](2,4) Error: Unknown error\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::RunScript(c.source, "t.kgraph"), c.expected) << c.source.substr(0, 40);
}

TEST(BadInput, EveryPrefixOfAProgramCompilesOrNamesAnError)
{
    std::ifstream file(std::string(KOLVARIN_SCRIPT_PROGRAMS) + "/07_statements.kgraph", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string source = text.str();
    ASSERT_FALSE(source.empty());
    TLumoScript engine;
    for (size_t length = 0; length <= source.size(); length += 3) {
        if (!engine.Compile(source.substr(0, length), "t.kgraph")) {
            EXPECT_TRUE(engine.ErrorText().starts_with("[t.kgraph](")) << length << ": " << engine.ErrorText();
            EXPECT_EQ(engine.CodeMemory(), 0u) << length;
        }
        engine.Clear();
    }
}

} // namespace
} // namespace kolvarin::script
