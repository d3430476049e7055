// The matcher: a recursive backtracking interpreter of the byte program.
//
// Every (node, position) pair from which matching failed is remembered for the rest of the
// exec and never explored again. That is sound because the outcome from a node at a position
// depends on nothing else: there are no back-references, and groups are written only on the
// way back from a success. It bounds the work per exec by program size times subject length,
// so no file name can make the matcher take exponential time.

#include <cstring>

#include "engine/RegError.h"
#include "engine/RegProgram.h"
#include "platform/chars.h"

namespace {

thread_local std::uint64_t tVisits = 0;

// Deep enough for any file name; keeps absurdly long subjects from exhausting the stack.
constexpr int kMaxDepth = 20000;

class Matcher {
public:
    Matcher(RegProgram& prog, const char* subject, std::size_t length)
        : prog_(prog), code_(prog.program.data()), begin_(subject), end_(subject + length),
          icase_(!prog.caseSensitive), cols_(length + 1) {
        std::size_t rows = prog.program.size() / 3 + 1;
        std::size_t words = (rows * cols_ + 63) / 64;
        if (prog_.failedBits.size() < words) prog_.failedBits.resize(words, 0);
    }

    ~Matcher() {
        for (std::uint32_t w : prog_.failedWords) prog_.failedBits[w] = 0;
        prog_.failedWords.clear();
    }

    bool attempt(const char* at) {
        for (int i = 0; i < kRegGroups; ++i) prog_.groupStart[i] = prog_.groupEnd[i] = -1;
        pos_ = at;
        if (!match(1)) return false;
        prog_.groupStart[0] = static_cast<int>(at - begin_);
        prog_.groupEnd[0] = static_cast<int>(pos_ - begin_);
        return true;
    }

    bool containsMustHave() const {
        const char* lit = reinterpret_cast<const char*>(code_ + prog_.mustHave);
        const char* litEnd = lit + prog_.mustLength;
        if (!icase_) {
            return std::memchr(begin_, lit[0], static_cast<std::size_t>(end_ - begin_)) &&
                   memmem(begin_, static_cast<std::size_t>(end_ - begin_), lit, prog_.mustLength);
        }
        for (const char* p = begin_; p < end_; p = chars::next(p, end_))
            if (literalAt(p, lit, litEnd) >= 0) return true;
        return false;
    }

    int error = 0;

private:
    static int next(const std::uint8_t* code, int node) { return regNext(code, node); }
    const char* operandText(int node) const {
        return reinterpret_cast<const char*>(code_ + node + 3);
    }

    bool same(char32_t a, char32_t b) const { return chars::equal(a, b, !icase_); }

    // Length in subject bytes of the literal [lit, litEnd) standing at p, or -1.
    long literalAt(const char* p, const char* lit, const char* litEnd) const {
        const char* s = p;
        if (!icase_) {
            auto n = static_cast<std::size_t>(litEnd - lit);
            if (static_cast<std::size_t>(end_ - s) < n || std::memcmp(s, lit, n) != 0) return -1;
            return static_cast<long>(n);
        }
        while (lit < litEnd) {
            if (s >= end_) return -1;
            auto a = static_cast<unsigned char>(*s);
            auto b = static_cast<unsigned char>(*lit);
            if (a < 0x80 && b < 0x80) {
                if (a != b && chars::fold(a) != chars::fold(b)) {
                    // An ASCII letter can still equal a non-ASCII one (k and the Kelvin sign),
                    // but not another ASCII character.
                    return -1;
                }
                ++s, ++lit;
                continue;
            }
            chars::Char cs = chars::decode(s, end_);
            chars::Char cl = chars::decode(lit, litEnd);
            if (!same(cs.cp, cl.cp)) return -1;
            s += cs.len;
            lit += cl.len;
        }
        return s - p;
    }

    // Whether c is in the set operand of node (ANYOF or ANYBUT: the caller inverts).
    bool inSet(int node, char32_t c) const {
        const char* p = operandText(node);
        const char32_t fc = icase_ ? chars::fold(c) : c;
        char32_t prev = 0;
        while (*p) {
            auto b = static_cast<unsigned char>(*p);
            if (b == kSetRangeTo) {
                ++p;
                char32_t hi = member(p);
                if (inRange(c, prev, hi)) return true;
                prev = hi;
                continue;
            }
            char32_t m = member(p);
            if (m == c || (icase_ && chars::fold(m) == fc)) return true;
            prev = m;
        }
        return false;
    }

