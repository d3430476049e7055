#pragma once

// The lock keys' states for the status bar, read from the kernel's keyboard LEDs
// (/sys/class/leds/<input>::capslock and so on). Desktops give programs no portable way to ask,
// and the LEDs are what the user sees on the keyboard.

#include <string>

struct LockKeyStates {
    bool known = false; // no keyboard LED found: the indicators stay dim
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// A lock is on when any keyboard's LED for it is lit.
LockKeyStates ReadLockKeyStates(const std::string& ledRoot = "/sys/class/leds");
