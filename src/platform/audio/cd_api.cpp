// Music CDs.

#include "audio/bass.h"
#include "audio/cd_drives.h"
#include "audio/cd_source.h"
#include "audio/engine.h"

namespace kolvarin::audio {
namespace {

using audio::CdDisc;
using audio::fail;
using audio::succeed;

constexpr DWORD kFailed = static_cast<DWORD>(-1);

std::unique_ptr<CdDisc> openDrive(DWORD drive)
{
    const std::vector<std::string> drives = audio::cdDrives();
    if (drive >= drives.size())
        return fail(bass::kErrorDevice, nullptr);
    std::unique_ptr<CdDisc> disc = CdDisc::open(drives[drive]);
    if (!disc)
        audio::setError(bass::kErrorCdDrive);
    return disc;
}

} // namespace

DWORD BASS_CD_GetTracks(DWORD drive)
{
    const auto disc = openDrive(drive);
    return disc ? succeed(static_cast<DWORD>(disc->tracks())) : kFailed;
}

DWORD BASS_CD_GetTrackLength(DWORD drive, DWORD track)
{
    const auto disc = openDrive(drive);
    if (!disc)
        return kFailed;
    const std::int64_t bytes = disc->trackBytes(track > 99 ? -1 : static_cast<int>(track));
    if (bytes < 0 || bytes > 0xFFFFFFFEll)
        return fail(bass::kErrorCdDrive, kFailed);
    return succeed(static_cast<DWORD>(bytes));
}

bool BASS_CD_IsReady(DWORD drive) { return openDrive(drive) ? succeed(true) : false; }

HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags)
{
    audio::Engine& engine = audio::Engine::get();
    {
        std::lock_guard lock(engine.mutex);
        if (!engine.initialised)
            return fail(bass::kErrorInit, 0u);
    }
    auto disc = openDrive(drive);
    if (!disc)
        return 0;
    int error = bass::kOk;
    const std::vector<std::string> drives = audio::cdDrives();
    auto source = CdDisc::openTrack(std::move(disc), track > 99 ? -1 : static_cast<int>(track), error);
    if (!source)
        return fail(error, 0u);
    auto channel = std::make_shared<audio::Channel>(std::move(source), flags, drives[drive]);
    std::lock_guard lock(engine.mutex);
    return engine.add(std::move(channel));
}

} // namespace kolvarin::audio
