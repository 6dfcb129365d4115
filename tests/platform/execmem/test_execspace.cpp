// The emulated address space: heap, host-function stubs, calls and faults.
#include <gtest/gtest.h>

#include <cstring>

#include "execmem/execspace.h"

namespace kolvarin::execmem {
namespace {

// Writes CODE into a fresh block and returns its address.
uint32_t Load(ExecSpace& space, const std::vector<uint8_t>& code)
{
    uint32_t at = space.Allocate(code.size());
    space.Write(at, code.data(), code.size());
    space.CodeChanged(at, code.size());
    return at;
}

TEST(ExecSpace, HeapBlocksAreZeroedReusedAndCounted)
{
    ExecSpace space;
    uint32_t a = space.Allocate(10), b = space.Allocate(100), c = space.Allocate(1);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(space.LiveAllocations(), 3u);
    space.Write32(b, 0xDEADBEEF);
    EXPECT_TRUE(space.Free(b));
    EXPECT_FALSE(space.Free(b));
    EXPECT_FALSE(space.Free(b + 4));
    EXPECT_EQ(space.Allocate(100), b);
    EXPECT_EQ(space.Read32(b), 0u);
    EXPECT_TRUE(space.Free(a));
    EXPECT_TRUE(space.Free(b));
    EXPECT_TRUE(space.Free(c));
    EXPECT_EQ(space.LiveAllocations(), 0u);
    EXPECT_EQ(space.Allocate(ExecSpace::kHeapSize), ExecSpace::kHeapBase); // freed blocks merged again
    EXPECT_EQ(space.Allocate(1), 0u);
    EXPECT_EQ(space.Allocate(0), 0u);
    EXPECT_EQ(space.Allocate(uint64_t{1} << 40), 0u);
}

TEST(ExecSpace, MemoryOutsideTheSpaceIsAFault)
{
    ExecSpace space;
    EXPECT_THROW(space.Read32(0x10), ExecFault);
    EXPECT_THROW(space.Write32(0xFFFFFFF0u, 1), ExecFault);
    uint32_t at = space.Allocate(4);
    space.Write(at, "hey", 4);
    EXPECT_EQ(space.ReadCString(at), "hey");
}

TEST(ExecSpace, CallsPassArgumentsAndHostFunctionsPopThem)
{
    ExecSpace space;
    // Host: returns first - second (first = the value pushed last).
    uint32_t minus =
        space.AddHostFunction("minus", 8, ResultKind::Int, [](HostCall& c) { return c.Arg(0) - c.Arg(1); });
    // push dword [esp+8]; push dword [esp+8]; call minus; ret 8
    std::vector<uint8_t> code = {0xFF, 0x74, 0x24, 0x08, 0xFF, 0x74, 0x24, 0x08, 0xE8, 0, 0, 0, 0, 0xC2, 0x08, 0x00};
    uint32_t at = space.Allocate(code.size());
    uint32_t rel = minus - (at + 13);
    std::memcpy(&code[9], &rel, 4);
    space.Write(at, code.data(), code.size());
    const uint32_t args[] = {100, 30}; // 30 is pushed last, so it is [esp+4]
    CallResult result = space.Call(at, args, ResultKind::Int);
    ASSERT_TRUE(result.ok) << result.error;
    // The code pushes 100 and then 30, so the host's first argument is 30.
    EXPECT_EQ(static_cast<int32_t>(result.value), 30 - 100);
}

TEST(ExecSpace, FloatResultsComeFromTheFpuStack)
{
    ExecSpace space;
    float half = 0.5f;
    uint32_t bits;
    std::memcpy(&bits, &half, 4);
    uint32_t fn = space.AddHostFunction("half", 0, ResultKind::Float, [bits](HostCall&) { return bits; });
    CallResult result = space.Call(fn, {}, ResultKind::Float);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_FLOAT_EQ(result.fvalue, 0.5f);
}

TEST(ExecSpace, FaultsEndTheCallWithAnError)
{
    ExecSpace space;
    space.SetLimits(200, 0);
    uint32_t throws =
        space.AddHostFunction("throws", 0, ResultKind::Int, [](HostCall&) -> uint32_t { throw ExecFault("no way"); });
    uint32_t throwsInt = space.AddHostFunction("odd", 0, ResultKind::Int, [](HostCall&) -> uint32_t { throw 7; });
    const struct {
        const char* name;
        std::vector<uint8_t> code;
        const char* error;
    } cases[] = {
        {"divide", {0x31, 0xDB, 0xF7, 0xF3, 0xC3}, "division by zero"}, // xor ebx,ebx; div ebx
        {"read", {0x8B, 0x05, 0x10, 0, 0, 0, 0xC3}, "invalid memory read at $00000010"},
        {"write", {0xA3, 0xF0, 0xFF, 0xFF, 0xFF, 0xC3}, "invalid memory write"},
        {"jump", {0xB8, 0x00, 0x00, 0x00, 0x70, 0xFF, 0xE0}, "invalid memory execution"}, // jmp eax
        {"int3", {0xCC, 0xC3}, "breakpoint"},
        {"loop", {0xEB, 0xFE}, "time limit exceeded"},
        {"invalid", {0x0F, 0x0B}, "invalid instruction"}, // ud2
    };
    for (const auto& c : cases) {
        CallResult result = space.Call(Load(space, c.code), {}, ResultKind::Int);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
    }
    CallResult host = space.Call(throws, {}, ResultKind::Int);
    EXPECT_EQ(host.error, "throws: no way");
    EXPECT_EQ(space.Call(throwsInt, {}, ResultKind::Int).error, "odd: failed");
    CallResult fine = space.Call(Load(space, {0xB8, 0x2A, 0, 0, 0, 0xC3}), {}, ResultKind::Int);
    ASSERT_TRUE(fine.ok) << fine.error;
    EXPECT_EQ(fine.value, 42u);
}

TEST(ExecSpace, AnInstructionBudgetEndsTheCallAlsoForCodeRunBefore)
{
    ExecSpace space;
    // Code that already ran with a time limit must obey a budget set later.
    space.SetLimits(50, 0);
    uint32_t spin = Load(space, {0xEB, 0xFE});
    EXPECT_FALSE(space.Call(spin, {}, ResultKind::Int).ok);
    space.SetLimits(0, 1000);
    CallResult result = space.Call(spin, {}, ResultKind::Int);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("time limit exceeded"), std::string::npos) << result.error;
}

TEST(ExecSpace, AHostFunctionCannotCallBackIntoEmulatedCode)
{
    ExecSpace space;
    uint32_t ret42 = Load(space, {0xB8, 0x2A, 0, 0, 0, 0xC3});
    std::string inner;
    uint32_t host = space.AddHostFunction("reenter", 0, ResultKind::Int, [&](HostCall& c) {
        inner = c.Space().Call(ret42, {}, ResultKind::Int).error;
        return 1u;
    });
    CallResult result = space.Call(host, {}, ResultKind::Int);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.value, 1u);
    EXPECT_EQ(inner, "nested call into script code");
}

TEST(ExecSpace, TruncatedHostFunctionsCannotBeCalled)
{
    ExecSpace space;
    uint32_t fn = space.AddHostFunction("gone", 0, ResultKind::Int, [](HostCall&) { return 1u; });
    space.TruncateHostFunctions(0);
    CallResult result = space.Call(fn, {}, ResultKind::Int);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("released host function"), std::string::npos) << result.error;
}

} // namespace
} // namespace kolvarin::execmem
