// Lock-key states from a made-up LED folder like /sys/class/leds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/KeyboardLeds.h"
#include "tests/support/TempDir.h"

namespace {

void led(const TempDir& root, const std::string& name, const char* brightness) {
    std::filesystem::create_directories(root / name);
    if (brightness) std::ofstream(root / name + "/brightness") << brightness << "\n";
}

} // namespace

TEST(KeyboardLeds, ALockIsOnWhenAnyKeyboardLightsIt) {
    TempDir root;
    led(root, "input3::capslock", "0");
    led(root, "input7::capslock", "1");
    led(root, "input3::numlock", "1");
    led(root, "input3::scrolllock", "0");
    led(root, "input3::kana", "1");           // not a lock key of the status bar
    led(root, "mmc0::", "1");                 // not a keyboard
    led(root, "input9::scrolllock", nullptr); // unreadable: ignored
    const LockKeyStates s = ReadLockKeyStates(root.path());
    EXPECT_TRUE(s.known);
    EXPECT_TRUE(s.caps);
    EXPECT_TRUE(s.num);
    EXPECT_FALSE(s.scroll);
}

TEST(KeyboardLeds, WithoutKeyboardLedsNothingIsKnown) {
    TempDir root;
    led(root, "mmc0::", "1");
    for (const std::string& path : {root.path(), root / "missing"}) {
        const LockKeyStates s = ReadLockKeyStates(path);
        EXPECT_FALSE(s.known) << path;
        EXPECT_FALSE(s.caps || s.num || s.scroll) << path;
    }
}
