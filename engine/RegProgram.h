#pragma once

// The compiled form of one regular expression: a byte program of linked nodes that the
// backtracking matcher interprets, and what the compiler worked out about it in advance. It is
// never changed after regcomp, so handles share it; what matching writes lives in RegState.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/chars.h"

// Node opcodes of the byte program. A node is: opcode (1 byte), the distance to the next node
// (2 bytes, little-endian, signed; subtracted for BACK; 0 = none), then an optional operand.
enum RegOp : std::uint8_t {
    END = 0,       // the match succeeds
    BOL = 1,       // start of the subject
    EOL = 2,       // end of the subject
    ANY = 3,       // any one character
    ANYOF = 4,     // one character of the NUL-terminated set operand
    ANYBUT = 5,    // one character not in the set operand
    BRANCH = 6,    // one alternative; its operand (the alternative) follows at offset 3
    BACK = 7,      // no effect; its next leads backwards
    EXACTLY = 8,   // the NUL-terminated literal operand
    NOTHING = 9,   // the empty string
    STAR = 10,     // the single-character node at offset 3, zero or more times, greedily
    PLUS = 11,     // likewise, one or more times
    WORDSTART = 12,
    WORDEND = 13,
    OPEN = 20,  // OPEN + n (n = 1..9): start of group n
    CLOSE = 30, // CLOSE + n: end of group n
};

// First byte of every program; the matcher and the expansion refuse a program without it.
constexpr std::uint8_t kRegMagic = 156;

// Programs must stay below this size, since node links are 16-bit distances.
constexpr std::uint32_t kRegMaxProgram = 32767;

// Inside a set or literal operand: a stray (non-UTF-8) byte follows, so that it can never join
// its neighbours into a valid character; inside a set also: the end of a range from the
// previous member follows. Neither byte occurs in valid UTF-8; ranges between ASCII
// characters are written out member by member instead.
constexpr std::uint8_t kSetStray = 0xFF;
constexpr std::uint8_t kSetRangeTo = 0xFE;

constexpr int kRegGroups = 10;

struct RegProgram {
    std::string compileError;      // why compilation failed; empty for a valid program
    std::uint32_t programSize = 0; // bytes of the program, as counted by the sizing pass
    char32_t startChar = 0; // if not 0: every match begins with this character
    bool anchored = false;  // a match can only begin at the start of the subject
    int mustHave = -1;      // program offset of a literal every match contains, or -1
    std::uint32_t mustLength = 0;
    std::vector<std::uint8_t> program;
    bool valid = false;
    bool caseSensitive = false;

    // What the matcher would otherwise work out again on every visit, by node (offset / 3):
    // a literal's length and first character, a set's ASCII members as a bitmap.
    struct NodeInfo {
        std::int32_t set = -1;
        std::uint32_t length = 0;
        char32_t first = 0; // EXACTLY: its first character; STAR/PLUS: see hasLook
        bool ascii = false; // EXACTLY: every byte is ASCII, so bytes can be compared directly
        // STAR/PLUS: the rest of the pattern must begin with the literal character first.
        bool hasLook = false;
    };
    struct AsciiSet {
        std::uint64_t bits[2] = {0, 0}; // folded when the program ignores case
        bool test(unsigned c) const { return (bits[c >> 6] >> (c & 63)) & 1; }
        void add(unsigned c) { bits[c >> 6] |= std::uint64_t{1} << (c & 63); }
    };
    std::vector<NodeInfo> nodeInfo;
    std::vector<AsciiSet> sets;

    // The characters a match can begin with, so that hopeless start positions are skipped:
    // ASCII ones (folded when ignoring case), whether any non-ASCII character may begin one,
    // and whether a match may be empty. Unknown when firstKnown is false.
    bool firstKnown = false;
    AsciiSet firstAscii;
    bool firstNonAscii = true;
    bool firstEmpty = true;
};

// Compiles pattern (NUL-terminated; null or empty is error 10). The result is always a program;
// valid tells whether compilation succeeded, compileError why not.
RegProgram regcomp(const char* pattern, bool caseSensitive);

// Reads one character of a set or literal operand at p and moves p past it. The operand ends
// with a NUL, which stops decoding, so four bytes of room is enough.
inline char32_t regOperandChar(const char*& p) {
    if (static_cast<std::uint8_t>(*p) == kSetStray) {
        const char32_t c = chars::kStrayBase + static_cast<unsigned char>(p[1]);
        p += 2;
        return c;
    }
    const chars::Char ch = chars::decode(p, p + 4);
    p += ch.len;
    return ch.cp;
}

// Node helpers shared by compiler and matcher.
inline int regNext(const std::uint8_t* prog, int node) {
    auto d = static_cast<std::int16_t>(prog[node + 1] | (prog[node + 2] << 8));
    if (d == 0) return -1;
    return prog[node] == BACK ? node - d : node + d;
}
