#pragma once

// The null renderer (CLSID_NullRenderer): takes any type and discards each
// sample as soon as it comes, without waiting for its time. Added by hand
// only (never chosen by automatic rendering); benchmarks decode through it.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeNullRenderer();

} // namespace kolvarin::media
