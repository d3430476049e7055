#include "platform/KeyboardLeds.h"

#include <filesystem>
#include <fstream>
#include <system_error>

LockKeyStates ReadLockKeyStates(const std::string& ledRoot) {
    LockKeyStates states;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ledRoot, ec)) {
        const std::string name = entry.path().filename().string();
        const auto colons = name.rfind("::");
        if (colons == std::string::npos) continue;
        const std::string function = name.substr(colons + 2);
        bool* state = function == "capslock"     ? &states.caps
                      : function == "numlock"    ? &states.num
                      : function == "scrolllock" ? &states.scroll
                                                 : nullptr;
        if (!state) continue;
        std::ifstream in(entry.path() / "brightness");
        int brightness = 0;
        if (!(in >> brightness)) continue;
        states.known = true;
        *state = *state || brightness > 0;
    }
    return states;
}
