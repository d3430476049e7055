#include <gtest/gtest.h>

#include <filesystem>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/CVNAppInfo.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"

namespace fs = std::filesystem;

namespace {

std::string hiveFile(const std::string& body) {
    return "Orvane registry file, format 1\n" + body + "End of Orvane registry file\n";
}

CROZariduPattern pattern(int userDefined, int type, const std::string& name,
                         const std::string& search, const std::string& replace) {
    CROZariduPattern p(userDefined, type, name);
    p.m_searchPattern = search;
    p.m_replacePattern = replace;
    p.m_statusline = "Status " + name;
    return p;
}

std::vector<std::string> namesOf(const std::vector<CROZariduPattern>& records) {
    std::vector<std::string> names;
    for (const auto& r : records)
        names.push_back(r.m_menuText);
    return names;
}

const char kUserWild[] = "Patterns\\UserDefined\\Wildcard Patterns";

} // namespace

TEST(PatternRecord, KeyPathNamesOriginTypeAndMenuText) {
    const CVNAppInfo app = registeredApp();
    const struct {
        int userDefined, type;
        std::string name, path;
    } cases[] = {
        {0, 0, "", "Software\\Orvane\\Orvane\\Patterns\\Preconfigured\\Wildcard Patterns"},
        {1, 1, "", "Software\\Orvane\\Orvane\\Patterns\\UserDefined\\RegExp Patterns"},
        {1, 0, "Such-/Ersatzmuster",
         "Software\\Orvane\\Orvane\\Patterns\\UserDefined\\Wildcard Patterns\\Such-/Ersatzmuster"},
        {0, 1, "Datum",
         "Software\\Orvane\\Orvane\\Patterns\\Preconfigured\\RegExp Patterns\\Datum"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CROZariduPattern::KeyPath(app, c.userDefined, c.type, c.name), c.path);
    EXPECT_FALSE(CROZariduPattern().m_named);
    EXPECT_TRUE(CROZariduPattern(1, 0, "x").m_named);
    EXPECT_FALSE(CROZariduPattern(1, 0, "").m_named);
}

TEST(PatternRecord, UserDefinedRecordsRoundTrip) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    for (const std::string name : {"Such-/Ersatzmuster", "Bilder: IMG_* → Foto_*", "a=b [c] \"d\"",
                                   " Leerzeichen ", "Zeile\nzwei", "100%"}) {
        SCOPED_TRACE(name);
        CROZariduPattern saved = pattern(1, 1, name, "^IMG_([0-9]+)\\.jpg$", "Foto_\\1.jpg");
        saved.m_caretPosType = 1;
        saved.m_caretPos = -1;
        ASSERT_TRUE(saved.Save(app));
        CROZariduPattern loaded(1, 1, name);
        loaded.Load(app);
        EXPECT_EQ(loaded, saved);
    }
    std::vector<std::string> names;
    CROZariduPattern::ListNames(app, 1, 1, names);
    EXPECT_EQ(names.size(), 6u);
    EXPECT_NE(TempDir::read(xdg.userHive())
                  .find("[Patterns\\UserDefined\\RegExp Patterns\\Such-/Ersatzmuster]"),
              std::string::npos)
        << "the file stays readable";
}

TEST(PatternRecord, OnlyNamedUserDefinedRecordsAreEverWritten) {
    XdgSandbox xdg;
    const std::string installed = hiveFile(
        "[Patterns\\Preconfigured\\Wildcard Patterns\\Vorgabe]\n\"SearchPattern\"=\"*.txt\"\n");
    XdgSandbox::put(xdg.machineHive(1), installed);
    const CVNAppInfo app = registeredApp();
    const CROZariduPattern refused[] = {
        pattern(0, 0, "Vorgabe", "*.doc", ""), // preconfigured, even though its key exists
        pattern(0, 0, "Neu", "*.doc", ""),
        CROZariduPattern(),
        pattern(1, 0, "", "*.doc", ""),
        pattern(1, 0, "Ordner\\Name", "*.doc", ""), // would be a key below another
    };
    for (const auto& p : refused) {
        SCOPED_TRACE(p.m_menuText);
        EXPECT_FALSE(p.Save(app));
        EXPECT_FALSE(p.Delete(app));
    }
    EXPECT_EQ(TempDir::read(xdg.machineHive(1)), installed);
    EXPECT_FALSE(fs::exists(xdg.userFolder()));
}

