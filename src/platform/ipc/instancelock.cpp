#include "ipc/instancelock.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kolvarin::ipc {

TInstanceLock::TInstanceLock(const std::string& fileName)
{
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC); // flock needs no write access
    if (fd_ < 0)
        return;
    owned_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

bool TInstanceLock::WaitOwned(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (fd_ >= 0 && !owned_) {
        owned_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
        if (owned_ || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return owned_;
}

TInstanceLock::~TInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kolvarin::ipc
