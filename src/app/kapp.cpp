#include "kapp.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <fontconfig/fontconfig.h>
#include <malloc.h>
#include <unistd.h>

#include "core/desktop/kwindowicon.h"
#include "core/settings/kconfig.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kfilesave.h"
#include "core/system/kfiletypes.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/system/ksysinfo.h"
#include "core/text/kstrings.h"
#include "dialogs/captionstrip.h"
#include "dialogs/newsform.h"
#include "dialogs/splashform.h"
#include "ffload/ffload.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "ipc/instancelock.h"
#include "ipc/pipe.h"
#include "kapplication.h"
#include "kerrordialog.h"
#include "kforms.h"
#include "kipc.h"
#include "kquit.h"
#include "ksignals.h"
#include "kstep.h"
#include "skin/kskinload.h"

namespace kolvarin {

namespace {

constexpr const char* kProject = "Project";
// How long a start whose hand-over was refused waits for the ending instance.
constexpr int kTakeOverTimeoutMs = 20000;
constexpr const char* kRevisionKeyword = "[$Rev: 411 $]";

TfrmSplash* frmSplash = nullptr;

// The version text: program version, " Bugfix Release" and the revision part.
std::string BuildVersionText()
{
    std::string revision;
    const std::string keyword = kRevisionKeyword;
    const size_t open = keyword.find("[$Rev: ");
    const size_t close = keyword.find(" $]");
    if (open != std::string::npos && close != std::string::npos && close > open + 7) {
        std::string number = keyword.substr(open + 7, close - open - 7);
        revision = " - Revision " + number;
    }
    return std::string(KOLVARIN_VERSION) + " Bugfix Release" + revision;
}

bool UserFolderWritable() { return ::access(UserPath.c_str(), W_OK) == 0; }

// The splash window with its picture: the user's own first, then the shipped one.
std::unique_ptr<TfrmSplash> CreateSplash()
{
    Log(kProject, "Create splash window");
    auto splash = std::make_unique<TfrmSplash>();
    const std::string privateImage = UserPath + "data/splashscreen.bmp";
    const std::string sharedImage = ApplicationPath + "data/splashscreen.bmp";
    Guarded(kProject, "Load splash image failed: ", [&] {
        if (std::ifstream(privateImage).good()) {
            Log(kProject, "Load splash image from private path");
            splash->LoadSplashImage(privateImage);
        } else if (std::ifstream(sharedImage).good()) {
            Log(kProject, "Load splash image from application path");
            splash->LoadSplashImage(sharedImage);
        }
    });
    return splash;
}

// What the options that act at once do: the registrations of "/register",
// "/unregister" and "/setasdefault" (on the user's registry stand-in and the
// desktop's files), full screen, the monitor, the volume and time jumps.
void InstallParameterActions()
{
    std::error_code ec;
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    using registry::TRegistry;
    ParameterActions.RegisterFileTypes = [exe] {
        ChangeUserRegistry([&](TRegistry& reg) { RegisterAllFileTypes(reg, exe); });
    };
    ParameterActions.RegisterContextMenu = [exe] {
        ChangeUserRegistry([&](TRegistry& reg) { RegisterApplicationContextMenu(reg, exe); });
    };
    ParameterActions.UnregisterFileTypes = [] { ChangeUserRegistry(UnregisterAllFileTypes); };
    ParameterActions.UnregisterContextMenu = [] { ChangeUserRegistry(UnregisterApplication); };
    ParameterActions.SetAsDefault = [exe] {
        ChangeUserRegistry([&](TRegistry& reg) { RegisterMediaClient(reg, exe); });
    };
    ParameterActions.SetAutoFullscreen = [](bool on) { Config->AutoFullscreen = on; };
    ParameterActions.SetMonitor = [](uint8_t monitor) { Config->VideoFSForceDisplay = static_cast<int8_t>(monitor); };
    ParameterActions.VolumeUp = VolumeUp;
    ParameterActions.VolumeDown = VolumeDown;
    ParameterActions.TimeJumpForward = SeekForward;
    ParameterActions.TimeJumpBackward = SeekBackward;
}

// Temporaries that a killed save left beside the user's files. Only the first
// instance removes them, holding the lock: no other one is saving then.
void RemoveStaleSaveTemporaries()
{
    static const struct {
        const char* folder;
        std::vector<std::string> files;
    } saved[] = {
        {"", {"config.xml", "acceptedextensions.xml", "filtermanager.xml", "default.kpl", "hotkeys.kkeys"}},
        {"data/templates/", {"mediainfo_balloon.txt", "mediainfo_osd.txt"}},
    };
    for (const auto& group : saved) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(UserPath + group.folder, ec)) {
            const std::string name = entry.path().filename().string();
            for (const std::string& file : group.files)
                if (IsSaveTemporaryName(name, file) && std::filesystem::remove(entry.path(), ec))
                    Log(kProject, "Removed stale temporary file " + Quoted(entry.path().string()));
        }
    }
}

} // namespace

