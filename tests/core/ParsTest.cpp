#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/settings/CVNAppInfo.h"
#include "core/settings/CVNPars.h"
#include "tests/platform/SettingsObstacles.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/ScriptedPresenter.h"

namespace {

std::string settingsFile(const std::string& values) {
    return XdgSandbox::hiveText("[Settings]\n" + values);
}

} // namespace

TEST(ROZariduPars, LoadsDefaultsClampsRenAllModeAndTakesTheRestAsStored) {
    const struct {
        const char* name;
        std::string values;
        int maxFiles, renAllMode, showHelpTips;
    } cases[] = {
        {"fresh profile", "", 0, 0, 0},
        {"as stored",
         "\"MaxFiles\"=dword:00000064\n\"RenAllMode\"=dword:1\n\"ShowHelpTips\"=dword:1\n", 100, 1,
         1},
        {"RenAllMode 7 is 1", "\"RenAllMode\"=dword:7\n", 0, 1, 0},
        {"RenAllMode -3 is 0", "\"RenAllMode\"=dword:fffffffd\n", 0, 0, 0},
        {"ShowHelpTips any non-zero", "\"ShowHelpTips\"=dword:2a\n", 0, 0, 42},
        {"text is not a number", "\"MaxFiles\"=\"300\"\n\"RenAllMode\"=hex:01\n", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XdgSandbox xdg;
        if (!c.values.empty()) XdgSandbox::put(xdg.userHive(), settingsFile(c.values));
        const CVNAppInfo app = registeredApp();
        CROZariduPars pars;
        pars.MaxFiles = pars.RenAllMode = pars.ShowHelpTips = 99; // Load replaces them all
        pars.SetAppInfo(&app);
        pars.Load();
        EXPECT_EQ(pars.MaxFiles, c.maxFiles);
        EXPECT_EQ(pars.RenAllMode, c.renAllMode);
        EXPECT_EQ(pars.ShowHelpTips, c.showHelpTips);
        EXPECT_TRUE(pars.Validate());
    }
}

TEST(ROZariduPars, AFailedSaveTellsOnceWhereAndWhyAndKeepsTheValuesAndTheFile) {
    for (const SettingsObstacle& c : settingsObstacles()) {
        SCOPED_TRACE(c.name);
        XdgSandbox xdg;
        const std::string before = settingsFile("\"MaxFiles\"=dword:00000007\n");
        XdgSandbox::put(xdg.userHive(), before);
        const CVNAppInfo app = registeredApp();
        ScriptedPresenter presenter;
        ScopedMessagePresenter guard(presenter);
        CROZariduPars pars;
        pars.SetAppInfo(&app);
        pars.MaxFiles = 12;
        pars.RenAllMode = 1;
        {
            const std::shared_ptr<void> obstacle = c.obstruct(xdg);
            ASSERT_TRUE(obstacle);
            EXPECT_FALSE(pars.Save());
        }
        ASSERT_EQ(presenter.shown().size(), 1u);
        const std::string& text = presenter.shown()[0].text;
        EXPECT_NE(text.find(xdg.userHive()), std::string::npos) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(pars.MaxFiles, 12) << "the new values last for this session";
        EXPECT_EQ(TempDir::read(xdg.userHive()), before);
    }
}
