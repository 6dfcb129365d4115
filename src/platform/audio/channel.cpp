#include "audio/channel.h"

#include <algorithm>
#include <cmath>

#include "audio/speakers.h"

namespace kolvarin::audio {
namespace {

constexpr std::int64_t kReadChunk = 4096;
constexpr int kRenderChunk = 256;
constexpr int kSlideChunk = 32;
constexpr std::int64_t kKeepBehind = 16384;

} // namespace

Channel::Channel(std::unique_ptr<PcmSource> source, DWORD flags, std::string name)
    : source_(std::move(source)), format_(source_->format()), flags_(flags), name_(std::move(name))
{}

int Channel::speakerPair() const
{
    const DWORD pair = (flags_ & bass::kSpeakerMask) >> 24;
    return pair == 0 ? 0 : static_cast<int>(pair) - 1;
}

bool Channel::needsOutput() const
{
    return (state == ChannelState::Playing && !ended_) ||
           std::any_of(slides.begin(), slides.end(), [](const Slide& s) { return s.active; });
}

std::int64_t Channel::length() const { return source_->length(); }

bool Channel::seek(std::int64_t frame)
{
    if (!source_->seek(frame))
        return false;
    stage_.clear();
    stageStart_ = position_ = frame;
    phase_ = 0;
    sourceEnded_ = ended_ = false;
    for (SyncEntry& s : syncs)
        if ((s.type & ~bass::kSyncOneTime) == bass::kSyncPos)
            s.armed = s.frame >= frame;
    return true;
}

void Channel::sortFx()
{
    std::stable_sort(fx.begin(), fx.end(), [](const FxEntry& a, const FxEntry& b) { return a.priority > b.priority; });
}

void Channel::advanceSlides(std::int64_t frames)
{
    for (std::size_t a = 1; a < slides.size(); ++a) {
        Slide& s = slides[a];
        if (!s.active)
            continue;
        s.done = std::min(s.total, s.done + frames);
        attrib[a] = s.at(s.done);
        if (s.done >= s.total) {
            attrib[a] = s.to;
            s.active = false;
        }
    }
}

bool Channel::fill(std::int64_t upTo)
{
    const int channels = format_.channels;
    while (!sourceEnded_ && stageStart_ + static_cast<std::int64_t>(stage_.size() / 2) < upTo) {
        const std::int64_t want = std::clamp<std::int64_t>(upTo - stageStart_ - stage_.size() / 2, 1024, kReadChunk);
        scratch_.resize(static_cast<std::size_t>(want * channels));
        ReadStatus status = ReadStatus::Ok;
        const std::int64_t got = source_->read(scratch_.data(), want, status);
        if (got > 0) {
            for (FxEntry& f : fx)
                f.eq.process(scratch_.data(), got);
            const std::size_t at = stage_.size();
            stage_.resize(at + static_cast<std::size_t>(got) * 2);
            downmixToStereo(scratch_.data(), channels, got, stage_.data() + at);
        }
        if (status == ReadStatus::Ended)
            sourceEnded_ = true;
        else if (status == ReadStatus::Stalled || got == 0)
            return false;
    }
    return true;
}

void Channel::consumed(std::int64_t from, std::int64_t to)
{
    for (std::int64_t i = std::max(from, to - static_cast<std::int64_t>(kHistory)); i < to; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - stageStart_) * 2;
        history_[historyPos_] = 0.5f * (stage_[k] + stage_[k + 1]);
        historyPos_ = (historyPos_ + 1) % history_.size();
    }
}

std::array<float, 1024> Channel::history(std::int64_t unheard) const
{
    std::array<float, 1024> out;
    const std::size_t skip = static_cast<std::size_t>(std::clamp<std::int64_t>(unheard, 0, kHistory - out.size()));
    const std::size_t first = historyPos_ + kHistory - skip - out.size();
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = history_[(first + i) % kHistory];
    return out;
}

