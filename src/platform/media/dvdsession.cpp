#include "media/dvdsession.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <utility>

extern "C" {
#include <dvdnav/dvdnav.h>
}

namespace kolvarin::media {
namespace {

void Quiet(void*, dvdnav_logger_level_t, const char*, va_list) {}
const dvdnav_logger_cb kQuietLogger{Quiet};

// Steps without a block, still or wait in a row after which the machine is
// taken to loop on a broken program chain.
constexpr int kMaxQuietSteps = 4096;

DVD_DOMAIN DomainOf(int navDomain)
{
    switch (navDomain) {
    case DVD_DOMAIN_FirstPlay: return media::DVD_DOMAIN_FirstPlay;
    case DVD_DOMAIN_VTSTitle: return media::DVD_DOMAIN_Title;
    case DVD_DOMAIN_VMGM: return media::DVD_DOMAIN_VideoManagerMenu;
    case DVD_DOMAIN_VTSMenu: return media::DVD_DOMAIN_VideoTitleSetMenu;
    default: return media::DVD_DOMAIN_Stop;
    }
}

// The time code as the platform's packed decimal record, laid out from the
// lowest bits: units and tens of hours, minutes, seconds and frames (the
// frame tens in two bits), then the frame-rate code (1: 25, 3: 30).
uint32_t BcdTimeCode(const DVD_HMSF_TIMECODE& t, bool pal)
{
    return uint32_t(t.bHours % 10) | uint32_t(t.bHours / 10 % 10) << 4 | uint32_t(t.bMinutes % 10) << 8 |
           uint32_t(t.bMinutes / 10) << 12 | uint32_t(t.bSeconds % 10) << 16 | uint32_t(t.bSeconds / 10) << 20 |
           uint32_t(t.bFrames % 10) << 24 | uint32_t(t.bFrames / 10 & 3) << 28 | (pal ? 1u : 3u) << 30;
}

// Events that announce a state and come before the navigator reads on.
bool IsAnnouncement(int event)
{
    return event == DVDNAV_HIGHLIGHT || event == DVDNAV_SPU_CLUT_CHANGE || event == DVDNAV_SPU_STREAM_CHANGE ||
           event == DVDNAV_AUDIO_STREAM_CHANGE;
}

} // namespace

DvdSession::~DvdSession() { Close(); }

bool DvdSession::Open(const std::string& root)
{
    Close();
    MutexLock lock(lock_);
    dvdnav_t* nav = nullptr;
    if (root.empty() || dvdnav_open2(&nav, nullptr, &kQuietLogger, root.c_str()) != DVDNAV_STATUS_OK)
        return false;
    dvdnav_set_readahead_flag(nav, 1);
    dvdnav_set_PGC_positioning_flag(nav, 1);
    nav_ = nav;
    domain_ = DVD_DOMAIN_Stop;
    titleSet_ = title_ = chapter_ = 0;
    titleLength_ = time_ = 0;
    reportedSecond_ = UINT32_MAX;
    audio_ = subpicture_ = 0;
    subpicturesShown_ = false;
    lastButtons_ = lastButton_ = 0;
    quietSteps_ = 0;
    still_ = skipStill_ = userJump_ = false;
    return true;
}

void DvdSession::Close()
{
    MutexLock lock(lock_);
    if (nav_)
        dvdnav_close(nav_);
    nav_ = nullptr;
    domain_ = DVD_DOMAIN_Stop;
}

bool DvdSession::IsOpen() const
{
    MutexLock lock(lock_);
    return nav_ != nullptr;
}

DvdSession::Step DvdSession::Next(uint8_t* buffer, Reading* reading)
{
    MutexLock lock(lock_);
    if (!nav_)
        return Step::Error;
    // libdvdnav keeps a still skip until it next reaches the end of a cell;
    // a jump before then would take it along and skip the still of the place
    // jumped to. So the skip and the reads that spend it share one lock.
    const bool skipping = std::exchange(skipStill_, false);
    if (skipping)
        dvdnav_still_skip(nav_);
    int32_t event = 0, length = 0;
    do {
        if (dvdnav_get_next_block(nav_, buffer, &event, &length) != DVDNAV_STATUS_OK) {
            reading->events.push_back({EC_DVD_WARNING, DVD_WARNING_Read, 0});
            return Step::Error;
        }
        Track(event, buffer, reading);
    } while (skipping && IsAnnouncement(event));
    switch (event) {
    case DVDNAV_BLOCK_OK:
        quietSteps_ = 0;
        reading->data = buffer;
        return Step::Block;
    case DVDNAV_NAV_PACKET: {
        quietSteps_ = 0;
        const pci_t* pci = dvdnav_get_current_nav_pci(nav_);
        reading->vobuStart = pci->pci_gi.vobu_s_ptm;
        reading->vobuEnd = pci->pci_gi.vobu_e_ptm;
        return Step::VobuStart;
    }
    case DVDNAV_STILL_FRAME:
        quietSteps_ = 0;
        still_ = true;
        reading->stillSeconds = reinterpret_cast<const dvdnav_still_event_t*>(buffer)->length;
        return Step::Still;
    case DVDNAV_WAIT: quietSteps_ = 0; return Step::Wait;
    case DVDNAV_HOP_CHANNEL: return Step::Jump;
    case DVDNAV_STOP: return Step::Stop;
    default:
        if (++quietSteps_ > kMaxQuietSteps) {
            reading->events.push_back({EC_DVD_ERROR, DVD_ERROR_Unexpected, 0});
            return Step::Error;
        }
        return Step::Nothing;
    }
}

void DvdSession::Track(int event, const uint8_t* buffer, Reading* reading)
{
    switch (event) {
    case DVDNAV_VTS_CHANGE: {
        const auto* e = reinterpret_cast<const dvdnav_vts_change_event_t*>(buffer);
        domain_ = DomainOf(e->new_domain);
        if (e->new_vtsN > 0)
            titleSet_ = static_cast<uint32_t>(e->new_vtsN);
        reading->events.push_back({EC_DVD_DOMAIN_CHANGE, domain_, 0});
        break;
    }
    case DVDNAV_CELL_CHANGE: TrackLocation(reading); break;
    case DVDNAV_NAV_PACKET:
        TrackButtons(reading);
        TrackTime(reading);
        break;
    case DVDNAV_HIGHLIGHT: TrackButtons(reading); break;
    case DVDNAV_SPU_CLUT_CHANGE: {
        std::array<uint32_t, 16> palette;
        std::memcpy(palette.data(), buffer, sizeof palette);
        reading->palette = palette;
        break;
    }
    case DVDNAV_STILL_FRAME: {
        const int seconds = reinterpret_cast<const dvdnav_still_event_t*>(buffer)->length;
        reading->events.push_back({EC_DVD_STILL_ON, lastButtons_ == 0 ? 1 : 0, seconds == 255 ? -1 : seconds});
        break;
    }
    case DVDNAV_STOP:
        domain_ = DVD_DOMAIN_Stop;
        reading->events.push_back({EC_DVD_DOMAIN_CHANGE, domain_, 0});
        reading->events.push_back({EC_DVD_PLAYBACK_STOPPED, 0, 0});
        break;
    default: break;
    }
}

void DvdSession::TrackButtons(Reading* reading)
{
    const pci_t* pci = dvdnav_get_current_nav_pci(nav_);
    const uint32_t available = (pci->hli.hl_gi.hli_ss & 3) ? pci->hli.hl_gi.btn_ns & 0x3F : 0;
    int32_t button = 0;
    uint32_t current = 0;
    if (available && dvdnav_get_current_highlight(nav_, &button) == DVDNAV_STATUS_OK && button > 0)
        current = static_cast<uint32_t>(button);
    if (available == lastButtons_ && current == lastButton_)
        return;
    lastButtons_ = available;
    lastButton_ = current;
    reading->events.push_back({EC_DVD_BUTTON_CHANGE, available, current});
}

void DvdSession::TrackLocation(Reading* reading)
{
    int32_t title = 0, part = 0;
    if (domain_ != DVD_DOMAIN_Title || dvdnav_current_title_info(nav_, &title, &part) != DVDNAV_STATUS_OK || title <= 0)
        return;
    const bool newTitle = static_cast<uint32_t>(title) != title_;
    if (newTitle) {
        title_ = static_cast<uint32_t>(title);
        uint64_t* times = nullptr;
        titleLength_ = 0;
        dvdnav_describe_title_chapters(nav_, title, &times, &titleLength_);
        std::free(times);
        reportedSecond_ = UINT32_MAX;
        reading->events.push_back({EC_DVD_TITLE_CHANGE, title, 0});
    }
    if (newTitle || static_cast<uint32_t>(part) != chapter_) {
        chapter_ = static_cast<uint32_t>(part);
        reading->events.push_back({EC_DVD_CHAPTER_START, part, 0});
    }
}

void DvdSession::TrackTime(Reading* reading)
{
    time_ = static_cast<uint64_t>(dvdnav_get_current_time(nav_));
    if (domain_ != DVD_DOMAIN_Title)
        return;
    const uint32_t second = static_cast<uint32_t>(time_ / 90000);
    if (second == reportedSecond_)
        return;
    reportedSecond_ = second;
    const DVD_PLAYBACK_LOCATION2 where = LocationLocked();
    const uint32_t bcd = BcdTimeCode(where.TimeCode, where.TimeCodeFlags == DVD_TC_FLAG_25fps);
    if (hmsfEvents_)
        reading->events.push_back({EC_DVD_CURRENT_HMSF_TIME, PackTimeCode(where.TimeCode), bcd});
    else
        reading->events.push_back({EC_DVD_CURRENT_TIME, bcd, 0});
}

void DvdSession::SkipStill()
{
    MutexLock lock(lock_);
    // A command that moved playback has left the still already.
    skipStill_ = std::exchange(still_, false);
}

void DvdSession::SkipWait()
{
    MutexLock lock(lock_);
    if (nav_)
        dvdnav_wait_skip(nav_);
}

bool DvdSession::TakeUserJump()
{
    MutexLock lock(lock_);
    return std::exchange(userJump_, false);
}

bool DvdSession::UserJumpPending() const
{
    MutexLock lock(lock_);
    return userJump_;
}

HRESULT DvdSession::Command(bool ok)
{
    if (!ok)
        return domain_ == DVD_DOMAIN_Stop ? VFW_E_DVD_INVALIDDOMAIN : VFW_E_DVD_OPERATION_INHIBITED;
    Jumped();
    return S_OK;
}

void DvdSession::Jumped()
{
    // Some jumps leave the old place's still standing, to be reported again
    // at the new place; the still skip would outlive the jump and skip the
    // new place's still. Activating no button ends the still and runs nothing.
    dvdnav_button_activate_cmd(nav_, 0, nullptr);
    still_ = skipStill_ = false;
    userJump_ = true;
}

HRESULT DvdSession::PlayTitle(uint32_t title)
{
    MutexLock lock(lock_);
    return nav_ ? Command(dvdnav_title_play(nav_, static_cast<int32_t>(title)) == DVDNAV_STATUS_OK)
                : VFW_E_DVD_INVALIDDOMAIN;
}

HRESULT DvdSession::PlayChapterInTitle(uint32_t title, uint32_t chapter)
{
    MutexLock lock(lock_);
    return nav_ ? Command(dvdnav_part_play(nav_, static_cast<int32_t>(title), static_cast<int32_t>(chapter)) ==
                          DVDNAV_STATUS_OK)
                : VFW_E_DVD_INVALIDDOMAIN;
}

HRESULT DvdSession::PlayAtTime(const DVD_HMSF_TIMECODE& time)
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ != DVD_DOMAIN_Title)
        return VFW_E_DVD_INVALIDDOMAIN;
    const uint64_t ticks = ((time.bHours * 60ull + time.bMinutes) * 60 + time.bSeconds) * 90000;
    if (titleLength_ && ticks >= titleLength_)
        return E_INVALIDARG;
    return Command(dvdnav_time_search(nav_, ticks) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::PlayPrevChapter()
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ != DVD_DOMAIN_Title)
        return VFW_E_DVD_INVALIDDOMAIN;
    return Command(dvdnav_prev_pg_search(nav_) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::PlayNextChapter()
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ != DVD_DOMAIN_Title)
        return VFW_E_DVD_INVALIDDOMAIN;
    return Command(dvdnav_next_pg_search(nav_) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::ShowMenu(DVD_MENU_ID menu)
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ == DVD_DOMAIN_Stop)
        return VFW_E_DVD_INVALIDDOMAIN;
    if (menu < DVD_MENU_Title || menu > DVD_MENU_Chapter)
        return E_INVALIDARG;
    return Command(dvdnav_menu_call(nav_, static_cast<DVDMenuID_t>(menu)) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::Resume()
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ == DVD_DOMAIN_Title || domain_ == DVD_DOMAIN_Stop)
        return VFW_E_DVD_INVALIDDOMAIN;
    return Command(dvdnav_menu_call(nav_, DVD_MENU_Escape) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::ReturnFromSubmenu()
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ == DVD_DOMAIN_Title || domain_ == DVD_DOMAIN_Stop)
        return VFW_E_DVD_INVALIDDOMAIN;
    return Command(dvdnav_go_up(nav_) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::SelectRelativeButton(DVD_RELATIVE_BUTTON direction)
{
    MutexLock lock(lock_);
    if (!nav_ || lastButtons_ == 0)
        return VFW_E_DVD_NO_BUTTON;
    pci_t* pci = dvdnav_get_current_nav_pci(nav_);
    dvdnav_status_t r = DVDNAV_STATUS_ERR;
    switch (direction) {
    case DVD_Relative_Upper: r = dvdnav_upper_button_select(nav_, pci); break;
    case DVD_Relative_Lower: r = dvdnav_lower_button_select(nav_, pci); break;
    case DVD_Relative_Left: r = dvdnav_left_button_select(nav_, pci); break;
    case DVD_Relative_Right: r = dvdnav_right_button_select(nav_, pci); break;
    default: return E_INVALIDARG;
    }
    return Selected(r == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::SelectButton(uint32_t button)
{
    MutexLock lock(lock_);
    if (!nav_ || button == 0 || button > lastButtons_)
        return VFW_E_DVD_NO_BUTTON;
    return Selected(dvdnav_button_select(nav_, dvdnav_get_current_nav_pci(nav_), static_cast<int32_t>(button)) ==
                    DVDNAV_STATUS_OK);
}

HRESULT DvdSession::Selected(bool ok)
{
    if (!ok)
        return VFW_E_DVD_NO_BUTTON;
    int32_t button = 0;
    if (dvdnav_get_current_highlight(nav_, &button) == DVDNAV_STATUS_OK && button > 0)
        lastButton_ = static_cast<uint32_t>(button);
    return S_OK;
}

HRESULT DvdSession::ActivateButton()
{
    MutexLock lock(lock_);
    if (!nav_ || lastButtons_ == 0)
        return VFW_E_DVD_NO_BUTTON;
    if (dvdnav_button_activate(nav_, dvdnav_get_current_nav_pci(nav_)) != DVDNAV_STATUS_OK)
        return VFW_E_DVD_NO_BUTTON;
    Jumped();
    return S_OK;
}

HRESULT DvdSession::SelectAtPosition(POINT point)
{
    MutexLock lock(lock_);
    if (!nav_ || lastButtons_ == 0)
        return VFW_E_DVD_NO_BUTTON;
    return Selected(dvdnav_mouse_select(nav_, dvdnav_get_current_nav_pci(nav_), point.x, point.y) == DVDNAV_STATUS_OK);
}

HRESULT DvdSession::ActivateAtPosition(POINT point)
{
    MutexLock lock(lock_);
    if (!nav_ || lastButtons_ == 0)
        return VFW_E_DVD_NO_BUTTON;
    if (dvdnav_mouse_activate(nav_, dvdnav_get_current_nav_pci(nav_), point.x, point.y) != DVDNAV_STATUS_OK)
        return VFW_E_DVD_NO_BUTTON;
    Jumped();
    return S_OK;
}

HRESULT DvdSession::SelectAngle(uint32_t angle)
{
    MutexLock lock(lock_);
    if (!nav_ || domain_ != DVD_DOMAIN_Title)
        return VFW_E_DVD_INVALIDDOMAIN;
    return dvdnav_angle_change(nav_, static_cast<int32_t>(angle)) == DVDNAV_STATUS_OK ? S_OK : E_INVALIDARG;
}

void DvdSession::SetTimeCodeEvents(bool hmsf)
{
    MutexLock lock(lock_);
    hmsfEvents_ = hmsf;
}

void DvdSession::SelectAudio(uint32_t stream)
{
    MutexLock lock(lock_);
    audio_ = stream;
}

void DvdSession::SelectSubpicture(uint32_t stream)
{
    MutexLock lock(lock_);
    subpicture_ = stream;
}

void DvdSession::ShowSubpictures(bool show)
{
    MutexLock lock(lock_);
    subpicturesShown_ = show;
}

uint32_t DvdSession::SelectedAudio() const
{
    MutexLock lock(lock_);
    return audio_;
}

uint32_t DvdSession::SelectedSubpicture() const
{
    MutexLock lock(lock_);
    return subpicture_;
}

bool DvdSession::SubpicturesShown() const
{
    MutexLock lock(lock_);
    return subpicturesShown_;
}

int DvdSession::AudioToPlay() const
{
    MutexLock lock(lock_);
    if (!nav_)
        return -1;
    if (domain_ != DVD_DOMAIN_Title)
        return 0; // menus have at most one audio stream
    const int physical = dvdnav_get_audio_logical_stream(nav_, static_cast<uint8_t>(audio_));
    if (physical >= 0)
        return physical;
    for (uint8_t i = 0; i < 8; ++i) // the chosen stream is not in this chain: its first one
        if (const int p = dvdnav_get_audio_logical_stream(nav_, i); p >= 0)
            return p;
    return -1;
}

int DvdSession::SubpictureToPlay() const
{
    MutexLock lock(lock_);
    if (!nav_)
        return -1;
    if (domain_ != DVD_DOMAIN_Title) // a menu's buttons are drawn by its subpicture
        return std::max<int>(0, dvdnav_get_active_spu_stream(nav_));
    if (!subpicturesShown_)
        return -1;
    return dvdnav_get_spu_logical_stream(nav_, static_cast<uint8_t>(subpicture_));
}

bool DvdSession::AudioEnabled(uint32_t stream) const
{
    MutexLock lock(lock_);
    if (!nav_ || stream > 7)
        return false;
    if (domain_ != DVD_DOMAIN_Title)
        return stream == 0;
    return dvdnav_get_audio_logical_stream(nav_, static_cast<uint8_t>(stream)) >= 0;
}

bool DvdSession::SubpictureEnabled(uint32_t stream) const
{
    MutexLock lock(lock_);
    if (!nav_ || stream > 31 || domain_ != DVD_DOMAIN_Title)
        return false;
    return dvdnav_get_spu_logical_stream(nav_, static_cast<uint8_t>(stream)) >= 0;
}

DVD_DOMAIN DvdSession::Domain() const
{
    MutexLock lock(lock_);
    return domain_;
}

DVD_PLAYBACK_LOCATION2 DvdSession::Location() const
{
    MutexLock lock(lock_);
    return LocationLocked();
}

DVD_PLAYBACK_LOCATION2 DvdSession::LocationLocked() const
{
    DVD_PLAYBACK_LOCATION2 where;
    where.TitleNum = title_;
    where.ChapterNum = chapter_;
    const uint64_t seconds = time_ / 90000;
    where.TimeCode.bHours = static_cast<uint8_t>(std::min<uint64_t>(seconds / 3600, 255));
    where.TimeCode.bMinutes = static_cast<uint8_t>(seconds / 60 % 60);
    where.TimeCode.bSeconds = static_cast<uint8_t>(seconds % 60);
    const bool pal = !nav_ || dvdnav_get_current_nav_dsi(nav_)->dsi_gi.c_eltm.frame_u >> 6 != 3;
    where.TimeCode.bFrames = static_cast<uint8_t>(time_ % 90000 * (pal ? 25 : 30) / 90000);
    where.TimeCodeFlags = pal ? DVD_TC_FLAG_25fps : DVD_TC_FLAG_30fps;
    return where;
}

uint32_t DvdSession::CurrentTitleSet() const
{
    MutexLock lock(lock_);
    return titleSet_;
}

uint64_t DvdSession::TitleLength() const
{
    MutexLock lock(lock_);
    return domain_ == DVD_DOMAIN_Title ? titleLength_ : 0;
}

void DvdSession::Buttons(uint32_t* available, uint32_t* current) const
{
    MutexLock lock(lock_);
    *available = lastButtons_;
    *current = lastButton_;
}

DvdHighlight DvdSession::Highlight() const
{
    MutexLock lock(lock_);
    DvdHighlight h;
    dvdnav_highlight_area_t area{};
    if (!nav_ || lastButtons_ == 0 || lastButton_ == 0 ||
        dvdnav_get_highlight_area(dvdnav_get_current_nav_pci(nav_), static_cast<int32_t>(lastButton_), 0, &area) !=
            DVDNAV_STATUS_OK)
        return h;
    h.left = static_cast<int32_t>(area.sx);
    h.top = static_cast<int32_t>(area.sy);
    h.right = static_cast<int32_t>(area.ex);
    h.bottom = static_cast<int32_t>(area.ey);
    h.colours = area.palette;
    return h;
}

void DvdSession::Angles(uint32_t* available, uint32_t* current) const
{
    MutexLock lock(lock_);
    int32_t now = 1, count = 1;
    if (nav_ && domain_ == DVD_DOMAIN_Title)
        dvdnav_get_angle_info(nav_, &now, &count);
    *available = static_cast<uint32_t>(std::max(count, 1));
    *current = static_cast<uint32_t>(std::max(now, 1));
}

} // namespace kolvarin::media
