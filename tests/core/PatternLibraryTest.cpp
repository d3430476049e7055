// The pattern library without windows: the items of the ">" menus, what choosing one does to
// the two fields, the editor's rules, and the options page's lists with their states and save.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/PatternEditorRules.h"
#include "core/settings/PatternInsertion.h"
#include "core/settings/PatternList.h"
#include "core/settings/PatternMenu.h"
#include "tests/platform/SettingsObstacles.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"

namespace {

CROZariduPattern pattern(int userDefined, const std::string& name, const std::string& search,
                         const std::string& replacement, int caretField = 0, int caretPos = 0) {
    CROZariduPattern p(userDefined, 0, name);
    p.m_searchPattern = search;
    p.m_replacePattern = replacement;
    p.m_caretPosType = caretField;
    p.m_caretPos = caretPos;
    p.m_statusline = "Status " + name;
    return p;
}

std::string itemLine(const PatternMenu& menu) {
    std::string line;
    for (const PatternMenu::Item& item : menu.Items())
        line += (line.empty() ? "" : ",") + std::to_string(item.id) + ":" +
                (item.separator ? "-" : item.text);
    return line;
}

std::string recordName(const PatternMenu& menu, int id) {
    const CROZariduPattern* p = menu.Record(id);
    return p ? (p->m_userDefined ? "user " : "pre ") + p->m_menuText : "none";
}

std::vector<std::string> storedNames(const CVNAppInfo& app, int type = 0) {
    std::vector<std::string> names;
    CROZariduPattern::ListNames(app, 1, type, names);
    return names;
}

} // namespace

// An empty menu is the loading test's case.
TEST(PatternMenu, ItemIdsNameOneRecordEach) {
    PatternMenu menu;
    menu.Set({pattern(0, "A", "s", ""), pattern(0, "B", "s", "")}, {pattern(1, "C", "s", "")});
    EXPECT_EQ(itemLine(menu), "1:A,2:B,3:-,4:C");
    EXPECT_FALSE(menu.IsEmpty());
    const std::string records[] = {"none", "pre A", "pre B", "none", "user C", "none"};
    for (int id = 0; id < 6; ++id)
        EXPECT_EQ(recordName(menu, id), records[id]) << id;
}

TEST(PatternMenu, LoadsBothOriginsOfTheTypeForTheField) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    PatternMenu menu;
    menu.Load(app, 0, CROZariduPattern::kWithSearchPattern);
    EXPECT_TRUE(menu.IsEmpty()) << "nothing installed, nothing stored";

    ASSERT_TRUE(pattern(1, "C", "*.c", "").Save(app));
    ASSERT_TRUE(pattern(1, "nur Ersatz", "", ":(1)").Save(app));
    menu.Load(app, 0, CROZariduPattern::kWithSearchPattern);
    EXPECT_EQ(itemLine(menu), "1:C") << "without preconfigured patterns, only the user's";

    XdgSandbox::put(xdg.machineHive(1),
                    XdgSandbox::hiveText(
                        "[Patterns\\Preconfigured\\Wildcard Patterns\\A]\n\"SearchPattern\"=\"a*\"\n"
                        "[Patterns\\Preconfigured\\Wildcard Patterns\\B]\n\"SearchPattern\"=\"b*\"\n"
                        "\"ReplacePattern\"=\"x*\"\n"
                        "[Patterns\\Preconfigured\\Wildcard Patterns\\R]\n\"ReplacePattern\"=\"r\"\n"
                        "[Patterns\\Preconfigured\\RegExp Patterns\\X]\n\"SearchPattern\"=\"x\"\n"));
    menu.Load(app, 0, CROZariduPattern::kWithSearchPattern);
    EXPECT_EQ(itemLine(menu), "1:A,2:B,3:-,4:C");
    menu.Load(app, 0, CROZariduPattern::kReplacementOnly);
    EXPECT_EQ(itemLine(menu), "1:R,2:-,3:nur Ersatz");
    menu.Load(app, 1, CROZariduPattern::kWithSearchPattern);
    EXPECT_EQ(itemLine(menu), "1:X");
}

