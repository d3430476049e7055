// Matching: the leftmost match found by greedy backtracking, where the first alternative that
// leads to an overall match wins, and the group offsets it leaves behind. Names are UTF-8
// bytes: offsets count bytes, and a byte that is no part of a valid character stands alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

constexpr bool CS = true;  // case-sensitive
constexpr bool CI = false; // case-insensitive

struct Span {
    int start; // -1: the group took no part
    int length;
};
constexpr Span unset{-1, 0};

struct MatchCase {
    const char* pattern;
    bool caseSensitive;
    std::string subject;
    bool matches;
    std::vector<Span> groups; // group 0, 1, ...; groups past the end took no part
};

void checkAll(const std::vector<MatchCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on \"" + c.subject + "\"" +
                     (c.caseSensitive ? "" : " ignoring case"));
        RegExp re(c.pattern, c.caseSensitive);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        ASSERT_EQ(re.exec(c.subject), c.matches);
        EXPECT_FALSE(re.hasError()) << re.errorText();
        int highest = -1;
        for (int i = 0; c.matches && i < kRegGroups; ++i) {
            const Span want = i < static_cast<int>(c.groups.size()) ? c.groups[i] : unset;
            if (want.start >= 0) {
                highest = i;
                EXPECT_EQ(re.groupStart(i), want.start) << "group " << i;
            }
            EXPECT_EQ(re.groupLength(i), want.length) << "group " << i;
        }
        EXPECT_EQ(re.highestGroup(), highest);
    }
}

} // namespace

TEST(Match, LeftmostGreedyBacktracking) {
    checkAll({
        {"a*ab", CS, "aaab", true, {{0, 4}}}, // a* gives back one a
        {"(a+)(a+)", CS, "aaaa", true, {{0, 4}, {0, 3}, {3, 1}}},
        {"(.*)\\.(.*)", CS, "a.b.c", true, {{0, 5}, {0, 3}, {4, 1}}},
        {"(.*)(.*)", CS, "ab", true, {{0, 2}, {0, 2}, {2, 0}}},
        // The first alternative that leads to an overall match wins, not the longest.
        {"(a|ab)c", CS, "abc", true, {{0, 3}, {0, 2}}},
        {"(a|ab)(c|bcd)(d*)", CS, "abcd", true, {{0, 4}, {0, 1}, {1, 3}, {4, 0}}},
        {"a|ab|abc", CS, "abc", true, {{0, 1}}},
        // A group inside a repetition reports its last iteration.
        {"(a|b)*", CS, "ab", true, {{0, 2}, {1, 1}}},
        {"x(a|b)*y", CS, "xy", true, {{0, 2}}},
        {"(a*)?", CS, "aa", true, {{0, 2}, {0, 2}}},
        {"abc*d", CS, "abcabd", true, {{3, 3}}}, // only c is repeated
        {"a.c", CS, "ac", false, {}},
    });
}

TEST(Match, EmptyMatchesAndAnchors) {
    checkAll({
        {"a*", CS, "bbb", true, {{0, 0}}},
        {"x", CS, "", false, {}},
        {"$", CS, "", true, {{0, 0}}},
        {"$", CS, "abc", true, {{3, 0}}},
        {"^$", CS, "", true, {{0, 0}}},
        {"^$", CS, "a", false, {}},
        {"a|", CS, "b", true, {{0, 0}}},
        {"()", CS, "x", true, {{0, 0}, {0, 0}}},
        {"x$", CS, "xax", true, {{2, 1}}},
        {"a$|b", CS, "ab", true, {{1, 1}}},
        {"b|^a", CS, "ab", true, {{0, 1}}},
        {"a|^b", CS, "xb", false, {}},
        {"a$b", CS, "ab", false, {}},
        // Start positions skipped by the first character or a required literal.
        {"^abc|^xyz", CS, "xyzabc", true, {{0, 3}}},
        {"^abc|^xyz", CS, "axyz", false, {}},
        {"^a|b", CS, "xb", true, {{1, 1}}},
        {"abc", CS, "ababc", true, {{2, 3}}},
        {"abc", CI, "xAbAbC", true, {{3, 3}}},
        {"x*hello", CS, "xxhello", true, {{0, 7}}},
        {"x*hello", CS, "xhelo", false, {}},
        {"x*abc", CI, "zzABC", true, {{2, 3}}},
    });
}