TEST(PatternRecord, LoadTakesOnlyExactNamesOfTheRightType) {
    XdgSandbox xdg;
    XdgSandbox::put(xdg.userHive(), hiveFile(std::string("[") + kUserWild + "\\A]\n" +
                                             "\"searchpattern\"=\"other case\"\n"
                                             "\"ReplacePattern\"=\"r\"\n"
                                             "\"CaretPos\"=\"3\"\n"
                                             "\"CaretPosType\"=dword:1\n"
                                             "\"Statusline\"=hex:41\n"
                                             "\"Unknown\"=\"u\"\n"
                                             "\"\"=\"default value\"\n"));
    const CVNAppInfo app = registeredApp();
    CROZariduPattern p = pattern(1, 0, "A", "before", "before");
    p.m_caretPos = 7;
    p.Load(app);
    EXPECT_EQ(p.m_searchPattern, "before");
    EXPECT_EQ(p.m_replacePattern, "r");
    EXPECT_EQ(p.m_caretPos, 7);
    EXPECT_EQ(p.m_caretPosType, 1);
    EXPECT_EQ(p.m_statusline, "Status A");

    CROZariduPattern missing = pattern(1, 0, "Fehlt", "s", "r");
    const CROZariduPattern before = missing;
    missing.Load(app);
    EXPECT_EQ(missing, before);
    CROZariduPattern unnamed;
    unnamed.m_searchPattern = "kept";
    unnamed.Load(app);
    EXPECT_EQ(unnamed.m_searchPattern, "kept");
}

TEST(PatternRecord, ListNamesKeepsStoredOrderOrLeavesTheListAlone) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    std::vector<std::string> names{"untouched"};
    CROZariduPattern::ListNames(app, 1, 0, names);
    EXPECT_EQ(names, std::vector<std::string>{"untouched"}) << "no category key";

    for (const char* n : {"Zeta", "alpha", "Mitte"})
        ASSERT_TRUE(pattern(1, 0, n, "s", "").Save(app));
    ASSERT_TRUE(pattern(1, 1, "other type", "s", "").Save(app));
    CROZariduPattern::ListNames(app, 1, 0, names);
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "alpha", "Mitte"}));

    ASSERT_TRUE(CROZariduPattern(1, 0, "ALPHA").Delete(app));
    EXPECT_FALSE(CROZariduPattern(1, 0, "alpha").Delete(app)) << "already gone";
    CROZariduPattern::ListNames(app, 1, 0, names);
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "Mitte"}));
}

TEST(PatternRecord, LoadAllFiltersForEachMenu) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    for (const auto& p :
         {pattern(1, 0, "both", "*.jpg", "*.jpeg"), pattern(1, 0, "search", "*.txt", ""),
          pattern(1, 0, "replace", "", "Foto_*"), pattern(1, 0, "neither", "", "")})
        ASSERT_TRUE(p.Save(app));
    const struct {
        int filter;
        std::vector<std::string> names;
    } cases[] = {
        {CROZariduPattern::kAll, {"both", "search", "replace", "neither"}},
        {CROZariduPattern::kWithSearchPattern, {"both", "search"}},
        {CROZariduPattern::kReplacementOnly, {"replace"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        std::vector<CROZariduPattern> records{CROZariduPattern(1, 0, "stale")};
        CROZariduPattern::LoadAll(app, 1, 0, records, c.filter);
        EXPECT_EQ(namesOf(records), c.names);
    }
    std::vector<CROZariduPattern> records;
    CROZariduPattern::LoadAll(app, 1, 0, records, CROZariduPattern::kAll);
    EXPECT_EQ(records[0], pattern(1, 0, "both", "*.jpg", "*.jpeg"));

    std::vector<CROZariduPattern> none{CROZariduPattern(1, 0, "untouched")};
    CROZariduPattern::LoadAll(app, 1, 1, none, CROZariduPattern::kAll);
    EXPECT_EQ(namesOf(none), std::vector<std::string>{"untouched"}) << "no category key";
}

TEST(PatternRecord, PreconfiguredPatternsComeFromTheMachineFile) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    ASSERT_TRUE(pattern(1, 1, "mein Muster", "x", "").Save(app));
    std::vector<CROZariduPattern> records;
    CROZariduPattern::LoadAll(app, 0, 1, records, CROZariduPattern::kAll);
    EXPECT_TRUE(records.empty()) << "nothing installed: only user-defined patterns exist";

    XdgSandbox::put(xdg.machineHive(2),
                    hiveFile("[Patterns\\Preconfigured\\RegExp Patterns\\Datum umdrehen]\n"
                             "\"SearchPattern\"=\"([0-9]+)-([0-9]+)\"\n"
                             "\"ReplacePattern\"=\"\\\\2-\\\\1\"\n"
                             "\"CaretPos\"=dword:2\n"
                             "[Patterns\\UserDefined\\RegExp Patterns\\fremd]\n"
                             "\"SearchPattern\"=\"x\"\n"));
    CROZariduPattern::LoadAll(app, 0, 1, records, CROZariduPattern::kAll);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].m_menuText, "Datum umdrehen");
    EXPECT_EQ(records[0].m_replacePattern, "\\2-\\1");
    EXPECT_EQ(records[0].m_caretPos, 2);
    EXPECT_EQ(records[0].m_userDefined, 0);

    CROZariduPattern::LoadAll(app, 1, 1, records, CROZariduPattern::kAll);
    EXPECT_EQ(namesOf(records), std::vector<std::string>{"mein Muster"})
        << "user-defined patterns come from the user's file only";
}
