// The pattern parser: recursive descent over alternatives, pieces and atoms, telling a builder
// which nodes to emit and how to link them. It never sees where the bytes go, so one parse
// serves both the counting and the writing pass. Along the way it works out for every piece
// whether it can be empty, is exactly one character or begins with a repetition: that decides
// between a STAR/PLUS node and a loop, refuses repeats of what may match nothing, and tells
// the analysis whether a required literal is worth looking for.

#include <cstring>

#include "engine/RegCompiler.h"
#include "engine/RegError.h"
#include "engine/RegProgram.h"
#include "platform/chars.h"

namespace regcompiler {

namespace {

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

} // namespace

int parse(const char* pattern, ProgramBuilder& b) { return Parser(pattern, b).run(); }

} // namespace regcompiler
