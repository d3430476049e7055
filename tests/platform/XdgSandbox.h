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
    XdgSandbox() {
        const std::string values[] = {dir_ / "user", dir_ / "machine1:" + dir_ / "machine2",
                                      dir_ / "state", dir_ / "data"};
        for (int i = 0; i < 4; ++i) {
            if (const char* v = std::getenv(kVars[i])) saved_[i] = v;
            setenv(kVars[i], values[i].c_str(), 1);
        }
        for (const char* sub : {"user", "machine1", "machine2", "state", "data"})
            std::filesystem::create_directories(dir_ / sub);
    }
    ~XdgSandbox() {
        for (int i = 0; i < 4; ++i)
            saved_[i] ? setenv(kVars[i], saved_[i]->c_str(), 1) : unsetenv(kVars[i]);
    }
    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    const TempDir& dir() const { return dir_; }
    std::string userFolder() const { return dir_ / "user/Orvane"; }
    std::string userHive() const { return dir_ / "user/Orvane/Orvane.reg"; }
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
    // A settings file in the program's own text form around the given lines.
    static std::string hiveText(const std::string& lines) {
        return "Orvane registry file, format 1\n" + lines + "End of Orvane registry file\n";
    }

private:
    static constexpr const char* kVars[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_STATE_HOME",
                                            "XDG_DATA_HOME"};
    TempDir dir_;
    std::optional<std::string> saved_[4];
};