// Group numbers restart in each alternative, so groups of different alternatives share one.
TEST(Match, GroupsSharingANumber) {
    checkAll({
        {"((a)(b)|(c))(d)", CS, "cd", true, {{0, 2}, {0, 1}, {0, 1}, {1, 1}}},
        // (b) and (d) are both group 3; the later one sets it first and keeps it.
        {"((a)(b)|(c))(d)", CS, "abd", true, {{0, 3}, {0, 2}, {0, 1}, {2, 1}}},
        {"(a){0}(b)", CS, "b", true, {{0, 1}, unset, {0, 1}}},
        {"(x)?(b)", CS, "b", true, {{0, 1}, unset, {0, 1}}},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)", CS, "abcdefghi", true,
         {{0, 9}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}}},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)|(j)", CS, "j", true, {{0, 1}, {0, 1}}},
        {"((a)(b)(c)(d)(e)(f)(g)(h)|(i))", CS, "i", true, {{0, 1}, {0, 1}, {0, 1}}},
    });
}

TEST(Match, BoundedRepetition) {
    checkAll({
        {"a{2}", CS, "abaa", true, {{2, 2}}},
        {"a{2,}", CS, "aaaa", true, {{0, 4}}},
        {"a{2,3}", CS, "aaaa", true, {{0, 3}}},
        {"ba{2,3}c", CS, "baaaac baaac", true, {{7, 5}}},
        {"ba{0,2}c", CS, "bc", true, {{0, 2}}},
        {"ba{0,2}c", CS, "baaac", false, {}},
        {"a{0}", CS, "xyz", true, {{0, 0}}},
        {"x{0,}y", CS, "xxy", true, {{0, 3}}},
        {"^a{0,1}b{1,1}c{0,}$", CS, "bccc", true, {{0, 4}}},
        {"a{255}", CS, std::string(255, 'a'), true, {{0, 255}}},
        {"^a{255}$", CS, std::string(254, 'a'), false, {}},
        // {0} removes its atom and group; what follows takes its place.
        {"x(a){0}y", CS, "xay", false, {}},
        {"x(a){0}y", CS, "xy", true, {{0, 2}}},
        {"^(a{0})b$", CS, "b", true, {{0, 1}, {0, 0}}},
        // Inside and around groups; the group reports the last copy.
        {"(ab){2}", CS, "xababab", true, {{1, 4}, {3, 2}}},
        {"x(ab){0,2}y", CS, "xabababy", false, {}},
        {"(a|b){3}", CS, "abba", true, {{0, 3}, {2, 1}}},
        {"abc{2}", CS, "abcabcc", true, {{3, 4}}}, // only c is counted
        {"(a|bc){2,3}$", CS, "abcbc", true, {{0, 5}, {3, 2}}},
        {"((ab){2}c){2}", CS, "ababcababc", true, {{0, 10}, {5, 5}, {7, 2}}},
        // Followed by another alternative.
        {"a{2}|b", CS, "ab", true, {{1, 1}}},
        {"a{2,3}|b", CS, "aaa", true, {{0, 3}}},
        {"a{0}|b", CS, "b", true, {{0, 0}}}, // a{0} is the empty first alternative
        {"(a){0}|b", CS, "b", true, {{0, 0}}},
        {"^a{2,3}$|^b$", CS, "aaaa", false, {}},
        {"b|a{2}", CS, "aa", true, {{0, 2}}},
        {"(a{2}|b)c", CS, "aac", true, {{0, 3}, {0, 2}}},
        {"(a{1,2}|b)c", CS, "bc", true, {{0, 2}, {0, 1}}},
    });
}

// Escaped operators, and braces or brackets that start nothing, are text.
TEST(Match, EscapesAndTextualBraces) {
    checkAll({
        {"a\\*+", CS, "a**", true, {{0, 3}}}, // the escaped * is the atom + repeats
        {"ab\\*+", CS, "xab***", true, {{1, 5}}},
        {"a\\.b", CS, "axb a.b", true, {{4, 3}}},
        {"ab\\.{2}", CS, "ab..x", true, {{0, 4}}},
        {"a\\{2}", CS, "aa a{2}", true, {{3, 4}}},
        {"a\\\\+", CS, "a\\\\", true, {{0, 3}}},
        {"a\\(b\\)", CS, "a(b)", true, {{0, 4}}},
        {"a\\|b", CS, "b a|b", true, {{2, 3}}},
        {"a{}", CS, "a{}", true, {{0, 3}}},
        {"a{,2}", CS, "aa a{,2}", true, {{3, 5}}},
        {"{", CS, "x{", true, {{1, 1}}},
    });
}

