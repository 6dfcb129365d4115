#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "dialogs/newsform.h"
#include "htmllist/markuplistbox.h"
#include "loopback_server.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

const char* const GoodNews = R"(<?xml version="1.0" encoding="UTF-8"?>
<kolvarin><onlinenews id="news-7">
  <config/>
  <entries>
    <entry title="Version 2 is out"><lines>
      <line><![CDATA[Get it <IMG src="logo"> now]]></line>
      <line>not a CDATA section</line>
      <line><![CDATA[Second line]]></line>
    </lines></entry>
    <entry title="Skins"><lines><line><![CDATA[New skins]]></line></lines></entry>
  </entries>
  <images>
    <img src="/img/logo.png" name="logo"/>
    <img src="/img/missing.gif" name="dir/missing"/>
  </images>
</onlinenews></kolvarin>)";

std::string png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A news server: each path answers with its response, unknown paths with a
// 404; "stall" never answers.
class NewsServer {
public:
    NewsServer()
        : server_([this](int fd, const std::string& request, const std::atomic<bool>& stopping) {
              const std::string path = request.substr(4, request.find(' ', 4) - 4);
              std::string response;
              {
                  std::lock_guard lock(mutex_);
                  requests_.push_back(request);
                  const auto found = responses_.find(path);
                  response = found == responses_.end() ? "404" : found->second;
              }
              if (response == "stall") {
                  while (!stopping)
                      std::this_thread::sleep_for(std::chrono::milliseconds(10));
                  return;
              }
              if (response == "404")
                  ktest::LoopbackServer::send(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
              else
                  ktest::LoopbackServer::send(fd, "HTTP/1.1 200 OK\r\nContent-Length: " +
                                                      std::to_string(response.size()) + "\r\n\r\n" + response);
          })
    {}
    void set(const std::string& path, std::string response)
    {
        std::lock_guard lock(mutex_);
        responses_[path] = std::move(response);
    }
    std::vector<std::string> requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int port() const { return std::stoi(server_.url("").substr(std::string("http://127.0.0.1:").size())); }
    std::string url(const std::string& path) const { return server_.url(path); }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> responses_;
    std::vector<std::string> requests_;
    ktest::LoopbackServer server_;
};

class NewsTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        UserPath = home().string() + "/";
        config.SetDefaults();
        config.NewsServer = {"127.0.0.1", server.port(), "/shared/newsupdate/currentnews.xml"};
        Config = &config;
        std::string document = GoodNews;
        for (const char* image : {"/img/logo.png", "/img/missing.gif"}) {
            const std::size_t at = document.find(image);
            document.replace(at, std::strlen(image), server.url(image));
        }
        server.set("/shared/newsupdate/currentnews.xml", document);
        server.set("/img/logo.png", png(24, 40));
        news = std::make_unique<TfrmNews>();
        news->IsConnected = [this] { return online; };
    }
    void TearDown() override
    {
        news.reset();
        Config = nullptr;
        TempHomeTest::TearDown();
    }
    // Waits until the download has ended one way or the other.
    bool settled()
    {
        return QTest::qWaitFor(
            [&] {
                return news->State() == TfrmNews::TNewsState::Showing || news->State() == TfrmNews::TNewsState::Failed;
            },
            10000);
    }
    std::string status() const { return news->lblDownloadStatus()->text().toStdString(); }

    NewsServer server;
    TKConfig config;
    std::unique_ptr<TfrmNews> news;
    bool online = true;
};

} // namespace

