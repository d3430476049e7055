// The regular-expression compiler: one recursive-descent parser run twice, first over a builder
// that only counts bytes, then over one that writes them into a buffer of exactly that size.

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>

#include "engine/RegError.h"
#include "engine/RegProgram.h"
#include "platform/chars.h"

namespace {

// Parser flags.
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

class SizeBuilder final : public ProgramBuilder {
public:
    void emitByte(std::uint8_t) override { add(1); }
    int emitNode(std::uint8_t) override {
        add(3);
        return kNoNode;
    }
    void insertNode(std::uint8_t, int) override { add(3); }
    void setTail(int, int) override {}
    void setOperandTail(int, int) override {}
    int nextNode(int) const override { return kNoNode; }
    long mark() const override { return count_; }
    void endAtom(long mark) override { atomSize_ = count_ - mark; }
    void repeat(int, int min, int max) override { add(repeatSize(min, max)); }

    // Sizes stop growing once far beyond any valid program, so that nested brace counts cannot
    // overflow. A program is too big if it ever passed the limit, even if {0} removes the part
    // again, because the emitting pass has to build that part before removing it.
    bool tooBig() const { return peak_ >= kRegMaxProgram; }
    long size() const { return count_; }
    // The most bytes present at any time: a part repeated {0} is written before it is removed.
    long peak() const { return peak_; }

private:
    static constexpr long kCap = 1L << 40;

    void add(long n) {
        count_ = std::min(count_ + n, kCap);
        peak_ = std::max(peak_, count_);
    }

    // Bytes the emitting pass writes for a bounded repetition of the last atom.
    long repeatSize(int min, int max) {
        if (min == 0 && max == 0) return -atomSize_;
        if (min == 0) return 9 + repeatSize(1, max);
        if (min == 1 && max == 1) return 0;
        if (min == 1 && max == kUnbounded) return 12;
        if (min == 1) return 9 + atomSize_ + repeatSize(1, max - 1);
        if (min >= 2 && max >= min) {
            long rest = repeatSize(min - 1, max == kUnbounded ? max : max - 1);
            return std::min(atomSize_ + rest, kCap);
        }
        error = REG_ERR_BOUNDED_REPEAT;
        return 0;
    }

    long count_ = 1; // the leading magic byte
    long peak_ = 1;
    long atomSize_ = 0;
};

class CodeBuilder final : public ProgramBuilder {
public:
    explicit CodeBuilder(std::vector<std::uint8_t>& buf) : buf_(buf) {}

    void emitByte(std::uint8_t c) override {
        if (!room(1)) return;
        buf_[pos_++] = c;
    }
    int emitNode(std::uint8_t op) override {
        if (!room(3)) return kNoNode;
        int node = static_cast<int>(pos_);
        buf_[pos_++] = op;
        buf_[pos_++] = 0;
        buf_[pos_++] = 0;
        return node;
    }
    void insertNode(std::uint8_t op, int before) override {
        if (before < 0 || !room(3)) return;
        std::memmove(&buf_[before + 3], &buf_[before], pos_ - before);
        pos_ += 3;
        buf_[before] = op;
        buf_[before + 1] = 0;
        buf_[before + 2] = 0;
    }
    void setTail(int p, int q) override {
        if (p < 0 || q < 0) return;
        int scan = p;
        for (int guard = 0; guard < static_cast<int>(buf_.size()); ++guard) {
            int next = nextNode(scan);
            if (next < 0 || next == scan) break;
            scan = next;
        }
        setNext(scan, q);
    }
    void setOperandTail(int p, int q) override {
        if (p < 0 || buf_[p] != BRANCH) return;
        setTail(p + 3, q);
    }
    int nextNode(int p) const override {
        if (p < 0) return kNoNode;
        int next = regNext(buf_.data(), p);
        // A link to the write position leads to the node that will be written there; links
        // never leave the written part.
        return next >= 0 && next < static_cast<int>(pos_) ? next : kNoNode;
    }
    long mark() const override { return 0; }
    void endAtom(long) override {}

