#include <gtest/gtest.h>

#include <filesystem>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/CVNAppInfo.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"

namespace fs = std::filesystem;

namespace {

CROZariduPattern pattern(int userDefined, int type, const std::string& name,
                         const std::string& search, const std::string& replace) {
    CROZariduPattern p(userDefined, type, name);
    p.m_searchPattern = search;
    p.m_replacePattern = replace;
    p.m_statusline = "Status " + name;
    return p;
}

const char kUserWild[] = "Patterns\\UserDefined\\Wildcard Patterns";

} // namespace

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
    const std::string installed = XdgSandbox::hiveText(
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
    XdgSandbox::put(xdg.userHive(), XdgSandbox::hiveText(std::string("[") + kUserWild + "\\A]\n" +
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
