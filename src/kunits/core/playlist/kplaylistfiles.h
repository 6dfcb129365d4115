#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/playlist/kplaylist.h"

namespace kolvarin {

// The playlist files: the player's own binary .kpl (read and written) and the
// .pls and .m3u text lists (read). The Load procedures append to the global
// playlist through the playlist procedures; a file that is refused leaves the
// playlist exactly as it was (also with the clear flag). After a load the
// playlist window repaints and, with the play flag and nothing playing or
// paused, playback starts. Main thread only. File names are UTF-8.

using TKPlaylistEntries = std::vector<std::unique_ptr<TKPlaylistEntry>>;

enum class TKplStatus {
    Ok,
    BadMagic, // neither "KPL2" nor "KPLW"
    BadHeader, // header size not 24, or an unknown token
    BadCount, // negative, 100 million or more, or more than the bytes can hold
    Truncated, // a record runs past the end
    BadLength, // a time length above 8 or a track length above 2
};

struct TKplResult {
    TKplStatus Status = TKplStatus::Ok;
    int64_t Offset = 0; // where the fault was found
    explicit operator bool() const { return Status == TKplStatus::Ok; }
};

// The ten header tokens; the writer uses the first nine.
extern const char* const KplHeaderTokens[10];

// Parses .kpl bytes of either version into Entries (cleared first). On a
// fault Entries is left empty. Allocates no more than the bytes can describe.
TKplResult ParseKplFile(std::string_view bytes, TKPlaylistEntries& entries);
// The .kpl bytes of the playlist with the given header token (0..9).
std::string BuildKplFile(const TKPlaylist& playlist, int tokenIndex);
// The token a save writes: r from 0 to 98, then r + 1 draws from 0 to 8; the last.
int ChooseKplToken();

// Text of an 8-bit list file: UTF-8 when the bytes are valid UTF-8 (the
// system's 8-bit encoding here), else Windows-1252.
std::u16string DecodeListText(std::string_view bytes);

// The entries of a .pls text and its NumberOfEntries (a huge one saturates);
// -1 when "[playlist]" or a numeric "NumberOfEntries" is missing. Entries
// without a "File" line are skipped, so a count above the entries present
// loads those there are.
int64_t ParsePlsText(std::u16string_view text, TKPlaylistEntries& entries);
// The entries of an .m3u text; relative entry lines are resolved against Folder.
void ParseM3uText(std::u16string_view text, const std::u16string& folder, TKPlaylistEntries& entries);

// Writes the global playlist as a .kpl (temporary file, renamed over the old
// one). Throws std::runtime_error when it cannot be written; the old file is kept.
void SavePlaylistFile(const std::string& fileName);
// Each returns true when the file was read and taken. A refused .kpl reports
// media problem 1040, a refused .pls error 1050 (module "TKGlobal").
bool LoadPlaylistFile(const std::string& fileName, bool play, bool clear);
bool LoadPlsFile(const std::string& fileName, bool play, bool clear);
bool LoadM3uFile(const std::string& fileName, bool play, bool clear);

} // namespace kolvarin
