// The playlist window's menu and the dialogs it opens, through the real
// windows: adding files and folders, searching, adding a URL, saving and
// loading a playlist, and how those dialogs look beside the skinned windows.
#include <QImage>

#include "core/text/kstrings.h"
#include "journey.h"

namespace ktest {
namespace {

class PlaylistMenuJourney : public Journey {
protected:
    // The playlist window's menu, opened over its list.
    void OpenPlaylistMenu()
    {
        const auto playlist = X().WaitForWindow(kPlaylistTitle);
        ASSERT_TRUE(playlist);
        playlist_ = playlist->Id;
        const TXRect area = X().Geometry(playlist_);
        ASSERT_TRUE(OpenMenu(playlist_, area.Width / 2, area.Height / 2));
    }

    // Walks the open menu with the keys and chooses the item reached.
    void Choose(const std::string& key, int times)
    {
        for (int i = 0; i < times; ++i)
            X().Press(key);
        X().Press("Return");
    }

    // Waits for the dialog of that title to show with the focus in it.
    bool Dialog(const std::string& title)
    {
        const auto dialog = X().WaitForWindow(title);
        return dialog && WaitUntil([&] { return X().Focus() != playlist_ && X().Focus() > 1; });
    }

    bool DialogGone(const std::string& title)
    {
        return WaitUntil([&] {
            const auto dialog = X().Find(title);
            return !dialog || !dialog->Viewable;
        });
    }

    std::vector<std::u16string> StoredFileNames()
    {
        std::vector<std::u16string> names;
        for (const auto& entry : StoredPlaylist())
            names.push_back(entry->FileName);
        return names;
    }

    static std::u16string U(const std::filesystem::path& file) { return kolvarin::Utf8ToUtf16(file.string()); }

    // The share of the dialog's pixels that are light, from a screenshot of
    // it kept beside the others for a person to look at.
    double LightShare(const std::string& title)
    {
        const auto dialog = X().WaitForWindow(title);
        if (!dialog)
            return 1;
        const auto file = Shot(title);
        const auto shot = std::filesystem::path(file).replace_filename(file.stem().string() + "-window.png");
        if (!X().Screenshot(shot, dialog->Id))
            return 1;
        const QImage image(QString::fromStdString(shot.string()));
        size_t light = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                light += qGray(image.pixel(x, y)) > 160;
        return image.isNull() ? 1 : double(light) / (double(image.width()) * image.height());
    }

