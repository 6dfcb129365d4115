#include "core/xml/lumoxml_p.h"

#include <atomic>
#include <new>

namespace kolvarin::xmlalloc {

namespace {

// Items come from 64 KB slabs filled by one thread at a time. A slab is
// freed when its last item is, whichever thread that is; so items may move
// between documents and threads like any heap object. The live count starts
// at a bias that only the retiring owner removes, so it cannot reach zero
// while the slab is still being filled.
constexpr size_t kSlabSize = 64 * 1024;
constexpr size_t kAlign = 16;
constexpr int64_t kBias = int64_t(1) << 40;
// Larger blocks go to the heap on their own.
constexpr size_t kMaxInSlab = kSlabSize / 8;

struct alignas(kAlign) Slab {
    std::atomic<int64_t> live{kBias};
};

// Every block is preceded by the slab it lives in (nullptr: heap).
struct alignas(kAlign) Header {
    Slab* slab;
};

constexpr size_t kFirst = (sizeof(Slab) + kAlign - 1) / kAlign * kAlign;

void release(Slab* slab, int64_t count)
{
    if (slab->live.fetch_sub(count, std::memory_order_acq_rel) == count)
        ::operator delete(slab);
}

struct Filling {
    Slab* slab = nullptr;
    size_t used = 0;
    int64_t handed = 0;

    ~Filling() { retire(); }

    void retire()
    {
        if (!slab)
            return;
        release(slab, kBias - handed);
        slab = nullptr;
        handed = 0;
    }
};

thread_local Filling filling;

} // namespace

void* Allocate(size_t size)
{
    const size_t total = sizeof(Header) + (size + kAlign - 1) / kAlign * kAlign;
    Header* header = nullptr;
    if (total > kMaxInSlab) {
        header = static_cast<Header*>(::operator new(total));
        header->slab = nullptr;
        return header + 1;
    }
    Filling& f = filling;
    if (!f.slab || f.used + total > kSlabSize) {
        f.retire();
        f.slab = new (::operator new(kSlabSize)) Slab;
        f.used = kFirst;
    }
    header = reinterpret_cast<Header*>(reinterpret_cast<char*>(f.slab) + f.used);
    header->slab = f.slab;
    f.used += total;
    ++f.handed;
    return header + 1;
}

void Release(void* block)
{
    if (!block)
        return;
    Header* header = static_cast<Header*>(block) - 1;
    if (header->slab)
        release(header->slab, 1);
    else
        ::operator delete(header);
}

} // namespace kolvarin::xmlalloc
