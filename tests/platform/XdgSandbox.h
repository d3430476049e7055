#pragma once

// Points the user configuration folder ($XDG_CONFIG_HOME), the machine configuration folders
// ($XDG_CONFIG_DIRS, two of them), the state folder of the undo journal ($XDG_STATE_HOME) and
// the user's data folder with the trash and the desktop entries ($XDG_DATA_HOME) at fresh
// temporary folders while it lives, so that tests never see or touch real settings or the real
// trash. The old values come back afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/TempDir.h"

class XdgSandbox {
public:
    XdgSandbox()
        : saved_{get("XDG_CONFIG_HOME"), get("XDG_CONFIG_DIRS"), get("XDG_STATE_HOME"), get("XDG_DATA_HOME")} {
        for (const char* sub : {"user", "machine1", "machine2", "state", "data"})
            std::filesystem::create_directories(dir_ / sub);
        setenv("XDG_CONFIG_HOME", (dir_ / "user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (dir_ / "machine1" + ":" + dir_ / "machine2").c_str(), 1);
        setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    }
    ~XdgSandbox() {
        restore("XDG_CONFIG_HOME", saved_[0]);
        restore("XDG_CONFIG_DIRS", saved_[1]);
        restore("XDG_STATE_HOME", saved_[2]);
        restore("XDG_DATA_HOME", saved_[3]);
    }
    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    const TempDir& dir() const { return dir_; }
    std::string userFolder() const { return dir_ / "user/Orvane"; }
    std::string userHive() const { return dir_ / "user/Orvane/Orvane.reg"; }
    std::string journalFolder() const { return dir_ / "state/Orvane"; }
    // The home trash ($XDG_DATA_HOME/Trash) and the user's desktop entries.
    std::string trashFolder() const { return dir_ / "data/Trash"; }
    std::string applicationsFolder() const { return dir_ / "data/applications"; }
    // which = 1 or 2, in the order of $XDG_CONFIG_DIRS.
    std::string machineHive(int which = 1) const {
        return dir_ / ("machine" + std::to_string(which) + "/Orvane/Orvane.reg");
    }

    // Writes a file, creating its folder.
    static void put(const std::string& path, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

private:
    static std::optional<std::string> get(const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    }

    TempDir dir_;
    std::optional<std::string> saved_[4];
};
