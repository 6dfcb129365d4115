// Walks the frames of arbitrary bytes taken as a GIF, then decodes them as a
// picture: a frame that cuts out must also read, nothing may read past the
// data, and animation steps must end.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "htmllist/gifframes.h"
#include "htmllist/htmlpicture.h"

#include "guiapplication.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size >= 4)
        bytes.replace(0, 4, "GIF8"); // every input is a GIF to the walker
    const int frames = gif::CountFrames(bytes);
    for (int n = 1; n <= frames && n <= 16; ++n) {
        const bool found = gif::ReadFrame(bytes, n).has_value();
        const std::string single = gif::SingleFrameImage(bytes, n);
        if (!found && !single.empty())
            std::abort();
        if (!single.empty() && gif::CountFrames(single) < 1)
            std::abort();
    }
    THTMLPicture picture;
    try {
        picture.LoadFromBytes(bytes);
    } catch (const std::runtime_error&) {
        return 0;
    }
    for (int tick = 0; tick < 8; ++tick)
        picture.Step();
    return 0;
}
