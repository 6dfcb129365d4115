#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "dialogs/newsdocument.h"
#include "htmllist/picturecontainer.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace kolvarin {

class TMarkupListBox;

namespace http {
class Fetcher;
struct HttpResult;
} // namespace http

// The online news window: fetches the news document from the news server
// (the NewsServer setting) and its pictures off the main thread, shows each
// entry as a title item and one item per line, and remembers the identifier
// of the news seen. While it downloads, a status panel says what happens;
// every failure ends in a message there and a Retry button. Reads and
// writes the settings object Config, which must exist while the window
// does; files go to UserPath + "data/temp/". Main thread only.
class TfrmNews : public QWidget {
public:
    enum class TNewsState { Hidden, Downloading, Showing, Failed };

    explicit TfrmNews(QWidget* parent = nullptr);
    ~TfrmNews() override;

    // Forced is true when the user asked for the news. Clears the list; the
    // download starts 100 ms later. Forced, the window shows at once and
    // tells how the download goes; else it shows only once news arrived,
    // and without an internet connection nothing is fetched.
    void ShowNews(bool forced);
    // Starts a download (what the timer and Retry do): false when it cannot
    // start for want of a connection; the outcome shows in State().
    bool DownloadNews();

    TNewsState State() const { return state_; }
    bool Forced() const { return forced_; }
    // The identifier of the document read in this showing; empty before.
    const std::string& NewsID() const { return newsID_; }
    // The document's URL from the settings: http, or https on port 443.
    static std::string NewsURL();

    TMarkupListBox* lbNews() const { return lbNews_; }
    QPushButton* btnOK() const { return btnOK_; }
    QCheckBox* cbDontShowWindow() const { return cbDontShowWindow_; }
    QFrame* panDownloadStatus() const { return panDownloadStatus_; }
    QLabel* lblDownloadStatus() const { return lblDownloadStatus_; }
    QPushButton* btnRetry() const { return btnRetry_; }
    TPictureContainer& PictureContainer1() { return pictures_; }

    // Whether the computer is online (IsInternetConnected by default).
    std::function<bool()> IsConnected;
    // Time-outs of every request.
    int ConnectTimeoutMs = 10000;
    int TotalTimeoutMs = 30000;

    static constexpr const char* MsgChecking = "Check internet connection...";
    static constexpr const char* MsgNotAvailable = "Internet connection not available.";
    static constexpr const char* MsgConnectFailed = "Internet connection failed, updateserver not found.";
    static constexpr const char* MsgDownloading = "Download current news ...";
    static constexpr const char* MsgDownloadFailed = "Download updateinformation failed";
    static constexpr const char* MsgLoadingFailed = "News loading failed";

protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void documentArrived(const http::HttpResult& result);
    bool ParseNews(const std::string& fileName);
    void AddTitle(const std::string& title);
    void AddLine(const std::string& text);
    void DownloadImage();
    void imageArrived(const TNewsImage& image, const http::HttpResult& result);
    void ClearPictures();
    void finish();
    void fail(const char* message);
    void setStatus(const std::string& text);
    void get(const std::string& url, std::size_t maxBytes, std::function<void(const http::HttpResult&)> done);
    std::string tempFolder() const;

    TMarkupListBox* lbNews_;
    QPushButton* btnOK_;
    QCheckBox* cbDontShowWindow_;
    QFrame* panDownloadStatus_;
    QLabel* lblDownloadStatus_;
    QPushButton* btnRetry_;
    TPictureContainer pictures_;
    QTimer timerDownloadNewsStart_;
    std::unique_ptr<http::Fetcher> fetcher_;
    TNewsState state_ = TNewsState::Hidden;
    bool forced_ = false;
    std::string newsID_;
    bool documentRead_ = false;
    std::vector<TNewsImage> images_; // still to fetch, in order
};

// The news window of the program, while it exists (set by the start-up
// sequence when it creates the windows). Start-up calls ShowNews(false) when
// NewsWindowOnStartUp is set; the main menu's news entry ShowNews(true).
extern TfrmNews* frmNews;

// The temporary file name of a news picture: our own name, with the URL's
// extension only when that is a plain one of 1 to 4 letters or digits.
std::string NewsImageFileName(const std::string& folder, const std::string& windowName, const std::string& url);

} // namespace kolvarin
