#pragma once

// What matching and expansion write, kept apart from the compiled program so that one program
// can serve any number of handles: the groups of the last match, the error text of the last
// operation, the replacement counter and the matcher's reusable scratch. Each RegExp handle owns
// one; copying a handle copies this small state and shares the program.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/RegProgram.h"

struct RegState {
    RegState() {
        for (int i = 0; i < kRegGroups; ++i) groupStart[i] = groupEnd[i] = -1;
    }

    int groupStart[kRegGroups]; // byte offsets into the last subject; -1 = not taking part
    int groupEnd[kRegGroups];
    int highestGroup = -1;         // highest group that took part in the last match, or -1
    std::string errorText;         // message of the last error, empty if the last call went well
    std::int32_t counterValue = 0; // counter state of regsub
    bool counterStarted = false;

    // Matcher scratch, kept so that repeated execs reuse the allocations: the (node, position)
    // pairs that already failed in the current exec, per STAR/PLUS node the run it last counted
    // and the part of it from which the rest of the pattern is known to fail, stamped with the
    // exec that counted it, and the trail of group marks to take back on failure (emptied by
    // every attempt). Between execs the memo is all zeros and no stamp is ahead of execCount, so
    // scratch is never copied: a copy starts with none, and an assigned state keeps its own,
    // which stays consistent whatever program it is used with next.
    struct Scratch {
        struct StarState {
            std::uint32_t exec = 0;
            int runStart = 0, runEnd = 0, failFrom = -1;
        };
        std::vector<std::uint64_t> failedBits;
        std::vector<std::uint32_t> failedWords;
        std::vector<StarState> starStates;
        std::uint32_t execCount = 0;
        std::vector<std::pair<int, int>> trail; // (group slot, value it had before)

        Scratch() = default;
        Scratch(const Scratch&) {}
        Scratch(Scratch&&) noexcept = default;
        Scratch& operator=(const Scratch&) { return *this; }
        Scratch& operator=(Scratch&&) noexcept { return *this; }
        ~Scratch() = default;
    };
    Scratch scratch;
};

// Matches prog against subject [subject, subject + length), recording the groups in state.
// Returns true on a match; a null subject is error 1. wordBefore tells that the subject is the
// rest of a longer text whose character just before it is a word character, so that \< does
// not match at its first character.
bool regexec(const RegProgram& prog, RegState& state, const char* subject, std::size_t length,
             bool wordBefore = false);

// Expands replacement with the groups in state, those of the last successful regexec on subject
// (the same subject). On failure returns false and sets state.errorText; out is then not to be
// used.
bool regsub(const RegProgram& prog, RegState& state, const char* subject,
            std::size_t subjectLength, const char* replacement, std::string& out);

// Number of node visits made by the last regexec on this thread, for tests and benchmarks that
// check the matcher's work is bounded.
std::uint64_t regexecVisits();
