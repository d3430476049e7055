// Wildcard search and replacement patterns, translated into the regular-expression engine, and
// the file-name matcher of the Find command and the folder scan.
#include <gtest/gtest.h>

#include <string>

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
    const struct {
        const char* text;
        const char* name;
        bool matches;
    } cases[] = {
        {"a.b(1)", "xA.B(1)y", true}, {"a.b(1)", "axb(1)", false}, {"a*b", "a*b", true},
        {"a*b", "aab", false},        {"**", "x**", true},         {"x{2}", "x{2}", true},
        {"x{2}", "xx", false},        {"c:\\temp", "C:\\TEMP", true},
        {"^$.[()|?+*\\{]}", "^$.[()|?+*\\{]}", true},
    };
    for (const auto& c : cases) {
        RegExp re(escapeLiteral(c.text), false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.exec(c.name), c.matches) << c.text << " on " << c.name;
    }
}

// A search pattern matches whole names, ignoring case; the folder scan's own wildcard differs
// only in that a trailing ".*" needs an extension.
TEST(Wildcard, MatchesWholeNamesIgnoringCase) {
    const struct {
        const char* wildcard;
        const char* name;
        bool search;
        bool scan;
    } cases[] = {
        {"*.*", "README", true, false},
        {"*.*", "a.b.c", true, true},
        {"*.*", ".profile", true, true},
        {"report.*", "report", true, false},
        {"report.*", "REPORT.OLD.TXT", true, true},
        {"report.*", "reports", false, false},
        {"report.*", "myreport.txt", false, false},
        {"report.*", "report.", true, true},
        {"*", "anything.at.all", true, true},
        {"?", ".", true, true},
        {"?", "ab", false, false},
        {"?.txt", "ä.txt", true, true}, // ? takes one character, not one byte
        {"?.txt", "\xE4.txt", true, true},
        {"?.txt", "\xC3\xA4\xA4.txt", false, false},
        {"?.txt", ".txt", false, false},
        {"*.txt", "notes.TXT", true, true},
        {"*.txt", ".txt", true, true},
        {"*.txt", "notes.txt.bak", false, false},
        {"*.txt", "notes_txt", false, false},
        {"a+b(1).txt", "A+B(1).TXT", true, true},
        {"a+b(1).txt", "aab(1).txt", false, false},
        {"*a*", "banana", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wildcard) + " on " + c.name);
        RegExp re(wildcardToRegExp(c.wildcard), false);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        EXPECT_EQ(re.exec(c.name), c.search);
        if (c.search) {
            EXPECT_EQ(re.groupStart(0), 0);
            EXPECT_EQ(re.groupLength(0), static_cast<int>(std::string(c.name).size()));
        }
        CVNFileNameMatcher m;
        ASSERT_TRUE(m.compileWildcard(c.wildcard)) << m.errorMessage();
        EXPECT_EQ(m.match(c.name), c.scan);
    }
}

TEST(Wildcard, Renaming) {
    const struct {
        const char* search;
        const char* replacement;
        const char* name;
        const char* expected;
    } cases[] = {
        {"*.*", "*.*", "README", "README."}, // the missing extension gives nothing
        {"*.*", "*_old.*", "a.b.c", "a.b_old.c"}, // the first star takes the inner dot
        {"*.*", "[*|*]", "README", "[README|]"},  // the base name is the first star also here
        {"*.txt", "*:(U).TXT", "notes.txt", "NOTES.TXT"},
        {"*.jpg", "Urlaub_*.jpg", "Grüße aus \xE4rhus.JPG", "Urlaub_Grüße aus \xE4rhus.jpg"},
        {"*_*.txt", "*-*.txt", "a_b_c.txt", "a_b-c.txt"},
        {"*.*", "*", "x.y", "x"},
        {"*.*", "&.old", "x.y", "x.y.old"},
        {"*.jpg", "img_:(001).jpg", "foto.jpg", "img_001.jpg"},
        {"?????.txt", "*x.txt", "notes.txt", "x.txt"}, // no star in the search: \1 is empty
        // Ten stars in the replacement: the tenth is dropped.
        {"*_*_*_*_*_*_*_*_*", "*-*-*-*-*-*-*-*-*-*", "1_2_3_4_5_6_7_8_9", "1-2-3-4-5-6-7-8-9-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(renamed(c.search, c.replacement, c.name), c.expected)
            << c.search << " -> " << c.replacement << " on " << c.name;
    }
}

TEST(Wildcard, TenStarsAreTooManyGroups) {
    EXPECT_EQ(RegExp(wildcardToRegExp("*_*_*_*_*_*_*_*_*_*"), false).errorText(),
              regErrorText(12));
    CVNFileNameMatcher m;
    EXPECT_FALSE(m.compileWildcard("**********"));
    EXPECT_EQ(m.errorMessage(), regErrorText(12));
}

// The message shown for a refused pattern: the error alone, in place of %s, or after the text.
TEST(FileNameMatcher, CompileMessages) {
    const struct {
        const char* pattern;
        const char* format;
        std::string expected;
    } cases[] = {
        {"a**", "", regErrorText(17)},
        {"[a", "Muster: %s!", "Muster: " + regErrorText(19) + "!"},
        {"(a", "Fehler", "Fehler " + regErrorText(13) + "."},
    };
    for (const auto& c : cases) {
        CVNFileNameMatcher m;
        EXPECT_FALSE(m.compile(c.pattern, false, c.format));
        EXPECT_EQ(m.errorMessage(), c.expected);
        EXPECT_FALSE(m.match("a"));
    }
}

// Replace gives the expansion, or the error text in its place.
TEST(FileNameMatcher, Replace) {
    CVNFileNameMatcher m;
    std::string out;
    EXPECT_FALSE(m.match("a"));
    EXPECT_FALSE(m.replace("&", out));
    EXPECT_EQ(out, regErrorText(23));
    ASSERT_TRUE(m.compile("^(.*)\\.txt$", false));
    ASSERT_TRUE(m.match("Report.TXT"));
    ASSERT_TRUE(m.replace("\\1.bak", out));
    EXPECT_EQ(out, "Report.bak");
    EXPECT_FALSE(m.replace(":(1x)", out));
    EXPECT_EQ(out, regErrorText(14));
}
