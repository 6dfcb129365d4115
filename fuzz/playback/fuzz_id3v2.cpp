// Reads the ID3v2 tag of each input, saves it back (keeping the frames it
// does not edit) and checks that the saved tag reads back the same.

#include <cstdlib>

#include "fuzzfile.h"
#include "playback/kid3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string name = fuzzfile::Write(".mp3", data, size);
    kolvarin::TID3v2 tag;
    if (!tag.ReadFromFile(name))
        return 0;
    // Long texts may be cut differently once re-encoded; short ones must survive.
    bool comparable =
        tag.Title().size() < 200 && tag.Artist().size() < 200 && tag.Album().size() < 200 && tag.Comment().size() < 200;
    if (!tag.SaveToFile(name))
        return 0;
    kolvarin::TID3v2 back;
    if (!back.ReadFromFile(name) || !back.Exists())
        std::abort();
    if (comparable && (back.Title() != tag.Title() || back.Artist() != tag.Artist() || back.Album() != tag.Album() ||
                       back.Comment() != tag.Comment()))
        std::abort();
    return 0;
}
