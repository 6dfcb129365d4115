#include "lazyload/loadorder.h"

#include <algorithm>
#include <set>
#include <string_view>

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

namespace kolvarin::lazyload {

namespace {

class File {
public:
    explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~File()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Read(void* into, size_t size, uint64_t offset) const
    {
        return fd_ >= 0 && ::pread(fd_, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
    }

private:
    int fd_;
};

// The folders and the file names of the libraries loaded now. A library
// opened by its SONAME keeps that name as its file name.
struct Loaded {
    std::vector<std::string> folders;
    std::set<std::string> names;
};

Loaded LoadedLibraries()
{
    Loaded loaded;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto& l = *static_cast<Loaded*>(data);
            const std::string path = info->dlpi_name ? info->dlpi_name : "";
            const size_t slash = path.rfind('/');
            if (slash == std::string::npos)
                return 0;
            const std::string folder = path.substr(0, slash + 1);
            if (std::find(l.folders.begin(), l.folders.end(), folder) == l.folders.end())
                l.folders.push_back(folder);
            l.names.insert(path.substr(slash + 1));
            return 0;
        },
        &loaded);
    return loaded;
}

void Walk(const std::string& soname, const Loaded& loaded, std::set<std::string>& seen, std::vector<std::string>& order)
{
    if (loaded.names.contains(soname) || !seen.insert(soname).second)
        return;
    for (const std::string& folder : loaded.folders)
        if (::access((folder + soname).c_str(), R_OK) == 0) {
            for (const std::string& needed : NeededLibraries(folder + soname))
                Walk(needed, loaded, seen, order);
            break;
        }
    order.push_back(soname);
}

} // namespace

std::vector<std::string> NeededLibraries(const std::string& path)
{
    const File file(path);
    ElfW(Ehdr) header{};
    if (!file.Read(&header, sizeof header, 0) ||
        std::string_view(reinterpret_cast<char*>(header.e_ident), 4) != ELFMAG ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum > 256)
        return {};
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (!file.Read(segments.data(), segments.size() * sizeof(ElfW(Phdr)), header.e_phoff))
        return {};
    // The string table is named by its address; the loaded segment holding it gives its place in the file.
    auto fileOffset = [&](uint64_t address, uint64_t& offset) {
        for (const auto& s : segments)
            if (s.p_type == PT_LOAD && address >= s.p_vaddr && address - s.p_vaddr < s.p_filesz) {
                offset = address - s.p_vaddr + s.p_offset;
                return true;
            }
        return false;
    };
    for (const auto& segment : segments) {
        if (segment.p_type != PT_DYNAMIC || segment.p_filesz > (1 << 20))
            continue;
        std::vector<ElfW(Dyn)> entries(segment.p_filesz / sizeof(ElfW(Dyn)));
        if (!file.Read(entries.data(), entries.size() * sizeof(ElfW(Dyn)), segment.p_offset))
            return {};
        uint64_t table = 0, tableSize = 0;
        std::vector<uint64_t> names;
        for (const auto& entry : entries) {
            if (entry.d_tag == DT_NEEDED)
                names.push_back(entry.d_un.d_val);
            else if (entry.d_tag == DT_STRTAB)
                table = entry.d_un.d_ptr;
            else if (entry.d_tag == DT_STRSZ)
                tableSize = entry.d_un.d_val;
        }
        uint64_t offset = 0;
        if (tableSize == 0 || tableSize > (1 << 24) || !fileOffset(table, offset))
            return {};
        std::string strings(tableSize, '\0');
        if (!file.Read(strings.data(), strings.size(), offset))
            return {};
        std::vector<std::string> needed;
        for (uint64_t name : names)
            if (name < strings.size())
                needed.emplace_back(strings.c_str() + name);
        return needed;
    }
    return {};
}

std::vector<std::string> LoadOrder(const std::string& soname)
{
    std::set<std::string> seen;
    std::vector<std::string> order;
    Walk(soname, LoadedLibraries(), seen, order);
    return order;
}

} // namespace kolvarin::lazyload
