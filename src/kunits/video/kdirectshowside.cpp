#include "video/kdirectshowside.h"

#include <algorithm>
#include <functional>

#include <QScreen>
#include <QTimer>

#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "http/fetcher.h"
#include "media/graphif.h"
#include "media/subtitlefilter.h"
#include "media/uuids.h"
#include "playback/ksystem.h"
#include "video/asxplaylist.h"
#include "video/dskitdspfilter.h"
#include "video/dskitfiltergraph.h"
#include "video/dskitvideowindow.h"
#include "video/filterlibrary.h"
#include "video/graphbuilder.h"
#include "video/kvideohost.h"
#include "video/videoequalizer.h"

namespace kolvarin::video {

using namespace media;

TKDirectShowSide* VideoSide = nullptr;

TKDirectShowSide::TKDirectShowSide(TKVideoHost* host)
    : host_(host),
      graph_(std::make_unique<TFilterGraph>()),
      dsp_(std::make_unique<TDSKitQxDSPFilter>()),
      libraries_(std::make_unique<TFilterLibraries>()),
      equalizer_(std::make_unique<dsp::TQxEqualizer>())
{
    if (!host_)
        MakeOwnDisplay();
    builder_ = std::make_unique<TKGraphBuilder>(*graph_, Display(), *dsp_, host_, libraries_.get());
    Display().SetFilterGraph(graph_.get());
    dsp_->SetFilterGraph(graph_.get());
    AttachGraphHandlers();
    graph_->Loaded();
}

TKDirectShowSide::~TKDirectShowSide()
{
    builder_->DynFilters.Clear();
    graph_->SetActive(false);
    Display().SetFilterGraph(nullptr);
    dsp_->SetFilterGraph(nullptr);
    libraries_->UnregisterAll();
}

void TKDirectShowSide::MakeOwnDisplay()
{
    ownDisplay_ = std::make_unique<TDSVideoWindowEx2>();
    ownDisplay_->setWindowTitle("Kolvarin Media Player");
    ownDisplay_->resize(640, 360);
}

void TKDirectShowSide::SetHost(TKVideoHost* host)
{
    Display().SetFilterGraph(nullptr);
    host_ = host;
    if (host_)
        ownDisplay_.reset();
    else if (!ownDisplay_)
        MakeOwnDisplay();
    Display().SetFilterGraph(graph_.get());
    builder_->SetHost(host_, Display());
}

TDSVideoWindowEx2& TKDirectShowSide::Display() { return host_ ? host_->VideoDisplay() : *ownDisplay_; }

void TKDirectShowSide::AttachGraphHandlers()
{
    // Streaming thread, inside the DSP component's lock.
    dsp_->OnPCMData = [this](void* buffer, int size, int&, PDSStream stream) {
        if (equalizer_->Enabled() && !stream->AC3 && !stream->DTS)
            equalizer_->Process(buffer, size, static_cast<uint8_t>(stream->Bits),
                                static_cast<uint8_t>(stream->Channels), stream->Float != 0);
    };
    dsp_->OnMediaTypeChanged = [this](PDSStream stream) {
        if (stream->SampleRate > 0 && stream->SampleRate != sampleRate_) {
            sampleRate_ = stream->SampleRate;
            ApplyEqualizerBands();
        }
    };
    graph_->OnGraphComplete = [this](HRESULT, IBaseFilter*) {
        // The play system tears the graph down: not from inside its own event loop.
        QTimer::singleShot(0, &Display(), [this] { GraphComplete(); });
    };
    // A graph aborted by an error plays no further and never completes: the
    // medium ends there, or the player would wait on it for ever.
    graph_->OnGraphErrorAbort = [this](HRESULT) { QTimer::singleShot(0, &Display(), [this] { GraphComplete(); }); };
    graph_->OnGraphVideoSizeChanged = [this](uint16_t width, uint16_t height) {
        if (host_)
            host_->VideoSizeChanged(width, height);
    };
}

void TKDirectShowSide::GraphComplete()
{
    const TSystemType type = system_ ? system_->SystemType() : TSystemType::None;
    if (!SysActive || type < TSystemType::DirectXVideo || type > TSystemType::DVD)
        return;
    system_->VideoIsFinished();
}

bool TKDirectShowSide::InitEngine(bool dvd)
{
    const char* proc = "TKSystem.Play.InitVideoEngine";
    Log(proc, "Initialize video engine...");
    try {
        Log(proc, "Clear filtergraph...");
        graph_->ClearGraph();
        Log(proc, "Set filtergraph edit");
        graph_->SetGraphEdit(Config && Config->DebugEnabled);
        Log(proc, dvd ? "Set filtergraph dvd mode" : "Set filtergraph normal mode");
        graph_->SetMode(dvd ? TGraphMode::gmDVD : TGraphMode::gmNormal);
        Log(proc, "Deactivate filtergraph...");
        graph_->SetActive(false);
        Log(proc, "Activate filtergraph...");
        graph_->SetActive(true);
        Log(proc, "Clear filtergraph volume");
        graph_->SetVolume(0);
    } catch (const std::exception& e) {
        Log(proc, std::string("Initialize video engine failed: ") + e.what());
        return false;
    }
    Log(proc, "Initialize video engine ok");
    return true;
}

void TKDirectShowSide::InitDSP(bool active)
{
    dsp_->SetDSPEnabled(active);
    dsp_->SetVisualEnabled(active);
    Equalizer().SetEnabled(active);
}

bool TKDirectShowSide::FetchStream(const std::u16string& fileName, TKStreamFetched done)
{
    if (!IsAsxUrl(fileName))
        return false;
    if (!fetcher_)
        fetcher_ = std::make_unique<http::Fetcher>(&fetchContext_);
    fetcher_->cancelAll();
    const std::string url = Utf16ToUtf8(fileName);
    fetcher_->get(AsxListRequest(url), [url, done = std::move(done)](const http::HttpResult& result) {
        std::string error;
        const std::string stream = FirstAsxReference(result, url, error);
        done(Utf8ToUtf16(stream), error);
    });
    return true;
}

void TKDirectShowSide::CancelFetch()
{
    if (fetcher_)
        fetcher_->cancelAll();
}

bool TKDirectShowSide::BuildGraph(TKSystem& system, const std::u16string& fileName, bool dvd)
{
    system_ = &system;
    bool built;
    if (dvd) {
        built = builder_->PlayDVD(fileName);
    } else {
        Log("TKSystem.Play.Play_DirectX", "Refresh media filter graph types...");
        builder_->RefreshFilterGraphTypes();
        // A list that gave nothing leaves no address to play.
        built = !fileName.empty() && builder_->PlayVideo(fileName);
    }
    CopyStreamInfos();
    return built;
}

void TKDirectShowSide::CopyStreamInfos()
{
    auto& infos = system_->StreamInfos();
    infos.clear();
    for (const TKStreamInfo& s : builder_->StreamInfos()) {
        // A pin left unconnected found nothing to decode it: what it offered
        // describes the stream.
        const TKStreamFormat* shown = &s.Format;
        if (!s.Connected && !s.Formats.empty())
            shown = &s.Formats.front();
        const TKMediaFormat& m = shown->MediaFormat;
        kolvarin::TKStreamInfo info;
        info.Valid = s.Connected;
        info.Kind = static_cast<uint8_t>(shown->Kind);
        info.Codec = m.Codec;
        info.SampleRateKHz = m.SampleRate;
        info.Channels = m.Channels;
        info.BitrateKbps = m.BitRate;
        info.Width = m.Width;
        info.Height = m.Height;
        info.BitDepth = m.BitCount;
        info.Language = m.LanguageCode;
        info.TrackName = m.TrackName;
        if (!s.Connected)
            for (const TKStreamFormat& offered : s.Formats)
                info.MissingDecoders.push_back({static_cast<uint8_t>(offered.Kind), offered.MediaFormat.Codec});
        infos.push_back(std::move(info));
    }
}

bool TKDirectShowSide::Prepare(TKSystem& system, bool dvd, int index)
{
    const char* proc = "TKSystem.PrepareVideo";
    system_ = &system;
    Log(proc, "Enter with DVD " + Quoted(dvd ? "true" : "false") + ", Index=" + Quoted(std::to_string(index)));
    Log(proc, "Check system type...");
    const TSystemType type = system.SystemType();
    if (type < TSystemType::DirectXVideo || type > TSystemType::DVD) {
        Log(proc, "Check system type failed!");
        return false;
    }
    Log(proc, "Query video interfaces...");
    QueryVideoInterfaces(type == TSystemType::DirectXVideo);
    const bool hasVideo = graph_->Active() && HasVideoStream(builder_->StreamInfos());
    // The bands lie at the sound's own rate.
    for (const TKStreamInfo& info : builder_->StreamInfos())
        if (info.Format.Kind == TKStreamKind::Audio && info.Format.MediaFormat.SampleRate > 0) {
            sampleRate_ = static_cast<int>(info.Format.MediaFormat.SampleRate * 1000);
            ApplyEqualizerBands();
            break;
        }
    if (host_) {
        host_->VideoPrepared(hasVideo, dvd);
    } else {
        Log(proc, "Check if video is present...");
        if (hasVideo) {
            Log(proc, "Show video window...");
            ownDisplay_->show();
            Log(proc, "-- Video enabled");
        } else {
            Log(proc, "Check if video is present failed!");
            Log(proc, "Disable video window");
            ownDisplay_->hide();
            Log(proc, "-- Video disabled");
        }
    }
    if (auto vobsub = QueryAs<IDirectVobSub>(subtitleFilter_.get())) {
        Log(proc, "DirectVobSub found.");
        Log(proc, "Hide subtitles");
        vobsub->put_HideSubtitles(true);
    }
    return hasVideo;
}

bool TKDirectShowSide::Duration(int64_t& length)
{
    auto seeking = graph_->Query<IMediaSeeking>();
    length = 0;
    return seeking && Succeeded(seeking->GetDuration(&length));
}

bool TKDirectShowSide::Run(std::string& message)
{
    try {
        if (graph_->Play())
            return true;
        message = "The filter graph does not run.";
    } catch (const std::exception& e) {
        message = e.what();
    }
    return false;
}

uint32_t TKDirectShowSide::SeekingCaps()
{
    uint32_t caps = 0;
    auto seeking = graph_->Query<IMediaSeeking>();
    if (!seeking || Failed(seeking->GetCapabilities(&caps)))
        return 0;
    return caps;
}

void TKDirectShowSide::Started() { SetVideoColorControl(); }

bool TKDirectShowSide::Visible() { return host_ ? host_->Visible() : ownDisplay_->isVisible(); }

void TKDirectShowSide::ToForeground()
{
    if (host_)
        host_->ToForeground();
    else
        ownDisplay_->raise();
}

void TKDirectShowSide::SetAspectRatio()
{
    if (host_)
        host_->CalculateVideoRatio();
}

void TKDirectShowSide::SetVideoDefaults()
{
    if (host_)
        host_->SetVideoDefaults();
}

void TKDirectShowSide::SetVideoColorControl()
{
    // The mixer that carries the controls is set up when the graph starts.
    TColorControl& colors = Display().ColorControl();
    if (!Config || !colors.ColorEnable())
        return;
    const char* proc = "TKSystem.PrepareVideo.SetVideoColorControl";
    Log(proc, "Enable video color control");
    const auto& c = Config->VideoColorControls;
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"brightness", [&] { colors.SetBrightness(c.Brightness); }},
        {"contrast", [&] { colors.SetContrast(c.Contrast); }},
        {"hue", [&] { colors.SetHue(c.Hue); }},
        {"saturation", [&] { colors.SetSaturation(c.Saturation); }},
        {"sharpness", [&] { colors.SetSharpness(c.Sharpness); }},
        {"gamma", [&] { colors.SetGamma(c.Gamma); }},
    };
    for (const auto& [name, set] : steps) {
        Log(proc, std::string("Set video color ") + name);
        try {
            set();
        } catch (const std::exception& e) {
            Log(proc, e.what());
        }
    }
}

