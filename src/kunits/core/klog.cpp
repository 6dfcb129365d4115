#include "core/klog.h"

#include "core/kdebug.h"

#include <memory>
#include <mutex>

namespace kolvarin {

namespace {

std::mutex sinkLock;
std::shared_ptr<const KLogSink> currentSink;

} // namespace

void KLog(const std::string& proc, const std::u16string& text)
{
    std::shared_ptr<const KLogSink> sink;
    {
        std::lock_guard<std::mutex> guard(sinkLock);
        sink = currentSink;
    }
    // Called outside the lock, so a slow sink never blocks SetKLogSink.
    if (sink)
        (*sink)(proc, text);
    else
        Log(proc, text);
}

void SetKLogSink(KLogSink sink)
{
    auto next = sink ? std::make_shared<const KLogSink>(std::move(sink)) : nullptr;
    std::lock_guard<std::mutex> guard(sinkLock);
    currentSink = std::move(next);
}

} // namespace kolvarin
