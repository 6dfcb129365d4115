// Graph scripts: which script a file gets, a script building and running a
// graph (its compiled code cached), scripts that fail leaving no graph
// behind, and the natives as scripts call them.
#include "video/graphbuilder.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <QColor>
#include <QCoreApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"
#include "core/text/kstrings.h"
#include "dvd_fixture.h"
#include "media/graphif.h"
#include "media/subtitlefilter.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"
#include "temphome.h"
#include "video/dskitdspfilter.h"
#include "video/dskitvideowindow.h"
#include "video/kvideohost.h"

using namespace kolvarin;
using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;
namespace fs = std::filesystem;

namespace {

class ScriptHost : public TKVideoHost {
public:
    explicit ScriptHost(TDSVideoWindowEx2& display) : display_(display) {}
    TDSVideoWindowEx2& VideoDisplay() override { return display_; }
    bool ChooseScript(const std::vector<std::string>& candidates, std::string& chosen, bool& dontAskAgain) override
    {
        Asked.push_back(candidates);
        chosen = Answer;
        dontAskAgain = DontAskAgain;
        return !Answer.empty();
    }
    void WriteFilterGraphToLog() override { ++GraphLogs; }
    std::vector<std::vector<std::string>> Asked;
    int GraphLogs = 0;
    std::string Answer;
    bool DontAskAgain = false;

private:
    TDSVideoWindowEx2& display_;
};

class ErrorRecorder : public TErrorDialog {
public:
    void Show(const std::u16string&, const std::u16string& text, Icon) override { Texts.push_back(text); }
    std::vector<std::u16string> Texts;
};

std::vector<std::u16string> FilterNames(TFilterGraph& graph)
{
    std::vector<std::u16string> names;
    ComPtr<IEnumFilters> e;
    graph.Query<IFilterGraph>()->EnumFilters(e.put());
    ComPtr<IBaseFilter> f;
    while (e->Next(1, f.put(), nullptr) == S_OK)
        names.push_back(FilterName(f.get()));
    return names;
}

class GraphBuilderTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        Config = new TKConfig();
        Config->SetDefaults();
        Config->VideoFilters.clear();
        Config->DSGraphFallback = false;
        SetErrorDialog(&errors);
        display.resize(fx::kWidth * 2, fx::kHeight * 2);
        graph.SetActive(true);
        display.SetFilterGraph(&graph);
        dsp.SetFilterGraph(&graph);
        builder = std::make_unique<TKGraphBuilder>(graph, display, dsp, &host, nullptr);
        builder->ScriptFolder = (dir().path() / "scripts").string() + "/";
        builder->CacheBase = home().string() + "/";
        fs::create_directories(dir().path() / "scripts");
    }
    void TearDown() override
    {
        builder.reset();
        graph.SetActive(false);
        display.SetFilterGraph(nullptr);
        dsp.SetFilterGraph(nullptr);
        SetErrorDialog(nullptr);
        delete Config;
        Config = nullptr;
        TempHomeTest::TearDown();
    }
    std::string script(const std::string& name, const std::string& text)
    {
        const fs::path file = dir().path() / "scripts" / (name + ".kgraph");
        std::ofstream(file) << text;
        return file.string();
    }
    // The program's own filters are all that is left of a graph.
    void ExpectOnlyProgramFilters()
    {
        EXPECT_EQ(FilterNames(graph).size(), 2u);
        EXPECT_EQ(builder->DynFilters.GetCount(), 0);
    }

    ErrorRecorder errors;
    TDSVideoWindowEx2 display;
    TDSKitQxDSPFilter dsp;
    TFilterGraph graph;
    ScriptHost host{display};
    std::unique_ptr<TKGraphBuilder> builder;
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const std::string kSplitterScript = R"(
void Filter()
{
    AddFilter("Media Splitter");
    AddFilter("Video Decoder");
    Export("filesource", "Media Splitter");
}
)";

} // namespace