ComPtr<IBaseFilter> TKDirectShowSide::FindFilterByClassID(const CLSID& clsid)
{
    auto graph = graph_->Query<IFilterGraph>();
    ComPtr<IEnumFilters> filters;
    if (!graph || Failed(graph->EnumFilters(filters.put())))
        return {};
    ComPtr<IBaseFilter> f;
    while (filters->Next(1, f.put(), nullptr) == S_OK)
        if (ClassIdOf(f.get()) == clsid)
            return f;
    return {};
}

void TKDirectShowSide::QueryVideoInterfaces(bool videoFile)
{
    splitter_ = nullptr;
    subtitleFilter_ = nullptr;
    if (!videoFile || !graph_->Active())
        return;
    static constexpr CLSID kOtherSplitter{0x564FD788, 0x86C9, 0x4444, {0x97, 0x1E, 0xCC, 0x4A, 0x24, 0x3D, 0xA1, 0x50}};
    splitter_ = FindFilterByClassID(CLSID_MediaSplitter);
    if (!splitter_)
        splitter_ = FindFilterByClassID(kOtherSplitter);
    subtitleFilter_ = FindFilterByClassID(CLSID_SubtitleFilter);
    if (!subtitleFilter_)
        return;
    const auto inputs = PinsOf(subtitleFilter_.get(), PINDIR_INPUT);
    const bool fed = std::any_of(inputs.begin(), inputs.end(), [](const auto& pin) { return PeerOf(pin.get()); });
    auto vobsub = QueryAs<IDirectVobSub>(subtitleFilter_.get());
    if (!fed || !vobsub)
        return;
    vobsub->put_OSD(Config && Config->DebugEnabled);
    vobsub->put_PreBuffering(true);
    vobsub->put_VobSubSettings(true, false, false);
    vobsub->put_LoadSettings(0, false, false, false);
    vobsub->put_HideSubtitles(true);
}

