#pragma once

// Reference-counted objects with interface queries, in the platform's shape:
// every interface derives from IUnknown, names its identifier as `iid` and
// its parent interface as `Base`. ComPtr holds one reference; ComObject
// implements IUnknown for a class and the interfaces it lists.
//
// Reference counts are atomic, so references may be taken and dropped on any
// thread; an object is deleted when its last reference goes.

#include <atomic>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "media/guid.h"
#include "media/hresult.h"

namespace kolvarin::media {

class IUnknown {
public:
    static constexpr IID iid{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    // Stores an added reference in *out, or nullptr with E_NOINTERFACE.
    virtual HRESULT QueryInterface(REFIID id, void** out) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// An owning reference to an interface.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    ComPtr(T* p) : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& o) : ComPtr(static_cast<T*>(o.get()))
    {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }

    // Wraps a pointer that already carries one reference for us.
    static ComPtr Adopt(T* p)
    {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    void reset()
    {
        if (auto* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // Gives the reference away.
    T* detach() { return std::exchange(p_, nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held and returns the slot.
    T** put()
    {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // This object's interface I, or an empty pointer.
    template <class I>
    ComPtr<I> as() const
    {
        ComPtr<I> r;
        if (p_)
            p_->QueryInterface(I::iid, r.putVoid());
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// The interface I of any object, or an empty pointer.
template <class I, class U>
ComPtr<I> QueryAs(U* object)
{
    ComPtr<I> r;
    if (object)
        object->QueryInterface(I::iid, r.putVoid());
    return r;
}

// True when two references name the same object (compared by IUnknown).
bool SameObject(IUnknown* a, IUnknown* b);

namespace detail {
template <class I>
constexpr bool ImplementsId(REFIID id)
{
    if (id == I::iid)
        return true;
    if constexpr (std::is_same_v<I, IUnknown>)
        return false;
    else
        return ImplementsId<typename I::Base>(id);
}
} // namespace detail

// Implements IUnknown for Derived and its interfaces Is... (each with the
// parents named by its Base chain). QueryExtra answers other identifiers,
// for objects that forward to an inner object.
template <class Derived, class... Is>
class ComObject : public Is... {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    HRESULT QueryInterface(REFIID id, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (id == IUnknown::iid) {
            *out = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        } else {
            (void)(... || (detail::ImplementsId<Is>(id) && (*out = static_cast<Is*>(this), true)));
        }
        if (*out) {
            AddRef();
            return S_OK;
        }
        return QueryExtra(id, out);
    }
    uint32_t AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t Release() override
    {
        const uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual HRESULT QueryExtra(REFIID, void**) { return E_NOINTERFACE; }

private:
    using FirstInterface = std::tuple_element_t<0, std::tuple<Is...>>;
    std::atomic<uint32_t> refs_{0};
};

// Creates an object and hands out its first reference.
template <class T, class... Args>
ComPtr<T> MakeCom(Args&&... args)
{
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace kolvarin::media