TEST_F(NewsTest, ShowsTheNewsAndItsPictures)
{
    config.LatestNews = "news-6";
    news->ShowNews(true);
    EXPECT_TRUE(news->isVisible());
    EXPECT_EQ(news->State(), TfrmNews::TNewsState::Downloading);
    EXPECT_TRUE(server.requests().empty()); // the download starts from the timer
    ASSERT_TRUE(settled());
    EXPECT_EQ(news->State(), TfrmNews::TNewsState::Showing);
    EXPECT_FALSE(news->panDownloadStatus()->isVisible());
    const std::string title =
        "<BODY bgcolor=\"#808080\" bgcolorto=\"clWhite\"><FONT size=\"3\" color=\"clWhite\"><SHADE><B>";
    const std::string line = "<FONT size=\"2\" color=\"clBlack\">";
    EXPECT_EQ(news->lbNews()->Items(),
              (std::vector<std::string>{title + "Version 2 is out</B></SHADE></FONT></BODY>",
                                        line + "Get it <IMG src=\"logo\"> now</FONT>", line + "Second line</FONT>",
                                        title + "Skins</B></SHADE></FONT></BODY>", line + "New skins</FONT>"}));
    // The picture arrived, the missing one was skipped, and the line made room for it.
    ASSERT_EQ(news->PictureContainer1().Count(), 1);
    EXPECT_EQ(news->PictureContainer1().Item(0).Name, "logo");
    EXPECT_EQ(news->PictureContainer1().Item(0).Picture.Height(), 40);
    EXPECT_EQ(news->lbNews()->ItemHeightAt(1), 44);
    // The request as the server sees it; no temporary file is left behind.
    const std::vector<std::string> requests = server.requests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0].rfind("GET /shared/newsupdate/currentnews.xml HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("Accept: text/html, */*\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(home() / "data/temp"));
    EXPECT_EQ(news->NewsID(), "news-7");
    EXPECT_EQ(config.LatestNews, "news-6"); // until the window hides
    news->btnOK()->click();
    EXPECT_FALSE(news->isVisible());
    EXPECT_EQ(config.LatestNews, "news-7");
}

TEST_F(NewsTest, FailuresEndInTheirMessageAndKeepTheNewsSeen)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* message;
    };
    const std::string path = "/shared/newsupdate/currentnews.xml";
    const Case cases[] = {
        {"offline", [&] { online = false; }, TfrmNews::MsgNotAvailable},
        {"refused", [&] { config.NewsServer.Port = ktest::closedPort(); }, TfrmNews::MsgConnectFailed},
        {"404", [&] { server.set(path, "404"); }, TfrmNews::MsgDownloadFailed},
        {"garbage", [&] { server.set(path, "\x89PNG garbage <<<"); }, TfrmNews::MsgLoadingFailed},
        {"no news", [&] { server.set(path, "<html><body>moved</body></html>"); }, TfrmNews::MsgLoadingFailed},
        {"huge", [&] { server.set(path, std::string(std::size_t(5) << 20, '<')); }, TfrmNews::MsgDownloadFailed},
        {"stalls",
         [&] {
             server.set(path, "stall");
             news->TotalTimeoutMs = 300;
         },
         TfrmNews::MsgDownloadFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        online = true;
        config.NewsServer.Port = server.port();
        news->TotalTimeoutMs = 30000;
        server.set(path, "<kolvarin><onlinenews id=\"new\"/></kolvarin>");
        config.LatestNews = "seen";
        c.arrange();
        news->ShowNews(true);
        ASSERT_TRUE(settled());
        EXPECT_EQ(news->State(), TfrmNews::TNewsState::Failed);
        EXPECT_EQ(status(), c.message);
        EXPECT_TRUE(news->btnRetry()->isVisible());
        EXPECT_EQ(news->lbNews()->Count(), 0);
        news->hide();
        EXPECT_EQ(config.LatestNews, "seen");
    }
}

TEST_F(NewsTest, RetryFetchesAgain)
{
    const std::string path = "/shared/newsupdate/currentnews.xml";
    server.set(path, "404");
    news->ShowNews(true);
    ASSERT_TRUE(settled());
    EXPECT_EQ(status(), TfrmNews::MsgDownloadFailed);
    server.set(path,
               "<kolvarin><onlinenews id=\"8\"><entries><entry title=\"Again\"/></entries></onlinenews></kolvarin>");
    news->btnRetry()->click();
    EXPECT_FALSE(news->btnRetry()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return news->State() == TfrmNews::TNewsState::Showing; }, 10000));
    EXPECT_EQ(news->lbNews()->Count(), 1);
    EXPECT_EQ(news->NewsID(), "8");
}

TEST_F(NewsTest, StartUpShowingWaitsForNewsAndKeepsFailuresQuiet)
{
    online = false;
    news->ShowNews(false);
    EXPECT_FALSE(news->isVisible());
    QTest::qWait(300);
    EXPECT_TRUE(server.requests().empty());

    // Online, but the news server cannot be reached: no window, no error.
    online = true;
    config.NewsServer.Port = ktest::closedPort();
    news->ShowNews(false);
    ASSERT_TRUE(settled());
    EXPECT_EQ(news->State(), TfrmNews::TNewsState::Failed);
    EXPECT_FALSE(news->isVisible());

    // The news shows once it is there.
    config.NewsServer.Port = server.port();
    news->ShowNews(false);
    EXPECT_FALSE(news->isVisible());
    ASSERT_TRUE(settled());
    EXPECT_TRUE(news->isVisible());
    EXPECT_EQ(news->lbNews()->Count(), 5);
    news->hide();

    // Nothing new: nothing shown; asked for, shown anyway.
    config.NewsWindowShowNewOnly = true;
    config.LatestNews = "news-7";
    news->ShowNews(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return news->State() == TfrmNews::TNewsState::Hidden; }, 10000));
    EXPECT_FALSE(news->isVisible());
    EXPECT_EQ(news->lbNews()->Count(), 0);
    news->ShowNews(true);
    ASSERT_TRUE(settled());
    EXPECT_EQ(news->lbNews()->Count(), 5);
}

TEST_F(NewsTest, TheCheckBoxIsTheStartUpSetting)
{
    config.NewsWindowOnStartUp = true;
    news->ShowNews(true);
    EXPECT_FALSE(news->cbDontShowWindow()->isChecked());
    news->cbDontShowWindow()->click();
    EXPECT_FALSE(config.NewsWindowOnStartUp);
    news->cbDontShowWindow()->click();
    EXPECT_TRUE(config.NewsWindowOnStartUp);
    config.NewsWindowOnStartUp = false;
    news->ShowNews(true);
    EXPECT_TRUE(news->cbDontShowWindow()->isChecked());
}

TEST(NewsImageFileName, IsOurOwnNameWithAPlainExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://news.example/img/logo.png", "/tmp/t/tempimage_frmNews.png"},
        {"https://news.example/a/b/photo.JPEG?size=2#top", "/tmp/t/tempimage_frmNews.JPEG"},
        {"http://news.example/get.php?file=../../etc/x.png", "/tmp/t/tempimage_frmNews.php"},
        {"http://news.example/..%2F..%2Fevil.png%2F", "/tmp/t/tempimage_frmNews"},
        {"http://news.example/archive.jpeg2000", "/tmp/t/tempimage_frmNews"},
        {"http://news.example/dir.d/noext", "/tmp/t/tempimage_frmNews"},
        {"http://news.example", "/tmp/t/tempimage_frmNews"},
        {"http://news.example/.png", "/tmp/t/tempimage_frmNews.png"},
    };
    for (const auto& [url, name] : cases)
        EXPECT_EQ(NewsImageFileName("/tmp/t/", "frmNews", url), name) << url;
}

TEST(NewsURL, FollowsTheNewsServerSetting)
{
    TKConfig config;
    Config = &config;
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"www.kolvarin.org", 80, "/shared/newsupdate/currentnews.xml",
         "http://www.kolvarin.org/shared/newsupdate/currentnews.xml"},
        {"news.example", 443, "/n.xml", "https://news.example/n.xml"},
        {"news.example", 8080, "n.xml", "http://news.example:8080/n.xml"},
    };
    for (const auto& [host, port, path, url] : cases) {
        config.NewsServer = {host, port, path};
        EXPECT_EQ(TfrmNews::NewsURL(), url);
    }
    Config = nullptr;
}
