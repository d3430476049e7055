// Wildcard search and replacement patterns, translated into the regular-expression engine, and
// the file-name matcher of the Find command and the folder scan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CVNFileNameMatcher.h"
#include "engine/RegError.h"
#include "engine/RegExp.h"
#include "engine/Wildcard.h"

namespace {

// The new name a wildcard rename gives: the expansion replaces the matched part of the name.
std::string renamed(const std::string& search, const std::string& replacement,
                    const std::string& name) {
    RegExp re(wildcardToRegExp(search), false);
    EXPECT_TRUE(re.isValid()) << re.errorText();
    if (!re.exec(name)) return "<no match>";
    std::string out;
    if (!re.substitute(wildcardReplacementToRegExp(replacement), out))
        return "<" + re.errorText() + ">";
    const int start = re.groupStart(0);
    return name.substr(0, start) + out + name.substr(start + re.groupLength(0));
}

} // namespace

TEST(Wildcard, EscapedLiteralsMatchThemselvesOnly) {
    struct Case {
        const char* text;
        const char* name;
        bool matches;
    } cases[] = {
        {"a.b(1)", "A.B(1)", true},
        {"a.b(1)", "xa.b(1)y", true},
        {"a.b(1)", "axb(1)", false},
        {"a*b", "a*b", true},
        {"a*b", "aab", false},
        {"**", "x**", true},
        {"x{2}", "x{2}", true},
        {"x{2}", "xx", false},
        {"^$.[()|?+*\\{]}", "^$.[()|?+*\\{]}", true},
        {"c:\\temp", "C:\\TEMP", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " on " + c.name);
        RegExp re(escapeLiteral(c.text), false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.exec(c.name), c.matches);
    }
}

TEST(Wildcard, MatchesWholeNamesIgnoringCase) {
    struct Case {
        const char* wildcard;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.*", "README", true},
        {"*.*", "a.b", true},
        {"*.*", "a.b.c", true},
        {"*.*", ".profile", true},
        {"report.*", "report", true},
        {"report.*", "report.txt", true},
        {"report.*", "REPORT.OLD.TXT", true},
        {"report.*", "reports", false},
        {"report.*", "myreport.txt", false},
        {"report.*", "report.", true},
        {"*", "anything.at.all", true},
        {"?", "a", true},
        {"?", ".", true},
        {"?", "ä", true},
        {"?", "ab", false},
        {"*.txt", "notes.TXT", true},
        {"*.txt", ".txt", true},
        {"*.txt", "notes.txt.bak", false},
        {"*.txt", "notes_txt", false},
        {"a?c.*", "a.c", true},
        {"a?c.*", "ABC.d", true},
        {"a?c.*", "ac", false},
        {"a+b(1).txt", "A+B(1).TXT", true},
        {"a+b(1).txt", "aab(1).txt", false},
        {"a+b(1).txt", "xa+b(1).txt", false},
        {"[x]*", "[X]yz", true},
        {"[x]*", "x", false},
        {"a{2}", "a{2}", true},
        {"a{2}", "aa", false},
        {"*a*", "banana", true},
        {"*a*", "xyz", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wildcard) + " on " + c.name);
        RegExp re(wildcardToRegExp(c.wildcard), false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.exec(c.name), c.matches);
        if (c.matches) {
            EXPECT_EQ(re.groupStart(0), 0);
            EXPECT_EQ(re.groupLength(0), static_cast<int>(std::string(c.name).size()));
        }
    }
}

TEST(Wildcard, StarsBecomeGroupsFromTheLeft) {
    RegExp ext(wildcardToRegExp("*.*"), false);
    ASSERT_TRUE(ext.exec("a.b.c"));
    EXPECT_EQ(ext.groupLength(1), 3); // greedy: the base name takes the inner dot
    EXPECT_EQ(ext.groupStart(2), 4);
    ASSERT_TRUE(ext.exec("README"));
    EXPECT_EQ(ext.highestGroup(), 1); // the base name is group 1 in both alternatives
    EXPECT_EQ(ext.groupLength(1), 6);
    EXPECT_EQ(ext.groupLength(2), 0);
}

