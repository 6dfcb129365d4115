#pragma once

// The registry of filter classes: each filter class is registered with its
// class identifier, friendly name, merit, category and the input types it
// takes, and is created through CoCreateInstance, by the graph's automatic
// rendering, or through a moniker of the system device enumerator.
//
// Registration happens at start-up (the built-in filters register on first
// use); look-ups may come from any thread.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "media/filterif.h"

namespace kolvarin::media {

inline constexpr uint32_t MERIT_PREFERRED = 0x800000;
inline constexpr uint32_t MERIT_NORMAL = 0x600000;
inline constexpr uint32_t MERIT_UNLIKELY = 0x400000;
inline constexpr uint32_t MERIT_DO_NOT_USE = 0x200000;

struct FilterTemplate {
    CLSID clsid;
    std::u16string name;
    uint32_t merit = MERIT_DO_NOT_USE;
    GUID category; // CLSID_LegacyAmFilterCategory, CLSID_AudioRendererCategory, ...
    // (major type, subtype) pairs the input pins take; GUID_NULL matches any.
    std::vector<std::pair<GUID, GUID>> inputs;
    std::function<ComPtr<IBaseFilter>()> create;
};

// Adds or replaces (same class identifier) a filter class.
void RegisterFilterClass(FilterTemplate filter);
// Removes a filter class; false when it was not registered.
bool UnregisterFilterClass(const CLSID& clsid);
// Every registered class, highest merit first (registration order within a merit).
std::vector<FilterTemplate> RegisteredFilterClasses();
// The class's template, or nothing.
const FilterTemplate* FindFilterClass(const CLSID& clsid);

class IPropertyBag : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    // "FriendlyName" and "CLSID" (braced text); E_INVALIDARG for other names.
    virtual HRESULT Read(const std::u16string& name, std::u16string* value) = 0;

protected:
    ~IPropertyBag() = default;
};

class IMoniker : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x0000000F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    // Creates the object (a filter) and queries id.
    virtual HRESULT BindToObject(REFIID id, void** out) = 0;
    // IPropertyBag with the registration's values.
    virtual HRESULT BindToStorage(REFIID id, void** out) = 0;

protected:
    ~IMoniker() = default;
};

class IEnumMoniker : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x00000102, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    virtual HRESULT Next(uint32_t count, IMoniker** monikers, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumMoniker() = default;
};

// The category of categories: its monikers name the categories.
inline constexpr GUID CLSID_ActiveMovieCategories{
    0xDA4E3DA0, 0xD07D, 0x11D0, {0xBD, 0x50, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

class ICreateDevEnum : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
    // The filters of a category in registration order (S_FALSE and no
    // enumerator when the category is empty). For CLSID_ActiveMovieCategories
    // the categories themselves, whose "CLSID" is the category identifier.
    virtual HRESULT CreateClassEnumerator(const GUID& category, IEnumMoniker** out, uint32_t flags) = 0;

protected:
    ~ICreateDevEnum() = default;
};

// A moniker for a registered class (for graphs that render automatically).
ComPtr<IMoniker> MonikerFor(const FilterTemplate& filter);

// The DirectX Media Objects of a category: there are none on this system,
// so the enumeration is always empty (S_OK, nothing listed).
struct DmoEntry {
    CLSID clsid;
    std::u16string name;
};
HRESULT DMOEnum(const GUID& category, std::vector<DmoEntry>* out);

} // namespace kolvarin::media
