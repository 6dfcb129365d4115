#include "dialogs/newsform.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/desktop/kshellutils.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kfilesave.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/captionstrip.h"
#include "htmllist/markuplistbox.h"
#include "http/fetcher.h"

namespace kolvarin {

TfrmNews* frmNews = nullptr;

namespace {

constexpr int ClientWidth = 452;
constexpr int ClientHeight = 523;
constexpr int StripHeight = 20;
constexpr int Margin = 10;
constexpr int BarHeight = 44;
constexpr std::size_t MaxDocumentBytes = std::size_t(4) << 20;
constexpr std::size_t MaxImageBytes = std::size_t(8) << 20;

bool writeFile(const std::string& fileName, const std::string& bytes)
{
    std::ofstream file(std::filesystem::path(fileName), std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), std::streamsize(bytes.size())) && file.flush();
}

void removeFile(const std::string& fileName)
{
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(fileName), ignored);
}

QString qtext(const std::string& ansi) { return QString::fromStdU16String(AnsiToUtf16(ansi)); }

QString NewsText(int number) { return QString::fromStdU16String(Language.Text(TLanguageSection::News, number)); }

} // namespace

std::string NewsImageFileName(const std::string& folder, const std::string& windowName, const std::string& url)
{
    std::string path = url.substr(0, url.find_first_of("?#"));
    const std::size_t scheme = path.find("://");
    path = scheme == std::string::npos ? path : path.substr(scheme + 3);
    const std::size_t slash = path.find('/');
    const std::string last = slash == std::string::npos ? "" : path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = last.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : last.substr(dot + 1);
    const bool plain =
        !extension.empty() && extension.size() <= 4 && std::all_of(extension.begin(), extension.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
    return folder + "tempimage_" + windowName + (plain ? "." + extension : "");
}

TfrmNews::TfrmNews(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      lbNews_(new TMarkupListBox(this)),
      btnOK_(new QPushButton(NewsText(2), this)),
      cbDontShowWindow_(new QCheckBox(NewsText(3), this)),
      panDownloadStatus_(new QFrame(this)),
      lblDownloadStatus_(new QLabel(panDownloadStatus_)),
      btnRetry_(new QPushButton(QStringLiteral("Retry"), panDownloadStatus_)),
      fetcher_(std::make_unique<http::Fetcher>(this))
{
    setObjectName(QStringLiteral("frmNews"));
    setWindowTitle(NewsText(1));
    btnOK_->setObjectName(QStringLiteral("btnOK"));
    cbDontShowWindow_->setObjectName(QStringLiteral("cbDontShowWindow"));
    ApplyDialogPalette(this);
    setFixedSize(ClientWidth, ClientHeight);
    IsConnected = [] { return IsInternetConnected(); };

    auto* strip = new TCaptionStrip(this);
    strip->setGeometry(0, 0, ClientWidth, StripHeight);

    lbNews_->setGeometry(Margin, StripHeight + Margin, ClientWidth - 2 * Margin,
                         ClientHeight - StripHeight - 2 * Margin - BarHeight);
    lbNews_->SetItemFont(gdi::Font{.name = u"Tahoma", .pixelSize = 16});
    lbNews_->SetEllipsis(false);
    lbNews_->SetScrollHorizontal(true);
    lbNews_->SetShowSelection(false);
    lbNews_->SetShadowOffset(2);
    lbNews_->SetSelectionFontColor(clHighlightText);
    lbNews_->SetMultiline(false);
    lbNews_->SetPictureContainer(&pictures_);

    const int barTop = ClientHeight - BarHeight;
    cbDontShowWindow_->setGeometry(Margin, barTop + 10, 300, 24);
    btnOK_->setGeometry(ClientWidth - Margin - 90, barTop + 8, 90, 28);
    QObject::connect(btnOK_, &QPushButton::clicked, this, [this] { close(); });
    QObject::connect(cbDontShowWindow_, &QCheckBox::clicked, this,
                     [](bool checked) { Config->NewsWindowOnStartUp = !checked; });

    // A panel with a one-pixel accent edge; its text keeps the dialog's colour.
    panDownloadStatus_->setFixedSize(300, 73);
    panDownloadStatus_->setFrameStyle(QFrame::Box | QFrame::Plain);
    panDownloadStatus_->setAutoFillBackground(true);
    QPalette panel = panDownloadStatus_->palette();
    panel.setColor(QPalette::Window, QColor::fromRgb(QRgb(dialogcolors::Panel)));
    panel.setColor(QPalette::WindowText, QColor::fromRgb(QRgb(dialogcolors::Accent)));
    panDownloadStatus_->setPalette(panel);
    QPalette text = lblDownloadStatus_->palette();
    text.setColor(QPalette::WindowText, QColor::fromRgb(QRgb(dialogcolors::Text)));
    lblDownloadStatus_->setPalette(text);
    QFont bold = lblDownloadStatus_->font();
    bold.setBold(true);
    lblDownloadStatus_->setFont(bold);
    lblDownloadStatus_->setAlignment(Qt::AlignCenter);
    lblDownloadStatus_->setWordWrap(true);
    lblDownloadStatus_->setGeometry(8, 6, 284, 34);
    btnRetry_->setGeometry(110, 42, 80, 26);
    btnRetry_->hide();
    panDownloadStatus_->hide();
    QObject::connect(btnRetry_, &QPushButton::clicked, this, [this] {
        btnRetry_->hide();
        timerDownloadNewsStart_.start();
    });

    timerDownloadNewsStart_.setInterval(100);
    QObject::connect(&timerDownloadNewsStart_, &QTimer::timeout, this, [this] {
        timerDownloadNewsStart_.stop();
        DownloadNews();
    });
}

TfrmNews::~TfrmNews()
{
    if (frmNews == this)
        frmNews = nullptr;
    fetcher_.reset(); // no download may arrive at a half-destroyed window
    lbNews_->SetPictureContainer(nullptr);
}

std::string TfrmNews::NewsURL()
{
    const auto& server = Config->NewsServer;
    const bool secure = server.Port == 443;
    std::string url = secure ? "https://" : "http://";
    url += server.Host;
    if (server.Port != (secure ? 443 : 80))
        url += ":" + std::to_string(server.Port);
    return url + (server.Path.starts_with('/') ? "" : "/") + server.Path;
}

std::string TfrmNews::tempFolder() const { return UserPath + "data/temp/"; }

void TfrmNews::ShowNews(bool forced)
{
    forced_ = forced;
    newsID_.clear();
    documentRead_ = false;
    fetcher_->cancelAll();
    images_.clear();
    cbDontShowWindow_->setChecked(!Config->NewsWindowOnStartUp);
    lbNews_->Clear();
    ClearPictures();
    if (!forced && !IsConnected())
        return;
    // Unasked, the window waits for the news: a machine whose network does
    // not reach the news server gets no error window at every start.
    if (forced)
        show();
    state_ = TNewsState::Downloading; // from the timer on
    timerDownloadNewsStart_.start();
}

void TfrmNews::setStatus(const std::string& text)
{
    lblDownloadStatus_->setText(qtext(text));
    panDownloadStatus_->show();
    panDownloadStatus_->raise();
    panDownloadStatus_->repaint();
}

void TfrmNews::fail(const char* message)
{
    if (!forced_) {
        Log("TfrmNews", std::string("News not shown: ") + message);
        state_ = TNewsState::Failed;
        return;
    }
    setStatus(message);
    btnRetry_->show();
    state_ = TNewsState::Failed;
}

void TfrmNews::finish()
{
    panDownloadStatus_->hide();
    if (!forced_ && lbNews_->Count() == 0) {
        state_ = TNewsState::Hidden; // nothing new
        return;
    }
    state_ = TNewsState::Showing;
    show();
}

void TfrmNews::get(const std::string& url, std::size_t maxBytes, std::function<void(const http::HttpResult&)> done)
{
    http::HttpRequest request;
    request.url = url;
    request.connectTimeoutMs = ConnectTimeoutMs;
    request.totalTimeoutMs = TotalTimeoutMs;
    request.maxBytes = maxBytes;
    request.accept = "text/html, */*";
    request.contentType = "text/html";
    fetcher_->get(std::move(request), [done = std::move(done)](http::HttpResult result) { done(result); });
}

bool TfrmNews::DownloadNews()
{
    state_ = TNewsState::Downloading;
    btnRetry_->hide();
    setStatus(MsgChecking);
    if (forced_ && !IsConnected()) {
        fail(MsgNotAvailable);
        return false;
    }
    setStatus(MsgDownloading);
    get(NewsURL(), MaxDocumentBytes, [this](const http::HttpResult& result) { documentArrived(result); });
    return true;
}

void TfrmNews::documentArrived(const http::HttpResult& result)
{
    if (!result.ok()) {
        fail(result.connected ? MsgDownloadFailed : MsgConnectFailed);
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(tempFolder()), ignored);
    const std::string fileName = tempFolder() + "currentnews.xml";
    const bool written = writeFile(fileName, result.body);
    const bool parsed = written && ParseNews(fileName);
    removeFile(fileName);
    if (!parsed) {
        fail(MsgLoadingFailed);
        return;
    }
    DownloadImage();
}

bool TfrmNews::ParseNews(const std::string& fileName)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, MaxDocumentBytes))
        return false;
    TNewsReadResult read = ReadNewsDocument(bytes);
    if (read.Status != TNewsStatus::Ok)
        return false;
    newsID_ = read.Document.ID;
    documentRead_ = true;
    if (!forced_ && Config->NewsWindowShowNewOnly && Config->LatestNews == newsID_)
        return true; // nothing new
    for (const TNewsEntry& entry : read.Document.Entries) {
        AddTitle(entry.Title);
        for (const std::string& line : entry.Lines)
            AddLine(line);
    }
    images_ = std::move(read.Document.Images);
    return true;
}