TEST(Wildcard, Renaming) {
    struct Case {
        const char* search;
        const char* replacement;
        const char* name;
        const char* expected;
    } cases[] = {
        {"*.*", "*.*", "README", "README."}, // the missing extension gives nothing
        {"*.*", "*.*", "a.b", "a.b"},
        {"*.*", "*_old.*", "a.b.c", "a.b_old.c"},
        {"*.txt", "*:(U).TXT", "notes.txt", "NOTES.TXT"},
        {"*.jpg", "Urlaub_*.jpg", "IMG01.JPG", "Urlaub_IMG01.jpg"},
        {"*.txt", "*.bak", "Report.TXT", "Report.bak"},
        {"*_*.txt", "*-*.txt", "a_b_c.txt", "a_b-c.txt"},
        {"*.*", "*", "x.y", "x"},
        {"*.*", "&.old", "x.y", "x.y.old"},
        {"*.jpg", "img_:(001).jpg", "foto.jpg", "img_001.jpg"},
        {"?????.txt", "*x.txt", "notes.txt", "x.txt"}, // no star in the search: \1 is empty
        // Ten stars in the replacement: the tenth is dropped.
        {"*_*_*_*_*_*_*_*_*", "*-*-*-*-*-*-*-*-*-*", "1_2_3_4_5_6_7_8_9", "1-2-3-4-5-6-7-8-9-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.search) + " -> " + c.replacement + " on " + c.name);
        EXPECT_EQ(renamed(c.search, c.replacement, c.name), c.expected);
    }
}

TEST(Wildcard, TenStarsInASearchPatternAreTooManyGroups) {
    RegExp re(wildcardToRegExp("*_*_*_*_*_*_*_*_*_*"), false);
    EXPECT_FALSE(re.isValid());
    EXPECT_EQ(re.errorText(), regErrorText(12));
}

TEST(FileNameMatcher, CompileMessages) {
    struct Case {
        const char* pattern;
        const char* format;
        std::string expected;
    } cases[] = {
        {"a**", "", regErrorText(17)},
        {"a**", "%s", regErrorText(17)},
        {"a**", "Fehler", "Fehler " + regErrorText(17) + "."},
        {"[a", "Ungültiges Muster: %s!", "Ungültiges Muster: Regulärer Ausdruck: fehlende ].!"},
        {"", "", regErrorText(10)},
        {"(a", "Fehler",
         "Fehler Regulärer Ausdruck: fehlende ).."}, // the text keeps its own full stop
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " with format \"" + c.format + "\"");
        CVNFileNameMatcher m;
        EXPECT_FALSE(m.compile(c.pattern, false, c.format));
        EXPECT_EQ(m.errorMessage(), c.expected);
        EXPECT_FALSE(m.match("a"));
    }
}

TEST(FileNameMatcher, NothingCompiledYet) {
    CVNFileNameMatcher m;
    EXPECT_EQ(m.regExp(), nullptr);
    EXPECT_FALSE(m.match("a"));
    EXPECT_FALSE(m.match(""));
    std::string out = "unchanged";
    EXPECT_FALSE(m.replace("&", out));
    EXPECT_EQ(out, regErrorText(23));
}

TEST(FileNameMatcher, Replace) {
    CVNFileNameMatcher m;
    ASSERT_TRUE(m.compile("^(.*)\\.txt$", false));
    ASSERT_TRUE(m.match("Report.TXT"));
    std::string out;
    ASSERT_TRUE(m.replace("\\1.bak", out));
    EXPECT_EQ(out, "Report.bak");
    ASSERT_TRUE(m.replace("&:(L)", out));
    EXPECT_EQ(out, "report.txt");
    EXPECT_FALSE(m.replace(":(1x)", out));
    EXPECT_EQ(out, regErrorText(14));
    EXPECT_FALSE(m.replace(":(2147483648)", out));
    EXPECT_EQ(out, regErrorText(29));
}

TEST(FileNameMatcher, WildcardMatching) {
    struct Case {
        const char* wildcard;
        const char* name;
        bool matches;
    };
    // clang-format off
    const Case cases[] = {
        {"*.txt", "a.TXT", true},
        {"*.txt", "a.txt.gz", false},
        {"*.*", "a.b", true},
        {"*.*", "README", false},
        {"report.*", "report", false},
        {"a]b", "A]B", true},
        {"a}b", "a}b", true},
        {"x{2}", "x{2}", true},
        {"x{2}", "xx", false},
        {"[x]*", "[X]yz", true},
        {"?", "ä", true},
        {"?", "ab", false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wildcard) + " on " + c.name);
        CVNFileNameMatcher m;
        ASSERT_TRUE(m.compileWildcard(c.wildcard)) << m.errorMessage();
        EXPECT_EQ(m.match(c.name), c.matches);
    }

    CVNFileNameMatcher tooMany;
    EXPECT_FALSE(tooMany.compileWildcard("**********"));
    EXPECT_EQ(tooMany.errorMessage(), regErrorText(12));
}
