#include "core/stream/lumoclass.h"

#include <algorithm>
#include <cstdint>

namespace kolvarin {

TLumoClassList::TLumoClassList(bool ownsObjects, int32_t growthMask)
    : OwnsObjects(ownsObjects), growthMask_(growthMask < 0 ? 0 : growthMask)
{}

TLumoClassList::~TLumoClassList() { Clear(); }

int32_t TLumoClassList::roundUp(int64_t count) const
{
    const int64_t step = int64_t(growthMask_) + 1;
    return static_cast<int32_t>(std::min<int64_t>((count + step - 1) / step * step, INT32_MAX));
}

void TLumoClassList::reserveFor(int32_t count)
{
    if (count <= capacity_)
        return;
    // Fixed steps alone would make a long list quadratic to build.
    capacity_ = std::max(roundUp(count), roundUp(int64_t(capacity_) * 3 / 2));
    items_.reserve(static_cast<size_t>(capacity_));
}

int32_t TLumoClassList::Add(TLumoClass* item)
{
    if (Count() >= kMaxCount) {
        if (OwnsObjects)
            delete item;
        return -1;
    }
    reserveFor(Count() + 1);
    items_.push_back(item);
    return Count() - 1;
}

TLumoClass* TLumoClassList::Items(int32_t index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items_[static_cast<size_t>(index)];
}

void TLumoClassList::SetItem(int32_t index, TLumoClass* item)
{
    if (index < 0 || index >= Count())
        return;
    auto& slot = items_[static_cast<size_t>(index)];
    if (OwnsObjects && slot != item)
        delete slot;
    slot = item;
}

void TLumoClassList::SetCount(int32_t count)
{
    count = std::clamp(count, 0, kMaxCount);
    if (count >= Count()) {
        reserveFor(count);
        items_.resize(static_cast<size_t>(count), nullptr);
        return;
    }
    if (OwnsObjects) {
        for (size_t i = static_cast<size_t>(count); i < items_.size(); ++i)
            delete items_[i];
    }
    items_.resize(static_cast<size_t>(count));
    capacity_ = roundUp(count);
    items_.shrink_to_fit();
    items_.reserve(static_cast<size_t>(capacity_));
}

void TLumoClassList::Clear()
{
    if (OwnsObjects) {
        for (auto* item : items_)
            delete item;
    }
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
}

} // namespace kolvarin
