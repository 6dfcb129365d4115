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

// The second instance's hand-over of its command line (program first);
// false when the running instance did not take it (it is ending, or has no
// channel).
bool KSendAllReadyExistsMessage2(const std::vector<std::u16string>& words);

// Main thread: from now on received command lines are handled as they come;
// those that arrived during start-up are handled now.
void EnableReceivedParameters();

// Main thread, before the shutdown saves: the command lines received so far
// are handled, later ones are refused.
void DisableReceivedParameters();

// Main thread: handles one received command line.
void KIPCServerReceiveProc(const std::string& text);

} // namespace kolvarin
