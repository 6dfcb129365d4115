#pragma once

// Video stream playlists (.asx) over http: FFmpeg plays the streams an .asx
// refers to, not the list itself, so the video side fetches the list and
// plays its first reference.

#include <string>
#include <string_view>
#include <vector>

#include "http/http.h"

namespace kolvarin::video {

// The addresses of the list's <ref href="..."> elements in order, entities
// decoded and relative ones resolved against base. Lenient: tags in any
// case, single or double quotes, no well-formed XML needed.
std::vector<std::string> AsxReferences(std::string_view text, const std::string& base);

// Whether the name is an http(s) address of an .asx list.
bool IsAsxUrl(const std::u16string& name);

// The request for the .asx list at url: 10 s to connect, 15 s in all, at
// most 1 MiB.
http::HttpRequest AsxListRequest(const std::string& url);

// The first reference of the list fetched from url. Empty, with error set,
// when the list could not be fetched or refers to nothing.
std::string FirstAsxReference(const http::HttpResult& result, const std::string& url, std::string& error);

} // namespace kolvarin::video