    // Reads one member at p and moves p past it.
    static char32_t member(const char*& p) {
        auto b = static_cast<unsigned char>(*p);
        if (b == kSetStray) {
            char32_t c = chars::kStrayBase + static_cast<unsigned char>(p[1]);
            p += 2;
            return c;
        }
        // The operand's terminating NUL stops decoding, so four bytes of room is enough.
        chars::Char ch = chars::decode(p, p + 4);
        p += ch.len;
        return ch.cp;
    }

    // Whether c lies in (lo, hi]; without case, whether one of its case forms does.
    bool inRange(char32_t c, char32_t lo, char32_t hi) const {
        auto in = [&](char32_t x) { return x > lo && x <= hi; };
        if (in(c)) return true;
        if (!icase_ || chars::isStray(c)) return false;
        return in(chars::fold(c)) || in(chars::toUpper(c)) || in(chars::toLower(c));
    }

    // How many times the single-character node matches from pos_, and where the run ends.
    std::size_t repeat(int node, const char*& runEnd) {
        const char* p = pos_;
        std::size_t n = 0;
        switch (code_[node]) {
        case ANY:
            while (p < end_) p = chars::next(p, end_), ++n;
            break;
        case EXACTLY: {
            const char* lit = operandText(node);
            char32_t want = chars::decode(lit, lit + 4).cp;
            while (p < end_) {
                chars::Char c = chars::decode(p, end_);
                if (!same(c.cp, want)) break;
                p += c.len, ++n;
            }
            break;
        }
        case ANYOF:
        case ANYBUT: {
            const bool want = code_[node] == ANYOF;
            while (p < end_) {
                chars::Char c = chars::decode(p, end_);
                if (inSet(node, c.cp) != want) break;
                p += c.len, ++n;
            }
            break;
        }
        default:
            raise(REG_ERR_REGREPEAT);
            break;
        }
        runEnd = p;
        return n;
    }

    void raise(int code) {
        if (!error) error = code;
    }

    bool isWordAt(const char* p) const {
        return p < end_ && chars::isWordChar(chars::decode(p, end_).cp);
    }

    std::size_t memoIndex(int node) const {
        return static_cast<std::size_t>(node / 3) * cols_ + static_cast<std::size_t>(pos_ - begin_);
    }

    bool failedBefore(int node) const {
        std::size_t i = memoIndex(node);
        return (prog_.failedBits[i / 64] >> (i % 64)) & 1;
    }

    void rememberFailure(int node, const char* at) {
        std::size_t i = static_cast<std::size_t>(node / 3) * cols_ + static_cast<std::size_t>(at - begin_);
        std::uint64_t& w = prog_.failedBits[i / 64];
        if (w == 0) prog_.failedWords.push_back(static_cast<std::uint32_t>(i / 64));
        w |= std::uint64_t{1} << (i % 64);
    }

    // Runs the interpreter from node at pos_; on success pos_ is where the match ended.
    bool match(int node) {
        if (node < 0) {
            raise(REG_ERR_BAD_POINTER);
            return false;
        }
        if (failedBefore(node)) return false;
        const char* at = pos_;
        if (++depth_ > kMaxDepth) {
            --depth_;
            raise(REG_ERR_UNKNOWN);
            return false;
        }
        bool ok = run(node);
        --depth_;
        if (!ok) rememberFailure(node, at);
        return ok;
    }

