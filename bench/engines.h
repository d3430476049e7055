#pragma once

// One adapter per regular-expression engine, so the benchmark can run them all over the same
// names in the same loop. Every adapter takes a pattern in our syntax, matches case-insensitively
// and searches the whole name (the pattern may match anywhere unless it is anchored).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class Outcome : std::uint8_t {
    NoMatch,
    Match,
    Error, // the engine gave up (match limit, stack, ...)
};

class Engine {
public:
    virtual ~Engine() = default;
    virtual const char* name() const = 0;
    // Compiles pattern (our syntax); false with a reason if this engine refuses it.
    virtual bool compile(const std::string& pattern, std::string& error) = 0;
    virtual Outcome match(std::string_view subject) = 0;
};

std::unique_ptr<Engine> makeOurEngine();
std::unique_ptr<Engine> makeStdRegexEngine();
// matchLimit 0 keeps PCRE2's default (10 million); a lower one makes it give up sooner.
std::unique_ptr<Engine> makePcre2Engine(bool jit, std::uint32_t matchLimit = 0);
std::unique_ptr<Engine> makeRe2Engine();
