// Rename, change and undo on real files.
#include <gtest/gtest.h>

#include <QLocale>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirectoryReader.h"
#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/FileTimes.h"
#include "res/LoadString.h"
#include "core/runs/RunSteps.h"
#include "tests/platform/TimeZone.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/QtApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Lists the named files of the temporary folder, in this order.
    void list(std::initializer_list<std::string> names) {
        auto folder = std::make_shared<const std::string>(dir.path());
        for (const auto& n : names) {
            DirectoryReader r;
            ASSERT_TRUE(r.open(dir.path()));
            FindData fd;
            while (r.next(fd))
                if (fd.name == n) files.AddFile(folder, fd);
        }
        files.flushPendingRows();
        ASSERT_EQ(files.itemCount(), static_cast<int>(names.size()));
    }

    // A run over the whole list, as Rename all does it.
    int renameAll(int kind, const std::string& pattern, const std::string& replacement) {
        CVNSearchEngine engine(files, kind);
        std::string error;
        EXPECT_TRUE(engine.Compile(pattern, error)) << error;
        files.undoLog().beginGroup(VIEW_FIND_RENAME);
        files.SelectItem(0, -2);
        int ok = 0, previous = -2;
        CVNTextPos s, e;
        for (int guard = 0; guard < 100; ++guard) {
            const int outcome = RenameStep(engine, files, replacement, s, e);
            if (outcome == 1) ++ok;
            if (outcome != -1) previous = s.line;
            engine.SetPosition(e);
            if (!engine.FindNext(s, e, error)) break;
            files.SelectItem(s.line, previous);
        }
        return ok;
    }

    bool exists(const std::string& name) const {
        struct stat st {};
        return lstat((dir / name).c_str(), &st) == 0;
    }

    QApplication& app = qtApp(); // before any widget member
    TempDir dir;
    CVNFileListCtrl files;
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

} // namespace

TEST_F(Files, OccurrencesInOneNameAreUndoneNewestFirst) {
    dir.file("banana.txt", "b");
    dir.file("cherry.txt", "c");
    list({"banana.txt", "cherry.txt"});
    EXPECT_EQ(renameAll(PATTERN_REGEXP, "a", "o"), 3);
    EXPECT_TRUE(exists("bonono.txt"));
    EXPECT_EQ(files.GetItemName(0), "bonono.txt");
    EXPECT_EQ(files.GetItemName(1), "cherry.txt");
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(files.UndoHeadGroup(), VIEW_FIND_RENAME);
    EXPECT_TRUE(exists("banana.txt"));
    EXPECT_FALSE(exists("bonono.txt"));
    EXPECT_EQ(files.GetItemName(0), "banana.txt");
    EXPECT_EQ(TempDir::read(dir / "banana.txt"), "b");
    EXPECT_FALSE(files.undoLog().hasEntries());
}

TEST_F(Files, WildcardRenamesCaseChangesAndTrailingDots) {
    dir.file("x.txt");
    dir.file("report.txt");
    list({"x.txt", "report.txt"});
    EXPECT_EQ(renameAll(PATTERN_WILDCARD, "*.txt", "*:(U).TXT"), 2);
    EXPECT_TRUE(exists("X.TXT"));
    EXPECT_TRUE(exists("REPORT.TXT"));
    EXPECT_FALSE(exists("x.txt"));
    EXPECT_EQ(renameAll(PATTERN_WILDCARD, "*.TXT", "*."), 2); // the dot goes, the name stays
    EXPECT_TRUE(exists("X"));
    EXPECT_EQ(files.GetItemName(1), "REPORT");
    files.UndoHeadGroup();
    files.UndoHeadGroup();
    EXPECT_TRUE(exists("x.txt"));
    EXPECT_TRUE(exists("report.txt"));
}

