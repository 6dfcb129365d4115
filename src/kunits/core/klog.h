#pragma once

#include <functional>
#include <string>

namespace kolvarin {

// The logging hook of the core utilities: KLog hands a procedure name and a
// text to the sink set by SetKLogSink (the start-up sequence points it at
// the trace log). Without a sink the texts are dropped. Callable from any
// thread; the sink must be thread safe.

using KLogSink = std::function<void(const std::string& proc, const std::u16string& text)>;

void KLog(const std::string& proc, const std::u16string& text);
// An empty sink restores the default (drop everything).
void SetKLogSink(KLogSink sink);

} // namespace kolvarin
