// Lock-key states from a made-up LED folder like /sys/class/leds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/KeyboardLeds.h"
#include "tests/support/TempDir.h"

TEST(KeyboardLeds, ALockIsOnWhenAnyKeyboardLightsIt) {
    TempDir root;
    for (const auto& [name, brightness] : std::initializer_list<std::pair<const char*, const char*>>{
             {"input3::capslock", "0"}, {"input7::capslock", "1"}, {"input3::numlock", "1"},
             {"input3::scrolllock", "0"}, {"input3::kana", "1"}, // not a lock key of the status bar
             {"mmc0::", "1"},                                     // not a keyboard
             {"input9::scrolllock", nullptr}}) {                  // unreadable: ignored
        std::filesystem::create_directories(root / name);
        if (brightness) std::ofstream(root / name + "/brightness") << brightness << "\n";
    }
    const LockKeyStates s = ReadLockKeyStates(root.path());
    EXPECT_TRUE(s.known && s.caps && s.num);
    EXPECT_FALSE(s.scroll);
    for (const std::string& path : {root / "mmc0::", root / "missing"}) // no keyboard LEDs
        EXPECT_FALSE(ReadLockKeyStates(path).known) << path;
}
