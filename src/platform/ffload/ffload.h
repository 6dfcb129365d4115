#pragma once

#include <stop_token>

namespace kolvarin::ffload {

// FFmpeg's libraries load on the first call of one of their functions; this
// loads them now, so that the first medium does not wait for them. Any
// thread; a library that cannot be loaded ends the program with a message.
// A stop request ends it between two libraries (the rest then loads on
// first use).
void Preload(std::stop_token stop);

} // namespace kolvarin::ffload
