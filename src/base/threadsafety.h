#pragma once

// Locks that clang's thread-safety analysis can follow (-Wthread-safety, on in
// every clang build): a field marked GUARDED_BY(m) may be read or written only
// with m held, and a function marked REQUIRES(m) only be called with it held.
// Other compilers read the marks as nothing. The standard mutex carries no
// marks, so a guarded field needs a Mutex below, taken with MutexLock. Lock
// orders are stated in the comment at each lock.

#include <chrono>
#include <condition_variable>
#include <mutex>

#if defined(__clang__)
#define KOLVARIN_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define KOLVARIN_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) KOLVARIN_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY KOLVARIN_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) KOLVARIN_THREAD_ANNOTATION(guarded_by(x))
#define REQUIRES(...) KOLVARIN_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) KOLVARIN_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) KOLVARIN_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define RETURN_CAPABILITY(x) KOLVARIN_THREAD_ANNOTATION(lock_returned(x))

namespace kolvarin {

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }

private:
    friend class MutexLock;
    std::mutex mutex_;
};

// Holds a Mutex for its scope; may let it go and take it again, and waits on
// a condition variable with it (the wait lets it go and takes it back). A
// predicate that reads guarded fields says so: [&]() REQUIRES(m) { ... }.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : lock_(mutex.mutex_) {}
    ~MutexLock() RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void Unlock() RELEASE() { lock_.unlock(); }
    void Lock() ACQUIRE() { lock_.lock(); }

    void Wait(std::condition_variable& cv) { cv.wait(lock_); }
    template <class Predicate>
    void Wait(std::condition_variable& cv, Predicate done)
    {
        cv.wait(lock_, done);
    }
    template <class Rep, class Period>
    void WaitFor(std::condition_variable& cv, std::chrono::duration<Rep, Period> time)
    {
        cv.wait_for(lock_, time);
    }
    // True when done came true before the time ran out.
    template <class Rep, class Period, class Predicate>
    bool WaitFor(std::condition_variable& cv, std::chrono::duration<Rep, Period> time, Predicate done)
    {
        return cv.wait_for(lock_, time, done);
    }

private:
    std::unique_lock<std::mutex> lock_;
};

} // namespace kolvarin
