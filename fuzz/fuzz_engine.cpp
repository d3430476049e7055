// libFuzzer target for the pattern engine: compiler, matcher, replacement expansion, the wildcard
// and literal translations and CVNFileNameMatcher.
//
// Input: fields separated by NUL bytes (no pattern, name or replacement can hold a NUL):
//   pattern \0 replacement \0 name \0 name ...
// The pattern is also used as a wildcard and as a literal, and is one of the names. Every
// invariant violation aborts with a message, so libFuzzer records the input.
//
// Besides the engine's own promises (offsets inside the name, no split characters, bounded
// work), literal and wildcard searches are checked against small reference matchers below that
// work on decoded characters, and every regular expression P is checked against "(P)", which
// takes none of the compiler's start-position shortcuts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/uchar.h>

#include "engine/CVNFileNameMatcher.h"
#include "engine/RegError.h"
#include "engine/RegExp.h"
#include "engine/RegProgram.h"
#include "engine/Wildcard.h"

namespace {

constexpr std::size_t kMaxPattern = 200;
constexpr std::size_t kMaxName = 300;
constexpr std::size_t kMaxReplacement = 200;
constexpr std::size_t kMaxNames = 4;

// The matcher gives up an attempt (with the "unknown error" text) when its recursion has used
// 2 MiB of stack, which under AddressSanitizer is about a thousand levels. Each level stands for
// a different (node, position) pair unless an empty loop went round, so with fewer pairs than
// this the limit cannot be reached by a correct matcher (a level would need 8 KiB).
constexpr std::uint64_t kFewestPairsForStackLimit = 256;

[[noreturn]] void fail(const char* what, const std::string& detail = std::string()) {
    std::fprintf(stderr, "\nfuzz_engine: invariant violated: %s\n", what);
    if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
    std::abort();
}

void check(bool ok, const char* what, const std::string& detail = std::string()) {
    if (!ok) fail(what, detail);
}

std::string hex(std::string_view s) {
    static const char digits[] = "0123456789abcdef";
    std::string r;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            r += static_cast<char>(c);
        } else {
            r += "\\x";
            r += digits[c >> 4];
            r += digits[c & 15];
        }
    }
    return r;
}

// --- An independent UTF-8 reader: a valid sequence is one character, any other byte a stray
// character of its own. Deliberately not platform/chars, which is under test too.

struct Ch {
    std::uint32_t cp; // code point, or the byte for a stray
    unsigned len;
    bool stray;
};

Ch decodeAt(std::string_view s, std::size_t i) {
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    if (b < 0x80) return {b, 1, false};
    unsigned len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    std::uint32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F;
    } else if (b == 0xE0) {
        len = 3, cp = 0, lo = 0xA0;
    } else if (b >= 0xE1 && b <= 0xEC) {
        len = 3, cp = b & 0x0F;
    } else if (b == 0xED) {
        len = 3, cp = 0x0D, hi = 0x9F;
    } else if (b >= 0xEE && b <= 0xEF) {
        len = 3, cp = b & 0x0F;
    } else if (b == 0xF0) {
        len = 4, cp = 0, lo = 0x90;
    } else if (b >= 0xF1 && b <= 0xF3) {
        len = 4, cp = b & 0x07;
    } else if (b == 0xF4) {
        len = 4, cp = 4, hi = 0x8F;
    } else {
        return {b, 1, true};
    }
    if (s.size() - i < len) return {b, 1, true};
    for (unsigned k = 1; k < len; ++k) {
        const unsigned char c = at(i + k);
        const unsigned char l = k == 1 ? lo : 0x80;
        const unsigned char h = k == 1 ? hi : 0xBF;
        if (c < l || c > h) return {b, 1, true};
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, len, false};
}

std::vector<Ch> decodeAll(std::string_view s) {
    std::vector<Ch> r;
    for (std::size_t i = 0; i < s.size();) {
        Ch c = decodeAt(s, i);
        r.push_back(c);
        i += c.len;
    }
    return r;
}

// boundary[i]: offset i (0..size) does not fall inside a valid multi-byte character.
std::vector<bool> boundaries(std::string_view s) {
    std::vector<bool> r(s.size() + 1, true);
    for (std::size_t i = 0; i < s.size();) {
        Ch c = decodeAt(s, i);
        for (unsigned k = 1; k < c.len; ++k)
            r[i + k] = false;
        i += c.len;
    }
    return r;
}

bool sameChar(const Ch& a, const Ch& b, bool caseSensitive) {
    if (a.stray || b.stray) return a.stray == b.stray && a.cp == b.cp;
    if (a.cp == b.cp) return true;
    return !caseSensitive && u_foldCase(static_cast<UChar32>(a.cp), U_FOLD_CASE_DEFAULT) ==
                                 u_foldCase(static_cast<UChar32>(b.cp), U_FOLD_CASE_DEFAULT);
}

// --- Reference matchers.

