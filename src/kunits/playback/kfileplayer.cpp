#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/kplayers_p.h"
#include "playback/ktagcaption.h"

namespace kolvarin {

namespace {

struct TKDecoder {
    std::u16string_view Extensions[3];
    TFileCreator Creator;
};

constexpr TKDecoder kDecoders[] = {
    {{u".mpc", u".mpp", u".mp+"}, &BASS_MPC_StreamCreateFile},
    {{u".ape", u".mac"}, &BASS_APE_StreamCreateFile},
    {{u".aac"}, &BASS_AAC_StreamCreateFile},
    {{u".mp4", u".m4a"}, &BASS_MP4_StreamCreateFile},
    {{u".wv"}, &BASS_WV_StreamCreateFile},
    {{u".ac3"}, &BASS_AC3_StreamCreateFile},
    {{u".flac", u".fla"}, &BASS_FLAC_StreamCreateFile},
    {{u".tta"}, &BASS_TTA_StreamCreateFile},
    {{u".ofr", u".ofs"}, &BASS_OFR_StreamCreateFile},
};

} // namespace

TFileCreator DecoderOfFileName(const std::u16string& fileName)
{
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    for (const auto& decoder : kDecoders)
        for (auto e : decoder.Extensions)
            if (!e.empty() && e == ext)
                return decoder.Creator;
    return &BASS_StreamCreateFile;
}

double BitrateKbps(int64_t fileSize, double seconds)
{
    // Nothing from a zero (or unknown) length.
    if (!(seconds > 0))
        return 0;
    const double kbps = static_cast<double>(fileSize) * 8.0 / seconds / 1000.0;
    return std::isfinite(kbps) && kbps >= 0 ? kbps : 0;
}

std::string StreamTypeName(DWORD channelType)
{
    switch (channelType) {
    case 0x10002: return "Ogg Vorbis";
    case 0x10003: return "MPEG layer 1";
    case 0x10004: return "MPEG layer 2";
    case 0x10005: return "MPEG layer 3";
    case 0x10006: return "Audio IFF";
    case 0x10200: return "Music CD";
    case 0x10500: return "WavPack Audio";
    case 0x10700: return "Monkey Audio";
    case 0x10900:
    case 0x10901: return "Free Lossless Audio Codec";
    case 0x10a00: return "Musepack Audio";
    case 0x10b00: return "Advanced Audio Codec";
    case 0x10b01: return "Mpeg-4";
    case 0x11000: return "Dolby Digital Audio";
    case 0x40000: return "Wavestream";
    case 0x50001: return "Wavestream (pcm)";
    case 0x50003: return "Wavestream (float)";
    default: return "Unknown type(" + std::to_string(channelType) + ")";
    }
}

void SetStreamInfo(std::vector<TKStreamInfo>& infos, DWORD handle)
{
    infos.assign(1, TKStreamInfo{});
    TKStreamInfo& info = infos[0];
    BassChannelInfo channel;
    if (!BASS_ChannelGetInfo(handle, &channel))
        return;
    info.Valid = true;
    info.Kind = 2;
    info.Codec = StreamTypeName(channel.ctype);
    info.SampleRateKHz = channel.freq / 1000.0;
    info.Channels = static_cast<int>(channel.chans);
    // Bitrate from the file's size and the length; nothing from a zero length.
    const double seconds = BassBytesToMilliseconds(handle, ChannelGetLength(handle)) / 1000.0;
    struct stat st {};
    if (channel.filename && ::stat(channel.filename, &st) == 0)
        info.BitrateKbps = BitrateKbps(st.st_size, seconds);
}

void TKFilePlayer::Play(const std::u16string& fileName)
{
    const char* proc = "TKSystem.Play";
    TKPlayState& state = State();
    BeginStart();
    SelectChannelSlot();
    if (!KFileExists(fileName)) {
        FailStart(TKErrorCode::FileNotFound, fileName, 0);
        return;
    }
    if (Config && Config->OFPReadID3Tag && state.CurrentItem) {
        Log(proc, "Read tag caption");
        const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
        const bool ape = ext == u".mpc" || ext == u".ape";
        const std::u16string caption = ape ? GetAPETagCaption(fileName) : GetID3TagCaption(fileName);
        if (!caption.empty())
            state.CurrentItem->Caption = caption;
        const std::string track = ape ? GetAPETagTrack(fileName) : GetID3TagTrack(fileName);
        if (track != "00")
            state.CurrentItem->Track = track.substr(0, 2);
        state.CurrentEntry = *state.CurrentItem;
    }
    if (Config && Config->OFPReadTime && state.CurrentItem) {
        Log(proc, "Read media length");
        state.CurrentItem->Time = GetMediaLengthText(fileName);
        state.CurrentEntry = *state.CurrentItem;
    }
    Log(proc, "Create stream " + Quoted(Utf16ToUtf8(fileName)) + "...");
    TStreamSet& slot = Slots().Current();
    StreamSetCreateFile(DecoderOfFileName(fileName), fileName, slot, state.SpeakerCount, 0);
    SetStreamInfo(state.StreamInfos, slot[0]);
    if (!StreamSetAssigned(slot)) {
        Log(proc, "Create stream " + Quoted(Utf16ToUtf8(fileName)) + " failed!");
        FailStart(TKErrorCode::StreamCreate, fileName, -1);
        MoveOnAfterFailure();
        return;
    }
    SetupEqualizer();
    ApplyEqualizer();
    if (!StreamSetPlay(slot, false, 0)) {
        Log(proc, "Play stream failed!");
        StreamSetFree(slot);
        FailStart(TKErrorCode::StreamPlay, fileName, -1);
        MoveOnAfterFailure();
        return;
    }
    Log(proc, "Play stream ok");
    View().HideVideoWindow();
    View().SetAudioMenu(true, false);
    state.ChannelLength = StreamSetGetLength(slot);
    SetEndSyncs();
    ApplyStartAttributes(slot);
    FadeIn(true);
    EnterPlaying(fileName);
    FinishStart(true);
}

void TKFilePlayer::SetEndSyncs()
{
    TKPlayState& state = State();
    const TStreamSet& slot = Slots().Current();
    // Syncs of an earlier call would fire twice.
    RemoveSyncs(slot[0]);
    const int64_t lengthMs = StreamSetBytesToMilliseconds(slot, state.ChannelLength);
    const int fade = FadeTime();
    int64_t fadeAt = -1;
    if (Config && Config->Fader.Enabled && fade > 0 && fade < lengthMs)
        fadeAt = state.ChannelLength - StreamSetSecondsToBytes(slot, fade / 1000.0);
    // A position sync behind the playing point would never fire.
    if (fadeAt > StreamSetGetPosition(slot)) {
        state.FadeSyncHandle =
            StreamSetSetSync(slot, bass::kSyncPos | bass::kSyncOneTime, &TKSystem::SyncFadeOutProc, &System(), fadeAt);
    } else {
        state.EndSyncHandle =
            StreamSetSetSync(slot, bass::kSyncEnd | bass::kSyncOneTime, &TKSystem::SyncEndProc, &System(), 0);
    }
}

void TKFilePlayer::ReopenForSpeakers()
{
    const char* proc = "TKSystem.ApplySpeakers";
    TKPlayState& state = State();
    const int speakers = std::min<int>(Config ? Config->Speakers : 2, state.DeviceSpeakers);
    if (StreamSetStreamCount(speakers) == StreamSetStreamCount(state.SpeakerCount)) {
        state.SpeakerCount = speakers;
        return;
    }
    TStreamSet& slot = Slots().Current();
    const int64_t position = StreamSetGetPosition(slot);
    RemoveSyncs(slot[0]);
    StreamSetStop(slot);
    StreamSetFree(slot);
    state.SpeakerCount = speakers;
    const std::u16string& fileName = state.CurrentEntry.FileName;
    Log(proc, "Create stream " + Quoted(Utf16ToUtf8(fileName)) + " for " + std::to_string(speakers) + " speakers");
    StreamSetCreateFile(DecoderOfFileName(fileName), fileName, slot, speakers, 0);
    if (!StreamSetAssigned(slot)) {
        Log(proc, "Create stream failed!");
        System().Stop(true);
        return;
    }
    SetupEqualizer();
    ApplyEqualizer();
    StreamSetSetPosition(slot, position);
    // The attributes the player set, not the ones read: a fade-in may be
    // half-way, and the new set must not stay at that volume.
    const bool mute = Config && Config->Mute;
    StreamSetSetAttributes(slot, state.ChannelFrequency, mute ? 0 : state.ChannelVolume, state.ChannelBalance);
    if (SysPlayed)
        StreamSetPlay(slot, false, 0);
    SetEndSyncs();
}

void TKSystem::SetEndSyncs()
{
    if (SysActive && state_->SystemType == TSystemType::BassFile)
        players_->File.SetEndSyncs();
}

void TKSystem::ApplySpeakers()
{
    if (SysActive && state_->SystemType == TSystemType::BassFile)
        players_->File.ReopenForSpeakers();
}

int64_t TKFilePlayer::JumpStep(int32_t milliseconds)
{
    return Slots().Index < 0 ? 0 : StreamSetSecondsToBytes(Slots().Current(), milliseconds / 1000.0);
}

std::u16string TKFilePlayer::PositionText(int64_t bytes)
{
    if (Slots().Index < 0)
        return {};
    return SecondsText(StreamSetBytesToMilliseconds(Slots().Current(), bytes) / 1000);
}

void TKFilePlayer::Update()
{
    const TStreamSet& slot = Slots().Current();
    const DWORD active = StreamSetIsActive(slot);
    if (SysPlayed && active == bass::kActiveStopped) {
        System().EndOfTrack();
        return;
    }
    if (active == bass::kActivePlaying)
        ShowProgress(slot, true);
}

void TKFilePlayer::RefreshTime() { ShowProgress(Slots().Current(), false); }

} // namespace kolvarin