    // Bounded repetition of atom, the last thing written. Its tail first leads to just after
    // it, so that byte copies placed one after another chain into each other.
    void repeat(int atom, int min, int max) override {
        if (atom < 0) return;
        setTail(atom, static_cast<int>(pos_));
        int len = static_cast<int>(pos_) - atom;
        int first = atom;
        build(atom, len, min, max);
        // The last copy's tail still leads to the write position; cut it, so that the next
        // piece is linked to the end of the construction and not to whatever is written next.
        if (!error && !(min == 0 && max == 0)) terminate(first);
    }

    std::size_t written() const { return pos_; }

private:
    bool room(std::size_t n) {
        if (pos_ + n <= buf_.size()) return true;
        if (!error) error = REG_ERR_UNKNOWN; // the passes disagree; never write past the buffer
        return false;
    }

    void setNext(int p, int q) {
        int d = buf_[p] == BACK ? p - q : q - p;
        buf_[p + 1] = static_cast<std::uint8_t>(d & 0xFF);
        buf_[p + 2] = static_cast<std::uint8_t>((d >> 8) & 0xFF);
    }

    void terminate(int first) {
        int scan = first;
        for (int guard = 0; guard < static_cast<int>(buf_.size()); ++guard) {
            int next = regNext(buf_.data(), scan);
            if (next < 0 || next == scan) return;
            if (next >= static_cast<int>(pos_)) {
                buf_[scan + 1] = buf_[scan + 2] = 0;
                return;
            }
            scan = next;
        }
    }

    void appendCopy(int from, int len) {
        if (!room(static_cast<std::size_t>(len))) return;
        std::memmove(&buf_[pos_], &buf_[from], static_cast<std::size_t>(len));
        pos_ += static_cast<std::size_t>(len);
    }

    void build(int x, int len, int min, int max) {
        if (error) return;
        if (min == 0 && max == 0) {
            std::fill(buf_.begin() + x, buf_.begin() + static_cast<long>(pos_), 0);
            pos_ = static_cast<std::size_t>(x);
        } else if (min == 0) {
            // (x{1,max})?
            insertNode(BRANCH, x);
            build(x + 3, len, 1, max);
            int b2 = emitNode(BRANCH);
            setTail(x, b2);
            int n = emitNode(NOTHING);
            setTail(x, n);
            setOperandTail(x, n);
        } else if (min == 1 && max == 1) {
            // x itself
        } else if (min == 1 && max == kUnbounded) {
            // x+ as a loop, even for a single character
            int b1 = emitNode(BRANCH);
            setTail(x, b1);
            int back = emitNode(BACK);
            setTail(back, x);
            setTail(b1, emitNode(BRANCH));
            setTail(x, emitNode(NOTHING));
        } else if (min == 1) {
            // x? x{1,max-1}
            insertNode(BRANCH, x);
            int b2 = emitNode(BRANCH);
            setTail(x, b2);
            int n = emitNode(NOTHING);
            setTail(x, n);
            setOperandTail(x, static_cast<int>(pos_));
            int copy = static_cast<int>(pos_);
            appendCopy(x + 3, len);
            build(copy, len, 1, max - 1);
        } else if (min >= 2 && max >= min) {
            // x x{min-1,max-1}
            int copy = static_cast<int>(pos_);
            appendCopy(x, len);
            build(copy, len, min - 1, max == kUnbounded ? max : max - 1);
        } else {
            error = REG_ERR_BOUNDED_REPEAT;
        }
    }

    std::vector<std::uint8_t>& buf_;
    std::size_t pos_ = 1; // after the magic byte
};

class Parser {
public:
    Parser(const char* pattern, ProgramBuilder& b)
        : pat_(pattern), end_(pattern + std::strlen(pattern)), p_(pattern), b_(b) {}

    // Parses the whole pattern; returns the flags of the top-level alternation.
    int run() {
        int flags = 0;
        alternation(false, flags);
        return flags;
    }

private:
    bool failed() const { return b_.error != 0; }
    int fail(int code) {
        if (!b_.error) b_.error = code;
        return kNoNode;
    }
    char peek(std::ptrdiff_t ahead = 0) const { return end_ - p_ > ahead ? p_[ahead] : '\0'; }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    bool repeatOperatorHere() const {
        char c = peek();
        return c == '*' || c == '+' || c == '?' || (c == '{' && isDigit(peek(1)));
    }

