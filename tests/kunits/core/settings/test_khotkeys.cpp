#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/khotkeys.h"
#include "core/text/klanguage.h"
#include "temphome.h"

namespace kolvarin {
namespace {

std::string Record(uint16_t key, uint8_t shift, uint8_t action, uint8_t global, uint8_t reserved = 0)
{
    return {char(key & 0xFF), char(key >> 8), char(shift), char(action), char(global), char(reserved)};
}

std::string Count(uint32_t n) { return {char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)}; }

class HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keys.OnAction = [this](int action) { ran.push_back(action); };
        keys.KeyFocus = [this] { return focus; };
    }
    std::vector<int> Press(uint16_t key, uint8_t shift)
    {
        ran.clear();
        keys.HandleKey(key, shift);
        return ran;
    }
    TKHotKeys keys;
    TKKeyFocus focus;
    std::vector<int> ran;
};

TEST_F(HotKeyTest, DefaultTable)
{
    ASSERT_EQ(keys.Count(), 30);
    const THotKeyEntry first = keys.GetItem(0);
    EXPECT_EQ(first.Key, 0x59);
    EXPECT_EQ(first.Action, 2);
    const THotKeyEntry f4 = keys.GetItem(5);
    EXPECT_EQ(f4.Key, 0x73);
    EXPECT_EQ(f4.Shift, hkAlt);
    EXPECT_EQ(f4.Action, 50);
    const THotKeyEntry last = keys.GetItem(29);
    EXPECT_EQ(last.Key, 0x55);
    EXPECT_EQ(last.Shift, hkCtrl);
    EXPECT_EQ(last.Action, 53);
    int globals = 0;
    for (const THotKeyEntry& e : keys.Items())
        globals += e.Global;
    EXPECT_EQ(globals, 6);
    EXPECT_EQ(keys.GetItem(30).Key, 0);
    EXPECT_EQ(keys.GetItem(-1).Action, 0);
}

TEST_F(HotKeyTest, HandleKeyByFocusAndModifiers)
{
    const TKKeyFocus player{false, true}, elsewhere{false, false}, playlist{true, false};
    struct Case {
        const char* what;
        TKKeyFocus focus;
        uint16_t key;
        uint8_t shift;
        std::vector<int> actions;
    } cases[] = {
        {"Ctrl+Shift+P is global", elsewhere, 0x50, hkShift | hkCtrl, {5}},
        {"plain X needs the player in front", elsewhere, 0x58, 0, {}},
        {"plain X with the player in front", player, 0x58, 0, {5}},
        {"Up raises the volume in the main window", player, 0x26, 0, {6}},
        {"Up stays with the focused playlist", playlist, 0x26, 0, {}},
        {"Delete and PageDown stay with the playlist", playlist, 0x2E, 0, {}},
        {"Ctrl+A stays with the playlist", playlist, 0x41, hkCtrl, {}},
        {"other keys work in the playlist", playlist, 0x58, 0, {5}},
        {"Shift+Y is not Y", player, 0x59, hkShift, {}},
        {"Ctrl+Shift+Y is global action 51", elsewhere, 0x59, hkShift | hkCtrl, {51}},
        {"Alt+F4 closes", player, 0x73, hkAlt, {50}},
    };
    for (const Case& c : cases) {
        focus = c.focus;
        EXPECT_EQ(Press(c.key, c.shift), c.actions) << c.what;
    }
}

TEST_F(HotKeyTest, EveryMatchRunsInOrderAndBadActionsDoNothing)
{
    focus = {false, true};
    keys.Add(0x58, 0, 17, 0);
    EXPECT_EQ(Press(0x58, 0), (std::vector<int>{5, 17}));
    keys.Add(0x4B, 0, 55, 1);
    keys.Add(0x4B, 0, 0x81, 1); // not action 1: the byte counts whole
    keys.Add(0x4B, 0, 0, 1);
    EXPECT_EQ(Press(0x4B, 0), std::vector<int>{});
    EXPECT_EQ(keys.GetItem(keys.Count() - 3).Action, 55);
}

