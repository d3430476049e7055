// Replacement expansion: group references, escapes, case conversion and the counter that all
// expansions through one handle share.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

struct SubCase {
    const char* replacement;
    std::string expected;
};

// Matches pattern against subject (ignoring case, as renaming does) and expands each row with a
// freshly compiled pattern, so that counters start afresh.
void checkExpansions(const char* pattern, const char* subject, const std::vector<SubCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.replacement) + " for " + pattern + " on " + subject);
        RegExp re(pattern, false);
        ASSERT_TRUE(re.exec(subject)) << re.errorText();
        std::string out;
        ASSERT_TRUE(re.substitute(c.replacement, out)) << re.errorText();
        EXPECT_EQ(out, c.expected);
        EXPECT_FALSE(re.hasError());
    }
}

// Successive expansions of one replacement with one compiled pattern.
std::vector<std::string> expandTimes(RegExp& re, const char* replacement, int times) {
    std::vector<std::string> result;
    for (int i = 0; i < times; ++i) {
        std::string out;
        EXPECT_TRUE(re.substitute(replacement, out)) << replacement << ": " << re.errorText();
        result.push_back(out);
    }
    return result;
}

std::vector<std::string> counterRun(const char* replacement, int times) {
    RegExp re("x", false);
    EXPECT_TRUE(re.exec("x"));
    return expandTimes(re, replacement, times);
}

using Strings = std::vector<std::string>;

} // namespace

TEST(Substitute, GroupsAndEscapes) {
    checkExpansions("^(.*)\\.txt$", "Report.txt",
                    {
                        {"\\1_old.txt", "Report_old.txt"},
                        {"&", "Report.txt"},
                        {"\\0", "Report.txt"},
                        {"[\\1][&]", "[Report][Report.txt]"},
                        {"[\\2]", "[]"}, // no second group
                        {"[\\9]", "[]"},
                        {"\\\\1", "\\1"},
                        {"\\&", "&"},
                        {"\\:", ":"},
                        {"\\x", "\\x"},
                        {"a\\", "a\\"},
                        {"\\", "\\"},
                        {"\\\\", "\\"},
                        {"a:b", "a:b"},
                        {"a:", "a:"},
                        {"::", "::"},
                        {"\\:(1)", ":(1)"},
                        {"\\::(1)", ":1"},
                        {"\\:(U)x", ":(U)x"},
                        {"?*$^", "?*$^"},
                        {"", ""},
                    });
    // A group that took no part gives nothing, even when a higher group did.
    checkExpansions("(a)?(b)", "b", {{"[\\1|\\2]", "[|b]"}});
    checkExpansions("((a)(b)|(c))(d)", "xcd", {{"\\0-\\1-\\2-\\3-\\4", "cd-c-c-d-"}});
    checkExpansions("b+", "abbbc", {{"<&>", "<bbb>"}}); // only the matched part
}

TEST(Substitute, CaseConversion) {
    checkExpansions("^(.*)\\.txt$", "Report.txt",
                    {
                        {"&:(U)", "REPORT.TXT"},
                        {"&:(u)", "REPORT.TXT"},
                        {"&:(L)", "report.txt"},
                        {"&:(l)", "report.txt"},
                        {"\\1:(L;1).txt", "report.txt"},
                        {"\\1:(U;-2).txt", "RepoRT.txt"},
                        {"\\1:(U;2)", "REport"},
                        {"\\1:(U;+2)", "REport"},
                        {"\\1:(U;0)", "REPORT"},
                        {"\\1:(L;-0)", "report"},
                        {"\\1:(U;)", "REPORT"},   // no count: all of it
                        {"\\1:(U;99)", "REPORT"}, // counts beyond the text convert all of it
                        {"\\1:(U;-99)", "REPORT"},
                        {"\\1:(U)_\\1", "REPORT_Report"}, // only what was produced so far
                        {":(U)\\1", "Report"},
                        {"\\1:(U):(L;-3)", "REPort"},
                        {"ab:(U;1)cd:(U;-1)", "AbcD"},
                    });
}