void Channel::fireSyncs(std::vector<SyncEvent>& events, bool atEnd, int offset)
{
    for (auto it = syncs.begin(); it != syncs.end();) {
        const DWORD kind = it->type & ~bass::kSyncOneTime;
        const bool due =
            (kind == bass::kSyncPos && it->armed && position_ >= it->frame) || (kind == bass::kSyncEnd && atEnd);
        if (!due) {
            ++it;
            continue;
        }
        events.push_back({it->proc, it->handle, handle, it->user, offset});
        it->armed = false;
        if (it->type & bass::kSyncOneTime)
            it = syncs.erase(it);
        else
            ++it;
    }
}

void Channel::render(float* out, int outChannels, int frames, int outRate, std::vector<SyncEvent>& events)
{
    if (state != ChannelState::Playing || ended_) {
        advanceSlides(frames);
        return;
    }
    const int first = pairFirstChannel(speakerPair(), outChannels);
    if (first < 0) {
        advanceSlides(frames);
        return;
    }
    bool stalled = false;
    int done = 0;
    while (done < frames) {
        int n = std::min(frames - done, slides[bass::kAttribFreq].active ? kSlideChunk : kRenderChunk);
        const double rate = attrib[bass::kAttribFreq] > 0 ? attrib[bass::kAttribFreq] : format_.rate;
        const double step = rate / outRate;
        const std::int64_t need = position_ + static_cast<std::int64_t>(phase_ + step * n) + 2;
        fill(need);
        const std::int64_t stageEnd = stageStart_ + static_cast<std::int64_t>(stage_.size() / 2);
        const Slide& vs = slides[bass::kAttribVol];
        const Slide& ps = slides[bass::kAttribPan];
        const std::int64_t from = position_;
        int j = 0;
        for (; j < n; ++j) {
            if (position_ >= stageEnd || (phase_ > 0 && position_ + 1 >= stageEnd && !sourceEnded_)) {
                if (sourceEnded_ && position_ >= stageEnd)
                    ended_ = true;
                else
                    stalled = true;
                break;
            }
            const std::size_t k = static_cast<std::size_t>(position_ - stageStart_) * 2;
            float l = stage_[k], r = stage_[k + 1];
            if (phase_ > 0 && position_ + 1 < stageEnd) {
                const float t = static_cast<float>(phase_);
                l += (stage_[k + 2] - l) * t;
                r += (stage_[k + 3] - r) * t;
            }
            const float vol = vs.active ? vs.at(std::min(vs.total, vs.done + j + 1)) : attrib[bass::kAttribVol];
            const float pan = ps.active ? ps.at(std::min(ps.total, ps.done + j + 1)) : attrib[bass::kAttribPan];
            float* o = out + static_cast<std::size_t>(done + j) * outChannels + first;
            o[0] += l * vol * std::min(1.0f, 1.0f - pan);
            o[1] += r * vol * std::min(1.0f, 1.0f + pan);
            phase_ += step;
            const double whole = std::floor(phase_);
            phase_ -= whole;
            position_ += static_cast<std::int64_t>(whole);
        }
        if (position_ > stageEnd)
            position_ = stageEnd; // holding the last frame at a rate change
        consumed(from, position_);
        advanceSlides(j);
        done += j;
        if (position_ >= stageEnd && sourceEnded_)
            ended_ = true;
        fireSyncs(events, ended_, done);
        if (stageEnd - stageStart_ > 2 * kKeepBehind && position_ - stageStart_ > kKeepBehind) {
            const std::int64_t drop = position_ - stageStart_ - 1;
            stage_.erase(stage_.begin(), stage_.begin() + drop * 2);
            stageStart_ += drop;
        }
        if (ended_) {
            state = ChannelState::Stopped;
            break;
        }
        if (stalled)
            break;
    }
    if (done < frames)
        advanceSlides(frames - done);
}

} // namespace kolvarin::audio
