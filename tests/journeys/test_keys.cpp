// Hot keys and the mouse wheel through the real main window, with a window
// manager: each key press and each notch acts once.
#include <regex>

#include "journey.h"

namespace ktest {
namespace {

class KeysJourney : public Journey {
protected:
    // Waits until the main window's title (the status text) matches, and is
    // not the title given.
    std::string WaitForStatus(const std::string& pattern, const std::string& other = {})
    {
        // The window manager's title adds the application's name.
        const std::regex wanted("Kolvarin - " + pattern + "( \u2014 Kolvarin)?");
        std::string title;
        WaitUntil(
            [&] {
                title = X().Title(main_);
                return title != other && std::regex_match(title, wanted);
            },
            std::chrono::seconds(10));
        return title;
    }

    // Seconds of a "Timejump hh:mm:ss" status.
    int JumpSeconds(const std::string& title)
    {
        std::smatch m;
        static const std::regex time(".*Timejump (\\d\\d):(\\d\\d):(\\d\\d).*");
        if (!std::regex_match(title, m, time))
            return -1;
        return std::stoi(m[1]) * 3600 + std::stoi(m[2]) * 60 + std::stoi(m[3]);
    }

    XWindow main_ = 0;
};

TEST_F(KeysJourney, EveryKeyAndWheelNotchActsOnce)
{
    ASSERT_TRUE(Start(Arguments(MakeTracks({"Amber", "Cobalt", "Umber"}, 60))));
    ASSERT_TRUE(WaitForLog("TKSystem.Play - Enter with Index=\"0\""));
    main_ = Main().Id;
    ASSERT_TRUE(X().Activate(main_));

    X().Press("b"); // next entry
    ASSERT_TRUE(WaitForLog("TKSystem.Play - Enter with Index=\"1\""));
    X().Press("space"); // pause
    EXPECT_TRUE(WaitForStatus("Paused").starts_with("Kolvarin - Paused"));
    // Each key's work is done before the next key's starts: the next entry
    // and the pause ran once each.
    EXPECT_EQ(LogCount("TKSystem.Play - Enter with Index="), 2u);
    EXPECT_EQ(LogCount("TKSystem.Pause - Enter"), 1u);

    // Paused, the position stands still: two jumps are JumpInterval apart.
    X().Press("Right");
    const std::string first = WaitForStatus("Timejump .*");
    X().Press("Right");
    const std::string second = WaitForStatus("Timejump .*", first);
    ASSERT_GE(JumpSeconds(first), 0) << first;
    EXPECT_EQ(JumpSeconds(second) - JumpSeconds(first), 5) << first << ", then " << second;

    // The volume starts at 50 %; a key step and a wheel notch are 1 % each.
    X().Press("Up");
    EXPECT_TRUE(WaitForStatus("\\[ Volume 51\\.0 % \\]").starts_with("Kolvarin - [ Volume 51.0 % ]"));
    const TXRect area = X().Geometry(main_);
    X().Wheel(main_, area.Width / 2, area.Height / 2, 1);
    EXPECT_TRUE(WaitForStatus("\\[ Volume 52\\.0 % \\]").starts_with("Kolvarin - [ Volume 52.0 % ]"));

    ASSERT_EQ(Terminate(), 0);
    EXPECT_EQ(StoredConfig().Volume, 5200);
}

} // namespace
} // namespace ktest
