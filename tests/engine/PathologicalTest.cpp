// No name can make the matcher take exponential time: failed (node, position) pairs are never
// explored twice. Work is counted in node visits, which is deterministic.
#include <gtest/gtest.h>

#include <string>

#include "engine/RegExp.h"

// The bound the matcher promises: program nodes times positions, times the repeat count of a
// single-character repetition (at most the subject length).
TEST(Pathological, WorkStaysPolynomialOnAdversarialNames) {
    const struct {
        const char* pattern;
        std::string subject;
        bool matches;
    } cases[] = {
        {"^(a|aa)*$", std::string(254, 'a') + "!", false},
        {"(a|a)*b", std::string(253, 'a') + "!b", true},
        {"^(a|b|ab)*c$", std::string(120, 'a') + std::string(120, 'b'), false},
        {"^((a|b)+)+c", std::string(200, 'a'), false},
        {"^(.*)(.*)(.*)(.*)(.*)x$", std::string(250, 'a'), false},
        {"(x+x+)+y", std::string(250, 'x'), false},
        {"^(a|aa)*$", std::string(254, 'a'), true},
        {"^([a-z]+[0-9]*)+\\.txt$", std::string(240, 'a') + ".tx", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegExp re(c.pattern, false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        const std::uint64_t nodes = re.program()->programSize / 3 + 1;
        EXPECT_EQ(re.exec(c.subject), c.matches);
        EXPECT_LE(regexecVisits(), nodes * (c.subject.size() + 1) * (c.subject.size() + 2));
    }
}

// Remembering failures must not change which match or which groups are found.
TEST(Pathological, MemoisedResultsEqualPlainBacktracking) {
    const struct {
        const char* pattern;
        const char* subject;
        int group;
        int start;
        int length;
    } cases[] = {
        {"^(a|aa)*$", "aaaa", 1, 3, 1},         // first alternative wins every iteration
        {"(a|a)*b", "xaab", 0, 1, 3},           // leftmost start after failures at 0
        {"^(.*)(.*)x(.*)$", "axbxc", 1, 0, 3},  // greedy first group keeps the most
        {"^(.*)(.*)x(.*)$", "axbxc", 3, 4, 1},
        {"((a)|b)*", "ab", 2, 0, 1},            // the group of an earlier iteration stays
        {"(a(b)?)+", "aba", 2, 1, 1},
        {"(a(b)?)+", "aba", 1, 2, 1},
        {"^(.*)X$", "abcx", 1, 0, 3},           // the next literal found byte by byte, any case
        {"^(.*)k$", "ab\xE2\x84\xAA", 1, 0, 2}, // ... but k also has a non-ASCII form
        {"^(x*)(x*)y", "xxxy", 2, 3, 0},        // a run entered again from further left
        {"(.*a){3}y", "aaaay", 1, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.subject);
        RegExp re(c.pattern, false);
        ASSERT_TRUE(re.exec(c.subject));
        EXPECT_EQ(re.groupStart(c.group), c.start);
        EXPECT_EQ(re.groupLength(c.group), c.length);
    }
}

// A subject far longer than any file name fails cleanly instead of exhausting the stack.
TEST(Pathological, HugeSubjectDoesNotCrash) {
    const std::string subject(300000, 'a');
    RegExp re("^(a|b)*$", false);
    EXPECT_TRUE(re.exec(subject) || re.hasError());
    // Single-character repeats need no recursion per character.
    EXPECT_TRUE(RegExp("^a*$", false).exec(subject));
}
