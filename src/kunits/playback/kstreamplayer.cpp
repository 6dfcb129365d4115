#include <cstdio>
#include <filesystem>

#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

namespace {

constexpr TURLCreator kURLCreators[] = {&BASS_StreamCreateURL, &BASS_AAC_StreamCreateURL, &BASS_AC3_StreamCreateURL,
                                        &BASS_FLAC_StreamCreateURL};

// The mask with every "%title%" (any letter case) replaced, made safe as a file name.
std::string RecordNameOf(const std::string& mask, const std::u16string& title)
{
    std::u16string text = AnsiToUtf16(mask);
    const std::u16string key = u"%title%";
    for (int64_t pos = PosText(key, text); pos > 0; pos = PosText(key, text))
        text.replace(static_cast<size_t>(pos - 1), key.size(), title);
    return Utf16ToUtf8(ReplaceInvalidFileNameChars(text));
}

std::vector<TKey> StreamKeyValues(const TStreamSet& set)
{
    std::vector<TKey> pairs;
    SplitKeyValues(TagListToText(StreamSetGetTags(set, bass::kTagIcy)), pairs, ':', true, ';');
    if (const char* meta = StreamSetGetTags(set, bass::kTagMeta))
        SplitKeyValues(std::string(meta) + ";", pairs, '=', false, ';');
    return pairs;
}

} // namespace

double BufferFillPercent(QWORD end, QWORD downloaded, QWORD current, bool blockStreaming)
{
    // An unknown end (0 or the failure value) is no fill at all.
    if (end == 0 || end == static_cast<QWORD>(-1) || downloaded == static_cast<QWORD>(-1))
        return 0;
    const double ahead = blockStreaming ? static_cast<double>(downloaded) - static_cast<double>(current)
                                        : static_cast<double>(downloaded);
    return std::clamp(ahead * 100.0 / static_cast<double>(end), 0.0, 100.0);
}

std::string RecordFormatExtension(int format)
{
    static const char* const extensions[] = {".mp3", ".aac", ".ac3", ".flac", ".wav", ".ogg"};
    return format >= 0 && format <= 5 ? extensions[format] : ".unknown";
}

int RecordFormatOfChannelType(DWORD channelType)
{
    switch (channelType) {
    case bass::kCtypeAac: return 1;
    case bass::kCtypeAc3: return 2;
    case bass::kCtypeFlac: return 3;
    case bass::kCtypeWav:
    case bass::kCtypeWavPcm:
    case bass::kCtypeWavFloat: return 4;
    case bass::kCtypeOgg: return 5;
    default: return 0;
    }
}

std::string TagListToText(const char* tags)
{
    std::string text;
    if (!tags)
        return text;
    for (const char* p = tags; *p; p += std::char_traits<char>::length(p) + 1)
        text += std::string(p) + ";";
    return text;
}

void SplitKeyValues(std::string text, std::vector<TKey>& pairs, char separator, bool clear, char terminator)
{
    if (clear)
        pairs.clear();
    // Leading segments without a separator (the status line) are dropped.
    for (;;) {
        const size_t end = text.find(terminator);
        if (end == std::string::npos)
            break;
        const size_t sep = text.find(separator);
        if (sep != std::string::npos && sep < end)
            break;
        text.erase(0, end + 1);
    }
    auto trimmed = [](const std::string& s) {
        const size_t a = s.find_first_not_of(" \t\r\n");
        return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
    };
    while (text.find(terminator) != std::string::npos) {
        const size_t sep = text.find(separator);
        const size_t end = text.find(terminator);
        if (sep == std::string::npos || sep > end) {
            text.erase(0, end + 1);
            continue;
        }
        TKey pair{text.substr(0, sep), text.substr(sep + 1, end - sep - 1)};
        text.erase(0, end + 1);
        if (pair.Value.size() > 1 && pair.Value.front() == '\'' && pair.Value.back() == '\'')
            pair.Value = pair.Value.substr(1, pair.Value.size() - 2);
        if (!trimmed(pair.Key).empty() && !trimmed(pair.Value).empty())
            pairs.push_back(std::move(pair));
    }
}

