#include "video/filterlibrary.h"

#include <dlfcn.h>

#include <future>
#include <map>
#include <optional>
#include <thread>

#include "base/threadsafety.h"
#include "core/system/kdebug.h"
#include "media/graphif.h"

namespace kolvarin::video {

using namespace media;

namespace {

// Guards the paths; taken after a TState's lock, before the filter
// registry's.
Mutex libraryPathsLock;
std::map<CLSID, std::string>& LibraryPaths() REQUIRES(libraryPathsLock)
{
    static std::map<CLSID, std::string> paths;
    return paths;
}

using TEntryPoint = HRESULT (*)(const TKFilterRegistrar*);

} // namespace

struct TFilterLibraries::TState {
    struct TRegistration {
        CLSID Clsid;
        std::optional<FilterTemplate> Previous; // what it replaced
        std::string PreviousLibrary;
    };
    // Guards what follows, between the caller and the thread that calls a
    // library; taken before libraryPathsLock and the filter registry's lock.
    Mutex lock;
    std::vector<TRegistration> registrations GUARDED_BY(lock);
    std::vector<std::string> libraries GUARDED_BY(lock); // registered through this object, in order
    std::string library GUARDED_BY(lock); // the library being called

    static HRESULT RegisterClass(void* context, const CLSID* clsid, const char16_t* name, uint32_t merit,
                                 const GUID* category, const GUID* inputMajor, IBaseFilter* (*create)())
    {
        if (!context || !clsid || !name || !category || !create)
            return E_POINTER;
        auto& state = *static_cast<TState*>(context);
        MutexLock guard(state.lock);
        TRegistration reg{*clsid, std::nullopt, {}};
        if (const FilterTemplate* previous = FindFilterClass(*clsid))
            reg.Previous = *previous;
        FilterTemplate filter{
            *clsid, name, merit, *category, {{inputMajor ? *inputMajor : GUID_NULL, GUID_NULL}}, [create] {
                return ComPtr<IBaseFilter>::Adopt(create());
            }};
        RegisterFilterClass(std::move(filter));
        MutexLock paths(libraryPathsLock);
        if (auto it = LibraryPaths().find(*clsid); it != LibraryPaths().end())
            reg.PreviousLibrary = it->second;
        LibraryPaths()[*clsid] = state.library;
        state.registrations.push_back(std::move(reg));
        return S_OK;
    }

    // A library's own unregistration touches only what this program registered.
    static HRESULT UnregisterClass(void* context, const CLSID* clsid)
    {
        if (!context || !clsid)
            return E_POINTER;
        auto& state = *static_cast<TState*>(context);
        MutexLock guard(state.lock);
        for (auto it = state.registrations.rbegin(); it != state.registrations.rend(); ++it)
            if (it->Clsid == *clsid) {
                Undo(*it);
                state.registrations.erase(std::next(it).base());
                return S_OK;
            }
        return S_FALSE;
    }

    static void Undo(const TRegistration& reg)
    {
        MutexLock paths(libraryPathsLock);
        if (reg.Previous) {
            RegisterFilterClass(*reg.Previous);
            LibraryPaths()[reg.Clsid] = reg.PreviousLibrary;
            if (reg.PreviousLibrary.empty())
                LibraryPaths().erase(reg.Clsid);
        } else {
            UnregisterFilterClass(reg.Clsid);
            LibraryPaths().erase(reg.Clsid);
        }
    }

    static HRESULT CreateInstance(const CLSID* clsid, const IID* iid, void** out)
    {
        return clsid && iid ? CoCreateInstance(*clsid, *iid, out) : E_POINTER;
    }
};

TFilterLibraries::TFilterLibraries(std::chrono::milliseconds limit) : limit_(limit), state_(std::make_shared<TState>())
{}

TFilterLibraries::~TFilterLibraries() = default;

bool TFilterLibraries::CallLibrary(const std::string& path, const char* entry)
{
    const char* proc = "TFilterLibraries";
    // Libraries stay loaded: their classes' objects may outlive the registration.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        Log(proc, "Load library " + path + " failed: " + ::dlerror());
        return false;
    }
    auto function = reinterpret_cast<TEntryPoint>(::dlsym(library, entry));
    if (!function) {
        Log(proc, "Library " + path + " has no " + entry);
        return false;
    }
    {
        MutexLock guard(state_->lock);
        state_->library = path;
    }
    auto state = state_;
    auto done = std::make_shared<std::promise<HRESULT>>();
    auto result = done->get_future();
    std::thread([state, function, done] {
        const TKFilterRegistrar registrar{state.get(), &TState::RegisterClass, &TState::UnregisterClass,
                                          &TState::CreateInstance};
        done->set_value(function(&registrar));
    }).detach();
    if (result.wait_for(limit_) != std::future_status::ready) {
        Log(proc, std::string(entry) + " of " + path + " did not end in time");
        return false;
    }
    return Succeeded(result.get());
}

bool TFilterLibraries::Register(const std::string& path)
{
    {
        MutexLock guard(state_->lock);
        state_->libraries.push_back(path);
    }
    return CallLibrary(path, "DllRegisterServer");
}

void TFilterLibraries::UnregisterAll()
{
    std::vector<std::string> libraries;
    {
        MutexLock guard(state_->lock);
        libraries.swap(state_->libraries);
    }
    // Each library undoes what it registered (its calls reach only this
    // program's registrations); whatever is left, or what a library that
    // failed or overran left, is undone here.
    for (auto it = libraries.rbegin(); it != libraries.rend(); ++it)
        CallLibrary(*it, "DllUnregisterServer");
    MutexLock guard(state_->lock);
    auto& list = state_->registrations;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        TState::Undo(*it);
    list.clear();
}

std::vector<CLSID> TFilterLibraries::Registered() const
{
    MutexLock guard(state_->lock);
    std::vector<CLSID> ids;
    for (const auto& reg : state_->registrations)
        ids.push_back(reg.Clsid);
    return ids;
}

std::string RegisteredLibraryOf(const CLSID& clsid)
{
    MutexLock paths(libraryPathsLock);
    auto it = LibraryPaths().find(clsid);
    return it == LibraryPaths().end() ? std::string() : it->second;
}

} // namespace kolvarin::video
