#include "video/graphbuilder.h"

#include <algorithm>
#include <filesystem>

#include <QScreen>

#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kfiles.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "media/graphif.h"
#include "script/lumoscript.h"
#include "video/dskitdspfilter.h"
#include "video/dskitvideowindow.h"
#include "video/kvideohost.h"
#include "video/matchptn.h"

namespace kolvarin::video {

using namespace media;

namespace {

constexpr const char* kScriptExtension = ".kgraph";

std::string LowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

bool ScriptFileExists(const std::string& file)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

} // namespace

TKGraphBuilder::TKGraphBuilder(TFilterGraph& graph, TDSVideoWindowEx2& videoRenderer, TDSKitQxDSPFilter& dspFilter,
                               TKVideoHost* host, TFilterLibraries* libraries)
    : ScriptFolder(ApplicationPath + "data/dsgraphs/"),
      DVDScriptFolder(ApplicationPath + "data/dvdgraphs/"),
      CacheBase(UserPath),
      CacheSub("data/temp"),
      SystemFilterFolder(InstallPath),
      graph_(graph),
      videoRenderer_(&videoRenderer),
      dspFilter_(dspFilter),
      host_(host),
      libraries_(libraries)
{}

TKGraphBuilder::~TKGraphBuilder() = default;

void TKGraphBuilder::SetHost(TKVideoHost* host, TDSVideoWindowEx2& videoRenderer)
{
    host_ = host;
    videoRenderer_ = &videoRenderer;
}

std::unique_ptr<script::TLumoScript> TKGraphBuilder::NewEngine()
{
    // The engine makes only the last folder level; a fresh user folder lacks
    // "data". Without a user folder nothing is cached.
    std::error_code ec;
    if (!CacheBase.empty())
        std::filesystem::create_directories(std::filesystem::path(CacheBase) / CacheSub, ec);
    auto engine = std::make_unique<script::TLumoScript>(CacheBase, CacheBase.empty() ? std::string() : CacheSub);
    InstallCallbacks(*engine);
    return engine;
}

void TKGraphBuilder::RefreshFilterGraphTypes()
{
    std::vector<std::string> files;
    ScanDirectory(ScriptFolder, std::string("*") + kScriptExtension, false, files);
    // The list only changes with the scripts: compiling them all again at
    // every play would cost the start of every video its time.
    std::vector<TScriptStamp> stamps;
    for (const std::string& file : files) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        const auto time = std::filesystem::last_write_time(file, ec);
        stamps.push_back({file, size, time});
    }
    if (!stamps.empty() && stamps == scriptStamps_)
        return;
    scriptStamps_ = std::move(stamps);
    scripts_.clear();
    std::unique_ptr<script::TLumoScript> engine;
    try {
        engine = NewEngine();
    } catch (const std::exception& e) {
        Log("TfrmVideo.RefreshFilterGraphTypes", std::string("Initialize lumo script failed: ") + e.what());
        scriptStamps_.clear();
        return;
    }
    for (const std::string& file : files) {
        engine->Clear();
        FileTypes.clear();
        if (!engine->CompileFile(file))
            continue;
        if (engine->GetProc("Filetypes") != 0)
            engine->CallProc("Filetypes", {}, execmem::ResultKind::Void);
        if (FileTypes.empty())
            continue;
        std::string name = ExtractFileNameA(file);
        name.resize(name.size() - std::string(kScriptExtension).size());
        scripts_.push_back({name, FileTypes});
    }
    FileTypes.clear();
}