TEST(Substitute, CounterSequences) {
    EXPECT_EQ(counterRun(":()", 3), (Strings{"0", "1", "2"}));
    EXPECT_EQ(counterRun(":(1)", 3), (Strings{"1", "2", "3"}));
    EXPECT_EQ(counterRun(":(1;0)", 3), (Strings{"1", "2", "3"}));
    EXPECT_EQ(counterRun(":(1;-1)", 3), (Strings{"1", "0", "-1"}));
    EXPECT_EQ(counterRun(":(5;)", 2), (Strings{"5", "6"}));
    EXPECT_EQ(counterRun(":(;2)", 3), (Strings{"0", "2", "4"}));
    EXPECT_EQ(counterRun(":(+3;+4)", 2), (Strings{"3", "7"}));
    EXPECT_EQ(counterRun(":(10;-5)", 5), (Strings{"10", "05", "00", "-05", "-10"}));
    EXPECT_EQ(counterRun(":(-5)", 7), (Strings{"-5", "-4", "-3", "-2", "-1", "0", "1"}));
    EXPECT_EQ(counterRun(":(-05)", 7), (Strings{"-05", "-04", "-03", "-02", "-01", "00", "01"}));
    EXPECT_EQ(counterRun(":(0;-1)", 3), (Strings{"0", "-1", "-2"}));
    EXPECT_EQ(counterRun(":(007;-3)", 4), (Strings{"007", "004", "001", "-002"}));
    EXPECT_EQ(counterRun("img_:(001).jpg", 2), (Strings{"img_001.jpg", "img_002.jpg"}));
    EXPECT_EQ(counterRun(":(1):(U)", 2), (Strings{"1", "2"}));
}

TEST(Substitute, CounterPaddingGrowsPastItsWidth) {
    const auto twoDigits = counterRun(":(01)", 100);
    EXPECT_EQ(twoDigits[0], "01");
    EXPECT_EQ(twoDigits[8], "09");
    EXPECT_EQ(twoDigits[9], "10");
    EXPECT_EQ(twoDigits[98], "99");
    EXPECT_EQ(twoDigits[99], "100");

    const auto threeDigits = counterRun(":(001)", 1001);
    for (int i = 0; i < 1001; ++i) {
        char want[16];
        std::snprintf(want, sizeof want, "%03d", i + 1);
        ASSERT_EQ(threeDigits[i], want) << "expansion " << i + 1;
    }
    EXPECT_EQ(threeDigits[999], "1000");
}

TEST(Substitute, OneCounterSharedByAllConstructs) {
    RegExp re("^(.*)$", false);
    ASSERT_TRUE(re.exec("a"));
    EXPECT_EQ(expandTimes(re, ":(1)_:(1)", 2), (Strings{"1_2", "3_4"}));

    RegExp steps("^(.*)$", false);
    ASSERT_TRUE(steps.exec("a"));
    // Each construct adds its own step to the shared value.
    EXPECT_EQ(expandTimes(steps, ":(1)_:(10;5)", 2), (Strings{"1_06", "7_12"}));

    // The counter goes on across other subjects and other replacements.
    RegExp files("^(.*)\\.jpg$", false);
    ASSERT_TRUE(files.exec("a.jpg"));
    EXPECT_EQ(expandTimes(files, "\\1_:(1)", 1), (Strings{"a_1"}));
    ASSERT_TRUE(files.exec("b.JPG"));
    EXPECT_EQ(expandTimes(files, ":(100)-\\1", 1), (Strings{"002-b"})); // its own width
}

TEST(Substitute, RecompilingRestartsTheCounter) {
    RegExp re("x", false);
    ASSERT_TRUE(re.exec("x"));
    EXPECT_EQ(expandTimes(re, ":(1)", 2), (Strings{"1", "2"}));
    re = RegExp("x", false);
    ASSERT_TRUE(re.exec("x"));
    EXPECT_EQ(expandTimes(re, ":(1)", 1), (Strings{"1"}));
}

