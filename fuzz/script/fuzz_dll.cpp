// Maps arbitrary bytes as a PE library: a numbered error or a mapped image,
// never a crash, a hang or an allocation beyond the image limit. Inputs that
// start without "MZ" get a fixed DOS stub in front so the PE parts are reached.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "script/lumodll.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin::script;
    static kolvarin::execmem::ExecSpace space;
    space.SetLimits(20, 0);
    std::vector<uint8_t> image(data, data + size);
    if (size < 2 || data[0] != 'M' || data[1] != 'Z') {
        std::vector<uint8_t> stub(64, 0);
        stub[0] = 'M';
        stub[1] = 'Z';
        stub[0x3C] = 64;
        image.insert(image.begin(), stub.begin(), stub.end());
    }
    size_t heap = space.LiveAllocations(), libraries = space.LibraryMappings();
    {
        TDynamicLinkLibrary lib(space, "fuzz.dll");
        if (!lib.LoadFromStream(image) && lib.LastError() == TDllError::None)
            __builtin_trap();
        lib.GetProcAddress("a");
        lib.GetProcAddress("#1");
    }
    if (space.LiveAllocations() != heap || space.LibraryMappings() != libraries)
        __builtin_trap();
    return 0;
}
