// The natives graph scripts call, and the three host callbacks that make
// them known to each engine the graph builder creates.

#include <algorithm>
#include <cstdio>

#include "core/system/kdebug.h"
#include "core/system/kfiles.h"
#include "core/system/kpaths.h"
#include "media/uuids.h"
#include "script/lumoscript.h"
#include "video/filterlibrary.h"
#include "video/graphbuilder.h"

namespace kolvarin::video {

using namespace media;
using execmem::HostCall;
using execmem::ResultKind;

namespace {

std::string LowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string Format(const char* format, const std::string& a, const std::string& b, const std::string& c = {},
                   const std::string& d = {})
{
    char text[2048];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str(), c.c_str(), d.c_str());
    return text;
}

struct TNative {
    const char* Name;
    const char* Declaration;
};

// Registration and declaration order.
constexpr TNative kNatives[] = {
    {"AddFilterScanDir", "native void AddFilterScanDir(string _Dir);"},
    {"RegisterFilter", "native void RegisterFilter(string _Filter);"},
    {"AddFilter", "native void AddFilter(string _Name);"},
    {"ConnectPins", "native bool ConnectPins(string _Filter1, string _PinName1, string _Filter2, string _PinName2);"},
    {"ConnectPinsAuto", "native bool ConnectPinsAuto(string _Filter1, string _Filter2);"},
    {"Export", "native void Export(string _ExportName, string _FilterName);"},
    {"strcomp", "native int strcomp(string _S1, string _S2);"},
    {"AddFileType", "native void AddFileType(string _Ext, string _Name);"},
    {"HasOutputPin", "native bool HasOutputPin(string _Filter, string _PinName);"},
    {"RemoveFilter", "native void RemoveFilter(string _Filter);"},
    {"HasSubtitles", "native bool HasSubtitles();"},
    {"IsRawPin", "native bool IsRawPin(string _Filter, string _PinName);"},
};

} // namespace

