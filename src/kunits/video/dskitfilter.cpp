#include "video/dskitfilter.h"

namespace kolvarin::video {

using namespace media;

TFilter::TFilter(std::u16string name) : name_(std::move(name)) {}

TFilter::~TFilter() { SetFilterGraph(nullptr); }

void TFilter::SetFilterGraph(TFilterGraph* graph)
{
    if (graph == graph_)
        return;
    if (graph_)
        graph_->RemoveFilter(this);
    graph_ = graph;
    if (graph_)
        graph_->InsertFilter(this);
}

void TFilter::NotifyFilter(Operation operation, int)
{
    switch (operation) {
    case foAdding:
        filter_ = nullptr;
        if (moniker_)
            moniker_->BindToObject(IBaseFilter::iid, filter_.putVoid());
        break;
    case foRemoving:
        if (filter_) {
            FILTER_STATE state;
            if (Succeeded(filter_->GetState(0, &state)) && state != State_Stopped)
                filter_->Stop();
        }
        break;
    case foRemoved: filter_ = nullptr; break;
    case foRefresh:
        if (graph_) {
            graph_->RemoveFilter(this);
            graph_->InsertFilter(this);
        }
        break;
    case foAdded: break;
    }
}

} // namespace kolvarin::video
