#include "core/system/kfiles.h"

#include <algorithm>
#include <set>
#include <utility>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/threadsafety.h"
#include "core/system/kdebug.h"
#include "core/system/kdrives.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"

namespace kolvarin {

namespace {

// Windows file attribute bits, as the log has always shown them.
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrHidden = 0x2;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrInvalid = 0xFFFFFFFF;

uint32_t fileAttributes(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return kAttrInvalid;
    uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if (::access(path.c_str(), W_OK) != 0)
        attributes |= kAttrReadOnly;
    const size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    if (path[slash == std::string::npos ? 0 : slash + 1] == '.')
        attributes |= kAttrHidden;
    return attributes;
}

bool testAttributes(const char* proc, std::u16string_view path, bool wantDirectory)
{
    Log(proc, u"Enter with \"" + std::u16string(path) + u"\"");
    Log(proc, u"Get file attribute code...");
    const uint32_t attributes = fileAttributes(Utf16ToUtf8(path));
    Log(proc, WideFormat(u"Get file attribute code ok, got: %u", attributes));
    const bool result = attributes != kAttrInvalid && ((attributes & kAttrDirectory) != 0) == wantDirectory;
    Log(proc, result ? u"Leave with result: true" : u"Leave with result: false");
    return result;
}

struct Entry {
    std::string name;
    bool isDirectory;
};

// The entries of a folder in name order, without "." and "..".
std::vector<Entry> listFolder(const std::string& folder)
{
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return entries;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        const bool isDirectory = ::stat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({name, isDirectory});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

bool matchesMask(const std::string& mask, const std::string& name)
{
    if (mask == "*.*" || mask == "*")
        return true;
    return ::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

void scan(const std::string& folder, const std::string& mask, bool recursive, std::vector<std::string>& list,
          std::set<std::pair<dev_t, ino_t>>& visited)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !visited.insert({st.st_dev, st.st_ino}).second)
        return;
    const std::vector<Entry> entries = listFolder(folder);
    for (const auto& e : entries) {
        if (!e.isDirectory && matchesMask(mask, e.name))
            list.push_back(folder + e.name);
    }
    if (!recursive)
        return;
    for (const auto& e : entries) {
        if (e.isDirectory)
            scan(folder + e.name + '/', mask, recursive, list, visited);
    }
}

// Guards the texts; taken alone.
Mutex captionLock;
TKDVDCaptionTexts captionTexts GUARDED_BY(captionLock);

TKDVDCaptionTexts currentCaptionTexts()
{
    MutexLock guard(captionLock);
    return captionTexts;
}

// The last path component, splitting at "/" and "\".
std::u16string_view lastPart(std::u16string_view path)
{
    const size_t at = path.find_last_of(u"/\\");
    return at == std::u16string_view::npos ? path : path.substr(at + 1);
}

std::u16string_view folderOf(std::u16string_view path)
{
    const size_t at = path.find_last_of(u"/\\");
    return at == std::u16string_view::npos ? std::u16string_view() : path.substr(0, at);
}

} // namespace

bool KFileExists(std::u16string_view fileName) { return testAttributes("KFileExists", fileName, false); }

bool KDirectoryExists(std::u16string_view directory) { return testAttributes("KDirectoryExists", directory, true); }

std::string ExtractFileNameA(std::string_view path)
{
    const size_t at = path.find_last_of("/\\");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::u16string IncludeTrailingBackslashW(std::u16string_view path)
{
    std::u16string out(path);
    if (out.empty() || out.back() != u'/')
        out += u'/';
    return out;
}

std::u16string AddTrailingBackslashW(std::u16string_view path)
{
    return path.empty() ? std::u16string() : IncludeTrailingBackslashW(path);
}

void ScanDirectory(const std::string& folder, const std::string& mask, bool recursive, std::vector<std::string>& list)
{
    std::set<std::pair<dev_t, ino_t>> visited;
    scan(withSlash(folder), mask, recursive, list, visited);
}

void ScanDirectoryW(const std::u16string& folder, const std::u16string& mask, bool recursive,
                    std::vector<std::u16string>& list)
{
    std::vector<std::string> found;
    ScanDirectory(Utf16ToUtf8(folder), Utf16ToUtf8(mask), recursive, found);
    for (const auto& f : found)
        list.push_back(Utf8ToUtf16(f));
}

void GetSubDirectories(const std::u16string& folder, std::vector<std::u16string>& list)
{
    const std::string base = withSlash(Utf16ToUtf8(folder));
    for (const auto& e : listFolder(base)) {
        if (e.isDirectory)
            list.push_back(Utf8ToUtf16(base + e.name));
    }
}

void SetDVDCaptionTexts(const TKDVDCaptionTexts& texts)
{
    MutexLock guard(captionLock);
    captionTexts = texts;
}

std::u16string GetCaptionFromFileName(std::u16string_view fileName)
{
    const std::u16string_view name = lastPart(fileName);
    const size_t dot = name.find_last_of(u'.');
    const std::u16string ext = dot == std::u16string_view::npos ? std::u16string() : WideLowerCase(name.substr(dot));
    if (ext != u".ifo" && ext != u".vob")
        return std::u16string(name.substr(0, dot));

    const TKDVDCaptionTexts texts = currentCaptionTexts();
    const std::u16string_view folder = folderOf(fileName);
    if (WideLowerCase(name) == u"video_ts.ifo" && IsCDDrive(fileName)) {
        std::u16string label = GetVolumeLabelW(fileName);
        return WideFormat(texts.Disc, label.empty() ? texts.Untitled : label);
    }
    if (WideLowerCase(lastPart(folder)) == u"video_ts") {
        const std::u16string_view above = lastPart(folderOf(folder));
        return above.empty() ? texts.NoDirectory : WideFormat(texts.Directory, above);
    }
    return WideFormat(texts.File, name);
}

namespace {

// True for an empty name or a name of the running program.
bool isProgramFile(const std::string& fileName)
{
    if (fileName.empty())
        return true;
    struct stat self {};
    struct stat other {};
    return ::stat("/proc/self/exe", &self) == 0 && ::stat(fileName.c_str(), &other) == 0 &&
           self.st_dev == other.st_dev && self.st_ino == other.st_ino;
}

} // namespace

std::string GetFileVersion(const std::string& fileName)
{
    return isProgramFile(fileName) ? KOLVARIN_FILE_VERSION : std::string();
}

std::string GetFileCopyright(const std::string& fileName)
{
    return isProgramFile(fileName) ? "Copyright \xA9 2004-2026 The Kolvarin developers" : std::string();
}

} // namespace kolvarin
