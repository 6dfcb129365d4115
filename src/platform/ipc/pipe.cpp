#include "ipc/pipe.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "ipc/pipemessage.h"

namespace kolvarin::ipc {

namespace {

constexpr int kReplyTimeoutMs = 500;
constexpr int kShutdownTimeoutMs = 100;

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    path.copy(address.sun_path, path.size());
    return true;
}

class Socket {
public:
    Socket() : fd_(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0)) {}
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int result;
    do {
        result = ::poll(&p, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

// Receives one record; empty when nothing arrives in time.
std::string ReceiveRecord(int fd, int timeoutMs)
{
    if (!WaitFor(fd, POLLIN, timeoutMs))
        return {};
    std::string buffer(TPipeMessage::kRecordSize, '\0');
    ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n <= 0)
        return {};
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

bool SendRecord(int fd, const std::string& record)
{
    return ::send(fd, record.data(), record.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(record.size());
}

bool SameUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

bool ConnectTo(int fd, const sockaddr_un& address)
{
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// One request and its reply on a connected socket.
std::string Exchange(int fd, const std::string& request)
{
    if (!SendRecord(fd, request))
        throw EPipeError("PIPE did not respond.");
    std::string reply = ReceiveRecord(fd, kReplyTimeoutMs);
    if (reply.empty())
        throw EPipeError("PIPE did not respond.");
    return reply;
}

} // namespace

TKPipeServer::TKPipeServer(std::string path, ReceiveProc onReceive)
    : path_(std::move(path)), onReceive_(std::move(onReceive))
{
    sockaddr_un address;
    if (!MakeAddress(path_, address))
        throw EPipeError("Could not create PIPE.");
    {
        Socket probe;
        if (probe.fd() >= 0 && ConnectTo(probe.fd(), address))
            throw EPipeError("Requested PIPE exists already.");
    }
    // Nobody answers there: a socket file left by a crashed run.
    ::unlink(path_.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    // The socket lives in the private user folder; 0600 keeps it so if the folder is opened up.
    const bool bound = listener_ >= 0 &&
                       ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::chmod(path_.c_str(), 0600) == 0;
    if (!bound || ::listen(listener_, 16) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
        throw EPipeError("Could not create PIPE.");
    }
    thread_ = std::thread([this] { Execute(); });
}

TKPipeServer::~TKPipeServer()
{
    try {
        TPipeMessage request;
        request.Kind = 0;
        request.Text = "shutdown pipe " + path_;
        TKPipeClient(path_).Send(request.Encode(), kShutdownTimeoutMs);
    } catch (const EPipeError&) {
        // The shutdown below wakes the thread.
    }
    stop_ = true;
    // Wakes the thread when the request did not reach it.
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
    ::unlink(path_.c_str());
}

void TKPipeServer::Execute()
{
    // Waits without a time-out: an idle program is not woken four times a
    // second; the destructor wakes the thread.
    while (!stop_) {
        if (!WaitFor(listener_, POLLIN, -1))
            continue;
        Socket client(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC));
        if (client.fd() < 0 || !SameUser(client.fd()))
            continue;
        Serve(client.fd());
    }
}

void TKPipeServer::Serve(int client)
{
    std::string parts; // of a text longer than one record, so far
    for (;;) {
        const std::string received = ReceiveRecord(client, kReplyTimeoutMs);
        const auto message = TPipeMessage::Decode(received);
        if (!message)
            return;
        if (message->Kind == 0 && message->Text == "shutdown pipe " + path_) {
            TPipeMessage ok;
            ok.Kind = 0;
            ok.Text = "OK";
            SendRecord(client, ok.Encode());
            stop_ = true;
            return;
        }
        if (parts.size() + message->Text.size() > kMaxTextBytes)
            return;
        parts += message->Text;
        if (message->Kind == kPartKind) {
            if (!SendRecord(client, TPipeMessage::Reply(received)))
                return;
            continue;
        }
        bool taken = true;
        if (onReceive_) {
            try {
                taken = onReceive_(message->Kind, parts);
            } catch (...) {
                // A failing receiver must not end the server.
            }
        }
        if (taken)
            SendRecord(client, TPipeMessage::Reply(received));
        return;
    }
}

int TKPipeClient::Connect(int connectTimeoutMs) const
{
    sockaddr_un address;
    if (!MakeAddress(path_, address))
        throw EPipeError("PIPE does not exist.");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(connectTimeoutMs);
    for (;;) {
        Socket socket;
        if (socket.fd() >= 0 && ConnectTo(socket.fd(), address))
            return socket.release();
        if (std::chrono::steady_clock::now() >= deadline)
            throw EPipeError("PIPE does not exist.");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string TKPipeClient::Send(const std::string& request, int connectTimeoutMs)
{
    Socket socket(Connect(connectTimeoutMs));
    return Exchange(socket.fd(), request);
}

std::string TKPipeClient::SendString(const std::string& text, int connectTimeoutMs)
{
    if (text.size() > TKPipeServer::kMaxTextBytes)
        throw EPipeError("Command line too long for the PIPE.");
    Socket socket(Connect(connectTimeoutMs));
    std::string reply;
    size_t sent = 0;
    do {
        TPipeMessage request;
        request.Text = text.substr(sent, TPipeMessage::kTextSize - 1);
        sent += request.Text.size();
        request.Kind = sent < text.size() ? TKPipeServer::kPartKind : 1;
        reply = Exchange(socket.fd(), request.Encode());
    } while (sent < text.size());
    const auto decoded = TPipeMessage::Decode(reply);
    return decoded ? decoded->Bytes : std::string();
}

} // namespace kolvarin::ipc
