// The shape of compiled programs where repetition rewrites the code: {0} removal and byte
// copies of bounded repeats must leave a well-linked program that matches what it says.
#include <gtest/gtest.h>

#include <string>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

struct Case {
    const char* pattern;
    const char* subject;
    bool matches;
    int start;
    int length;
};

} // namespace

TEST(Program, RepeatsRewrittenByCopyOrRemovalStillMatch) {
    const Case cases[] = {
        // {0} removes its atom; what follows takes its place.
        {"x(a){0}y", "xy", true, 0, 2},
        {"x(a){0}y", "xay", false, 0, 0},
        {"x(a){0}", "x", true, 0, 1},
        {"(a){0}|b", "b", true, 0, 0}, // the empty first alternative matches at once
        {"^(a){0}$", "", true, 0, 0},
        {"^(a){0}$", "a", false, 0, 0},
        {"^(a{0})b$", "b", true, 0, 1},
        // Copies of a bounded repeat followed by another alternative or piece.
        {"a{2}|b", "aa", true, 0, 2},
        {"a{2}|b", "xb", true, 1, 1},
        {"a{1}|b", "a", true, 0, 1},
        {"^a{2,3}$|^b$", "aaa", true, 0, 3},
        {"^a{2,3}$|^b$", "aaaa", false, 0, 0},
        {"^(ab){2}c$", "ababc", true, 0, 5},
        {"^(ab){1,2}c$", "abc", true, 0, 3},
        {"^(ab){0,2}$", "ababab", false, 0, 0},
        {"^x{3,}$", "xx", false, 0, 0},
        {"^x{3,}$", "xxxxxx", true, 0, 6},
        {"^(a|bc){2}d", "bcad", true, 0, 4},
        {"^[0-9]{4}-[0-9]{2}", "2024-11-05 Bericht", true, 0, 7},
        {"^a{0,1}b{1,1}c{0,}$", "bccc", true, 0, 4},
        {"(x{2}y){2}", "axxyxxy", true, 1, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on \"" + c.subject + "\"");
        RegExp re(c.pattern, false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.program()->programSize, re.program()->program.size());
        ASSERT_EQ(re.exec(c.subject), c.matches);
        if (!c.matches) continue;
        EXPECT_EQ(re.groupStart(0), c.start);
        EXPECT_EQ(re.groupLength(0), c.length);
    }
}

// A part that is built and then removed by {0} still has to fit while it is built.
TEST(Program, SizeLimitCountsPartsThatAreRemovedAgain) {
    RegExp small("((abcdefgh){2}x){0}y", false);
    ASSERT_TRUE(small.isValid()) << small.errorText();
    EXPECT_TRUE(small.exec("y"));
    RegExp removed("((abcdefgh{255}x){255}y){0}z", false);
    EXPECT_EQ(removed.errorText(), regErrorText(REG_ERR_TOO_BIG));
    // Nested counts multiply far beyond 32 bits; they must still end in a clean error.
    RegExp deep("((((a{255}b){255}c){255}d){255}e){255}", false);
    EXPECT_EQ(deep.errorText(), regErrorText(REG_ERR_TOO_BIG));
}

// An escaped character right before an operator is the atom the operator repeats.
TEST(Program, EscapedCharacterBeforeOperatorIsTheRepeatedAtom) {
    RegExp re("^a\\*+$", true);
    ASSERT_TRUE(re.isValid()) << re.errorText();
    EXPECT_TRUE(re.exec("a***"));
    EXPECT_FALSE(re.exec("a"));
    RegExp dots("^x\\.{2}y$", true);
    ASSERT_TRUE(dots.isValid()) << dots.errorText();
    EXPECT_TRUE(dots.exec("x..y"));
    EXPECT_FALSE(dots.exec("x.y"));
}
