#include "http/http.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace kolvarin::http {

namespace {

struct Transfer {
    const HttpRequest& request;
    std::string body;
    bool tooLarge = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->request.maxBytes) {
        transfer->tooLarge = true;
        return 0; // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, bytes);
    return bytes;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* transfer = static_cast<Transfer*>(user);
    return transfer->request.cancel && transfer->request.cancel->load() ? 1 : 0;
}

bool schemeAllowed(const std::string& url)
{
    auto startsWith = [&](const char* prefix) { return curl_strnequal(url.c_str(), prefix, std::strlen(prefix)); };
    return startsWith("http://") || startsWith("https://");
}

HttpResult failure(HttpStatus status, std::string text, long code = 0)
{
    HttpResult result;
    result.status = status;
    result.error = std::move(text);
    result.httpCode = code;
    return result;
}

HttpResult outcome(CURLcode code, long httpCode, bool tooLarge)
{
    if (tooLarge)
        return failure(HttpStatus::TooLarge, "The answer is too large", httpCode);
    switch (code) {
    case CURLE_OK: break;
    case CURLE_OPERATION_TIMEDOUT: return failure(HttpStatus::Timeout, curl_easy_strerror(code), httpCode);
    case CURLE_ABORTED_BY_CALLBACK: return failure(HttpStatus::Cancelled, curl_easy_strerror(code), httpCode);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT: return failure(HttpStatus::ConnectFailed, curl_easy_strerror(code), httpCode);
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return failure(HttpStatus::BadUrl, curl_easy_strerror(code), httpCode);
    default: return failure(HttpStatus::Failed, curl_easy_strerror(code), httpCode);
    }
    if (httpCode >= 300)
        return failure(HttpStatus::HttpError, "HTTP status " + std::to_string(httpCode), httpCode);
    HttpResult result;
    result.status = HttpStatus::Ok;
    result.httpCode = httpCode;
    return result;
}

} // namespace

HttpResult HttpGet(const HttpRequest& request)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!schemeAllowed(request.url))
        return failure(HttpStatus::BadUrl, "Not an http or https address");

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return failure(HttpStatus::Failed, "Could not start a transfer");
    Transfer transfer{request, {}};
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
    auto addHeader = [&](const std::string& line) {
        headers.reset(curl_slist_append(headers.release(), line.c_str()));
    };
    addHeader("Accept: " + request.accept);
    if (!request.contentType.empty())
        addHeader("Content-Type: " + request.contentType);

    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(request.connectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(request.totalTimeoutMs));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_COOKIEFILE, ""); // cookies allowed within the transfer
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(c);
    long httpCode = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &httpCode);
    curl_off_t connectTime = 0;
    curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
    HttpResult result = outcome(code, httpCode, transfer.tooLarge);
    result.connected = connectTime > 0 || httpCode > 0;
    if (result.ok())
        result.body = std::move(transfer.body);
    return result;
}

} // namespace kolvarin::http