TEST_F(GraphBuilderTest, EachFileGetsTheScriptTheSettingsAndTheUserChoose)
{
    script("A", R"(void Filetypes() { AddFileType(".abc", "A files"); })");
    script("B", R"(void Filetypes() { AddFileType(".abc", "B files"); AddFileType(".DEF", "D files"); })");
    script("C", R"(void Filetypes() { AddFileType("CLIP??.XYZ", "clips"); })");
    script("D", "void Filter() { }");
    script("E", "void Filetypes() { }");
    script("F", R"(void Filetypes() { AddFileType(".abc" })");
    // "&&" is "&", which binds as tightly as "*": comparisons joined by it
    // need their parentheses, and a script without them does not compile.
    script("G", R"(void Filetypes()
{
    int a;
    a = 1;
    if ((a < 2) && (a > 0)) AddFileType(".and", "both hold");
    if ((a < 1) && (a > 0)) AddFileType(".not", "one fails");
    if ((a > 0) && (a < 1)) AddFileType(".not2", "the other fails");
})");
    script("H", R"(void Filetypes() { int a; a = 1; if (a < 2 && a > 0) AddFileType(".and", "x"); })");
    Config->VideoFilters = {
        {".abc", "A", true}, {".abc", "B", false}, {".def", "B", false}, {"CLIP??.XYZ", "C", false}};
    builder->RefreshFilterGraphTypes();
    std::vector<std::string> names;
    for (const auto& info : builder->Scripts())
        names.push_back(info.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "G"})) << "no file types, no candidate";
    ASSERT_EQ(builder->Scripts().back().FileTypes.size(), 1u);
    EXPECT_EQ(builder->Scripts().back().FileTypes[0].Ext, ".and");

    EXPECT_EQ(builder->ScriptForFile(".def", "x.def"), "B");
    EXPECT_EQ(builder->ScriptForFile(".xyz", "clip01.xyz"), "") << "a candidate without a row is not used";
    EXPECT_EQ(builder->ScriptForFile(".ghi", "x.ghi"), "");
    EXPECT_TRUE(host.Asked.empty());

    host.Answer = "B";
    host.DontAskAgain = true;
    EXPECT_EQ(builder->ScriptForFile(".abc", "x.abc"), "B");
    ASSERT_EQ(host.Asked.size(), 1u);
    EXPECT_EQ(host.Asked[0], (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Config->VideoFilters[0].Script, "B");
    EXPECT_FALSE(Config->VideoFilters[0].CanAsk) << "don't ask again";
    EXPECT_EQ(builder->ScriptForFile(".abc", "x.abc"), "B");
    EXPECT_EQ(host.Asked.size(), 1u) << "not asked the second time";

    Config->VideoFilters[0] = {".abc", "A", true};
    host.Answer.clear();
    EXPECT_EQ(builder->ScriptForFile(".abc", "x.abc"), "") << "cancelled: automatic rendering";
    EXPECT_EQ(Config->VideoFilters[0].Script, "A");
}

// Fresh settings name a script for each of these types: the shipped script
// of that name compiles and declares the type, and a file of an extension
// row gets it.
TEST_F(GraphBuilderTest, TheShippedScriptsDeclareEveryTypeOfTheDefaultTable)
{
    builder->ScriptFolder = ktest::TestData("../../data/dsgraphs").string() + "/";
    Config->SetDefaultFilters();
    builder->RefreshFilterGraphTypes();
    for (const TVideoFilterEntry& row : Config->VideoFilters) {
        const auto& scripts = builder->Scripts();
        const auto script =
            std::find_if(scripts.begin(), scripts.end(), [&](const auto& s) { return s.Name == row.Script; });
        ASSERT_NE(script, scripts.end()) << row.Script;
        EXPECT_TRUE(std::any_of(script->FileTypes.begin(), script->FileTypes.end(),
                                [&](const auto& type) { return Lower(type.Ext) == Lower(row.Extension); }))
            << row.Script << " does not declare " << row.Extension;
        if (row.Extension[0] == '.') {
            EXPECT_EQ(builder->ScriptForFile(row.Extension, "clip" + row.Extension), row.Script) << row.Extension;
        }
    }
    EXPECT_TRUE(fs::exists(ktest::TestData("../../data/dvdgraphs") / (Config->DVDGraph + ".kgraph")));
}

