#pragma once

// The handle through which the program compiles, matches and expands regular expressions.
// Copies share one compiled program; exec gives a shared handle a private copy first, so that
// the match state it writes does not disturb the others.

#include <memory>
#include <string>
#include <string_view>

#include "engine/RegProgram.h"

class RegExp {
public:
    RegExp() = default;
    RegExp(const char* pattern, bool caseSensitive);
    RegExp(const std::string& pattern, bool caseSensitive)
        : RegExp(pattern.c_str(), caseSensitive) {}

    bool isValid() const { return prog_ && prog_->valid; }
    bool isAnchored() const { return isValid() && prog_->anchored; }
    std::string errorText() const { return prog_ ? prog_->errorText : error_; }
    bool hasError() const { return !errorText().empty(); }

    // True if subject matches; a null subject is an error.
    bool exec(const char* subject);
    bool exec(std::string_view subject);

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

    // The compiled program, for tests and tools that inspect it.
    const RegProgram* program() const { return prog_.get(); }

private:
    void clearErrors();
    bool noProgram();

    std::string subject_;
    std::string error_;
    std::shared_ptr<RegProgram> prog_;
};
