#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kolvarin {

namespace ipc {
class TKPipeServer;
}

// The path of the single-instance socket in the user folder.
std::string PipePath();

// Starts the single-instance server; null (logged) when it cannot be made,
// and the program goes on without the hand-over.
std::unique_ptr<ipc::TKPipeServer> CreatePipeServer();

// The second instance's hand-over of its command line (program first).
void KSendAllReadyExistsMessage2(const std::vector<std::u16string>& words);

// Main thread: from now on received command lines are handled as they come;
// those that arrived during start-up are handled now.
void EnableReceivedParameters();

// Main thread, before the application object goes: received command lines
// are only queued from now on.
void DisableReceivedParameters();

// Main thread: handles one received command line.
void KIPCServerReceiveProc(const std::string& text);

} // namespace kolvarin
