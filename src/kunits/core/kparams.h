#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin {

// Parameters of a UTF-16 command-line text: characters below 33 outside
// double quotes separate parameters; double quotes group text and are
// removed; an empty pair of double quotes before a parameter is skipped; a
// parameter holds at most 8,192 characters (the rest of it is dropped).
// Parameter 0 is the program path.

int32_t WideParamCount(std::u16string_view commandLine);
// Empty for an index outside 0 .. count.
std::u16string WideParamStr(std::u16string_view commandLine, int32_t index);

// The process's own command line, as the forms above read it. Set once by
// the start-up sequence (main thread, before other threads start).
void SetWideCommandLine(std::u16string commandLine);
const std::u16string& GetWideCommandLine();
int32_t WideParamCount();
std::u16string WideParamStr(int32_t index);

// Joins argv (UTF-8) into one command-line text, each argument in double
// quotes when it holds a character below 33 or is empty. (A double quote
// inside an argument has no escape in these rules and groups text.)
std::u16string MakeWideCommandLine(int argc, const char* const* argv);

} // namespace kolvarin