bool FindKeyValue(const std::string& key, const std::vector<TKey>& pairs, TKey& pair)
{
    for (const auto& p : pairs) {
        if (AnsiLowerCase(p.Key) == AnsiLowerCase(key)) {
            pair = p;
            return true;
        }
    }
    pair = {};
    return false;
}

TKStreamPlayer::~TKStreamPlayer() { RecordOff(); }

void TKStreamPlayer::Play(const std::u16string& url)
{
    const char* proc = "TKSystem.Play";
    TKPlayState& state = State();
    BeginStart();
    SelectChannelSlot();
    ChangeStatusConnecting();
    url_ = Utf16ToUtf8(url);
    bufferPercent_ = 0;
    {
        MutexLock lock(recordMutex_);
        recorder_.Format = 0;
    }
    BASS_SetConfig(bass::kConfigNetTimeout, static_cast<DWORD>(Config ? std::max(Config->TryURLTime, 0) : 0));
    BASS_SetConfig(bass::kConfigNetPrebuf, static_cast<DWORD>(Config ? std::max<int>(Config->NetPrebuffer, 0) : 0));
    TStreamSet& slot = Slots().Current();
    bool connected = false;
    const int passes = Config ? Config->NumTrysURLStream : 0;
    for (int pass = 0; pass < passes && !connected; ++pass) {
        for (TURLCreator creator : kURLCreators) {
            if (connected)
                break;
            Log(proc, "Connect to " + Quoted(url_) + "...");
            recordSources_.push_back({this, ++lastRecordSource_});
            StreamSetCreateURL(creator, url_, 0, bass::kStreamStatus, slot, 0, &recordSources_.back(),
                               &RecordDownloadProc);
            connected = StreamSetAssigned(slot);
        }
    }
    SetStreamInfo(state.StreamInfos, slot[0]);
    if (!connected) {
        FailStart(TKErrorCode::StreamCreate, url, -1);
        return;
    }
    {
        BassChannelInfo info;
        StreamSetGetInfo(slot, info);
        MutexLock lock(recordMutex_);
        recorder_.Format = RecordFormatOfChannelType(info.ctype);
        recorder_.Source = lastRecordSource_;
    }
    SetupEqualizer();
    ApplyEqualizer();
    if (!StreamSetPlay(slot, false, 0)) {
        StreamSetFree(slot);
        FailStart(TKErrorCode::StreamPlay, url, -1);
        return;
    }
    View().HideVideoWindow();
    View().SetAudioMenu(true, true);
    state.ChannelLength = 0;
    ApplyStartAttributes(slot);
    FadeIn(true);
    EnterPlaying(url);

    TKey station;
    FindKeyValue("icy-name", StreamKeyValues(slot), station);
    // Header values keep the blank after the colon; a caption or file name must not.
    std::u16string stationName = TrimWide(AnsiToUtf16(station.Value));
    if (!stationName.empty() && state.CurrentItem) {
        state.CurrentItem->Caption = stationName;
        state.CurrentEntry = *state.CurrentItem;
    }
    if (stationName.empty())
        stationName = u"unknown";
    if (Config && Config->LSASAutoRecord) {
        RecordOn();
        View().SetRecordChecked(true);
    }
    StartRecorder(stationName);
    FinishStart(false);
}

void TKStreamPlayer::StartRecorder(const std::u16string& stationName)
{
    MutexLock lock(recordMutex_);
    if (recorder_.Stream)
        std::fclose(recorder_.Stream);
    recorder_.Stream = nullptr;
    recorder_.SplitPending = false;
    recorder_.Name = RecordNameOf(Config ? Config->LSAS.FormatMask : "%TITLE%", stationName);
    recorder_.Playing = true;
}

// A stream fades out even over a fade that still runs.
void TKStreamPlayer::Stop(bool)
{
    const bool fade = Config && Config->Fader.Enabled;
    if (fade)
        bufferPercent_ = 0;
    EndSlot(fade);
}

void TKStreamPlayer::Leaving() { RecordOff(); }

void TKStreamPlayer::Pause()
{
    TKSlotPlayer::Pause();
    SetRecordPlaying(false);
}

void TKStreamPlayer::Resume()
{
    TKSlotPlayer::Resume();
    SetRecordPlaying(true);
}

