#pragma once

// The filter graph manager (CLSID_FilterGraph): keeps filters, builds
// connections (directly, through registered intermediate filters, or by
// rendering a pin or a file automatically), drives the filters' states with
// one reference clock, seeks through its source filters and queues events.
//
// Threads: building, state changes and seeking come from one thread (the
// main thread); filters notify events from their streaming threads.

#include "media/graphif.h"

namespace kolvarin::media {

ComPtr<IFilterGraph2> MakeFilterGraph();

} // namespace kolvarin::media
