#pragma once

// The structure of a DVD as its information files describe it: the titles
// with their title sets, chapters and angles, and the video, audio and
// subpicture attributes of every title set and of the menus. Read once when
// a disc is opened, so the navigator answers questions about titles it is
// not playing.

#include <string>
#include <vector>

#include "media/dvdif.h"

namespace kolvarin::media {

struct DvdTitle {
    uint32_t titleSet = 0;
    uint32_t chapters = 0;
    uint32_t angles = 0;
    // The streams the title's first program chain enables (bit n: stream n).
    uint32_t audioEnabled = 0;
    uint32_t subpictureEnabled = 0;
};

struct DvdDisc {
    std::vector<DvdTitle> titles; // title n is titles[n - 1]
    std::vector<DVD_TITLE_ATTRIBUTES> titleSets; // title set n is titleSets[n - 1]
    DVD_TITLE_ATTRIBUTES menus; // those of the video manager's menus
};

enum class DvdDiscStatus {
    Ok,
    NotFound, // no VIDEO_TS.IFO (nor its backup) in the folder
    BadManager, // the video manager's information cannot be read
    NoTitles, // the title table is empty or names a missing title set
    BadTitleSet, // a title set's information cannot be read
};

struct DvdDiscResult {
    DvdDiscStatus status = DvdDiscStatus::Ok;
    uint32_t titleSet = 0; // the title set at fault, for BadTitleSet
};

// The folder libdvdread opens for a path the user gave: a VIDEO_TS folder,
// its parent, or a file inside VIDEO_TS (an .IFO). UTF-8 path, no trailing
// separator; empty when no VIDEO_TS.IFO or VIDEO_TS.BUP is found there.
std::string DvdRootOf(const std::string& path);

// Reads the disc's structure; *disc is written only on success. Broken
// information files whose backups are sound are read from the backups.
DvdDiscResult ReadDvdDisc(const std::string& root, DvdDisc* disc);

} // namespace kolvarin::media
