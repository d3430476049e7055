// Analysis of the finished program, done once when compiling so that the matcher does not
// repeat it on every exec: where a match can start (a fixed first character, an anchor, a
// literal every match must contain), the per-node facts the matcher looks up (a literal's
// length and first character, a set's ASCII members as a bitmap, the literal that must follow
// a repetition) and the set of characters any match can begin with.

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/RegCompiler.h"
#include "engine/RegProgram.h"
#include "platform/chars.h"

namespace regcompiler {

void optimise(RegProgram& prog, int flags) {
    const std::uint8_t* code = prog.program.data();
    const int b = 1;
    int next = regNext(code, b);
    if (next >= 0 && code[next] == END) {
        int s = b + 3;
        if (code[s] == EXACTLY) {
            const char* lit = reinterpret_cast<const char*>(code + s + 3);
            prog.startChar = regOperandChar(lit);
        } else if (code[s] == BOL) {
            prog.anchored = true;
        }
        if (flags & LEADREPEAT) {
            std::size_t longest = 0;
            int guard = static_cast<int>(prog.program.size());
            for (int node = s; node >= 0 && guard-- > 0; node = regNext(code, node)) {
                if (code[node] != EXACTLY) continue;
                std::size_t len = std::strlen(reinterpret_cast<const char*>(code + node + 3));
                if (len >= longest) {
                    longest = len;
                    prog.mustHave = node + 3;
                    prog.mustLength = static_cast<std::uint32_t>(len);
                }
            }
        }
    } else {
        bool allBol = true;
        int guard = static_cast<int>(prog.program.size());
        for (int node = b; node >= 0 && code[node] == BRANCH && guard-- > 0; node = regNext(code, node))
            allBol = allBol && code[node + 3] == BOL;
        prog.anchored = allBol;
    }
}

namespace {

// The ASCII members of a set, as the matcher tests them: folded when ignoring case. Tells
// whether a character beyond ASCII could be a member too.
RegProgram::AsciiSet asciiMembers(const char* p, bool icase, bool& beyondAscii) {
    RegProgram::AsciiSet set;
    beyondAscii = false;
    auto add = [&](char32_t c) {
        const char32_t key = icase ? chars::fold(c) : c;
        if (key < 0x80) set.add(static_cast<unsigned>(key));
        if (c >= 0x80 || key >= 0x80) beyondAscii = true;
    };
    char32_t prev = 0;
    while (*p) {
        if (static_cast<std::uint8_t>(*p) == kSetRangeTo) {
            ++p;
            const char32_t hi = regOperandChar(p);
            for (char32_t c = prev + 1; c <= hi && c < 0x80; ++c) add(c);
            beyondAscii = true;
            prev = hi;
            continue;
        }
        prev = regOperandChar(p);
        add(prev);
    }
    // k and s have non-ASCII case forms (the Kelvin sign, the long s).
    if (icase && (set.test('k') || set.test('s'))) beyondAscii = true;
    return set;
}

struct FirstSet {
    RegProgram::AsciiSet ascii;
    bool nonAscii = false;
    bool empty = false;
    void merge(const FirstSet& o) {
        ascii.bits[0] |= o.ascii.bits[0];
        ascii.bits[1] |= o.ascii.bits[1];
        nonAscii |= o.nonAscii;
        empty |= o.empty;
    }
};

// Works out which characters can begin a match from node, following the program's links.
class FirstSetBuilder {
public:
    explicit FirstSetBuilder(const RegProgram& prog) : prog_(prog), code_(prog.program.data()) {}

    bool build(int node, FirstSet& out) {
        out = from(node, 0);
        return !gaveUp_;
    }

private:
    FirstSet everything() {
        FirstSet f;
        f.ascii.bits[0] = f.ascii.bits[1] = ~std::uint64_t{0};
        f.nonAscii = f.empty = true;
        return f;
    }

