#include "audio/text.h"

#include "codepage/codepage.h"

namespace kolvarin::audio {

std::string fileNameArgument(const void* file, DWORD flags)
{
    if (!file)
        return {};
    if (flags & bass::kUnicode)
        return codepage::Utf16ToUtf8(static_cast<const char16_t*>(file));
    return static_cast<const char*>(file);
}

} // namespace kolvarin::audio
