#include "core/system/kpaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace kolvarin {

std::string InstallPath;
std::string UserPath;
std::string ApplicationPath;

namespace fs = std::filesystem;

std::string IncludeTrailingSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string DetectInstallPath()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    return IncludeTrailingSlash(exe.parent_path().string());
}

std::string DetectUserPath()
{
    fs::path folder;
    if (const char* home = std::getenv("KOLVARIN_HOME"); home && *home) {
        folder = home;
    } else if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        folder = fs::path(data) / "kolvarin";
    } else if (const char* h = std::getenv("HOME"); h && *h) {
        folder = fs::path(h) / ".local" / "share" / "kolvarin";
    } else {
        return {};
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return {};
    // The folder holds the single-instance socket: keep it private.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    return IncludeTrailingSlash(folder.string());
}

std::string DetectApplicationPath(const std::string& installPath)
{
    std::error_code ec;
    // Installed layout: <prefix>/bin/kolvarin with <prefix>/share/kolvarin/data;
    // build tree: <source>/build/src/app/kolvarin with <source>/data.
    fs::path dir(installPath);
    for (int level = 0; level < 6 && !dir.empty(); ++level, dir = dir.parent_path()) {
        if (fs::is_directory(dir / "data", ec))
            return IncludeTrailingSlash(dir.string());
        if (fs::is_directory(dir / "share" / "kolvarin" / "data", ec))
            return IncludeTrailingSlash((dir / "share" / "kolvarin").string());
        if (dir == dir.parent_path())
            break;
    }
    return installPath;
}

} // namespace kolvarin
