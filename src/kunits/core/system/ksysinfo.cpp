#include "core/system/ksysinfo.h"

#include <fstream>
#include <string_view>

#include <sys/utsname.h>
#include <unistd.h>

namespace kolvarin {

namespace {

std::string Trim(std::string text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The value of KEY in an os-release file, quotes removed.
std::string OsReleaseValue(const std::string& key)
{
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(key + "=", 0) != 0)
                continue;
            std::string value = Trim(line.substr(key.size() + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

} // namespace

TOSVersion GetOSVersion() { return TOSVersion::Linux; }

std::string GetOSName(TOSVersion version)
{
    switch (version) {
    case TOSVersion::Win95: return "Windows 95";
    case TOSVersion::Win98: return "Windows 98";
    case TOSVersion::Win98SE: return "Windows 98 Second Edition";
    case TOSVersion::WinME: return "Windows Millenium Edition";
    case TOSVersion::WinNT: return "Windows NT";
    case TOSVersion::Win2000: return "Windows 2000";
    case TOSVersion::WinXP: return "Windows XP";
    case TOSVersion::WinVista: return "Windows Vista";
    case TOSVersion::Win7: return "Windows 7";
    case TOSVersion::Linux: {
        utsname names{};
        std::string kernel = ::uname(&names) == 0 ? std::string(names.release) : std::string();
        std::string name = "Linux " + kernel;
        if (std::string distribution = OsReleaseValue("PRETTY_NAME"); !distribution.empty())
            name += " (" + distribution + ")";
        return name;
    }
    case TOSVersion::Unknown: break;
    }
    return {};
}

std::string GetDirectXVersionName(const std::string& registryText)
{
    static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
        {"4.02.0095", "1.0"},      {"4.03.00.1096", "2.0"},     {"4.04.0068", "3.0"},      {"4.04.0069", "3.0"},
        {"4.05.00.0155", "5.0"},   {"4.05.01.1721", "5.0"},     {"4.05.01.1998", "5.0"},   {"4.06.02.0436", "6.0"},
        {"4.07.00.0700", "7.0"},   {"4.07.00.0716", "7.0a"},    {"4.08.00.0400", "8.0"},   {"4.08.01.0810", "8.1"},
        {"4.09.00.0900", "9.0"},   {"4.09.0000.0900", "9.0"},   {"4.09.00.0901", "9.0a"},  {"4.09.0000.0901", "9.0a"},
        {"4.09.00.0902", "9.0b"},  {"4.09.0000.0902", "9.0b"},  {"4.09.00.0904", "9.0c"},  {"4.09.0000.0904", "9.0c"},
        {"6.00.60.16386", "10.0"}, {"6.00.6000.16386", "10.0"}, {"6.00.61.18000", "10.0"}, {"6.00.6001.18000", "10.0"},
    };
    for (const auto& [text, name] : kNames) {
        if (text == registryText)
            return std::string(name);
    }
    return "Unknown: " + registryText;
}

bool GetDirectXVersion(uint32_t& number, std::string& name)
{
    number = 0x00100000;
    name = "10.x";
    return true;
}

std::string GetCPUName()
{
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("model name", 0) == 0) {
            size_t colon = line.find(':');
            if (colon != std::string::npos)
                return Trim(line.substr(colon + 1));
        }
    }
    return {};
}

int GetCPUCores()
{
    long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 0;
}

bool IsAdmin() { return ::geteuid() == 0; }

} // namespace kolvarin
