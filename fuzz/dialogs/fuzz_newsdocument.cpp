// Reads arbitrary bytes as the news document: a refusal carries no news,
// and everything read is text the markup list can take.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dialogs/newsdocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    const TNewsReadResult read = ReadNewsDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.Status != TNewsStatus::Ok && (!read.Document.Entries.empty() || !read.Document.ID.empty()))
        std::abort();
    if (read.Status == TNewsStatus::NotXml && read.Offset > size)
        std::abort();
    return 0;
}