TEST_F(HotKeyTest, EditingTheTable)
{
    keys.SetItem(0, 0x41, hkCtrl, 9, 1);
    EXPECT_EQ(keys.GetItem(0).Key, 0x41);
    EXPECT_EQ(keys.GetItem(0).Global, 1);
    keys.Delete(0);
    keys.Delete(99);
    EXPECT_EQ(keys.Count(), 29);
    EXPECT_EQ(keys.GetItem(0).Key, 0x58);
    EXPECT_TRUE(keys.KeyExists(0x73));
    EXPECT_FALSE(keys.KeyExists(0x74));
}

TEST_F(HotKeyTest, FileRoundTripKeepsReservedBytes)
{
    ktest::TempDir dir;
    const auto file = dir.write("hotkeys.kkeys", Count(2) + Record(0x1234, 7, 60, 1, 9) + Record(0x20, 0, 4, 0));
    keys.LoadFromFile(file.string());
    ASSERT_EQ(keys.Count(), 2);
    EXPECT_EQ(keys.GetItem(0).Key, 0x1234);
    EXPECT_EQ(keys.GetItem(0).Reserved, 9);
    const std::string saved = (dir.path() / "saved.kkeys").string();
    keys.SaveToFile(saved);
    EXPECT_EQ(ktest::readFile(saved), ktest::readFile(file));
}

TEST_F(HotKeyTest, FilesOfTheWrongLengthAreRefused)
{
    ktest::TempDir dir;
    const std::string cases[] = {
        "",
        "\x01\x00",
        Count(2) + Record(1, 0, 1, 0),
        Count(1) + Record(1, 0, 1, 0) + "x",
        Count(0xFFFFFFFF) + Record(1, 0, 1, 0),
    };
    for (const std::string& bytes : cases) {
        const auto file = dir.write("bad.kkeys", bytes);
        EXPECT_THROW(keys.LoadFromFile(file.string()), std::runtime_error) << bytes.size();
        EXPECT_EQ(keys.Count(), 30);
    }
    EXPECT_THROW(keys.LoadFromFile((dir.path() / "absent").string()), std::runtime_error);
    const auto empty = dir.write("empty.kkeys", Count(0));
    keys.LoadFromFile(empty.string());
    EXPECT_EQ(keys.Count(), 0);
    focus = {false, true};
    EXPECT_EQ(Press(0x73, hkAlt), std::vector<int>{});
}

TEST(HotKeyNames, KeysModifiersAndActions)
{
    EXPECT_EQ(KeyName(0x41), "A");
    EXPECT_EQ(KeyName(0x31), "1");
    EXPECT_EQ(KeyName(0x70), "F1");
    EXPECT_EQ(KeyName(0x87), "F24");
    EXPECT_EQ(KeyName(0x6E), "Numpfad ,");
    EXPECT_EQ(KeyName(0x65), "Numpad 5");
    EXPECT_EQ(KeyName(0xBA), "\xDC");
    EXPECT_EQ(KeyName(0x24), "Pos1");
    EXPECT_EQ(ShiftStateText(hkShift | hkAlt | hkCtrl), "Alt + Shift + Ctrl + ");
    EXPECT_EQ(ShiftStateText(0), "");

    SetDefaultLanguage(Language);
    EXPECT_EQ(TKHotKeys::ActionName(0), u"None");
    EXPECT_EQ(TKHotKeys::ActionName(3), u"Stop");
    EXPECT_EQ(TKHotKeys::ActionName(4), u"Pause");
    EXPECT_EQ(TKHotKeys::ActionName(18), u"Screenshot original");
    EXPECT_EQ(TKHotKeys::ActionName(47), u"Audio Livestream Record");
    EXPECT_EQ(TKHotKeys::ActionName(50), u"Close Kolvarin");
    EXPECT_EQ(TKHotKeys::ActionName(54), u"Change monitor output");
    EXPECT_EQ(TKHotKeys::ActionName(55), u"");
    EXPECT_EQ(TKHotKeys::ActionFromName(u"Toggle mute"), 17);
    EXPECT_EQ(TKHotKeys::ActionFromName(u"toggle mute"), 0);
    const auto names = TKHotKeys::GetActionNames();
    ASSERT_EQ(names.size(), 55u);
    EXPECT_EQ(names[20], u"Playlist caption sort");
}

} // namespace
} // namespace kolvarin