    int alternation(bool paren, int& flagsOut) {
        int flags = NONEMPTY;
        int n = 0;
        int ret = kNoNode;
        if (paren) {
            if (nextGroup_ >= 10) return fail(REG_ERR_TOO_MANY_PARENS);
            n = nextGroup_++;
            ret = b_.emitNode(static_cast<std::uint8_t>(OPEN + n));
        }
        int f = 0;
        int br = branch(f);
        if (failed()) return kNoNode;
        if (paren)
            b_.setTail(ret, br);
        else
            ret = br;
        if (!(f & NONEMPTY)) flags &= ~NONEMPTY;
        flags |= f & LEADREPEAT;
        while (peek() == '|') {
            ++p_;
            nextGroup_ = n + 1; // every alternative numbers its groups from the same number
            br = branch(f);
            if (failed()) return kNoNode;
            b_.setTail(ret, br);
            if (!(f & NONEMPTY)) flags &= ~NONEMPTY;
            flags |= f & LEADREPEAT;
        }
        int ender = b_.emitNode(static_cast<std::uint8_t>(paren ? CLOSE + n : END));
        b_.setTail(ret, ender);
        for (int node = ret; node != kNoNode; node = b_.nextNode(node)) {
            b_.setOperandTail(node, ender);
            if (node == ender) break;
        }
        if (paren) {
            if (peek() != ')') return fail(REG_ERR_MISSING_PAREN);
            ++p_;
        } else if (p_ < end_) {
            return fail(peek() == ')' ? REG_ERR_BAD_PARENS : REG_ERR_TRAILING_JUNK);
        }
        flagsOut = flags;
        return ret;
    }

    int branch(int& flagsOut) {
        int ret = b_.emitNode(BRANCH);
        int flags = 0;
        bool first = true;
        bool havePiece = false;
        int prev = kNoNode;
        while (p_ < end_ && peek() != '|' && peek() != ')') {
            int f = 0;
            bool removed = false;
            int latest = piece(f, removed);
            if (failed()) return kNoNode;
            flags |= f & NONEMPTY;
            if (first) flags |= f & LEADREPEAT;
            first = false;
            // A piece repeated {0} left no bytes; the next piece took its place, and linking
            // the two would make a loop.
            if (removed) continue;
            if (havePiece) b_.setTail(prev, latest);
            prev = latest;
            havePiece = true;
        }
        // An alternative must not be empty, or the node after it would be taken as its start.
        if (!havePiece) b_.emitNode(NOTHING);
        flagsOut = flags;
        return ret;
    }

    int piece(int& flagsOut, bool& removed) {
        int f = 0;
        int ret = atom(f);
        if (failed()) return kNoNode;
        if (!repeatOperatorHere()) {
            flagsOut = f;
            return ret;
        }
        char op = peek();
        if (!(f & NONEMPTY) && op != '?') return fail(REG_ERR_EMPTY_REPEAT);
        flagsOut = op == '*' ? LEADREPEAT : op == '+' ? (LEADREPEAT | NONEMPTY) : 0;

        if (op == '*' && (f & SINGLECHAR)) {
            b_.insertNode(STAR, ret);
        } else if (op == '*') {
            b_.insertNode(BRANCH, ret);
            b_.setOperandTail(ret, b_.emitNode(BACK));
            b_.setOperandTail(ret, ret);
            b_.setTail(ret, b_.emitNode(BRANCH));
            b_.setTail(ret, b_.emitNode(NOTHING));
        } else if (op == '+' && (f & SINGLECHAR)) {
            b_.insertNode(PLUS, ret);
        } else if (op == '+') {
            int next = b_.emitNode(BRANCH);
            b_.setTail(ret, next);
            b_.setTail(b_.emitNode(BACK), ret);
            b_.setTail(next, b_.emitNode(BRANCH));
            b_.setTail(ret, b_.emitNode(NOTHING));
        } else if (op == '?') {
            b_.insertNode(BRANCH, ret);
            b_.setTail(ret, b_.emitNode(BRANCH));
            int next = b_.emitNode(NOTHING);
            b_.setTail(ret, next);
            b_.setOperandTail(ret, next);
        } else {
            ++p_; // '{'
            int min = count();
            if (failed()) return kNoNode;
            int max = min;
            if (peek() == ',') {
                ++p_;
                if (isDigit(peek())) {
                    max = count();
                    if (failed()) return kNoNode;
                    if (min > max) return fail(REG_ERR_MIN_ABOVE_MAX);
                } else {
                    max = kUnbounded;
                }
            }
            b_.repeat(ret, min, max);
            removed = min == 0 && max == 0;
            if (failed()) return kNoNode;
            if (peek() != '}') {
                while (p_ < end_ && *p_ != '}') ++p_;
                return fail(p_ < end_ ? REG_ERR_BAD_BRACE : REG_ERR_MISSING_BRACE);
            }
        }
        ++p_; // the operator or the closing brace
        if (repeatOperatorHere()) return fail(REG_ERR_NESTED_REPEAT);
        return ret;
    }

