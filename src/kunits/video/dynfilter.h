#pragma once

// TDynFilter: the filters a graph script asked for, under the names the
// script gave them, and the connection of their pins by pin name or media
// type. A filter is found by category and friendly name or class identifier
// among the registered filters (or the DirectX Media Object decoders), and
// may be restricted to a filter library whose registered path contains a
// given text. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "media/devenum.h"
#include "video/dskitfilter.h"

namespace kolvarin::video {

struct TDynFilterItem {
    std::string Category;
    std::string Name; // the alias, else the filter's name as given
    std::unique_ptr<TFilter> Filter;
    IFilter* FilterIntf = nullptr; // a program filter (AddBaseFilter)
    bool Usable = false;
    bool IsDmo = false;
    ComPtr<media::IBaseFilter> DmoFilter;
};

class TDynFilter {
public:
    TDynFilter() = default;
    ~TDynFilter() { Clear(); }
    TDynFilter(const TDynFilter&) = delete;
    TDynFilter& operator=(const TDynFilter&) = delete;

    int GetCount() const { return static_cast<int>(items_.size()); }
    TDynFilterItem& GetItem(int index) { return *items_.at(index); }
    // The first entry of that name, compared in lower case; -1 when none.
    int IndexOfName(const std::string& name) const;
    void Clear();

    // False, adding nothing, when Category or Spec is empty or the list
    // already holds that name; else the entry is appended (found or not) and
    // the result says whether the filter was found.
    bool AddFilter(const std::string& category, const std::string& spec, const std::string& alias = {});
    // A filter the program itself owns; false for a duplicate name.
    bool AddBaseFilter(IFilter* filter, const std::string& name);

    TFilterGraph* FilterGraph() const { return graph_; }
    // Every entry's filter joins the graph (or leaves it, with none).
    void SetFilterGraph(TFilterGraph* graph);
    TFilter* GetFilter(const std::string& name);
    // The entry's filter object: the DMO wrapper, the program filter or the
    // TFilter's object.
    ComPtr<media::IBaseFilter> BaseFilterOf(const std::string& name);

    bool ConnectPins(const std::string& name1, const std::string& spec1, media::PIN_DIRECTION direction1,
                     const std::string& name2, const std::string& spec2, media::PIN_DIRECTION direction2);
    bool ConnectAuto(const std::string& name1, const std::string& name2);
    ComPtr<media::IPin> GetPin(const std::string& name, media::PIN_DIRECTION direction, const std::string& spec);
    bool PinExists(const std::string& name, media::PIN_DIRECTION direction, const std::string& spec);
    // Disconnects the entry's pins and takes its filter out of the graph; the
    // entry stays.
    void RemoveFilter(const std::string& name);

private:
    ComPtr<media::IGraphBuilder> Builder() const;

    std::vector<std::unique_ptr<TDynFilterItem>> items_;
    TFilterGraph* graph_ = nullptr;
};

// The identifier of a braced 38-character text whose five groups are all
// hexadecimal; GUID_NULL for anything else.
media::GUID StrToGUIDChecked(const std::string& text);
// The library a class was registered from; empty for the framework's own
// filters and unknown classes.
std::string GetInprocServerPath(const media::CLSID& clsid);
// The first unconnected pin of the direction that matches a pin
// description (";"-separated name fragments and media type identifiers).
ComPtr<media::IPin> FindPin(media::IBaseFilter* filter, media::PIN_DIRECTION direction, const std::string& spec);

} // namespace kolvarin::video
