#pragma once

#include <cstdarg>
#include <mutex>
#include <stop_token>

namespace kolvarin::lazyload {

// A shared library of C functions that the program does not link: it is
// opened on the first call of one of its functions (see
// KOLVARIN_LAZY_FORWARD), so that the start of the program does not load and
// relocate it and the libraries it brings. Constant-initialised, so a
// forwarder may be called from any thread at any time, static initialisers
// included. A library or function that cannot be found ends the program with
// a message, as a missing linked library would have.
class TLazyLibrary {
public:
    constexpr explicit TLazyLibrary(const char* soname) : soname_(soname) {}
    TLazyLibrary(const TLazyLibrary&) = delete;
    TLazyLibrary& operator=(const TLazyLibrary&) = delete;

    // Opens the library now (once); any thread.
    void Load();
    // The same, one library at a time, those it needs first, so that the
    // loader's lock, which every thread start waits for, is held for one of
    // them only; a stop request ends it between two (the rest then opens on
    // first use).
    void LoadStepwise(std::stop_token stop);
    // The address of one of its functions; opens the library first.
    void* Symbol(const char* name);

private:
    const char* soname_;
    std::once_flag once_;
    void* handle_ = nullptr;
};

} // namespace kolvarin::lazyload

// Defines the C function `name` of the header in scope: the real one is
// looked up in `library` on the first call, and every call forwards to it.
#define KOLVARIN_LAZY_FORWARD(library, result, name, params, args)                                                     \
    extern "C" result name params                                                                                      \
    {                                                                                                                  \
        static const auto real = reinterpret_cast<decltype(&::name)>((library).Symbol(#name));                         \
        return real args;                                                                                              \
    }

// va_start after the last named parameter of a library's own variadic
// signature. Where that parameter is an enum, clang calls the promotion to int
// undefined; every ABI we build for passes it as an int, so va_start is sound.
#if defined(__clang__)
#define KOLVARIN_VA_START(list, last)                                                                                  \
    _Pragma("clang diagnostic push") _Pragma("clang diagnostic ignored \"-Wvarargs\"") va_start(list, last);           \
    _Pragma("clang diagnostic pop")
#else
#define KOLVARIN_VA_START(list, last) va_start(list, last)
#endif
