#include "audio/cd_drives.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

// CD streams are 44.1 kHz 16-bit stereo.
constexpr int64_t kCDBytesPerSecond = 176400;

} // namespace

int CDTrackOfEntry(const std::string& track)
{
    if (track.empty() || track == "-1" || track == "00")
        return -1;
    int value = 0;
    for (char c : track) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value >= 1 ? value - 1 : -1;
}

DWORD CDDriveOfFileName(const std::u16string& fileName, const std::vector<std::string>& drives)
{
    // A drive is named by its device ("/dev/sr0"); the entry's name starts
    // with the device or with the drive's mount folder.
    const std::string name = Utf16ToUtf8(fileName);
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string& drive = drives[i];
        if (!drive.empty() && name.compare(0, drive.size(), drive) == 0 &&
            (name.size() == drive.size() || name[drive.size()] == '/'))
            return static_cast<DWORD>(i);
    }
    return 0;
}

void TKSystem::PlayCD(const std::u16string& fileName)
{
    const char* proc = "TKSystem.Play";
    BeginStart(false);
    const int track = CDTrackOfEntry(CurrentEntry.Track);
    if (track < 0) {
        RestoreScrollLabel();
        ShowMediaProblem(TKErrorCode::FileNotFound, fileName, -1);
        return;
    }
    CDDriveIndex = CDDriveOfFileName(fileName, audio::cdDrives());
    Log(proc, "Create cd stream " + std::to_string(CDDriveIndex) + "/" + std::to_string(track) + "...");
    CDChannel = BASS_CD_StreamCreate(CDDriveIndex, static_cast<DWORD>(track), 0x10200);
    SetStreamInfo(CDChannel);
    bool ok = CDChannel != 0 && BASS_CD_IsReady(CDDriveIndex);
    if (ok) {
        SetupEqualizerCD();
        ApplyEqualizer();
        ok = BASS_ChannelPlay(CDChannel, false);
    }
    if (!ok) {
        BASS_StreamFree(CDChannel);
        CDChannel = 0;
        RestoreScrollLabel();
        ShowMediaProblem(TKErrorCode::CDTrackNotPlayed, fileName, -1);
        return;
    }
    view_->HideVideoWindow();
    view_->SetAudioMenu(true, false);
    ChannelLength = ChannelGetLength(CDChannel);
    RemoveSyncs(CDChannel);
    EndSyncHandle = BASS_ChannelSetSync(CDChannel, bass::kSyncEnd | bass::kSyncOneTime, 0, &SyncEndProc, this);
    ApplyStartAttributes(TStreamSet{CDChannel, 0, 0, 0});
    FadeIn(false);
    EnterPlaying(fileName);
    if (Config && Config->OFPReadTime && CurrentItem) {
        CurrentItem->Time = TimeTextOfMilliseconds(ChannelLength * 1000 / kCDBytesPerSecond);
        CurrentEntry = *CurrentItem;
    }
    FinishStart(true);
}

} // namespace kolvarin
