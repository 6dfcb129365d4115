// The run-time library's internal entry points and the stubs that reach them.
#include <gtest/gtest.h>

#include <cstring>

#include "script/lumocompiler.h"
#include "script/lumortl.h"
#include "script/lumoscript.h"

namespace kolvarin::script {
namespace {

class Runtime : public testing::Test {
protected:
    // Calls the built-in native NAME with its parameters in its own order.
    uint32_t Native(const std::string& name, std::vector<uint32_t> params)
    {
        for (const TBuiltinNative& n : engine.Runtime().Natives()) {
            if (n.name != name)
                continue;
            std::vector<uint32_t> pushed(params.rbegin(), params.rend()); // the first parameter is pushed last
            auto result = engine.Call(n.address, pushed);
            EXPECT_TRUE(result.ok) << name << ": " << result.error;
            return result.value;
        }
        ADD_FAILURE() << "no native " << name;
        return 0;
    }
    uint32_t Make(const std::string& text) { return StringToScriptString(engine.Space(), text); }
    std::string Text(uint32_t value) { return ScriptStringToString(engine.Space(), value); }
    int32_t Count(uint32_t value) { return static_cast<int32_t>(engine.Space().Read32(value - 8)); }

    TLumoScript engine;
};

TEST_F(Runtime, EveryStubPushesWhatItsNativePops)
{
    for (int s = 0; s < stCount; ++s) {
        const TStubInfo& stub = StubInfo(static_cast<Stub>(s));
        uint32_t pushed = static_cast<uint32_t>(std::strlen(stub.pushes)) + (stub.engine ? 1 : 0);
        bool found = false;
        for (const TBuiltinNative& n : engine.Runtime().Natives()) {
            if (n.name != stub.native)
                continue;
            EXPECT_EQ(n.argCount, pushed) << stub.label;
            found = true;
        }
        EXPECT_TRUE(found) << stub.native;
    }
}

TEST_F(Runtime, ConstantsKeepTheirCountAndSharedStringsAreCopiedBeforeChange)
{
    uint32_t constant = Make("const");
    engine.Space().Write32(constant - 8, 0xFFFFFFFFu);
    EXPECT_EQ(Native("RTL_STRING_ASSIGN", {0, constant}), constant);
    EXPECT_EQ(Count(constant), -1);
    EXPECT_EQ(Native("RTL_STRING_DECREASE", {constant}), constant);

    uint32_t shared = Make("abc");
    Native("RTL_STRING_INCREASE", {shared});
    uint32_t unique = Native("RTL_STRING_UNIQUE", {shared});
    EXPECT_NE(unique, shared);
    EXPECT_EQ(Text(unique), "abc");
    EXPECT_EQ(Count(shared), 1);
    EXPECT_EQ(Native("RTL_STRING_UNIQUE", {unique}), unique);
}

TEST_F(Runtime, LengthsConcatenationAndComparison)
{
    const size_t before = engine.Space().LiveAllocations();
    uint32_t variable = engine.Space().Allocate(4);
    engine.Space().Write32(variable, Make("abcdef"));
    Native("RTL_STRING_SETLENGTH", {3, variable});
    EXPECT_EQ(Text(engine.Space().Read32(variable)), "abc");
    Native("RTL_STRING_SETLENGTH", {5, variable});
    EXPECT_EQ(Text(engine.Space().Read32(variable)), std::string("abc\0\0", 5));
    uint32_t joined = Native("RTL_STRING_SELF_CONCAT", {Make("xy"), engine.Space().Read32(variable)});
    EXPECT_EQ(Text(joined), std::string("abc\0\0xy", 7));
    engine.Space().Write32(variable, joined); // the caller stores what the native returns
    Native("RTL_STRING_SETLENGTH", {0, variable});
    EXPECT_EQ(engine.Space().Read32(variable), 0u);
    uint32_t left = Make("abd"), right = Make("abc");
    EXPECT_EQ(static_cast<int32_t>(Native("RTL_STRING_COMPARE", {right, left})), 1);
    EXPECT_EQ(static_cast<int32_t>(Native("RTL_STRING_COMPARE", {left, Make("ab")})), -1);
    EXPECT_EQ(Native("RTL_STRING_LENGTH", {0}), 0u);
    uint32_t concat = Native("RTL_STRING_CONCAT", {0, right, left});
    EXPECT_EQ(Text(concat), "abdabc");
    uint32_t copy = Native("RTL_STRING_GET", {0, concat});
    EXPECT_EQ(Text(copy), "abdabc");
    for (uint32_t s : {left, right, concat, copy})
        Native("RTL_STRING_DECREASE", {s});
    engine.Space().Free(variable);
    EXPECT_EQ(engine.Space().LiveAllocations(), before + 2); // the two strings made only to be passed in
}

TEST_F(Runtime, AnInvalidReleaseIsAFaultNotACorruption)
{
    uint32_t block = engine.Space().Allocate(32);
    engine.Space().Write32(block + 8, 1); // a count of 1 in front of a string that was never made
    for (const TBuiltinNative& n : engine.Runtime().Natives()) {
        if (n.name != "RTL_STRING_DECREASE")
            continue;
        const uint32_t args[] = {block + 16};
        auto result = engine.Call(n.address, args);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "RTL_STRING_DECREASE: release of an invalid string");
    }
}

TEST_F(Runtime, AFailedCodeAllocationIsALinkError)
{
    EXPECT_FALSE(engine.Compile("int a[16000000];\nint b[16000000];", "t.kgraph"));
    EXPECT_EQ(engine.ErrorText(), "[Link] Error: Code fix up error");
    EXPECT_EQ(engine.CodeMemory(), 0u);
}

} // namespace
} // namespace kolvarin::script
