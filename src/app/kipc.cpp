#include "kipc.h"

#include <QCoreApplication>

#include "base/threadsafety.h"
#include "core/system/kcmdline.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kdebug.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "ipc/pipe.h"
#include "kapp.h"
#include "kquit.h"
#include "kstep.h"
#include "post/post.h"

namespace kolvarin {

namespace {

// A start while the other instance starts or shuts down waits this long for it.
constexpr int kHandOverTimeoutMs = 2000;

// Texts received on the server thread, waiting for the main thread, and
// what the main thread does with them; guarded by g_mutex, which is taken
// alone (the wake-up is posted under it).
enum class TReceiving { Queued, Handled, Refused };
Mutex g_mutex;
std::vector<std::string> g_received GUARDED_BY(g_mutex);
TReceiving g_receiving GUARDED_BY(g_mutex) = TReceiving::Queued;

void DrainReceived()
{
    std::vector<std::string> texts;
    {
        MutexLock lock(g_mutex);
        texts.swap(g_received);
    }
    for (const auto& text : texts)
        KIPCServerReceiveProc(text);
}

// Server thread: queue the text and, once the main thread takes them, wake it.
// The wake-up is posted under the lock, so the application object cannot go
// away between the check and the post. After the shutdown took the last
// texts a text is refused: unanswered, the start that sent it waits for
// this instance to end and takes its place.
bool OnReceive(uint8_t, const std::string& text)
{
    MutexLock lock(g_mutex);
    if (g_receiving == TReceiving::Refused)
        return false;
    g_received.push_back(text);
    if (g_receiving == TReceiving::Handled)
        post::PostCall(QCoreApplication::instance(), &DrainReceived);
    return true;
}

} // namespace

std::string PipePath() { return UserPath + "kolvarin.pipe"; }

std::unique_ptr<ipc::TKPipeServer> CreatePipeServer()
{
    std::unique_ptr<ipc::TKPipeServer> server;
    Guarded("Project",
            "Create ipc server failed: ", [&] { server = std::make_unique<ipc::TKPipeServer>(PipePath(), OnReceive); });
    return server;
}

bool KSendAllReadyExistsMessage2(const std::vector<std::u16string>& words)
{
    const char* proc = "KSendAllReadyExistsMessage2";
    Log(proc, "Create IPC Client");
    ipc::TKPipeClient client(PipePath());
    Log(proc, "Update parameters...");
    TKCmdParameterHandler handler;
    handler.UpdateFromCommandLine(words);
    std::u16string program = QuoteCommandLineWord(Utf8ToUtf16(InstallPath + "kolvarin"));
    if (program.front() != u'"')
        program = u"\"" + program + u"\"";
    const std::u16string text = program + u" " + handler.WholeText();
    Log(proc, u"Update parameters ok, got: " + text);
    Log(proc, "Send to IPC Server...");
    const bool sent =
        Guarded(proc, "Send to IPC Server failed: ", [&] { client.SendString(Utf16ToUtf8(text), kHandOverTimeoutMs); });
    if (sent)
        Log(proc, "Send to IPC Server ok");
    Log(proc, "Release IPC Client.");
    return sent;
}

void EnableReceivedParameters()
{
    {
        MutexLock lock(g_mutex);
        g_receiving = TReceiving::Handled;
    }
    DrainReceived();
}

void DisableReceivedParameters()
{
    {
        MutexLock lock(g_mutex);
        g_receiving = TReceiving::Refused;
    }
    // Texts that came after the message loop's last look still reach the
    // playlist the shutdown saves.
    DrainReceived();
}

void KIPCServerReceiveProc(const std::string& text)
{
    const char* proc = "KIPCServerReceiveProc";
    Log(proc, "Enter");
    const std::u16string line = Utf8ToUtf16(text);
    Log(proc, u"Got message: " + line);
    Log(proc, u"Handle parameter: " + line);
    TKCmdParameterHandler handler;
    handler.Update(line);
    bool quit = false;
    KHandleParameter2(handler, quit);
    if (quit) {
        Log(proc, "Got close signal");
        Log(proc, "Terminate application");
        RequestQuit();
    } else {
        Log(proc, "Load parameter");
        KLoadParameter();
    }
    Log(proc, "Leave");
}

} // namespace kolvarin
