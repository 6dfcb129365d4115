#include "core/system/kdrives.h"

#include <fstream>
#include <sstream>

#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

std::string readWhole(const char* file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// /proc/mounts escapes blanks and the like as octal "\040".
std::string unescapeMount(std::string_view field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view oct = field.substr(i + 1, 3);
            if (oct.find_first_not_of("01234567") == std::string_view::npos) {
                out += static_cast<char>(((oct[0] - '0') << 6) | ((oct[1] - '0') << 3) | (oct[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isBelow(std::string_view path, std::string_view folder)
{
    if (folder.empty() || path.substr(0, folder.size()) != folder)
        return false;
    return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

std::string mountPointOf(std::string_view path)
{
    return FindCDMountPoint(path, GetCDDrives(), readWhole("/proc/mounts"));
}

} // namespace

std::vector<std::string> ParseCDRomInfo(std::string_view info)
{
    std::vector<std::string> drives;
    std::istringstream lines{std::string(info)};
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("drive name:", 0) != 0)
            continue;
        std::istringstream names(line.substr(11));
        for (std::string name; names >> name;)
            drives.push_back("/dev/" + name);
    }
    return drives;
}

std::string FindCDMountPoint(std::string_view path, const std::vector<std::string>& drives, std::string_view mounts)
{
    std::istringstream lines{std::string(mounts)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device;
        std::string folder;
        if (!(fields >> device >> folder))
            continue;
        device = unescapeMount(device);
        folder = unescapeMount(folder);
        for (const auto& drive : drives) {
            if (device == drive && (path == drive || isBelow(path, folder)))
                return folder;
        }
    }
    return {};
}

std::vector<std::string> GetCDDrives() { return ParseCDRomInfo(readWhole("/proc/sys/dev/cdrom/info")); }

bool IsCDDrive(std::u16string_view path)
{
    const std::string p = Utf16ToUtf8(path);
    for (const auto& drive : GetCDDrives()) {
        if (p == drive)
            return true;
    }
    return !mountPointOf(p).empty();
}

std::u16string GetVolumeLabelW(std::u16string_view path) { return Utf8ToUtf16(GetVolumeLabel(Utf16ToUtf8(path))); }

std::string GetVolumeLabel(std::string_view path)
{
    std::string folder = mountPointOf(path);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const size_t slash = folder.find_last_of('/');
    return slash == std::string::npos || folder.size() == 1 ? std::string() : folder.substr(slash + 1);
}

} // namespace kolvarin
