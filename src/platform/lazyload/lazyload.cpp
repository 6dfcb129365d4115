#include "lazyload/lazyload.h"

#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>

#include "lazyload/loadorder.h"

namespace kolvarin::lazyload {

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "kolvarin: a library is missing: %s\n", what);
    std::abort();
}

} // namespace

void TLazyLibrary::Load()
{
    std::call_once(once_, [this] {
        handle_ = dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            Fail(dlerror());
    });
}

void TLazyLibrary::LoadStepwise(std::stop_token stop)
{
    // The references taken here are kept, as the library keeps them anyway.
    for (const std::string& name : LoadOrder(soname_)) {
        if (stop.stop_requested())
            return;
        if (name == soname_)
            Load();
        else
            dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); // a failure shows when the library itself opens
    }
}

void* TLazyLibrary::Symbol(const char* name)
{
    Load();
    void* function = dlsym(handle_, name);
    if (!function)
        Fail(name);
    return function;
}

} // namespace kolvarin::lazyload
