#pragma once

// Tests file names against a compiled regular expression or wildcard name; used by the Find
// command and the folder scan. All wildcard matching ignores case.

#include <memory>
#include <string>

#include "engine/RegExp.h"

class CVNFileNameMatcher {
public:
    CVNFileNameMatcher() = default;
    virtual ~CVNFileNameMatcher() = default;

    // Compiles a regular expression. On failure errorMessage() holds the text to show: the
    // engine's error e alone for an empty format, the format with e in place of "%s", or
    // the format, a blank, e and a full stop.
    virtual bool compile(const std::string& regExp, bool caseSensitive,
                         const std::string& messageFormat = std::string());

    // Compiles a wildcard name, case-insensitively, anchored at both ends; a trailing ".*" needs
    // an extension.
    virtual bool compileWildcard(const std::string& wildcard);

    // Whether the compiled expression matches name; false if nothing is compiled.
    virtual bool match(const std::string& name);

    // The expansion of replacement for the last match, or false with the error message in out.
    virtual bool replace(const std::string& replacement, std::string& out);

    const std::string& errorMessage() const { return message_; }
    const RegExp* regExp() const { return re_.get(); }

private:
    std::string formatMessage(const std::string& error, const std::string& format) const;

    std::unique_ptr<RegExp> re_;
    std::string message_;
};
