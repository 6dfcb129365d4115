#include "temphome.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace ktest {

TempDir::TempDir()
{
    std::random_device rd;
    for (;;) {
        auto candidate = std::filesystem::temp_directory_path() / ("kolvarin-test-" + std::to_string(rd()));
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

std::u16string FromUtf16Le(std::string_view bytes)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    return text;
}

std::filesystem::path TestData(const std::string& relative)
{
    return std::filesystem::path(KOLVARIN_SOURCE_DIR) / "tests" / "data" / relative;
}

void SetHeadlessEnvironment()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
}

bool SetTestLocale(int category, const std::string& name)
{
    if (std::setlocale(category, name.c_str()))
        return true;
    const size_t dot = name.find('.');
    if (dot == std::string::npos)
        return false;
    const auto folder = std::filesystem::temp_directory_path() / "kolvarin-test-locales";
    std::filesystem::create_directories(folder);
    const std::string command = "localedef -i " + name.substr(0, dot) + " -f " + name.substr(dot + 1) + " " +
                                (folder / name).string() + " >/dev/null 2>&1";
    if (!std::filesystem::exists(folder / name) && std::system(command.c_str()) != 0 &&
        !std::filesystem::exists(folder / name))
        return false;
    ::setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(category, name.c_str()) != nullptr;
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
