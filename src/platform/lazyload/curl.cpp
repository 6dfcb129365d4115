// libcurl, for internet streams, downloads and the news: it brings about 25
// more libraries (TLS, Kerberos, LDAP, SSH, ...).
#include <cstdarg>

#include <curl/curl.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libcurl{KOLVARIN_SONAME_curl};
} // namespace

KOLVARIN_LAZY_FORWARD(libcurl, void, curl_easy_cleanup, (CURL * curl), (curl))
KOLVARIN_LAZY_FORWARD(libcurl, CURL*, curl_easy_init, (), ())
KOLVARIN_LAZY_FORWARD(libcurl, CURLcode, curl_easy_pause, (CURL * handle, int bitmask), (handle, bitmask))
KOLVARIN_LAZY_FORWARD(libcurl, CURLcode, curl_easy_perform, (CURL * curl), (curl))
KOLVARIN_LAZY_FORWARD(libcurl, const char*, curl_easy_strerror, (CURLcode code), (code))
KOLVARIN_LAZY_FORWARD(libcurl, CURLcode, curl_global_init, (long flags), (flags))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_add_handle, (CURLM * multi_handle, CURL* curl_handle),
                      (multi_handle, curl_handle))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_cleanup, (CURLM * multi_handle), (multi_handle))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMsg*, curl_multi_info_read, (CURLM * multi_handle, int* msgs_in_queue),
                      (multi_handle, msgs_in_queue))
KOLVARIN_LAZY_FORWARD(libcurl, CURLM*, curl_multi_init, (), ())
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_perform, (CURLM * multi_handle, int* running_handles),
                      (multi_handle, running_handles))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_poll,
                      (CURLM * multi_handle, struct curl_waitfd* extra_fds, unsigned int extra_nfds, int timeout_ms,
                       int* ret),
                      (multi_handle, extra_fds, extra_nfds, timeout_ms, ret))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_remove_handle, (CURLM * multi_handle, CURL* curl_handle),
                      (multi_handle, curl_handle))
KOLVARIN_LAZY_FORWARD(libcurl, CURLMcode, curl_multi_wakeup, (CURLM * multi_handle), (multi_handle))
KOLVARIN_LAZY_FORWARD(libcurl, struct curl_slist*, curl_slist_append, (struct curl_slist * list, const char* data),
                      (list, data))
KOLVARIN_LAZY_FORWARD(libcurl, void, curl_slist_free_all, (struct curl_slist * list), (list))
KOLVARIN_LAZY_FORWARD(libcurl, int, curl_strnequal, (const char* s1, const char* s2, size_t n), (s1, s2, n))

// The option's number says the type of its one value.
extern "C" CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...)
{
    static const auto real = reinterpret_cast<decltype(&::curl_easy_setopt)>(libcurl.Symbol("curl_easy_setopt"));
    va_list values;
    KOLVARIN_VA_START(values, option);
    CURLcode result;
    if (option < CURLOPTTYPE_OBJECTPOINT)
        result = real(curl, option, va_arg(values, long));
    else if (option < CURLOPTTYPE_FUNCTIONPOINT)
        result = real(curl, option, va_arg(values, void*));
    else if (option < CURLOPTTYPE_OFF_T)
        result = real(curl, option, va_arg(values, void (*)()));
    else if (option < CURLOPTTYPE_BLOB)
        result = real(curl, option, va_arg(values, curl_off_t));
    else
        result = real(curl, option, va_arg(values, void*));
    va_end(values);
    return result;
}

// Every piece of information is written through the one pointer given.
extern "C" CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...)
{
    static const auto real = reinterpret_cast<decltype(&::curl_easy_getinfo)>(libcurl.Symbol("curl_easy_getinfo"));
    va_list values;
    KOLVARIN_VA_START(values, info);
    const CURLcode result = real(curl, info, va_arg(values, void*));
    va_end(values);
    return result;
}
