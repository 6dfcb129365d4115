// Compiles arbitrary text; what compiles also runs under a short time limit.
// Bad input must end in numbered errors or run errors, never a crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/lumoscript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static kolvarin::script::TLumoScript engine;
    engine.Clear();
    engine.SetLimits(20);
    std::string source(reinterpret_cast<const char*>(data), size);
    if (engine.Compile(source, "fuzz.kgraph")) {
        engine.CallProc("$start");
        engine.CallProc("$main");
        engine.CallProc("$end");
    } else if (engine.ErrorText().empty() || engine.CodeMemory() != 0) {
        __builtin_trap(); // a failed compile names its error and holds no code
    }
    return 0;
}
