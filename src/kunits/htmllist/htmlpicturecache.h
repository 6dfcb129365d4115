#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmllist/htmlpicture.h"

class QObject;

namespace kolvarin {

namespace http {
class Fetcher;
}

// The pictures a list control shows by URL; owns them. Pictures named by an
// http or https URL are downloaded off the main thread and decoded when they
// arrive; OnChange then tells the owner to lay its items out again. Main
// thread only.
class THTMLPictureCache {
public:
    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // A new empty picture, owned by the cache.
    THTMLPicture* AddPicture();
    // The picture whose URL, or the identifier it was loaded from, equals
    // url exactly; nullptr when none. (Pictures loaded from "FILE://" and
    // "RES://" keep the URL only as their identifier.)
    THTMLPicture* FindPicture(const std::string& url) const;
    // The picture of url, added and loaded when the cache has none: "RES://"
    // and "FILE://" load at once (a load error leaves it empty), http and
    // https start a download, anything else stays empty.
    THTMLPicture* PictureForURL(const std::string& url);
    // One animation tick for every picture; true when any changed its frame.
    bool Animate();

    int Count() const { return int(pictures_.size()); }
    void Clear();

    // A downloaded picture was decoded (or failed and stays empty).
    std::function<void()> OnChange;

    // Time-outs and size limit of the downloads.
    static constexpr int ConnectTimeoutMs = 10000;
    static constexpr int TotalTimeoutMs = 30000;
    static constexpr std::size_t MaxPictureBytes = std::size_t(16) << 20;

private:
    void download(THTMLPicture* picture, const std::string& url);

    std::vector<std::unique_ptr<THTMLPicture>> pictures_;
    std::unique_ptr<QObject> context_;
    std::unique_ptr<http::Fetcher> fetcher_; // made at the first download
};

} // namespace kolvarin
