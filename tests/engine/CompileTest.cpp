// Compiling patterns: which are refused with which error, how groups are numbered, and the
// program layout and start hints the matcher relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

struct ErrorCase {
    std::string pattern;
    int code;
};

std::string groupOf(const std::string& literal, int count) {
    return "(" + literal + "){" + std::to_string(count) + "}";
}

} // namespace

TEST(Compile, RefusedPatternsGiveTheirErrorCode) {
    const ErrorCase cases[] = {
        {"", 10},
        // A tenth group number, counted within one alternative.
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 12},
        {"((((((((((a))))))))))", 12},
        {"x|(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 12},
        {"(a", 13},
        {"((a)", 13},
        {"(a|b", 13},
        {")", 14},
        {"a)", 14},
        {"(a))", 14},
        {"a|b)c", 14},
        // Repeating something that may match nothing.
        {"(a*)*", 16},
        {"(a*){2}", 16},
        {"(a*)+", 16},
        {"(a?)*", 16},
        {"(a|)*", 16},
        {"()+", 16},
        {"^*", 16},
        {"$+", 16},
        {"\\<*", 16},
        {"^{2}", 16},
        {"(a{2})*", 16}, // a brace repetition does not count as non-empty
        {"a**", 17},
        {"a*?", 17},
        {"a{2}*", 17},
        {"a+{2}", 17},
        {"a?+", 17},
        {"a{2}{3}", 17},
        {"(ab)*+", 17},
        {"[z-a]", 18},
        {"[9-0]", 18},
        {"[ü-ä]", 18}, // code points FC above E4
        {"[a", 19},
        {"[", 19},
        {"[^", 19},
        {"[]", 19}, // the leading ] is a member, so the set stays open
        {"[^]", 19},
        {"[a-", 19},
        {"*a", 21},
        {"a|*b", 21},
        {"+", 21},
        {"?", 21},
        {"{2}", 21},
        {"(*a)", 21},
        {"a|{1}", 21},
        {"a\\", 22},
        {"\\", 22},
        {"(a\\", 22},
        {"a{256}", 24},
        {"a{1000}", 24},
        {"a{99999999999}", 24},
        {"a{2,256}", 24},
        {"a{300,}", 24},
        {"a{2", 26},
        {"a{2,", 26},
        {"a{2,3", 26},
        {"a{2x", 26},
        {"a{2x}", 27},
        {"a{2,x}", 27},
        {"a{2,3x}", 27},
        {"a{1 }", 27},
        {"a{2,1}", 28},
        {"a{255,0}", 28},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("pattern \"" + c.pattern + "\", expected error " + std::to_string(c.code));
        for (bool caseSensitive : {true, false}) {
            RegExp re(c.pattern, caseSensitive);
            EXPECT_FALSE(re.isValid());
            EXPECT_FALSE(re.isAnchored());
            EXPECT_TRUE(re.hasError());
            EXPECT_EQ(re.errorText(), regErrorText(c.code));
        }
    }
}

TEST(Compile, NullPatternIsError10) {
    RegExp re(static_cast<const char*>(nullptr), true);
    EXPECT_FALSE(re.isValid());
    EXPECT_EQ(re.errorText(), regErrorText(10));
}

TEST(Compile, ErrorTextsAreGerman) {
    // The texts the user is most likely to meet, checked literally.
    EXPECT_EQ(RegExp("", false).errorText(),
              "Regulärer Ausdruck: Aufruf von 'regcomp' mit NULL Argument.");
    EXPECT_EQ(RegExp("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", false).errorText(),
              "Regulärer Ausdruck: zu viele (), max. 9 sind möglich.");
    EXPECT_EQ(RegExp("(a*)*", false).errorText(),
              "Regulärer Ausdruck: *+ Operatoren könnten leer sein.");
    EXPECT_EQ(RegExp("a\\", false).errorText(),
              "Regulärer Ausdruck: nachfolgendes Fluchtzeichen \\.");
    EXPECT_EQ(RegExp("[a", false).errorText(), "Regulärer Ausdruck: fehlende ].");
    EXPECT_EQ(RegExp("a{2,1}", false).errorText(),
              "Regulärer Ausdruck: Wiederholungsangabe {n,m} mit n > m.");
    // Codes outside 1-29 share the "unknown" text.
    EXPECT_EQ(regErrorText(0), "Regulärer Ausdruck: unbekannter Fehler.");
    EXPECT_EQ(regErrorText(30), regErrorText(0));
    EXPECT_EQ(regErrorText(-1), regErrorText(0));
}

