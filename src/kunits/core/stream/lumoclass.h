#pragma once

#include <cstdint>
#include <vector>

namespace kolvarin {

// Base of the Lumo object classes (XML items, lists). Destroyed through a
// base pointer, so the destructor is virtual.
class TLumoClass {
public:
    TLumoClass() = default;
    virtual ~TLumoClass() = default;
    TLumoClass(const TLumoClass&) = delete;
    TLumoClass& operator=(const TLumoClass&) = delete;
};

// An array list of object references. With OwnsObjects the list destroys
// every item it drops (Clear, a smaller Count, destruction); without it the
// caller keeps ownership. Capacity is always a multiple of growth mask + 1,
// but grows by at least half again each time so appending stays linear.
class TLumoClassList : public TLumoClass {
public:
    static constexpr int32_t kMaxCount = 536870910;

    explicit TLumoClassList(bool ownsObjects = false, int32_t growthMask = 1023);
    ~TLumoClassList() override;

    // Appends Item and returns its index; -1 when the list is full. An owning
    // list takes the item even when it returns -1 (it destroys it).
    int32_t Add(TLumoClass* item);
    // nullptr outside 0 .. Count - 1.
    TLumoClass* Items(int32_t index) const;
    // Replaces the reference at Index (no-op outside the range); an owning
    // list destroys the old item.
    void SetItem(int32_t index, TLumoClass* item);

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    // Clamped to 0 .. kMaxCount; new slots are nullptr, dropped ones are
    // destroyed when the list owns them.
    void SetCount(int32_t count);
    int32_t Capacity() const { return capacity_; }
    void Clear();

    bool OwnsObjects = false;

private:
    int32_t roundUp(int64_t count) const;
    void reserveFor(int32_t count);

    std::vector<TLumoClass*> items_;
    int32_t capacity_ = 0;
    int32_t growthMask_;
};

} // namespace kolvarin
