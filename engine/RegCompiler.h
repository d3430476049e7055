#pragma once

// What the parts of the regular-expression compiler hand each other. The parser drives a
// builder, which either only counts the bytes of the program or writes them; the analysis then
// reads the finished program once, to work out what the matcher would otherwise find out again
// on every exec. Nothing outside the compiler uses these; regcomp (RegProgram.h) is its entry.

#include <cstdint>

#include "engine/RegProgram.h"

namespace regcompiler {

// What the parser reports about a piece of the pattern.
constexpr int NONEMPTY = 1;   // cannot match the empty string
constexpr int SINGLECHAR = 2; // always matches exactly one character
constexpr int LEADREPEAT = 4; // begins with a * or + repetition

constexpr int kUnbounded = 256;
constexpr int kNoNode = -1;

// What the parser asks of a builder. The sizing builder hands out a placeholder node (kNoNode)
// for which every link operation does nothing.
class ProgramBuilder {
public:
    virtual ~ProgramBuilder() = default;
    virtual void emitByte(std::uint8_t c) = 0;
    virtual int emitNode(std::uint8_t op) = 0;
    virtual void insertNode(std::uint8_t op, int before) = 0;
    virtual void setTail(int p, int q) = 0;
    virtual void setOperandTail(int p, int q) = 0;
    virtual int nextNode(int p) const = 0;
    virtual long mark() const = 0;
    virtual void endAtom(long mark) = 0;
    virtual void repeat(int atom, int min, int max) = 0;
    int error = 0;
};

// Parses the whole pattern (NUL-terminated, not empty) into b; returns the flags of the
// top-level alternation. A refused pattern leaves its error code in b.error.
int parse(const char* pattern, ProgramBuilder& b);

// Writes the program for pattern into prog.program, with its size in prog.programSize.
// Returns 0 and the parser's flags for the whole pattern, or an error code.
int emit(const char* pattern, RegProgram& prog, int& flags);

// Skips start positions that cannot lead to a match: first character, anchor, required literal.
void optimise(RegProgram& prog, int flags);

// Fills the matcher's per-node tables and the first-character filter.
void analyse(RegProgram& prog);

} // namespace regcompiler
