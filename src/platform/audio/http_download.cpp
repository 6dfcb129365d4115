#include "audio/http_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <strings.h>

namespace kolvarin::audio {
namespace {

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

std::string trim(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

HttpDownload::HttpDownload(DownloadOptions options) : options_(std::move(options))
{
    static CurlGlobal global;
    multi_ = curl_multi_init();
}

std::shared_ptr<HttpDownload> HttpDownload::start(DownloadOptions options)
{
    auto download = std::make_shared<HttpDownload>(std::move(options));
    download->thread_ = std::thread([self = download] { self->run(); });
    return download;
}

HttpDownload::~HttpDownload()
{
    // Either stop() joined the thread, or this runs on the thread at its end.
    if (thread_.joinable())
        thread_.detach();
    curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void HttpDownload::stop()
{
    abort();
    std::lock_guard lock(threadMutex_);
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

void HttpDownload::abort()
{
    aborted_ = true;
    if (multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
    changed_.notify_all();
}

void HttpDownload::setCapacity(std::size_t bytes)
{
    std::lock_guard lock(mutex_);
    options_.capacity = std::max<std::size_t>(bytes, 16384);
}

std::size_t HttpDownload::capacity() const
{
    std::lock_guard lock(mutex_);
    return options_.capacity;
}

int HttpDownload::waitForHeaders()
{
    std::unique_lock lock(mutex_);
    const bool done = changed_.wait_for(lock, std::chrono::milliseconds(options_.timeoutMs),
                                        [this] { return headersDone_ || finished_ || aborted_; });
    if (error_ != bass::kOk)
        return error_;
    if (!done || !headersDone_)
        return finished_ ? bass::kErrorNoNet : bass::kErrorTimeout;
    return bass::kOk;
}

int HttpDownload::read(std::uint8_t* out, int size)
{
    std::unique_lock lock(mutex_);
    const bool ready = changed_.wait_for(lock, std::chrono::milliseconds(options_.timeoutMs),
                                         [this] { return buffer_.size() > bufferHead_ || finished_ || aborted_; });
    const std::size_t available = buffer_.size() - bufferHead_;
    if (available == 0)
        return !ready || aborted_ || error_ != bass::kOk ? -1 : 0;
    const std::size_t n = std::min<std::size_t>(available, static_cast<std::size_t>(std::max(size, 0)));
    std::memcpy(out, buffer_.data() + bufferHead_, n);
    bufferHead_ += n;
    consumed_ += static_cast<std::int64_t>(n);
    if (bufferHead_ > (1u << 20) && bufferHead_ * 2 > buffer_.size()) {
        buffer_.erase(0, bufferHead_);
        bufferHead_ = 0;
    }
    if (paused_ && buffer_.size() - bufferHead_ < options_.capacity / 2 && multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
    return static_cast<int>(n);
}

std::string HttpDownload::headerList() const
{
    std::lock_guard lock(mutex_);
    std::string list;
    for (const std::string& h : headers_) {
        list += h;
        list += '\0';
    }
    return list;
}

bool HttpDownload::metadata(std::string& out) const
{
    std::lock_guard lock(mutex_);
    if (hasMeta_)
        out = meta_;
    return hasMeta_;
}

std::size_t HttpDownload::onHeader(char* data, std::size_t size, std::size_t count, void* opaque)
{
    auto* self = static_cast<HttpDownload*>(opaque);
    const std::string line = trim(std::string(data, size * count));
    std::lock_guard lock(self->mutex_);
    if (line.rfind("HTTP/", 0) == 0 || line.rfind("ICY ", 0) == 0) {
        // A new response (after a redirect) starts a new list.
        self->headers_.assign(1, line);
        self->headersDone_ = false;
        const std::size_t space = line.find(' ');
        self->status_ = space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
        return size * count;
    }
    if (line.empty()) {
        if (self->status_ >= 300 && self->status_ < 400)
            return size * count; // curl follows the redirect
        if (self->status_ >= 400 || self->status_ == 0) {
            self->error_ = bass::kErrorNoNet;
            return 0;
        }
        std::int64_t interval = 0;
        for (const std::string& h : self->headers_)
            if (strncasecmp(h.c_str(), "icy-metaint:", 12) == 0 && (interval = parseMetaInterval(h.substr(12))) < 0) {
                self->error_ = bass::kErrorFileForm;
                return 0;
            }
        self->icy_ = std::make_unique<IcyParser>(interval);
        self->headersDone_ = true;
        self->changed_.notify_all();
        return size * count;
    }
    self->headers_.push_back(line);
    return size * count;
}

std::size_t HttpDownload::onBody(char* data, std::size_t size, std::size_t count, void* opaque)
{
    auto* self = static_cast<HttpDownload*>(opaque);
    const std::size_t bytes = size * count;
    std::string audio;
    std::vector<std::string> metadata;
    {
        std::lock_guard lock(self->mutex_);
        if (self->aborted_)
            return 0;
        if (!self->icy_)
            self->icy_ = std::make_unique<IcyParser>(0);
        if (self->buffer_.size() - self->bufferHead_ >= self->options_.capacity) {
            self->paused_ = true;
            return CURL_WRITEFUNC_PAUSE; // curl hands the same block again after unpausing
        }
        self->icy_->feed(reinterpret_cast<const std::uint8_t*>(data), bytes, audio, metadata);
        self->buffer_ += audio;
        self->downloaded_ += static_cast<std::int64_t>(audio.size());
        if (!metadata.empty()) {
            self->meta_ = metadata.back();
            self->hasMeta_ = true;
        }
    }
    self->changed_.notify_all();
    if (self->options_.proc && !audio.empty())
        self->options_.proc(audio.data(), static_cast<DWORD>(audio.size()), self->options_.user);
    return bytes;
}

void HttpDownload::finish(int error)
{
    {
        std::lock_guard lock(mutex_);
        if (error_ == bass::kOk)
            error_ = error;
        finished_ = true;
    }
    changed_.notify_all();
}

void HttpDownload::run()
{
    CURL* easy = curl_easy_init();
    CURLM* multi = static_cast<CURLM*>(multi_);
    if (!easy || !multi) {
        finish(bass::kErrorMemory);
        return;
    }
    curl_slist* request = curl_slist_append(nullptr, "Icy-MetaData: 1");
    curl_slist* aliases = curl_slist_append(nullptr, "ICY 200 OK");
    const long timeout = std::max(options_.timeoutMs, 1);
    curl_easy_setopt(easy, CURLOPT_URL, options_.url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, request);
    curl_easy_setopt(easy, CURLOPT_HTTP200ALIASES, aliases);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeout);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, (timeout + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Kolvarin");
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpDownload::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpDownload::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (options_.offset > 0)
        curl_easy_setopt(easy, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(options_.offset));
    curl_multi_add_handle(multi, easy);
    int running = 1;
    int error = bass::kOk;
    while (running && !aborted_) {
        {
            std::lock_guard lock(mutex_);
            if (paused_ && buffer_.size() - bufferHead_ < options_.capacity / 2) {
                paused_ = false;
                curl_easy_pause(easy, CURLPAUSE_CONT);
            }
        }
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            error = bass::kErrorNoNet;
            break;
        }
        curl_off_t length = -1;
        if (curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0)
            contentLength_ = length;
        int messages = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &messages))
            if (message->msg == CURLMSG_DONE && message->data.result != CURLE_OK)
                error = message->data.result == CURLE_OPERATION_TIMEDOUT ? bass::kErrorTimeout : bass::kErrorNoNet;
        if (running)
            curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(request);
    curl_slist_free_all(aliases);
    const bool aborted = aborted_;
    finish(aborted ? bass::kErrorEnded : error);
    if (!aborted && options_.proc)
        options_.proc(nullptr, 0, options_.user);
}

} // namespace kolvarin::audio
