#include "video/dseventtext.h"

#include <cstdio>

namespace kolvarin::video {

namespace {

struct TEventText {
    int32_t Code;
    const char* Text;
};

constexpr TEventText kEventTexts[] = {
    {0x01, "EC_COMPLETE - All data from a particular stream has been rendered."},
    {0x02, "EC_USERABORT - The user has terminated playback."},
    {0x03, "EC_ERRORABORT - An operation was aborted because of an error."},
    {0x05, "EC_REPAINT - A video renderer requires a repaint."},
    {0x06, "EC_STREAM_ERROR_STOPPED - The stream has stopped because of an error."},
    {0x07, "EC_STREAM_ERROR_STILLPLAYING - A stream error occurred, but the stream is still playing."},
    {0x08, "EC_ERROR_STILLPLAYING - An error occurred, but the graph is still playing."},
    {0x09, "EC_PALETTE_CHANGED - The video palette has changed."},
    {0x0A, "EC_VIDEO_SIZE_CHANGED - The native video size has changed."},
    {0x0B, "EC_QUALITY_CHANGE - The graph is dropping samples, for quality control."},
    {0x0C, "EC_SHUTTING_DOWN - The filter graph is shutting down, prior to being destroyed."},
    {0x0D, "EC_CLOCK_CHANGED - The reference clock has changed."},
    {0x0E, "EC_PAUSED - A pause request has completed."},
    {0x10, "EC_OPENING_FILE - The graph is opening a file, or has finished opening a file."},
    {0x11, "EC_BUFFERING_DATA - The graph is buffering data, or has stopped buffering data."},
    {0x12, "EC_FULLSCREEN_LOST - The video renderer is switching out of full-screen mode."},
    {0x13, "EC_ACTIVATE - A video window is being activated or deactivated."},
    {0x18, "EC_OLE_EVENT - A filter is passing a text string to the application."},
    {0x1A, "EC_STREAM_CONTROL_STOPPED - A stream-control stop request has completed."},
    {0x1B, "EC_STREAM_CONTROL_STARTED - A stream-control start request has completed."},
    {0x1C, "EC_END_OF_SEGMENT - The end of a segment has been reached."},
    {0x1F, "EC_DEVICE_LOST - A device was removed or has become available again."},
    {0x24, "EC_STEP_COMPLETE - A filter has stepped the requested number of frames."},
    {0x30, "EC_TIMECODE_AVAILABLE - A filter is sending a time code."},
    {0x31, "EC_EXTDEVICE_MODE_CHANGE - The mode of an external device has changed."},
    {0x50, "EC_GRAPH_CHANGED - The filter graph has changed."},
    {0x51, "EC_CLOCK_UNSET - The clock provider was disconnected."},
    {0x53, "EC_VMR_RENDERDEVICE_SET - The video renderer has chosen its rendering device."},
    {0x101, "EC_DVD_DOMAIN_CHANGE - The DVD navigator has changed domains."},
    {0x102, "EC_DVD_TITLE_CHANGE - The current title number has changed."},
    {0x103, "EC_DVD_CHAPTER_START - Playback of a new chapter has started."},
    {0x104, "EC_DVD_AUDIO_STREAM_CHANGE - The current audio stream number has changed."},
    {0x105, "EC_DVD_SUBPICTURE_STREAM_CHANGE - The current subpicture stream number has changed."},
    {0x106, "EC_DVD_ANGLE_CHANGE - The number of angles or the current angle has changed."},
    {0x107, "EC_DVD_BUTTON_CHANGE - The number of menu buttons or the current button has changed."},
    {0x108, "EC_DVD_VALID_UOPS_CHANGE - The user operations the disc allows have changed."},
    {0x109, "EC_DVD_STILL_ON - A still picture has started."},
    {0x10A, "EC_DVD_STILL_OFF - A still picture has ended."},
    {0x10B, "EC_DVD_CURRENT_TIME - The current playback time at the start of a video unit."},
    {0x10C, "EC_DVD_ERROR - A DVD error condition has occurred."},
    {0x10D, "EC_DVD_WARNING - A DVD warning condition has occurred."},
    {0x10E, "EC_DVD_CHAPTER_AUTOSTOP - Playback stopped at the end of the chapter, as requested."},
    {0x10F, "EC_DVD_NO_FP_PGC - The disc has no first-play program chain."},
    {0x110, "EC_DVD_PLAYBACK_RATE_CHANGE - The playback rate has changed."},
    {0x111, "EC_DVD_PARENTAL_LEVEL_CHANGE - The parental level has changed."},
    {0x112, "EC_DVD_PLAYBACK_STOPPED - DVD playback has stopped."},
    {0x113, "EC_DVD_ANGLES_AVAILABLE - The current block has, or no longer has, several angles."},
    {0x114, "EC_DVD_PLAYPERIOD_AUTOSTOP - Playback stopped at the end of the requested period."},
    {0x115, "EC_DVD_BUTTON_AUTO_ACTIVATED - A menu button was activated automatically."},
    {0x116, "EC_DVD_CMD_START - A DVD command has started."},
    {0x117, "EC_DVD_CMD_END - A DVD command has ended."},
    {0x118, "EC_DVD_DISC_EJECTED - The disc was ejected."},
    {0x119, "EC_DVD_DISC_INSERTED - A disc was inserted."},
    {0x11A, "EC_DVD_CURRENT_HMSF_TIME - The current playback time in hours, minutes, seconds and frames."},
    {0x11B, "EC_DVD_KARAOKE_MODE - The karaoke mode has changed."},
    {0x200, "EC_SNDDEV_IN_ERROR - A sound capture device has an error."},
    {0x201, "EC_SNDDEV_OUT_ERROR - A sound output device has an error."},
};

} // namespace

std::string DSEventText(int32_t code)
{
    for (const TEventText& e : kEventTexts)
        if (e.Code == code)
            return e.Text;
    char text[40];
    std::snprintf(text, sizeof text, "Unknown event 0x%X", static_cast<unsigned>(code));
    return text;
}

} // namespace kolvarin::video
