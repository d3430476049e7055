// Start-up: parameters, help-tip mode, damaged settings, the running marker.
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/errors.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "tests/app/AppFixture.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/TempDir.h"

TEST_F(AppTest, AFreshConfigurationStartsWithDefaults) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(app->pars().MaxFiles, 0);
    EXPECT_EQ(app->pars().RenAllMode, 0);
    EXPECT_EQ(app->helpTipMode(), 2);
    EXPECT_TRUE(frame().isVisible());
    // Qt's own texts are German too, as far as a translation is installed.
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
        EXPECT_EQ(
            QKeySequence(Qt::CTRL | Qt::Key_Z).toString(QKeySequence::NativeText).toStdString(),
            "Strg+Z");
    }
}

TEST_F(AppTest, TheHelpTipModeFollowsTheStoredSetting) {
    for (int stored : {0, 1, 7}) {
        ASSERT_TRUE(registeredApp().WriteRegInt(true, "Settings", "ShowHelpTips", stored));
        ASSERT_TRUE(start());
        EXPECT_EQ(app->helpTipMode(), stored ? 3 : 2) << stored;
        app->ExitInstance();
    }
}

// Version information without the company or the rights notice stops start-up.
TEST_F(AppTest, IncompleteVersionInformationStopsStartUpWithTheInvalidParameterText) {
    for (const char* missing : {"CompanyName", "LegalCopyright"}) {
        SCOPED_TRACE(missing);
        presenter.clear();
        VersionResource res = VersionResource::Own();
        res.strings.erase(missing);
        EXPECT_FALSE(start(res));
        EXPECT_EQ(app->frame(), nullptr);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text,
                  "Fehler beim Initialisieren der Programminstanz. " + FormatSystemError(87));
        EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONERROR);
    }
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
    bool kept = TempDir::read(sandbox.userHive()) == damaged;
    for (const auto& e : std::filesystem::directory_iterator(sandbox.userFolder()))
        kept = kept || TempDir::read(e.path()) == damaged;
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