std::string TKGraphBuilder::ScriptForFile(const std::string& ext, const std::string& shortName)
{
    const char* proc = "TfrmVideo.PlayVideo";
    Log(proc, "Find filter script...");
    std::vector<std::string> candidates;
    for (const TGraphScriptInfo& info : scripts_) {
        const bool fits = std::any_of(info.FileTypes.begin(), info.FileTypes.end(), [&](const auto& type) {
            return LowerAscii(type.Ext) == LowerAscii(ext) || MatchPattern(shortName.c_str(), type.Ext.c_str());
        });
        if (fits)
            candidates.push_back(info.Name);
    }
    Log(proc, "Find filter script ok, found: " + std::to_string(candidates.size()));
    auto hasRow = [&](const std::string& script) { return Config && Config->FindFilterEntry(ext, script) >= 0; };
    if (candidates.size() == 1) {
        Log(proc, "One script found.");
        Log(proc, "Search for script configuration...");
        std::string name;
        if (hasRow(candidates[0])) {
            Log(proc, "Search for script configuration ok");
            name = candidates[0];
        } else {
            Log(proc, "Search for script configuration failed!");
        }
        Log(proc, "Use script file: " + name);
        return name;
    }
    Log(proc, "Multiple scripts found.");
    Log(proc, "Calculate ask count...");
    const auto askCount = std::count_if(candidates.begin(), candidates.end(), [&](const std::string& script) {
        const int row = Config ? Config->FindFilterEntry(ext, script) : -1;
        return row >= 0 && Config->VideoFilters[row].CanAsk;
    });
    Log(proc, "Calculate ask count ok, got: " + std::to_string(askCount));
    if (askCount > 0) {
        Log(proc, "Ask for script file...");
        std::string chosen;
        bool dontAskAgain = false;
        if (!host_ || !host_->ChooseScript(candidates, chosen, dontAskAgain))
            chosen.clear();
        Log(proc, "Ask for script file ok, got: " + chosen);
        Log(proc, "Search script configuration...");
        const int row = Config ? Config->FindFilterByExtension(ext) : -1;
        if (row >= 0 && !chosen.empty()) {
            Log(proc, "Write script configuration");
            Config->VideoFilters[row].Script = chosen.substr(0, 255);
            Config->VideoFilters[row].CanAsk = !dontAskAgain;
        } else {
            Log(proc, "Search script configuration ok");
        }
        return chosen;
    }
    Log(proc, "Find script file by extension...");
    std::string name;
    for (const std::string& script : candidates)
        if (hasRow(script)) {
            name = script;
            break;
        }
    Log(proc, "Find script file by extension ok, got: " + name);
    return name;
}

bool TKGraphBuilder::PlayVideo(const std::u16string& fileName)
{
    const char* proc = "TfrmVideo.PlayVideo";
    ScriptError = false;
    const std::string name = Utf16ToUtf8(fileName);
    const std::string ext = Utf16ToUtf8(ExtractFileExtW(fileName));
    const std::string shortName = ExtractFileNameA(name);
    Log(proc, "Ext: " + ext);
    Log(proc, "Short filename: " + shortName);
    const std::string script = ScriptForFile(ext, shortName);
    Log(proc, "-- Use script: " + script);
    const std::string scriptFile = ScriptFolder + script + kScriptExtension;
    Log(proc, "Script file: " + scriptFile);
    bool result = false;
    Log(proc, "Check for script file existance...");
    const bool exists = !script.empty() && ScriptFileExists(scriptFile);
    if (exists) {
        Log(proc, "Play script video...");
        result = PlayScriptVideo(fileName, scriptFile);
        Log(proc, result ? "Play script video ok" : "Play script video failed!");
    } else {
        Log(proc, "Check for script file existance failed!");
    }
    if (!exists || (ScriptError && Config && Config->DSGraphFallback)) {
        Log(proc, "Play auto video...");
        result = PlayAutoVideo(fileName);
        Log(proc, result ? "Play auto video ok" : "Play auto video failed!");
    }
    Log(proc, std::string("Leave with result: ") + TrueFalse(result));
    return result;
}

bool TKGraphBuilder::PlayScriptVideo(const std::u16string& fileName, const std::string& scriptFile)
{
    const char* proc = "TfrmVideo.PlayScriptVideo";
    Log(proc, "Enter with Filename=" + Utf16ToUtf8(fileName) + ", ScriptFile=" + scriptFile);
    Log(proc, "Execute script engine...");
    const bool result = ExecuteScriptEngine(fileName, scriptFile);
    Log(proc, result ? "Execute script engine ok" : "Execute script engine failed!");
    Log(proc, std::string("Leave with result: ") + TrueFalse(result));
    return result;
}

void TKGraphBuilder::DetachAll()
{
    DynFilters.SetFilterGraph(nullptr);
    videoRenderer_->SetFilterGraph(nullptr);
    dspFilter_.SetFilterGraph(nullptr);
}

void TKGraphBuilder::AttachAll()
{
    videoRenderer_->SetFilterGraph(&graph_);
    dspFilter_.SetFilterGraph(&graph_);
    DynFilters.SetFilterGraph(&graph_);
}

void TKGraphBuilder::ClearGraph(const char* proc)
{
    Log(proc, "Clear filtergraph...");
    try {
        graph_.ClearGraph();
    } catch (const std::exception& e) {
        Log(proc, std::string("Clear filtergraph failed: ") + e.what());
    }
}

