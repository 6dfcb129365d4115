#pragma once

// TFilter: puts one filter into a TFilterGraph. Its BaseFilter is the
// persistent description (a moniker of the device enumerator) from which
// the filter object is made when the graph takes it in; the object is
// released when the graph lets it go. Main thread only.

#include <string>

#include "media/devenum.h"
#include "video/dskitfiltergraph.h"

namespace kolvarin::video {

class TFilter final : public IFilter {
public:
    explicit TFilter(std::u16string name = {});
    ~TFilter() override;
    TFilter(const TFilter&) = delete;
    TFilter& operator=(const TFilter&) = delete;

    TFilterGraph* FilterGraph() const { return graph_; }
    // Leaves the old graph and joins the new one (none: leaves only).
    void SetFilterGraph(TFilterGraph* graph);
    const ComPtr<media::IMoniker>& BaseFilter() const { return moniker_; }
    void SetBaseFilter(ComPtr<media::IMoniker> moniker) { moniker_ = std::move(moniker); }

    // IFilter
    ComPtr<media::IBaseFilter> GetFilter() override { return filter_; }
    std::u16string GetName() override { return name_; }
    void NotifyFilter(Operation operation, int param) override;
    void GraphDestroyed() override { graph_ = nullptr; }

private:
    std::u16string name_;
    TFilterGraph* graph_ = nullptr;
    ComPtr<media::IMoniker> moniker_;
    ComPtr<media::IBaseFilter> filter_;
};

} // namespace kolvarin::video