void TKDirectShowSide::Stop()
{
    const char* proc = "TKSystem.StopDirectX";
    try {
        graph_->Stop();
    } catch (const std::exception& e) {
        Log(proc, std::string("Stopping filter graph failed: ") + e.what());
    }
    builder_->DvdControl = nullptr;
    builder_->DvdInfo = nullptr;
    splitter_ = nullptr;
    subtitleFilter_ = nullptr;
    builder_->DynFilters.Clear();
    try {
        graph_->ClearGraph();
    } catch (const std::exception& e) {
        Log(proc, std::string("Clear filter graph failed: ") + e.what());
    }
    Log(proc, "Deactivate filter graph...");
    graph_->SetActive(false);
    Log(proc, "Unregister reg history...");
    libraries_->UnregisterAll();
    builder_->RegisteredFiles.clear();
    builder_->SubtitleSource = nullptr;
}

void TKDirectShowSide::Reset(bool fullStop)
{
    if (!fullStop)
        return;
    if (host_)
        host_->VideoReset(true);
    else
        ownDisplay_->hide();
}

bool TKDirectShowSide::Pause()
{
    try {
        return graph_->Pause();
    } catch (const std::exception& e) {
        Log("TKSystem.Pause", std::string("Pause filtergraph failed: ") + e.what());
        return false;
    }
}

