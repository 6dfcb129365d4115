#include "media/devenum.h"

#include <algorithm>
#include <deque>

#include "base/threadsafety.h"
#include "media/enumerators.h"
#include "media/uuids.h"

namespace kolvarin::media {

std::vector<FilterTemplate> BuiltinFilters(); // builtins.cpp

namespace {

struct Registry {
    // Taken alone.
    Mutex lock;
    std::deque<FilterTemplate> filters GUARDED_BY(lock); // addresses stay valid as it grows
};

Registry& TheRegistry()
{
    static Registry registry;
    static const bool filled = [] {
        MutexLock lock(registry.lock);
        for (auto& f : BuiltinFilters())
            registry.filters.push_back(std::move(f));
        return true;
    }();
    (void)filled;
    return registry;
}

std::u16string Utf16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

class PropertyBag : public ComObject<PropertyBag, IPropertyBag> {
public:
    PropertyBag(std::u16string name, const GUID& clsid) : name_(std::move(name)), clsid_(clsid) {}
    HRESULT Read(const std::u16string& name, std::u16string* value) override
    {
        if (!value)
            return E_POINTER;
        if (name == u"FriendlyName")
            *value = name_;
        else if (name == u"CLSID")
            *value = Utf16(GuidToString(clsid_));
        else
            return E_INVALIDARG;
        return S_OK;
    }

private:
    std::u16string name_;
    GUID clsid_;
};

class Moniker : public ComObject<Moniker, IMoniker> {
public:
    Moniker(std::u16string name, const GUID& clsid, std::function<ComPtr<IBaseFilter>()> create)
        : name_(std::move(name)), clsid_(clsid), create_(std::move(create))
    {}
    HRESULT BindToObject(REFIID id, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!create_)
            return E_NOINTERFACE;
        ComPtr<IBaseFilter> filter = create_();
        return filter ? filter->QueryInterface(id, out) : E_OUTOFMEMORY;
    }
    HRESULT BindToStorage(REFIID id, void** out) override
    {
        return MakeCom<PropertyBag>(name_, clsid_)->QueryInterface(id, out);
    }

private:
    std::u16string name_;
    GUID clsid_;
    std::function<ComPtr<IBaseFilter>()> create_;
};

struct Category {
    GUID id;
    const char16_t* name;
};
constexpr Category kCategories[] = {
    {CLSID_LegacyAmFilterCategory, u"DirectShow Filters"},
    {CLSID_AudioRendererCategory, u"Audio Renderers"},
};

class DevEnum : public ComObject<DevEnum, ICreateDevEnum> {
public:
    HRESULT CreateClassEnumerator(const GUID& category, IEnumMoniker** out, uint32_t) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        std::vector<ComPtr<IMoniker>> list;
        if (category == CLSID_ActiveMovieCategories) {
            for (const auto& c : kCategories)
                list.push_back(MakeCom<Moniker>(c.name, c.id, nullptr));
        } else {
            for (const auto& f : RegisteredFilterClasses())
                if (f.category == category)
                    list.push_back(MonikerFor(f));
        }
        if (list.empty())
            return S_FALSE;
        *out = MakeCom<RefEnumerator<IEnumMoniker, IMoniker>>(std::move(list)).detach();
        return S_OK;
    }
};

} // namespace

void RegisterFilterClass(FilterTemplate filter)
{
    auto& r = TheRegistry();
    MutexLock lock(r.lock);
    auto it = std::find_if(r.filters.begin(), r.filters.end(), [&](const auto& f) { return f.clsid == filter.clsid; });
    if (it != r.filters.end())
        *it = std::move(filter);
    else
        r.filters.push_back(std::move(filter));
}

bool UnregisterFilterClass(const CLSID& clsid)
{
    auto& r = TheRegistry();
    MutexLock lock(r.lock);
    auto it = std::find_if(r.filters.begin(), r.filters.end(), [&](const auto& f) { return f.clsid == clsid; });
    if (it == r.filters.end())
        return false;
    r.filters.erase(it);
    return true;
}

std::vector<FilterTemplate> RegisteredFilterClasses()
{
    auto& r = TheRegistry();
    std::vector<FilterTemplate> list;
    {
        MutexLock lock(r.lock);
        list.assign(r.filters.begin(), r.filters.end());
    }
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.merit > b.merit; });
    return list;
}

const FilterTemplate* FindFilterClass(const CLSID& clsid)
{
    auto& r = TheRegistry();
    MutexLock lock(r.lock);
    for (const auto& f : r.filters)
        if (f.clsid == clsid)
            return &f;
    return nullptr;
}

ComPtr<IMoniker> MonikerFor(const FilterTemplate& filter)
{
    return MakeCom<Moniker>(filter.name, filter.clsid, filter.create);
}

ComPtr<ICreateDevEnum> MakeDeviceEnumerator() { return MakeCom<DevEnum>(); }

HRESULT DMOEnum(const GUID&, std::vector<DmoEntry>* out)
{
    if (!out)
        return E_POINTER;
    out->clear();
    return S_OK;
}

} // namespace kolvarin::media
