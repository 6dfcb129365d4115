#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// File and folder helpers. UTF-16 paths become UTF-8 at the system call;
// the path separator is "/". Safe from any thread (KFileExists and
// KDirectoryExists log to the trace log).

// Read the path's attributes; true when it exists and is not a folder
// (KFileExists) or is a folder (KDirectoryExists). Each call is logged under
// the routine's own name.
bool KFileExists(std::u16string_view fileName);
bool KDirectoryExists(std::u16string_view directory);

// The text after the last "/" or "\".
std::string ExtractFileNameA(std::string_view path);
// Appends "/" unless the path ends with one (an empty path becomes "/").
std::u16string IncludeTrailingBackslashW(std::u16string_view path);
// Appends "/" unless the path is empty or ends with one.
std::u16string AddTrailingBackslashW(std::u16string_view path);

// Adds Folder + name of every entry that matches Mask ("*" and "?", letter
// case ignored, "*.*" matches every name) and is not a folder, in name
// order; with Recursive then descends into every subfolder. A folder reached
// twice (through symbolic links) is scanned once, so link cycles end.
void ScanDirectory(const std::string& folder, const std::string& mask, bool recursive, std::vector<std::string>& list);
void ScanDirectoryW(const std::u16string& folder, const std::u16string& mask, bool recursive,
                    std::vector<std::u16string>& list);
// Adds the full path of every subfolder of Folder, in name order.
void GetSubDirectories(const std::u16string& folder, std::vector<std::u16string>& list);

// The playlist caption of a file: its name without extension; for .ifo and
// .vob files a DVD caption (see TKDVDCaptionTexts).
std::u16string GetCaptionFromFileName(std::u16string_view fileName);

// The language texts of the DVD captions; the language files replace these
// English defaults through SetDVDCaptionTexts (main thread, at start-up or a
// language change).
struct TKDVDCaptionTexts {
    std::u16string Disc = u"[ DVD: %s ]"; // video_ts.ifo on a DVD drive; %s the label
    std::u16string Directory = u"[ DVD Directory: %s ]"; // in a video_ts folder; %s the folder above it
    std::u16string NoDirectory = u"[ DVD ]"; // in a video_ts folder at the top
    std::u16string File = u"[ DVD File: %s ]"; // any other .ifo or .vob; %s its name
    std::u16string Untitled = u"Untitled"; // a disc without label
};
void SetDVDCaptionTexts(const TKDVDCaptionTexts& texts);

// The program's own version as four dotted numbers when FileName is empty
// or names the running program; empty for any other file (Linux programs
// carry no version resource).
std::string GetFileVersion(const std::string& fileName);
// The program's legal notice for the same files, else empty.
std::string GetFileCopyright(const std::string& fileName);

} // namespace kolvarin