// "|" marks the caret in the field it goes to. Appending to either field, both parts filling
// both and the date mode's search-only fill are the pattern menu tests' cases.
TEST(PatternInsertion, FieldsAndCaretAfterChoosingAPattern) {
    const struct {
        const char* what;
        CROZariduPattern p;
        int menu;
        bool dates;
        std::string search, replacement;
        std::string expectSearch, expectReplacement;
    } cases[] = {
        {"dates: a caret in the search stays", pattern(0, "p", "*.jpeg", "*.jpg", 0, 1),
         kSearchField, true, "", "keep", "*|.jpeg", "keep"},
        {"caret beyond the end goes to the end", pattern(0, "p", "[0-9]+", "", 0, 99), kSearchField,
         false, "a", "", "a[0-9]+|", ""},
        {"characters, not bytes", pattern(0, "p", "ö(x)", "", 0, 2), kSearchField, false, "ä", "",
         "äö(|x)", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PatternInsertion in = InsertPattern(c.p, c.menu, c.dates, c.search, c.replacement);
        std::string search = in.search, replacement = in.replacement;
        (in.caretField == kReplaceField ? replacement : search).insert(in.caretByte, "|");
        EXPECT_EQ(search, c.expectSearch);
        EXPECT_EQ(replacement, c.expectReplacement);
    }
}

TEST(PatternEditorRules, TheFirstBrokenRuleIsReported) {
    const std::vector<std::string> names{"Fotos", "Musik", "Ordner"};
    std::string fortyUmlauts;
    for (int i = 0; i < 40; ++i)
        fortyUmlauts += "ä";
    const auto form = [](std::string name, std::string search, std::string replacement = "r") {
        PatternForm f;
        f.menuText = std::move(name);
        f.search = std::move(search);
        f.replacement = std::move(replacement);
        return f;
    };
    const auto withStatus = [&](std::string status) {
        PatternForm f = form("Neu", "s");
        f.statusline = std::move(status);
        return f;
    };
    const auto withCaret = [&](int field, std::string number) {
        PatternForm f = form("Neu", "abc", "12345");
        f.caretField = field;
        f.caretPlace = kCaretAfterChars;
        f.caretNumber = std::move(number);
        return f;
    };
    using F = PatternFormField;
    const struct {
        const char* what;
        PatternForm form;
        int ownIndex;
        F field;
        std::string message;
    } cases[] = {
        {"empty name before empty patterns", form("", "", ""), -1, F::MenuText,
         "Das Eingabefeld darf nicht leer sein."},
        {"40 characters of two bytes each", form(fortyUmlauts, "s"), -1, F::None, ""},
        {"backslash", form("a\\b", "s"), -1, F::MenuText,
         "Ein Menütext darf keinen umgekehrten Schrägstrich (\\) enthalten."},
        {"name taken", form("Musik", "s"), -1, F::MenuText,
         "Einen Menüeintrag 'Musik' gibt es bereits."},
        {"editing changes the case of its own name", form("musik", "s"), 1, F::None, ""},
        {"editing takes another's name", form("Fotos", "s"), 1, F::MenuText,
         "Einen Menüeintrag 'Fotos' gibt es bereits."},
        {"status line of 121", withStatus(std::string(121, 's')), -1, F::Statusline,
         "Geben Sie nicht mehr als 120 Zeichen ein."},
        {"caret beyond the search pattern", withCaret(0, "4"), -1, F::CaretNumber,
         "Geben Sie eine ganze Zahl zwischen 0 und 3 ein."},
        {"caret at the end of the replacement", withCaret(1, "5"), -1, F::None, ""},
        {"neither pattern", form("Neu", "", ""), -1, F::Search,
         "Geben Sie bitte mindestens entweder ein Suchmuster oder ein Ersatzmuster ein."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PatternFormProblem problem = CheckPatternForm(c.form, names, c.ownIndex);
        EXPECT_EQ(problem.field, c.field);
        EXPECT_EQ(problem.message, c.message);
    }
}

TEST(PatternEditorRules, CaretPlaceAndNumberBetweenRecordAndForm) {
    const struct {
        int field, pos;
        std::string search, replacement;
        int place;
        int storedAgain; // the record's caret position after OK without changes
    } cases[] = {
        {0, 0, "", "r", kCaretAtEnd, 0}, // at the end of an empty pattern is its start too
        {0, 2, "abc", "", kCaretAfterChars, 2},
        {0, 3, "abc", "", kCaretAtEnd, 3},
        {1, 2, "abc", "12345", kCaretAfterChars, 2}, // the replacement's length counts
        {1, 5, "abc", "12345", kCaretAtEnd, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + "/" + std::to_string(c.pos));
        CROZariduPattern record = pattern(1, "  Name", c.search, c.replacement, c.field, c.pos);
        const PatternForm form = FormFromPattern(record);
        EXPECT_EQ(form.menuText, "Name");
        EXPECT_EQ(form.caretField, c.field);
        EXPECT_EQ(form.caretPlace, c.place);
        const CROZariduPattern back = PatternFromForm(form, 1, 0);
        EXPECT_EQ(back.m_caretPos, c.storedAgain);
        EXPECT_EQ(back.m_menuText, "Name");
        EXPECT_EQ(back.m_statusline, record.m_statusline);
    }
}

class PatternListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* n : {"A", "B", "C"})
            ASSERT_TRUE(pattern(1, n, std::string(n) + "*", "").Save(app));
        list.Load(app);
    }
    std::vector<int> states() const {
        std::vector<int> s;
        for (const auto& e : list.entries())
            s.push_back(e.state);
        return s;
    }
    std::string stored(const std::string& name) {
        CROZariduPattern p(1, 0, name);
        p.Load(app);
        return p.m_searchPattern;
    }

    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    PatternList list{1, 0};
};

