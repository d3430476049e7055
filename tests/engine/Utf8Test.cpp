// Names are UTF-8 bytes: characters, case folding and stray bytes.
#include <gtest/gtest.h>

#include <string>

#include "engine/RegExp.h"
#include "engine/Wildcard.h"

namespace {

struct MatchCase {
    const char* pattern;
    bool caseSensitive;
    std::string subject;
    bool matches;
    int start;  // byte offset of group 0, if it matches
    int length; // byte length of group 0
};

void checkMatches(const MatchCase* begin, const MatchCase* end) {
    for (const MatchCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(std::string(c->pattern) + " on \"" + c->subject + "\"" +
                     (c->caseSensitive ? " (case-sensitive)" : ""));
        RegExp re(c->pattern, c->caseSensitive);
        ASSERT_TRUE(re.isValid()) << re.errorText();
        ASSERT_EQ(re.exec(c->subject), c->matches);
        if (!c->matches) continue;
        EXPECT_EQ(re.groupStart(0), c->start);
        EXPECT_EQ(re.groupLength(0), c->length);
    }
}

std::string expand(const char* pattern, const std::string& subject, const char* replacement) {
    RegExp re(pattern, false);
    EXPECT_TRUE(re.exec(subject)) << pattern << " on " << subject;
    std::string out;
    EXPECT_TRUE(re.substitute(replacement, out)) << re.errorText();
    return out;
}

} // namespace

TEST(Utf8, OneCharacterIsOneSequenceOrOneStrayByte) {
    const MatchCase cases[] = {
        {"^.$", false, "ä", true, 0, 2},
        {"^.$", false, "€", true, 0, 3},
        {"^.$", false, "😀", true, 0, 4},
        {"^.$", false, "\xE4", true, 0, 1},     // Latin-1 ä: one stray byte
        {"^.$", false, "\xC3\xA4x", false, 0, 0},
        {"^...$", false, "äöü", true, 0, 6},
        {"^a.b$", false, "a\xFF" "b", true, 0, 3},
        {"[^a]", false, "aä", true, 1, 2},
        {"^(ä*)", false, "äääb", true, 0, 6},
        {"^.*ö", false, "aöböc", true, 0, 6}, // greedy gives back whole characters
        {"ö+", false, "xÖöÖy", true, 1, 6},
        // Ranges compare code points: ä (E4) lies in a-ä, ö (F6) does not.
        {"[a-ä]+", false, "bäÄ", true, 0, 5},
        {"[a-ä]", true, "ö", false, 0, 0},
        {"[a-ä]", false, "ö", true, 0, 2},  // Ö (D6) lies in the range
        {"[a-ä]", false, "ő", false, 0, 0}, // neither ő nor Ő does
        {"[а-я]+", false, "ДОМ", true, 0, 6}, // Cyrillic range, either case
        {"[äöü]+", true, "xÄä", true, 3, 2},
    };
    checkMatches(std::begin(cases), std::end(cases));
}

TEST(Utf8, CaseFoldingAppliesEverywhereIncludingLiterals) {
    const MatchCase cases[] = {
        {"Ä", false, "ä", true, 0, 2},
        {"Ä", true, "ä", false, 0, 0},
        {"straße", false, "STRAßE", true, 0, 7},
        {"straße", false, "STRASSE", false, 0, 0}, // simple folding: ß is not ss
        {"k+", false, "kK\xE2\x84\xAA", true, 0, 5}, // k, K and the Kelvin sign
        {"\xE2\x84\xAA" "elvin", false, "kelvin", true, 0, 6},
        {"ölfeld", false, "Das Ölfeld", true, 4, 7}, // found through the first-character hint
        {"x*ÖL", false, "das öl", true, 4, 3},       // and through the required literal
        {"[Σ]", false, "ς", true, 0, 2},
        {"^[k-m]$", false, "\xE2\x84\xAA", true, 0, 3},
        // Start positions are skipped by first character; the non-ASCII forms still count.
        {"(K|z)elvin", false, "x\xE2\x84\xAA" "elvin", true, 1, 8},
        {"[s]t", false, "ab\xC5\xBFt", true, 2, 3},  // long s
        {"[0-9]+", false, "Jahr ２０２４", false, 0, 0}, // fullwidth digits are no [0-9]
        {"(ä|b)+", false, "xxÄb", true, 2, 3},
    };
    checkMatches(std::begin(cases), std::end(cases));
}

