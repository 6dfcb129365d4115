#pragma once

#include <cstdint>
#include <string>

namespace kolvarin {

// Operating-system codes. The Windows values keep their numbers; this
// program runs on Linux, which has a code of its own.
enum class TOSVersion : int {
    Unknown = -1,
    Win95 = 0,
    Win98 = 1,
    Win98SE = 2,
    WinME = 3,
    WinNT = 4,
    Win2000 = 5,
    WinXP = 6,
    WinVista = 7,
    Win7 = 8,
    Linux = 100,
};

TOSVersion GetOSVersion();
// "Linux <kernel release> (<distribution>)" for Linux; the Windows names for theirs.
std::string GetOSName(TOSVersion version);

// The names a DirectX registry version text stands for ("4.09.00.0904" is "9.0c").
std::string GetDirectXVersionName(const std::string& registryText);
// There is no DirectX here; what the video side needs is always present, so
// this reports version 10 ("10.x") and true.
bool GetDirectXVersion(uint32_t& number, std::string& name);

// Processor model from /proc/cpuinfo; empty when unknown.
std::string GetCPUName();
// Logical processors online; 0 when unknown.
int GetCPUCores();
// Running as root.
bool IsAdmin();

} // namespace kolvarin
