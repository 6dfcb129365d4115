#pragma once

#include <string>
#include <vector>

namespace kolvarin::lazyload {

// The names a dlopen of Soname would load, each after the libraries it needs:
// the ones not loaded yet, Soname last. Read from the files' dynamic sections
// in the folders of the libraries already loaded; a library found in none of
// them is listed without its own needs (its dlopen then brings them).
std::vector<std::string> LoadOrder(const std::string& soname);

// The DT_NEEDED names of a 64-bit ELF file; empty for anything else.
std::vector<std::string> NeededLibraries(const std::string& path);

} // namespace kolvarin::lazyload
