#pragma once

// Enumerators over a snapshot of references or media types, taken when the
// enumerator is made.

#include <algorithm>
#include <vector>

#include "media/filterif.h"

namespace kolvarin::media {

// Interface's Next(count, Out*, fetched), Skip and Reset over a vector of
// Stored; Give turns one stored item into what the caller receives.
template <class Interface, class Stored, class Out, Out (*Give)(const Stored&)>
class VectorEnumerator : public ComObject<VectorEnumerator<Interface, Stored, Out, Give>, Interface> {
public:
    explicit VectorEnumerator(std::vector<Stored> items) : items_(std::move(items)) {}
    HRESULT Next(uint32_t count, Out* out, uint32_t* fetched) override
    {
        if (!out)
            return E_POINTER;
        uint32_t n = 0;
        while (n < count && pos_ < items_.size())
            out[n++] = Give(items_[pos_++]);
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(uint32_t count) override
    {
        const size_t left = items_.size() - pos_;
        pos_ += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        pos_ = 0;
        return S_OK;
    }

private:
    std::vector<Stored> items_;
    size_t pos_ = 0;
};

template <class Item>
Item* GiveReference(const ComPtr<Item>& item)
{
    return ComPtr<Item>(item).detach();
}
inline AMMediaType GiveCopy(const AMMediaType& type) { return type; }

template <class Interface, class Item>
using RefEnumerator = VectorEnumerator<Interface, ComPtr<Item>, Item*, &GiveReference<Item>>;
using MediaTypeEnumerator = VectorEnumerator<IEnumMediaTypes, AMMediaType, AMMediaType, &GiveCopy>;

} // namespace kolvarin::media
