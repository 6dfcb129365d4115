#include "htmllist/htmlpicturecache.h"

#include <QObject>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "http/fetcher.h"

namespace kolvarin {

namespace {

bool isWebAddress(std::string_view url)
{
    auto startsWith = [&](std::string_view prefix) {
        if (url.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (char(std::tolower(static_cast<unsigned char>(url[i]))) != prefix[i])
                return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

} // namespace

THTMLPictureCache::THTMLPictureCache() : context_(std::make_unique<QObject>()) {}

// The fetcher goes first: it joins its worker and drops what is under way.
THTMLPictureCache::~THTMLPictureCache() { fetcher_.reset(); }

THTMLPicture* THTMLPictureCache::AddPicture()
{
    pictures_.push_back(std::make_unique<THTMLPicture>());
    return pictures_.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& url) const
{
    for (const auto& picture : pictures_)
        if (picture->URL == url || picture->ID == url)
            return picture.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::PictureForURL(const std::string& url)
{
    if (THTMLPicture* found = FindPicture(url))
        return found;
    THTMLPicture* picture = AddPicture();
    picture->Asynchronous = false;
    try {
        picture->LoadFromURL(url);
    } catch (const std::runtime_error&) {
        // Drawn as an empty picture.
    }
    if (picture->Empty() && isWebAddress(url))
        download(picture, url);
    return picture;
}

void THTMLPictureCache::download(THTMLPicture* picture, const std::string& url)
{
    if (!fetcher_)
        fetcher_ = std::make_unique<http::Fetcher>(context_.get());
    picture->DownloadStarted = true;
    http::HttpRequest request;
    request.url = url;
    request.connectTimeoutMs = ConnectTimeoutMs;
    request.totalTimeoutMs = TotalTimeoutMs;
    request.maxBytes = MaxPictureBytes;
    fetcher_->get(std::move(request), [this, picture](http::HttpResult result) {
        // The picture may have gone with Clear, which also cancels the fetch.
        if (result.ok()) {
            try {
                picture->LoadFromBytes(std::move(result.body));
            } catch (const std::runtime_error&) {
                // Stays empty.
            }
        }
        if (OnChange)
            OnChange();
    });
}

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (const auto& picture : pictures_)
        changed = picture->Step() || changed;
    return changed;
}

void THTMLPictureCache::Clear()
{
    if (fetcher_)
        fetcher_->cancelAll();
    pictures_.clear();
}

} // namespace kolvarin