struct Span {
    bool found = false;
    std::size_t start = 0, end = 0; // byte offsets in the name
};

// Leftmost occurrence of the characters of text among the characters of name.
Span findLiteral(std::string_view text, std::string_view name, bool caseSensitive) {
    const std::vector<Ch> t = decodeAll(text);
    const std::vector<Ch> n = decodeAll(name);
    std::size_t offset = 0;
    for (std::size_t i = 0; i + t.size() <= n.size(); offset += n[i].len, ++i) {
        std::size_t k = 0, bytes = 0;
        while (k < t.size() && sameChar(n[i + k], t[k], caseSensitive))
            bytes += n[i + k].len, ++k;
        if (k == t.size()) return {true, offset, offset + bytes};
    }
    return {};
}

// Whether the wildcard matches the whole name: '*' any run of characters, '?' one character,
// everything else itself without regard to case.
bool wildcardMatches(std::string_view wildcard, std::string_view name) {
    const std::vector<Ch> w = decodeAll(wildcard);
    const std::vector<Ch> n = decodeAll(name);
    // reach[j]: the wildcard characters seen so far can match the first j name characters.
    std::vector<char> reach(n.size() + 1, 0), next(n.size() + 1, 0);
    reach[0] = 1;
    for (const Ch& c : w) {
        std::fill(next.begin(), next.end(), 0);
        if (!c.stray && c.cp == '*') {
            bool any = false;
            for (std::size_t j = 0; j <= n.size(); ++j)
                next[j] = any = any || reach[j];
        } else {
            const bool anyChar = !c.stray && c.cp == '?';
            for (std::size_t j = 0; j < n.size(); ++j)
                next[j + 1] = reach[j] && (anyChar || sameChar(n[j], c, false));
        }
        reach.swap(next);
    }
    return reach[n.size()] != 0;
}

// --- A reference regular-expression matcher: the pattern syntax read independently into a
// Thompson automaton and simulated over decoded characters. It knows nothing of priorities, so
// it answers only whether a name matches, where the leftmost match starts and where a match from
// there may end; that is what the engine's answers are checked against.

// A character as the engine compares them: the code point, or a stray byte above Unicode.
std::uint32_t charValue(const Ch& c) {
    return c.stray ? 0x110000u + c.cp : c.cp;
}
bool isStrayValue(std::uint32_t v) {
    return v >= 0x110000u;
}
std::uint32_t foldValue(std::uint32_t v) {
    return isStrayValue(v) ? v
                           : static_cast<std::uint32_t>(
                                 u_foldCase(static_cast<UChar32>(v), U_FOLD_CASE_DEFAULT));
}
bool isWordValue(std::uint32_t v) {
    if (isStrayValue(v)) return false;
    if (v < 0x80)
        return (v >= '0' && v <= '9') || (v >= 'A' && v <= 'Z') || (v >= 'a' && v <= 'z') ||
               v == '_';
    return u_isalnum(static_cast<UChar32>(v));
}

class Reference {
public:
    enum Outcome { Ready, TooBig, Unreadable };

    Outcome compile(std::string_view pattern, bool caseSensitive) {
        pat_ = pattern;
        p_ = 0;
        cs_ = caseSensitive;
        ok_ = true;
        tooBig_ = false;
        states_.clear();
        start_ = add(Eps);
        int end = alternation(start_, false);
        if (ok_ && end >= 0 && p_ == pat_.size()) {
            accept_ = add(Accept);
            link(end, accept_);
        }
        if (tooBig_) return TooBig;
        return ok_ && end >= 0 && p_ == pat_.size() ? Ready : Unreadable;
    }

    // Leftmost start (character index) of a match in the name, or -1.
    long leftmost(const std::vector<Ch>& name) { return simulate(name, -1, nullptr); }
    // Character indexes where a match starting at start may end.
    std::vector<bool> endsFrom(const std::vector<Ch>& name, long start) {
        std::vector<bool> ends(name.size() + 1, false);
        simulate(name, start, &ends);
        return ends;
    }

private:
    enum Kind { Eps, Accept, Literal, AnyChar, Set, Bol, Eol, WordStart, WordEnd };
    struct SetItem {
        bool rangeTo; // the end of a range from the previous member
        std::uint32_t value;
    };
    struct State {
        Kind kind;
        std::vector<int> next;
        std::uint32_t value = 0; // Literal
        bool negated = false;    // Set
        std::vector<SetItem> items;
    };
    // Bounded repeats are written out; beyond this the simulation would slow the fuzzer down.
    static constexpr std::size_t kMaxStates = 4000;

