// Fix-up resolution.
#include <gtest/gtest.h>

#include "base/bytereader.h"
#include "script/lumolinker.h"

namespace kolvarin::script {
namespace {

int32_t At(const std::vector<uint8_t>& code, uint32_t position)
{
    return static_cast<int32_t>(Le32(code.data() + position));
}

TEST(Linker, ResolvesEveryFixupKind)
{
    TCodeImage image;
    image.code.resize(120);
    image.labels = {{"Here", 20}, {"Data", 40}};
    image.fixups = {{FixupKind::Rel32, "Here", 101, 0},       {FixupKind::Absolute, "Data", 0, 8},
                    {FixupKind::Relative, "Data", 4, 2},      {FixupKind::NativeAbsolute, "second", 8, 0},
                    {FixupKind::NativeRel32, "first", 12, 0}, {FixupKind::Engine, "", 16, 0},
                    {FixupKind::Rel32, "AV@1", 24, 0}};
    const std::vector<TNativeEntry> natives = {{"first", "", 0x00010100}, {"second", "AV@1", 0x00010110}};
    const uint32_t base = 0x01000000;
    std::vector<TLumoError> errors;
    std::vector<uint8_t> code = ResolveFixups(image, natives, base, 0x01234567, errors);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(At(code, 101), -85);
    EXPECT_EQ(static_cast<uint32_t>(At(code, 0)), base + 48);
    EXPECT_EQ(At(code, 4), 40 - 4 + 2);
    EXPECT_EQ(static_cast<uint32_t>(At(code, 8)), 0x00010110u);
    EXPECT_EQ(static_cast<uint32_t>(At(code, 12)), 0x00010100u - (12 + base) - 4);
    EXPECT_EQ(static_cast<uint32_t>(At(code, 16)), 0x01234567u);
    // A native below the image, reached through its link name, wraps around.
    EXPECT_EQ(static_cast<uint32_t>(At(code, 24)), (0x00010110u - base) - 24 - 4);
}

TEST(Linker, UnresolvedFixupsKeepTheirPlaceholdersAndReportCodes)
{
    TCodeImage image;
    image.code = {0xE8, 0xAA, 0xBB, 0xCC, 0xDD, 0xE8, 0, 0, 0, 0, 0xE8, 0, 0, 0, 0, 0x90};
    image.fixups = {{FixupKind::Rel32, "missing", 1, 0},
                    {FixupKind::NativeRel32, "nil", 6, 0},
                    {FixupKind::ImportRel32, "ext", 11, 0},
                    {FixupKind::Absolute, "beyond", 14, 0}};
    std::vector<TLumoError> errors;
    std::vector<uint8_t> code = ResolveFixups(image, {{"nil", "", 0}}, 0x01000000, 0, errors);
    EXPECT_EQ(errors, (std::vector<TLumoError>{TLumoError::FixupError, TLumoError::NativeIsNull, TLumoError::FixupError,
                                               TLumoError::FixupError}));
    EXPECT_EQ(code, image.code);
}

TEST(Linker, AnImageWithoutFixupsIsCopied)
{
    TCodeImage image;
    image.code = {1, 2, 3, 4, 5};
    std::vector<TLumoError> errors;
    EXPECT_EQ(ResolveFixups(image, {}, 0x1000, 0, errors), image.code);
    EXPECT_TRUE(errors.empty());
}

} // namespace
} // namespace kolvarin::script
