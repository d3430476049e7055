#pragma once

// Real processes that start their work at the same moment, for tests of what two running
// instances of the program do to shared files. Each child blocks on a pipe until go() closes
// it, runs its body and leaves with _exit, so nothing of the test framework runs twice.

#include <csignal>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ChildGroup {
public:
    ChildGroup() {
        if (pipe(gate_) != 0) gate_[0] = gate_[1] = -1;
    }
    // Children still running then are killed.
    ~ChildGroup() {
        go();
        for (pid_t pid : pids_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (gate_[0] >= 0) close(gate_[0]);
    }
    ChildGroup(const ChildGroup&) = delete;
    ChildGroup& operator=(const ChildGroup&) = delete;

    // body returns true on success. Returns the child's pid, or -1.
    pid_t start(const std::function<bool()>& body) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(gate_[1]);
            char c;
            while (read(gate_[0], &c, 1) > 0) {
            }
            _exit(body() ? 0 : 1);
        }
        if (pid > 0) pids_.push_back(pid);
        return pid;
    }

    void go() {
        if (gate_[1] >= 0) close(gate_[1]);
        gate_[1] = -1;
    }

    // Waits for every child; true when all of them exited with 0.
    bool waitAll() {
        go();
        bool ok = !pids_.empty();
        for (pid_t pid : pids_) {
            int status = 0;
            ok = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                 ok;
        }
        pids_.clear();
        return ok;
    }

private:
    int gate_[2];
    std::vector<pid_t> pids_;
};
