// Compiling patterns: which are refused with which error code, and the program size limit.
#include <gtest/gtest.h>

#include <string>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

void expectRefused(const std::string& pattern, int code) {
    for (bool caseSensitive : {true, false}) {
        RegExp re(pattern, caseSensitive);
        EXPECT_FALSE(re.isValid()) << pattern;
        EXPECT_EQ(re.errorText(), regErrorText(code)) << pattern << ", expected error " << code;
    }
}

std::string groupOf(const std::string& literal, int count) {
    return "(" + literal + "){" + std::to_string(count) + "}";
}

} // namespace

TEST(Compile, RefusedPatternsGiveTheirErrorCode) {
    const struct {
        const char* pattern;
        int code;
    } cases[] = {
        {"", 10},
        // A tenth group number, counted within one alternative.
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 12}, {"((((((((((a))))))))))", 12},
        {"x|(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 12},
        {"(a", 13}, {"((a)", 13}, {"(a|b", 13},
        {")", 14}, {"a)", 14}, {"(a))", 14}, {"a|b)c", 14},
        // Repeating something that may match nothing; a brace repetition does not count as
        // non-empty.
        {"(a*)*", 16}, {"(a*){2}", 16}, {"(a?)*", 16}, {"(a|)*", 16}, {"()+", 16}, {"^*", 16},
        {"$+", 16}, {"\\<*", 16}, {"^{2}", 16}, {"(a{2})*", 16},
        {"a**", 17}, {"a*?", 17}, {"a{2}*", 17}, {"a+{2}", 17}, {"a{2}{3}", 17}, {"(ab)*+", 17},
        {"[z-a]", 18}, {"[ü-ä]", 18}, // code points FC above E4
        // The leading ] is a member, so the set stays open.
        {"[a", 19}, {"[", 19}, {"[^", 19}, {"[]", 19}, {"[^]", 19}, {"[a-", 19},
        {"*a", 21}, {"a|*b", 21}, {"+", 21}, {"?", 21}, {"{2}", 21}, {"(*a)", 21},
        {"a\\", 22}, {"\\", 22}, {"(a\\", 22},
        {"a{256}", 24}, {"a{99999999999}", 24}, {"a{2,256}", 24}, {"a{300,}", 24},
        {"a{2", 26}, {"a{2,", 26}, {"a{2,3", 26}, {"a{2x", 26},
        {"a{2x}", 27}, {"a{2,x}", 27}, {"a{2,3x}", 27}, {"a{1 }", 27},
        {"a{2,1}", 28}, {"a{255,0}", 28},
    };
    for (const auto& c : cases) expectRefused(c.pattern, c.code);
    RegExp null(static_cast<const char*>(nullptr), true);
    EXPECT_EQ(null.errorText(), regErrorText(10));
}

// Besides the patterns the match tests compile, which must all be accepted too.
TEST(Compile, AcceptedPatterns) {
    const char* const patterns[] = {
        "|", "a{0,255}", "a{1,}", "(a|b){2,3}", "a{", "x{}y", // { without a digit is text
        "]", "}", "[^]a]", "[a-a]", "[ä-ü]", "^?", "\\\\",
    };
    for (const char* p : patterns) {
        RegExp re(p, false);
        EXPECT_TRUE(re.isValid()) << p << ": " << re.errorText();
    }
}

// The largest program compiles and matches; one byte more is refused, also where the part is
// removed again by {0} or nested counts multiply far beyond 32 bits. A group around a literal
// of length L takes L + 13 bytes, and the program 7 more: 7 + 41 * 799 = 32766.
TEST(Compile, ProgramSizeLimit) {
    RegExp largest(groupOf(std::string(786, 'x'), 41), false);
    ASSERT_TRUE(largest.isValid()) << largest.errorText();
    EXPECT_TRUE(largest.exec(std::string(786 * 41, 'X')));
    expectRefused(groupOf(std::string(117, 'x'), 252), 11); // 7 + 252 * 130 = 32767
    expectRefused("((abcdefgh{255}x){255}y){0}z", 11);
    expectRefused("((((a{255}b){255}c){255}d){255}e){255}", 11);
    RegExp removed("((abcdefgh){2}x){0}y", false);
    EXPECT_TRUE(removed.exec("y"));
}
