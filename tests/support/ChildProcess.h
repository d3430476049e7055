#pragma once

// Runs a piece of a test in a child process: to drop root rights, or to mount file systems in
// a private mount namespace that vanishes with the child. The body returns an empty string on
// success or a description of what went wrong; "SKIP: why" when the machine cannot do it.

#include <cstdlib>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

inline std::string runInChild(const std::function<std::string()>& body, bool privateMounts = false) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    pid_t pid = fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        close(fds[0]);
        std::string msg;
        if (privateMounts && (unshare(CLONE_NEWNS) != 0 ||
                              mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
            msg = "SKIP: no private mount namespace (needs root)";
        else
            msg = body();
        if (!msg.empty() && write(fds[1], msg.data(), msg.size()) < 0) _exit(3);
        _exit(msg.empty() ? 0 : 1);
    }
    close(fds[1]);
    std::string msg;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) msg.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (msg.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) msg = "child failed";
    return msg;
}

// In a child with private mounts: makes a small FAT image and mounts it on mountPoint, with the
// kernel's vfat or, where the kernel has none and inUserSpace allows it, with fusefat (which
// refuses RENAME_NOREPLACE and hard links, as many FUSE mounts do). Empty on success, else a
// "SKIP: ..." answer for the child to return. Unmount with umount2(mountPoint, MNT_DETACH).
inline std::string mountFatImage(const std::string& image, const std::string& mountPoint,
                                 bool inUserSpace = false) {
    if (geteuid() != 0) return "SKIP: mounting needs root";
    const std::string make = "truncate -s 4M '" + image + "' && mkfs.fat '" + image + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return "SKIP: cannot make a FAT image (mkfs.fat)";
    const std::string kernel = "mount -o loop '" + image + "' '" + mountPoint + "' 2>/dev/null";
    if (std::system(kernel.c_str()) == 0) return {};
    if (!inUserSpace) return "SKIP: the kernel cannot mount a FAT image here";
    const std::string fuse = "fusefat -o rw+ '" + image + "' '" + mountPoint + "' >/dev/null 2>&1";
    return std::system(fuse.c_str()) == 0 ? std::string() : "SKIP: neither vfat nor fusefat can mount a FAT image here";
}

// In a test: runs body in a child and turns its answer into a failure or a skip.
#define EXPECT_CHILD_OK(...)                                                                       \
    do {                                                                                           \
        std::string childMessage_ = runInChild(__VA_ARGS__);                                       \
        if (childMessage_.rfind("SKIP: ", 0) == 0) GTEST_SKIP() << childMessage_.substr(6);        \
        EXPECT_EQ(childMessage_, "");                                                              \
    } while (0)
