#pragma once

#include <string>

namespace kolvarin {

// Playlist captions and track texts from a file's tags, for adding media and
// for playing with the tag settings on. Each call reads the file afresh;
// main thread. A file without a usable tag gives the neutral result.

// "artist - title" of the APE tag; empty when either is missing.
std::u16string GetAPETagCaption(const std::u16string& fileName);
// The same from the ID3v2 tag, else from the ID3v1 tag; empty when no tag
// has both.
std::u16string GetID3TagCaption(const std::u16string& fileName);
// The APE tag's track number as decimal text; "00" when there is none.
std::string GetAPETagTrack(const std::u16string& fileName);
// The track number of the ID3v2 tag when there is one, else of the ID3v1
// tag, as decimal text; "00" when none.
std::string GetID3TagTrack(const std::u16string& fileName);

} // namespace kolvarin