int ScriptStrComp(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

void TKGraphBuilder::InstallCallbacks(script::TLumoScript& engine)
{
    engine.onPreCode = [](script::TLumoScript&, std::string& text) { text.clear(); };
    engine.onDeclareNatives = [](script::TLumoScript& e) {
        for (const TNative& native : kNatives)
            e.AddNativeDeclaration(native.Declaration);
    };
    engine.onRegisterNatives = [this](script::TLumoScript& e) {
        // The engine passes the last argument in slot 0.
        auto text = [&e](HostCall& c, int count, int index) {
            return script::ScriptStringToString(e.Space(), c.Arg(count - 1 - index));
        };
        auto add = [&e](const char* name, uint32_t count, ResultKind kind, execmem::HostFunction fn) {
            e.AddNativeFunction(name, count, kind, std::move(fn));
        };
        add("AddFilterScanDir", 1, ResultKind::Void, [this, text](HostCall& c) {
            AddFilterScanDir(text(c, 1, 0));
            return 0u;
        });
        add("RegisterFilter", 1, ResultKind::Void, [this, text](HostCall& c) {
            RegisterFilter(text(c, 1, 0));
            return 0u;
        });
        add("AddFilter", 1, ResultKind::Void, [this, text](HostCall& c) {
            AddFilter(text(c, 1, 0));
            return 0u;
        });
        add("ConnectPins", 4, ResultKind::Int, [this, text](HostCall& c) {
            return uint32_t{ConnectPins(text(c, 4, 0), text(c, 4, 1), text(c, 4, 2), text(c, 4, 3))};
        });
        add("ConnectPinsAuto", 2, ResultKind::Int,
            [this, text](HostCall& c) { return uint32_t{ConnectPinsAuto(text(c, 2, 0), text(c, 2, 1))}; });
        add("Export", 2, ResultKind::Void, [this, text](HostCall& c) {
            Export(text(c, 2, 0), text(c, 2, 1));
            return 0u;
        });
        add("strcomp", 2, ResultKind::Int,
            [text](HostCall& c) { return static_cast<uint32_t>(ScriptStrComp(text(c, 2, 0), text(c, 2, 1))); });
        add("AddFileType", 2, ResultKind::Void, [this, text](HostCall& c) {
            AddFileType(text(c, 2, 0), text(c, 2, 1));
            return 0u;
        });
        add("HasOutputPin", 2, ResultKind::Int,
            [this, text](HostCall& c) { return uint32_t{HasOutputPin(text(c, 2, 0), text(c, 2, 1))}; });
        add("RemoveFilter", 1, ResultKind::Void, [this, text](HostCall& c) {
            RemoveFilter(text(c, 1, 0));
            return 0u;
        });
        add("HasSubtitles", 0, ResultKind::Int, [this](HostCall&) { return uint32_t{HasSubtitles}; });
        add("IsRawPin", 2, ResultKind::Int,
            [this, text](HostCall& c) { return uint32_t{IsRawPin(text(c, 2, 0), text(c, 2, 1))}; });
    };
}

void TKGraphBuilder::AddFilterScanDir(const std::string& dir)
{
    // Scripts may write either separator; the system's is "/".
    std::string folder = dir;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    ScanDirs.push_back(folder);
}

void TKGraphBuilder::RegisterFilter(const std::string& filter)
{
    std::vector<std::string> found;
    for (const std::string& dir : ScanDirs)
        ScanDirectory(IncludeTrailingSlash(dir), filter, true, found);
    const std::string wanted = LowerAscii(filter);
    auto hit = std::find_if(found.begin(), found.end(),
                            [&](const std::string& path) { return LowerAscii(ExtractFileNameA(path)) == wanted; });
    if (hit == found.end())
        return;
    RegisteredFiles.push_back(*hit);
    if (libraries_)
        libraries_->Register(*hit);
}

void TKGraphBuilder::AddFilter(const std::string& name)
{
    const char* proc = "Script_AddFilter";
    Log(proc, "Add filter \"" + name + "\"...");
    const bool ok = DynFilters.AddFilter("DirectShow Filters", name);
    Log(proc, "Add filter \"" + name + (ok ? "\" ok" : "\" failed!"));
    if (!ok)
        FailedFilters.push_back(name);
}

bool TKGraphBuilder::ConnectPins(const std::string& filter1, const std::string& pin1, const std::string& filter2,
                                 const std::string& pin2)
{
    const char* proc = "Script_ConnectPins";
    Log(proc, Format("Connect pins '%s' [%s] to '%s' [%s]...", filter1, pin1, filter2, pin2));
    const bool ok = DynFilters.ConnectPins(filter1, pin1, PINDIR_OUTPUT, filter2, pin2, PINDIR_INPUT);
    Log(proc, Format(ok ? "Connect pins '%s' [%s] to '%s' [%s] ok" : "Connect pins '%s' [%s] to '%s' [%s] failed!",
                     filter1, pin1, filter2, pin2));
    if (!ok)
        ScriptError = true;
    return ok;
}

bool TKGraphBuilder::ConnectPinsAuto(const std::string& filter1, const std::string& filter2)
{
    const char* proc = "Script_ConnectPinsAuto";
    Log(proc, Format("Connect pins auto '%s' to '%s'...", filter1, filter2));
    const bool ok = DynFilters.ConnectAuto(filter1, filter2);
    Log(proc,
        Format(ok ? "Connect pins auto '%s' to '%s' ok" : "Connect pins auto '%s' to '%s' failed!", filter1, filter2));
    if (!ok)
        ScriptError = true;
    return ok;
}

void TKGraphBuilder::Export(const std::string& exportName, const std::string& filterName)
{
    const std::string wanted = LowerAscii(exportName);
    for (const auto& entry : Exports)
        if (LowerAscii(entry.first) == wanted)
            return;
    Exports.emplace_back(exportName, filterName);
}

void TKGraphBuilder::AddFileType(const std::string& ext, const std::string& name) { FileTypes.push_back({ext, name}); }

bool TKGraphBuilder::HasOutputPin(const std::string& filter, const std::string& pinName)
{
    return DynFilters.PinExists(filter, PINDIR_OUTPUT, pinName);
}

void TKGraphBuilder::RemoveFilter(const std::string& filter)
{
    const char* proc = "Script_RemoveFilter";
    Log(proc, Format("Remove filter '%s'...", filter, {}));
    DynFilters.RemoveFilter(filter);
    Log(proc, Format("Remove filter '%s' ok", filter, {}));
}

bool TKGraphBuilder::IsRawPin(const std::string& filter, const std::string& pinName)
{
    auto pin = DynFilters.GetPin(filter, PINDIR_OUTPUT, pinName);
    if (!pin)
        return false;
    const TKStreamInfo info = PinToStreamInfo(pin.get());
    const TKMediaFormat& format = info.Format.MediaFormat;
    return format.MajorType == MEDIATYPE_Audio && format.SubType == MEDIASUBTYPE_PCM;
}

} // namespace kolvarin::video
