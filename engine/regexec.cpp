// The matcher: a recursive backtracking interpreter of the byte program.
//
// Every (node, position) pair from which matching failed is remembered for the rest of the
// exec and never explored again. That is sound because the outcome from a node at a position
// depends on nothing else: there are no back-references, and group marks written on a path
// that fails are taken back, so they never steer the matching. For the same reason a STAR/PLUS node remembers from which point of
// its run the rest of the pattern is known to fail, so entering the run again later costs
// nothing. Together they bound the work per exec by program size times subject length, so no
// file name can make the matcher take exponential time. The failure memo is switched on only
// once an exec has made more calls than an ordinary name needs, so that ordinary names do not
// pay for its bookkeeping.

#include <algorithm>
#include <utility>
#include <vector>
#include <cstring>

#include "engine/RegError.h"
#include "engine/RegProgram.h"
#include "engine/RegState.h"
#include "platform/chars.h"

namespace {

thread_local std::uint64_t tVisits = 0;

// Stack the matcher may use before it gives up on an attempt: deep enough for any file name
// (two calls per character of a looped group), far from exhausting a thread's stack, whatever
// the size of a frame in this build.
constexpr std::ptrdiff_t kMaxStack = 2 * 1024 * 1024;

// Largest failure memo, in 64-bit words (64 MiB).
constexpr std::size_t kMaxMemoWords = std::size_t{8} << 20;

class Matcher {
public:
    Matcher(const RegProgram& prog, RegState& state, const char* subject, std::size_t length,
            bool wordBefore)
        : prog_(prog), state_(state), scratch_(state.scratch), code_(prog.program.data()),
          begin_(subject), end_(subject + length), icase_(!prog.caseSensitive),
          wordBefore_(wordBefore), cols_(length + 1),
          trail_(scratch_.trail), budget_(256 + 4 * (prog.program.size() / 3 + 1)) {
        if (++scratch_.execCount == 0) {
            // After four billion execs the stamps would repeat; start them afresh.
            for (auto& st : scratch_.starStates) st.exec = 0;
            scratch_.execCount = 1;
        }
        if (scratch_.starStates.size() < prog_.nodeInfo.size())
            scratch_.starStates.resize(prog_.nodeInfo.size());
    }

    void enableMemo() {
        const std::size_t rows = prog_.program.size() / 3 + 1;
        const std::size_t words = (rows * cols_ + 63) / 64;
        // A subject far longer than any name with a large program would need gigabytes; such
        // an exec goes on without the memo (the stack bound still ends it cleanly).
        if (words > kMaxMemoWords) return;
        memoOn_ = true;
        if (scratch_.failedBits.size() < words) scratch_.failedBits.resize(words, 0);
    }

    ~Matcher() {
        tVisits = visits_;
        for (std::uint32_t w : scratch_.failedWords) scratch_.failedBits[w] = 0;
        scratch_.failedWords.clear();
    }

    bool attempt(const char* at) {
        for (int i = 0; i < kRegGroups; ++i) state_.groupStart[i] = state_.groupEnd[i] = -1;
        trail_.clear();
        pos_ = at;
        if (!match(1)) return false;
        state_.groupStart[0] = static_cast<int>(at - begin_);
        state_.groupEnd[0] = static_cast<int>(pos_ - begin_);
        return true;
    }

    bool containsMustHave() const {
        const char* lit = reinterpret_cast<const char*>(code_ + prog_.mustHave);
        const char* litEnd = lit + prog_.mustLength;
        const bool ascii = info(prog_.mustHave - 3).ascii;
        if (!icase_ && ascii) {
            return std::memchr(begin_, lit[0], static_cast<std::size_t>(end_ - begin_)) &&
                   memmem(begin_, static_cast<std::size_t>(end_ - begin_), lit, prog_.mustLength);
        }
        for (const char* p = begin_; p < end_; p = chars::next(p, end_))
            if (literalAt(p, lit, litEnd, ascii) >= 0) return true;
        return false;
    }

