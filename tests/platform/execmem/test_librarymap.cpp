// Library mappings: their own area, page rights, and release.
#include <gtest/gtest.h>

#include <cstring>

#include "execmem/execspace.h"

namespace kolvarin::execmem {
namespace {

TEST(LibraryMap, MappingsTakeTheirOwnRightsAndGoAway)
{
    ExecSpace space;
    uint32_t a = space.MapLibrary(0x3000);
    uint32_t b = space.MapLibrary(0x18000);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(a % 0x10000, 0u);
    EXPECT_GE(b, a + 0x10000);
    EXPECT_EQ(space.MapLibrary(uint64_t(ExecSpace::kLibrarySize) + 1), 0u);

    // Code that stores into the page at A+0x1000, then returns 1.
    uint8_t code[] = {0xC7, 0x05, 0, 0, 0, 0, 1, 0, 0, 0, 0xB8, 1, 0, 0, 0, 0xC3};
    uint32_t target = a + 0x1000;
    std::memcpy(code + 2, &target, 4);
    space.Write(a, code, sizeof code);
    EXPECT_TRUE(space.Call(a, {}, ResultKind::Int).ok);
    EXPECT_TRUE(space.Protect(a + 0x1000, 0x1000, true, false, false));
    EXPECT_FALSE(space.Call(a, {}, ResultKind::Int).ok); // the page is read-only now
    EXPECT_TRUE(space.Protect(a, 0x1000, true, false, false));
    EXPECT_FALSE(space.Call(a, {}, ResultKind::Int).ok); // and the code page no longer executes
    EXPECT_FALSE(space.Protect(a + 0x800, 0x1000, true, true, true)); // not whole pages
    EXPECT_FALSE(space.Protect(ExecSpace::kHeapBase, 0x1000, true, true, true)); // not a library

    EXPECT_TRUE(space.UnmapLibrary(a));
    EXPECT_FALSE(space.UnmapLibrary(a));
    EXPECT_THROW(space.Read32(a), ExecFault);
    EXPECT_EQ(space.MapLibrary(0x1000), a); // the gap is used again, with full rights
    space.Write(a, code, sizeof code);
    EXPECT_TRUE(space.Call(a, {}, ResultKind::Int).ok);
    EXPECT_EQ(space.LibraryMappings(), 2u);
}

} // namespace
} // namespace kolvarin::execmem
