#pragma once

#include <istream>
#include <string>

namespace kolvarin {

// The next line of a text file that is neither empty nor starts with "/",
// without its line end (LF or CR LF). At the end of the file the line is
// empty. Used by the equalizer preset reader and the line-oriented skin
// reader.
void ReadLnSkipComments(std::istream& file, std::string& line);

} // namespace kolvarin
