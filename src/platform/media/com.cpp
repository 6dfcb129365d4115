#include "media/com.h"

namespace kolvarin::media {

bool SameObject(IUnknown* a, IUnknown* b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    ComPtr<IUnknown> ua = QueryAs<IUnknown>(a);
    ComPtr<IUnknown> ub = QueryAs<IUnknown>(b);
    return ua.get() == ub.get();
}

} // namespace kolvarin::media
