// Two instances of the real program side by side.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/platform/XdgSandbox.h"

namespace {

pid_t launch(const std::string& runtime) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        execl(ORVANE_PROGRAM, ORVANE_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

} // namespace

// Both start and run; each ends cleanly on SIGTERM, which only a started program answers by
// closing its window (a program stuck at a start-up message would die of the signal).
TEST(Instances, TwoRunSideBySide) {
    XdgSandbox sandbox;
    const std::string runtime = sandbox.dir() / "run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const pid_t first = launch(runtime), second = launch(runtime);
    ASSERT_TRUE(first > 0 && second > 0);
    const std::string marker = runtime + "/ORVANE.lock";
    // Start-up is done when the window exists; give both a generous moment.
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    for (pid_t pid : {first, second}) {
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "an instance ended by itself";
        kill(pid, SIGTERM);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << (WIFEXITED(status) ? "exit status " : "killed by signal ")
            << (WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}
