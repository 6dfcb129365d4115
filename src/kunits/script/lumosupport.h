#pragma once
// Small text, number and process routines of the script engine. All text
// routines work on single-byte characters; case changes touch ASCII only.

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin::script {

uint32_t Crc32(std::string_view bytes);

// The engine's linear congruential generator; one process-wide state, used on
// one thread only.
uint32_t RandomInt();
float RandomFloat(); // 0 .. 1 inclusive

std::string IntToBase(int32_t value, int32_t base);
std::string IntToHex(int32_t value);
std::string UIntToBase(uint32_t value, uint32_t base);
std::string UIntToHex(uint32_t value);
std::string IntToStr(int32_t value);

std::string ExtractFileExt(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view extension);

std::string Trim(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// 1-based position of WORD at or after START whose neighbours are no
// identifier characters, else 0.
size_t FindWholeWord(std::string_view text, std::string_view word, size_t start);
std::string ReplaceWholeWords(std::string_view text, std::string_view word, std::string_view replacement);

// True when the file opens for reading. Changes nothing on the file.
bool FileExists(const std::string& path);

// Runs the program (or, with an empty file name, the parameters through the
// shell) and waits for its end. True when it started.
bool ExecAndWait(const std::string& fileName, const std::string& parameters);

} // namespace kolvarin::script
