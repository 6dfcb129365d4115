#pragma once

// Video stream playlists (.asx) over http: FFmpeg plays the streams an .asx
// refers to, not the list itself, so the video side fetches the list and
// plays its first reference.

#include <string>
#include <string_view>
#include <vector>

namespace kolvarin::video {

// The addresses of the list's <ref href="..."> elements in order, entities
// decoded and relative ones resolved against base. Lenient: tags in any
// case, single or double quotes, no well-formed XML needed.
std::vector<std::string> AsxReferences(std::string_view text, const std::string& base);

// Whether the name is an http(s) address of an .asx list.
bool IsAsxUrl(const std::u16string& name);

// The first reference of the .asx list at url, fetched on a worker thread
// (10 s to connect, 15 s in all) while the main thread's event loop goes on
// without user input. Empty, with error set, when the list cannot be fetched
// or refers to nothing. Main thread.
std::string FirstAsxReference(const std::string& url, std::string& error);

} // namespace kolvarin::video
