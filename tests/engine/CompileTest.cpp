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
