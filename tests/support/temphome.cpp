#include "temphome.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace ktest {

TempDir::TempDir()
{
    std::random_device rd;
    for (;;) {
        auto candidate = std::filesystem::temp_directory_path()
                         / ("kolvarin-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& relative, const std::string& bytes) const
{
    auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void TempHomeTest::SetUp()
{
    dir_ = std::make_unique<TempDir>();
    std::filesystem::create_directories(home());
    ::setenv("KOLVARIN_HOME", home().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir_->path() / "xdg-data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_->path() / "xdg-config").c_str(), 1);
}

void TempHomeTest::TearDown()
{
    ::unsetenv("KOLVARIN_HOME");
    dir_.reset();
}

} // namespace ktest
