#include "core/system/kfilesave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvarin {

namespace {

thread_local TKDeferredSaves* g_deferral = nullptr;

std::string failureText(const std::string& what, const std::string& fileName, int error)
{
    return what + " \"" + fileName + "\": " + std::strerror(error);
}

[[noreturn]] void fail(const std::string& what, const std::string& fileName, int error)
{
    throw std::runtime_error(failureText(what, fileName, error));
}

// Closes and removes the temporary file unless it was handed over by rename.
class TempFile {
public:
    explicit TempFile(const std::string& target) : name_(target + ".XXXXXX")
    {
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0)
            fail("Cannot create a temporary file beside", target, errno);
    }
    ~TempFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!renamed_)
            ::unlink(name_.c_str());
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void renamed() { renamed_ = true; }
    // The file, open, for someone else to finish or remove.
    TKDeferredSaves::Written handOver(const std::string& target)
    {
        renamed_ = true;
        return {std::exchange(fd_, -1), name_, target};
    }

private:
    std::string name_;
    int fd_ = -1;
    bool renamed_ = false;
};

} // namespace

bool ReadWholeFile(const std::string& fileName, std::string& bytes, size_t maxBytes)
{
    bytes.clear();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= maxBytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the file shrank while being read: keep what is there
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
    }
    ::close(fd);
    if (!ok)
        bytes.clear();
    return ok;
}

void SaveFileAtomically(const std::string& fileName, std::string_view bytes)
{
    TempFile temp(fileName);
    // Keep the mode of the file being replaced; a new file stays private (0600).
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0)
        ::fchmod(temp.fd(), st.st_mode & 07777);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(temp.fd(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("Cannot write", temp.name(), n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    if (g_deferral) {
        g_deferral->Add(temp.handOver(fileName));
        return;
    }
    if (::fsync(temp.fd()) != 0)
        fail("Cannot flush", temp.name(), errno);
    if (temp.close() != 0)
        fail("Cannot close", temp.name(), errno);
    if (::rename(temp.name().c_str(), fileName.c_str()) != 0)
        fail("Cannot replace", fileName, errno);
    temp.renamed();
}

TKDeferredSaves::TKDeferredSaves(FailureProc onFailure) : onFailure_(std::move(onFailure))
{
    thread_ = std::thread([this] { Run(); });
    g_deferral = this;
}

TKDeferredSaves::~TKDeferredSaves() { Finish(); }

void TKDeferredSaves::Finish()
{
    if (g_deferral == this)
        g_deferral = nullptr;
    {
        MutexLock lock(mutex_);
        finishing_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TKDeferredSaves::Add(Written file)
{
    {
        MutexLock lock(mutex_);
        pending_.push_back(std::move(file));
    }
    wake_.notify_all();
}

void TKDeferredSaves::Run()
{
    for (;;) {
        std::vector<Written> files;
        {
            MutexLock lock(mutex_);
            lock.Wait(wake_, [this]() REQUIRES(mutex_) { return finishing_ || !pending_.empty(); });
            if (pending_.empty())
                return;
            files.swap(pending_);
        }
        // All flushes first: the first one's journal commit takes the others along.
        std::vector<int> errors;
        for (const Written& file : files)
            errors.push_back(::fsync(file.fd) == 0 ? 0 : errno);
        for (size_t i = 0; i < files.size(); ++i) {
            const Written& file = files[i];
            std::string failure;
            if (errors[i] != 0)
                failure = failureText("Cannot flush", file.temp, errors[i]);
            if (::close(file.fd) != 0 && failure.empty())
                failure = failureText("Cannot close", file.temp, errno);
            if (failure.empty() && ::rename(file.temp.c_str(), file.target.c_str()) != 0)
                failure = failureText("Cannot replace", file.target, errno);
            if (!failure.empty()) {
                ::unlink(file.temp.c_str());
                if (onFailure_)
                    onFailure_(file.target, failure);
            }
        }
    }
}

bool IsSaveTemporaryName(std::string_view name, std::string_view target)
{
    if (name.size() != target.size() + 7 || !name.starts_with(target) || name[target.size()] != '.')
        return false;
    for (char c : name.substr(target.size() + 1))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

} // namespace kolvarin
