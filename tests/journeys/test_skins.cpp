// Hostile skins, at the start and from the configuration dialog: the program
// goes on, a skin it can show is shown bounded, one it cannot gives way to
// the built-in skin, and the user can always switch back.
#include <fstream>
#include <regex>
#include <sstream>

#include "journey.h"
#include "skin/kskinload.h"

namespace ktest {
namespace {

class SkinJourney : public Journey {
protected:
    // A folder skin made of the built-in one with the description changed.
    void WriteSkin(const std::string& name, const std::function<std::string(std::string)>& change) const
    {
        const auto folder = Home() / "data/skins" / name;
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(KOLVARIN_BUILTIN_SKIN_BMP, folder / "skin.bmp");
        std::ifstream in(KOLVARIN_BUILTIN_SKIN_XML);
        std::stringstream xml;
        xml << in.rdbuf();
        std::ofstream(folder / "skin.xml") << change(xml.str());
    }

    int MainHeight() { return X().Geometry(Main().Id).Height; }
};

// The first "Height" after the main window's opening tag is its form's.
std::string MainHeightOf(std::string xml, int height)
{
    static const std::regex first("(<Main>[\\s\\S]*?Height=\")\\d+\"");
    return std::regex_replace(xml, first, "$01" + std::to_string(height) + "\"",
                              std::regex_constants::format_first_only);
}

TEST_F(SkinJourney, AHostileSkinNeverEndsTheProgramAndTheUserCanSwitchBack)
{
    const int builtinHeight = BuiltinSkin().Main.Form.Size.Height;
    // Time glyphs 4000 pixels wide each, in a main window 10 pixels taller
    // (so that the window shows which skin it wears).
    WriteSkin("huge-glyphs", [&](std::string xml) {
        static const std::regex glyph("(<Char Key=\"[^\"]*\">[\\s\\S]*?<Size Width=\")\\d+\"");
        return MainHeightOf(std::regex_replace(xml, glyph, "$014000\""), builtinHeight + 10);
    });
    // A main window with a negative height: no window can wear it.
    WriteSkin("no-height", [](std::string xml) { return MainHeightOf(xml, -5); });

    kolvarin::TKConfig config = StoredConfig();
    config.Skin = "no-height";
    StoreConfig(config);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(WaitForLog("KInitialize - Load default skin (Fallback) ok"));
    EXPECT_EQ(MainHeight(), builtinHeight);

    const auto dialog = OpenConfiguration();
    ASSERT_TRUE(dialog);
    const std::string kSkinsPage = "Skins";
    const std::string kBuiltin = "base", kHugeGlyphs = "huge", kNoHeight = "no-";
    ApplyListChoice(dialog->Id, kSkinsPage, kHugeGlyphs);
    EXPECT_TRUE(WaitUntil([&] { return MainHeight() == builtinHeight + 10; })) << MainHeight();
    Shot("huge-glyphs");
    ApplyListChoice(dialog->Id, kSkinsPage, kBuiltin);
    EXPECT_TRUE(WaitUntil([&] { return MainHeight() == builtinHeight; })) << MainHeight();
    ApplyListChoice(dialog->Id, kSkinsPage, kHugeGlyphs);
    EXPECT_TRUE(WaitUntil([&] { return MainHeight() == builtinHeight + 10; })) << MainHeight();
    // The one that cannot be worn gives way to the built-in skin, which is stored.
    ApplyListChoice(dialog->Id, kSkinsPage, kNoHeight);
    EXPECT_TRUE(WaitUntil([&] { return MainHeight() == builtinHeight; })) << MainHeight();
    Shot("fallen-back");

    ASSERT_TRUE(Running());
    ASSERT_EQ(Terminate(), 0);
    EXPECT_EQ(StoredConfig().Skin, kolvarin::kDefaultSkinName);
}

} // namespace
} // namespace ktest
