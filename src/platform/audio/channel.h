#pragma once

// A playing stream: its source, state, attributes with slides, effects,
// syncs and the history the FFT data is taken from. Every member is used
// under the engine lock.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/bass.h"
#include "audio/pcm_source.h"
#include "audio/peaking_eq.h"

namespace kolvarin::audio {

struct SyncEvent {
    SYNCPROC* proc;
    HSYNC sync;
    DWORD channel;
    void* user;
    int offset = 0; // output frames into the render call that reached it
    std::chrono::steady_clock::time_point due{}; // when the output plays it
};

struct Slide {
    bool active = false;
    float from = 0, to = 0;
    std::int64_t total = 0, done = 0; // output frames
    float at(std::int64_t step) const { return from + (to - from) * static_cast<float>(step) / total; }
};

struct SyncEntry {
    HSYNC handle;
    DWORD type;
    std::int64_t frame; // position syncs
    SYNCPROC* proc;
    void* user;
    bool armed;
};

struct FxEntry {
    HFX handle;
    int priority;
    PeakingEq eq;
};

enum class ChannelState { Stopped, Playing, Paused };

class Channel {
public:
    Channel(std::unique_ptr<PcmSource> source, DWORD flags, std::string name);

    DWORD handle = 0;
    PcmSource& source() { return *source_; }
    const PcmFormat& format() const { return format_; }
    DWORD flags() const { return flags_; }
    void setFlags(DWORD flags) { flags_ = flags; }
    const std::string& name() const { return name_; }
    // Speaker pair 0..3 from the creation flags.
    int speakerPair() const;

    ChannelState state = ChannelState::Stopped;
    bool ended() const { return ended_; }
    // Playing, or an attribute slides (slides advance with the output's frames).
    bool needsOutput() const;
    std::int64_t position() const { return position_; }
    std::int64_t length() const; // frames, -1 unknown
    bool seek(std::int64_t frame);

    // Attributes (kAttribFreq 0 = own rate).
    std::array<float, 4> attrib{0, 0, 1, 0};
    std::array<Slide, 4> slides{};
    void advanceSlides(std::int64_t frames);

    std::vector<FxEntry> fx;
    void sortFx();
    std::vector<SyncEntry> syncs;

    // Mixes frames output frames into out (outChannels interleaved) at
    // outRate; syncs that the output reached are appended to events.
    void render(float* out, int outChannels, int frames, int outRate, std::vector<SyncEvent>& events);
    // 1024 frames played, mono, after effects and before volume: the last
    // ones but `unheard` (what the device still holds is not heard yet).
    std::array<float, 1024> history(std::int64_t unheard = 0) const;
    // The frames kept behind the last one played: a device's whole buffer
    // (two periods of 16384 frames) with the 1024 heard before it.
    static constexpr std::size_t kHistory = 1024 + 2 * 16384;

    // Storage for tags handed out by BASS_ChannelGetTags.
    std::array<std::string, 6> tagCopies;

private:
    bool fill(std::int64_t upTo);
    void consumed(std::int64_t from, std::int64_t to);
    void fireSyncs(std::vector<SyncEvent>& events, bool atEnd, int offset);

    std::unique_ptr<PcmSource> source_;
    PcmFormat format_;
    DWORD flags_;
    std::string name_;
    // Source frames after effects, downmixed to stereo: [stageStart_, stageStart_ + stage_.size() / 2).
    std::vector<float> stage_;
    std::int64_t stageStart_ = 0;
    std::vector<float> scratch_;
    bool sourceEnded_ = false;
    bool ended_ = false;
    std::int64_t position_ = 0; // next source frame to play
    double phase_ = 0;
    std::vector<float> history_ = std::vector<float>(kHistory);
    std::size_t historyPos_ = 0;
};

} // namespace kolvarin::audio
