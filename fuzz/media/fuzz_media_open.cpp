// Opens arbitrary bytes as a media file and decodes what the splitter finds
// into null renderers. The renderers do not wait for the clock, so a run
// takes as long as the decoding; the wait below ends only a graph that
// never completes, which is a fault of its own.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzzfile.h"
#include "media/graphif.h"
#include "media/uuids.h"

using namespace kolvarin::media;

namespace {

// Far beyond what decoding a fuzz input takes.
constexpr int32_t kCompletionMs = 20000;

// Decoder and sink for one output pin; false when no decoder takes the stream
// (then neither stays in the graph: a renderer that nothing feeds would hold
// the completion back).
bool RenderPin(IGraphBuilder* graph, IPin* pin)
{
    const auto types = MediaTypesOf(pin);
    if (types.empty() || types[0].majortype == MEDIATYPE_Subtitle)
        return false;
    auto decoder = CreateInstance<IBaseFilter>(types[0].majortype == MEDIATYPE_Video ? CLSID_FFVideoDecoder
                                                                                     : CLSID_FFAudioDecoder);
    auto sink = CreateInstance<IBaseFilter>(CLSID_NullRenderer);
    graph->AddFilter(decoder.get(), {});
    if (Succeeded(graph->ConnectDirect(pin, PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr))) {
        graph->AddFilter(sink.get(), {});
        if (Succeeded(graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink.get())[0].get(),
                                           nullptr)))
            return true;
        graph->RemoveFilter(sink.get());
    }
    graph->RemoveFilter(decoder.get());
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string path = fuzzfile::Write(".media", data, size);
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    if (Failed(graph->AddSourceFilter(path, u"Source", source.put())))
        return 0;
    bool rendered = false;
    for (auto& pin : PinsOf(source.get(), PINDIR_OUTPUT))
        rendered = RenderPin(graph.get(), pin.get()) || rendered;
    if (!rendered)
        return 0;
    auto control = graph.as<IMediaControl>();
    control->Run();
    int32_t code = 0;
    if (graph.as<IMediaEvent>()->WaitForCompletion(kCompletionMs, &code) != S_OK)
        std::abort();
    control->Stop();
    return 0;
}
