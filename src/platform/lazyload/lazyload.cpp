#include "lazyload/lazyload.h"

#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>

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

void* TLazyLibrary::Symbol(const char* name)
{
    Load();
    void* function = dlsym(handle_, name);
    if (!function)
        Fail(name);
    return function;
}

} // namespace kolvarin::lazyload