    // A brace count: digits, read while the value so far is at most 255.
    int count() {
        int value = 0;
        int digits = 0;
        while (isDigit(peek()) && value <= 255) {
            value = value * 10 + (*p_++ - '0');
            ++digits;
        }
        if (digits == 0 || value > 255) return fail(REG_ERR_BAD_COUNT), 0;
        return value;
    }

    int atom(int& flagsOut) {
        long m = b_.mark();
        int ret = kNoNode;
        int flags = 0;
        char c = peek();
        switch (c) {
        case '^':
            ++p_;
            ret = b_.emitNode(BOL);
            break;
        case '$':
            ++p_;
            ret = b_.emitNode(EOL);
            break;
        case '.':
            ++p_;
            ret = b_.emitNode(ANY);
            flags = NONEMPTY | SINGLECHAR;
            break;
        case '[':
            ++p_;
            ret = set();
            flags = NONEMPTY | SINGLECHAR;
            break;
        case '(':
            ++p_;
            {
                int f = 0;
                ret = alternation(true, f);
                flags = f & (NONEMPTY | LEADREPEAT);
            }
            break;
        case '\0':
        case '|':
        case ')':
            return fail(REG_ERR_INTERNAL_ATOM);
        case '?':
        case '+':
        case '*':
            return fail(REG_ERR_REPEAT_FOLLOWS_NOTHING);
        case '\\':
            if (end_ - p_ < 2) return fail(REG_ERR_TRAILING_ESCAPE);
            if (p_[1] == '<' || p_[1] == '>') {
                ret = b_.emitNode(p_[1] == '<' ? WORDSTART : WORDEND);
                p_ += 2;
                break;
            }
            ret = literalRun(flags);
            break;
        default:
            if (c == '{' && isDigit(peek(1))) return fail(REG_ERR_REPEAT_FOLLOWS_NOTHING);
            ret = literalRun(flags);
            break;
        }
        if (failed()) return kNoNode;
        b_.endAtom(m);
        flagsOut = flags;
        return ret;
    }

    // One set member: UTF-8 as written, a stray byte behind its marker.
    void emitMember(chars::Char ch) {
        if (chars::isStray(ch.cp)) {
            b_.emitByte(kSetStray);
            b_.emitByte(static_cast<std::uint8_t>(ch.cp - chars::kStrayBase));
            return;
        }
        char buf[4];
        unsigned n = chars::encode(ch.cp, buf);
        for (unsigned i = 0; i < n; ++i) b_.emitByte(static_cast<std::uint8_t>(buf[i]));
    }

    chars::Char here() const { return chars::decode(p_, end_); }