TEST_F(Files, AnExistingTargetIsNeverReplaced) {
    dir.file("a.txt", "alpha");
    dir.file("b.txt", "beta");
    list({"a.txt"});
    files.undoLog().beginGroup(0);
    EXPECT_FALSE(files.RenameItem(0, "b.txt"));
    ASSERT_EQ(presenter.shown().size(), 1u);
    const std::string& text = presenter.shown()[0].text;
    EXPECT_EQ(text, "Bei der Datei '" + (dir / "a.txt") +
                        "' ist ein Fehler passiert. Die Datei konnte nicht zu 'b.txt' umbenannt werden. "
                        "Die Datei existiert bereits.\n");
    EXPECT_EQ(presenter.shown()[0].type, unsigned(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "beta");
    UndoRecord r;
    EXPECT_FALSE(files.undoLog().take(r)); // nothing to undo
}

TEST_F(Files, NamesAreCheckedAlsoInPreview) {
    dir.file("a.txt", "alpha");
    list({"a.txt"});
    const struct {
        std::string name;
        const char* reason;
    } bad[] = {{"", "ungültig"}, {".", "ungültig"}, {"a?.txt", "ungültig"}, {"x:y", "ungültig"},
               {std::string(256, 'n'), "zu lang"}};
    for (int preview : {0, 1}) {
        files.setPreviewFlag(preview);
        for (const auto& b : bad) {
            presenter.clear();
            EXPECT_FALSE(files.RenameItem(0, b.name));
            ASSERT_EQ(presenter.shown().size(), 1u);
            EXPECT_NE(presenter.shown()[0].text.find(b.reason), std::string::npos) << presenter.shown()[0].text;
        }
    }
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(files.GetItemName(0), "a.txt");
}

TEST_F(Files, PreviewTouchesNoFileAndUndoOnlyTheRow) {
    dir.file("a.txt", "alpha");
    list({"a.txt"});
    files.setPreviewFlag(1);
    EXPECT_EQ(renameAll(PATTERN_REGEXP, "a", "b"), 1);
    EXPECT_EQ(files.GetItemName(0), "b.txt");
    EXPECT_TRUE(exists("a.txt"));
    EXPECT_FALSE(exists("b.txt"));
    files.setPreviewFlag(0); // the records remember that they were previews
    files.UndoHeadGroup();
    EXPECT_EQ(files.GetItemName(0), "a.txt");
    EXPECT_TRUE(exists("a.txt"));
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(Files, VanishedFilesAndFilesRenamedOutside) {
    dir.file("one.txt");
    dir.file("two.txt");
    dir.file("gone.txt");
    list({"one.txt", "two.txt", "gone.txt"});
    unlink((dir / "gone.txt").c_str());
    EXPECT_EQ(renameAll(PATTERN_WILDCARD, "*.txt", "*.bak"), 2);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find("Die Datei wurde nicht gefunden."), std::string::npos);
    // Someone renames one.bak meanwhile: its record fails, the other is still undone.
    ASSERT_EQ(rename((dir / "one.bak").c_str(), (dir / "elsewhere").c_str()), 0);
    presenter.clear();
    files.UndoHeadGroup();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text.rfind("Bei der Datei '" + (dir / "one.bak") +
                                                  "' ist bei der Rückgängig-Funktion ein Fehler passiert.",
                                              0),
              0u);
    EXPECT_TRUE(exists("two.txt"));
    EXPECT_TRUE(exists("elsewhere"));
    EXPECT_FALSE(files.undoLog().hasEntries());
}

TEST_F(Files, TimesAreRestoredToTheLastTick) {
    ScopedTimeZone tz("Europe/Berlin");
    const std::string f = dir.file("a.txt");
    FILETIME exact;
    ASSERT_TRUE(fileTimeFromUnix(1700000000, 123456700, exact));
    ASSERT_TRUE(setFileTimes(f, nullptr, &exact, &exact).ok());
    list({"a.txt"});
    files.setViewMode(VIEW_DATE_ATTRIBUTES);
    files.undoLog().beginGroup(VIEW_DATE_ATTRIBUTES);
    // 02:30 on the day summer time begins does not exist; 02:30 on the day it ends exists twice.
    for (FILETIME local : {calendarTime(2024, 3, 31, 2, 30, 0), calendarTime(2024, 10, 27, 2, 30, 0),
                           calendarTime(2024, 7, 1, 12, 0, 0)}) {
        ASSERT_TRUE(files.SetItemTimes(0, nullptr, &local, nullptr));
        FileTimes t;
        ASSERT_TRUE(readFileTimes(f, t).ok());
        FILETIME expected;
        ASSERT_TRUE(LocalFileTimeToFileTime(local, expected));
        EXPECT_EQ(t.lastWrite, expected);
        EXPECT_EQ(files.itemRecord(0)->modified, expected);
    }
    EXPECT_EQ(CellText(*files.itemRecord(0), COL_MODIFIED), "01.07.2024 12:00:00");
    files.UndoHeadGroup();
    FileTimes t;
    ASSERT_TRUE(readFileTimes(f, t).ok());
    EXPECT_EQ(t.lastWrite, exact); // sub-second precision included
    EXPECT_EQ(files.itemRecord(0)->modified, exact);
}

