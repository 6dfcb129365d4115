#pragma once

// Checked handles: slot index, generation and kind packed into 32 bits, so a
// freed or forged handle is recognised instead of reaching freed memory.

#include <cstdint>
#include <memory>
#include <vector>

namespace kolvarin::audio {

enum class HandleKind : std::uint32_t { Channel = 1, Sync = 2, Fx = 3 };

// Not thread-safe: callers hold the engine lock.
template <typename T>
class HandleTable {
public:
    explicit HandleTable(HandleKind kind) : kind_(static_cast<std::uint32_t>(kind)) {}

    std::uint32_t add(std::shared_ptr<T> object)
    {
        std::size_t slot = 0;
        while (slot < slots_.size() && slots_[slot].object)
            ++slot;
        if (slot == slots_.size()) {
            if (slots_.size() >= kMaxSlots)
                return 0;
            slots_.push_back({});
        }
        Slot& s = slots_[slot];
        s.generation = (s.generation + 1) & kGenerationMask;
        if (s.generation == 0)
            s.generation = 1;
        s.object = std::move(object);
        return (kind_ << 30) | (s.generation << 16) | static_cast<std::uint32_t>(slot);
    }

    std::shared_ptr<T> find(std::uint32_t handle) const
    {
        if ((handle >> 30) != kind_)
            return nullptr;
        const std::size_t slot = handle & 0xFFFF;
        if (slot >= slots_.size())
            return nullptr;
        const Slot& s = slots_[slot];
        if (!s.object || s.generation != ((handle >> 16) & kGenerationMask))
            return nullptr;
        return s.object;
    }

    std::shared_ptr<T> remove(std::uint32_t handle)
    {
        std::shared_ptr<T> object = find(handle);
        if (object)
            slots_[handle & 0xFFFF].object.reset();
        return object;
    }

    std::vector<std::shared_ptr<T>> all() const
    {
        std::vector<std::shared_ptr<T>> out;
        for (const Slot& s : slots_)
            if (s.object)
                out.push_back(s.object);
        return out;
    }

    void clear() { slots_.clear(); }

private:
    static constexpr std::size_t kMaxSlots = 0x10000;
    static constexpr std::uint32_t kGenerationMask = 0x3FFF;
    struct Slot {
        std::uint32_t generation = 0;
        std::shared_ptr<T> object;
    };
    std::uint32_t kind_;
    std::vector<Slot> slots_;
};

} // namespace kolvarin::audio
