#include "video/dynfilter.h"

#include <algorithm>

#include "core/text/kstrings.h"
#include "media/devenum.h"
#include "media/mediatype.h"
#include "media/uuids.h"
#include "video/filterlibrary.h"

namespace kolvarin::video {

using namespace media;

namespace {

constexpr GUID DMOCATEGORY_VIDEO_DECODER{0x4A69B442, 0x28BE, 0x4991, {0x96, 0x9C, 0xB5, 0x00, 0xAD, 0xF5, 0xD8, 0xA8}};
constexpr GUID DMOCATEGORY_AUDIO_DECODER{0x57F2DB8B, 0xE6BB, 0x4513, {0x9D, 0x43, 0xDC, 0xD2, 0xA6, 0x59, 0x31, 0x25}};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string Narrow(const std::u16string& text) { return Utf16ToUtf8(text); }

// How a filter is named: optional library-path part, ":", friendly name or
// class identifier.
struct TFilterSpec {
    std::string Path; // lower case, with "/" where a script wrote "\"
    std::string Name;
    GUID Id;

    explicit TFilterSpec(const std::string& spec)
    {
        const size_t colon = spec.find(':');
        Name = colon == std::string::npos ? spec : spec.substr(colon + 1);
        if (colon != std::string::npos) {
            Path = Lower(spec.substr(0, colon));
            // Library paths here use "/": the design's turn to "\" would
            // never match a path part with a folder.
            std::replace(Path.begin(), Path.end(), '\\', '/');
        }
        Id = StrToGUIDChecked(Name);
    }
    bool Matches(const std::u16string& name, const GUID& clsid) const
    {
        if (Lower(Narrow(name)) != Lower(Name) && !(Id != GUID_NULL && Id == clsid))
            return false;
        if (Path.empty())
            return true;
        const std::string library = Lower(GetInprocServerPath(clsid));
        return !library.empty() && library.find(Path) != std::string::npos;
    }
};

std::vector<ComPtr<IMoniker>> MonikersOf(ICreateDevEnum* devices, const GUID& category)
{
    std::vector<ComPtr<IMoniker>> list;
    ComPtr<IEnumMoniker> e;
    if (devices->CreateClassEnumerator(category, e.put(), 0) != S_OK || !e)
        return list;
    ComPtr<IMoniker> m;
    while (e->Next(1, m.put(), nullptr) == S_OK)
        list.push_back(m);
    return list;
}

void ReadBag(IMoniker* moniker, std::u16string& name, GUID& clsid)
{
    ComPtr<IPropertyBag> bag;
    std::u16string id;
    if (Succeeded(moniker->BindToStorage(IPropertyBag::iid, bag.putVoid()))) {
        bag->Read(u"FriendlyName", &name);
        bag->Read(u"CLSID", &id);
    }
    clsid = GuidFromString(Narrow(id)).value_or(GUID_NULL);
}

// The moniker of the first filter of the named category that matches.
ComPtr<IMoniker> FindDevice(const std::string& category, const TFilterSpec& spec)
{
    ComPtr<ICreateDevEnum> devices;
    if (Failed(CoCreateInstance(CLSID_SystemDeviceEnum, ICreateDevEnum::iid, devices.putVoid())))
        return {};
    for (auto& c : MonikersOf(devices.get(), CLSID_ActiveMovieCategories)) {
        std::u16string name;
        GUID id;
        ReadBag(c.get(), name, id);
        if (Lower(Narrow(name)) != Lower(category))
            continue;
        for (auto& f : MonikersOf(devices.get(), id)) {
            ReadBag(f.get(), name, id);
            if (spec.Matches(name, id))
                return f;
        }
        break;
    }
    return {};
}

bool TypeHas(const AMMediaType& type, const GUID& id)
{
    return type.majortype == id || type.subtype == id || type.formattype == id;
}

bool PartMatches(IPin* pin, const std::string& part)
{
    const GUID id = StrToGUIDChecked(part);
    if (id == GUID_NULL)
        return Lower(Narrow(PinName(pin))).find(Lower(part)) != std::string::npos;
    AMMediaType connected;
    if (Succeeded(pin->ConnectionMediaType(&connected)))
        return TypeHas(connected, id);
    const auto offered = MediaTypesOf(pin);
    return std::any_of(offered.begin(), offered.end(), [&](const AMMediaType& t) { return TypeHas(t, id); });
}

std::vector<std::string> SplitParts(const std::string& spec)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = spec.find(';', start);
        parts.push_back(spec.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

ComPtr<IPin> FirstFreePin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    for (auto& pin : PinsOf(filter, direction))
        if (!PeerOf(pin.get()))
            return pin;
    return {};
}

} // namespace

std::string GetInprocServerPath(const CLSID& clsid) { return RegisteredLibraryOf(clsid); }

GUID StrToGUIDChecked(const std::string& text)
{
    if (text.size() != 38)
        return GUID_NULL;
    return GuidFromString(text).value_or(GUID_NULL);
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, const std::string& spec)
{
    if (!filter)
        return {};
    const auto parts = SplitParts(spec);
    for (auto& pin : PinsOf(filter, direction)) {
        if (PeerOf(pin.get()))
            continue;
        for (const auto& part : parts)
            if (PartMatches(pin.get(), part))
                return pin;
    }
    return {};
}

int TDynFilter::IndexOfName(const std::string& name) const
{
    const std::string wanted = Lower(name);
    for (size_t i = 0; i < items_.size(); ++i)
        if (Lower(items_[i]->Name) == wanted)
            return static_cast<int>(i);
    return -1;
}

void TDynFilter::Clear()
{
    for (auto& item : items_)
        if (item->Filter)
            item->Filter->SetFilterGraph(nullptr);
    items_.clear();
}

bool TDynFilter::AddFilter(const std::string& category, const std::string& spec, const std::string& alias)
{
    // The list holds the alias when one is given: that is what a duplicate
    // must be compared with.
    const std::string name = alias.empty() ? spec : alias;
    if (category.empty() || spec.empty() || IndexOfName(name) >= 0)
        return false;
    auto item = std::make_unique<TDynFilterItem>();
    item->Category = category;
    item->Name = name;
    item->Filter = std::make_unique<TFilter>(Utf8ToUtf16(name));
    const TFilterSpec parsed(spec);
    if (auto moniker = FindDevice(category, parsed)) {
        item->Filter->SetBaseFilter(moniker);
        item->Usable = true;
    } else {
        for (const GUID& dmoCategory : {DMOCATEGORY_VIDEO_DECODER, DMOCATEGORY_AUDIO_DECODER}) {
            std::vector<DmoEntry> dmos;
            DMOEnum(dmoCategory, &dmos);
            auto hit = std::find_if(dmos.begin(), dmos.end(),
                                    [&](const DmoEntry& d) { return parsed.Matches(d.name, d.clsid); });
            if (hit != dmos.end()) {
                // No DirectX Media Object exists on this system; the wrapper
                // would be made here.
                item->IsDmo = true;
                break;
            }
        }
    }
    if (graph_)
        item->Filter->SetFilterGraph(graph_);
    const bool usable = item->Usable;
    items_.push_back(std::move(item));
    return usable;
}

bool TDynFilter::AddBaseFilter(IFilter* filter, const std::string& name)
{
    if (IndexOfName(name) >= 0)
        return false;
    auto item = std::make_unique<TDynFilterItem>();
    item->Name = name;
    item->Filter = std::make_unique<TFilter>(Utf8ToUtf16(name));
    item->FilterIntf = filter;
    item->Usable = filter != nullptr;
    const bool usable = item->Usable;
    items_.push_back(std::move(item));
    return usable;
}

void TDynFilter::SetFilterGraph(TFilterGraph* graph)
{
    graph_ = graph;
    for (auto& item : items_)
        if (item->Filter && item->Filter->BaseFilter())
            item->Filter->SetFilterGraph(graph);
}

TFilter* TDynFilter::GetFilter(const std::string& name)
{
    const int index = IndexOfName(name);
    return index < 0 ? nullptr : items_[index]->Filter.get();
}

ComPtr<IBaseFilter> TDynFilter::BaseFilterOf(const std::string& name)
{
    const int index = IndexOfName(name);
    if (index < 0)
        return {};
    TDynFilterItem& item = *items_[index];
    if (item.IsDmo)
        return item.DmoFilter;
    if (item.FilterIntf)
        return item.FilterIntf->GetFilter();
    return item.Filter ? item.Filter->GetFilter() : nullptr;
}

ComPtr<IGraphBuilder> TDynFilter::Builder() const
{
    return graph_ ? graph_->Query<IGraphBuilder>() : ComPtr<IGraphBuilder>();
}

bool TDynFilter::ConnectPins(const std::string& name1, const std::string& spec1, PIN_DIRECTION direction1,
                             const std::string& name2, const std::string& spec2, PIN_DIRECTION direction2)
{
    if (IndexOfName(name1) < 0 || IndexOfName(name2) < 0)
        return false;
    auto pin1 = FindPin(BaseFilterOf(name1).get(), direction1, spec1);
    auto pin2 = FindPin(BaseFilterOf(name2).get(), direction2, spec2);
    auto builder = Builder();
    return pin1 && pin2 && builder && Succeeded(builder->Connect(pin1.get(), pin2.get()));
}

bool TDynFilter::ConnectAuto(const std::string& name1, const std::string& name2)
{
    if (IndexOfName(name1) < 0 || IndexOfName(name2) < 0)
        return false;
    auto out = FirstFreePin(BaseFilterOf(name1).get(), PINDIR_OUTPUT);
    auto in = FirstFreePin(BaseFilterOf(name2).get(), PINDIR_INPUT);
    auto builder = Builder();
    return out && in && builder && Succeeded(builder->Connect(out.get(), in.get()));
}

ComPtr<IPin> TDynFilter::GetPin(const std::string& name, PIN_DIRECTION direction, const std::string& spec)
{
    return IndexOfName(name) < 0 ? nullptr : FindPin(BaseFilterOf(name).get(), direction, spec);
}

bool TDynFilter::PinExists(const std::string& name, PIN_DIRECTION direction, const std::string& spec)
{
    return GetPin(name, direction, spec) != nullptr;
}

void TDynFilter::RemoveFilter(const std::string& name)
{
    auto base = BaseFilterOf(name);
    if (!base)
        return;
    for (auto& pin : PinsOf(base.get()))
        if (auto peer = PeerOf(pin.get())) {
            peer->Disconnect();
            pin->Disconnect();
        }
    TDynFilterItem& item = *items_[IndexOfName(name)];
    if (item.Filter && item.Filter->BaseFilter())
        item.Filter->SetFilterGraph(nullptr);
    else if (auto builder = Builder())
        builder->RemoveFilter(base.get());
}

} // namespace kolvarin::video