    int add(Kind k) {
        if (states_.size() >= kMaxStates) {
            ok_ = false, tooBig_ = true;
            return -1;
        }
        states_.push_back(State{k, {}, 0, false, {}});
        return static_cast<int>(states_.size() - 1);
    }
    void link(int from, int to) {
        if (from >= 0 && to >= 0) states_[static_cast<std::size_t>(from)].next.push_back(to);
    }
    // A state that consumes or tests, entered from in; returns the state after it.
    int step(int in, State s) {
        if (states_.size() + 2 > kMaxStates) return ok_ = false, tooBig_ = true, -1;
        states_.push_back(std::move(s));
        int at = static_cast<int>(states_.size() - 1);
        link(in, at);
        int out = add(Eps);
        link(at, out);
        return out;
    }

    char peek(std::size_t ahead = 0) const {
        return p_ + ahead < pat_.size() ? pat_[p_ + ahead] : '\0';
    }
    static bool digit(char c) { return c >= '0' && c <= '9'; }
    Ch here() const { return decodeAt(pat_, p_); }

    // The automaton of pattern text is rebuilt for each copy a count asks for.
    int alternation(int in, bool paren) {
        int out = add(Eps);
        for (;;) {
            int bin = add(Eps);
            link(in, bin);
            int bout = branch(bin);
            if (!ok_) return -1;
            link(bout, out);
            if (peek() != '|' || p_ >= pat_.size()) break;
            ++p_;
        }
        if (paren) {
            if (peek() != ')' || p_ >= pat_.size()) return ok_ = false, -1;
            ++p_;
        }
        return out;
    }

    int branch(int in) {
        int cur = in;
        while (ok_ && p_ < pat_.size() && peek() != '|' && peek() != ')')
            cur = piece(cur);
        return cur;
    }

    int piece(int in) {
        const std::size_t mark = states_.size();
        const std::size_t inEdges = states_[static_cast<std::size_t>(in)].next.size();
        const std::size_t atomStart = p_;
        int out = atom(in);
        if (!ok_) return -1;
        const std::size_t atomEnd = p_;
        char op = peek();
        if (p_ >= pat_.size() ||
            !(op == '*' || op == '+' || op == '?' || (op == '{' && digit(peek(1)))))
            return out;
        int min = 0, max = -1; // -1: no upper limit
        if (op == '*') {
            ++p_;
        } else if (op == '+') {
            min = 1, ++p_;
        } else if (op == '?') {
            max = 1, ++p_;
        } else {
            ++p_;
            min = number();
            max = min;
            if (peek() == ',') {
                ++p_;
                max = digit(peek()) ? number() : -1;
            }
            if (peek() != '}') return ok_ = false, -1;
            ++p_;
        }
        const std::size_t after = p_;
        // Rebuild the repetition from scratch: min copies, then optional ones or a loop.
        states_.resize(mark);
        states_[static_cast<std::size_t>(in)].next.resize(inEdges);
        auto copy = [&](int from) {
            p_ = atomStart;
            int o = atom(from);
            if (p_ != atomEnd) ok_ = false;
            return o;
        };
        int cur = in;
        for (int i = 0; i < min && ok_; ++i)
            cur = copy(cur);
        if (max < 0) {
            int loop = add(Eps);
            link(cur, loop);
            int body = copy(loop);
            link(body, loop);
            cur = add(Eps);
            link(loop, cur);
        } else {
            int end = add(Eps);
            for (int i = min; i < max && ok_; ++i) {
                link(cur, end);
                cur = copy(cur);
            }
            link(cur, end);
            cur = end;
        }
        p_ = after;
        return ok_ ? cur : -1;
    }

    int number() {
        int v = 0;
        while (digit(peek()))
            v = std::min(v * 10 + (pat_[p_++] - '0'), 1000);
        return v;
    }

    int atom(int in) {
        char c = peek();
        switch (c) {
        case '^':
            ++p_;
            return step(in, State{Bol, {}, 0, false, {}});
        case '$':
            ++p_;
            return step(in, State{Eol, {}, 0, false, {}});
        case '.':
            ++p_;
            return step(in, State{AnyChar, {}, 0, false, {}});
        case '[':
            ++p_;
            return set(in);
        case '(':
            ++p_;
            return alternation(in, true);
        case '\\':
            if (p_ + 1 >= pat_.size()) return ok_ = false, -1;
            if (pat_[p_ + 1] == '<' || pat_[p_ + 1] == '>') {
                Kind k = pat_[p_ + 1] == '<' ? WordStart : WordEnd;
                p_ += 2;
                return step(in, State{k, {}, 0, false, {}});
            }
            ++p_;
            break;
        case '|':
        case ')':
        case '?':
        case '+':
        case '*':
            return ok_ = false, -1;
        default:
            break;
        }
        Ch ch = here();
        p_ += ch.len;
        return step(in, State{Literal, {}, charValue(ch), false, {}});
    }

