#include "core/stream/kreadln.h"

namespace kolvarin {

void ReadLnSkipComments(std::istream& file, std::string& line)
{
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '/')
            return;
    }
    line.clear();
}

} // namespace kolvarin
