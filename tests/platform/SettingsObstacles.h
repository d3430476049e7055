#pragma once

// What keeps the user's settings file of an XdgSandbox from being written, while it lives: its
// lock held as by another running instance that hangs, or a settings folder without write
// permission. Tests of saves that must fail soon, tell the user once and lose nothing.

#include <QLockFile>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/RegistryFile.h"
#include "tests/platform/XdgSandbox.h"

class HeldSettingsLock {
public:
    explicit HeldSettingsLock(const XdgSandbox& xdg)
        : lock_(QString::fromStdString(HiveLockPath(xdg.userHive()))) {
        std::filesystem::create_directories(xdg.userFolder());
        lock_.tryLock(0);
    }
    bool ok() const { return lock_.isLocked(); }

private:
    QLockFile lock_;
};

// Permissions do not stop root, so for root the process's file accesses are those of an
// ordinary user (nobody) meanwhile; the real user id stays root, so they come back.
class ReadOnlySettingsFolder {
public:
    explicit ReadOnlySettingsFolder(const XdgSandbox& xdg) : folder_(xdg.userFolder()) {
        std::filesystem::create_directories(folder_);
        // The ordinary user must reach the folder to find it read-only.
        for (const std::string& f : {xdg.dir().path(), xdg.dir() / "user"}) chmod(f.c_str(), 0755);
        chmod(folder_.c_str(), 0555);
        ok_ = geteuid() != 0 || (dropped_ = seteuid(65534) == 0);
    }
    ~ReadOnlySettingsFolder() {
        if (dropped_ && seteuid(0) != 0) std::abort(); // the tests after this need their rights
        chmod(folder_.c_str(), 0755);
    }
    bool ok() const { return ok_; }

private:
    std::string folder_;
    bool ok_ = false, dropped_ = false;
};

// Each obstacle, with a piece of the reason that a message about a failed save gives for it.
// obstruct sets it up and returns what keeps it in place, or null when this machine cannot.
struct SettingsObstacle {
    const char* name;
    std::function<std::shared_ptr<void>(const XdgSandbox&)> obstruct;
    const char* reason;
};

template <typename Obstacle> std::shared_ptr<void> obstructWith(const XdgSandbox& xdg) {
    auto o = std::make_shared<Obstacle>(xdg);
    return o->ok() ? o : nullptr;
}

inline std::vector<SettingsObstacle> settingsObstacles() {
    return {{"another instance holds the lock", obstructWith<HeldSettingsLock>, "Sperrdatei"},
            {"read-only settings folder", obstructWith<ReadOnlySettingsFolder>,
             "schreibgeschützt"}};
}