TEST_F(PatternListTest, EditsKeepTheirStatesUntilSaved) {
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.Insert(9, PatternList::kNew, pattern(1, "b", "x", "")), -1) << "B is there";

    ASSERT_TRUE(list.Edit(0, pattern(1, "A", "a-neu*", ""))); // same name: changed
    ASSERT_TRUE(list.Edit(1, pattern(1, "B2", "b2*", "")));   // renamed: B goes
    EXPECT_FALSE(list.Edit(2, pattern(1, "a", "c*", ""))) << "A is another entry";
    list.Remove(2); // C goes
    EXPECT_EQ(list.Insert(9, PatternList::kNew, pattern(1, "C", "c-neu*", "")), 2);
    EXPECT_EQ(list.Insert(9, PatternList::kNew, pattern(1, "D", "d*", "")), 3);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "B2", "C", "D"}));
    // C's key is still stored, so the new C only changes it.
    EXPECT_EQ(states(), (std::vector<int>{1, 2, 1, 2}));
    ASSERT_EQ(list.removed().size(), 1u);
    EXPECT_EQ(list.removed()[0].m_menuText, "B");
    EXPECT_EQ(stored("A"), "A*") << "nothing written before the save";

    ASSERT_TRUE(SavePatternLists(app, {&list}).ok());
    EXPECT_EQ(storedNames(app), (std::vector<std::string>{"A", "C", "B2", "D"}))
        << "C written in place, not deleted and made again";
    EXPECT_EQ(stored("A"), "a-neu*");
    EXPECT_EQ(stored("C"), "c-neu*");
    EXPECT_EQ(states(), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(list.removed().empty());
}

TEST_F(PatternListTest, AKeyAnotherInstanceDeletedDoesNotStopTheSave) {
    list.Remove(0);
    list.Edit(0, pattern(1, "B", "b-neu*", ""));
    ASSERT_TRUE(CROZariduPattern(1, 0, "A").Delete(app));
    ASSERT_TRUE(SavePatternLists(app, {&list}).ok());
    EXPECT_EQ(storedNames(app), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(stored("B"), "b-neu*");
}

TEST_F(PatternListTest, AFailedSaveKeepsTheFileAndTheChanges) {
    list.Remove(0);
    list.Insert(9, PatternList::kNew, pattern(1, "Neu", "n*", ""));
    const std::string before = TempDir::read(xdg.userHive());
    {
        HeldSettingsLock lock(xdg);
        ASSERT_TRUE(lock.ok());
        EXPECT_FALSE(SavePatternLists(app, {&list}).ok());
    }
    EXPECT_EQ(TempDir::read(xdg.userHive()), before);
    EXPECT_TRUE(list.HasChanges());
    ASSERT_TRUE(SavePatternLists(app, {&list}).ok()) << "a later save still has everything";
    EXPECT_EQ(storedNames(app), (std::vector<std::string>{"B", "C", "Neu"}));
}
