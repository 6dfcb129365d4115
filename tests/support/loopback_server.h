#pragma once

// A small HTTP server on 127.0.0.1 for the tests that download: each
// connection runs the handler on its own thread with the request text; the
// handler writes whatever it likes and should return once stopping() is set.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ktest {

class LoopbackServer {
public:
    using Handler = std::function<void(int socket, const std::string& request, const std::atomic<bool>& stopping)>;
    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    std::string url(const std::string& path) const;
    // Writes all bytes; false when the peer is gone.
    static bool send(int socket, const std::string& bytes);

private:
    void acceptLoop();
    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

} // namespace ktest