TEST(Compile, AcceptedPatterns) {
    // clang-format off
    const char* const patterns[] = {
        "()", "a|", "|", "(a*)?", "a{0}", "(a){0}", "a{255}", "a{0,255}", "a{1,}", "(a|b){2,3}",
        "(a)(b)(c)(d)(e)(f)(g)(h)(i)",
        "(a)(b)(c)(d)(e)(f)(g)(h)(i)|(j)", // numbering starts again after |
        "((a)(b)(c)(d)(e)(f)(g)(h)|(i))",
        "\\<", "\\>", "\\<a\\>",
        "a{}", "a{x}", "a{,2}", "{", "a{", "x{}y", // { without a digit is text
        "]", "}", "a]b", "a}",
        "[]a]", "[-a]", "[a-]", "[^]a]", "[a-a]",
        "[a-ä]", "[ä-ü]", // ranges compare code points
        "^?", "a\\*+", "a\\.b", "\\\\",
    };
    // clang-format on
    for (const char* p : patterns) {
        SCOPED_TRACE(p);
        RegExp re(p, false);
        EXPECT_TRUE(re.isValid()) << re.errorText();
        EXPECT_FALSE(re.hasError());
        ASSERT_NE(re.program(), nullptr);
    }
}

// A group's number is fixed at compile time; matching shows which group a subpattern got.
TEST(Compile, GroupNumbersRestartInEachAlternative) {
    struct Case {
        const char* pattern;
        const char* subject;
        int highest;
        std::vector<std::pair<int, int>> groups; // {start, length} of groups 1..; {-1,0} unset
    } cases[] = {
        {"(a)|(b)", "b", 1, {{0, 1}}},
        {"(a)|(b)", "a", 1, {{0, 1}}},
        {"(x)(a)|(b)", "b", 1, {{0, 1}, {-1, 0}}},
        // (c) is group 2 like (a), (d) is group 3 like (b).
        {"((a)(b)|(c))(d)", "cd", 3, {{0, 1}, {0, 1}, {1, 1}}},
        {"(a){0}(b)", "b", 2, {{-1, 0}, {0, 1}}},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)",
         "abcdefghi",
         9,
         {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}}},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)|(j)", "j", 1, {{0, 1}}},
        {"((a)(b)(c)(d)(e)(f)(g)(h)|(i))", "i", 2, {{0, 1}, {0, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.subject);
        RegExp re(c.pattern, true);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        ASSERT_TRUE(re.exec(c.subject));
        EXPECT_EQ(re.highestGroup(), c.highest);
        for (int i = 1; i < kRegGroups; ++i) {
            SCOPED_TRACE("group " + std::to_string(i));
            std::pair<int, int> want{-1, 0};
            if (i <= static_cast<int>(c.groups.size())) want = c.groups[i - 1];
            if (want.first >= 0) {
                EXPECT_EQ(re.groupStart(i), want.first);
            }
            EXPECT_EQ(re.groupLength(i), want.second);
        }
    }
}

