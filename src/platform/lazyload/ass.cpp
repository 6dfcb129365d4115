// libass, for styled subtitles: it brings the font and text-shaping
// libraries.
#include <cstdarg>

#include <ass/ass.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libass{KOLVARIN_SONAME_ass};
} // namespace

KOLVARIN_LAZY_FORWARD(libass, void, ass_free_track, (ASS_Track * track), (track))
KOLVARIN_LAZY_FORWARD(libass, void, ass_library_done, (ASS_Library * priv), (priv))
KOLVARIN_LAZY_FORWARD(libass, ASS_Library*, ass_library_init, (), ())
KOLVARIN_LAZY_FORWARD(libass, ASS_Track*, ass_new_track, (ASS_Library * library), (library))
KOLVARIN_LAZY_FORWARD(libass, void, ass_process_chunk,
                      (ASS_Track * track, char* data, int size, long long timecode, long long duration),
                      (track, data, size, timecode, duration))
KOLVARIN_LAZY_FORWARD(libass, void, ass_process_codec_private, (ASS_Track * track, char* data, int size),
                      (track, data, size))
KOLVARIN_LAZY_FORWARD(libass, ASS_Image*, ass_render_frame,
                      (ASS_Renderer * priv, ASS_Track* track, long long now, int* detect_change),
                      (priv, track, now, detect_change))
KOLVARIN_LAZY_FORWARD(libass, void, ass_renderer_done, (ASS_Renderer * priv), (priv))
KOLVARIN_LAZY_FORWARD(libass, ASS_Renderer*, ass_renderer_init, (ASS_Library * library), (library))
KOLVARIN_LAZY_FORWARD(libass, void, ass_set_fonts,
                      (ASS_Renderer * priv, const char* default_font, const char* default_family, int dfp,
                       const char* config, int update),
                      (priv, default_font, default_family, dfp, config, update))
KOLVARIN_LAZY_FORWARD(libass, void, ass_set_frame_size, (ASS_Renderer * priv, int w, int h), (priv, w, h))
KOLVARIN_LAZY_FORWARD(libass, void, ass_set_message_cb,
                      (ASS_Library * priv, void (*msg_cb)(int, const char*, va_list, void*), void* data),
                      (priv, msg_cb, data))
KOLVARIN_LAZY_FORWARD(libass, void, ass_set_storage_size, (ASS_Renderer * priv, int w, int h), (priv, w, h))