void SetSplashText(const std::string& text)
{
    if (frmSplash)
        frmSplash->SetStatusText(text);
}

namespace {

// From the application object to the destroyed windows: splash, windows,
// initialisation, message loop and shutdown.
void RunWindows(int argc, char** argv)
{
    // Outlives the application object: the shutdown's saves reach the disk
    // while the windows and the application go.
    std::optional<TKDeferredSaves> shutdownSaves;
    // The built-in skin's bitmap decodes beside the application object and
    // the windows being made.
    if (Config->Skin == kDefaultSkinName)
        PrepareBuiltinSkinBitmap();
    TKApplication application(argc, argv);
    TKSignalWatcher signalWatcher;
    std::error_code ec;
    const bool positionsSaved = std::filesystem::exists(UserPath + "config.xml", ec);
    std::unique_ptr<TfrmSplash> splash;
    if (Config->SplashScreen)
        splash = CreateSplash();
    frmSplash = splash.get();
    Log(kProject, "Initialize application");
    QApplication::setApplicationDisplayName(QStringLiteral("Kolvarin"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setPalette(DialogPalette());
    if (splash) {
        Log(kProject, "Show splash screen");
        splash->show();
        splash->repaint();
    }
    TKMessageBoxDialog errorDialog;
    SetErrorDialog(&errorDialog);
    SetTerminateRequest(RequestQuit);

    SetSplashText("Initialize forms");
    Log(kProject, "Create forms...");
    TKForms forms;
    forms.FirstStart = !positionsSaved;
    forms.CreateSkinnedWindows();
    Forms = &forms;
    forms.ZipHandler.MessageDialog = [](const std::u16string& text) {
        QMessageBox::warning(Forms->Get(TKForms::frmMain), QApplication::applicationName(),
                             QString::fromStdU16String(text));
    };
    Log(kProject, "Create forms ok");

    SetSplashText("Initializing application");
    Log(kProject, "Initialize kolvarin...");
    KInitialize();
    Log(kProject, "Initialize kolvarin ok");
    RunDeferredParameterActions();
    EnableReceivedParameters();

    SetSplashText("Starting application");
    if (splash) {
        Log(kProject, "Release splash screen");
        splash->SetCanClose(true);
        frmSplash = nullptr;
        splash.reset();
    }
    Log(kProject, "Swap memory");
    ::malloc_trim(0);
    // Without saved positions (the first start), or with positions that
    // make the windows cover each other, the windows appear as one block in
    // the middle of the screen; else where they were.
    if (!positionsSaved || forms.SkinnedWindowsOverlap())
        forms.ShowSkinnedWindows();
    // Once a start: nothing of the user's is kept, and the starts do not find each other.
    if (!UserFolderWritable()) {
        const std::string text = "The user folder " + Quoted(UserPath) +
                                 " cannot be written: settings and playlist are not saved, and every start opens a "
                                 "player of its own.";
        Log(kProject, text);
        if (frmMain)
            frmMain->ShowBalloon(u"Kolvarin", Utf8ToUtf16(text), 30, true);
    }
    // The news check waits for the message loop: the windows show first.
    if (Config->NewsWindowOnStartUp && frmNews)
        QTimer::singleShot(0, frmNews, [] {
            Log(kProject, "Show news");
            frmNews->ShowNews(false);
        });
    // FFmpeg loads beside the message loop, before the first medium needs it.
    std::jthread ffmpegLoader(ffload::Preload);
    Log(kProject, "Run application...");
    // A fatal start or a signal during start-up has asked for the end already.
    if (!QuitRequested())
        QApplication::exec();
    Log(kProject, "Run application ok");
    // A shutdown soon after the start waits for the library being loaded only.
    ffmpegLoader.request_stop();
    DisableReceivedParameters();

    Log(kProject, "Kill kolvarin...");
    shutdownSaves.emplace([](const std::string& fileName, const std::string& message) {
        Log("KKill", "Save to file " + Quoted(fileName) + " failed: " + message);
    });
    KKill();
    Log(kProject, "Kill kolvarin ok");

    Log(kProject, "Destroy forms...");
    Forms = nullptr;
    forms.DestroyAll();
    Log(kProject, "Destroy forms ok");
    SetErrorDialog(nullptr);
    SetTerminateRequest(nullptr);
}

// The first instance from its version line to the end of the message loop;
// returns the pipe server, which lives until the cleanup.
std::unique_ptr<ipc::TKPipeServer> RunFirstInstance(int argc, char** argv, const std::vector<std::u16string>& words)
{
    // Reading the font configuration (some sixty files) was the slowest part
    // of the first text drawn, the splash's: it runs beside the start until
    // then, and the window library finds it done.
    std::jthread fontConfiguration([] { FcInit(); });
    Log(kProject, "Create mutex ok");
    TKSignalCatcher quitSignals;
    VersionText = BuildVersionText();
    Log(kProject, "Application Version: " + VersionText);
    Log(kProject, "Detecting operating system");
    OSVersion = GetOSVersion();
    Log(kProject, "Detected operating system: " + GetOSName(OSVersion));
    ApplicationPath = DetectApplicationPath(InstallPath);
    Log(kProject, "Installation Path: " + InstallPath);
    Log(kProject, "Application Path: " + ApplicationPath);
    Log(kProject, "User Path: " + UserPath);
    Log(kProject, "Set application title");
    QApplication::setApplicationName(QStringLiteral("Kolvarin"));
    Log(kProject, "Create ipc server...");
    std::unique_ptr<ipc::TKPipeServer> pipeServer = CreatePipeServer();
    if (pipeServer)
        Log(kProject, "Create ipc server ok");

    Log(kProject, "Load configuration...");
    KLoadConfiguration();
    Log(kProject, "Load configuration ok");
    Log(kProject, "Set log write to file");
    DebugLog->SetLogToFile(Config->Logging.EnableTextFile);
    RemoveStaleSaveTemporaries();

    Log(kProject, "Handle parameters...");
    InstallParameterActions();
    bool quitRequested = false;
    TKCmdParameterHandler handler;
    handler.UpdateFromCommandLine(words);
    KHandleParameter2(handler, quitRequested);
    Log(kProject, "Handle parameters ok");
    if (quitRequested) {
        Log(kProject, "Got quit parameter, exiting!");
        // No window library took the configuration over: it is ours to free.
        fontConfiguration.join();
        FcFini();
    } else {
        RunWindows(argc, argv);
    }
    return pipeServer;
}

} // namespace

int KolvarinMain(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");

    InstallPath = DetectInstallPath();
    UserPath = DetectUserPath();
    if (UserPath.empty())
        UserPath = InstallPath;

    // The lock comes before the log: a second start must never delete the
    // running instance's log file.
    ipc::TInstanceLock instanceLock(UserPath + "kolvarin.lock");
    bool secondInstance = !instanceLock.Owned() && !instanceLock.Failed();

    std::unique_ptr<TKDebug> debugLog;
    const auto createLog = [&] {
        debugLog = std::make_unique<TKDebug>(secondInstance ? std::string() : UserPath + "kolvarin.log");
        debugLog->SetViewerSocket(UserPath + "trace.socket");
        DebugLog = debugLog.get();
    };
    createLog();
    SetZipLogHook([](const std::string& proc, const std::u16string& text) { Log(proc, text); });
    Log(kProject, "Create mutex...");

    std::vector<std::u16string> words;
    for (int i = 0; i < argc; ++i)
        words.push_back(Utf8ToUtf16(argv[i]));

    if (secondInstance) {
        Log(kProject, "Create mutex failed, already exists!");
        Log(kProject, "Send parameter to kolvarin instance...");
        const bool handedOver = KSendAllReadyExistsMessage2(words);
        Log(kProject, "Send parameter to kolvarin instance ok");
        // Not taken: the running instance is ending, and this start waits
        // for it and takes its place. A user folder that cannot be written
        // holds no channel, so no instance could take it: this start runs
        // as one of its own (and says why).
        if (!handedOver && (!UserFolderWritable() || instanceLock.WaitOwned(kTakeOverTimeoutMs))) {
            Log(kProject, "Hand-over not taken, starting as the first instance");
            secondInstance = false;
            createLog();
        } else {
            Log(kProject, "Goto cleanup");
        }
    }
    std::unique_ptr<ipc::TKPipeServer> pipeServer;
    if (!secondInstance)
        pipeServer = RunFirstInstance(argc, argv, words);

    if (pipeServer) {
        Log(kProject, "Kill ipc server");
        pipeServer.reset();
    }
    if (!instanceLock.Failed())
        Log(kProject, "Release mutex handle");
    Log(kProject, "Release log");
    DebugLog = nullptr;
    return 0;
}

} // namespace kolvarin