TEST(Match, Sets) {
    checkAll({
        {"[abc]+", CS, "xcabx", true, {{1, 3}}},
        {"[^a-c]+", CS, "abxyc", true, {{2, 2}}},
        {"[]a]+", CS, "xa]a", true, {{1, 3}}},
        {"[^]]", CS, "]x", true, {{1, 1}}},
        {"[-a]", CS, "x-", true, {{1, 1}}},
        {"[a-]", CS, "x-", true, {{1, 1}}},
        {"[a-]", CS, "b", false, {}},
        {"[0-9a-f]+", CS, "xx0fa9g", true, {{2, 4}}},
        {"[^a]", CS, "", false, {}},
        {"[.]", CS, "a.", true, {{1, 1}}},
        {"[\\]]", CS, "a\\]", true, {{1, 2}}}, // no escapes inside a set
        {"[^-a]", CS, "-ab", true, {{2, 1}}},
        {"[]-a]", CS, "^", true, {{0, 1}}}, // the range ] to a
        {"[]-a]", CS, "b", false, {}},
        // Ignoring case: members and single-character repeats fold.
        {"[a-z]*X", CI, "abcx", true, {{0, 4}}},
        {"[^a]", CI, "A", false, {}},
        {"[Ä]", CI, "ä", true, {{0, 2}}},
        {"[Ä]", CS, "ä", false, {}},
        {"[^Ä]", CI, "ä", false, {}},
        {"[^a]", CI, "aä", true, {{1, 2}}},
        // Ranges compare code points: ä (E4) lies in a-ä, ö (F6) does not, Ö (D6) does.
        {"[a-ä]+", CI, "bäÄ", true, {{0, 5}}},
        {"[a-ä]", CS, "ö", false, {}},
        {"[a-ä]", CI, "ö", true, {{0, 2}}},
        {"[a-ä]", CI, "ő", false, {}}, // neither ő nor Ő does
        {"[а-я]+", CI, "ДОМ", true, {{0, 6}}}, // Cyrillic range, either case
        {"[äöü]+", CS, "xÄä", true, {{3, 2}}},
        // A run entered again from further left must not take characters outside the set.
        {"^(...|.)[ab]*c", CS, "1xcZ", false, {}},
        {"^(...|.)[^x]*c", CS, "1xcZ", false, {}},
    });
}

TEST(Match, CaseFoldingAppliesToLiteralsAndRepeats) {
    checkAll({
        {"ABC", CS, "xabc", false, {}},
        {"x+", CI, "aXxX", true, {{1, 3}}},
        {"x*hello", CS, "say HELLO", false, {}},
        {"Ä", CI, "ä", true, {{0, 2}}},
        {"Ä", CS, "ä", false, {}},
        {"grÜsse", CI, "GRüSSE", true, {{0, 7}}},
        {"grÜsse", CS, "GRÜSSE", false, {}}, // the ASCII letters of a mixed literal keep case
        {"ä*Ö", CI, "ÄÄö", true, {{0, 6}}},
        {"straße", CI, "STRAßE", true, {{0, 7}}},
        {"straße", CI, "STRASSE", false, {}}, // simple folding: ß is not ss
        {"k+", CI, "kK\xE2\x84\xAA", true, {{0, 5}}}, // k, K and the Kelvin sign
        {"\xE2\x84\xAA" "elvin", CI, "kelvin", true, {{0, 6}}},
        {"ölfeld", CI, "Das Ölfeld", true, {{4, 7}}}, // found through the first-character hint
        {"x*ÖL", CI, "das öl", true, {{4, 3}}},       // and through the required literal
        {"[Σ]", CI, "ς", true, {{0, 2}}},
        {"^[k-m]$", CI, "\xE2\x84\xAA", true, {{0, 3}}},
        // Start positions are skipped by first character; the non-ASCII forms still count.
        {"(K|z)elvin", CI, "x\xE2\x84\xAA" "elvin", true, {{1, 8}, {1, 3}}},
        {"[s]t", CI, "ab\xC5\xBFt", true, {{2, 3}}}, // long s
        {"[0-9]+", CI, "Jahr ２０２４", false, {}},   // fullwidth digits are no [0-9]
        {"(ä|b)+", CI, "xxÄb", true, {{2, 3}, {4, 1}}},
    });
}

