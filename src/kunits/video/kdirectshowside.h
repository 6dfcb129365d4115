#pragma once

// The play system's DirectShow side: plays video files, DirectShow audio
// files, video URL streams and DVDs through the filter graph of the video
// window. The play system runs the start sequence (kvideoside.h); this side
// prepares the graph, builds it (graph script or automatic rendering),
// starts it, polls it and tears it down, and ends the medium through the
// play system when the graph completes. Main thread only.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <QObject>

#include "media/filterif.h"
#include "playback/kvideoside.h"

namespace kolvarin::dsp {
class TQxEqualizer;
}

namespace kolvarin::video {

class TFilterGraph;
class TDSVideoWindowEx2;
class TDSKitQxDSPFilter;
class TFilterLibraries;
class TKGraphBuilder;
class TKVideoHost;
} // namespace kolvarin::video

namespace kolvarin::http {
class Fetcher;
}

namespace kolvarin::video {

class TKDirectShowSide : public TKVideoSide {
public:
    // The host (the video window) is not owned; nullptr: a hidden display of
    // the side's own.
    explicit TKDirectShowSide(TKVideoHost* host = nullptr);
    ~TKDirectShowSide() override;
    TKDirectShowSide(const TKDirectShowSide&) = delete;
    TKDirectShowSide& operator=(const TKDirectShowSide&) = delete;

    // The video window to render into and report to (between media); none:
    // a plain window of the side's own shows the video.
    void SetHost(TKVideoHost* host);
    TFilterGraph& FilterGraph() { return *graph_; }
    TDSVideoWindowEx2& Display();
    TDSKitQxDSPFilter& DSPFilter() { return *dsp_; }
    TKGraphBuilder& GraphBuilder() { return *builder_; }
    TFilterLibraries& FilterLibraries() { return *libraries_; }
    // The equalizer the DSP filter's sound passes through while the DSP is
    // on: the window's when it keeps one, else the side's own.
    dsp::TQxEqualizer& Equalizer();

    // An .asx list over http is fetched on the fetcher's worker.
    bool FetchStream(const std::u16string& fileName, TKStreamFetched done) override;
    void CancelFetch() override;
    bool InitEngine(bool dvd) override;
    void InitDSP(bool active) override;
    bool BuildGraph(TKSystem& system, const std::u16string& fileName, bool dvd) override;
    bool Prepare(TKSystem& system, bool dvd, int index) override;
    bool Duration(int64_t& length) override;
    bool Run(std::string& message) override;
    uint32_t SeekingCaps() override;
    void Started() override;
    bool Visible() override;
    void ToForeground() override;
    void SetAspectRatio() override;
    void SetVideoDefaults() override;
    // The framework's splitter (stream selection) and the subtitle filter of
    // a video file's graph; null when absent.
    media::IBaseFilter* SplitterFilter() const { return splitter_.get(); }
    media::IBaseFilter* SubtitleFilter() const { return subtitleFilter_.get(); }
    void Stop() override;
    void Reset(bool fullStop) override;
    bool Pause() override;
    bool Resume() override;
    void UpdateVideoMenu() override;
    int GraphState() override;
    bool Position(int64_t& position) override;
    void SetPosition(int64_t position) override;
    void PlayAtTime(int hours, int minutes, int seconds) override;
    void SetVolume(int volume) override;
    void SetBalance(int balance) override;
    void SetRate(double rate) override;
    void SetEqualizerBand(int band, int gain) override;
    // The window's spectrum; none without a window.
    bool GetSpectrumData(std::span<float> values) override;

private:
    void MakeOwnDisplay();
    void AttachGraphHandlers();
    void GraphComplete();
    // The builder's stream records into the play system's stream infos.
    void CopyStreamInfos();
    // The ten slider gains on the equalizer's bins at the stream's rate.
    void ApplyEqualizerBands();
    // The first filter of the graph with that class; null when none.
    media::ComPtr<media::IBaseFilter> FindFilterByClassID(const media::CLSID& clsid);
    // The splitter and subtitle filter of a video file's graph, the
    // subtitle filter set up when it has a connected input.
    void QueryVideoInterfaces(bool videoFile);
    void SetVideoColorControl();

    TKVideoHost* host_;
    TKSystem* system_ = nullptr;
    std::unique_ptr<TFilterGraph> graph_;
    std::unique_ptr<TDSVideoWindowEx2> ownDisplay_;
    std::unique_ptr<TDSKitQxDSPFilter> dsp_;
    std::unique_ptr<TFilterLibraries> libraries_;
    std::unique_ptr<TKGraphBuilder> builder_;
    std::unique_ptr<dsp::TQxEqualizer> equalizer_;
    // Written on the main thread, read on the streaming thread when the
    // stream's format changes.
    std::array<std::atomic<int>, 10> bandGains_{};
    std::atomic<int> sampleRate_{44100};
    media::ComPtr<media::IBaseFilter> splitter_;
    media::ComPtr<media::IBaseFilter> subtitleFilter_;
    // Stream lists arrive on the main thread through the context; the
    // fetcher goes first, made at the first list.
    QObject fetchContext_;
    std::unique_ptr<http::Fetcher> fetcher_;
};

// The process-wide video side; created by the start-up sequence after the
// play system, freed after it.
extern TKDirectShowSide* VideoSide;

} // namespace kolvarin::video
