// Reads the APE tag of each input.

#include "fuzzfile.h"
#include "playback/kapetag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kolvarin::TAPEtag tag;
    tag.ReadFromFile(fuzzfile::Write(".mpc", data, size));
    return 0;
}
