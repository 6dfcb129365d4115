#pragma once

#include <atomic>
#include <string>

#include "ziplib/dzlib.h"

namespace kolvarin::ziplib {

// The library's extraction: runs one unzip command to its end on the calling
// thread. Stops at the next member once abort is set or a callback asks.
// Returns the number of members written (tested with Test), or a negated
// DZCode when the archive cannot be read at all. A member that fails leaves
// no file behind; an existing file it would have replaced is kept.
int RunUnzip(const UnzCommand& command, const std::atomic<bool>& abort);

// The name a member is written under, below the base folder: a drive prefix,
// empty, "." and ".." parts are dropped and both separators count; with
// dirNames the remaining folders are kept ("a/b/c.txt"), else only the file's
// own name. Empty when the member names no file.
std::u16string SafeMemberName(const std::u16string& name, bool dirNames);

// Wildcard match ('*', '?'), ASCII letters compared without case, '\' and '/'
// the same.
bool MatchesSpec(const std::u16string& spec, const std::u16string& name);

} // namespace kolvarin::ziplib
