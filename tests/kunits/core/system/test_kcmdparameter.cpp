#include "core/system/kcmdline.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kglobals.h"

#include <gtest/gtest.h>

using namespace kolvarin;

namespace {

using Words = std::vector<std::u16string>;

struct Record {
    uint8_t option;
    std::u16string argument;
    bool operator==(const Record&) const = default;
};

std::vector<Record> Records(const TKCmdParameterHandler& h)
{
    std::vector<Record> out;
    for (int i = 0; i < h.Count(); ++i)
        out.push_back({h.Items(i).Option, h.Items(i).Argument});
    return out;
}

class ParameterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParameterQueue.clear();
        ParameterActions = {};
        NoSave = QuitAfterPlay = AppInitialized = false;
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST(CommandLine, SplitAndQuoteAreInverse)
{
    EXPECT_EQ(SplitCommandLine(u"kolvarin  /play \"a  b.mp3\"\tc"), (Words{u"kolvarin", u"/play", u"a  b.mp3", u"c"}));
    EXPECT_EQ(SplitCommandLine(u"p \"\" x"), (Words{u"p", u"", u"x"}));
    EXPECT_EQ(SplitCommandLine(u"p a\\\"b \"c\\\\\" d\\e"), (Words{u"p", u"a\"b", u"c\\", u"d\\e"}));
    const Words tricky = {
        u"/usr/bin/kolvarin",       u"",     u"a  b.mp3", u"quote\"in", u"back\\", u"back\\\"quote", u"tab\there",
        u"\u00e4\u00f6 \U0001F3B5", u"/play"};
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(tricky)), tricky);
}

TEST(CommandLine, ParserTable)
{
    struct Case {
        std::u16string line;
        std::vector<Record> records;
        std::u16string plain;
    } cases[] = {
        {u"k /play a b /add c", {{optPlay, u"a b"}, {optAdd, u"c"}}, u""},
        {u"k x y", {}, u"x y"},
        {u"k x /play y", {{optPlay, u"y"}}, u""},
        {u"k /PLAY y", {{optPlay, u"y"}}, u""},
        {u"k /add", {{optAdd, u""}}, u""},
        {u"k /play \"a  b.mp3\"", {{optPlay, u"a  b.mp3"}}, u""},
        {u"k /nosave /q /exit /fs /monitor 2 /vup /vdown /tjforward /tjbackward /register /unregister /setasdefault "
         u"/dvd d",
         {{optNoSave, u""},
          {optQuitAfterPlay, u""},
          {optExit, u""},
          {optFullscreen, u""},
          {optMonitor, u"2"},
          {optVolumeUp, u""},
          {optVolumeDown, u""},
          {optTimeJumpForward, u""},
          {optTimeJumpBackward, u""},
          {optRegister, u""},
          {optUnregister, u""},
          {optSetAsDefault, u""},
          {optDVD, u"d"}},
         u""},
        {u"k /unknown x", {}, u"/unknown x"},
        {u"k", {}, u""},
    };
    for (const auto& c : cases) {
        TKCmdParameterHandler h;
        h.Update(c.line);
        EXPECT_EQ(Records(h), c.records) << std::string(c.line.begin(), c.line.end());
        EXPECT_EQ(h.PlainText(), c.plain);
    }
    TKCmdParameterHandler h;
    h.UpdateFromCommandLine({u"/bin/k", u"/add", u"a  b.mp3"});
    EXPECT_EQ(h.WholeText(), u"/add \"a  b.mp3\"");
}

TEST_F(ParameterTest, QueuesEntriesAndSetsFlagsWithoutClearingThem)
{
    TKCmdParameterHandler h;
    h.Update(u"k /play a.mp3 /add \"b  c.ogg\" /dvd /media/dvd /nosave /q");
    bool quit = true;
    KHandleParameter2(h, quit);
    EXPECT_FALSE(quit);
    EXPECT_TRUE(NoSave);
    EXPECT_TRUE(QuitAfterPlay);
    ASSERT_EQ(ParameterQueue.size(), 3u);
    EXPECT_EQ(ParameterQueue[0].Option, optPlay);
    EXPECT_EQ(ParameterQueue[1].Argument, u"b  c.ogg");
    EXPECT_EQ(ParameterQueue[2].Option, optDVD);

    TKCmdParameterHandler plain;
    plain.Update(u"k x.mp3");
    KHandleParameter2(plain, quit);
    EXPECT_TRUE(NoSave) << "a later command line cannot switch saving back on";
    EXPECT_TRUE(QuitAfterPlay);
    EXPECT_EQ(ParameterQueue.back().Option, optPlay);
    EXPECT_EQ(ParameterQueue.back().Argument, u"x.mp3");

    TKCmdParameterHandler exit;
    exit.Update(u"k /exit");
    KHandleParameter2(exit, quit);
    EXPECT_TRUE(quit);
}

TEST_F(ParameterTest, ImmediateOptions)
{
    std::vector<std::string> calls;
    int monitor = -1;
    bool fullscreen = false;
    ParameterActions.RegisterFileTypes = [&] { calls.push_back("types"); };
    ParameterActions.RegisterContextMenu = [&] { calls.push_back("menu"); };
    ParameterActions.VolumeUp = [&] { calls.push_back("vup"); };
    ParameterActions.SetMonitor = [&](uint8_t m) { monitor = m; };
    ParameterActions.SetAutoFullscreen = [&](bool on) { fullscreen = on; };
    bool quit = false;

    TKCmdParameterHandler h;
    h.Update(u"k /register /vup /monitor 256 /monitor 99999999999 /monitor x1 /monitor");
    KHandleParameter2(h, quit);
    EXPECT_EQ(calls, (std::vector<std::string>{"types", "menu"})) << "volume waits for the end of start-up";
    EXPECT_EQ(monitor, -1) << "out of range, not digits, empty";
    EXPECT_FALSE(fullscreen) << "no /fs leaves the saved choice alone";

    AppInitialized = true;
    RunDeferredParameterActions();
    EXPECT_EQ(calls.back(), "vup");

    TKCmdParameterHandler fs;
    fs.Update(u"k /fs /monitor 0255 /vup");
    KHandleParameter2(fs, quit);
    EXPECT_EQ(monitor, 255) << "255 is automatic";
    EXPECT_TRUE(fullscreen);
    EXPECT_EQ(calls.size(), 4u) << "after start-up volume acts at once";
}
