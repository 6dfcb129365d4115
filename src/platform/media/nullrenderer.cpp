#include "media/nullrenderer.h"

#include <atomic>

#include "media/renderer.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

class NullRenderer final : public Renderer {
public:
    NullRenderer() : Renderer(CLSID_NullRenderer, u"Null Renderer") {}
    HRESULT CheckInputType(const AMMediaType&) override { return S_OK; }
    void Render(IMediaSample*) override { ++rendered_; }
    bool Scheduled() const override { return false; }

private:
    std::atomic<int64_t> rendered_{0};
};

} // namespace

ComPtr<IBaseFilter> MakeNullRenderer() { return ComPtr<IBaseFilter>(MakeCom<NullRenderer>().get()); }

} // namespace kolvarin::media
