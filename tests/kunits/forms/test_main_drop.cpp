// Files dropped on the main window and added through its actions.
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "core/playlist/kplaylistprocs.h"
#include "core/text/kstrings.h"
#include "mainformfixture.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace ktest {
namespace {

class MainDropTest : public MainFormTest {
protected:
    fs::path file(const std::string& relative)
    {
        const fs::path path = home() / "media" / relative;
        fs::create_directories(path.parent_path());
        writeBytes(path);
        return path;
    }
    static void writeBytes(const fs::path& path) { std::ofstream(path) << "not really a medium"; }

    // Drops the files as a file manager does: a text/uri-list of file URLs.
    void drop(const std::vector<fs::path>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const fs::path& p : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(p.string()));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(main.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(main.get(), &event);
    }

    std::vector<std::string> playlistNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < PlaylistCount(); ++i)
            names.push_back(fs::path(Utf16ToUtf8(PlaylistGetItem(i)->FileName)).filename().string());
        return names;
    }
};

TEST_F(MainDropTest, DroppedFilesReplaceThePlaylistInNameOrderAndPlayTheFirst)
{
    PlaylistAdd(u"old", u"/old.mp3", "00:00:00", false, "00");
    main->SetStatusText(u"Ready");
    drop({file("b.mp3"), file("C.ogg"), file("a.wav")});
    EXPECT_TRUE(main->Adder.Busy()) << "adding runs from the event loop";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    EXPECT_EQ(playlistNames(), (std::vector<std::string>{"a.wav", "b.mp3", "C.ogg"}));
    EXPECT_EQ(PlaylistItemIndex, 0) << "the first dropped file was started";
    EXPECT_EQ(main->StatusText(), u"Ready") << "the saved status text is back";
}

TEST_F(MainDropTest, AFolderWithALinkCycleAddsEachFileOnce)
{
    file("tree/one.mp3");
    file("tree/sub/two.mp3");
    fs::create_directory_symlink(home() / "media" / "tree", home() / "media" / "tree" / "sub" / "loop");
    drop({home() / "media" / "tree"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    EXPECT_EQ(playlistNames(), (std::vector<std::string>{"one.mp3", "two.mp3"}));
}

TEST_F(MainDropTest, AHundredThousandNamesLeaveTheEventLoopRunningAndEscCancels)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < 100000; ++i)
        names.push_back(u"/nowhere/" + Utf8ToUtf16(std::to_string(i)) + u".mp3");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(0);
    main->DropFiles(names);
    while (main->Adder.Busy() && main->StatusText().find(u"/ 100000)") == std::u16string::npos)
        QCoreApplication::processEvents();
    EXPECT_TRUE(main->Adder.Busy()) << "the progress shows while the names are being added";
    EXPECT_GT(ticks, 1) << "the event loop ran meanwhile";
    QTest::keyClick(main.get(), Qt::Key_Escape);
    EXPECT_FALSE(main->Adder.Busy());
}

TEST_F(MainDropTest, TheEjectActionsFilesReplaceThePlaylistAndAddFilesAppends)
{
    PlaylistAdd(u"old", u"/old.mp3", "00:00:00", false, "00");
    main->AddFiles({file("z.mp3").u16string(), file("y.mp3").u16string()}, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    EXPECT_EQ(playlistNames(), (std::vector<std::string>{"old.mp3", "y.mp3", "z.mp3"}));
    main->AddFiles({file("x.mp3").u16string()}, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    EXPECT_EQ(playlistNames(), std::vector<std::string>{"x.mp3"});
}

TEST_F(MainDropTest, AddingAFolderRemembersIt)
{
    file("dir/one.mp3");
    main->AddDirectory((home() / "media" / "dir").u16string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    EXPECT_EQ(playlistNames(), std::vector<std::string>{"one.mp3"});
    EXPECT_EQ(Config->LastDir, (home() / "media" / "dir").u16string());
}

} // namespace
} // namespace ktest
