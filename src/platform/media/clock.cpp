#include "media/clock.h"

#include <chrono>

#include "media/uuids.h"

namespace kolvarin::media {
namespace {

class SystemClock : public ComObject<SystemClock, IReferenceClock, IPersist> {
public:
    HRESULT GetTime(REFERENCE_TIME* time) override
    {
        if (!time)
            return E_POINTER;
        *time = MonotonicNow();
        return S_OK;
    }
    HRESULT GetClassID(CLSID* id) override
    {
        if (!id)
            return E_POINTER;
        *id = CLSID_SystemClock;
        return S_OK;
    }
};

} // namespace

REFERENCE_TIME MonotonicNow()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

ComPtr<IReferenceClock> MakeSystemClock() { return MakeCom<SystemClock>(); }

} // namespace kolvarin::media
