#include <gtest/gtest.h>

#include <vector>

#include "engine/RegError.h"
#include "core/search/CVNSearchEngine.h"
#include "tests/core/RunFixture.h"

namespace {

class Lines : public CVNLineSource {
public:
    Lines(std::initializer_list<std::string> l) : lines(l) {}
    int lineCount() const override { return static_cast<int>(lines.size()); }
    std::string lineText(int i) const override { return lines[static_cast<std::size_t>(i)]; }
    int firstSelectedLine() const override { return selected; }
    int focusedLine() const override { return focused; }
    std::vector<std::string> lines;
    int selected = -1;
    int focused = -1;
};

} // namespace

TEST(SearchEngine, BananaStepByStep) {
    Lines l{"banana"};
    l.selected = 0;
    CVNSearchEngine engine(l, PATTERN_REGEXP);
    std::string error, text;
    ASSERT_TRUE(engine.Compile("an", error));
    CVNTextPos s, e;
    ASSERT_TRUE(engine.MatchSelection(s, e, error));
    EXPECT_EQ(s, (CVNTextPos{0, 1}));
    EXPECT_EQ(e, (CVNTextPos{0, 3}));
    ASSERT_TRUE(engine.ReplaceSelection("AN", s, e, text, error));
    EXPECT_EQ(text, "bANana");
    EXPECT_EQ(s, (CVNTextPos{0, 1}));
    EXPECT_EQ(e, (CVNTextPos{0, 3}));
    l.lines[0] = text;
    engine.ReloadLine();
    engine.SetPosition(e);
    ASSERT_TRUE(engine.FindNext(s, e, error));
    EXPECT_EQ(s, (CVNTextPos{0, 3}));
    EXPECT_EQ(e, (CVNTextPos{0, 5}));
}

// Alle Umbenennen: every occurrence in every name, counters going on from name to name.
TEST(SearchEngine, RunsOverTheWholeList) {
    const struct {
        int kind;
        const char* pattern;
        const char* replacement;
        std::vector<std::string> before, after;
        int occurrences;
    } cases[] = {
        {PATTERN_REGEXP, "a", "b", {"banana.txt", "x"}, {"bbnbnb.txt", "x"}, 3},
        {PATTERN_WILDCARD,
         "*.txt",
         "*.bak",
         {"a.txt", "b.doc", "c.TXT"},
         {"a.bak", "b.doc", "c.bak"},
         2},
        {PATTERN_WILDCARD,
         "report.*",
         "old_report.*",
         {"report.doc", "report", "reports"},
         {"old_report.doc", "old_report", "reports"},
         2},
        {PATTERN_WILDCARD, "report.*", "old_*.*", {"report.doc"}, {"old_doc"}, 1},
        {PATTERN_LITERAL, "a.b", "X", {"a.b.a.b", "axb"}, {"X.X", "axb"}, 2},
        {PATTERN_REGEXP, "x*", "Y", {"abc"}, {"YaYbYcY"}, 4}, // empty matches move on
        {PATTERN_REGEXP, "$", "!", {"a", "b"}, {"a!", "b!"}, 2},
        {PATTERN_REGEXP, "ö", "oe", {"Größe.txt", "ÖL"}, {"Groeße.txt", "oeL"}, 2},
        {PATTERN_REGEXP, "(.)", "\\1\\1", {"äb"}, {"ääbb"}, 2},
        // An anchored pattern matches at the start of a name only, and only once.
        {PATTERN_REGEXP, "^b", "X", {"bob", "abba", "bill"}, {"Xob", "abba", "Xill"}, 2},
        {PATTERN_REGEXP, "^IMG_", "", {"IMG_IMG_1.jpg", "IMG_2"}, {"IMG_1.jpg", "2"}, 2},
        {PATTERN_REGEXP, "[0-9]+", "#:(01)", {"a1b22", "c333"}, {"a#01b#02", "c#03"}, 3},
        // Going on after a step, the letter before still counts: no word starts mid-word.
        {PATTERN_REGEXP, "\\<[a-z]", "&:(U)", {"hallo welt.txt"}, {"Hallo Welt.Txt"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RunCounts counts;
        EXPECT_EQ(previewRenameAll(c.before, c.kind, c.pattern, c.replacement, &counts), c.after);
        EXPECT_EQ(counts.okOps, c.occurrences);
    }
}

TEST(SearchEngine, NothingSelectedMeansNothingToDo) {
    Lines l{"banana"};
    CVNSearchEngine engine(l, PATTERN_REGEXP);
    std::string error, text;
    ASSERT_TRUE(engine.Compile("x*", error));
    CVNTextPos s, e;
    EXPECT_FALSE(engine.ReplaceSelection("Y", s, e, text, error));
    EXPECT_EQ(error, "");
    l.focused = 0; // focus without selection: the name must not become "Y"
    EXPECT_FALSE(engine.ReplaceSelection("Y", s, e, text, error));
    EXPECT_FALSE(engine.MatchSelection(s, e, error));
    EXPECT_EQ(error, "");
}

TEST(SearchEngine, CompileAndSubstitutionErrorsReachTheCaller) {
    Lines l{"abc"};
    l.selected = 0;
    CVNSearchEngine engine(l, PATTERN_REGEXP);
    std::string error, text;
    EXPECT_FALSE(engine.Compile("a(", error));
    EXPECT_EQ(error, regErrorText(REG_ERR_MISSING_PAREN));
    ASSERT_TRUE(engine.Compile("b", error));
    CVNTextPos s, e;
    EXPECT_FALSE(engine.ReplaceSelection(":(x)", s, e, text, error));
    EXPECT_EQ(error, regErrorText(REG_ERR_BAD_PARENS));
    CVNSearchEngine unknown(l, 7);
    EXPECT_FALSE(unknown.Compile("a", error));
    EXPECT_EQ(error, "");
}

TEST(SearchEngine, PositionsClampToTheList) {
    Lines l{"one", "two"};
    l.selected = 1;
    CVNSearchEngine engine(l, PATTERN_REGEXP);
    EXPECT_EQ(engine.startPosition(), (CVNTextPos{1, 0}));
    EXPECT_EQ(engine.lineText(), "two");
    engine.SetPosition(5, 3);
    EXPECT_EQ(engine.position(), (CVNTextPos{2, 0}));
    EXPECT_EQ(engine.lineText(), "");
    engine.SetPosition(-1, 4);
    EXPECT_EQ(engine.position(), (CVNTextPos{0, 0}));
    EXPECT_EQ(engine.lineText(), "one");
}
