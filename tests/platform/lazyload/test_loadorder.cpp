#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <link.h>

#include <gtest/gtest.h>

#include "lazyload/loadorder.h"
#include "temphome.h"

namespace kolvarin::lazyload {
namespace {

// The file of a library this program has loaded.
std::string LoadedPath(const std::string& part)
{
    std::pair<std::string, std::string> search{part, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto& s = *static_cast<std::pair<std::string, std::string>*>(data);
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            if (s.second.empty() && name.find(s.first) != std::string::npos)
                s.second = name;
            return 0;
        },
        &search);
    return search.second;
}

TEST(LoadOrder, NeededNamesComeFromTheDynamicSectionAndNothingElseParses)
{
    const std::string cxx = LoadedPath("libstdc++.so");
    ASSERT_FALSE(cxx.empty());
    const auto needed = NeededLibraries(cxx);
    EXPECT_NE(std::find(needed.begin(), needed.end(), "libc.so.6"), needed.end());
    EXPECT_NE(std::find(needed.begin(), needed.end(), "libm.so.6"), needed.end());

    ktest::TempDir dir;
    std::string elf;
    std::ifstream(cxx, std::ios::binary).read(elf.assign(4096, '\0').data(), 4096);
    const struct {
        const char* name;
        std::string bytes;
    } others[] = {{"text", "not a library"}, {"empty", ""}, {"head only", elf.substr(0, 64)}, {"cut", elf}};
    for (const auto& other : others)
        EXPECT_TRUE(NeededLibraries(dir.write(other.name, other.bytes).string()).empty()) << other.name;
    EXPECT_TRUE(NeededLibraries((dir.path() / "missing").string()).empty());
}

// What a library brings, each after its own needs; nothing already loaded.
TEST(LoadOrder, ListsTheLibrariesToLoadDependenciesFirst)
{
    const char* soname = "libcurl.so.4"; // not linked: the program opens it on first use
    ASSERT_EQ(dlopen(soname, RTLD_NOW | RTLD_NOLOAD), nullptr);
    const auto order = LoadOrder(soname);
    ASSERT_GT(order.size(), 3u);
    EXPECT_EQ(order.back(), soname);
    EXPECT_EQ(std::find(order.begin(), order.end(), "libc.so.6"), order.end()) << "loaded already";
    const std::string folder = LoadedPath("libc.so.6").substr(0, LoadedPath("libc.so.6").rfind('/') + 1);
    for (size_t i = 0; i < order.size(); ++i)
        for (const std::string& needed : NeededLibraries(folder + order[i])) {
            const auto at = std::find(order.begin(), order.end(), needed);
            EXPECT_TRUE(at == order.end() || at < order.begin() + static_cast<long>(i))
                << needed << " after " << order[i];
        }
    for (const std::string& name : order) {
        void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << name << ": " << dlerror();
    }
    EXPECT_TRUE(LoadOrder(soname).empty()) << "once loaded, nothing is left to load";
}

} // namespace
} // namespace kolvarin::lazyload