void TKGraphBuilder::DescribeGraph(const char* proc)
{
    Log(proc, "Write filter graph to log...");
    if (host_)
        host_->WriteFilterGraphToLog();
    Log(proc, "Find media infos from graph...");
    FindMediaInfosFromGraph();
}

void TKGraphBuilder::TearDownAfterError(const char* proc)
{
    Log(proc, "DS Error detected!");
    Log(proc, "Clear dynamic filter...");
    DynFilters.Clear();
    ClearGraph(proc);
}

bool TKGraphBuilder::ExecuteScriptEngine(const std::u16string& fileName, const std::string& scriptFile)
{
    const char* proc = "TfrmVideo.ExecuteScriptEngine";
    ScriptError = false;
    if (FileSource)
        Log(proc, "Release file source interface");
    if (SubtitleSource)
        Log(proc, "Release directvobsub interface");
    if (DvdNavigator)
        Log(proc, "Release dvd navigator interface");
    FileSource = SubtitleSource = DvdNavigator = nullptr;
    DvdControl = nullptr;
    DvdInfo = nullptr;
    Log(proc, "Clear registered files list");
    RegisteredFiles.clear();
    Log(proc, "Clear filters add failed list");
    FailedFilters.clear();
    Log(proc, "Clear filter scan dir list");
    ScanDirs.clear();
    Log(proc, "Add default search path to filter scan dir list");
    ScanDirs.push_back(ApplicationPath);
    ScanDirs.push_back(SystemFilterFolder);
    Exports.clear();
    Log(proc, "Clear dynamic filter...");
    DynFilters.Clear();
    HasSubtitles = false;

    Log(proc, "Initialize lumo script...");
    std::unique_ptr<script::TLumoScript> engine;
    try {
        engine = NewEngine();
    } catch (const std::exception& e) {
        Log(proc, std::string("Initialize lumo script failed: ") + e.what());
        ScriptError = true;
    }
    if (engine) {
        Log(proc, "Compile script " + Quoted(scriptFile) + "...");
        if (!engine->CompileFile(scriptFile)) {
            Log(proc, "Compile script " + Quoted(scriptFile) + " failed: " + engine->ErrorText());
            Log(proc, "Show error 3100");
            ShowError(TKErrorCode::GraphScriptSyntax, u"TKDirectShowScriptEngine", Utf8ToUtf16(engine->ErrorText()),
                      false);
            ScriptError = true;
        } else {
            Log(proc, "Get filter proc...");
            Log(proc, engine->GetProc("Filter") ? "Get filter proc ok" : "Get filter proc failed!");
            Log(proc, "Get connect proc...");
            Log(proc, engine->GetProc("Connect") ? "Get connect proc ok" : "Get connect proc failed!");
        }
    }
    // A procedure that is missing or faults sets ScriptError.
    auto run = [&](const char* procName, const char* failure) {
        if (!engine->GetProc(procName)) {
            ScriptError = true;
            return;
        }
        const auto result = engine->CallProc(procName, {}, execmem::ResultKind::Void);
        if (!result.ok) {
            Log(proc, std::string(failure) + result.error);
            ScriptError = true;
        }
    };
    while (!ScriptError) { // one pass; a failing step leaves it
        Log(proc, "Set dynamic filter graph...");
        DynFilters.SetFilterGraph(&graph_);
        Log(proc, "Execute script filter proc...");
        run("Filter", "Execute script filter proc failed: ");
        Log(proc, "Disable dynamic filter graph...");
        DynFilters.SetFilterGraph(nullptr);
        if (ScriptError) {
            Log(proc, "Goto fin (Add filters failed)");
            break;
        }
        Log(proc, "Query base filter...");
        Log(proc, "Query dsp filter...");
        Log(proc, "Add audio renderer filter");
        DynFilters.AddFilter("Audio Renderers", "Default DirectSound Device", "[Audio Renderer]");
        Log(proc, "Add video renderer filter");
        DynFilters.AddBaseFilter(videoRenderer_, "[Video Renderer]");
        Log(proc, "Add dsp filter");
        DynFilters.AddBaseFilter(&dspFilter_, "[DSP Filter]");
        Log(proc, "Release base interfaces");
        try {
            Log(proc, "Release filtergraph pointer...");
            DetachAll();
            ClearGraph(proc);
            Log(proc, "Assign filtergraph pointer...");
            AttachAll();
        } catch (const std::exception& e) {
            Log(proc, std::string("Error while preparing filtergraph: ") + e.what());
            ScriptError = true;
            Log(proc, "Goto fin (Prepare filtergraph failed)");
            break;
        }
        LoadExports(fileName);
        Log(proc, "Execute script connect proc...");
        run("Connect", "Execute script filter connect failed: ");
        if (ScriptError)
            Log(proc, "Goto fin (Connect filters failed)");
        break;
    }
    Log(proc, "Destroy lumo script engine...");
    engine.reset();
    DescribeGraph(proc);
    if (ScriptError)
        TearDownAfterError(proc);
    Log(proc, std::string("Leave with result: ") + TrueFalse(!ScriptError));
    return !ScriptError;
}

