#pragma once

// The in-process stand-in of the registration tool. A filter library is a
// shared object that exports
//   extern "C" HRESULT DllRegisterServer(const TKFilterRegistrar* registrar);
//   extern "C" HRESULT DllUnregisterServer(const TKFilterRegistrar* registrar);
// and registers its filter classes with the media framework through the
// registrar. TFilterLibraries loads libraries for graph scripts and undoes
// exactly the registrations it made: a class that was registered before
// (by the user or another program part) is restored, not removed.
//
// Main thread; each library call runs on a helper thread so that a library
// that hangs cannot hold the player longer than the time limit.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "media/devenum.h"

namespace kolvarin::video {

struct TKFilterRegistrar {
    void* Context;
    // A filter class the library makes with create (one new object per call).
    media::HRESULT (*RegisterClass)(void* context, const media::CLSID* clsid, const char16_t* name, uint32_t merit,
                                    const media::GUID* category, const media::GUID* inputMajor,
                                    media::IBaseFilter* (*create)());
    media::HRESULT (*UnregisterClass)(void* context, const media::CLSID* clsid);
    // The framework's own objects, for libraries that build on them.
    media::HRESULT (*CreateInstance)(const media::CLSID* clsid, const media::IID* iid, void** out);
};

class TFilterLibraries {
public:
    explicit TFilterLibraries(std::chrono::milliseconds limit = std::chrono::seconds(5));
    ~TFilterLibraries();
    TFilterLibraries(const TFilterLibraries&) = delete;
    TFilterLibraries& operator=(const TFilterLibraries&) = delete;

    // Loads the library and lets it register its classes ("/s"). False when
    // it cannot be loaded, has no entry point, fails, or overran the limit.
    bool Register(const std::string& path);
    // Undoes this program's registrations (" /u /s"), newest first, and
    // forgets them; the libraries stay loaded.
    void UnregisterAll();
    // The classes registered through this object, in order.
    std::vector<media::CLSID> Registered() const;

private:
    struct TState;
    bool CallLibrary(const std::string& path, const char* entry);

    std::chrono::milliseconds limit_;
    // Shared with the helper threads: a library that overran its time may
    // still register classes after the call was given up.
    std::shared_ptr<TState> state_;
};

// The library a class was registered from by any TFilterLibraries; empty
// when none.
std::string RegisteredLibraryOf(const media::CLSID& clsid);

} // namespace kolvarin::video
