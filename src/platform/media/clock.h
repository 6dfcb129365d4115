#pragma once

// The system reference clock: monotonic time in 100 ns units. The graph uses
// it when no audio renderer offers a clock.

#include "media/filterif.h"

namespace kolvarin::media {

// Monotonic time now, in 100 ns units.
REFERENCE_TIME MonotonicNow();

ComPtr<IReferenceClock> MakeSystemClock();

} // namespace kolvarin::media