    int set() {
        int ret;
        if (peek() == '^') {
            ++p_;
            ret = b_.emitNode(ANYBUT);
        } else {
            ret = b_.emitNode(ANYOF);
        }
        if (peek() == ']' || peek() == '-') {
            emitMember(here());
            ++p_;
        }
        while (p_ < end_ && *p_ != ']') {
            if (*p_ != '-') {
                chars::Char ch = here();
                emitMember(ch);
                p_ += ch.len;
                continue;
            }
            const char* dash = p_++;
            if (p_ >= end_ || *p_ == ']') {
                b_.emitByte('-');
                continue;
            }
            chars::Char lo = chars::decode(chars::previous(pat_, dash), dash);
            chars::Char hi = here();
            if (lo.cp > hi.cp) return fail(REG_ERR_BAD_RANGE);
            if (hi.cp < 0x80) {
                // ASCII ranges are written out; the range loop ends after the end code.
                for (char32_t c = lo.cp + 1; c <= hi.cp; ++c) b_.emitByte(static_cast<std::uint8_t>(c));
            } else {
                b_.emitByte(kSetRangeTo);
                emitMember(hi);
            }
            p_ += hi.len;
        }
        b_.emitByte(0);
        if (p_ >= end_) return fail(REG_ERR_MISSING_BRACKET);
        ++p_;
        return ret;
    }

    static bool endsRun(char n) {
        return n == '\0' || n == '\n' || n == '$' || n == '(' || n == ')' || n == '.' ||
               n == '[' || n == '^' || n == '|';
    }

    // One literal character; a stray byte behind its marker, like a set member.
    void emitLiteral(chars::Char c) { emitMember(c); }

    // A run of literal characters; p_ is at its first character or at the backslash before it.
    int literalRun(int& flags) {
        int ret = b_.emitNode(EXACTLY);
        int count = 0;
        const char* cStart = p_; // where c begins, its backslash included
        if (*p_ == '\\') ++p_;
        for (;;) {
            chars::Char c = here();
            const char* n = p_ + c.len;
            char nc = n < end_ ? *n : '\0';
            if (endsRun(nc)) {
                emitLiteral(c), ++count;
                p_ = n;
                break;
            }
            if (nc == '*' || nc == '+' || nc == '?' || nc == '{') {
                bool isOperator = nc != '{' || (n + 1 < end_ && isDigit(n[1]));
                if (isOperator && count >= 1) {
                    p_ = cStart; // c becomes the single-character atom the operator applies to
                } else {
                    emitLiteral(c), ++count;
                    p_ = n;
                }
                break;
            }
            emitLiteral(c), ++count;
            p_ = n;
            if (nc == '\\') {
                char after = n + 1 < end_ ? n[1] : '\0';
                if (after == '\0' || after == '<' || after == '>') break;
                cStart = p_;
                ++p_; // the escaped character is taken literally, whatever it is
            } else {
                cStart = p_;
            }
        }
        b_.emitByte(0);
        flags = NONEMPTY | (count == 1 ? SINGLECHAR : 0);
        return ret;
    }

    const char* pat_;
    const char* end_;
    const char* p_;
    ProgramBuilder& b_;
    int nextGroup_ = 1;
};

// Skips start positions that cannot lead to a match: first character, anchor, required literal.
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

// Fills the matcher's per-node tables and the first-character filter.
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

} // namespace

RegProgram regcomp(const char* pattern, bool caseSensitive) {
    RegProgram prog;
    prog.caseSensitive = caseSensitive;
    auto failWith = [&](int code) {
        prog.valid = false;
        prog.program.clear();
        prog.compileError = regErrorText(code);
        return prog;
    };
    if (pattern == nullptr || *pattern == '\0') return failWith(REG_ERR_COMP_NULL);

    SizeBuilder sizer;
    Parser(pattern, sizer).run();
    if (sizer.error) return failWith(sizer.error);
    if (sizer.tooBig()) return failWith(REG_ERR_TOO_BIG);

    prog.programSize = static_cast<std::uint32_t>(sizer.size());
    prog.program.assign(static_cast<std::size_t>(sizer.peak()), 0);
    prog.program[0] = kRegMagic;
    CodeBuilder coder(prog.program);
    int flags = Parser(pattern, coder).run();
    if (coder.error) return failWith(coder.error);
    // The two passes must agree byte for byte; fuzzing builds stop here if they ever do not.
    assert(coder.written() == prog.programSize);
    if (coder.written() != prog.programSize) return failWith(REG_ERR_UNKNOWN);
    prog.program.resize(prog.programSize);
    prog.program.shrink_to_fit();

    optimise(prog, flags);
    analyse(prog);
    prog.valid = true;
    return prog;
}
