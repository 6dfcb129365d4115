#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ktest {
namespace {

int listenOnLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler))
{
    listener_ = listenOnLoopback(port_);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    stopping_ = true;
    acceptor_.join();
    for (std::thread& t : connections_)
        t.join();
    if (listener_ >= 0)
        ::close(listener_);
}

std::string LoopbackServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackServer::send(int socket, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void LoopbackServer::acceptLoop()
{
    while (!stopping_ && listener_ >= 0) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd] {
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
                pollfd q{fd, POLLIN, 0};
                if (::poll(&q, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<std::size_t>(n));
            }
            if (!stopping_)
                handler_(fd, request, stopping_);
            ::close(fd);
        });
    }
}

int closedPort()
{
    int port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd);
    return port;
}

} // namespace ktest
