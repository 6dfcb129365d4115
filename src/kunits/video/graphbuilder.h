#pragma once

// TKGraphBuilder: builds the filter graph of a file or DVD. It keeps the
// list of graph scripts ("*.kgraph") with the file types each declares,
// chooses the script for a file (asking the video window when several fit
// and the settings allow it), compiles it (the compiled code is cached in
// the user folder), runs its "Filter" and "Connect" procedures against the
// graph with the natives of graphnatives.cpp, wires in the filters the
// program owns, and falls back to automatic rendering. Main thread only.

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "media/dvdif.h"
#include "media/subtitlefilter.h"
#include "video/dynfilter.h"
#include "video/kstreaminfo.h"

namespace kolvarin::script {
class TLumoScript;
}

namespace kolvarin::video {

class TKVideoHost;
class TFilterLibraries;
class TDSVideoWindowEx2;
class TDSKitQxDSPFilter;

struct TFilterGraphScriptType {
    std::string Ext; // extension with its dot, or a file-name pattern
    std::string Name;
};

struct TGraphScriptInfo {
    std::string Name; // the file name without ".kgraph"
    std::vector<TFilterGraphScriptType> FileTypes;
};

class TKGraphBuilder {
public:
    // The graph and the program's own filters (video renderer, DSP filter)
    // are not owned; host and libraries may be null.
    TKGraphBuilder(TFilterGraph& graph, TDSVideoWindowEx2& videoRenderer, TDSKitQxDSPFilter& dspFilter,
                   TKVideoHost* host, TFilterLibraries* libraries);
    ~TKGraphBuilder();
    TKGraphBuilder(const TKGraphBuilder&) = delete;
    TKGraphBuilder& operator=(const TKGraphBuilder&) = delete;
    // A new video window (between media).
    void SetHost(TKVideoHost* host, TDSVideoWindowEx2& videoRenderer);

    // Rebuilds Scripts() from the graph-script folder.
    void RefreshFilterGraphTypes();
    const std::vector<TGraphScriptInfo>& Scripts() const { return scripts_; }

    // The script for a file of that extension and name: the only candidate
    // with a settings row, the user's choice where the settings allow
    // asking, else the first candidate with a row; empty for none.
    std::string ScriptForFile(const std::string& ext, const std::string& shortName);
    bool PlayVideo(const std::u16string& fileName);
    bool PlayScriptVideo(const std::u16string& fileName, const std::string& scriptFile);
    bool PlayAutoVideo(const std::u16string& fileName);
    bool ExecuteScriptEngine(const std::u16string& fileName, const std::string& scriptFile);
    bool PlayDVD(const std::u16string& fileName);
    bool PlayScriptDVD(const std::u16string& folder, const std::string& scriptFile);
    // The filter the script exported under that name; nullptr when none.
    TFilter* GetExportFilter(const std::string& logName, const std::string& exportName);
    // The stream records of the graph's source filters.
    const TKStreamInfos& StreamInfos() const { return streamInfos_; }
    void FindMediaInfosFromGraph();

    // Folders: graph scripts for files and DVDs, the compiled-code cache
    // (base and sub folder), and the system's filter folder searched after
    // the application folder. Defaults from the program's paths.
    std::string ScriptFolder, DVDScriptFolder, CacheBase, CacheSub, SystemFilterFolder;

    // --- the state the natives act on ------------------------------------------
    TDynFilter DynFilters;
    std::vector<std::string> ScanDirs;
    std::vector<std::string> RegisteredFiles;
    std::vector<std::string> FailedFilters;
    std::vector<std::pair<std::string, std::string>> Exports; // (export name, filter name)
    std::vector<TFilterGraphScriptType> FileTypes;
    bool ScriptError = false;
    bool HasSubtitles = false;
    TFilter* FileSource = nullptr;
    TFilter* SubtitleSource = nullptr;
    TFilter* DvdNavigator = nullptr;
    // The navigator's control and state queries (only with a DVD graph).
    ComPtr<media::IDvdControl2> DvdControl;
    ComPtr<media::IDvdInfo2> DvdInfo;

    // The natives (graphnatives.cpp).
    void AddFilterScanDir(const std::string& dir);
    void RegisterFilter(const std::string& filter);
    void AddFilter(const std::string& name);
    bool ConnectPins(const std::string& filter1, const std::string& pin1, const std::string& filter2,
                     const std::string& pin2);
    bool ConnectPinsAuto(const std::string& filter1, const std::string& filter2);
    void Export(const std::string& exportName, const std::string& filterName);
    void AddFileType(const std::string& ext, const std::string& name);
    bool HasOutputPin(const std::string& filter, const std::string& pinName);
    void RemoveFilter(const std::string& filter);
    bool IsRawPin(const std::string& filter, const std::string& pinName);
    // The three host callbacks on an engine.
    void InstallCallbacks(script::TLumoScript& engine);

private:
    std::unique_ptr<script::TLumoScript> NewEngine();
    void ClearGraph(const char* proc);
    void DetachAll();
    void AttachAll();
    void LoadExports(const std::u16string& fileName);
    // Offers the subtitle filter every subtitle file beside the medium, in
    // the order of the table; the last one found stays loaded.
    void AddExternalSubtitles(media::IDirectVobSub& vobsub, const std::u16string& fileName);
    // The built (or half-built) graph to the window's log and the stream records.
    void DescribeGraph(const char* proc);
    void TearDownAfterError(const char* proc);

    TFilterGraph& graph_;
    TDSVideoWindowEx2* videoRenderer_;
    TDSKitQxDSPFilter& dspFilter_;
    TKVideoHost* host_;
    TFilterLibraries* libraries_;
    std::vector<TGraphScriptInfo> scripts_;
    // The script files Scripts() was built from.
    struct TScriptStamp {
        std::string File;
        uintmax_t Size;
        std::filesystem::file_time_type Time;
        friend bool operator==(const TScriptStamp&, const TScriptStamp&) = default;
    };
    std::vector<TScriptStamp> scriptStamps_;
    TKStreamInfos streamInfos_;
};

// The stream-compare native: 0 when equal, else the first differing bytes'
// difference, or the length difference when one is a prefix of the other.
int ScriptStrComp(const std::string& a, const std::string& b);

} // namespace kolvarin::video