bool TKDirectShowSide::Resume()
{
    try {
        return graph_->Play();
    } catch (const std::exception& e) {
        Log("TKSystem.Pause", std::string("Play filtergraph failed: ") + e.what());
        return false;
    }
}

void TKDirectShowSide::UpdateVideoMenu()
{
    if (host_)
        host_->UpdateVideoMenu();
}

int TKDirectShowSide::GraphState() { return graph_->Active() ? graph_->GetState() : 0; }

bool TKDirectShowSide::Position(int64_t& position)
{
    auto seeking = graph_->Query<IMediaSeeking>();
    int64_t current = 0;
    if (!seeking || Failed(seeking->GetCurrentPosition(&current)))
        return false;
    position = current;
    return true;
}

void TKDirectShowSide::SetPosition(int64_t position)
{
    if (auto seeking = graph_->Query<IMediaSeeking>())
        seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

void TKDirectShowSide::PlayAtTime(int hours, int minutes, int seconds)
{
    if (!graph_->Active() || !builder_->DvdControl)
        return;
    DVD_HMSF_TIMECODE time;
    time.bHours = static_cast<uint8_t>(std::clamp(hours, 0, 255));
    time.bMinutes = static_cast<uint8_t>(std::clamp(minutes, 0, 59));
    time.bSeconds = static_cast<uint8_t>(std::clamp(seconds, 0, 59));
    builder_->DvdControl->PlayAtTime(&time, 0);
}

void TKDirectShowSide::SetVolume(int volume)
{
    if (graph_->Active())
        graph_->SetVolume(volume);
}

void TKDirectShowSide::SetBalance(int balance)
{
    if (graph_->Active())
        graph_->SetBalance(balance);
}

void TKDirectShowSide::SetRate(double rate)
{
    if (graph_->Active())
        graph_->SetRate(rate);
}

void TKDirectShowSide::SetEqualizerBand(int band, int gain)
{
    if (band < 0 || band >= static_cast<int>(bandGains_.size()))
        return;
    bandGains_[band] = gain;
    SetEqualizerBandGain(Equalizer(), band, gain, sampleRate_);
}

void TKDirectShowSide::ApplyEqualizerBands()
{
    for (size_t band = 0; band < bandGains_.size(); ++band)
        SetEqualizerBandGain(Equalizer(), static_cast<int>(band), bandGains_[band], sampleRate_);
}

bool TKDirectShowSide::GetSpectrumData(std::span<float> values) { return host_ && host_->GetSpectrumData(values); }

dsp::TQxEqualizer& TKDirectShowSide::Equalizer()
{
    dsp::TQxEqualizer* windows = host_ ? host_->Equalizer() : nullptr;
    return windows ? *windows : *equalizer_;
}

} // namespace kolvarin::video
