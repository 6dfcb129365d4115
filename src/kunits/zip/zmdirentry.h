#pragma once

#include <string>
#include <vector>

#include "ziplib/dzformat.h"

namespace kolvarin {

// One listed entry of an archive's central directory: the header's fields as
// stored (Extra is the entry's extra data, Encrypted() its flags bit 0) and
// its name and comment converted to text.
struct TZMDirEntry : ziplib::CentralHeader {
    std::u16string FileName;
    std::u16string FileComment;
};

// The entries of one archive, in directory order; owned by the component.
using TZMDataList = std::vector<TZMDirEntry>;

} // namespace kolvarin