    bool run(int scan) {
        while (scan >= 0) {
            ++tVisits;
            const std::uint8_t op = code_[scan];
            const int nxt = next(code_, scan);
            switch (op) {
            case END:
                return true;
            case BOL:
                if (pos_ != begin_) return false;
                break;
            case EOL:
                if (pos_ != end_) return false;
                break;
            case ANY:
                if (pos_ >= end_) return false;
                pos_ = chars::next(pos_, end_);
                break;
            case ANYOF:
            case ANYBUT: {
                if (pos_ >= end_) return false;
                chars::Char c = chars::decode(pos_, end_);
                if (inSet(scan, c.cp) != (op == ANYOF)) return false;
                pos_ += c.len;
                break;
            }
            case EXACTLY: {
                const char* lit = operandText(scan);
                long n = literalAt(pos_, lit, lit + std::strlen(lit));
                if (n < 0) return false;
                pos_ += n;
                break;
            }
            case BRANCH: {
                if (nxt < 0 || code_[nxt] != BRANCH) {
                    scan = scan + 3; // no choice: straight into the only alternative
                    continue;
                }
                const char* save = pos_;
                for (int alt = scan; alt >= 0 && code_[alt] == BRANCH; alt = next(code_, alt)) {
                    if (match(alt + 3)) return true;
                    pos_ = save;
                }
                return false;
            }
            case BACK:
            case NOTHING:
                break;
            case STAR:
            case PLUS: {
                const std::size_t min = op == STAR ? 0 : 1;
                bool haveLook = nxt >= 0 && code_[nxt] == EXACTLY;
                char32_t look = 0;
                if (haveLook) {
                    const char* lit = operandText(nxt);
                    look = chars::decode(lit, lit + 4).cp;
                }
                const char* save = pos_;
                const char* p = nullptr;
                std::size_t k = repeat(scan + 3, p);
                if (error == REG_ERR_REGREPEAT) return false;
                while (k >= min) {
                    if (!haveLook || (p < end_ && same(chars::decode(p, end_).cp, look))) {
                        pos_ = p;
                        if (match(nxt)) return true;
                    }
                    if (k == min) break;
                    --k;
                    p = chars::previous(save, p);
                }
                pos_ = save;
                return false;
            }
            case WORDSTART:
                if (!isWordAt(pos_)) return false;
                if (pos_ > begin_ && isWordAt(chars::previous(begin_, pos_))) return false;
                break;
            case WORDEND:
                if (isWordAt(pos_)) return false;
                break;
            default:
                if (op > OPEN && op < OPEN + kRegGroups) {
                    const char* save = pos_;
                    if (!match(nxt)) return false;
                    int n = op - OPEN;
                    if (prog_.groupStart[n] < 0) prog_.groupStart[n] = static_cast<int>(save - begin_);
                    return true;
                }
                if (op > CLOSE && op < CLOSE + kRegGroups) {
                    const char* save = pos_;
                    if (!match(nxt)) return false;
                    int n = op - CLOSE;
                    if (prog_.groupEnd[n] < 0) prog_.groupEnd[n] = static_cast<int>(save - begin_);
                    return true;
                }
                raise(REG_ERR_BAD_OPCODE);
                return false;
            }
            if (nxt < 0) {
                raise(REG_ERR_BAD_POINTER);
                return false;
            }
            scan = nxt;
        }
        raise(REG_ERR_BAD_POINTER);
        return false;
    }

    RegProgram& prog_;
    const std::uint8_t* code_;
    const char* begin_;
    const char* end_;
    const bool icase_;
    const std::size_t cols_;
    const char* pos_ = nullptr;
    int depth_ = 0;
};

} // namespace

std::uint64_t regexecVisits() { return tVisits; }

bool regexec(RegProgram& prog, const char* subject, std::size_t length) {
    tVisits = 0;
    if (subject == nullptr) {
        prog.errorText = regErrorText(REG_ERR_EXEC_NULL);
        return false;
    }
    if (prog.program.empty() || prog.program[0] != kRegMagic) {
        prog.errorText = regErrorText(REG_ERR_EXEC_CORRUPT);
        return false;
    }
    Matcher m(prog, subject, length);
    if (prog.mustHave >= 0 && !m.containsMustHave()) return false;

    const char* end = subject + length;
    bool found = false;
    if (prog.anchored) {
        found = m.attempt(subject);
    } else if (prog.startChar != 0) {
        const bool icase = !prog.caseSensitive;
        const char* s = subject;
        if (s < end) {
            found = m.attempt(s);
            s = chars::next(s, end);
        }
        while (!found && s < end) {
            chars::Char c = chars::decode(s, end);
            if (chars::equal(c.cp, prog.startChar, !icase)) found = m.attempt(s);
            s += c.len;
        }
    } else {
        for (const char* s = subject;; s = chars::next(s, end)) {
            if ((found = m.attempt(s)) || s >= end) break;
        }
    }
    if (!found) prog.errorText = m.error ? regErrorText(m.error) : std::string();
    return found;
}
