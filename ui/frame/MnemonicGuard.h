#pragma once

// An Alt+letter that no enabled control takes (the mnemonic of a greyed button) would reach
// the focused field as plain typing: "*.txt" plus Alt+M became "*.txtm", and the next run
// renamed files to it. This guard swallows such keys everywhere in the program, so that a
// mnemonic never types text.
void InstallMnemonicGuard();