void TKStreamPlayer::Update()
{
    TKPlayState& state = State();
    const TStreamSet& slot = Slots().Current();
    const DWORD flags = BASS_ChannelFlags(slot[0], 0, 0);
    bufferPercent_ = BufferFillPercent(BASS_StreamGetFilePosition(slot[0], bass::kFilePosEnd),
                                       BASS_StreamGetFilePosition(slot[0], bass::kFilePosDownload),
                                       BASS_StreamGetFilePosition(slot[0], bass::kFilePosCurrent),
                                       flags != static_cast<DWORD>(-1) && (flags & bass::kStreamBlock));
    if (StreamSetIsActive(slot) != bass::kActivePlaying) {
        state.PlayingTitle = WideFormat(state.Texts.Buffering, bufferPercent_, u"%");
        View().SetStatusText(state.PlayingTitle);
        return;
    }
    const int64_t position = StreamSetGetPosition(slot);
    TKey title;
    FindKeyValue("StreamTitle", StreamKeyValues(slot), title);
    const std::u16string streamTitle = TrimWide(AnsiToUtf16(title.Value));
    const std::u16string titleText = streamTitle.empty() ? state.CurrentEntry.Caption : streamTitle;
    const std::u16string text = WideFormat(state.Texts.IsPlaying, titleText);
    if (text != View().StatusText() && !titleText.empty()) {
        if (Config && Config->LSAS.AutoChangeTitle)
            SetRecordName(RecordNameOf(Config->LSAS.FormatMask, titleText), true);
        state.PlayingTitle = text;
        View().SetStatusText(text);
    }
    if (position > 0)
        ShowTimeOf(StreamSetBytesToMilliseconds(slot, position));
}

void TKStreamPlayer::SetRecordName(const std::string& name, bool split)
{
    MutexLock lock(recordMutex_);
    recorder_.Name = name;
    recorder_.SplitPending = recorder_.SplitPending || split;
}

TKSystem::TKRecorder TKStreamPlayer::RecorderState() const
{
    MutexLock lock(recordMutex_);
    return recorder_;
}

void TKStreamPlayer::RecordOn()
{
    MutexLock lock(recordMutex_);
    recorder_.Enabled = true;
}

void TKStreamPlayer::RecordOff()
{
    MutexLock lock(recordMutex_);
    recorder_.Enabled = false;
    recorder_.Playing = false;
    if (recorder_.Stream)
        std::fclose(recorder_.Stream);
    recorder_.Stream = nullptr;
}

void TKStreamPlayer::SetRecordPlaying(bool playing)
{
    MutexLock lock(recordMutex_);
    recorder_.Playing = playing;
}

void TKStreamPlayer::RecordDownloadProc(const void* buffer, DWORD length, void* user)
{
    const auto* source = static_cast<const TKRecordSource*>(user);
    source->Player->RecordBlock(source->Id, buffer, length);
}

void TKStreamPlayer::RecordBlock(uint64_t source, const void* buffer, DWORD length)
{
    MutexLock lock(recordMutex_);
    TKSystem::TKRecorder& r = recorder_;
    // Blocks of another stream (one that fades out) never reach this file.
    if (r.Name.empty() || !r.Playing || source != r.Source)
        return;
    if (r.SplitPending) {
        if (r.Stream)
            std::fclose(r.Stream);
        r.Stream = nullptr;
        r.SplitPending = false;
    }
    if (!buffer) {
        // The end of the download closes; it never creates an empty file.
        if (r.Stream)
            std::fclose(r.Stream);
        r.Stream = nullptr;
        return;
    }
    if (!r.Enabled)
        return;
    if (!r.Stream) {
        std::string folder = UserPath + "data/output/";
        if (Config && !Config->LSAS.OutputPath.empty() && std::filesystem::is_directory(Config->LSAS.OutputPath))
            folder = IncludeTrailingSlash(Config->LSAS.OutputPath);
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        r.FileName = folder + r.Name + RecordFormatExtension(r.Format);
        std::filesystem::remove(r.FileName, ec);
        r.Stream = std::fopen(r.FileName.c_str(), "wb");
        if (!r.Stream)
            return;
    }
    std::fwrite(buffer, 1, length, r.Stream);
}

} // namespace kolvarin
