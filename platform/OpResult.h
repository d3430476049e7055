#pragma once

// Outcome of a platform operation: an error code, and where the code alone would not say
// what went wrong, a text of its own.

#include <cstdint>
#include <string>

#include "platform/errors.h"

struct OpResult {
    std::uint32_t code = 0;
    std::string message; // overrides the code's text when set

    bool ok() const { return code == 0 && message.empty(); }
    std::string text() const { return message.empty() ? FormatSystemError(code) : message; }

    static OpResult fromErrno(int err) { return {winErrorFromErrno(err), {}}; }
    static OpResult withText(std::uint32_t code, std::string text) { return {code, std::move(text)}; }
};