    XWindow playlist_ = 0;
};

TEST_F(PlaylistMenuJourney, AddFilesAndAddDirectoryRunTheMainWindowsActions)
{
    const auto tracks = MakeTracks({"Amber", "Cobalt", "Umber"}, 1);
    ASSERT_TRUE(Start());

    OpenPlaylistMenu();
    Choose("Down", 1); // "Add files..."
    ASSERT_TRUE(Dialog("Add files..."));
    X().Type(tracks[0].parent_path().string() + "\n");
    X().Type("\"Amber.wav\" \"Umber.wav\"\n");
    ASSERT_TRUE(DialogGone("Add files..."));

    OpenPlaylistMenu();
    Choose("Down", 2); // "Add directory..."
    ASSERT_TRUE(Dialog("Choose directory"));
    X().Type(tracks[0].parent_path().string() + "\n");
    ASSERT_TRUE(DialogGone("Choose directory"));
    // The folder is read and added in the background while the status says so.
    const auto adding = [&] {
        const std::string title = X().Title(Main().Id);
        return title.starts_with("Kolvarin - Reading directory") || title.starts_with("Kolvarin - Adding files");
    };
    WaitUntil(adding, std::chrono::seconds(2));
    ASSERT_TRUE(WaitUntil([&] { return !adding(); }));
    Shot("added");

    ASSERT_EQ(Terminate(), 0);
    EXPECT_EQ(StoredFileNames(),
              (std::vector<std::u16string>{U(tracks[0]), U(tracks[2]), U(tracks[0]), U(tracks[1]), U(tracks[2])}));
}

TEST_F(PlaylistMenuJourney, SearchAndAddUrlTakeTheTypedKeysInTheirEditField)
{
    const auto tracks = MakeTracks({"Amber", "Cobalt", "Umber"}, 30);
    std::vector<std::string> args = Arguments(tracks);
    args.insert(args.begin(), "/add"); // added, nothing plays
    ASSERT_TRUE(Start(args));

    OpenPlaylistMenu();
    Choose("Up", 7); // "Find item" (from the end: save, load, clear, invert, none, all, sort, find)
    ASSERT_TRUE(Dialog("Search"));
    // "c" pauses and "b" plays the next entry where they reach the hot keys;
    // Return in the keyword field plays the first entry found.
    X().Type("cob\n");
    ASSERT_TRUE(WaitForLog("TKSystem.Play - Enter with Index=\"1\""));
    EXPECT_EQ(LogCount("TKSystem.Play - Enter with Index="), 1u);
    X().Press("Escape");
    ASSERT_TRUE(DialogGone("Search"));

    OpenPlaylistMenu();
    Choose("Down", 4); // "Add URL..."
    ASSERT_TRUE(Dialog("Add URL"));
    X().Type("radio.example/bc\n"); // after the "http://" the field starts with
    ASSERT_TRUE(DialogGone("Add URL"));

    ASSERT_EQ(Terminate(), 0);
    EXPECT_EQ(LogCount("TKSystem.Play - Enter with Index="), 1u);
    EXPECT_EQ(LogCount("TKSystem.Pause - Enter"), 0u);
    const auto names = StoredFileNames();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names.back(), u"http://radio.example/bc");
}

// The dialogs the skin does not draw share its dark palette: a light
// window among the dark ones would glare.
TEST_F(PlaylistMenuJourney, TheDialogsItOpensAreDarkLikeTheSkin)
{
    ASSERT_TRUE(Start(Arguments(MakeTracks({"Amber"}, 30))));
    // Text and edges are light; a window on the toolkit's default palette is
    // light nearly everywhere.
    constexpr double kMostlyDark = 0.2;

    OpenPlaylistMenu();
    Choose("Up", 7); // "Find item"
    ASSERT_TRUE(Dialog("Search"));
    EXPECT_LT(LightShare("Search"), kMostlyDark);
    X().Press("Escape");
    ASSERT_TRUE(DialogGone("Search"));

    OpenPlaylistMenu();
    Choose("Down", 1); // "Add files..."
    ASSERT_TRUE(Dialog("Add files..."));
    EXPECT_LT(LightShare("Add files..."), kMostlyDark);
    X().Press("Escape");
    ASSERT_TRUE(DialogGone("Add files..."));

    OpenPlaylistMenu();
    Choose("Down", 4); // "Add URL..."
    ASSERT_TRUE(Dialog("Add URL"));
    EXPECT_LT(LightShare("Add URL"), kMostlyDark);
    // An address of no stream kind is refused with a message box.
    X().Press("ctrl+a");
    X().Type("gopher://radio.example/\n");
    ASSERT_TRUE(Dialog("Kolvarin runtime warning"));
    EXPECT_LT(LightShare("Kolvarin runtime warning"), kMostlyDark);
    X().Press("Return");
    ASSERT_TRUE(DialogGone("Kolvarin runtime warning"));
    EXPECT_EQ(Terminate(), 0);
}

TEST_F(PlaylistMenuJourney, APlaylistSavedUnderAnotherExtensionIsAKplFileThatLoadsBack)
{
    const auto tracks = MakeTracks({"Amber", "Cobalt"}, 1);
    std::vector<std::string> args = Arguments(tracks);
    args.insert(args.begin(), "/add");
    ASSERT_TRUE(Start(args));
    const auto typed = Home() / "mylist.m3u";

    OpenPlaylistMenu();
    Choose("Up", 1); // "Save playlist..."
    ASSERT_TRUE(Dialog("Save playlist..."));
    X().Type(typed.string() + "\n");
    ASSERT_TRUE(DialogGone("Save playlist..."));
    const auto saved = Home() / "mylist.kpl";
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(saved); }));
    EXPECT_FALSE(std::filesystem::exists(typed));
    kolvarin::TKPlaylistEntries entries;
    EXPECT_TRUE(kolvarin::ParseKplFile(readFile(saved), entries));
    EXPECT_EQ(entries.size(), tracks.size());

    OpenPlaylistMenu();
    Choose("Up", 3); // "Clear playlist"
    OpenPlaylistMenu();
    Choose("Up", 2); // "Load playlist..."
    ASSERT_TRUE(Dialog("Open playlist..."));
    X().Type(saved.string() + "\n");
    ASSERT_TRUE(DialogGone("Open playlist..."));

    ASSERT_EQ(Terminate(), 0);
    EXPECT_EQ(StoredFileNames(), (std::vector<std::u16string>{U(tracks[0]), U(tracks[1])}));
}

} // namespace
} // namespace ktest
