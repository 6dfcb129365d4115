#pragma once

#include <functional>
#include <string>

namespace kolvarin {

// The logging hook of the core utilities: KLog hands a procedure name and a
// text to the sink set by SetKLogSink; without one, to the trace log
// (DebugLog, when it exists). Callable from any thread; a sink must be
// thread safe.

using KLogSink = std::function<void(const std::string& proc, const std::u16string& text)>;

void KLog(const std::string& proc, const std::u16string& text);
// An empty sink restores the default (the trace log).
void SetKLogSink(KLogSink sink);

} // namespace kolvarin
