#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "base/threadsafety.h"

namespace kolvarin {

// Date and time in the user's locale (short date, long time), as log lines use them.
std::string DateTimeToStr();
std::string TimeToStr();

// The trace log. Each line goes to the trace viewer when one listens and, when
// LogToFile is on, is appended to the log file as UTF-16LE with a byte-order
// mark and CR LF. Safe to call from any thread: lines are written whole, one
// writer at a time. File errors are swallowed, so logging never fails a caller.
class TKDebug {
public:
    // Deletes an existing file of that name, so each run starts a fresh log.
    // An empty name means no file at all (a second instance logs to the viewer only).
    explicit TKDebug(std::string fileName);

    void Log(const std::string& procName, const std::u16string& text);
    void Log(const std::string& procName, const std::string& text); // text in UTF-8

    // Queues one message for the trace viewer, if one listens. A thread of
    // the log's own sends it, so a viewer that is behind never stalls the
    // caller; it gets the queued lines when it reads again.
    void Trace(const std::u16string& message);

    void SetLogToFile(bool on);
    bool LogToFile() const;
    const std::string& FileName() const { return fileName_; }

    // Where the viewer listens: set by the start-up sequence to a socket in the user folder.
    void SetViewerSocket(std::string path);

private:
    void TraceLocked(const std::u16string& message) REQUIRES(mutex_);
    void SendLoop(std::stop_token stop);

    std::string fileName_;
    // Guards the file switch and keeps lines whole in the file and in order
    // in the viewer's queue; taken before outboxMutex_.
    mutable Mutex mutex_;
    bool logToFile_ GUARDED_BY(mutex_) = false;
    // The viewer's queue, guarded by its own lock so file logging never waits
    // on it.
    std::string viewerSocket_;
    std::deque<std::string> outbox_;
    // Guards the socket's path, the queue and the sender's start; taken last.
    std::mutex outboxMutex_;
    std::condition_variable_any outboxReady_;
    // Last, so it stops before what it reads goes; when the log ends, a viewer
    // that is behind gets a short while to take the last lines.
    std::jthread sender_;
};

// The process-wide trace log; created first by the start-up sequence, freed last.
// Null before and after: Log() below is then a no-op.
extern TKDebug* DebugLog;

// Convenience for callers that may run before or after DebugLog exists.
void Log(const std::string& procName, const std::u16string& text);
void Log(const std::string& procName, const std::string& text);

// Quotes a file name for a log text: "name".
std::string Quoted(const std::string& text);

// The play history: one line per played item, appended to history.log in the
// same UTF-16LE form as the trace log, only while Enabled.
class TKHistory {
public:
    explicit TKHistory(std::string fileName) : fileName_(std::move(fileName)) {}
    void Add(const std::u16string& text);
    bool Enabled = false;
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};

extern TKHistory* History;

// Appends one line (UTF-16LE, CR LF) to a text file, writing the byte-order
// mark first when the file is new or empty. Throws std::runtime_error on failure.
void AppendUtf16Line(const std::string& fileName, const std::u16string& line);

} // namespace kolvarin