    int error = 0;

private:
    static int next(const std::uint8_t* code, int node) { return regNext(code, node); }
    const char* operandText(int node) const {
        return reinterpret_cast<const char*>(code_ + node + 3);
    }

    bool same(char32_t a, char32_t b) const { return chars::equal(a, b, !icase_); }

    // Length in subject bytes of the literal [lit, litEnd) standing at p, or -1. Compared
    // character by character, so that a literal never ends inside a character of the name.
    long literalAt(const char* p, const char* lit, const char* litEnd, bool ascii) const {
        const char* s = p;
        if (!icase_ && ascii) {
            auto n = static_cast<std::size_t>(litEnd - lit);
            if (static_cast<std::size_t>(end_ - s) < n || std::memcmp(s, lit, n) != 0) return -1;
            return static_cast<long>(n);
        }
        while (lit < litEnd) {
            if (s >= end_) return -1;
            auto a = static_cast<unsigned char>(*s);
            auto b = static_cast<unsigned char>(*lit);
            if (a < 0x80 && b < 0x80) {
                // An ASCII letter can equal a non-ASCII one (k and the Kelvin sign), but not
                // another ASCII character.
                if (a != b && (!icase_ || chars::fold(a) != chars::fold(b))) return -1;
                ++s, ++lit;
                continue;
            }
            const chars::Char cs = chars::decode(s, end_);
            if (!same(cs.cp, regOperandChar(lit))) return -1;
            s += cs.len;
        }
        return s - p;
    }

    const RegProgram::NodeInfo& info(int node) const {
        return prog_.nodeInfo[static_cast<std::size_t>(node / 3)];
    }

    bool inSet(int node, char32_t c) const {
        if (c < 0x80) {
            const auto& set = prog_.sets[static_cast<std::size_t>(info(node).set)];
            return set.test(icase_ ? chars::fold(c) : c);
        }
        const char* p = operandText(node);
        const char32_t fc = icase_ ? chars::fold(c) : c;
        char32_t prev = 0;
        while (*p) {
            auto b = static_cast<unsigned char>(*p);
            if (b == kSetRangeTo) {
                ++p;
                char32_t hi = regOperandChar(p);
                if (inRange(c, prev, hi)) return true;
                prev = hi;
                continue;
            }
            char32_t m = regOperandChar(p);
            if (m == c || (icase_ && chars::fold(m) == fc)) return true;
            prev = m;
        }
        return false;
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
            const char32_t want = info(node).first;
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
        return (scratch_.failedBits[i / 64] >> (i % 64)) & 1;
    }

    void rememberFailure(int node, const char* at) {
        std::size_t i = static_cast<std::size_t>(node / 3) * cols_ + static_cast<std::size_t>(at - begin_);
        std::uint64_t& w = scratch_.failedBits[i / 64];
        if (w == 0) scratch_.failedWords.push_back(static_cast<std::uint32_t>(i / 64));
        w |= std::uint64_t{1} << (i % 64);
    }

    // Group marks are written as they are passed and taken back when the path that passed them
    // fails. On success each group holds what the last pass over its marks wrote: its last
    // iteration, and nothing for an alternative that was not taken.
    void setGroup(int& slot, int which) {
        trail_.push_back({which, slot});
        slot = static_cast<int>(pos_ - begin_);
    }

    void undoTo(std::size_t mark) {
        while (trail_.size() > mark) {
            const auto [which, old] = trail_.back();
            trail_.pop_back();
            (which < kRegGroups ? state_.groupStart[which] : state_.groupEnd[which - kRegGroups]) = old;
        }
    }

    // Whether the single-character node matches every character of [from, to).
    bool extendsRunTo(int node, const char* from, const char* to) {
        const std::uint8_t op = code_[node];
        if (op == ANY) return true;
        while (from < to) {
            const chars::Char c = chars::decode(from, end_);
            bool ok = op == ANY || (op == EXACTLY ? same(c.cp, info(node).first)
                                                  : inSet(node, c.cp) == (op == ANYOF));
            if (!ok) return false;
            from += c.len;
        }
        return true;
    }

