#pragma once
// The script preprocessor: conditional blocks, symbol and macro definitions
// with parameters, and file inclusion, line by line; directives only at the
// start of a line. Alongside the output it builds the line map through which
// error lines name the file and line a script line came from.
//
// Runaway input ends in error 37 instead of looping: macro replacement stops
// after kMaxMacroPasses passes over a line or when the line outgrows
// kMaxLineLength, and inclusion stops kMaxIncludeDepth files deep or after
// kMaxIncludedFiles files.
// Pure function: it changes nothing but its result; included files are read
// through the given reader.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/lumoscript.h"

namespace kolvarin::script {

inline constexpr int kMaxMacroPasses = 64;
inline constexpr size_t kMaxLineLength = 1 << 20;
inline constexpr int kMaxIncludeDepth = 16;
inline constexpr size_t kMaxIncludedFiles = 256;

// A preprocessor error (always code 37) and where it stands: LINE is the
// output line the error belongs to, counted as the error reporter counts
// (0 = first line of the whole stream). For errors after the prefix, the line
// map holds an entry for it past the written lines, so the reporter names
// the right file and line even for a directive that writes no line.
struct TPreprocessError {
    int32_t line;
};

struct TPreprocessResult {
    std::string text;
    std::vector<TLineMapEntry> lineMap;
    std::vector<std::string> fileNames;
    std::vector<TPreprocessError> errors;
};

// Returns the whole content of an included file, empty when it is missing.
using TIncludeReader = std::function<std::string(const std::string& name)>;
std::string ReadIncludeFile(const std::string& name);

TPreprocessResult Preprocess(std::string_view source, const std::vector<TDefineEntry>& defines,
                             const std::string& fileName, int32_t prefixLineCount,
                             const TIncludeReader& readFile = ReadIncludeFile);

} // namespace kolvarin::script