TEST_F(Files, ReadOnlyIsClearedFirstOrSetLast) {
    const std::string ro = dir.file("ro.txt");
    const std::string rw = dir.file("rw.txt");
    chmod(ro.c_str(), 0444);
    list({"ro.txt", "rw.txt"});
    files.setViewMode(VIEW_DATE_ATTRIBUTES);
    CVNSearchEngine engine(files, PATTERN_WILDCARD);
    std::string error;
    ASSERT_TRUE(engine.Compile("*", error));
    ChangeTimes times;
    times.given[TIME_MODIFIED] = true;
    times.local[TIME_MODIFIED] = calendarTime(2014, 4, 1, 10, 0, 0);
    files.undoLog().beginGroup(VIEW_DATE_ATTRIBUTES);
    CVNTextPos s, e;
    // Remove read-only and change the time of a read-only file.
    files.SelectItem(0, -2);
    EXPECT_EQ(ChangeStep(engine, files, s, e, times, 0, FILE_ATTRIBUTE_READONLY), 1);
    std::uint32_t a = 0;
    getFileAttributes(ro, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, 0u);
    // Set read-only and change the time of a writable file: the time is written first.
    files.SelectItem(1, 0);
    EXPECT_EQ(ChangeStep(engine, files, s, e, times, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY), 1);
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CellText(*files.itemRecord(1), COL_ATTRIBUTES), "_R__");
    EXPECT_EQ(CellText(*files.itemRecord(0), COL_MODIFIED), CellText(*files.itemRecord(1), COL_MODIFIED));
    // A time change alone on a read-only file leaves it read-only.
    EXPECT_EQ(ChangeStep(engine, files, s, e, times, 0, 0), 1);
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(presenter.shown().empty());
    files.UndoHeadGroup();
    getFileAttributes(ro, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(CellText(*files.itemRecord(1), COL_ATTRIBUTES), "____");
}

TEST_F(Files, FormInputs) {
    ChangeFormState form;
    form.times[TIME_CREATED].change = true;
    form.times[TIME_CREATED].year = 2024, form.times[TIME_CREATED].month = 2, form.times[TIME_CREATED].day = 30;
    ChangeTimes times;
    int row = -1;
    EXPECT_FALSE(ReadChangeTimes(form, times, &row));
    EXPECT_EQ(row, TIME_CREATED);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Ungültige Datum/Uhrzeit-Angabe für 'Erstellt am'.");
    form.times[TIME_CREATED].day = 29;
    form.times[TIME_ACCESSED].change = true;
    form.times[TIME_ACCESSED].timeValid = false;
    EXPECT_FALSE(ReadChangeTimes(form, times, &row));
    EXPECT_EQ(row, TIME_ACCESSED);
    form.times[TIME_ACCESSED].change = false;
    ASSERT_TRUE(ReadChangeTimes(form, times, &row));
    EXPECT_TRUE(times.given[TIME_CREATED]);
    EXPECT_FALSE(times.given[TIME_MODIFIED]);
    EXPECT_EQ(times.local[TIME_CREATED], calendarTime(2024, 2, 29, 0, 0, 0));

    std::uint32_t value = 9, mask = 9;
    form.readOnly = {true, false};
    form.hidden = {true, true};
    form.system = {false, true};
    GetAttributeChange(form, value, mask);
    EXPECT_EQ(mask, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(value, FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(Files, FolderWithoutWritePermission) {
    mkdir((dir / "ro").c_str(), 0755);
    dir.file("ro/a.txt", "alpha");
    chmod(dir.path().c_str(), 0755);
    auto folder = std::make_shared<const std::string>(dir / "ro");
    EXPECT_CHILD_OK([&]() -> std::string {
        chmod((dir / "ro").c_str(), 0555);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return "SKIP: cannot drop root";
        ScriptedPresenter p;
        ScopedMessagePresenter use(p);
        CVNFileListCtrl l;
        FindData fd;
        fd.name = "a.txt";
        l.AddFile(folder, fd);
        l.flushPendingRows();
        if (l.RenameItem(0, "b.txt")) return "renamed";
        if (p.shown().size() != 1 || p.shown()[0].text.find("Zugriff verweigert") == std::string::npos)
            return "message: " + (p.shown().empty() ? std::string() : p.shown()[0].text);
        return l.GetItemName(0) == "a.txt" ? "" : "row changed";
    });
    EXPECT_TRUE(exists("ro/a.txt"));
}
