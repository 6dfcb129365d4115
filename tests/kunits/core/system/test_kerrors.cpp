#include "core/system/kerrors.h"

#include <vector>

#include <gtest/gtest.h>

using namespace kolvarin;

namespace {

struct Shown {
    std::u16string title, text;
    TErrorDialog::Icon icon;
};

class RecordingDialog : public TErrorDialog {
public:
    void Show(const std::u16string& title, const std::u16string& text, Icon icon) override
    {
        shown.push_back({title, text, icon});
    }
    std::vector<Shown> shown;
};

class ErrorDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorDialog(&dialog);
        SetTerminateRequest([this] { ++terminations; });
    }
    void TearDown() override
    {
        SetErrorDialog(nullptr);
        SetTerminateRequest(nullptr);
    }
    RecordingDialog dialog;
    int terminations = 0;
};

} // namespace

TEST(ErrorTexts, MessagesByCode)
{
    struct Case {
        TKErrorCode code;
        std::u16string param, expected;
    } cases[] = {
        {TKErrorCode::None, u"", u"No error."},
        {TKErrorCode::SkinFilesNotFound, u"blue", u"Skinfiles 'blue' not found."},
        {TKErrorCode::FileNotFound, u"/m/a.mp3", u"Can't find file '/m/a.mp3'"},
        {TKErrorCode::MediaNotPlayed, u"the parameter itself", u"the parameter itself"},
        {TKErrorCode::CannotPlay, u"x", u"Can\u00B4t play 'x'"},
        {TKErrorCode::GraphScriptSyntax, u"line 3: error 12",
         u"Syntax error in directshow graph script:\r\nline 3: error 12"},
        {TKErrorCode::DVDGraphBuild, u"",
         u"Some basic error occurred in building the graph.\rPossibilities include the DVD Navigator "
         u"filter or the video or audio renderer not instantiating,\ra trivial connection or pin "
         u"enumeration failing, or none of the streams rendering."},
        {TKErrorCode::CDTrackNotPlayed, u"3", u"Music CD Track 3 cannot play or isn\u00B4t found."},
        {TKErrorCode::UnexpectedException, u"\r\nboom", u"\r\nboom"},
        {TKErrorCode(12345), u"x", u""},
        {TKErrorCode::StreamCreate, u"%s", u"Can't create '%s' stream"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetErrorMessage(c.code, c.param), c.expected) << int(c.code);
}

TEST(ErrorTexts, BalloonTexts)
{
    EXPECT_EQ(GetErrorText(TKErrorCode::MediaNotPlayed, u"/music/sub/x.ogg"), u"File \"x.ogg\" could not be played!");
    EXPECT_EQ(GetErrorText(TKErrorCode::FileNotFound, u"a.mp3"), u"File \"a.mp3\" not found!");
    EXPECT_EQ(GetErrorText(TKErrorCode::DirectShowInit, u"/dvd/VIDEO_TS"), u"DVD \"VIDEO_TS\" could not be played!");
    EXPECT_EQ(GetErrorText(TKErrorCode::ExtensionFiltered, u"C:\\x\\y.foo"), u"File \"y.foo\" is not supported!");
    EXPECT_EQ(GetErrorText(TKErrorCode::PlaylistNotSupported, u"list.xyz"), u"Playlist \"list.xyz\" is not supported!");
    // Streams that cannot be made or started: the design gave them no text,
    // so such a file was passed over without a word.
    EXPECT_EQ(GetErrorText(TKErrorCode::StreamCreate, u"/m/x.mp3"), u"File \"x.mp3\" could not be played!");
    EXPECT_EQ(GetErrorText(TKErrorCode::StreamPlay, u"x.ogg"), u"File \"x.ogg\" could not be played!");
    EXPECT_EQ(GetErrorText(TKErrorCode::SkinEngineInit, u"x.ogg"), u"") << "no balloon for other codes";
}

TEST_F(ErrorDialogTest, WarningBoxLayout)
{
    ShowError(TKErrorCode::FileNotFound, u"TKMedia", u"/m/a b.mp3", false);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].title, u"Kolvarin runtime warning");
    EXPECT_EQ(dialog.shown[0].icon, TErrorDialog::Icon::Warning);
    EXPECT_EQ(dialog.shown[0].text, u"****************************************\r\nKolvarin runtime warning:\r\n"
                                    u"****************************************\r\nID: 1000\r\nClass: TKMedia\r\n"
                                    u"Message: Can't find file '/m/a b.mp3'");
    EXPECT_EQ(terminations, 0);
}

TEST_F(ErrorDialogTest, FatalBoxEndsTheProgram)
{
    ShowError(TKErrorCode::UnexpectedException, u"TKUnknownException [E , 12]", u"\r\noops", true);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].title, u"Kolvarin runtime exception");
    EXPECT_EQ(dialog.shown[0].icon, TErrorDialog::Icon::Error);
    EXPECT_EQ(dialog.shown[0].text,
              u"****************************************\r\nKolvarin runtime exception:\r\n"
              u"****************************************\r\nID: 9999\r\nClass: TKUnknownException [E , 12]\r\n"
              u"Message: \r\noops\r\nProgram terminated.");
    EXPECT_EQ(terminations, 1);
}

TEST_F(ErrorDialogTest, SilentAndUnknownCodes)
{
    ShowError(TKErrorCode::UnexpectedException, u"X", u"hidden", false);
    EXPECT_TRUE(dialog.shown.empty());
    ShowError(TKErrorCode(777), u"X", u"p", false);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_TRUE(dialog.shown[0].text.ends_with(u"Message: "));
}
