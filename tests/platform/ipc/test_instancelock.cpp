#include "ipc/instancelock.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "temphome.h"

using kolvarin::ipc::TInstanceLock;

TEST(InstanceLock, OneOwnerAtATimeAndReleasedWithTheProcess)
{
    ktest::TempDir dir;
    const std::string file = (dir.path() / "kolvarin.lock").string();
    {
        TInstanceLock first(file);
        EXPECT_TRUE(first.Owned());
        pid_t child = ::fork();
        if (child == 0) {
            TInstanceLock second(file);
            ::_exit(second.Owned() ? 1 : 0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0) << "another process must not get the lock";
    }
    TInstanceLock again(file);
    EXPECT_TRUE(again.Owned());

    TInstanceLock broken((dir.path() / "missing" / "kolvarin.lock").string());
    EXPECT_FALSE(broken.Owned());
    EXPECT_TRUE(broken.Failed());
}

TEST(InstanceLock, WaitsForTheHolderToLetGo)
{
    ktest::TempDir dir;
    const auto file = dir.path() / "kolvarin.lock";
    auto first = std::make_unique<TInstanceLock>(file.string());
    ASSERT_TRUE(first->Owned());
    TInstanceLock second(file.string()); // flock locks per open file, in one process too
    EXPECT_FALSE(second.Failed());
    EXPECT_FALSE(second.Owned());
    EXPECT_FALSE(second.WaitOwned(50));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        first.reset();
    });
    EXPECT_TRUE(second.WaitOwned(10000));
    release.join();
}