TEST(Substitute, MalformedConstructsAreError14) {
    const char* const malformed[] = {
        ":(x)", ":(1x)", ":(U;2x)", ":(1;2", ":(1;2x)", ":(U",
        ":(U;", ":(Ux)", ":(",      ":(1",   "ok:(;x)", ":(L;)x:(",
    };
    for (const char* r : malformed) {
        SCOPED_TRACE(r);
        RegExp re("x", false);
        ASSERT_TRUE(re.exec("x"));
        std::string out;
        EXPECT_FALSE(re.substitute(r, out));
        EXPECT_EQ(re.errorText(), regErrorText(14));
        EXPECT_EQ(re.errorText(), "Regulärer Ausdruck: ungültige ().");
    }
}

TEST(Substitute, CounterRange) {
    struct Case {
        const char* replacement;
        bool ok;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {":(2147483639)", true, "2147483639"},
        {":(2147483647)", true, "2147483647"},
        {":(-2147483648)", true, "-2147483648"},
        {":(1;2147483647)", true, "1"},
        {":(2147483648)", false, nullptr},
        {":(9999999999)", false, nullptr},
        {":(1;2147483648)", false, nullptr},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replacement);
        RegExp re("x", false);
        ASSERT_TRUE(re.exec("x"));
        std::string out;
        ASSERT_EQ(re.substitute(c.replacement, out), c.ok);
        if (c.ok)
            EXPECT_EQ(out, c.expected);
        else
            EXPECT_EQ(re.errorText(), regErrorText(29));
    }
}

// A counter stepping out of the 32-bit range is refused rather than wrapped around.
TEST(Substitute, CounterStepsStayInRange) {
    {
        RegExp re("x", false);
        ASSERT_TRUE(re.exec("x"));
        EXPECT_EQ(expandTimes(re, ":(2147483639;8)", 2), (Strings{"2147483639", "2147483647"}));
        std::string out;
        EXPECT_FALSE(re.substitute(":(2147483639;8)", out));
        EXPECT_EQ(re.errorText(), regErrorText(29));
    }
    {
        RegExp re("x", false);
        ASSERT_TRUE(re.exec("x"));
        EXPECT_EQ(expandTimes(re, ":(-2147483639;-9)", 2), (Strings{"-2147483639", "-2147483648"}));
        std::string out;
        EXPECT_FALSE(re.substitute(":(-2147483639;-9)", out));
        EXPECT_EQ(re.errorText(), regErrorText(29));
    }
    {
        // Within one expansion: the second construct would leave the range.
        RegExp re("x", false);
        ASSERT_TRUE(re.exec("x"));
        std::string out;
        EXPECT_FALSE(re.substitute(":(2147483639):(1;9)", out));
        EXPECT_EQ(re.errorText(), regErrorText(29));
    }
}

// Malformed replacements are found before anything is written, so the counter stays put.
TEST(Substitute, FailedExpansionLeavesTheCounter) {
    RegExp re("x", false);
    ASSERT_TRUE(re.exec("x"));
    EXPECT_EQ(expandTimes(re, ":(5)", 1), (Strings{"5"}));
    std::string out;
    EXPECT_FALSE(re.substitute(":(1)_:(x)", out));
    EXPECT_FALSE(re.substitute(":(1)_:(9999999999)", out));
    EXPECT_EQ(expandTimes(re, ":(5)", 1), (Strings{"6"}));

    RegExp fresh("x", false);
    ASSERT_TRUE(fresh.exec("x"));
    EXPECT_FALSE(fresh.substitute(":(7):(U;x)", out));
    EXPECT_EQ(expandTimes(fresh, ":(3)", 1), (Strings{"3"}));
}

TEST(Substitute, GroupEndingInNulIsError9) {
    RegExp re("a(.)", true);
    ASSERT_TRUE(re.exec(std::string_view("ab\0", 3).substr(0, 2)));
    std::string out;
    ASSERT_TRUE(re.substitute("\\1", out));
    EXPECT_EQ(out, "b");

    ASSERT_TRUE(re.exec(std::string_view("xa\0", 3)));
    EXPECT_EQ(re.groupLength(1), 1);
    EXPECT_FALSE(re.substitute("[\\1]", out));
    EXPECT_EQ(re.errorText(), regErrorText(9));
    EXPECT_FALSE(re.substitute("&", out));
    EXPECT_EQ(re.errorText(), regErrorText(9));
    // A group that does not end in NUL is fine even though the whole match does.
    EXPECT_TRUE(re.substitute("x", out));
}
