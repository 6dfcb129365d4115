#include "virtualdisplay.h"

#include <csignal>
#include <random>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ktest {

pid_t SpawnQuietly(std::vector<std::string> args, char** envp)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int result = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

VirtualDisplay::VirtualDisplay(const std::string& screen)
{
    std::random_device random;
    const int first = 1000 + static_cast<int>(random() % 30000);
    for (int display = first; display < first + 20 && name_.empty(); ++display) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        // -displayfd with a display number: that one or none; the number is written once it is ready.
        std::vector<std::string> args = {"/usr/bin/Xvfb", ":" + std::to_string(display),
                                         "-displayfd",    std::to_string(fds[1]),
                                         "-nolisten",     "tcp",
                                         "-screen",       "0",
                                         screen,          "-nocursor"};
        pid_ = SpawnQuietly(std::move(args), environ);
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (pid_ > 0 && !number.empty())
            name_ = ":" + number;
        else
            Stop();
    }
}

VirtualDisplay::~VirtualDisplay() { Stop(); }

void VirtualDisplay::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace ktest