void TKGraphBuilder::LoadExports(const std::u16string& fileName)
{
    const char* proc = "TfrmVideo.ExecuteScriptEngine";
    Log(proc, "Get filesource filter...");
    FileSource = GetExportFilter("[FileSource]", "filesource");
    if (!FileSource) {
        Log(proc, "Get filesource filter failed!");
    } else {
        Log(proc, "Query filesource filter...");
        auto source = QueryAs<IFileSourceFilter>(FileSource->GetFilter().get());
        if (!source) {
            Log(proc, "Query filesource filter failed");
        } else {
            Log(proc, "Load filename into filesource...");
            const bool loaded = Succeeded(source->Load(fileName, nullptr));
            Log(proc, loaded ? "Load filename into filesource ok" : "Load filename into filesource failed!");
            Log(proc, "Releasing filesource filter");
        }
    }
    Log(proc, "Get directvobsub filter...");
    SubtitleSource = GetExportFilter("[DirectVobSub]", "directvobsub");
    if (!SubtitleSource) {
        Log(proc, "Get directvobsub filter failed!");
    } else {
        Log(proc, "Query directvobsub filter...");
        if (auto vobsub = QueryAs<IDirectVobSub>(SubtitleSource->GetFilter().get())) {
            Log(proc, "Add external subtitles...");
            AddExternalSubtitles(*vobsub, fileName);
            Log(proc, "Get subtitle count...");
            int32_t count = 0;
            if (Succeeded(vobsub->get_LanguageCount(&count))) {
                HasSubtitles = count > 0;
                Log(proc, "Get subtitle count ok, got: " + std::to_string(count));
            } else {
                HasSubtitles = false;
                Log(proc, "Get subtitle count failed!");
            }
            Log(proc, "Release directvobsub filter");
        }
    }
    Log(proc, "Get dvd navigator filter...");
    DvdNavigator = GetExportFilter("[DVD Navigator]", "dvd navigator");
    if (!DvdNavigator) {
        Log(proc, "Get dvd navigator filter failed!");
        return;
    }
    Log(proc, "Query dvd control filter...");
    DvdControl = QueryAs<IDvdControl2>(DvdNavigator->GetFilter().get());
    if (DvdControl) {
        Log(proc, "Set dvd directory...");
        const bool set = Succeeded(DvdControl->SetDVDDirectory(fileName));
        Log(proc, set ? "Set dvd directory ok" : "Set dvd directory failed!");
    }
    Log(proc, "Query dvd info filter...");
    DvdInfo = QueryAs<IDvdInfo2>(DvdNavigator->GetFilter().get());
}

void TKGraphBuilder::AddExternalSubtitles(IDirectVobSub& vobsub, const std::u16string& fileName)
{
    const char* proc = "TKSystem.AddExternalSubtitles";
    static constexpr const char16_t* kExtensions[] = {u".IDX", u".SMI", u".SUB", u".SRT",
                                                      u".PSB", u".SSA", u".ASS", u".USF"};
    const std::u16string stem = fileName.substr(0, fileName.size() - ExtractFileExtW(fileName).size());
    for (const char16_t* ext : kExtensions) {
        // The table's spelling, then the lower-case one: names here are case-sensitive.
        for (const std::u16string& candidate : {stem + ext, stem + WideLowerCase(ext)}) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(Utf16ToUtf8(candidate), ec))
                continue;
            const std::string quoted = Quoted(Utf16ToUtf8(candidate));
            Log(proc, "Subtitle file " + quoted + " found.");
            Log(proc, "Add subtitle file " + quoted + " to directvobsub...");
            vobsub.put_FileName(candidate);
            Log(proc, "Add subtitle file " + quoted + " to directvobsub ok");
            break;
        }
    }
}

