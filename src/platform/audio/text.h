#pragma once

#include <string>

#include "audio/bass.h"

namespace kolvarin::audio {

// A file name as passed to a create call: UTF-16 with bass::kUnicode, else UTF-8.
std::string fileNameArgument(const void* file, DWORD flags);
std::string utf16ToUtf8(const char16_t* text);

} // namespace kolvarin::audio
