#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace ktest {

// A fresh temporary folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to a file below the folder, creating missing parents.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
// UTF-16LE bytes (a log file, a socket record) as text; an odd last byte is
// left out.
std::u16string FromUtf16Le(std::string_view bytes);

// A file or folder below tests/data of the source tree.
std::filesystem::path TestData(const std::string& relative);

// No display, no sound card: Qt's offscreen platform and SDL's dummy audio
// driver, unless the environment already chose others. Called by the test mains.
void SetHeadlessEnvironment();

// Switches the category to a locale such as "de_DE.UTF-8", compiling it with
// localedef into a private folder (LOCPATH) when the system lacks it. False
// when that cannot be done either.
bool SetTestLocale(int category, const std::string& name);

// Points KOLVARIN_HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a temporary
// folder for the lifetime of the fixture, so no test touches a real home.
class TempHomeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path home() const { return dir_->path() / "home"; }
    const TempDir& dir() const { return *dir_; }

private:
    std::unique_ptr<TempDir> dir_;
};

} // namespace ktest
