#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace kolvarin::http {

// What became of a request.
enum class HttpStatus {
    Ok, // a 2xx answer; the body is complete
    BadUrl, // not an http:// or https:// address
    ConnectFailed, // no such host, refused, no route
    Timeout, // the connect or total time-out passed
    HttpError, // the server answered with a status of 300 or more
    TooLarge, // the body passed maxBytes; nothing of it is kept
    Cancelled, // the cancel flag was set
    Failed, // any other transfer error
};

struct HttpRequest {
    std::string url; // http:// or https://; redirects are followed to those schemes only
    int connectTimeoutMs = 10000;
    int totalTimeoutMs = 30000; // the whole transfer, stalls included
    std::size_t maxBytes = std::size_t(16) << 20;
    std::string accept = "*/*";
    std::string contentType; // sent as Content-Type when not empty
    // Polled while the transfer runs; set it from any thread to give up.
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpResult {
    HttpStatus status = HttpStatus::Failed;
    long httpCode = 0; // the last answer's status, 0 when none came
    std::string body; // the whole body for Ok, empty otherwise
    std::string error; // a short English description for anything but Ok
    bool connected = false; // a connection to the server was made
    bool ok() const { return status == HttpStatus::Ok; }
};

// A blocking GET with libcurl, cookies kept for the one transfer. Safe on any
// thread; never throws.
HttpResult HttpGet(const HttpRequest& request);

} // namespace kolvarin::http
