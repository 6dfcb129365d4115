#include "kstreamset.h"

#include <cmath>
#include <cstdio>

#include "core/text/kfunctions.h"

namespace kolvarin {

namespace {

constexpr DWORD kPairFlags[4] = {bass::kSpeakerFront, bass::kSpeakerRear, bass::kSpeakerCenLfe, bass::kSpeakerRear2};

void ChannelSetAttributes(DWORD handle, int frequency, int volume, int pan)
{
    BASS_ChannelSetAttribute(handle, bass::kAttribFreq, static_cast<float>(frequency));
    BASS_ChannelSetAttribute(handle, bass::kAttribVol, volume / 100.0f);
    BASS_ChannelSetAttribute(handle, bass::kAttribPan, pan / 100.0f);
}

template <typename Open>
HSTREAM CreateEach(TStreamSet& set, int speakers, DWORD flags, Open&& open)
{
    const int count = StreamSetStreamCount(speakers);
    HSTREAM last = 0;
    for (int i = 0; i < count; ++i) {
        set[i] = open(count == 1 ? flags : flags | kPairFlags[i]);
        last = set[i];
    }
    return last;
}

} // namespace

int StreamSetStreamCount(int speakers)
{
    if (speakers >= 7)
        return 4;
    if (speakers == 6)
        return 3;
    if (speakers >= 4)
        return 2;
    return 1;
}

HSTREAM StreamSetCreateFile(TFileCreator creator, const std::u16string& file, TStreamSet& set, int speakers,
                            DWORD flags)
{
    StreamSetFree(set);
    return CreateEach(set, speakers, flags,
                      [&](DWORD f) { return creator(false, file.c_str(), 0, 0, f | bass::kUnicode); });
}

HSTREAM StreamSetCreateFile(const std::u16string& file, TStreamSet& set, int speakers, DWORD flags)
{
    return StreamSetCreateFile(&BASS_StreamCreateFile, file, set, speakers, flags);
}

HSTREAM StreamSetCreateURL(TURLCreator creator, const std::string& url, DWORD offset, DWORD flags, TStreamSet& set,
                           int speakers, void* user, DOWNLOADPROC* proc)
{
    set = {};
    return CreateEach(set, speakers, flags, [&](DWORD f) { return creator(url.c_str(), offset, f, proc, user); });
}

bool StreamSetPlay(const TStreamSet& set, bool restart, DWORD flags)
{
    bool result = false;
    for (size_t i = 0; i < set.size(); ++i) {
        if (set[i] == 0)
            continue;
        const bool played = BASS_ChannelPlay(set[i], restart);
        BASS_ChannelFlags(set[i], flags, flags);
        if (i == 0)
            result = played;
    }
    return result;
}

void StreamSetStop(const TStreamSet& set)
{
    for (HSTREAM h : set)
        if (h)
            BASS_ChannelStop(h);
}

void StreamSetPause(const TStreamSet& set)
{
    for (HSTREAM h : set)
        if (h)
            BASS_ChannelPause(h);
}

void StreamSetResume(const TStreamSet& set)
{
    for (HSTREAM h : set)
        if (h)
            BASS_ChannelPlay(h, false);
}

void StreamSetFree(TStreamSet& set)
{
    for (HSTREAM& h : set) {
        if (h)
            BASS_StreamFree(h);
        h = 0;
    }
}

void StreamSetSetPosition(const TStreamSet& set, int64_t bytes)
{
    for (HSTREAM h : set)
        if (h)
            BASS_ChannelSetPosition(h, static_cast<QWORD>(std::max<int64_t>(bytes, 0)), bass::kPosByte);
}

void StreamSetSetFrequency(const TStreamSet& set, int hz)
{
    for (HSTREAM h : set)
        if (h)
            BASS_ChannelSetAttribute(h, bass::kAttribFreq, static_cast<float>(hz));
}

bool StreamSetSetAttributes(const TStreamSet& set, int frequency, int volume, int pan)
{
    bool result = false;
    for (size_t i = 0; i < set.size(); ++i) {
        if (set[i] == 0)
            continue;
        if (i == 0) {
            result = BASS_ChannelSetAttribute(set[i], bass::kAttribFreq, static_cast<float>(frequency)) &&
                     BASS_ChannelSetAttribute(set[i], bass::kAttribVol, volume / 100.0f) &&
                     BASS_ChannelSetAttribute(set[i], bass::kAttribPan, pan / 100.0f);
        } else {
            ChannelSetAttributes(set[i], frequency, volume, pan);
        }
    }
    return result;
}

bool StreamSetSlideAttributes(const TStreamSet& set, int frequency, int volume, int time, int pan)
{
    bool result = false;
    for (size_t i = 0; i < set.size(); ++i) {
        if (set[i] == 0)
            continue;
        const DWORD ms = static_cast<DWORD>(std::max(time, 0));
        const bool ok = BASS_ChannelSlideAttribute(set[i], bass::kAttribFreq, static_cast<float>(frequency), ms) &&
                        BASS_ChannelSlideAttribute(set[i], bass::kAttribVol, volume / 100.0f, ms) &&
                        BASS_ChannelSlideAttribute(set[i], bass::kAttribPan, pan / 100.0f, ms);
        if (i == 0)
            result = ok;
    }
    return result;
}

void StreamSetSetFX(const TStreamSet& set, DWORD type, std::array<HFX, 4>& handles)
{
    for (size_t i = 0; i < set.size(); ++i)
        handles[i] = set[i] ? BASS_ChannelSetFX(set[i], type, 0) : 0;
}

int64_t StreamSetGetPosition(const TStreamSet& set) { return ChannelGetPosition(set[0]); }
int64_t StreamSetGetLength(const TStreamSet& set) { return ChannelGetLength(set[0]); }
DWORD StreamSetIsActive(const TStreamSet& set) { return BASS_ChannelIsActive(set[0]); }
bool StreamSetAssigned(const TStreamSet& set) { return set[0] != 0; }
const char* StreamSetGetTags(const TStreamSet& set, DWORD tagType) { return BASS_ChannelGetTags(set[0], tagType); }

HSYNC StreamSetSetSync(const TStreamSet& set, DWORD type, SYNCPROC* proc, void* user, int64_t param)
{
    return BASS_ChannelSetSync(set[0], type, static_cast<QWORD>(std::max<int64_t>(param, 0)), proc, user);
}

void StreamSetRemoveSync(const TStreamSet& set, HSYNC sync)
{
    if (sync)
        BASS_ChannelRemoveSync(set[0], sync);
}

bool StreamSetGetInfo(const TStreamSet& set, BassChannelInfo& info) { return BASS_ChannelGetInfo(set[0], &info); }

bool StreamSetGetAttributes(const TStreamSet& set, int& frequency, int& volume, int& pan)
{
    return ChannelGetAttributes(set[0], frequency, volume, pan);
}

int64_t StreamSetBytesToMilliseconds(const TStreamSet& set, int64_t bytes)
{
    return BassBytesToMilliseconds(set[0], bytes);
}

int64_t StreamSetSecondsToBytes(const TStreamSet& set, double seconds) { return BassSecondsToBytes(set[0], seconds); }

int64_t ChannelGetPosition(DWORD handle)
{
    const QWORD pos = BASS_ChannelGetPosition(handle, bass::kPosByte);
    return pos == static_cast<QWORD>(-1) ? 0 : static_cast<int64_t>(pos);
}

int64_t ChannelGetLength(DWORD handle)
{
    const QWORD length = BASS_ChannelGetLength(handle, bass::kPosByte);
    return length == static_cast<QWORD>(-1) ? 0 : static_cast<int64_t>(length);
}

bool ChannelGetAttributes(DWORD handle, int& frequency, int& volume, int& pan)
{
    float f = 0, v = 0, p = 0;
    if (!BASS_ChannelGetAttribute(handle, bass::kAttribFreq, &f) ||
        !BASS_ChannelGetAttribute(handle, bass::kAttribVol, &v) ||
        !BASS_ChannelGetAttribute(handle, bass::kAttribPan, &p))
        return false;
    frequency = static_cast<int>(f);
    // Percent read back rounds: a float of 0.45 must not come back as 44.
    volume = static_cast<int>(std::lround(v * 100.0f));
    pan = static_cast<int>(std::lround(p * 100.0f));
    return true;
}

int64_t BassBytesToMilliseconds(DWORD handle, int64_t bytes)
{
    const double seconds = BASS_ChannelBytes2Seconds(handle, static_cast<QWORD>(std::max<int64_t>(bytes, 0)));
    return seconds < 0 ? 0 : static_cast<int64_t>(seconds * 1000.0);
}

int64_t BassSecondsToBytes(DWORD handle, double seconds)
{
    const QWORD bytes = BASS_ChannelSeconds2Bytes(handle, seconds);
    return bytes == static_cast<QWORD>(-1) ? 0 : static_cast<int64_t>(bytes);
}

std::string TimeTextOfMilliseconds(int64_t milliseconds)
{
    const TKTimeParts t = MillisecondsToTime(milliseconds);
    char text[16];
    std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", t.Hours, t.Minutes, t.Seconds);
    return text;
}

} // namespace kolvarin
