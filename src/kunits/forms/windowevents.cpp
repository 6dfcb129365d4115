#include "forms/windowevents.h"

namespace kolvarin {

TKWindowEvents& WindowEvents()
{
    static TKWindowEvents events;
    return events;
}

} // namespace kolvarin
