#pragma once

// The CD drives of BASS_CD_ calls, numbered from 0. By default the optical
// drives libcdio finds (/dev/sr0, ...); a program that lists drives its own
// way, or a test with a disc image (a .cue file), sets the list here so that
// both count the same way.

#include <string>
#include <vector>

namespace kolvarin::audio {

std::vector<std::string> cdDrives();
// An empty list returns to the drives libcdio finds.
void setCdDrives(std::vector<std::string> drives);

} // namespace kolvarin::audio
