// SDL2, for the sound output: it brings about 30 more libraries (sound
// servers, Wayland, DRM, the codecs of libsndfile, ...).
#include <SDL2/SDL.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libsdl{KOLVARIN_SONAME_SDL2};
} // namespace

KOLVARIN_LAZY_FORWARD(libsdl, void, SDL_CloseAudioDevice, (SDL_AudioDeviceID dev), (dev))
KOLVARIN_LAZY_FORWARD(libsdl, const char*, SDL_GetAudioDeviceName, (int index, int iscapture), (index, iscapture))
KOLVARIN_LAZY_FORWARD(libsdl, int, SDL_GetAudioDeviceSpec, (int index, int iscapture, SDL_AudioSpec* spec),
                      (index, iscapture, spec))
KOLVARIN_LAZY_FORWARD(libsdl, const char*, SDL_GetCurrentAudioDriver, (), ())
KOLVARIN_LAZY_FORWARD(libsdl, int, SDL_GetDefaultAudioInfo, (char** name, SDL_AudioSpec* spec, int iscapture),
                      (name, spec, iscapture))
KOLVARIN_LAZY_FORWARD(libsdl, int, SDL_GetNumAudioDevices, (int iscapture), (iscapture))
KOLVARIN_LAZY_FORWARD(libsdl, int, SDL_InitSubSystem, (Uint32 flags), (flags))
KOLVARIN_LAZY_FORWARD(libsdl, SDL_AudioDeviceID, SDL_OpenAudioDevice,
                      (const char* device, int iscapture, const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
                       int allowed_changes),
                      (device, iscapture, desired, obtained, allowed_changes))
KOLVARIN_LAZY_FORWARD(libsdl, void, SDL_PauseAudioDevice, (SDL_AudioDeviceID dev, int pause_on), (dev, pause_on))
KOLVARIN_LAZY_FORWARD(libsdl, void, SDL_QuitSubSystem, (Uint32 flags), (flags))
KOLVARIN_LAZY_FORWARD(libsdl, void, SDL_TLSCleanup, (), ())
KOLVARIN_LAZY_FORWARD(libsdl, void, SDL_free, (void* mem), (mem))
