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

const TKDataLocations& BuiltDataLocations()
{
    static const TKDataLocations built{KOLVARIN_INSTALLED_DATA, KOLVARIN_BUILD_TREE, KOLVARIN_BUILD_DATA};
    return built;
}

namespace {

bool HoldsData(const fs::path& dir)
{
    std::error_code ec;
    return !dir.empty() && fs::is_directory(dir / "data", ec);
}

// Symbolic links resolved, as the program's own folder is.
std::string Canonical(const std::string& folder)
{
    std::error_code ec;
    const fs::path path = fs::weakly_canonical(folder, ec);
    return ec ? folder : IncludeTrailingSlash(path.string());
}

} // namespace

std::string DetectApplicationPath(const std::string& installPath, const TKDataLocations& where)
{
    // The installed layout first: an installed copy of a build-tree program
    // must not read the build's files, which may change or go.
    if (!where.Installed.empty()) {
        const fs::path installed = (fs::path(installPath) / where.Installed).lexically_normal();
        if (HoldsData(installed))
            return IncludeTrailingSlash(installed.string());
    }
    if (!where.BuildTree.empty() && installPath.starts_with(Canonical(where.BuildTree)) && HoldsData(where.BuildData))
        return IncludeTrailingSlash(where.BuildData);
    // A copy moved out of its layout: the nearest data/ above it.
    fs::path dir(installPath);
    for (int level = 0; level < 6 && !dir.empty(); ++level, dir = dir.parent_path()) {
        if (HoldsData(dir))
            return IncludeTrailingSlash(dir.string());
        if (HoldsData(dir / "share" / "kolvarin"))
            return IncludeTrailingSlash((dir / "share" / "kolvarin").string());
        if (dir == dir.parent_path())
            break;
    }
    return installPath;
}

} // namespace kolvarin
