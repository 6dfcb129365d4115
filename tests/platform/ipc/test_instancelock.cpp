#include "ipc/instancelock.h"

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
