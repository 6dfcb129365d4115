#pragma once

// One open disc in libdvdnav's virtual machine: the reading of blocks with
// the machine's events turned into the graph's DVD events, the navigation
// commands, and the playback state they change (domain, title, chapter,
// time, buttons, the chosen audio and subpicture streams).
//
// Threads: Next, SkipStill and SkipWait belong to the streaming thread;
// commands and queries come from the main thread. One lock serialises the
// machine, so a command waits at most for one block to be read.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/threadsafety.h"
#include "media/dvdif.h"

struct dvdnav_s;

namespace kolvarin::media {

struct DvdEvent {
    int32_t code = 0;
    intptr_t param1 = 0;
    intptr_t param2 = 0;
};

class DvdSession {
public:
    DvdSession() = default;
    ~DvdSession();
    DvdSession(const DvdSession&) = delete;
    DvdSession& operator=(const DvdSession&) = delete;

    // Opens the disc in root (see DvdRootOf); false leaves no disc open.
    bool Open(const std::string& root);
    void Close();
    bool IsOpen() const;

    // ---- streaming thread
    enum class Step {
        Block, // *data holds one 2048-byte pack of the program stream
        VobuStart, // a navigation pack: a video object unit begins (times in vobu)
        Still, // show the picture; stillSeconds (255: until a command), then SkipStill (a command ends it itself)
        Wait, // the machine waits for the data read so far to be played: SkipWait
        Jump, // the machine left the stream for another place (a new stream follows)
        Stop, // the machine stopped
        Error, // the disc cannot be read on
        Nothing, // nothing for the stream (state and events only)
    };
    struct Reading {
        const uint8_t* data = nullptr;
        int stillSeconds = 0;
        uint32_t vobuStart = 0, vobuEnd = 0; // 90 kHz presentation times
        std::vector<DvdEvent> events; // to send to the graph, in order
        std::optional<std::array<uint32_t, 16>> palette; // the new colour table, 0x00YYCrCb
    };
    // Reads on; buffer holds at least 2048 bytes.
    Step Next(uint8_t* buffer, Reading* reading);
    void SkipStill();
    void SkipWait();
    // Set by every command that moves playback; read and cleared here.
    bool TakeUserJump();
    bool UserJumpPending() const;

    // ---- commands: S_OK, or VFW_E_DVD_INVALIDDOMAIN / _OPERATION_INHIBITED /
    // _NO_BUTTON / E_INVALIDARG when the machine refuses.
    HRESULT PlayTitle(uint32_t title);
    HRESULT PlayChapterInTitle(uint32_t title, uint32_t chapter);
    HRESULT PlayAtTime(const DVD_HMSF_TIMECODE& time);
    HRESULT PlayPrevChapter();
    HRESULT PlayNextChapter();
    HRESULT ShowMenu(DVD_MENU_ID menu);
    HRESULT Resume();
    HRESULT ReturnFromSubmenu();
    HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON direction);
    HRESULT SelectButton(uint32_t button);
    HRESULT ActivateButton();
    HRESULT SelectAtPosition(POINT point);
    HRESULT ActivateAtPosition(POINT point);
    HRESULT SelectAngle(uint32_t angle);
    void SetTimeCodeEvents(bool hmsf);

    // ---- the streams the navigator passes on (logical numbers from 0)
    void SelectAudio(uint32_t stream);
    void SelectSubpicture(uint32_t stream);
    void ShowSubpictures(bool show);
    uint32_t SelectedAudio() const;
    uint32_t SelectedSubpicture() const;
    bool SubpicturesShown() const;
    // The physical stream (0..7 audio, 0..31 subpicture) to pass on now, or -1.
    int AudioToPlay() const;
    int SubpictureToPlay() const;
    // Whether the current program chain enables a logical stream.
    bool AudioEnabled(uint32_t stream) const;
    bool SubpictureEnabled(uint32_t stream) const;

    // ---- state
    DVD_DOMAIN Domain() const;
    DVD_PLAYBACK_LOCATION2 Location() const;
    uint32_t CurrentTitleSet() const;
    // 90 kHz length of the title being played, 0 outside a title.
    uint64_t TitleLength() const;
    void Buttons(uint32_t* available, uint32_t* current) const;
    // The current button's highlight; none without a current button.
    DvdHighlight Highlight() const;
    void Angles(uint32_t* available, uint32_t* current) const;

private:
    void Track(int event, const uint8_t* buffer, Reading* reading) REQUIRES(lock_);
    void TrackLocation(Reading* reading) REQUIRES(lock_);
    void TrackTime(Reading* reading) REQUIRES(lock_);
    void TrackButtons(Reading* reading) REQUIRES(lock_);
    DVD_PLAYBACK_LOCATION2 LocationLocked() const REQUIRES(lock_);
    HRESULT Command(bool ok) REQUIRES(lock_);
    // After a command that moved playback.
    void Jumped() REQUIRES(lock_);
    // Keeps the highlighted button after a selection.
    HRESULT Selected(bool ok) REQUIRES(lock_);

    // Guards the machine and everything below. Taken alone, or after the
    // streamer's wake lock.
    mutable Mutex lock_;
    dvdnav_s* nav_ GUARDED_BY(lock_) = nullptr;
    DVD_DOMAIN domain_ GUARDED_BY(lock_) = DVD_DOMAIN_Stop;
    uint32_t titleSet_ GUARDED_BY(lock_) = 0;
    uint32_t title_ GUARDED_BY(lock_) = 0, chapter_ GUARDED_BY(lock_) = 0;
    uint64_t titleLength_ GUARDED_BY(lock_) = 0;
    uint64_t time_ GUARDED_BY(lock_) = 0; // 90 kHz from the start of the program chain
    uint32_t reportedSecond_ GUARDED_BY(lock_) = UINT32_MAX;
    bool hmsfEvents_ GUARDED_BY(lock_) = false;
    bool userJump_ GUARDED_BY(lock_) = false;
    bool still_ GUARDED_BY(lock_) = false; // the navigator reported a still that nothing has ended
    bool skipStill_ GUARDED_BY(lock_) = false; // the streaming thread ended it: skip with the next read
    uint32_t audio_ GUARDED_BY(lock_) = 0, subpicture_ GUARDED_BY(lock_) = 0;
    bool subpicturesShown_ GUARDED_BY(lock_) = false;
    uint32_t lastButtons_ GUARDED_BY(lock_) = 0, lastButton_ GUARDED_BY(lock_) = 0;
    int quietSteps_ GUARDED_BY(lock_) = 0;
};

} // namespace kolvarin::media
