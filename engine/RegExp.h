#pragma once

// The handle through which the program compiles, matches and expands regular expressions.
// Copies share one compiled program, which nothing changes after compiling; each handle has its
// own match state (groups, error text, replacement counter), so copies never disturb each other
// and a copy goes on from the state it was copied with.

#include <memory>
#include <string>
#include <string_view>

#include "engine/RegProgram.h"
#include "engine/RegState.h"

class RegExp {
public:
    RegExp() = default;
    RegExp(const char* pattern, bool caseSensitive);
    RegExp(const std::string& pattern, bool caseSensitive)
        : RegExp(pattern.c_str(), caseSensitive) {}

    bool isValid() const { return prog_ && prog_->valid; }
    bool isAnchored() const { return isValid() && prog_->anchored; }
    const std::string& errorText() const { return state_.errorText; }
    bool hasError() const { return !state_.errorText.empty(); }

    // True if subject matches; a null subject is an error. wordBefore: see regexec.
    bool exec(const char* subject);
    bool exec(std::string_view subject, bool wordBefore = false);

    // Index of the highest group that took part in the last match, -1 after a failed one.
    int highestGroup();
    // Byte offset of group i (0 = the whole match) in the last subject.
    int groupStart(int i);
    // Byte length of group i; 0 for a group that took no part.
    int groupLength(int i);

    // Expands replacement for the last match into out.
    bool substitute(const char* replacement, std::string& out);
    bool substitute(const std::string& replacement, std::string& out) {
        return substitute(replacement.c_str(), out);
    }

    // The compiled program and this handle's match state, for tests and tools that inspect them.
    const RegProgram* program() const { return prog_.get(); }
    const RegState& state() const { return state_; }

private:
    void clearErrors() { state_.errorText.clear(); }
    bool noProgram();

    std::string subject_;
    std::shared_ptr<const RegProgram> prog_;
    RegState state_;
};
