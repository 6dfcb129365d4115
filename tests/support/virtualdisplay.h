#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace ktest {

// Starts the program (argv[0], a full path) with its output discarded; its
// pid, or -1.
pid_t SpawnQuietly(std::vector<std::string> argv, char** envp);

// A private Xvfb for one test, stopped on destruction. Servers in other mount
// namespaces leave no lock file here but share the abstract socket names, so
// Xvfb's own search from display 0 can end on a display that answers for
// someone else: the server starts far up, at a random display, and moves on
// while the one tried is taken. Name() is empty when no server started.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& screen = "1280x800x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }

private:
    void Stop();

    pid_t pid_ = -1;
    std::string name_;
};

} // namespace ktest
