extern "C" {
#include <libavformat/avformat.h>
}

#include <thread>

#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kfiles.h"
#include "core/system/ksysinfo.h"
#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"
#include "playback/ktagcaption.h"

namespace kolvarin {

namespace {

constexpr int kBufferLengths[] = {5, 100, 250, 1000, 5000};
constexpr int kUpdatePeriods[] = {5, 25, 50, 75, 100};

bool IsPlaylistFile(const std::u16string& ext) { return ext == u".kpl" || ext == u".pls" || ext == u".m3u"; }

void LoadAnyPlaylistFile(const std::u16string& fileName, const std::u16string& ext, bool play)
{
    const std::string name = Utf16ToUtf8(fileName);
    if (ext == u".kpl")
        LoadPlaylistFile(name, play, false);
    else if (ext == u".pls")
        LoadPlsFile(name, play, false);
    else
        LoadM3uFile(name, play, false);
}

// The medium's duration as FFmpeg's demuxer reports it; -1 when unknown.
int64_t ProbeMilliseconds(const std::string& fileName)
{
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, fileName.c_str(), nullptr, nullptr) != 0)
        return -1;
    int64_t result = -1;
    if (avformat_find_stream_info(context, nullptr) >= 0 && context->nb_streams > 0 &&
        context->duration != AV_NOPTS_VALUE && context->duration >= 0)
        result = context->duration / 1000;
    avformat_close_input(&context);
    return result;
}

} // namespace

std::string GetMediaLengthText(const std::u16string& fileName)
{
    static const std::u16string_view bassExtensions[] = {u".mp1", u".mp2", u".mp3", u".ogg", u".wav", u".mpc",
                                                         u".ape", u".aac", u".mp4", u".wv",  u".ac3", u".flac"};
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    for (auto e : bassExtensions) {
        if (e != ext)
            continue;
        TStreamSet set{};
        if (StreamSetCreateFile(DecoderOfFileName(fileName), fileName, set, 1, 0)) {
            const std::string text = TimeTextOfMilliseconds(StreamSetBytesToMilliseconds(set, StreamSetGetLength(set)));
            StreamSetFree(set);
            return text;
        }
        break;
    }
    const int64_t ms = ProbeMilliseconds(Utf16ToUtf8(fileName));
    return ms < 0 ? "00:00:00" : TimeTextOfMilliseconds(ms);
}

bool TKSystem::AddFileToPlaylist(const std::u16string& fileName)
{
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    if (Config && Config->OFAReadPlaylistFiles && IsPlaylistFile(ext)) {
        LoadAnyPlaylistFile(fileName, ext, false);
        return true;
    }
    const TSystemType type = GetSystemTypFromFileName(fileName);
    if (type == TSystemType::None)
        return false;
    const bool readTags = Config && Config->OFAReadID3Tag;
    const bool ape = ext == u".mpc" || ext == u".ape";
    std::string track = "00";
    if (ext == u".cda")
        track = Utf16ToUtf8(CopyWideChars(fileName.substr(fileName.find_last_of(u"/\\") + 1), 6, 7));
    else if (readTags && ext == u".mp3")
        track = GetID3TagTrack(fileName);
    else if (readTags && ape)
        track = GetAPETagTrack(fileName);
    std::u16string caption = GetCaptionFromFileName(fileName);
    if (type == TSystemType::BassFile && readTags && (ext == u".mp3" || ape)) {
        const std::u16string tagCaption = ext == u".mp3" ? GetID3TagCaption(fileName) : GetAPETagCaption(fileName);
        if (!tagCaption.empty())
            caption = tagCaption;
    }
    const std::string time = Config && Config->OFAReadTime ? GetMediaLengthText(fileName) : "00:00:00";
    PlaylistAdd(caption, fileName, time, false, track);
    return true;
}

void TKSystem::AddFilesToPlaylist(const std::vector<std::u16string>& names, bool play)
{
    for (const auto& name : names) {
        const std::u16string ext = WideLowerCase(ExtractFileExtW(name));
        if (KFileExists(name)) {
            if (IsPlaylistFile(ext))
                LoadAnyPlaylistFile(name, ext, play);
            else
                AddFileToPlaylist(name);
        } else if (KDirectoryExists(name)) {
            std::vector<std::u16string> files;
            ScanDirectoryW(IncludeTrailingBackslashW(name), u"*.*", true, files);
            for (const auto& file : files)
                AddFileToPlaylist(file);
        }
    }
}

void TKSystem::ReadPlaylistItemTag(int index)
{
    TKPlaylistEntry* entry = PlaylistGetItem(index);
    if (!entry)
        return;
    const std::u16string ext = WideLowerCase(ExtractFileExtW(entry->FileName));
    const bool ape = ext == u".mpc";
    const std::u16string caption = ape ? GetAPETagCaption(entry->FileName) : GetID3TagCaption(entry->FileName);
    if (caption.empty())
        return;
    entry->Caption = caption;
    entry->Track = (ape ? GetAPETagTrack(entry->FileName) : GetID3TagTrack(entry->FileName)).substr(0, 2);
}

int GetBassBufferLength(int priority) { return kBufferLengths[priority >= 0 && priority <= 4 ? priority : 0]; }
int GetBassUpdatePeriod(int priority) { return kUpdatePeriods[priority >= 0 && priority <= 4 ? priority : 0]; }

void TKSystem::SetBassBuffer()
{
    const int priority = Config ? Config->AudioPlaybackPriority.Priority : 0;
    BASS_SetConfig(bass::kConfigBuffer, static_cast<DWORD>(GetBassBufferLength(priority)));
    BASS_SetConfig(bass::kConfigUpdatePeriod, static_cast<DWORD>(GetBassUpdatePeriod(priority)));
    const int cores = GetCPUCores();
    const bool multi = Config && Config->AudioPlaybackPriority.UseMulticore && cores > 0;
    BASS_SetConfig(bass::kConfigUpdateThreads, static_cast<DWORD>(multi ? cores : 1));
}

} // namespace kolvarin