TEST_F(GraphBuilderTest, AGraphScriptBuildsAGraphThatPlaysAndItsCodeIsCached)
{
    const fs::path source = ktest::TestData("../../data/dsgraphs/Kolvarin Codec Pack.kgraph");
    fs::copy_file(source, dir().path() / "scripts" / source.filename());
    Config->SetDefaultFilters();
    builder->RefreshFilterGraphTypes();
    ASSERT_TRUE(builder->PlayVideo(fx::FileName(fx::MkvFixture())));
    EXPECT_TRUE(builder->FileSource);
    EXPECT_TRUE(errors.Texts.empty());
    const auto names = FilterNames(graph);
    for (const char16_t* name : {u"Media Splitter", u"Video Decoder", u"Audio Decoder", u"[Audio Renderer]"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << Utf16ToUtf8(name);
    EXPECT_TRUE(fs::exists(home() / "data" / "temp" / "Kolvarin Codec Pack.lsc"));
    EXPECT_EQ(host.GraphLogs, 1) << "the built graph goes to the trace log";

    ASSERT_TRUE(graph.Pause());
    OAFilterState state;
    graph.Query<IMediaControl>()->GetState(3000, &state);
    QCoreApplication::processEvents();
    const QImage shown = GrabVideoWindow(display.GetFilter().get());
    const QColor left = shown.pixelColor(shown.width() / 4, shown.height() / 2);
    EXPECT_NEAR(left.blue(), int(fx::kLeftColour & 0xFF), 14);
    EXPECT_NEAR(left.red(), int(fx::kLeftColour >> 16), 14);
    graph.Stop();
}

TEST_F(GraphBuilderTest, AScriptThatFailsLeavesNoGraphAndFallsBackWhenAllowed)
{
    struct Case {
        const char* name;
        std::string text;
        bool compileError;
    } cases[] = {
        {"syntax", "void Filter() { AddFilter( }\nvoid Connect() { }", true},
        // The video decoder refuses the sound.
        {"connect",
         kSplitterScript + R"(void Connect() { ConnectPins("Media Splitter", "Audio", "Video Decoder", ""); })", false},
        {"noconnect", kSplitterScript, false},
        {"fault", "void Filter() { int z; int x; z = 0; x = 7 / z; }\nvoid Connect() { }", false},
    };
    for (const Case& c : cases) {
        errors.Texts.clear();
        const std::string file = script(c.name, c.text);
        EXPECT_FALSE(builder->PlayScriptVideo(fx::FileName(fx::MkvFixture()), file)) << c.name;
        EXPECT_TRUE(builder->ScriptError) << c.name;
        ExpectOnlyProgramFilters();
        ASSERT_EQ(errors.Texts.size(), c.compileError ? 1u : 0u) << c.name;
        if (c.compileError) {
            EXPECT_NE(errors.Texts[0].find(u"TKDirectShowScriptEngine"), std::u16string::npos);
        }
    }
    // Chosen for .mkv, failing: automatic rendering only when the setting says so.
    script("connect", "void Filetypes() { AddFileType(\".mkv\", \"x\"); }\n" + cases[1].text);
    Config->VideoFilters = {{".mkv", "connect", false}};
    builder->RefreshFilterGraphTypes();
    EXPECT_FALSE(builder->PlayVideo(fx::FileName(fx::MkvFixture())));
    ExpectOnlyProgramFilters();
    Config->DSGraphFallback = true;
    host.GraphLogs = 0;
    EXPECT_TRUE(builder->PlayVideo(fx::FileName(fx::MkvFixture())));
    EXPECT_EQ(host.GraphLogs, 2) << "the failed script's graph and the rendered one";
    EXPECT_GT(FilterNames(graph).size(), 4u);
}

TEST_F(GraphBuilderTest, SubtitleFilesBesideTheVideoReachTheSubtitleFilter)
{
    // The clip with ".srt" and ".ssa" files beside it: both are offered in
    // the table's order, so the ".ssa" one stays loaded.
    const fs::path clip = dir().path() / "movie.mkv";
    fs::copy_file(fx::MkvFixture(), clip);
    std::ofstream(dir().path() / "movie.srt") << "1\n00:00:00,000 --> 00:00:01,000\nHello\n";
    std::ofstream(dir().path() / "movie.ssa") << "[Script Info]\nScriptType: v4.00\n";
    const std::string file = script("subtitles", R"(
void Filter()
{
    AddFilter("Media Splitter");
    AddFilter("Video Decoder");
    AddFilter("DirectVobSub");
    Export("filesource", "Media Splitter");
    Export("DirectVobSub", "DirectVobSub");
}
void Connect()
{
    ConnectPins("Media Splitter", "Video", "Video Decoder", "");
    ConnectPins("Video Decoder", "", "DirectVobSub", "Input");
    ConnectPins("DirectVobSub", "Output", "[Video Renderer]", "");
    if (HasSubtitles())
        ConnectPins("Media Splitter", "Subtitle", "DirectVobSub", "Subtitle");
}
)");
    ASSERT_TRUE(builder->PlayScriptVideo(fx::FileName(clip), file));
    ASSERT_TRUE(builder->SubtitleSource);
    EXPECT_TRUE(builder->HasSubtitles);
    auto vobsub = QueryAs<IDirectVobSub>(builder->SubtitleSource->GetFilter().get());
    ASSERT_TRUE(vobsub);
    std::u16string loaded;
    vobsub->get_FileName(&loaded);
    EXPECT_EQ(loaded, fx::FileName(dir().path() / "movie.ssa"));
}

TEST_F(GraphBuilderTest, TheDvdScriptOpensTheDiscAndPlaysItsMenu)
{
    builder->DVDScriptFolder = ktest::TestData("../../data/dvdgraphs").string() + "/";
    Config->DVDGraph = "Kolvarin Codec Pack";
    ASSERT_TRUE(builder->PlayDVD(fx::FileName(fx::DvdFixture() / "VIDEO_TS" / "VIDEO_TS.IFO")));
    ASSERT_TRUE(builder->DvdControl) << "the navigator's control reaches the play system";
    EXPECT_TRUE(builder->DvdInfo);
    ASSERT_TRUE(graph.Play());
    QImage shown;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (shown.isNull() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        shown = CurrentVideoImage(display.GetFilter().get());
    }
    ASSERT_FALSE(shown.isNull());
    const QColor c = shown.pixelColor(shown.width() - 10, shown.height() - 10);
    EXPECT_NEAR(c.green(), int(fx::kDvdMenuColour >> 8 & 0xFF), 20) << "the menu's still picture";
    graph.Stop();

    Config->DVDGraph = "Missing";
    EXPECT_FALSE(builder->PlayDVD(fx::FileName(fx::DvdFixture() / "VIDEO_TS" / "VIDEO_TS.IFO")))
        << "no automatic DVD graph exists";
}

TEST_F(GraphBuilderTest, NativesTakeTheirArgumentsInOrder)
{
    const std::string file = script("natives", R"(
void Filter()
{
    Export("Role", "one");
    Export("ROLE", "two");
    AddFilterScanDir("c:\\dir/sub");
    if ((strcomp("abc", "abd") < 0) && (strcomp("ab", "abc") == -1) && (strcomp("x", "x") == 0))
        Export("order", "ok");
    if (!HasSubtitles())
        Export("subtitles", "none yet");
}
)");
    EXPECT_FALSE(builder->PlayScriptVideo(fx::FileName(fx::MkvFixture()), file)) << "it has no Connect";
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(builder->Exports, (std::vector<Pair>{{"Role", "one"}, {"order", "ok"}, {"subtitles", "none yet"}}));
    ASSERT_EQ(builder->ScanDirs.size(), 3u) << "after the application and system folders";
    EXPECT_EQ(builder->ScanDirs[2], "c:/dir/sub");

    struct Case {
        const char* a;
        const char* b;
        int sign;
    } compares[] = {{"abc", "abd", -1}, {"abd", "abc", 1}, {"ab", "abc", -1}, {"abc", "abc", 0}, {"", "a", -1}};
    for (const Case& c : compares) {
        const int r = ScriptStrComp(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " " << c.b;
    }
    EXPECT_EQ(ScriptStrComp("ab", "abc"), -1);
}

TEST_F(GraphBuilderTest, RegisterFilterTakesTheFirstScanFolderThatHoldsTheLibrary)
{
    const fs::path app = dir().path() / "app", system = dir().path() / "system";
    fs::create_directories(app / "sub");
    fs::create_directories(system);
    std::ofstream(app / "sub" / "Flt.so") << "x";
    std::ofstream(system / "flt.so") << "x";
    builder->ScanDirs = {system.string() + "/nothing", app.string(), system.string()};
    builder->RegisterFilter("flt.so");
    EXPECT_EQ(builder->RegisteredFiles, (std::vector<std::string>{(app / "sub" / "Flt.so").string()}));
    builder->RegisterFilter("missing.so");
    EXPECT_EQ(builder->RegisteredFiles.size(), 1u) << "a missing library is silent";
}
