#pragma once

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace kolvarin::ipc {

// Failures of the channel, with the messages the callers log.
class EPipeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The single-instance server: a Unix-domain SOCK_SEQPACKET socket at
// `path` (mode 0600), served one client at a time on a thread of its own.
// Only peers of the same user are answered. Each data record is handed to
// OnReceive on the server thread (the receiver must pass it on to the main
// thread itself) and answered with its text reversed. A text too long for
// one record comes as parts of kind kPartKind on one connection, each
// answered, and is handed over whole with the last part (kind 1), up to
// kMaxTextBytes; a longer one is dropped unanswered.
class TKPipeServer {
public:
    // False refuses the text: the client gets no answer and knows it was not taken.
    using ReceiveProc = std::function<bool(uint8_t kind, const std::string& text)>;
    static constexpr uint8_t kPartKind = 2;
    static constexpr size_t kMaxTextBytes = size_t(1) << 20;

    // Creates the socket and starts the thread. Throws EPipeError "Requested
    // PIPE exists already." when a live server answers at `path` within
    // 100 ms, "Could not create PIPE." when the socket cannot be made. A stale
    // socket left by a crashed run is replaced.
    TKPipeServer(std::string path, ReceiveProc onReceive);
    // Sends the shutdown request to itself, then joins the thread and removes the socket.
    ~TKPipeServer();
    TKPipeServer(const TKPipeServer&) = delete;
    TKPipeServer& operator=(const TKPipeServer&) = delete;

    const std::string& Path() const { return path_; }

private:
    void Execute();
    void Serve(int client);

    std::string path_;
    ReceiveProc onReceive_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The second instance's side: one request, one reply.
class TKPipeClient {
public:
    explicit TKPipeClient(std::string path) : path_(std::move(path)) {}

    // Sends a record and returns the raw reply. Throws EPipeError "PIPE does
    // not exist." when nobody accepts within connectTimeoutMs, "PIPE did not
    // respond." when no reply comes within 500 ms.
    std::string Send(const std::string& request, int connectTimeoutMs = 10);

    // Sends text as a data record, a longer one (up to the server's
    // kMaxTextBytes, else EPipeError) in parts on one connection, and
    // returns the last reply's text.
    std::string SendString(const std::string& text, int connectTimeoutMs = 10);

private:
    // A connected socket; EPipeError "PIPE does not exist." when nobody accepts in time.
    int Connect(int connectTimeoutMs) const;

    std::string path_;
};

} // namespace kolvarin::ipc