    // STAR/PLUS: the longest run of the operand from pos_, then the rest of the pattern from
    // each end of the run, longest first. Ends from which the rest is known to fail are skipped.
    bool repeatAndContinue(int node, int next, bool plus) {
        auto& st = scratch_.starStates[static_cast<std::size_t>(node / 3)];
        const char* save = pos_;
        const int at = static_cast<int>(save - begin_);
        const bool known = st.exec == scratch_.execCount && at <= st.runEnd;
        if (known && at < st.runStart && extendsRunTo(node + 3, save, begin_ + st.runStart)) {
            // Backtracking enters a run at ever earlier positions: still the same run.
            st.runStart = at;
        } else if (!known || at < st.runStart) {
            // A new run. Inside a known run the end is the same from every position.
            const char* runEnd = end_; // '.' takes everything left
            if (code_[node + 3] != ANY) repeat(node + 3, runEnd);
            if (error == REG_ERR_REGREPEAT) return false;
            st.exec = scratch_.execCount;
            st.runStart = at;
            st.runEnd = static_cast<int>(runEnd - begin_);
            st.failFrom = -1;
        }
        const int myRunEnd = st.runEnd;
        const char* runEnd = begin_ + myRunEnd;
        const char* lowest = save;
        if (plus) {
            if (save >= runEnd) return false;
            lowest = chars::next(save, end_);
        }
        const char* top = runEnd;
        if (st.failFrom >= 0) {
            if (begin_ + st.failFrom <= lowest) return false;
            top = chars::previous(save, begin_ + st.failFrom);
        }
        const bool haveLook = info(node).hasLook;
        const char32_t look = info(node).first;
        if (haveLook && look < 0x80 && !(icase_ && (chars::fold(look) == 'k' || chars::fold(look) == 's'))) {
            // An ASCII byte is always a character of its own, so the ends worth trying can be
            // found byte by byte: only where the next literal's first character stands.
            const char lower = static_cast<char>(icase_ ? chars::fold(look) : look);
            const char upper = static_cast<char>(icase_ ? chars::toUpper(look) : look);
            for (const char* q = top < end_ ? top : end_ - 1; q >= lowest; --q) {
                if (*q != lower && *q != upper) continue;
                pos_ = q;
                if (match(next)) return true;
            }
        } else {
            for (const char* q = top;; q = chars::previous(save, q)) {
                if (!haveLook || (q < end_ && same(chars::decode(q, end_).cp, look))) {
                    pos_ = q;
                    if (match(next)) return true;
                }
                if (q <= lowest) break;
            }
        }
        // The rest fails from every end in [lowest, runEnd]. A nested entry of this node may
        // have moved the state to another run meanwhile; then the fact is not recorded.
        if (st.runEnd == myRunEnd) {
            const int from = static_cast<int>(lowest - begin_);
            st.failFrom = st.failFrom >= 0 ? std::min(st.failFrom, from) : from;
        }
        pos_ = save;
        return false;
    }

    // Runs the interpreter from node at pos_; on success pos_ is where the match ended.
    bool match(int node) {
        if (node < 0) {
            raise(REG_ERR_BAD_POINTER);
            return false;
        }
        if (memoOn_) {
            if (failedBefore(node)) return false;
        } else if (++calls_ == budget_) {
            enableMemo();
        }
        const char* at = pos_;
        if (stackTop_ - static_cast<const char*>(__builtin_frame_address(0)) > kMaxStack) {
            raise(REG_ERR_UNKNOWN);
            return false;
        }
        const std::size_t mark = trail_.size();
        bool ok = run(node);
        if (!ok) {
            undoTo(mark);
            if (memoOn_) rememberFailure(node, at);
        }
        return ok;
    }