    int set(int in) {
        State s{Set, {}, 0, false, {}};
        if (peek() == '^') s.negated = true, ++p_;
        if (p_ < pat_.size() && (peek() == ']' || peek() == '-')) {
            s.items.push_back({false, static_cast<unsigned char>(pat_[p_])});
            ++p_;
        }
        std::uint32_t last = 0;
        if (!s.items.empty()) last = s.items.back().value;
        while (p_ < pat_.size() && pat_[p_] != ']') {
            if (pat_[p_] != '-') {
                Ch ch = here();
                s.items.push_back({false, last = charValue(ch)});
                p_ += ch.len;
                continue;
            }
            ++p_;
            if (p_ >= pat_.size() || pat_[p_] == ']') {
                s.items.push_back({false, last = '-'});
                continue;
            }
            Ch hi = here();
            const std::uint32_t h = charValue(hi);
            if (last > h) return ok_ = false, -1;
            if (h < 0x80) {
                for (std::uint32_t v = last + 1; v <= h; ++v)
                    s.items.push_back({false, v});
            } else {
                s.items.push_back({true, h});
            }
            last = h;
            p_ += hi.len;
        }
        if (p_ >= pat_.size()) return ok_ = false, -1;
        ++p_;
        return step(in, std::move(s));
    }

    bool inSet(const State& s, std::uint32_t c) const {
        const bool ci = !cs_;
        std::uint32_t prev = 0;
        for (const SetItem& it : s.items) {
            if (it.rangeTo) {
                auto in = [&](std::uint32_t x) { return x > prev && x <= it.value; };
                if (in(c)) return true;
                if (ci && !isStrayValue(c)) {
                    const auto u = static_cast<std::uint32_t>(u_toupper(static_cast<UChar32>(c)));
                    const auto l = static_cast<std::uint32_t>(u_tolower(static_cast<UChar32>(c)));
                    if (in(foldValue(c)) || in(u) || in(l)) return true;
                }
            } else if (it.value == c || (ci && foldValue(it.value) == foldValue(c))) {
                return true;
            }
            prev = it.value;
        }
        return false;
    }

    bool consumes(const State& s, std::uint32_t c) const {
        switch (s.kind) {
        case Literal:
            return s.value == c || (!cs_ && foldValue(s.value) == foldValue(c));
        case AnyChar:
            return true;
        case Set:
            return inSet(s, c) != s.negated;
        default:
            return false;
        }
    }

    bool holds(Kind k, const std::vector<Ch>& name, std::size_t i) const {
        auto word = [&](std::size_t j) {
            return j < name.size() && isWordValue(charValue(name[j]));
        };
        switch (k) {
        case Bol:
            return i == 0;
        case Eol:
            return i == name.size();
        case WordStart:
            return word(i) && !(i > 0 && word(i - 1));
        case WordEnd:
            return !word(i);
        default:
            return false;
        }
    }

    // Runs the automaton over the name. Every thread carries the character index it started
    // at, and each state keeps only its smallest, since the futures are the same. With only
    // >= 0, threads start there alone and ends collects where they reach the accepting state.
    long simulate(const std::vector<Ch>& name, long only, std::vector<bool>* ends) {
        const long none = std::numeric_limits<long>::max();
        std::vector<long> cur(states_.size(), none), nxt(states_.size(), none);
        std::vector<int> order, stack;
        long best = none;
        for (std::size_t i = 0; i <= name.size(); ++i) {
            if (only < 0 || static_cast<long>(i) == only)
                cur[static_cast<std::size_t>(start_)] =
                    std::min(cur[static_cast<std::size_t>(start_)], static_cast<long>(i));
            // Closure, smallest start first, so the first visit of a state is its best.
            order.clear();
            for (std::size_t s = 0; s < states_.size(); ++s)
                if (cur[s] != none) order.push_back(static_cast<int>(s));
            std::sort(order.begin(), order.end(), [&](int a, int b) {
                return cur[static_cast<std::size_t>(a)] < cur[static_cast<std::size_t>(b)];
            });
            std::vector<long> closed(states_.size(), none);
            for (int s0 : order) {
                const long st = cur[static_cast<std::size_t>(s0)];
                if (closed[static_cast<std::size_t>(s0)] != none) continue;
                stack.assign(1, s0);
                closed[static_cast<std::size_t>(s0)] = st;
                while (!stack.empty()) {
                    const State& s = states_[static_cast<std::size_t>(stack.back())];
                    stack.pop_back();
                    const bool pass =
                        s.kind == Eps || ((s.kind == Bol || s.kind == Eol || s.kind == WordStart ||
                                           s.kind == WordEnd) &&
                                          holds(s.kind, name, i));
                    if (!pass) continue;
                    for (int t : s.next)
                        if (closed[static_cast<std::size_t>(t)] == none) {
                            closed[static_cast<std::size_t>(t)] = st;
                            stack.push_back(t);
                        }
                }
            }
            if (closed[static_cast<std::size_t>(accept_)] != none) {
                best = std::min(best, closed[static_cast<std::size_t>(accept_)]);
                if (ends) (*ends)[i] = true;
            }
            if (i == name.size()) break;
            std::fill(nxt.begin(), nxt.end(), none);
            const std::uint32_t c = charValue(name[i]);
            for (std::size_t s = 0; s < states_.size(); ++s) {
                if (closed[s] == none || !consumes(states_[s], c)) continue;
                for (int t : states_[s].next)
                    nxt[static_cast<std::size_t>(t)] =
                        std::min(nxt[static_cast<std::size_t>(t)], closed[s]);
            }
            cur.swap(nxt);
        }
        return best == none ? -1 : best;
    }