TEST(Utf8, StrayBytesEqualOnlyThemselves) {
    const MatchCase cases[] = {
        {"\xE4", false, "x\xE4", true, 1, 1},
        {"\xE4", false, "ä", false, 0, 0},    // not the code point U+00E4
        {"\xE4", false, "\xC4", false, 0, 0}, // stray bytes have no case
        {"[\xE4]", false, "ä\xE4", true, 2, 1},
        {"[\xFE\xFF]+", false, "a\xFF\xFE", true, 1, 2},
        // A range of stray bytes never reaches into the continuation bytes of a valid character.
        {"[\x80-\xBF]", false, "ä€", false, 0, 0},
        {"^\xE4(.*)$", false, "\xE4rger.txt", true, 0, 9},
        // A stray lead byte in a literal never matches the first byte of a valid character,
        // and escaped stray bytes never join into one.
        {"\xC3", true, "\xC3\xA4", false, 0, 0},
        {"\xC3", true, "x\xC3", true, 1, 1},
        {"\xC3\\\xA4", true, "\xC3\xA4", false, 0, 0},
        {"\xC3\\\xA4", false, "\xC3\xA4", false, 0, 0},
    };
    checkMatches(std::begin(cases), std::end(cases));
}

TEST(Utf8, WordAnchorsKnowLettersBeyondAscii) {
    const MatchCase cases[] = {
        {"\\<über", false, "über", true, 0, 5},
        {"\\<über", false, "x über", true, 2, 5},
        {"\\<über", false, "xüber", false, 0, 0},
        {"\\<ber", false, "über", false, 0, 0},
        {"straße\\>", false, "straße.txt", true, 0, 7},
        {"straße\\>", false, "straßen", false, 0, 0},
        {"\\<x", false, "\xE4x", true, 1, 1}, // a stray byte is no word character
        {"\\<日本", false, "日本語", true, 0, 6},
    };
    checkMatches(std::begin(cases), std::end(cases));
}

TEST(Utf8, GroupsNeverSplitACharacter) {
    RegExp re("^(.*)(.)\\.(.)(.*)$", false);
    const std::string name = "Größe€.😀x";
    ASSERT_TRUE(re.exec(name));
    EXPECT_EQ(re.groupLength(2), 3);                          // €
    EXPECT_EQ(re.groupStart(3), static_cast<int>(name.find("😀")));
    EXPECT_EQ(re.groupLength(3), 4);
    EXPECT_EQ(re.groupLength(1), static_cast<int>(std::string("Größe").size()));
}

TEST(Utf8, CaseConversionMapsCharactersExactly) {
    struct {
        const char* replacement;
        std::string subject;
        std::string expected;
    } cases[] = {
        {"&:(U)", "äpfel", "ÄPFEL"},
        {"&:(U)", "straße", "STRAßE"},    // no single upper-case ß in simple mapping
        {"&:(U;2)", "äöü", "ÄÖü"},        // counts characters, not bytes
        {"&:(L;-1)", "ÄÖÜ", "ÄÖü"},
        {"&:(U)", "ıx", "IX"},            // dotless i: two bytes become one
        {"&:(U;1)", "ɐɐ", "\xE2\xB1\xAF" "ɐ"}, // U+0250 -> U+2C6F: two bytes become three
        {"&:(L)", "\xC4" "ÄRGER", "\xC4" "ärger"}, // stray bytes pass through unchanged
        {"&:(U;-2)", "x\xE4ö", "x\xE4Ö"},
        {"&:(U;-3)", "x\xE4ö", "X\xE4Ö"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.replacement) + " on " + c.subject);
        EXPECT_EQ(expand("^.*$", c.subject, c.replacement), c.expected);
    }
}

TEST(Utf8, WildcardQuestionMarkTakesOneCharacter) {
    const std::string re = wildcardToRegExp("?.txt");
    RegExp rx(re, false);
    for (const char* yes : {"ä.txt", "€.TXT", "\xE4.txt", "😀.txt"}) EXPECT_TRUE(rx.exec(yes)) << yes;
    for (const char* no : {"ab.txt", ".txt", "\xC3\xA4\xA4.txt"}) EXPECT_FALSE(rx.exec(no)) << no;
}

TEST(Utf8, WildcardRenameKeepsUmlautsAndStrayBytes) {
    RegExp re(wildcardToRegExp("*.jpg"), false);
    ASSERT_TRUE(re.exec("Grüße aus \xE4rhus.JPG"));
    std::string out;
    ASSERT_TRUE(re.substitute(wildcardReplacementToRegExp("Urlaub_*.jpg"), out));
    EXPECT_EQ(out, "Urlaub_Grüße aus \xE4rhus.jpg");
}
