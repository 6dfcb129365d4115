#pragma once

#include <condition_variable>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/threadsafety.h"

namespace kolvarin {

// Reads a whole file. False when it cannot be opened or read; Bytes is then
// empty. Files beyond MaxBytes are refused rather than loaded.
bool ReadWholeFile(const std::string& fileName, std::string& bytes, size_t maxBytes = size_t(1) << 31);

// Replaces the file with Bytes: they go to a temporary file in the same
// folder, which is flushed to disk and renamed over the old one, so a crash or
// a full disk leaves either the old file or the new one, never a truncated
// one. Throws std::runtime_error naming the cause; the old file is then kept
// and no temporary file is left behind.
void SaveFileAtomically(const std::string& fileName, std::string_view bytes);

// While one lives, SaveFileAtomically on the thread that made it writes the
// temporary file (a failure there still throws) and leaves flushing it and
// renaming it over the old file to a thread of the deferral's own: the
// flushes of several files then share one wait for the disk, and the caller
// goes on meanwhile. The files are replaced in the order they were saved.
// Finish (also the destructor) waits until every file is in place. A flush or
// rename that fails keeps the old file and goes to OnFailure, on the
// deferral's thread.
class TKDeferredSaves {
public:
    using FailureProc = std::function<void(const std::string& fileName, const std::string& message)>;
    explicit TKDeferredSaves(FailureProc onFailure);
    ~TKDeferredSaves();
    TKDeferredSaves(const TKDeferredSaves&) = delete;
    TKDeferredSaves& operator=(const TKDeferredSaves&) = delete;

    void Finish();

    // For SaveFileAtomically: a written temporary file, still open.
    struct Written {
        int fd;
        std::string temp, target;
    };
    void Add(Written file);

private:
    void Run();

    FailureProc onFailure_;
    // Guards the files waiting for the thread and the finish; taken alone.
    Mutex mutex_;
    std::condition_variable wake_;
    std::vector<Written> pending_ GUARDED_BY(mutex_);
    bool finishing_ GUARDED_BY(mutex_) = false;
    std::thread thread_;
};

// True when Name is what SaveFileAtomically calls a temporary file for a
// target named Target (both without folder): the target's name, a dot and
// six letters or digits.
bool IsSaveTemporaryName(std::string_view name, std::string_view target);

} // namespace kolvarin
