#include "shell/launcher.h"

#include <vector>

#include <gtest/gtest.h>

using namespace kolvarin::shell;

namespace {

class RecordingLauncher : public Launcher {
public:
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return true;
    }
    std::vector<QUrl> opened;
};

} // namespace

TEST(Launcher, TextsWithASchemeAreLinksAndTheRestLocalFiles)
{
    struct Case {
        std::u16string text;
        QString expected;
    };
    const Case cases[] = {
        {u"http://example.org/news?id=3", "http://example.org/news?id=3"},
        {u"  HTTPS://Example.org/  ", "https://example.org/"},
        {u"mms://stream.example.org/live", "mms://stream.example.org/live"},
        {u"MAILTO:info@example.org?subject=Hi", "mailto:info@example.org?subject=Hi"},
        {u"/home/user/My Music/a#1.mp3", "file:///home/user/My Music/a%231.mp3"},
        {u"/tmp/\u00e9t\u00e9.kpl", QString::fromUtf8("file:///tmp/\xc3\xa9t\xc3\xa9.kpl")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlFromText(c.text).toString(), c.expected) << c.expected.toStdString();
}

TEST(Launcher, OpenDocumentGoesThroughTheInstalledLauncher)
{
    RecordingLauncher recorder;
    Launchers().install(&recorder);
    EXPECT_TRUE(OpenDocument(u"https://example.org/"));
    EXPECT_TRUE(OpenDocument(u"/music/list.kpl"));
    Launchers().install(nullptr);
    ASSERT_EQ(recorder.opened.size(), 2u);
    EXPECT_EQ(recorder.opened[0], QUrl("https://example.org/"));
    EXPECT_EQ(recorder.opened[1].toLocalFile(), "/music/list.kpl");
    EXPECT_NE(&Launchers().current(), &recorder);
}