void TfrmNews::AddTitle(const std::string& title)
{
    lbNews_->Add("<BODY bgcolor=\"#808080\" bgcolorto=\"clWhite\"><FONT size=\"3\" color=\"clWhite\"><SHADE><B>" +
                 title + "</B></SHADE></FONT></BODY>");
}

void TfrmNews::AddLine(const std::string& text)
{
    lbNews_->Add("<FONT size=\"2\" color=\"clBlack\">" + text + "</FONT>");
}

void TfrmNews::DownloadImage()
{
    if (images_.empty()) {
        finish();
        return;
    }
    const TNewsImage image = images_.front();
    const std::size_t separator = image.Name.find_last_of("/\\");
    setStatus("Download image " + (separator == std::string::npos ? image.Name : image.Name.substr(separator + 1)) +
              " ...");
    get(image.Source, MaxImageBytes, [this, image](const http::HttpResult& result) { imageArrived(image, result); });
}

void TfrmNews::imageArrived(const TNewsImage& image, const http::HttpResult& result)
{
    images_.erase(images_.begin());
    const std::string fileName = NewsImageFileName(tempFolder(), objectName().toStdString(), image.Source);
    if (result.ok() && writeFile(fileName, result.body)) {
        TPictureItem* item = pictures_.Add();
        item->Name = image.Name;
        try {
            item->Picture.LoadFromFile(Utf8ToUtf16(fileName));
        } catch (const std::runtime_error&) {
            pictures_.Delete(pictures_.Count() - 1); // not a picture: skipped like a failed download
        }
        lbNews_->UpdateItemSizes();
    }
    removeFile(fileName);
    DownloadImage();
}

void TfrmNews::ClearPictures()
{
    for (int i = pictures_.Count() - 1; i >= 0; --i)
        pictures_.Delete(i);
}

void TfrmNews::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timerDownloadNewsStart_.stop();
    fetcher_->cancelAll();
    // Only a document that was read changes what counts as seen.
    if (documentRead_)
        Config->LatestNews = newsID_;
    state_ = TNewsState::Hidden;
}

void TfrmNews::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    panDownloadStatus_->move(width() / 2 - panDownloadStatus_->width() / 2,
                             height() / 2 - panDownloadStatus_->height() / 2);
}

} // namespace kolvarin