TFilter* TKGraphBuilder::GetExportFilter(const std::string& logName, const std::string& exportName)
{
    const char* proc = "TfrmVideo.GetExportFilter";
    Log(proc, "Enter with exportname=" + exportName + ", logname=" + logName);
    Log(proc, "Find " + exportName + " export entry...");
    const std::string wanted = LowerAscii(exportName);
    auto hit = std::find_if(Exports.begin(), Exports.end(),
                            [&](const auto& entry) { return LowerAscii(entry.first) == wanted; });
    if (hit == Exports.end()) {
        Log(proc, "Find " + exportName + " export entry failed!");
        return nullptr;
    }
    Log(proc, "Get base filter from filtername...");
    TFilter* filter = DynFilters.GetFilter(hit->second);
    Log(proc, filter ? "Get base filter from filtername ok" : "Get base filter from filtername failed!");
    return filter;
}

bool TKGraphBuilder::PlayAutoVideo(const std::u16string& fileName)
{
    const char* proc = "TfrmVideo.PlayAutoVideo";
    Log(proc, "Clear registered filters");
    RegisteredFiles.clear();
    bool ok = true;
    try {
        Log(proc, "Release filtergraph pointer...");
        DynFilters.Clear();
        DetachAll();
        ClearGraph(proc);
        Log(proc, "Assign filtergraph pointer...");
        AttachAll();
    } catch (const std::exception& e) {
        Log(proc, std::string("Error while preparing filtergraph: ") + e.what());
        ok = false;
    }
    if (ok) {
        try {
            Log(proc, "Render file...");
            ok = Succeeded(graph_.RenderFile(fileName));
        } catch (const std::exception& e) {
            Log(proc, std::string("Render file failed: ") + e.what());
            ok = false;
        }
    }
    DescribeGraph(proc);
    if (!ok)
        TearDownAfterError(proc);
    return ok;
}

bool TKGraphBuilder::PlayDVD(const std::u16string& fileName)
{
    const char* proc = "TfrmVideo.PlayDVD";
    ScriptError = false;
    std::u16string folder = fileName;
    const size_t slash = folder.find_last_of(u'/');
    folder = slash == std::u16string::npos ? u"" : folder.substr(0, slash == 0 ? 1 : slash);
    Log(proc, "DVD directory: " + Utf16ToUtf8(folder));
    const std::string scriptFile = DVDScriptFolder + (Config ? Config->DVDGraph : std::string()) + kScriptExtension;
    Log(proc, "Script file: " + scriptFile);
    bool result = false;
    const bool exists = ScriptFileExists(scriptFile);
    if (exists) {
        Log(proc, "Play script dvd...");
        result = PlayScriptDVD(folder, scriptFile);
    }
    if (!exists || (ScriptError && Config && Config->DSGraphFallback)) {
        // There is no automatic DVD graph.
        Log(proc, "Play auto dvd...");
        Log(proc, "Play auto dvd failed!");
        result = false;
    }
    Log(proc, std::string("Leave with result: ") + TrueFalse(result));
    return result;
}

bool TKGraphBuilder::PlayScriptDVD(const std::u16string& folder, const std::string& scriptFile)
{
    const char* proc = "TfrmVideo.PlayScriptDVD";
    Log(proc, "Execute script engine...");
    if (!ExecuteScriptEngine(folder, scriptFile)) {
        Log(proc, "Execute script engine failed!");
        return false;
    }
    Log(proc, "Clear forward/backward speed");
    if (host_)
        host_->ResetSpeedItems();
    if (DvdControl) {
        Log(proc, "Set dvd options");
        DvdControl->SetOption(DVD_NotifyParentalLevelChange, false);
        DvdControl->SetOption(DVD_HMSF_TimeCodeEvents, true);
        Log(proc, "Play dvd with 1.0 forward speed");
        DvdControl->PlayForwards(1.0, 0);
    }
    return true;
}

void TKGraphBuilder::FindMediaInfosFromGraph()
{
    const char* proc = "FindMediaInfosFromGraph";
    Log(proc, "Clear current stream infos");
    streamInfos_.clear();
    auto graph = graph_.Query<IFilterGraph>();
    ComPtr<IEnumFilters> filters;
    Log(proc, "Find source filter from graph...");
    bool found = false;
    if (graph && Succeeded(graph->EnumFilters(filters.put()))) {
        ComPtr<IBaseFilter> f;
        while (filters->Next(1, f.put(), nullptr) == S_OK)
            if (IsMediaSourceFilter(f.get())) {
                found = true;
                GetPinStreamInfos(f.get(), streamInfos_);
            }
    }
    if (!found)
        Log(proc, "Find source filter from graph failed!");
    else
        Log(proc, "Copy source streams to current stream infos...");
}

} // namespace kolvarin::video
