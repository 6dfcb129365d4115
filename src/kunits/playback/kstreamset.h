#pragma once

// Stream sets: one file opened once per speaker pair of the output, every
// copy routed to its pair, every control applied to all copies. The first
// handle is the lead: position, length, activity, tags, data, syncs and the
// byte/time conversions come from it alone. Any thread, as the audio library.

#include <array>
#include <cstdint>
#include <string>

#include "playback/kbass.h"

namespace kolvarin {

// Front, rear, centre/LFE, second rear; 0 = no stream.
using TStreamSet = std::array<HSTREAM, 4>;

// The audio library's stream creators: one per decoder, file or URL.
using TFileCreator = HSTREAM (*)(bool mem, const void* file, QWORD offset, QWORD length, DWORD flags);
using TURLCreator = HSTREAM (*)(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);

// How many streams a speaker count asks for: 4 for 7 or more, 3 for 6, 2
// for 4 or 5, else 1.
int StreamSetStreamCount(int speakers);

// Frees what the set holds, then opens the whole file (offset 0, length 0)
// once per speaker pair. Returns the last handle created, 0 on failure. A
// copy that fails to open stays 0 and later operations skip it.
HSTREAM StreamSetCreateFile(TFileCreator creator, const std::u16string& file, TStreamSet& set, int speakers,
                            DWORD flags);
HSTREAM StreamSetCreateFile(const std::u16string& file, TStreamSet& set, int speakers, DWORD flags);
// Zeroes the set (the caller has freed it) and opens the URL once per pair.
HSTREAM StreamSetCreateURL(TURLCreator creator, const std::string& url, DWORD offset, DWORD flags, TStreamSet& set,
                           int speakers, void* user, DOWNLOADPROC* proc);

bool StreamSetPlay(const TStreamSet& set, bool restart, DWORD flags);
void StreamSetStop(const TStreamSet& set);
void StreamSetPause(const TStreamSet& set);
void StreamSetResume(const TStreamSet& set);
// Frees every stream and zeroes the set.
void StreamSetFree(TStreamSet& set);
void StreamSetSetPosition(const TStreamSet& set, int64_t bytes);
void StreamSetSetFrequency(const TStreamSet& set, int hz);
// Volume 0..100, Pan -100..100. True when the lead took all three.
bool StreamSetSetAttributes(const TStreamSet& set, int frequency, int volume, int pan);
bool StreamSetSlideAttributes(const TStreamSet& set, int frequency, int volume, int time, int pan);
// Adds one effect to each stream; the handles in the same positions.
void StreamSetSetFX(const TStreamSet& set, DWORD type, std::array<HFX, 4>& handles);

int64_t StreamSetGetPosition(const TStreamSet& set);
int64_t StreamSetGetLength(const TStreamSet& set);
DWORD StreamSetIsActive(const TStreamSet& set);
bool StreamSetAssigned(const TStreamSet& set);
const char* StreamSetGetTags(const TStreamSet& set, DWORD tagType);
HSYNC StreamSetSetSync(const TStreamSet& set, DWORD type, SYNCPROC* proc, void* user, int64_t param);
void StreamSetRemoveSync(const TStreamSet& set, HSYNC sync);
bool StreamSetGetInfo(const TStreamSet& set, BassChannelInfo& info);
bool StreamSetGetAttributes(const TStreamSet& set, int& frequency, int& volume, int& pan);
int64_t StreamSetBytesToMilliseconds(const TStreamSet& set, int64_t bytes);
int64_t StreamSetSecondsToBytes(const TStreamSet& set, double seconds);

// The lead-only reads for a single channel.
int64_t ChannelGetPosition(DWORD handle);
int64_t ChannelGetLength(DWORD handle);
bool ChannelGetAttributes(DWORD handle, int& frequency, int& volume, int& pan);

// Milliseconds of a byte count of the channel (truncated); 0 when unknown.
int64_t BassBytesToMilliseconds(DWORD handle, int64_t bytes);
int64_t BassSecondsToBytes(DWORD handle, double seconds);
// "hh:mm:ss" of whole hours, minutes and seconds.
std::string TimeTextOfMilliseconds(int64_t milliseconds);

} // namespace kolvarin
