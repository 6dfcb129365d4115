#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include <QCoreApplication>
#include <QWidget>

#include "audio/cd_drives.h"
#include "core/desktop/kshellutils.h"
#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kcodecnames.h"
#include "core/settings/kconfig.h"
#include "core/settings/kformatdb.h"
#include "core/settings/khotkeys.h"
#include "core/stream/lumoutils.h"
#include "core/system/kdebug.h"
#include "core/system/kdrives.h"
#include "core/system/kerrors.h"
#include "core/system/kfiletypes.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/system/ksysinfo.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/text/ktemplates.h"
#include "forms/applylanguage.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "kaddmedia.h"
#include "kapp.h"
#include "keyhook/keyhook.h"
#include "kforms.h"
#include "kloadedfiles.h"
#include "kstep.h"
#include "playback/kbass.h"
#include "playback/ksystem.h"
#include "registry/registry.h"
#include "skin/kgui.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"
#include "video/kdirectshowside.h"

namespace kolvarin {

TKLoadedFiles LoadedFiles;

namespace {

constexpr const char* kInit = "KInitialize";
using registry::TRegistry;

void ForcePrivatePaths()
{
    Log(kInit, "Force private paths...");
    for (const char* folder : {"data/output/", "data/temp/", "data/images/", "data/skins/", "data/templates/"}) {
        std::error_code ec;
        std::filesystem::create_directories(UserPath + folder, ec);
    }
    Log(kInit, "Force private paths ok");
}

void DetectSystem()
{
    Log(kInit, "Detecting user administrative rights");
    UserIsAdmin = IsAdmin();
    Log(kInit, std::string("Detected user administrative rights: ") + (UserIsAdmin ? "true" : "false"));
    SetSplashText("Detecting cpu");
    Log(kInit, "Detecting cpu");
    CPUName = GetCPUName();
    CPUCores = GetCPUCores();
    if (CPUCores == 0)
        CPUCores = 1;
    Log(kInit, "Detected cpu: " + CPUName + " " + std::to_string(CPUCores) + " Cores");
}

// The video side needs what DirectX 7 gave; on this system it is always there.
bool CheckDirectX()
{
    uint32_t number = 0;
    std::string name;
    SetSplashText("Detecting directx");
    Log(kInit, "Vista/Win7 detected, forcing directx version");
    GetDirectXVersion(number, name);
    Log(kInit, "Detected directx: " + name);
    Log(kInit, "Checking directx version " + Quoted(name) + "...");
    if (number < 0x00070000) {
        Log(kInit, "No or invalid directx installed!");
        return false;
    }
    Log(kInit, "DirectX 7 or higher detected.");
    return true;
}

void CheckFirstStart()
{
    Log(kInit, "Detecting first start of kolvarin");
    TRegistry registry = OpenUserRegistry();
    const auto root = TRegistry::Root::CurrentUser;
    const std::string key = "Software\\Kolvarin";
    // A missing value counts as no first start.
    if (!registry.KeyExists(root, key) || registry.ReadInteger(root, key, "FirstStart").value_or(0) == 0)
        return;
    Log(kInit, "Detected first start of kolvarin");
    registry.WriteInteger(root, key, "FirstStart", 0);
    Log(kInit, "Get installation language");
    const std::string language = Utf16ToAnsi(registry.ReadString(root, key, "InstallerLanguage").value_or(u""));
    Log(kInit, "Got installation language: " + language);
    Config->Language = language == "english" ? "english[default]" : language.substr(0, 60);
    Log(kInit, "Using language: " + Config->Language);
    registry.Flush();
}

void LoadAcceptedExtensions()
{
    SetSplashText("Loading accepted file extensions");
    Log(kInit, "Set default extension whitelist");
    TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
    const std::string path = UserPath + "acceptedextensions.xml";
    if (LumoFileExists(path)) {
        Log(kInit, "Load extension whitelist from file " + Quoted(path));
        Config->LoadAcceptedExtensions(path);
    }
    LoadedFiles.AcceptedExtensions = true;
}

void LoadFilterManager()
{
    SetSplashText("Initialize filter manager");
    Log(kInit, "Set default media graphs");
    Config->SetDefaultFilters();
    const std::string path = UserPath + "filtermanager.xml";
    if (LumoFileExists(path)) {
        Log(kInit, "Load media graphs from file " + Quoted(path));
        Config->LoadFilterManager(path);
    }
    LoadedFiles.FilterManager = true;
}

void LoadLanguage()
{
    SetSplashText("Loading languages");
    const bool loaded = Guarded(kInit, "Exception while loading language: ", [] {
        Log(kInit, "Set default language");
        SetDefaultLanguage(Language);
        const std::string path = LanguageFolder() + Utf16ToUtf8(AnsiToUtf16(Config->Language)) + ".klang";
        if (LumoFileExists(path)) {
            Log(kInit, "Load language from file " + Quoted(path));
            LoadLanguageFile(Language, path);
        }
        Log(kInit, "Apply language to objects");
        ApplyLanguage(Language);
    });
    if (!loaded) {
        Log(kInit, "Set default language");
        SetDefaultLanguage(Language);
        ShowError(TKErrorCode::LanguageFileCorrupted, u"TKLanguage", u"", false);
    }
}

// The global bindings are the keys the hook grabs system-wide.
std::vector<keyhook::TGlobalKey> GlobalHotKeys()
{
    std::vector<keyhook::TGlobalKey> keys;
    for (const THotKeyEntry& e : HotKeys->Items())
        if (e.Global)
            keys.push_back({e.Key, e.Shift});
    return keys;
}

TZipHandler& SkinZip()
{
    static TZipHandler noForms;
    return Forms ? Forms->ZipHandler : noForms;
}

bool LoadDefaultSkin(const std::string& step)
{
    Log(kInit, step + "...");
    const uint8_t result = LoadSkinByName(GUI, kDefaultSkinName, true, SkinZip());
    if (result != kSkinLoaded) {
        Log(kInit, step + " failed: " + std::to_string(result));
        Log(kInit, "Skin error: " + LastSkinError());
        return false;
    }
    Log(kInit, step + " ok");
    return true;
}

// The built-in skin in place of one that failed; nothing of the failed skin
// may survive into it.
bool FallBackToDefaultSkin()
{
    FreeGUI(GUI);
    InitGUI(GUI);
    if (!LoadDefaultSkin("Load default skin (Fallback)"))
        return false;
    Config->Skin = kDefaultSkinName;
    return true;
}

// Step 11: the configured skin, falling back to the built-in one. False
// when not even the built-in skin loads.
bool LoadConfiguredSkin()
{
    const std::string name = Config->Skin;
    if (name == kDefaultSkinName)
        return LoadDefaultSkin("Load default skin");
    const std::string loading = "Loading skin " + Quoted(name) + " from file";
    Log(kInit, loading + "...");
    const uint8_t result = LoadSkinByName(GUI, name, false, SkinZip());
    if (result == kSkinLoaded) {
        Log(kInit, loading + " ok");
        return true;
    }
    Log(kInit,
        loading + " failed: " + (result == kSkinFilesMissing ? "Files not found!" : "Error while loading files!"));
    Log(kInit, "Skin error: " + LastSkinError());
    return FallBackToDefaultSkin();
}

// Step 12: the loaded skin on the windows. False when the skin gives a
// window no size or applying it fails.
bool ApplySurfaces()
{
    return Guarded(kInit, "Exception while apply surfaces: ", [] {
        if (!Forms)
            return;
        const TKSkinWindows windows = Forms->SkinWindows();
        Log(kInit, "Apply surfaces");
        if (!SkinSizesEveryWindow(GUI))
            throw std::runtime_error("the skin gives a window no size");
        ApplySkin(GUI, windows);
        Log(kInit, "Apply video fullscreen control");
        if (windows.FullscreenControl)
            ApplySkinToFullscreenControl(GUI, *windows.FullscreenControl);
    });
}

// Step 20: the analyzer painter, on the main window's analyzer, drawing the
// play system's frames.
void CreateSpectrumAnalyzer()
{
    Log(kInit, "Create spectrum analyzer...");
    if (Forms) {
        TKSkinnedMain& main = *Forms->SkinWindows().Main;
        Spectrum = new TSpectrum(main.imgAnalyzer->width(), main.imgAnalyzer->height());
        main.Spectrum = Spectrum;
        main.SetFullscreenControl(Forms->SkinWindows().FullscreenControl);
        main.SpectrumData = [](std::span<float> values) { return PlaySystem && PlaySystem->GetSpectrumData(values); };
        ApplySpectrumSettings();
    }
    Log(kInit, "Create spectrum analyzer ok");
}

// Steps 10 to 12: the skin record, the skin, and the skin on the windows.
bool InitializeSkin()
{
    SetSplashText("Loading user interface");
    const bool initialized = Guarded(kInit, "Initialize GUI failed: ", [] {
        Log(kInit, "Initialize GUI...");
        InitGUI(GUI);
        Log(kInit, "Initialize GUI ok");
    });
    if (!initialized) {
        ShowError(TKErrorCode::SkinEngineInit, u"TKGUI", u"", true);
        return false;
    }
    bool loaded = LoadConfiguredSkin();
    if (loaded && !ApplySurfaces() && Config->Skin != kDefaultSkinName) {
        loaded = FallBackToDefaultSkin();
        if (loaded)
            ApplySurfaces();
    }
    if (!loaded) {
        ShowError(TKErrorCode::SkinResourceLoad, u"TKGUI", u"", true);
        return false;
    }
    return true;
}

void LoadHotKeysAndHook()
{
    SetSplashText("Loading shortcuts");
    Guarded(kInit, "Exception while creating hotkeys class: ", [] {
        Log(kInit, "Create hotkeys class");
        HotKeys = new TKHotKeys();
    });
    if (HotKeys) {
        Guarded(kInit, "Exception while loading hotkeys class: ", [] {
            const std::string path = UserPath + "hotkeys.kkeys";
            if (LumoFileExists(path)) {
                Log(kInit, "Load hotkeys from file " + Quoted(path));
                HotKeys->LoadFromFile(path);
            } else {
                Log(kInit, "Set default hotkeys");
                HotKeys->SetDefaults();
            }
        });
        LoadedFiles.HotKeys = true;
        HotKeys->OnAction = RunHotKeyAction;
        HotKeys->KeyFocus = [] { return TKKeyFocus{PlaylistFocused(), IsPlayerForeground(0)}; };
        keyhook::KSetGlobalKeys(GlobalHotKeys());
    }
    Log(kInit, "Activate hook...");
    keyhook::KSetKolvHandler(Forms ? Forms->Get(TKForms::frmMain) : nullptr);
    if (keyhook::KEnableHook()) {
        Log(kInit, "Activate hook ok");
    } else {
        Log(kInit, "Activate hook failed!");
        ShowError(TKErrorCode::HookActivationFailed, u"TKHook", u"", false);
    }
}

// Reads a file, logging text + " ok"; when it cannot be read, logs
// text + " failed!" and the default's line, and sets the default.
template <typename Load, typename SetDefault>
void LoadOrDefault(const std::string& text, Load&& load, const std::string& defaultLine, SetDefault&& setDefault)
{
    if (load()) {
        Log(kInit, text + " ok");
        return;
    }
    Log(kInit, text + " failed!");
    Log(kInit, defaultLine);
    setDefault();
}

// A template from the user's templates folder, else its default text.
void LoadTemplate(TKTemplateLoader* loader, const std::string& name, const std::string& what,
                  const char16_t* defaultText)
{
    if (!loader)
        return;
    const std::string path = UserPath + "data/templates/" + name;
    const std::string text = "Load media info " + what + " template from file " + Quoted(path);
    Log(kInit, text + "...");
    LoadOrDefault(
        text, [&] { return loader->LoadFromFile(path); }, "Set default media info " + what + " template.",
        [&] { loader->Text = defaultText; });
}

void LoadTemplates()
{
    SetSplashText("Loading templates");
    Guarded(kInit, "Exception while creating template classes: ", [] {
        Log(kInit, "Create template loader classes");
        BalloonTemplate = new TKTemplateLoader();
        OSDTemplate = new TKTemplateLoader();
    });
    LoadTemplate(BalloonTemplate, "mediainfo_balloon.txt", "balloon", DefaultBalloonTemplate);
    LoadTemplate(OSDTemplate, "mediainfo_osd.txt", "osd", DefaultOSDTemplate);
}

// A format database from the shared db folder, else the built-in names.
void LoadFormatDatabase(TKFormatDatabase* db, const std::string& what, void (*setDefaults)(TKFormatDatabase&))
{
    if (!db)
        return;
    const std::string path = ApplicationPath + "data/db/" + what + "formats.xml";
    const std::string text = "Load " + what + " format database from file " + Quoted(path);
    Log(kInit, text);
    LoadOrDefault(
        text, [&] { return db->LoadFromFile(path); }, "Set default " + what + " format database",
        [&] { setDefaults(*db); });
}

void LoadFormatDatabases()
{
    SetSplashText("Loading format databases");
    Guarded(kInit, "Exception while creating format database classes: ", [] {
        Log(kInit, "Create format database classes");
        AudioFormatDB = new TKFormatDatabase();
        VideoFormatDB = new TKFormatDatabase();
    });
    LoadFormatDatabase(AudioFormatDB, "audio", SetDefaultAudioFormats);
    LoadFormatDatabase(VideoFormatDB, "video", SetDefaultVideoFormats);
}

void LoadDefaultPlaylist()
{
    SetSplashText("Loading playlist");
    Guarded(kInit, "Exception while creating playlist class: ", [] {
        Log(kInit, "Create playlist class");
        Playlist = new TKPlaylist();
        TKPlaylist::Hooks().RecycleFile = DeleteToRecycleBin;
    });
    if (!Playlist)
        return;
    const bool loaded = Guarded(kInit, "Error while loading playlist: ", [] {
        const std::string path = UserPath + "default.kpl";
        if (LumoFileExists(path)) {
            Log(kInit, "Loading playlist from file " + Quoted(path));
            LoadPlaylistFile(path, false, true);
        }
    });
    if (!loaded) {
        ShowError(TKErrorCode::PlaylistFileCorrupted, u"TKPlaylist", u"", false);
        Log(kInit, "Clear playlist");
        PlaylistClear();
    }
    LoadedFiles.Playlist = loaded;
}

// The play system and what reaches it from the windows, the timers and the
// playlist procedures.
void CreatePlaySystem()
{
    AudioDevices.clear();
    PlaySystem = new TKSystem();
    // The video window shows the picture and runs the equalizer and
    // spectrum on the side's DSP filter.
    video::VideoSide = new video::TKDirectShowSide(frmVideo);
    if (frmVideo)
        frmVideo->AttachDSP(&video::VideoSide->DSPFilter());
    PlaySystem->SetVideoSide(video::VideoSide);
    if (frmMain)
        PlaySystem->SetView(frmMain);
    ApplyPlayTexts(Language);
    PlaySystem->SetTerminateRequest([] { QMetaObject::invokeMethod(qApp, &RequestTerminate, Qt::QueuedConnection); });
    PlaylistHooks().StartPlay = [] { PlaySystem->StartPlay(); };
    PlaylistHooks().ShowMediaProblem = [](TKErrorCode code, const std::u16string& fileName) {
        PlaySystem->ShowMediaProblem(code, fileName, 0);
    };
}

bool InitBass(DWORD flags, const std::string& name)
{
    Log(kInit, "Initialize bass audio system (" + name + ")...");
    if (!BASS_Init(Config->BassDevice, 44100, flags, nullptr, nullptr)) {
        Log(kInit, "Initialize bass audio system (" + name + ") failed!");
        return false;
    }
    Log(kInit, "Initialize bass audio system (" + name + ") ok" + (flags ? "." : ""));
    BASS_GetInfo(&BassInfoRecord);
    PlaySystem->SetDeviceSpeakers(static_cast<int>(BassInfoRecord.speakers));
    return true;
}

// The audio library: version, devices, then the output with every speaker,
// else a plain stereo one. False (the start aborts) when neither opens.
bool InitializeAudioSystem()
{
    SetSplashText("Initialize audio system");
    Log(kInit, "Checking bass library version...");
    const DWORD version = BASS_GetVersion() >> 16;
    if (version != 0x0204) {
        Log(kInit, "Checking bass library version failed: Unknown version: " + std::to_string(version));
        ShowError(TKErrorCode::AudioLibraryVersion, u"TKBass", u"", true);
        return false;
    }
    Log(kInit, "Checking bass library version ok");
    Log(kInit, "Detecting audio devices...");
    AudioDevices.clear();
    BassDeviceInfo info;
    for (DWORD device = 1; BASS_GetDeviceInfo(device, &info); ++device)
        AudioDevices.push_back(info.name ? info.name : "");
    Log(kInit, "Detecting audio devices ok");
    audio::setCdDrives(GetCDDrives());
    PlaySystem->SetBassBuffer();
    if (!InitBass(bass::kDeviceSpeakers, "Surround") && !InitBass(0, "Normal")) {
        ShowError(TKErrorCode::AudioInit, u"TKBass", u"", true);
        return false;
    }
    return true;
}

// The defaults saved at the end replace config.xml: what the user had stays
// beside it.
void KeepDamagedConfig(const std::string& path)
{
    const std::string kept = path + ".damaged";
    std::error_code ec;
    std::filesystem::copy_file(path, kept, std::filesystem::copy_options::overwrite_existing, ec);
    Log("KLoadConfiguration", ec ? "Keeping the damaged config file as " + Quoted(kept) + " failed: " + ec.message()
                                 : "Damaged config file kept as " + Quoted(kept));
}

} // namespace

void KLoadConfiguration()
{
    const char* proc = "KLoadConfiguration";
    Log(proc, "Enter");
    SetSplashText("Loading configuration");
    Log(proc, "Create config class");
    Config = new TKConfig();
    const std::string path = UserPath + "config.xml";
    bool read = true;
    const bool loaded = Guarded(proc, "Exception while loading config: ", [&] {
        Log(proc, "Set default config");
        Config->SetDefaults();
        if (LumoFileExists(path)) {
            Log(proc, "Load from config file " + Quoted(path) + "...");
            const TKConfigLoadResult result = Config->LoadFromFile(path);
            read = bool(result);
            Log(proc, "Load from config file " + Quoted(path) + (read ? " ok" : " failed: " + result.Text));
        }
    });
    if (!loaded) {
        // A damaged file yields the complete defaults, never a mixture.
        Log(proc, "Set default config");
        Config->SetDefaults();
    }
    if (!loaded || !read)
        KeepDamagedConfig(path);
    Log(proc, "Leave");
}

void ApplySpectrumSettings()
{
    if (!Spectrum || !Config || !Forms)
        return;
    const auto& settings = Config->Spectrum;
    ConfigureSpectrum(*Spectrum, GUI.Main.Analyzer, settings.Type, settings.PeaksFallOff, settings.LinesFallOff,
                      settings.ShowPeaks, settings.Blur);
    TKSkinnedMain& main = *Forms->SkinWindows().Main;
    main.SpectrumShown = settings.Show;
    main.SpectrumStyle = settings.Type;
}

bool KInitialize()
{
    Log(kInit, "Enter");
    AppInitialized = false;

    SetSplashText("Checking directories");
    ForcePrivatePaths();
    DetectSystem();
    if (!CheckDirectX()) {
        ShowError(TKErrorCode::DirectXMissing, u"TKDirectX", u"", true);
        return false;
    }
    Log(kInit, "Initialize random generator");
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    LoadAcceptedExtensions();
    LoadFilterManager();

    SetSplashText("Checking registry");
    Guarded(kInit, "Exception while checking registry: ", CheckFirstStart);
    LoadLanguage();

    if (!InitializeSkin())
        return false;
    if (Forms) {
        // What the windows show (element states, the playlist) follows in
        // the rest of the start.
        Log(kInit, "Show windows");
        Forms->ShowAtStart();
        // The dialogs nobody has seen yet follow the main window, with
        // their texts.
        if (Forms->CreateDialogs())
            ApplyLanguage(Language);
    }

    SetSplashText("Initialize variables");
    Guarded(kInit, "Error while initialize variables: ", [] {
        CreatePlaySystem();
        if (!Forms)
            return;
        Log(kInit, "Load unzip library...");
        Forms->ZipHandler.SetDll_Load(false);
        Forms->ZipHandler.SetDllDirectory(Utf8ToUtf16(InstallPath));
        Forms->ZipHandler.SetDll_Load(true);
        Log(kInit, "Load unzip library ok");
    });
    LoadHotKeysAndHook();

    if (!PlaySystem || !InitializeAudioSystem())
        return false;
    CreateSpectrumAnalyzer();

    LoadDefaultPlaylist();

    SetSplashText("Loading history");
    Guarded(kInit, "Exception while creating history class: ", [] {
        Log(kInit, "Create history class");
        History = new TKHistory(UserPath + "history.log");
        History->Enabled = Config->Logging.EnableHistory;
        History->Add(Utf8ToUtf16("History start (" + DateTimeToStr() + ")"));
    });
    LoadTemplates();
    LoadFormatDatabases();

    SetSplashText("Preparing application");
    Log(kInit, "Prepare application...");
    SetApplicationState("PROGRAMMSTART");
    Log(kInit, "Prepare application ok");
    Log(kInit, "Load parameter...");
    KLoadParameter();
    Log(kInit, "Load parameter ok");

    AppInitialized = true;
    Log(kInit, "Leave with result: true");
    return true;
}

} // namespace kolvarin
