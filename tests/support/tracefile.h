#pragma once

// The process's trace log into a file for a test's span, read back as text.
// For test programs that link the core.

#include <filesystem>
#include <string>

#include "core/system/kdebug.h"
#include "core/text/kstrings.h"
#include "temphome.h"

namespace ktest {

class TraceFile {
public:
    explicit TraceFile(const std::filesystem::path& file) : log_(file.string())
    {
        log_.SetLogToFile(true);
        kolvarin::DebugLog = &log_;
    }
    ~TraceFile() { kolvarin::DebugLog = nullptr; }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;
    // Everything logged so far, without the byte-order mark.
    std::string Text() const
    {
        const std::string bytes = readFile(log_.FileName());
        return bytes.size() < 2 ? std::string() : kolvarin::Utf16ToUtf8(FromUtf16Le(bytes.substr(2)));
    }

private:
    kolvarin::TKDebug log_;
};

} // namespace ktest
