// Start-up: version information, parameters, help-tip mode, damaged settings, the running marker.
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

#include "platform/errors.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/settings/CVNAppInfo.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "tests/app/AppFixture.h"
#include "tests/support/RegisteredApp.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(VersionInfo, ValidOnlyWithCompanyAndRights) {
    struct Row {
        const char* without;
        bool valid;
    };
    for (const Row& r : {Row{"", true}, Row{"Comments", true}, Row{"CompanyName", false},
                         Row{"LegalCopyright", false}}) {
        VersionResource res = VersionResource::Own();
        res.strings.erase(r.without);
        CVNVersionInfo info;
        EXPECT_EQ(info.Read(res), r.valid) << r.without;
        EXPECT_EQ(info.valid, r.valid) << r.without;
    }
}

TEST(VersionInfo, VersionTextTakesTheSelectedParts) {
    VersionResource res;
    res.fileVersion[0] = 1;
    res.fileVersion[1] = 12;
    res.fileVersion[2] = 7;
    res.fileVersion[3] = 3;
    res.productVersionLow = 5;
    res.strings = {{"CompanyName", "Orvane"}, {"LegalCopyright", "(c)"}};
    CVNVersionInfo info;
    ASSERT_TRUE(info.Read(res));
    using V = CVNVersionInfo;
    struct Row {
        int parts;
        bool separator;
        const char* text;
    };
    for (const Row& r :
         {Row{V::kMajor | V::kMinor, true, "1.12"}, Row{V::kMajor | V::kMinor, false, "112"},
          Row{V::kProduct | V::kBuild, true, "005.7"}, Row{V::kMinor | V::kRevision, true, "12.3"},
          Row{31, true, "005.1.12.7.3"}, Row{0, true, ""}})
        EXPECT_EQ(info.VersionText(r.parts, r.separator), r.text) << r.parts;
}

TEST_F(AppTest, AFreshConfigurationStartsWithDefaults) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(app->pars().MaxFiles, 0);
    EXPECT_EQ(app->pars().RenAllMode, 0);
    EXPECT_EQ(app->pars().ShowHelpTips, 0);
    EXPECT_EQ(app->helpTipMode(), 2);
    EXPECT_EQ(app->appInfo().GetRegistryKey(), "Orvane");
    EXPECT_EQ(app->versionInfo().companyName, "Orvane");
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(frame().windowTitle().toStdString(), "Orvane");
    // Qt's own texts are German too, as far as a translation is installed.
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
        EXPECT_EQ(
            QKeySequence(Qt::CTRL | Qt::Key_Z).toString(QKeySequence::NativeText).toStdString(),
            "Strg+Z");
    }
}

TEST_F(AppTest, TheHelpTipModeFollowsTheStoredSetting) {
    struct Row {
        int stored;
        int mode;
    };
    for (const Row& r : {Row{0, 2}, Row{1, 3}, Row{7, 3}}) {
        ASSERT_TRUE(registeredApp().WriteRegInt(true, "Settings", "ShowHelpTips", r.stored));
        ASSERT_TRUE(start());
        EXPECT_EQ(app->helpTipMode(), r.mode) << r.stored;
        app->ExitInstance();
    }
}

TEST_F(AppTest, AMissingRightsNoticeStopsStartUpWithTheInvalidParameterText) {
    VersionResource res = VersionResource::Own();
    res.strings.erase("LegalCopyright");
    EXPECT_FALSE(start(res));
    EXPECT_EQ(app->frame(), nullptr);
    EXPECT_EQ(app->lastError(), 87u);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text,
              "Fehler beim Initialisieren der Programminstanz. " + FormatSystemError(87));
    EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONERROR);
}

// A damaged settings file gives the defaults and is never lost, also when the program writes
// its lists at exit.
TEST_F(AppTest, ADamagedSettingsFileGivesDefaultsAndIsKept) {
    const std::string damaged = "Orvane registry file, format 1\n[Settings]\n\"MaxFiles\"=dword:";
    XdgSandbox::put(sandbox.userHive(), damaged);
    ASSERT_TRUE(start());
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(app->pars().MaxFiles, 0);
    EXPECT_EQ(app->helpTipMode(), 2);
    app->ExitInstance();
    bool kept = readFile(sandbox.userHive()) == damaged;
    for (const auto& e : std::filesystem::directory_iterator(sandbox.userFolder()))
        kept = kept || readFile(e.path()) == damaged;
    EXPECT_TRUE(kept);
}

// Every instance holds a shared lock on the marker, so a tool asking for an exclusive lock
// learns that the program runs; a second instance is not hindered.
TEST_F(AppTest, TheRunningMarkerIsHeldWhileTheProgramRuns) {
    ASSERT_TRUE(start());
    const std::string marker = app->runningMarker();
    ASSERT_EQ(marker, runtime_ + "/" + app->exeName() + ".lock");
    EXPECT_EQ(
        app->exeName(),
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper().toStdString());
    auto exclusiveLockFree = [&] {
        const int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_GE(fd, 0);
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    };
    EXPECT_FALSE(exclusiveLockFree());
    {
        CROZariduApp second;
        ASSERT_TRUE(second.InitInstance(MakeMainView));
        second.ExitInstance();
    }
    EXPECT_FALSE(exclusiveLockFree());
    app->ExitInstance();
    app.reset();
    EXPECT_TRUE(exclusiveLockFree());
}

// The three lists are saved at exit and are back at the next start, each pattern with its kind.
TEST_F(AppTest, TheListsAreSavedAtExitAndBackAtTheNextStart) {
    auto view = [this] { return qobject_cast<CROZariduView*>(frame().centralWidget()); };
    ASSERT_TRUE(start());
    view()->folderBox()->AddToMRU("/daten/fotos", 0);
    view()->searchBox()->AddToMRU("^IMG_", 1);
    view()->searchBox()->AddToMRU("*.jpg", 0);
    view()->replaceBox()->AddToMRU("Bild_", 0);
    app->ExitInstance();
    ASSERT_TRUE(start());
    EXPECT_EQ(view()->folderBox()->text(0), "/daten/fotos");
    ASSERT_EQ(view()->searchBox()->count(), 2);
    EXPECT_EQ(view()->searchBox()->text(1), "^IMG_");
    EXPECT_EQ(view()->searchBox()->datum(1), 1);
    EXPECT_EQ(view()->searchBox()->datum(0), 0);
    EXPECT_EQ(view()->replaceBox()->text(0), "Bild_");
}