    FirstSet from(int node, int depth) {
        FirstSet f;
        while (node >= 0) {
            if (++steps_ > 20000 || depth > 200) {
                gaveUp_ = true;
                return everything();
            }
            const std::uint8_t op = code_[node];
            const int next = regNext(code_, node);
            const RegProgram::NodeInfo& info = prog_.nodeInfo[static_cast<std::size_t>(node / 3)];
            switch (op) {
            case END:
            case EOL:
                f.empty = true;
                return f;
            case ANY:
                f.merge(everything());
                f.empty = false;
                return f;
            case ANYOF: {
                FirstSet s;
                s.ascii = prog_.sets[static_cast<std::size_t>(info.set)];
                bool beyond = false;
                asciiMembers(reinterpret_cast<const char*>(code_ + node + 3), !prog_.caseSensitive, beyond);
                s.nonAscii = beyond;
                f.merge(s);
                return f;
            }
            case ANYBUT:
                f.merge(everything());
                f.empty = false;
                return f;
            case EXACTLY: {
                const char32_t c = info.first;
                const char32_t key = prog_.caseSensitive ? c : chars::fold(c);
                if (key < 0x80) f.ascii.add(static_cast<unsigned>(key));
                if (c >= 0x80 || key >= 0x80 || (!prog_.caseSensitive && (key == 'k' || key == 's')))
                    f.nonAscii = true;
                return f;
            }
            case BRANCH:
                if (next < 0 || code_[next] != BRANCH) {
                    node = node + 3;
                    continue;
                }
                for (int alt = node; alt >= 0 && code_[alt] == BRANCH; alt = regNext(code_, alt)) {
                    if (!visiting(alt)) f.merge(from(alt + 3, depth + 1));
                }
                return f;
            case STAR:
                f.merge(from(node + 3, depth + 1));
                node = next;
                continue;
            case PLUS:
                f.merge(from(node + 3, depth + 1));
                return f;
            default:
                // Zero-width nodes: BOL, BACK, NOTHING, word anchors, group marks.
                if (op == BACK && visiting(node)) return f;
                node = next;
                continue;
            }
        }
        f.empty = true;
        return f;
    }

    // Loops lead back through BACK and BRANCH nodes; each is followed once. What a node
    // contributes is merged into the one result the first time, so later paths may stop there.
    bool visiting(int node) {
        const auto i = static_cast<std::size_t>(node / 3);
        if (seen_.size() <= i) seen_.resize(prog_.nodeInfo.size(), false);
        if (seen_[i]) return true;
        seen_[i] = true;
        return false;
    }

    const RegProgram& prog_;
    const std::uint8_t* code_;
    std::vector<bool> seen_;
    int steps_ = 0;
    bool gaveUp_ = false;
};

} // namespace

void analyse(RegProgram& prog) {
    const std::uint8_t* code = prog.program.data();
    const bool icase = !prog.caseSensitive;
    prog.nodeInfo.assign(prog.program.size() / 3 + 1, {});
    prog.sets.clear();
    std::vector<int> repeats;
    for (std::size_t i = 1; i < prog.program.size();) {
        const std::uint8_t op = code[i];
        if (op == STAR || op == PLUS) repeats.push_back(static_cast<int>(i));
        auto& info = prog.nodeInfo[i / 3];
        const char* operand = reinterpret_cast<const char*>(code + i + 3);
        i += 3;
        if (op == EXACTLY || op == ANYOF || op == ANYBUT) {
            const std::size_t len = std::strlen(operand);
            i += len + 1;
            if (op == EXACTLY) {
                info.length = static_cast<std::uint32_t>(len);
                info.ascii = std::all_of(operand, operand + len, [](char b) { return static_cast<unsigned char>(b) < 0x80; });
                const char* p = operand;
                info.first = regOperandChar(p);
            } else {
                bool beyond = false;
                info.set = static_cast<std::int32_t>(prog.sets.size());
                prog.sets.push_back(asciiMembers(operand, icase, beyond));
            }
        }
    }
    // For every STAR/PLUS: if the rest of the pattern must begin with a literal (reached only
    // through group marks and choiceless branches), the matcher tries only run ends where
    // that literal's first character stands.
    for (const int r : repeats) {
        auto& info = prog.nodeInfo[static_cast<std::size_t>(r / 3)];
        int node = regNext(code, r);
        for (int guard = 0; node >= 0 && guard < 64; ++guard) {
            const std::uint8_t op = code[node];
            if (op == EXACTLY) {
                info.hasLook = true;
                info.first = prog.nodeInfo[static_cast<std::size_t>(node / 3)].first;
                break;
            }
            const int next = regNext(code, node);
            if (op == BRANCH && (next < 0 || code[next] != BRANCH)) node += 3;
            else if ((op > OPEN && op < OPEN + kRegGroups) || (op > CLOSE && op < CLOSE + kRegGroups) || op == NOTHING)
                node = next;
            else
                break;
        }
    }
    FirstSet first;
    prog.firstKnown = FirstSetBuilder(prog).build(1, first);
    prog.firstAscii = first.ascii;
    prog.firstNonAscii = first.nonAscii;
    prog.firstEmpty = first.empty;
}

} // namespace regcompiler
