#include "ipc/instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kolvarin::ipc {

TInstanceLock::TInstanceLock(const std::string& fileName)
{
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    owned_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

TInstanceLock::~TInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kolvarin::ipc
