// Start-up: parameters, help-tip mode, damaged settings, the running marker.
#include <QFile>
#include <QLibraryInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "tests/app/AppFixture.h"

// Fresh or damaged, the settings give the defaults; any non-zero help-tip setting switches the
// tips on. A damaged file is said, and never lost, also when the program writes its lists at exit.
TEST_F(AppTest, StartsWithTheStoredSettingsOrTheDefaults) {
    const std::string damaged = "Orvane registry file, format 1\n[Settings]\n\"MaxFiles\"=dword:";
    const struct {
        std::string file; // empty: none
        int maxFiles, tipMode;
    } rows[] = {{"", 0, 2},
                {"Orvane registry file, format 1\n[Settings]\n\"MaxFiles\"=dword:00000009\n"
                 "\"ShowHelpTips\"=dword:00000007\nEnd of Orvane registry file\n", 9, 3},
                {damaged, 0, 2}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        std::filesystem::remove(sandbox.userHive());
        if (!r.file.empty()) XdgSandbox::put(sandbox.userHive(), r.file);
        ASSERT_TRUE(start());
        const bool isDamaged = r.file == damaged;
        ASSERT_EQ(presenter.shown().size(), isDamaged ? 1u : 0u);
        if (isDamaged) {
            EXPECT_NE(presenter.shown()[0].text.find(sandbox.userHive()), std::string::npos);
        }
        presenter.clear();
        EXPECT_EQ(app->pars().MaxFiles, r.maxFiles);
        EXPECT_EQ(app->helpTipMode(), r.tipMode);
        EXPECT_TRUE(frame().isVisible());
        app->ExitInstance();
    }
    bool kept = TempDir::read(sandbox.userHive()) == damaged;
    for (const auto& e : std::filesystem::directory_iterator(sandbox.userFolder()))
        kept = kept || TempDir::read(e.path()) == damaged;
    EXPECT_TRUE(kept);
    // Qt's own texts are German too, as far as a translation is installed.
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
        EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Z).toString(QKeySequence::NativeText).toStdString(), "Strg+Z");
    }
}

// Every instance holds a shared lock on the marker, so a tool asking for an exclusive lock
// learns that the program runs (two instances side by side: InstancesTest).
TEST_F(AppTest, TheRunningMarkerIsHeldWhileTheProgramRuns) {
    ASSERT_TRUE(start());
    const std::string marker = app->runningMarker();
    ASSERT_EQ(marker, runtime_ + "/" + app->exeName() + ".lock");
    auto exclusiveLockFree = [&] {
        const int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_GE(fd, 0);
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    };
    EXPECT_FALSE(exclusiveLockFree());
    app->ExitInstance();
    app.reset();
    EXPECT_TRUE(exclusiveLockFree());
}

// The three lists are saved at exit and are back at the next start, each pattern with its kind.
TEST_F(AppTest, TheListsAreSavedAtExitAndBackAtTheNextStart) {
    ASSERT_TRUE(start());
    form().folderBox()->AddToMRU("/daten/fotos", 0);
    form().searchBox()->AddToMRU("^IMG_", 1);
    form().searchBox()->AddToMRU("*.jpg", 0);
    form().replaceBox()->AddToMRU("Bild_", 0);
    app->ExitInstance();
    ASSERT_TRUE(start());
    EXPECT_EQ(form().folderBox()->text(0), "/daten/fotos");
    ASSERT_EQ(form().searchBox()->count(), 2);
    EXPECT_EQ(form().searchBox()->datum(1), 1); // ^IMG_, an expression
    EXPECT_EQ(form().replaceBox()->text(0), "Bild_");
}
