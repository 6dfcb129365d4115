// Opens arbitrary bytes as a media file and decodes what the splitter finds
// into null renderers for at most one second.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "media/graphif.h"
#include "media/uuids.h"

using namespace kolvarin::media;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/kolvarin-fuzz-media-" + std::to_string(::getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    if (Failed(graph->AddSourceFilter({path.begin(), path.end()}, u"Source", source.put())))
        return 0;
    for (auto& pin : PinsOf(source.get(), PINDIR_OUTPUT)) {
        const auto types = MediaTypesOf(pin.get());
        if (types.empty() || types[0].majortype == MEDIATYPE_Subtitle)
            continue;
        auto decoder = CreateInstance<IBaseFilter>(types[0].majortype == MEDIATYPE_Video ? CLSID_FFVideoDecoder
                                                                                         : CLSID_FFAudioDecoder);
        auto sink = CreateInstance<IBaseFilter>(CLSID_NullRenderer);
        graph->AddFilter(decoder.get(), {});
        graph->AddFilter(sink.get(), {});
        if (Succeeded(graph->ConnectDirect(pin.get(), PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr)))
            graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink.get())[0].get(), nullptr);
    }
    auto control = graph.as<IMediaControl>();
    control->Run();
    int32_t code = 0;
    graph.as<IMediaEvent>()->WaitForCompletion(1000, &code);
    control->Stop();
    return 0;
}
