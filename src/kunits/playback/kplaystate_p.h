#pragma once

// The play system's state: what the players share with TKSystem. Internal to
// the play system; TKSystem owns one and reads it out through its
// accessors. Main thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/playlist/kplaylist.h"
#include "core/settings/ksystemtypes.h"
#include "playback/kplayerview.h"
#include "playback/ksystem.h"

namespace kolvarin {

struct TKPlayState {
    TSystemType SystemType = TSystemType::None;
    TSystemType LastSystemType = TSystemType::None;
    TKPlaylistEntry* CurrentItem = nullptr;
    TKPlaylistEntry CurrentEntry;
    TKPlaylistEntry* LastItem = nullptr;
    std::vector<TKStreamInfo> StreamInfos;

    // The running audio-library channel, whatever player runs it.
    int64_t ChannelLength = 0;
    int ChannelFrequency = 44100;
    int ChannelVolume = 100;
    int ChannelBalance = 0;
    int BaseFrequency = 44100;
    int SpeakerCount = 2;
    int DeviceSpeakers = 2; // from BassInfo at start-up
    HSYNC FadeSyncHandle = 0;
    HSYNC EndSyncHandle = 0;
    std::u16string PlayingTitle;
    bool Seekable = false;

    // The DirectShow medium: length in 100 ns units (0 for URL streams and
    // DVDs), its seeking capabilities and the last position read.
    int64_t VideoLength = 0;
    int64_t VideoPosition = 0;
    uint32_t SeekingCaps = 0;
    TKStreamError StreamError;
    // Media in a row that could not start, and the play mode moved on from.
    int FailedStarts = 0;

    // Skin values the players apply when a medium starts.
    TKBar VolumeBar{10000, 5000};
    int BalanceValue = 100;
    int SpeedValue = 4;
    // The ten slider values; the settings' bands when nothing else set them.
    std::array<int, 10> EqualizerSliders{};

    TKPlayTexts Texts;
    std::function<void()> Terminate;

    // What the status area showed before a start, shown again when it fails.
    std::u16string SavedStatusText;
    TKStatusIcon SavedStatusIcon = TKStatusIcon::Stopped;
};

} // namespace kolvarin
