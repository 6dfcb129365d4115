#pragma once

namespace kolvarin::ffload {

// FFmpeg's libraries load on the first call of one of their functions; this
// loads them now, so that the first medium does not wait for them. Any
// thread; a library that cannot be loaded ends the program with a message.
void Preload();

} // namespace kolvarin::ffload
