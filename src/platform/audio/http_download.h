#pragma once

// An HTTP(S) GET on its own thread (libcurl), with the ICY metadata taken
// out of the body. The audio bytes wait in a bounded buffer for the decoder;
// the download callback sees each block of them as it arrives.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/bass.h"
#include "audio/icy_parser.h"

namespace kolvarin::audio {

struct DownloadOptions {
    std::string url;
    std::int64_t offset = 0;
    int timeoutMs = 5000; // connect, header and stall time-out
    std::size_t capacity = 1 << 20; // buffered audio bytes before receiving pauses
    DOWNLOADPROC* proc = nullptr;
    void* user = nullptr;
};

class HttpDownload : public std::enable_shared_from_this<HttpDownload> {
public:
    // Starts the transfer. Its thread keeps the download alive while it runs.
    static std::shared_ptr<HttpDownload> start(DownloadOptions options);
    explicit HttpDownload(DownloadOptions options);
    ~HttpDownload();
    // Aborts and waits for the thread: no callback runs after it returns.
    // From inside the callback it cannot wait; the thread ends on its return.
    void stop();
    HttpDownload(const HttpDownload&) = delete;
    HttpDownload& operator=(const HttpDownload&) = delete;

    // Waits for the response headers: kOk, or kErrorTimeout, kErrorNoNet
    // (refused, failed, HTTP status of 400 or more), kErrorFileForm (a bad
    // icy-metaint).
    int waitForHeaders();
    // Up to size buffered bytes; waits up to the time-out for some. 0 at the
    // end of a complete download, -1 after a failure or time-out.
    int read(std::uint8_t* buffer, int size);
    // Stops the transfer; readers return at once and the callback is not
    // called again.
    void abort();
    void setCapacity(std::size_t bytes);

    std::int64_t consumed() const { return consumed_; }
    std::int64_t downloaded() const { return downloaded_; }
    std::int64_t buffered() const { return downloaded_ - consumed_; }
    std::int64_t contentLength() const { return contentLength_; }
    std::size_t capacity() const;
    bool finished() const { return finished_; }
    // Status line and header lines, each NUL-terminated, ended by an empty one.
    std::string headerList() const;
    // The last ICY metadata text; false when none came yet.
    bool metadata(std::string& out) const;

private:
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    void run();
    void finish(int error);

    DownloadOptions options_;
    // Guards the headers, the status and the buffered bytes below (to
    // paused_), between the download thread and the reader; taken alone.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> headers_;
    bool headersDone_ = false;
    int status_ = 0;
    int error_ = bass::kOk;
    std::unique_ptr<IcyParser> icy_;
    std::string buffer_; // audio bytes from bufferHead_ on are unread
    std::size_t bufferHead_ = 0;
    std::string meta_;
    bool hasMeta_ = false;
    bool paused_ = false;
    std::atomic<bool> finished_{false};
    std::atomic<bool> aborted_{false};
    std::atomic<std::int64_t> consumed_{0};
    std::atomic<std::int64_t> downloaded_{0};
    std::atomic<std::int64_t> contentLength_{-1};
    void* multi_ = nullptr;
    // Guards the join (stop may come from two threads); taken alone.
    std::mutex threadMutex_;
    std::thread thread_;
};

} // namespace kolvarin::audio
