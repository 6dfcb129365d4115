#include "media/mediatype.h"

namespace kolvarin::media {

void FreeMediaType(AMMediaType& mt) { mt = AMMediaType{}; }

bool MediaTypeMatchesPartial(const AMMediaType& offered, const AMMediaType& partial)
{
    auto match = [](const GUID& a, const GUID& b) { return b == GUID_NULL || a == b; };
    return match(offered.majortype, partial.majortype) && match(offered.subtype, partial.subtype) &&
           match(offered.formattype, partial.formattype);
}

} // namespace kolvarin::media
