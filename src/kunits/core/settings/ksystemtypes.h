#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// The kind of media an entry is, decided from its file name or URL; the play
// system, the playlist sort and the accepted-extension list branch on it.
enum class TSystemType : uint8_t {
    None = 0, // not playable
    BassFile = 1, // audio file played by the audio library
    BassStream = 2, // internet audio stream
    DirectXVideo = 3, // video file; also every unknown extension
    DirectXAudio = 4, // audio file the audio library does not play
    DirectXStream = 5, // video stream URL (.asx or .wmv)
    DVD = 6,
    CDTrack = 7, // music CD track
};

// One of the five format tables: upper-case extensions with their dot. Row 0
// of each is a placeholder type name that never matches a file name.
struct TFormatTable {
    std::span<const char* const> Extensions;
    TSystemType Type;
};

// The tables in lookup order: audio library, DirectShow audio, DirectShow
// video, DVD, music CD.
std::span<const TFormatTable> FormatTables();

// The text after the last '.' of the name's last part, with its dot; empty
// when there is none. The last part follows the last '/', '\' or ':'.
std::u16string ExtractFileExtW(std::u16string_view fileName);

// The system type of a file name or URL. With acceptAllFiles false, a local
// name whose upper-cased extension is not in acceptedExtensions is None.
// Pure: no logging, no state.
TSystemType SystemTypeOfFileName(std::u16string_view fileName, bool acceptAllFiles,
                                 const std::vector<std::string>& acceptedExtensions);

} // namespace kolvarin