    bool run(int scan) {
        while (scan >= 0) {
            ++visits_;
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
                long n = literalAt(pos_, lit, lit + info(scan).length, info(scan).ascii);
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
                if (!repeatAndContinue(scan, nxt, op == PLUS)) return false;
                return true;
            }
            case WORDSTART:
                if (!isWordAt(pos_)) return false;
                if (pos_ > begin_ ? isWordAt(chars::previous(begin_, pos_)) : wordBefore_) return false;
                break;
            case WORDEND:
                if (isWordAt(pos_)) return false;
                break;
            default:
                if (op > OPEN && op < OPEN + kRegGroups) {
                    setGroup(state_.groupStart[op - OPEN], op - OPEN);
                    break;
                }
                if (op > CLOSE && op < CLOSE + kRegGroups) {
                    setGroup(state_.groupEnd[op - CLOSE], kRegGroups + op - CLOSE);
                    break;
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

    const RegProgram& prog_;
    RegState& state_;
    RegState::Scratch& scratch_;
    const std::uint8_t* code_;
    const char* begin_;
    const char* end_;
    const bool icase_;
    const bool wordBefore_; // the subject continues a word: no word starts at its first character
    const std::size_t cols_;
    const char* pos_ = nullptr;
    const char* const stackTop_ = static_cast<const char*>(__builtin_frame_address(0));
    std::size_t calls_ = 0;
    std::uint64_t visits_ = 0;
    std::vector<std::pair<int, int>>& trail_;
    const std::size_t budget_;
    bool memoOn_ = false;
};

} // namespace

std::uint64_t regexecVisits() { return tVisits; }

bool regexec(const RegProgram& prog, RegState& state, const char* subject, std::size_t length,
             bool wordBefore) {
    tVisits = 0;
    state.highestGroup = -1;
    // A failed exec must leave no groups of an earlier match behind: an expansion after it would
    // build a name from a file that did not match.
    for (int i = 0; i < kRegGroups; ++i) state.groupStart[i] = state.groupEnd[i] = -1;
    if (subject == nullptr) {
        state.errorText = regErrorText(REG_ERR_EXEC_NULL);
        return false;
    }
    if (prog.program.empty() || prog.program[0] != kRegMagic) {
        state.errorText = regErrorText(REG_ERR_EXEC_CORRUPT);
        return false;
    }
    Matcher m(prog, state, subject, length, wordBefore);
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
        const char32_t sc = prog.startChar;
        if (sc < 0x80 && !(icase && (chars::fold(sc) == 'k' || chars::fold(sc) == 's'))) {
            // An ASCII first character is found byte by byte.
            const char lower = static_cast<char>(icase ? chars::fold(sc) : sc);
            const char upper = static_cast<char>(icase ? chars::toUpper(sc) : sc);
            for (; !found && s < end; ++s)
                if (*s == lower || *s == upper) found = m.attempt(s);
        } else {
            while (!found && s < end) {
                chars::Char c = chars::decode(s, end);
                if (chars::equal(c.cp, sc, !icase)) found = m.attempt(s);
                s += c.len;
            }
        }
    } else if (prog.firstKnown) {
        // Only where a match can begin: its first character, or the end for an empty match.
        const bool icase = !prog.caseSensitive;
        for (const char* s = subject;;) {
            if (s >= end) {
                if (prog.firstEmpty) found = m.attempt(s);
                break;
            }
            const auto b = static_cast<unsigned char>(*s);
            bool candidate;
            if (b < 0x80) {
                candidate = prog.firstEmpty || prog.firstAscii.test(icase ? chars::fold(b) : b);
                ++s;
            } else {
                candidate = prog.firstEmpty || prog.firstNonAscii;
                const char* at = s;
                s = chars::next(s, end);
                if (candidate && (found = m.attempt(at))) break;
                continue;
            }
            if (candidate && (found = m.attempt(s - 1))) break;
        }
    } else {
        for (const char* s = subject;; s = chars::next(s, end)) {
            if ((found = m.attempt(s)) || s >= end) break;
        }
    }
    if (!found) {
        state.errorText = m.error ? regErrorText(m.error) : std::string();
        return false;
    }
    for (int i = kRegGroups - 1; i >= 0; --i)
        if (state.groupStart[i] >= 0) {
            state.highestGroup = i;
            break;
        }
    return true;
}
