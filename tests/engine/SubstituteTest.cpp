// Replacement expansion: group references, escapes, case conversion and the counter that all
// expansions through one handle share.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RegError.h"
#include "engine/RegExp.h"

namespace {

struct SubCase {
    const char* replacement;
    std::string expected; // "E" and the error code where the expansion is refused
};

std::string expand(RegExp& re, const char* replacement) {
    std::string out;
    if (re.substitute(replacement, out)) return out;
    for (int code = 1; code <= REG_ERR_UNKNOWN; ++code)
        if (re.errorText() == regErrorText(code)) return "E" + std::to_string(code);
    return "unknown error " + re.errorText();
}

// Matches pattern against subject ignoring case, as renaming does, and expands each row with a
// freshly compiled pattern, so that counters start afresh.
void checkExpansions(const char* pattern, const std::string& subject,
                     const std::vector<SubCase>& cases) {
    for (const auto& c : cases) {
        RegExp re(pattern, false);
        ASSERT_TRUE(re.exec(subject)) << pattern << " on " << subject;
        EXPECT_EQ(expand(re, c.replacement), c.expected) << c.replacement << " on " << subject;
    }
}

RegExp matched(const char* pattern, const char* subject) {
    RegExp re(pattern, false);
    EXPECT_TRUE(re.exec(subject)) << pattern << " on " << subject;
    return re;
}

} // namespace

TEST(Substitute, GroupsAndEscapes) {
    checkExpansions("^(.*)\\.txt$", "Report.txt",
                    {
                        {"\\1_old.txt", "Report_old.txt"},
                        {"[\\1][&][\\0]", "[Report][Report.txt][Report.txt]"},
                        {"[\\2][\\9]", "[][]"}, // no such groups
                        {"\\\\1", "\\1"},
                        {"\\&", "&"},
                        {"\\:", ":"},
                        {"\\x", "\\x"},
                        {"a\\", "a\\"},
                        {"a:", "a:"},
                        {"::", "::"},
                        {"\\:(1)", ":(1)"},
                        {"\\::(1)", ":1"},
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
    // Characters, not bytes, are counted and mapped; stray bytes pass through unchanged.
    checkExpansions("^.*$", "äpfel", {{"&:(U)", "ÄPFEL"}});
    checkExpansions("^.*$", "straße", {{"&:(U)", "STRAßE"}}); // no simple upper-case ß
    checkExpansions("^.*$", "äöü", {{"&:(U;2)", "ÄÖü"}});
    checkExpansions("^.*$", "ÄÖÜ", {{"&:(L;-1)", "ÄÖü"}});
    checkExpansions("^.*$", "ıx", {{"&:(U)", "IX"}});                  // two bytes become one
    checkExpansions("^.*$", "ɐɐ", {{"&:(U;1)", "\xE2\xB1\xAF" "ɐ"}}); // two become three
    checkExpansions("^.*$", "\xC4" "ÄRGER", {{"&:(L)", "\xC4" "ärger"}});
    checkExpansions("^.*$", "x\xE4ö", {{"&:(U;-2)", "x\xE4Ö"}, {"&:(U;-3)", "X\xE4Ö"}});
}

// Malformed constructs and numbers beyond 32 bits are refused, not half expanded.
TEST(Substitute, RefusedReplacements) {
    checkExpansions("x", "x",
                    {
                        {":(x)", "E14"},     {":(1x)", "E14"},  {":(U;2x)", "E14"},
                        {":(1;2", "E14"},    {":(1;2x)", "E14"}, {":(U", "E14"},
                        {":(U;", "E14"},     {":(Ux)", "E14"},  {":(", "E14"},
                        {":(1", "E14"},      {"ok:(;x)", "E14"}, {":(L;)x:(", "E14"},
                        {":(2147483647)", "2147483647"},
                        {":(-2147483648)", "-2147483648"},
                        {":(1;2147483647)", "1"},
                        {":(2147483648)", "E29"},
                        {":(9999999999)", "E29"},
                        {":(1;2147483648)", "E29"},
                        // Within one expansion: the second construct would leave the range.
                        {":(2147483639):(1;9)", "E29"},
                    });
}

// Each row expands its replacement once per value expected, through one handle.
TEST(Substitute, CounterSequences) {
    const SubCase cases[] = {
        {":()", "0 1 2"},
        {":(1)", "1 2 3"},
        {":(1;0)", "1 2 3"},
        {":(1;-1)", "1 0 -1"},
        {":(5;)", "5 6"},
        {":(;2)", "0 2 4"},
        {":(+3;+4)", "3 7"},
        {":(10;-5)", "10 05 00 -05 -10"},
        {":(-05)", "-05 -04 -03 -02 -01 00 01"},
        {":(007;-3)", "007 004 001 -002"},
        {":(98)", "98 99 100"}, // the padding is a minimum width
        {":(0098)", "0098 0099 0100"},
        {":(1):(U)", "1 2"},
        {":(1)_:(1)", "1_2 3_4"},       // one counter shared by all constructs,
        {":(1)_:(10;5)", "1_06 7_12"}, // each adding its own step
        // Stepping out of the 32-bit range is refused rather than wrapped around.
        {":(2147483639;8)", "2147483639 2147483647 E29"},
        {":(-2147483639;-9)", "-2147483639 -2147483648 E29"},
    };
    for (const auto& c : cases) {
        RegExp re = matched("x", "x");
        std::string got = expand(re, c.replacement);
        for (long n = std::count(c.expected.begin(), c.expected.end(), ' '); n > 0; --n)
            got += " " + expand(re, c.replacement);
        EXPECT_EQ(got, c.expected) << c.replacement;
    }
}

// The counter goes on across subjects and replacements, and only recompiling restarts it.
// Refused replacements are found before anything is written, so the counter stays put.
TEST(Substitute, CounterLifetime) {
    RegExp files = matched("^(.*)\\.jpg$", "a.jpg");
    EXPECT_EQ(expand(files, "\\1_:(1)"), "a_1");
    ASSERT_TRUE(files.exec("b.JPG"));
    EXPECT_EQ(expand(files, ":(100)-\\1"), "002-b"); // its own width
    EXPECT_EQ(expand(files, ":(1)_:(x)"), "E14");
    EXPECT_EQ(expand(files, ":(1)_:(9999999999)"), "E29");
    EXPECT_EQ(expand(files, ":(7):(U;x)"), "E14");
    EXPECT_EQ(expand(files, ":(1)"), "3");
    files = RegExp("^(.*)\\.jpg$", false);
    ASSERT_TRUE(files.exec("c.jpg"));
    EXPECT_EQ(expand(files, ":(1)"), "1");
    RegExp fresh = matched("x", "x");
    EXPECT_EQ(expand(fresh, ":(7):(U;x)"), "E14");
    EXPECT_EQ(expand(fresh, ":(3)"), "3");
}

// A group ending in a NUL byte would cut the name short; it is refused.
TEST(Substitute, GroupEndingInNulIsRefused) {
    RegExp re("a(.)", true);
    ASSERT_TRUE(re.exec(std::string_view("ab\0", 3).substr(0, 2)));
    EXPECT_EQ(expand(re, "\\1"), "b");
    ASSERT_TRUE(re.exec(std::string_view("xa\0", 3)));
    EXPECT_EQ(expand(re, "[\\1]"), "E9");
    EXPECT_EQ(expand(re, "&"), "E9");
    EXPECT_EQ(expand(re, "x"), "x"); // fine when no such group is used
}