// One character is one UTF-8 sequence or one stray byte, which equals only itself.
TEST(Match, CharactersAndStrayBytes) {
    checkAll({
        {"^.$", CI, "ä", true, {{0, 2}}},
        {"^.$", CI, "😀", true, {{0, 4}}},
        {"^.$", CI, "\xE4", true, {{0, 1}}}, // Latin-1 ä: one stray byte
        {"^.$", CI, "\xC3\xA4x", false, {}},
        {"^.*ö", CI, "aöböc", true, {{0, 6}}}, // greedy gives back whole characters
        {"^(.*)(.)\\.(.)(.*)$", CI, "Größe€.😀x", true, {{0, 16}, {0, 7}, {7, 3}, {11, 4}, {15, 1}}},
        {"\xE4", CI, "x\xE4", true, {{1, 1}}},
        {"\xE4", CI, "ä", false, {}},    // not the code point U+00E4
        {"\xE4", CI, "\xC4", false, {}}, // stray bytes have no case
        {"[\xE4]", CI, "ä\xE4", true, {{2, 1}}},
        {"[\xFE\xFF]+", CI, "a\xFF\xFE", true, {{1, 2}}},
        // A range of stray bytes never reaches into the continuation bytes of a valid character.
        {"[\x80-\xBF]", CI, "ä€", false, {}},
        // A stray lead byte never matches the first byte of a valid character, and escaped
        // stray bytes never join into one.
        {"\xC3", CS, "\xC3\xA4", false, {}},
        {"\xC3", CS, "x\xC3", true, {{1, 1}}},
        {"\xC3\\\xA4", CS, "\xC3\xA4", false, {}},
    });
}

TEST(Match, WordAnchors) {
    checkAll({
        {"\\<foo", CS, "x foo", true, {{2, 3}}},
        {"\\<foo", CS, "xfoo", false, {}},
        {"\\<foo", CS, "_foo", false, {}},
        {"\\<foo", CS, "1foo", false, {}},
        {"\\<foo", CS, "-foo", true, {{1, 3}}},
        {"foo\\>", CS, "foo.txt", true, {{0, 3}}},
        {"foo\\>", CS, "foobar", false, {}},
        {"foo\\>", CS, "foo2 foo", true, {{5, 3}}},
        {"\\<", CS, "  ab", true, {{2, 0}}},
        {"\\<", CS, "  ", false, {}},
        {"\\>", CS, "ab", true, {{2, 0}}},
        {"\\>", CS, " a", true, {{0, 0}}}, // the character before is not examined
        {"\\<a\\>", CS, "ab a", true, {{3, 1}}},
        // Letters beyond ASCII are word characters, stray bytes are not.
        {"\\<ab", CS, "äab", false, {}},
        {"\\<über", CI, "x über", true, {{2, 5}}},
        {"\\<über", CI, "xüber", false, {}},
        {"\\<x", CI, "\xE4x", true, {{1, 1}}},
        {"\\<日本", CI, "日本語", true, {{0, 6}}},
    });
}

// Handles that cannot match or expand say why and never produce a name.
TEST(Match, HandlesThatCannotMatch) {
    RegExp none;
    std::string out = "unchanged";
    EXPECT_FALSE(none.exec("abc"));
    EXPECT_EQ(none.errorText(), regErrorText(23));
    EXPECT_FALSE(none.substitute("&", out));
    RegExp refused("a**", true);
    EXPECT_FALSE(refused.exec("aaa"));
    EXPECT_FALSE(refused.substitute("x", out));
    EXPECT_EQ(out, "unchanged");
    RegExp re("a", true);
    EXPECT_FALSE(re.exec(static_cast<const char*>(nullptr)));
    EXPECT_EQ(re.errorText(), regErrorText(1));
    EXPECT_TRUE(re.exec("a"));
    EXPECT_FALSE(re.hasError());
}

// A failed exec reports no groups, and the next match reports only its own.
TEST(Match, FailedExecForgetsTheLastMatch) {
    RegExp re("(a)(b)?", true);
    ASSERT_TRUE(re.exec("ab"));
    ASSERT_FALSE(re.exec("xyz"));
    EXPECT_EQ(re.highestGroup(), -1);
    ASSERT_TRUE(re.exec("xa"));
    EXPECT_EQ(re.highestGroup(), 1);
    EXPECT_EQ(re.groupLength(2), 0);
    // Refused before matching (the literal x is missing): the old groups are gone all the same.
    RegExp early("(a+)x", true);
    ASSERT_TRUE(early.exec("aax"));
    ASSERT_FALSE(early.exec("bbbbb"));
    std::string out;
    early.substitute("[\\1]", out);
    EXPECT_EQ(out, "[]");
}

// Copies share the program but each keeps its own match.
TEST(Match, CopiedHandlesMatchIndependently) {
    RegExp a("(a+)", true);
    ASSERT_TRUE(a.exec("xaa"));
    RegExp b = a;
    ASSERT_TRUE(b.exec("aaaa"));
    EXPECT_EQ(a.groupStart(1), 1);
    EXPECT_EQ(a.groupLength(1), 2);
    ASSERT_FALSE(a.exec("bbb"));
    std::string out;
    ASSERT_TRUE(b.substitute("[\\1]", out));
    EXPECT_EQ(out, "[aaaa]");
    RegExp c;
    c = b;
    ASSERT_TRUE(c.exec("ba"));
    ASSERT_TRUE(b.substitute("\\1", out));
    EXPECT_EQ(out, "aaaa");
}
