#include "audio/cd_source.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <mutex>

#include "audio/bass.h"
#include "audio/cd_drives.h"
#include "audio/read_ahead_source.h"

namespace kolvarin::audio {
namespace {

constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4; // 588

// Guards the drives' override; taken alone.
std::mutex drivesMutex;
std::vector<std::string> drivesOverride;

driver_id_t driverFor(const std::string& path)
{
    const std::string ext = path.size() > 4 ? path.substr(path.size() - 4) : "";
    if (ext == ".cue" || ext == ".CUE")
        return DRIVER_BINCUE;
    if (ext == ".toc" || ext == ".TOC")
        return DRIVER_CDRDAO;
    if (ext == ".nrg" || ext == ".NRG")
        return DRIVER_NRG;
    return DRIVER_DEVICE;
}

} // namespace

std::vector<std::string> cdDrives()
{
    {
        std::lock_guard lock(drivesMutex);
        if (!drivesOverride.empty())
            return drivesOverride;
    }
    std::vector<std::string> drives;
    if (char** list = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** p = list; *p; ++p)
            drives.emplace_back(*p);
        cdio_free_device_list(list);
    }
    return drives;
}

void setCdDrives(std::vector<std::string> drives)
{
    std::lock_guard lock(drivesMutex);
    drivesOverride = std::move(drives);
}

std::unique_ptr<CdDisc> CdDisc::open(const std::string& drive)
{
    // A library does not write to the program's stderr.
    static const bool quiet = (cdio_log_set_handler([](cdio_log_level_t, const char*) {}), true);
    (void)quiet;
    CdIo_t* cdio = cdio_open(drive.c_str(), driverFor(drive));
    if (!cdio)
        return nullptr;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        cdio_destroy(cdio);
        return nullptr;
    }
    std::unique_ptr<CdDisc> disc(new CdDisc());
    disc->cdio_ = cdio;
    disc->first_ = first;
    disc->count_ = count;
    return disc;
}

CdDisc::~CdDisc()
{
    if (cdio_)
        cdio_destroy(static_cast<CdIo_t*>(cdio_));
}

int CdDisc::tracks() const { return count_; }

std::int64_t CdDisc::trackBytes(int track) const
{
    if (track < 0 || track >= count_)
        return -1;
    auto* cdio = static_cast<CdIo_t*>(cdio_);
    const track_t t = static_cast<track_t>(first_ + track);
    if (cdio_get_track_format(cdio, t) != TRACK_FORMAT_AUDIO)
        return -1;
    const unsigned int sectors = cdio_get_track_sec_count(cdio, t);
    return sectors == 0 ? -1 : static_cast<std::int64_t>(sectors) * CDIO_CD_FRAMESIZE_RAW;
}

class CdTrackSource final : public PcmSource {
public:
    CdTrackSource(std::unique_ptr<CdDisc> disc, cdrom_drive_t* drive, cdrom_paranoia_t* paranoia, lsn_t first,
                  std::int64_t sectors)
        : disc_(std::move(disc)), drive_(drive), paranoia_(paranoia), first_(first), sectors_(sectors)
    {
        cdio_paranoia_seek(paranoia_, first_, SEEK_SET);
    }
    ~CdTrackSource() override
    {
        cdio_paranoia_free(paranoia_);
        cdio_cddap_close_no_free_cdio(drive_);
    }
    PcmFormat format() const override { return {44100, 2, bass::kCtypeCd, 16}; }
    std::int64_t length() const override { return sectors_ * kFramesPerSector; }

    std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) override
    {
        std::int64_t done = 0;
        while (done < frames && sector_ < sectors_) {
            if (!loaded_) {
                const int16_t* data = cdio_paranoia_read(paranoia_, nullptr);
                if (!data)
                    break;
                std::copy_n(data, kFramesPerSector * 2, samples_);
                loaded_ = true;
            }
            const std::int64_t n = std::min<std::int64_t>(frames - done, kFramesPerSector - offset_);
            for (std::int64_t i = 0; i < n * 2; ++i)
                out[done * 2 + i] = samples_[offset_ * 2 + i] / 32768.0f;
            done += n;
            offset_ += static_cast<int>(n);
            if (offset_ == kFramesPerSector) {
                offset_ = 0;
                loaded_ = false;
                ++sector_;
            }
        }
        status = done < frames ? ReadStatus::Ended : ReadStatus::Ok;
        return done;
    }

    bool seek(std::int64_t frame) override
    {
        if (frame < 0 || frame > length())
            return false;
        sector_ = frame / kFramesPerSector;
        offset_ = static_cast<int>(frame % kFramesPerSector);
        loaded_ = false;
        cdio_paranoia_seek(paranoia_, static_cast<int32_t>(first_ + sector_), SEEK_SET);
        return true;
    }
    std::int64_t filePosition(DWORD mode) const override
    {
        switch (mode) {
        case bass::kFilePosCurrent: return sector_ * CDIO_CD_FRAMESIZE_RAW;
        case bass::kFilePosDownload:
        case bass::kFilePosEnd: return sectors_ * CDIO_CD_FRAMESIZE_RAW;
        default: return -1;
        }
    }

private:
    std::unique_ptr<CdDisc> disc_;
    cdrom_drive_t* drive_;
    cdrom_paranoia_t* paranoia_;
    lsn_t first_;
    std::int64_t sectors_;
    std::int64_t sector_ = 0;
    int offset_ = 0;
    bool loaded_ = false;
    int16_t samples_[kFramesPerSector * 2] = {};
};

std::unique_ptr<PcmSource> CdDisc::openTrack(std::unique_ptr<CdDisc> disc, int track, int& error)
{
    const std::int64_t bytes = disc->trackBytes(track);
    if (bytes < 0) {
        error = bass::kErrorCdDrive;
        return nullptr;
    }
    auto* cdio = static_cast<CdIo_t*>(disc->cdio_);
    const lsn_t first = cdio_get_track_lsn(cdio, static_cast<track_t>(disc->first_ + track));
    cdrom_drive_t* drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!drive || cdio_cddap_open(drive) != 0) {
        if (drive)
            cdio_cddap_close_no_free_cdio(drive);
        error = bass::kErrorCdDrive;
        return nullptr;
    }
    cdrom_paranoia_t* paranoia = cdio_paranoia_init(drive);
    if (!paranoia) {
        cdio_cddap_close_no_free_cdio(drive);
        error = bass::kErrorCdDrive;
        return nullptr;
    }
    cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    // A drive may take seconds to spin up: the mixer never waits for it.
    return makeReadAheadSource(
        std::make_unique<CdTrackSource>(std::move(disc), drive, paranoia, first, bytes / CDIO_CD_FRAMESIZE_RAW), true);
}

} // namespace kolvarin::audio
