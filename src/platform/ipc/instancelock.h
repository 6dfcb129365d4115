#pragma once

#include <string>

namespace kolvarin::ipc {

// The single-instance lock: an exclusive flock on a file in the user folder,
// held for the life of the object. The kernel drops it when the process ends,
// so a crashed run never leaves a stale lock behind.
class TInstanceLock {
public:
    // Tries to take the lock without waiting. Check Owned() afterwards. A
    // lock file that exists in a folder that cannot be written is still used.
    explicit TInstanceLock(const std::string& fileName);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when this process holds the lock; false when another one does.
    bool Owned() const { return owned_; }
    // Waits up to timeoutMs for the other holder to let go; Owned() then.
    bool WaitOwned(int timeoutMs);
    // True when the lock file could not be opened at all (counts as first instance).
    bool Failed() const { return fd_ < 0; }

private:
    int fd_ = -1;
    bool owned_ = false;
};

} // namespace kolvarin::ipc