    std::string_view pat_;
    std::size_t p_ = 0;
    bool cs_ = true;
    bool ok_ = true;
    bool tooBig_ = false;
    std::vector<State> states_;
    int start_ = 0;
    int accept_ = 0;
};

// --- Snapshots of match results, to compare runs with each other.

struct Result {
    bool matched = false;
    int highest = -1;
    int start[kRegGroups] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int end[kRegGroups] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    bool operator==(const Result& o) const {
        if (matched != o.matched || highest != o.highest) return false;
        for (int i = 0; i < kRegGroups; ++i)
            if (start[i] != o.start[i] || end[i] != o.end[i]) return false;
        return true;
    }
};

std::string describe(const Result& r) {
    std::string s = r.matched ? "match" : "no match";
    if (r.matched)
        for (int i = 0; i < kRegGroups; ++i)
            if (r.start[i] >= 0)
                s += " g" + std::to_string(i) + "=[" + std::to_string(r.start[i]) + "," +
                     std::to_string(r.end[i]) + ")";
    return s;
}

std::string context(std::string_view pattern, bool cs, std::string_view name) {
    return "pattern \"" + hex(pattern) + "\" (" + (cs ? "case-sensitive" : "ignoring case") +
           ") name \"" + hex(name) + "\"";
}

std::string slice(std::string_view s, int start, int end) {
    return std::string(
        s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

// Runs exec and checks everything a single match promises; returns the groups.
Result execChecked(RegExp& re, std::string_view pattern, bool cs, std::string_view name) {
    Result r;
    r.matched = re.exec(name);
    const std::uint64_t visits = regexecVisits();
    const RegProgram* prog = re.program();
    const RegState& state = re.state();
    const std::string where = context(pattern, cs, name);

    // Work: every (node, position) pair fails at most once, so node visits grow with nodes
    // times positions, times at most the name length for the characters one run walks over.
    // Fuzzing sees well under a tenth of this; exponential backtracking passes it at once.
    const std::uint64_t size = prog->program.size();
    const std::uint64_t nodes = size / 3 + 1;
    const std::uint64_t positions = name.size() + 1;
    const std::uint64_t bound = (size / 3 + 2) * (positions + 1) * (positions + 1) + 1000;
    check(visits <= bound, "matcher work beyond nodes times positions squared",
          where + " visits " + std::to_string(visits) + " bound " + std::to_string(bound));

    // A valid program never fails for a reason of its own; only the recursion cap may stop it,
    // and only where the (node, position) pairs could nest that deep.
    if (!re.errorText().empty()) {
        const bool deepEnough = nodes * positions >= kFewestPairsForStackLimit;
        check(deepEnough && re.errorText() == regErrorText(REG_ERR_UNKNOWN),
              "exec of a valid program reported an error", where + ": " + re.errorText());
    }
    check(!r.matched || re.errorText().empty(), "a match with an error text", where);

    r.highest = re.highestGroup();
    if (!r.matched) {
        check(r.highest == -1, "highestGroup after a failed match is not -1", where);
        return r;
    }

    const std::vector<bool> boundary = boundaries(name);
    int highest = -1;
    for (int i = 0; i < kRegGroups; ++i) {
        r.start[i] = state.groupStart[i];
        r.end[i] = state.groupEnd[i];
        const int gs = re.groupStart(i);
        const int gl = re.groupLength(i);
        check(gs == r.start[i], "groupStart disagrees with the match state", where);
        if (gs < 0) {
            check(i != 0, "group 0 did not take part in a match", where);
            check(gl == 0, "a group that took no part has a length", where);
            continue;
        }
        highest = i;
        const std::string g = where + " " + describe(r) + " group " + std::to_string(i);
        check(r.end[i] >= gs, "group ends before it starts", g);
        check(static_cast<std::size_t>(r.end[i]) <= name.size(), "group ends past the name", g);
        check(gl == r.end[i] - gs, "groupLength is not end - start", g);
        check(boundary[static_cast<std::size_t>(gs)], "group starts inside a character", g);
        check(boundary[static_cast<std::size_t>(r.end[i])], "group ends inside a character", g);
    }
    check(highest == r.highest, "highestGroup is not the highest group that took part",
          where + " " + describe(r));
    return r;
}

bool hasExpansion(std::string_view replacement) {
    return replacement.find('&') != std::string_view::npos ||
           replacement.find('\\') != std::string_view::npos ||
           replacement.find(":(") != std::string_view::npos;
}

// Replacement checks after a successful match; re holds the last match on name.
void checkSubstitute(RegExp& re, const Result& r, std::string_view pattern, bool cs,
                     std::string_view name, const std::string& replacement, int caseCount) {
    const std::string where =
        context(pattern, cs, name) + " replacement \"" + hex(replacement) + "\"";
    std::string out;
    bool ok = re.substitute(replacement, out);
    check(ok == re.errorText().empty(), "substitute's result and error text disagree",
          where + ": " + re.errorText());
    if (ok && !hasExpansion(replacement))
        check(out == replacement, "plain replacement text was changed", where + " -> " + hex(out));
    // Once more: the counter moves on, but the outcome may only change through the counter.
    std::string again;
    bool ok2 = re.substitute(replacement, again);
    check(ok2 == re.errorText().empty(), "substitute's result and error text disagree",
          where + ": " + re.errorText());
    if (replacement.find(":(") == std::string::npos)
        check(ok2 == ok && again == out, "substitute without a counter is not repeatable", where);

    for (int i = 0; i < kRegGroups; ++i) {
        const std::string ref = i == 0 ? "&" : "\\" + std::to_string(i);
        std::string g;
        check(re.substitute(ref, g), "a group reference failed to expand", where + " " + ref);
        const std::string want = r.start[i] >= 0 ? slice(name, r.start[i], r.end[i]) : "";
        check(g == want, "a group reference expanded to the wrong text",
              where + " " + ref + " -> \"" + hex(g) + "\", want \"" + hex(want) + "\"");
    }

    // Case conversion changes characters one for one and leaves the others alone.
    const std::string whole = slice(name, r.start[0], r.end[0]);
    const std::vector<Ch> before = decodeAll(whole);
    for (const char* form : {"U", "L"}) {
        const std::string conv = "&:(" + std::string(form) + ";" + std::to_string(caseCount) + ")";
        std::string c;
        check(re.substitute(conv, c), "case conversion failed", where + " " + conv);
        const std::vector<Ch> after = decodeAll(c);
        const std::string d =
            where + " " + conv + " on \"" + hex(whole) + "\" -> \"" + hex(c) + "\"";
        check(after.size() == before.size(), "case conversion changed the number of characters", d);
        const long n = static_cast<long>(before.size());
        long from = 0, to = n;
        if (caseCount > 0) to = std::min<long>(caseCount, n);
        if (caseCount < 0) from = std::max<long>(0, n + caseCount);
        for (long k = 0; k < n; ++k) {
            const Ch& a = before[static_cast<std::size_t>(k)];
            const Ch& b = after[static_cast<std::size_t>(k)];
            if (k < from || k >= to || a.stray)
                check(a.stray == b.stray && a.cp == b.cp,
                      "case conversion touched a character outside its range or a stray byte", d);
            else
                check(!b.stray && b.cp == static_cast<std::uint32_t>(
                                              *form == 'U' ? u_toupper(static_cast<UChar32>(a.cp))
                                                           : u_tolower(static_cast<UChar32>(a.cp))),
                      "case conversion is not the simple case mapping", d);
        }
    }
}

// Whether there is a match, where the leftmost one starts, and that the engine's ends there.
void compareWithReference(Reference& ref, const Result& r, std::string_view pattern, bool cs,
                          std::string_view name) {
    const std::vector<Ch> chars = decodeAll(name);
    std::vector<std::size_t> offset{0}; // byte offset of each character index
    for (const Ch& c : chars)
        offset.push_back(offset.back() + c.len);
    const long start = ref.leftmost(chars);
    std::string d = context(pattern, cs, name) + ": " + describe(r) + ", reference: ";
    d += start < 0 ? "no match"
                   : "leftmost start " + std::to_string(offset[static_cast<std::size_t>(start)]);
    check(r.matched == (start >= 0), "the engine and the reference disagree on a match", d);
    if (!r.matched) return;
    check(r.start[0] == static_cast<int>(offset[static_cast<std::size_t>(start)]),
          "the engine's match is not the leftmost", d);
    const std::vector<bool> ends = ref.endsFrom(chars, start);
    bool possible = false;
    for (std::size_t i = 0; i < ends.size(); ++i)
        possible = possible || (ends[i] && static_cast<int>(offset[i]) == r.end[0]);
    check(possible, "no match can end where the engine's does", d);
}

void checkMatches(const std::string& pattern, bool cs, const std::vector<std::string>& names,
                  const std::string& replacement, int caseCount) {
    RegExp re(pattern, cs);
    const RegProgram* prog = re.program();
    check(prog != nullptr, "compile gave no program");
    if (!re.isValid()) {
        check(!re.errorText().empty(), "invalid program without an error text", hex(pattern));
        check(!re.exec(names[0]), "an invalid program matched", hex(pattern));
        check(!re.errorText().empty(), "exec of an invalid program gave no error", hex(pattern));
        std::string out;
        check(!re.substitute(replacement, out) && !re.errorText().empty(),
              "substitute on an invalid program did not fail", hex(pattern));
        return;
    }
    check(re.errorText().empty(), "valid program with an error text", hex(pattern));
    check(!prog->program.empty() && prog->program[0] == kRegMagic,
          "valid program does not start with the magic byte", hex(pattern));
    check(prog->program.size() < kRegMaxProgram, "valid program is too big", hex(pattern));
    check(prog->program.size() == prog->programSize, "program size disagrees with programSize",
          hex(pattern));

    // "(P)" takes no start-position shortcuts, so its group 1 must be P's whole match.
    RegExp wrapped("(" + pattern + ")", cs);
    const bool compare = wrapped.isValid();

    Reference ref;
    const Reference::Outcome refState = ref.compile(pattern, cs);
    check(refState != Reference::Unreadable,
          "the reference cannot read a pattern the engine compiled", hex(pattern));

    RegExp shared = re; // shares the program, with a match state of its own
    std::vector<Result> first;
    for (const std::string& name : names) {
        Result r = execChecked(re, pattern, cs, name);
        first.push_back(r);
        if (compare) {
            Result w = execChecked(wrapped, "(" + pattern + ")", cs, name);
            const std::string d =
                context(pattern, cs, name) + ": " + describe(r) + "; wrapped: " + describe(w);
            check(w.matched == r.matched, "P and (P) disagree on whether the name matches", d);
            if (r.matched) {
                check(w.start[0] == r.start[0] && w.end[0] == r.end[0] &&
                          w.start[1] == r.start[0] && w.end[1] == r.end[0],
                      "P and (P) disagree on the match", d);
                for (int i = 1; i + 1 < kRegGroups; ++i)
                    check(w.start[i + 1] == r.start[i] && w.end[i + 1] == r.end[i],
                          "P and (P) disagree on a group", d);
            }
        }
        if (refState == Reference::Ready && re.errorText().empty())
            compareWithReference(ref, r, pattern, cs, name);
        if (r.matched) checkSubstitute(re, r, pattern, cs, name, replacement, caseCount);
    }

    // The memo of failed pairs must not leak from one exec into the next.
    for (std::size_t k = names.size(); k-- > 0;) {
        Result r = execChecked(re, pattern, cs, names[k]);
        check(r == first[k], "exec is not repeatable",
              context(pattern, cs, names[k]) + ": " + describe(first[k]) + " then " + describe(r));
        Result s = execChecked(shared, pattern, cs, names[k]);
        check(s == first[k], "a copy of the handle matches differently",
              context(pattern, cs, names[k]));
    }

    // The matcher class must agree with the handle it wraps.
    CVNFileNameMatcher m;
    check(m.compile(pattern, cs, replacement), "CVNFileNameMatcher rejects a valid pattern",
          hex(pattern));
    RegExp twin(pattern, cs);
    for (const std::string& name : names) {
        const bool a = m.match(name);
        const bool b = twin.exec(name);
        check(a == b, "CVNFileNameMatcher::match disagrees with RegExp::exec",
              context(pattern, cs, name));
        if (!a) continue;
        std::string ra, rb;
        const bool oka = m.replace(replacement, ra);
        const bool okb = twin.substitute(replacement, rb);
        check(oka == okb && (!oka || ra == rb), "CVNFileNameMatcher::replace disagrees",
              context(pattern, cs, name));
        check(oka || !ra.empty(), "failed replace without a message", context(pattern, cs, name));
    }
}

// A literal search (pattern kind 0) finds exactly the leftmost occurrence of the characters.
void checkLiteral(const std::string& text, const std::vector<std::string>& names) {
    if (text.empty()) return;
    const std::string lit = escapeLiteral(text);
    for (bool cs : {true, false}) {
        RegExp anchored("^" + lit + "$", cs);
        check(anchored.isValid(), "an escaped literal does not compile",
              hex(text) + ": " + anchored.errorText());
        const std::string self = context("^" + lit + "$", cs, text);
        check(anchored.exec(text), "an escaped literal does not match its own text", self);
        check(anchored.groupStart(0) == 0 &&
                  anchored.groupLength(0) == static_cast<int>(text.size()),
              "an escaped literal does not match the whole of its text", self);

        RegExp re(lit, cs);
        check(re.isValid(), "an escaped literal does not compile", hex(text));
        for (const std::string& name : names) {
            const Span want = findLiteral(text, name, cs);
            const Result got = execChecked(re, lit, cs, name);
            std::string d = context(lit, cs, name) + ": " + describe(got) + ", want ";
            d += want.found
                     ? "[" + std::to_string(want.start) + "," + std::to_string(want.end) + ")"
                     : "no match";
            check(got.matched == want.found, "literal search disagrees with the reference", d);
            if (want.found)
                check(got.start[0] == static_cast<int>(want.start) &&
                          got.end[0] == static_cast<int>(want.end),
                      "literal search found the wrong occurrence", d);
        }
    }
}

// Wildcard searches (pattern kind 1) against the reference, through both translations.
void checkWildcard(const std::string& wildcard, const std::vector<std::string>& names,
                   const std::string& replacement) {
    const std::string rx = wildcardToRegExp(wildcard);
    RegExp re(rx, false);
    const auto stars = std::count(wildcard.begin(), wildcard.end(), '*');
    if (!re.isValid()) {
        // Every '*' becomes a group, and there are only nine.
        check(stars > 9 && !re.errorText().empty(),
              "a wildcard does not translate to a valid expression",
              hex(wildcard) + " -> " + hex(rx) + ": " + re.errorText());
        return;
    }
    const bool extension =
        wildcard.size() >= 2 && wildcard.compare(wildcard.size() - 2, 2, ".*") == 0;
    const std::string bare = extension ? wildcard.substr(0, wildcard.size() - 2) : std::string();

    CVNFileNameMatcher m;
    const bool mValid = m.compileWildcard(wildcard);
    check(mValid || (stars > 9 && !m.errorMessage().empty()),
          "CVNFileNameMatcher::compileWildcard rejects a wildcard",
          hex(wildcard) + ": " + m.errorMessage());
    const std::string rr = wildcardReplacementToRegExp(replacement);

    for (const std::string& name : names) {
        const bool plain = wildcardMatches(wildcard, name);
        const bool want = plain || (extension && wildcardMatches(bare, name));
        const Result got = execChecked(re, rx, false, name);
        const std::string d = "wildcard \"" + hex(wildcard) + "\" -> \"" + hex(rx) + "\" name \"" +
                              hex(name) + "\": " + describe(got);
        check(got.matched == want, "wildcard match disagrees with the reference", d);
        if (got.matched) {
            check(got.start[0] == 0 && got.end[0] == static_cast<int>(name.size()),
                  "a wildcard match is not the whole name", d);
            std::string out;
            const bool ok = re.substitute(rr, out);
            check(ok == re.errorText().empty(), "substitute's result and error text disagree", d);
        }
        if (mValid) {
            check(m.match(name) == plain,
                  "CVNFileNameMatcher wildcard disagrees with the reference",
                  "wildcard \"" + hex(wildcard) + "\" name \"" + hex(name) + "\"");
            if (plain) {
                std::string out;
                check(m.replace(rr, out) || !out.empty(), "failed replace without a message", d);
            }
        }
    }
}

// Handles without a program fail cleanly.
void checkEmptyHandles() {
    RegExp none;
    check(!none.exec("x") && none.hasError(), "exec without a program did not fail");
    std::string out;
    check(!none.substitute("&", out) && none.hasError(),
          "substitute without a program did not fail");
    RegExp re("a", true);
    check(!re.exec(static_cast<const char*>(nullptr)) && re.hasError(),
          "exec of a null name did not fail");
    CVNFileNameMatcher m;
    check(!m.match("x"), "a matcher without a pattern matched");
    check(!m.replace("&", out) && !out.empty(), "replace without a pattern did not fail");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = (checkEmptyHandles(), true);
    (void)once;

    std::vector<std::string> fields;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    for (;;) {
        const std::size_t nul = in.find('\0');
        fields.emplace_back(in.substr(0, nul));
        if (nul == std::string_view::npos) break;
        in.remove_prefix(nul + 1);
    }
    std::string pattern = fields[0].substr(0, kMaxPattern);
    std::string replacement = fields.size() > 1 ? fields[1].substr(0, kMaxReplacement) : "&";
    std::vector<std::string> names{pattern};
    for (std::size_t i = 2; i < fields.size() && names.size() <= kMaxNames; ++i)
        names.push_back(fields[i].substr(0, kMaxName));
    // The count of :(U;n) comes from the input too, so both directions and overshoots occur.
    const int caseCount = static_cast<int>(replacement.size() % 9) - 4;

    if (!pattern.empty()) {
        RegExp a(pattern, true), b(pattern, false);
        check(a.isValid() == b.isValid() && a.errorText() == b.errorText(),
              "case sensitivity changes whether a pattern compiles", hex(pattern));
        CVNFileNameMatcher m;
        if (!m.compile(pattern, false, replacement)) {
            check(!m.errorMessage().empty() &&
                      m.errorMessage().find(b.errorText()) != std::string::npos,
                  "the matcher's message does not hold the engine's error", hex(pattern));
        }
    } else {
        RegExp e(pattern, true);
        check(!e.isValid() && e.hasError(), "an empty pattern compiled");
    }

    for (bool cs : {true, false})
        checkMatches(pattern, cs, names, replacement, caseCount);
    checkLiteral(pattern, names);
    for (std::size_t i = 1; i < names.size(); ++i)
        checkLiteral(names[i], {names[i], pattern});
    checkWildcard(pattern, names, replacement);
    return 0;
}
