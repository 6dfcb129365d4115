#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "zip/zmmessages.h"

namespace kolvarin {

// Where the zip component's trace-mode reports go; set once at start-up (the
// trace log), empty by default. Main thread.
using TZMLogHook = std::function<void(const std::string& proc, const std::u16string& text)>;
void SetZipLogHook(TZMLogHook hook);

enum class TZMProgressKind { Start, Item, Advance, End };

// (kind, text or member name, count or size)
using TZMProgressEvent = std::function<void(TZMProgressKind kind, const std::u16string& text, std::uint64_t size)>;
// (error code, message number, text)
using TZMMessageEvent = std::function<void(int errCode, int number, const std::u16string& text)>;
// Shows a text to the user in a modal message box titled with the
// application title; the program connects it to its window library.
using TZMDialog = std::function<void(const std::u16string& text)>;

// Messages, events and the busy guard of the zip component. Main thread only;
// the events run on it, inside the operation that raised them.
class TZMCore {
public:
    virtual ~TZMCore() = default;

    bool Verbose = false;
    bool Trace = false;
    bool Unattended = false;
    // Set by an event handler to stop the running operation.
    bool Cancel = false;

    TZMProgressEvent OnProgress;
    TZMMessageEvent OnMessage;
    std::function<void()> OnDirUpdate;
    TZMDialog MessageDialog;

    // The last warning or error given through the message operation.
    int ErrCode() const { return errCode_; }
    const std::u16string& ErrMessage() const { return errMessage_; }
    bool Busy() const { return busy_; }

protected:
    // The message operation for warnings and errors that do not raise: the
    // text becomes the last error, goes to OnMessage and, unless unattended,
    // to the message dialog.
    void ShowZipMessage(int number, const std::u16string& text);
    void ShowZipMessage(TZMMessage number);
    // Informational text: OnMessage only (code 0), and the log in trace mode.
    void ReportText(const std::u16string& text);
    void Progress(TZMProgressKind kind, const std::u16string& text, std::uint64_t size);

    // Brackets an operation; a second one entered meanwhile is refused (and
    // reported in trace mode) rather than run inside the first.
    class TZMBusy {
    public:
        explicit TZMBusy(TZMCore& core);
        ~TZMBusy();
        TZMBusy(const TZMBusy&) = delete;
        TZMBusy& operator=(const TZMBusy&) = delete;
        bool Entered() const { return entered_; }

    private:
        TZMCore& core_;
        bool entered_;
    };

private:
    int errCode_ = 0;
    std::u16string errMessage_;
    bool busy_ = false;
};

} // namespace kolvarin
