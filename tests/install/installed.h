#pragma once

// Where the fixture InstallTree installed the build: a DESTDIR below the
// build folder, with an unusual prefix.

#include <filesystem>

namespace ktest::installed {

inline std::filesystem::path Root() { return KOLVARIN_INSTALLED; }
inline std::filesystem::path Program() { return Root() / KOLVARIN_INSTALLED_BINDIR / "kolvarin"; }
inline std::filesystem::path Share() { return Root() / KOLVARIN_INSTALLED_DATADIR; }
// The installed program's shared data folder.
inline std::filesystem::path Data() { return Share() / "kolvarin" / "data"; }

} // namespace ktest::installed
