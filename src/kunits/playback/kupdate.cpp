#include <algorithm>

#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "playback/ksystem.h"

namespace kolvarin {

void TKSystem::ShowTimeOf(int64_t milliseconds)
{
    const int mode = Config ? Config->TimeMode : 0;
    if (mode != 0 && mode != 1)
        return;
    const int seconds = static_cast<int>(milliseconds / 1000 % 60);
    const int minutes = static_cast<int>(milliseconds / 60000 % 60);
    const int hours = static_cast<int>(milliseconds / 3600000 % 24);
    view_->ShowTime(hours, minutes, seconds, mode == 1);
}

void TKSystem::PlayTimerTimer()
{
    if (!AppInitialized || AppKilled)
        return;
    Update();
}

void TKSystem::Update()
{
    if (AppKilled || !SysActive)
        return;
    const bool remaining = Config && Config->TimeMode == 1;
    switch (SystemType) {
    case TSystemType::BassFile: {
        const DWORD active = StreamSetIsActive(CurrentSlot());
        if (SysPlayed && active == bass::kActiveStopped) {
            EndOfTrack();
            return;
        }
        if (active != bass::kActivePlaying)
            return;
        const int64_t position = StreamSetGetPosition(CurrentSlot());
        if (!view_->SeekBarDragging())
            view_->SetProgressPosition(true, position);
        ShowTimeOf(StreamSetBytesToMilliseconds(CurrentSlot(), remaining ? ChannelLength - position : position));
        break;
    }
    case TSystemType::BassStream: UpdateStream(); break;
    case TSystemType::CDTrack: {
        const DWORD drive = CDDriveIndex;
        if (!BASS_CD_IsReady(drive)) {
            Stop(true);
            return;
        }
        if (BASS_ChannelIsActive(CDChannel) != bass::kActivePlaying)
            return;
        const int64_t position = ChannelGetPosition(CDChannel);
        if (!view_->SeekBarDragging())
            view_->SetProgressPosition(true, position);
        ShowTimeOf(BassBytesToMilliseconds(CDChannel, remaining ? ChannelLength - position : position));
        break;
    }
    default: break; // the video side polls its own graph
    }
}

void TKSystem::RefreshTimeDisplay()
{
    if (!SysActive)
        return;
    const bool remaining = Config && Config->TimeMode == 1;
    if (SystemType == TSystemType::BassFile) {
        const int64_t position = StreamSetGetPosition(CurrentSlot());
        ShowTimeOf(StreamSetBytesToMilliseconds(CurrentSlot(), remaining ? ChannelLength - position : position));
    } else if (SystemType == TSystemType::CDTrack) {
        const int64_t position = ChannelGetPosition(CDChannel);
        ShowTimeOf(BassBytesToMilliseconds(CDChannel, remaining ? ChannelLength - position : position));
    }
}

bool TKSystem::GetSpectrumData(std::span<float> values)
{
    std::fill(values.begin(), values.end(), 0.0f);
    if (!(SysPlayed || SysPaused) || values.size() < 512)
        return false;
    if (SystemType != TSystemType::BassFile && SystemType != TSystemType::BassStream &&
        SystemType != TSystemType::CDTrack)
        return false;
    const HSTREAM lead = PlayingSet()[0];
    return lead != 0 && BASS_ChannelGetData(lead, values.data(), BASS_DATA_FFT1024) != DWORD(-1);
}

} // namespace kolvarin
