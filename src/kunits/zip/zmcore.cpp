#include "zip/zmcore.h"

#include <utility>

#include "zip/zmmessages.h"

namespace kolvarin {

namespace {

TZMLogHook& LogHook()
{
    static TZMLogHook hook;
    return hook;
}

std::u16string Decimal(int value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

} // namespace

void SetZipLogHook(TZMLogHook hook) { LogHook() = std::move(hook); }

void TZMCore::ShowZipMessage(int number, const std::u16string& text)
{
    errCode_ = number;
    errMessage_ = text;
    const std::u16string shown = Trace ? text + u"   (" + Decimal(number) + u")" : text;
    if (Trace && LogHook()) {
        LogHook()("TZipHandler", shown);
    }
    if (OnMessage) {
        OnMessage(number, number, text);
    }
    if (!Unattended && MessageDialog) {
        MessageDialog(shown);
    }
}

void TZMCore::ShowZipMessage(TZMMessage number) { ShowZipMessage(static_cast<int>(number), ZipMessageText(number)); }

void TZMCore::ReportText(const std::u16string& text)
{
    if ((Trace || Verbose) && LogHook()) {
        LogHook()("TZipHandler", text);
    }
    if (OnMessage) {
        OnMessage(0, 0, text);
    }
}

void TZMCore::Progress(TZMProgressKind kind, const std::u16string& text, std::uint64_t size)
{
    if (OnProgress) {
        OnProgress(kind, text, size);
    }
}

TZMCore::TZMBusy::TZMBusy(TZMCore& core) : core_(core), entered_(!core.busy_)
{
    if (entered_) {
        core_.busy_ = true;
        core_.Cancel = false;
    } else if (core_.Trace) {
        core_.ReportText(u"Re-entry");
    }
}

TZMCore::TZMBusy::~TZMBusy()
{
    if (entered_) {
        core_.busy_ = false;
    }
}

} // namespace kolvarin
