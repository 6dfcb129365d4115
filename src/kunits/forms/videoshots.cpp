#include "forms/videoshots.h"

#include <cstdio>
#include <filesystem>
#include <functional>

#include "core/system/kfiletypes.h"
#include "core/text/kstrings.h"
#include "media/formatblocks.h"
#include "media/guid.h"
#include "media/mediadet.h"
#include "media/uuids.h"
#include "video/kstreaminfo.h"

namespace kolvarin {

namespace {

using media::ComPtr;

std::string BaseName(const std::u16string& file)
{
    const size_t slash = file.find_last_of(u"/\\");
    return Utf16ToUtf8(slash == std::u16string::npos ? file : file.substr(slash + 1));
}

// One filter of the graph log: its name and its pins in order.
struct TKFilterEntry {
    std::string Name;
    ComPtr<media::IBaseFilter> Filter;
    std::vector<ComPtr<media::IPin>> Pins;
};

bool IsConnected(media::IPin* pin) { return static_cast<bool>(media::PeerOf(pin)); }

bool IsInput(media::IPin* pin)
{
    media::PIN_DIRECTION dir = media::PINDIR_OUTPUT;
    return media::Succeeded(pin->QueryDirection(&dir)) && dir == media::PINDIR_INPUT;
}

std::string PinText(media::IPin* pin)
{
    std::string text = Utf16ToUtf8(media::PinName(pin).substr(0, 128));
    media::AMMediaType type;
    if (pin->ConnectionMediaType(&type) == media::S_OK)
        text += ", " + video::MediaTypeText(video::MediaTypeToStreamInfo(type));
    return text;
}

const TKFilterEntry* OwnerOf(const std::vector<TKFilterEntry>& entries, media::IPin* pin)
{
    const ComPtr<media::IBaseFilter> owner = media::FilterOfPin(pin);
    for (const TKFilterEntry& e : entries)
        if (e.Filter.get() == owner.get())
            return &e;
    return nullptr;
}

std::string ChainText(const std::vector<TKFilterEntry>& entries, ComPtr<media::IPin> pin)
{
    std::string text;
    // A graph has no loops; the bound only guards against a broken one.
    for (size_t step = 0; step <= entries.size(); ++step) {
        const TKFilterEntry* owner = OwnerOf(entries, pin.get());
        text += (owner ? owner->Name : std::string()) + " [" + PinText(pin.get()) + "]";
        const ComPtr<media::IPin> peer = media::PeerOf(pin.get());
        if (!peer)
            return text + ": Not connected!";
        text += " > [" + PinText(peer.get()) + "] ";
        const TKFilterEntry* next = OwnerOf(entries, peer.get());
        if (!next)
            return text;
        pin = nullptr;
        for (const auto& p : next->Pins)
            if (!IsInput(p.get()) && IsConnected(p.get())) {
                pin = p;
                break;
            }
        if (!pin)
            return text + next->Name;
    }
    return text;
}

} // namespace

std::string NextScreenshotName(const std::string& folder, const std::u16string& mediaFile)
{
    const std::string base = folder + BaseName(mediaFile) + ".";
    for (int n = 1;; ++n) {
        char counter[16];
        std::snprintf(counter, sizeof counter, "%03d", n);
        const std::string candidate = base + counter + ".bmp";
        if (!std::filesystem::exists(candidate))
            return candidate;
    }
}

TKScreenshotResult WriteScreenshot(const TKScreenshotSource& source, int mode, std::u16string& fileName)
{
    const ComPtr<media::IMediaDet> det = media::MakeMediaDet();
    int32_t streams = 0;
    media::AMMediaType type;
    if (!det || media::Failed(det->put_Filename(source.MediaFile)) || media::Failed(det->get_OutputStreams(&streams)) ||
        streams < 1 || media::Failed(det->put_CurrentStream(0)) || media::Failed(det->get_StreamMediaType(&type)) ||
        type.formattype != media::FORMAT_VideoInfo)
        return TKScreenshotResult::NoPicture;
    double length = 0;
    det->get_StreamLength(&length);
    // URL streams have no length: the position (100 ns units) is the time.
    const double seconds = source.Duration > 0 ? double(source.Position) * length / double(source.Duration)
                                               : double(source.Position) / 1e7;
    QSize size;
    if (mode == smOriginal) {
        const auto info = media::ReadVideoInfo(type.formatBytes());
        if (info)
            size = QSize(std::abs(info->bmiHeader.biWidth), std::abs(info->bmiHeader.biHeight));
    } else if (mode == smFitted)
        size = source.DisplaySize;
    std::error_code ec;
    std::filesystem::create_directories(source.Folder, ec);
    const std::string file = NextScreenshotName(source.Folder, source.MediaFile);
    fileName = Utf8ToUtf16(std::filesystem::path(file).filename().string());
    if (media::Failed(det->WriteBitmapBits(seconds, size.width(), size.height(), Utf8ToUtf16(file))))
        return TKScreenshotResult::WriteFailed;
    return TKScreenshotResult::Written;
}

std::u16string GetFilterNameFromClassID(const media::GUID& classId)
{
    const registry::TRegistry reg = OpenUserRegistry();
    return reg
        .ReadString(registry::TRegistry::Root::LocalMachine,
                    "Software\\Classes\\CLSID\\" + media::GuidToString(classId), "")
        .value_or(std::u16string());
}

std::vector<std::string> FilterGraphLogLines(media::IFilterGraph* graph)
{
    std::vector<std::string> lines{"Check if filtergraph active"};
    if (!graph)
        return lines;
    lines.push_back("Initialize filter list");
    lines.push_back("Enumerate filters from graph...");
    std::vector<TKFilterEntry> entries;
    ComPtr<media::IEnumFilters> filters;
    if (media::Failed(graph->EnumFilters(filters.put())) || !filters) {
        lines.push_back("Enumerate filters from graph failed!");
    } else {
        lines.push_back("Enumerate filters from graph ok");
        lines.push_back("Adding filters to list...");
        ComPtr<media::IBaseFilter> filter;
        while (filters->Next(1, filter.put(), nullptr) == media::S_OK) {
            std::u16string name = GetFilterNameFromClassID(media::ClassIdOf(filter.get()));
            if (name.empty())
                name = media::FilterName(filter.get()).substr(0, 128);
            entries.push_back({Utf16ToUtf8(name), filter, media::PinsOf(filter.get())});
        }
        lines.push_back("Adding filters to list ok");
    }
    if (entries.empty())
        return lines;
    lines.push_back("Got " + std::to_string(entries.size()) + " filters:");
    lines.push_back("Find not connected filters...");
    std::vector<const TKFilterEntry*> heads;
    for (const TKFilterEntry& e : entries) {
        bool fed = false;
        for (const auto& p : e.Pins)
            fed = fed || (IsInput(p.get()) && IsConnected(p.get()));
        if (!fed)
            heads.push_back(&e);
    }
    if (heads.empty()) {
        lines.push_back("Find not connected filters failed!");
        return lines;
    }
    lines.push_back("Find not connected filters ok, got: " + std::to_string(heads.size()));
    for (const TKFilterEntry* head : heads)
        for (const auto& pin : head->Pins)
            lines.push_back(ChainText(entries, pin));
    return lines;
}

} // namespace kolvarin