// Small ASCII programs whose layout follows directly from the node format: opcode, 16-bit
// little-endian distance to the next node, operand.
TEST(Compile, ProgramLayout) {
    struct Case {
        const char* pattern;
        std::vector<std::uint8_t> program;
    };
    // clang-format off
    const Case cases[] = {
        {"abc", {156, BRANCH, 10, 0, EXACTLY, 7, 0, 'a', 'b', 'c', 0, END, 0, 0}},
        // The run stops before b, which becomes the single-character operand of STAR.
        {"ab*", {156, BRANCH, 16, 0, EXACTLY, 5, 0, 'a', 0, STAR, 8, 0, EXACTLY, 0, 0, 'b', 0,
                 END, 0, 0}},
        {"a|b", {156, BRANCH, 8, 0, EXACTLY, 13, 0, 'a', 0, BRANCH, 8, 0, EXACTLY, 5, 0, 'b', 0,
                 END, 0, 0}},
        {"(a)", {156, BRANCH, 17, 0, OPEN + 1, 3, 0, BRANCH, 8, 0, EXACTLY, 5, 0, 'a', 0,
                 CLOSE + 1, 3, 0, END, 0, 0}},
        {"\\<", {156, BRANCH, 6, 0, WORDSTART, 3, 0, END, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegExp re(c.pattern, true);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.program()->program, c.program);
        EXPECT_EQ(re.program()->programSize, c.program.size());
    }
}

TEST(Compile, ProgramStartsWithMagicAndHasItsCountedSize) {
    for (const char* p : {"a", "(a|b)*c", "[^x-z]+\\>", "x{3,7}", "(ab){0}c", "^$", "a{2}|b"}) {
        SCOPED_TRACE(p);
        RegExp re(p, false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        const RegProgram* prog = re.program();
        ASSERT_FALSE(prog->program.empty());
        EXPECT_EQ(prog->program[0], 156);
        EXPECT_EQ(prog->program[1], BRANCH);
        EXPECT_EQ(prog->programSize, prog->program.size());
    }
}

TEST(Compile, StartHints) {
    struct Case {
        const char* pattern;
        char32_t startChar;
        bool anchored;
        const char* mustHave; // nullptr: none
    } cases[] = {
        {"abc", U'a', false, nullptr},
        {"äbc", U'ä', false, nullptr},
        {"^abc", 0, true, nullptr},
        {"^a|^b", 0, true, nullptr},
        {"^a|b", 0, false, nullptr},
        {"a|^b", 0, false, nullptr},
        {"a*bc", 0, false, "bc"},
        {"x*hello", 0, false, "hello"},
        {"x*ab.cd", 0, false, "cd"}, // equal lengths: the later literal
        {"x*abc.*defg(hi)", 0, false, "defg"},
        {"x*hello|y", 0, false, nullptr}, // several alternatives give no literal
        {"hello", U'h', false, nullptr},  // no leading repetition, no literal
        {"a?hello", 0, false, nullptr},
        {".", 0, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegExp re(c.pattern, false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        const RegProgram* prog = re.program();
        EXPECT_EQ(prog->startChar, c.startChar);
        EXPECT_EQ(prog->anchored, c.anchored);
        EXPECT_EQ(re.isAnchored(), c.anchored);
        if (c.mustHave == nullptr) {
            EXPECT_LT(prog->mustHave, 0);
        } else {
            ASSERT_GE(prog->mustHave, 0);
            ASSERT_LE(prog->mustHave + prog->mustLength, prog->program.size());
            EXPECT_EQ(prog->mustLength, std::strlen(c.mustHave));
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&prog->program[prog->mustHave]),
                                  prog->mustLength),
                      c.mustHave);
        }
    }
}

// A group around a literal of length L is OPEN, BRANCH, EXACTLY (3 + L + 1), CLOSE: L + 13
// bytes. n copies plus the magic byte, the top BRANCH and END make 7 + n * (L + 13).
TEST(Compile, ProgramSizeLimit) {
    {
        RegExp re(groupOf(std::string(786, 'x'), 41), false); // 7 + 41 * 799 = 32766
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.program()->programSize, 32766u);
        EXPECT_TRUE(re.exec(std::string(786 * 41, 'X')));
    }
    const ErrorCase tooBig[] = {
        {groupOf(std::string(117, 'x'), 252), 11}, // 7 + 252 * 130 = 32767
        {groupOf(std::string(200, 'x'), 255), 11},
        {groupOf("x" + groupOf("abcdefghij", 255), 255), 11},
    };
    for (const auto& c : tooBig) {
        SCOPED_TRACE(c.pattern.substr(0, 40));
        RegExp re(c.pattern, false);
        EXPECT_FALSE(re.isValid());
        EXPECT_EQ(re.errorText(), regErrorText(c.code));
    }
    EXPECT_EQ(RegExp(groupOf(std::string(117, 'x'), 251), false).program()->programSize, 32637u);
}
