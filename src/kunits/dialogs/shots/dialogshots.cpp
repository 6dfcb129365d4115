// Shows the news window with news from a small server on this machine and
// the about window with its credits under way, and saves a picture of each.
// Usage: kolvarin_dialogshots OUTPUT_FOLDER

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "dialogs/aboutform.h"
#include "dialogs/newsform.h"

using namespace kolvarin;

namespace {

const char* const Document = R"(<?xml version="1.0" encoding="UTF-8"?>
<kolvarin><onlinenews id="shots-1"><config/>
  <entries>
    <entry title="Kolvarin 2.1 is out"><lines>
      <line><![CDATA[<IMG src="logo" align="middle"> The new version plays <B>more formats</B> and starts faster.]]></line>
      <line><![CDATA[Read what changed on <A href="https://www.kolvarin.org/news">our web site</A>.]]></line>
    </lines></entry>
    <entry title="New skins"><lines>
      <line><![CDATA[<IMG src="skins" align="middle"> Three new skins: <I>Harbour</I>, <I>Dusk</I> and <I>Paper</I>.]]></line>
      <line><![CDATA[<FONT color="clNavy">Get them from the skin page.</FONT>]]></line>
    </lines></entry>
    <entry title="Thank you"><lines>
      <line><![CDATA[To everyone who sent in bug reports &amp; translations.]]></line>
    </lines></entry>
  </entries>
  <images><img src="/img/logo.png" name="logo"/><img src="/img/skins.png" name="skins"/></images>
</onlinenews></kolvarin>)";

std::string Picture(QColor from, QColor to)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 32, 32);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.setBrush(gradient);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(2, 2, 28, 28, 6, 6);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Answers each GET with the file of its path, or 404.
void Serve(QTcpServer& server, const std::map<std::string, std::string>& files)
{
    QObject::connect(&server, &QTcpServer::newConnection, [&server, &files] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &files] {
            const std::string request = socket->readAll().toStdString();
            const std::size_t start = request.find(' ') + 1;
            const auto found = files.find(request.substr(start, request.find(' ', start) - start));
            const std::string body = found == files.end() ? "" : found->second;
            const std::string status = found == files.end() ? "404 Not Found" : "200 OK";
            socket->write(QByteArray::fromStdString("HTTP/1.1 " + status +
                                                    "\r\nContent-Length: " + std::to_string(body.size()) +
                                                    "\r\nConnection: close\r\n\r\n" + body));
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });
}

void Wait(
    int ms, const std::function<bool()>& done = [] { return false; })
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !done())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget& window, const std::string& folder, const char* name)
{
    QApplication::processEvents();
    const std::string path = folder + "/" + name + ".png";
    if (!window.grab().save(QString::fromStdString(path)))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::string folder = argv[1];
    QTemporaryDir home;
    UserPath = home.path().toStdString() + "/";
    QDir().mkpath(home.path() + "/data/temp");
    ApplicationPath = DetectApplicationPath(DetectInstallPath());
    TKConfig config;
    config.SetDefaults();
    Config = &config;

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "cannot listen on the loopback address\n");
        return 1;
    }
    const std::string base = "http://127.0.0.1:" + std::to_string(server.serverPort());
    std::string document = Document;
    for (const char* path : {"/img/logo.png", "/img/skins.png"})
        document.replace(document.find(path), std::strlen(path), base + path);
    const std::map<std::string, std::string> files{
        {"/news.xml", document},
        {"/img/logo.png", Picture(QColor(255, 160, 40), QColor(200, 60, 20))},
        {"/img/skins.png", Picture(QColor(90, 180, 255), QColor(40, 60, 200))},
    };
    Serve(server, files);
    config.NewsServer = {"127.0.0.1", server.serverPort(), "/news.xml"};

    TfrmNews news;
    news.IsConnected = [] { return true; };
    news.ShowNews(true);
    Wait(10000, [&] { return news.State() == TfrmNews::TNewsState::Showing; });
    Save(news, folder, "news");
    news.hide();

    TfrmAbout about;
    frmAbout = &about;
    ShowAboutWindow(nullptr);
    Wait(6000); // the credits rise into the box
    Save(about, folder, "about");
    frmAbout = nullptr;
    Config = nullptr;
    return 0;
}
