// Runs, file operations and undo of the core, on real files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <functional>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "platform/DirectoryReader.h"
#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/FileTimes.h"
#include "tests/core/RunFixture.h"
#include "tests/platform/TimeZone.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"

namespace {

std::set<std::string> listing(const std::string& folder) {
    std::set<std::string> names;
    DirectoryReader r;
    FindData fd;
    if (r.open(folder))
        while (r.next(fd)) names.insert(fd.name);
    return names;
}

// The rows a folder gives, in the order given, with what the disk says of them.
void listFiles(FileListModel& model, const std::string& folder, const std::vector<std::string>& names) {
    auto shared = std::make_shared<const std::string>(folder);
    for (const std::string& n : names) {
        DirectoryReader r;
        ASSERT_TRUE(r.open(folder));
        FindData fd;
        bool found = false;
        while (!found && r.next(fd)) found = fd.name == n;
        ASSERT_TRUE(found) << n;
        model.addFile(shared, fd);
    }
    model.flushPending();
}

class Runs : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void list(const std::vector<std::string>& names) { listFiles(model, dir.path(), names); }

    RunCounts renameAll(int kind, const std::string& pattern, const std::string& replacement, bool preview = false) {
        RunSettings s;
        s.kind = kind;
        s.search = pattern;
        s.replacement = replacement;
        s.preview = preview;
        s.renAllMode = renAllMode;
        CVNRun run(model, undo, observer);
        EXPECT_TRUE(run.prepare(s));
        return run.runAll(0, -1);
    }
    RunCounts changeAll(const ChangeTimes& times, std::uint32_t value, std::uint32_t mask) {
        RunSettings s;
        s.rename = false;
        s.kind = PATTERN_WILDCARD;
        s.search = "*";
        s.times = times;
        s.value = value;
        s.mask = mask;
        s.mode = VIEW_DATE_ATTRIBUTES;
        CVNRun run(model, undo, observer);
        EXPECT_TRUE(run.prepare(s));
        return run.runAll(0, -1);
    }
    UndoOutcome undoGroup() { return UndoHeadGroup(undo, model); }
    bool exists(const std::string& name) const {
        struct stat st {};
        return lstat((dir / name).c_str(), &st) == 0;
    }
    std::vector<std::string> warnings() const {
        std::vector<std::string> w;
        for (const ShownMessage& m : presenter.shown())
            if ((m.type & MB_ICONMASK) == MB_ICONWARNING || (m.type & MB_ICONMASK) == MB_ICONERROR) w.push_back(m.text);
        return w;
    }

    TempDir dir;
    FileListModel model;
    UndoLog undo;
    FileOperations ops{model, undo};
    FollowingObserver observer;
    int renAllMode = 1;
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

} // namespace

// Each run ends and every file is renamed at most once, to the name its occurrences give. What
// stands in a new name's way (a name twice, a file there, a name the file system refuses) is
// found before anything changes and asked about once; a chain goes from its end, a swap and a
// longer cycle go through a temporary name; and one undo step brings every name back.
TEST_F(Runs, RunsEndAndGiveTheNamesAskedFor) {
    struct Case {
        std::vector<std::string> files;
        const char* pattern;
        const char* replacement;
        std::vector<std::pair<std::string, std::string>> moves; // old name, new name
        bool asked;
        std::string summary;
    };
    const Case cases[] = {
        {{"abc"}, "$", ".", {{"abc", "abc."}}, false, "1 Datei(en) umbenannt."},
        {{"abc"}, "b*", ".", {{"abc", ".a.c."}}, false, "3 Vorkommnis(se) in 1 Datei(en) umbenannt."},
        {{"aaa", "baa"}, "a", "b", {}, true,
         "0 Vorkommnis(se) in 0 Datei(en) umbenannt. 5 Vorkommnis(se) in 2 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"a.txt", "a_copy.txt"}, "_copy", "\\9", {}, true,
         "0 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"abc.txt", "X"}, ".*", "X", {}, true, "1 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"file.txt"}, ".*", "..", {}, true, "0 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"abcde"}, ".", "/", {}, true,
         "0 Vorkommnis(se) in 0 Datei(en) umbenannt. 5 Vorkommnis(se) in 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"1.txt", "2.txt"}, "^[0-9]", ":(2)", {{"1.txt", "2.txt"}, {"2.txt", "3.txt"}}, false,
         "2 Datei(en) umbenannt."},
        {{"ab", "ba"}, "^(.)(.)$", "\\2\\1", {{"ab", "ba"}, {"ba", "ab"}}, false, "2 Datei(en) umbenannt."},
        {{"abc", "bca", "cab"}, "^(.)(.)(.)$", "\\2\\3\\1", {{"abc", "bca"}, {"bca", "cab"}, {"cab", "abc"}}, false,
         "3 Datei(en) umbenannt."},
    };
    presenter.setDefaultAnswer(IDYES);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " -> " + c.replacement);
        TempDir d;
        for (const std::string& f : c.files) d.file(f, f); // each file holds its own name
        FileListModel m;
        UndoLog log;
        listFiles(m, d.path(), c.files);
        presenter.clear();
        RunSettings s;
        s.kind = PATTERN_REGEXP;
        s.search = c.pattern;
        s.replacement = c.replacement;
        CVNRun run(m, log, observer);
        ASSERT_TRUE(run.prepare(s));
        run.runAll(0, -1);
        std::set<std::string> expected(c.files.begin(), c.files.end());
        for (const auto& [from, to] : c.moves) expected.erase(from);
        for (const auto& [from, to] : c.moves) expected.insert(to);
        EXPECT_EQ(listing(d.path()), expected);
        for (const auto& [from, to] : c.moves) EXPECT_EQ(TempDir::read(d / to), from) << to;
        EXPECT_TRUE(warnings().empty());
        const bool asked = std::any_of(presenter.shown().begin(), presenter.shown().end(),
                                       [](const ShownMessage& m) { return (m.type & MB_ICONMASK) == MB_ICONQUESTION; });
        EXPECT_EQ(asked, c.asked);
        ASSERT_FALSE(presenter.shown().empty());
        EXPECT_EQ(presenter.shown().back().text, c.summary);
        if (log.hasEntries()) UndoHeadGroup(log, m);
        EXPECT_EQ(listing(d.path()), std::set<std::string>(c.files.begin(), c.files.end()));
        for (const std::string& f : c.files) EXPECT_EQ(TempDir::read(d / f), f);
    }
}

// Nein to the question changes nothing at all.
TEST_F(Runs, NoToTheConflictQuestionChangesNothing) {
    for (const char* n : {"f1.txt", "f2.txt", "g2.txt"}) dir.file(n);
    list({"f1.txt", "f2.txt"});
    presenter.setDefaultAnswer(IDNO);
    const RunCounts c = renameAll(PATTERN_REGEXP, "f", "g");
    EXPECT_TRUE(c.cancelled);
    EXPECT_EQ(listing(dir.path()), (std::set<std::string>{"f1.txt", "f2.txt", "g2.txt"}));
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text.rfind("1 von 2 Datei(en)", 0), 0u) << presenter.shown()[0].text;
    EXPECT_FALSE(undo.hasEntries());
}

// A failure found only while renaming (here: f2.txt vanished after Finden) ends the run under
// the abort policy.
TEST_F(Runs, TheAbortPolicyEndsAtTheFirstFailureWithoutASummary) {
    for (const char* n : {"f1.txt", "f2.txt", "f3.txt"}) dir.file(n);
    list({"f1.txt", "f2.txt", "f3.txt"});
    unlink((dir / "f2.txt").c_str());
    renAllMode = 0;
    const RunCounts c = renameAll(PATTERN_REGEXP, "f", "g");
    EXPECT_TRUE(c.aborted);
    EXPECT_EQ(presenter.shown().size(), 1u); // the failure of f2.txt, no summary
    EXPECT_TRUE(exists("g1.txt"));
    EXPECT_TRUE(exists("f3.txt"));
    EXPECT_EQ(undo.groupCount(), 1u); // g1.txt can be taken back
}

// A name that cannot be worked out (the counter leaves its range at the second file) is that
// file's failure: the abort policy stops before anything changes, the other goes on without it.
TEST_F(Runs, AFileWhoseNameCannotBeWorkedOutFailsAlone) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        TempDir d;
        for (const char* n : {"a", "b"}) d.file(n);
        FileListModel m;
        UndoLog log;
        listFiles(m, d.path(), {"a", "b"});
        presenter.clear();
        RunSettings s;
        s.kind = PATTERN_REGEXP;
        s.search = "^";
        s.replacement = ":(2147483647)_";
        s.renAllMode = mode;
        CVNRun run(m, log, observer);
        ASSERT_TRUE(run.prepare(s));
        const RunCounts c = run.runAll(0, -1);
        EXPECT_EQ(c.aborted, mode == 0);
        EXPECT_EQ(c.okFiles, mode);
        EXPECT_EQ(c.errFiles, mode); // counted for the summary, which only the other policy gives
        const std::set<std::string> after{mode == 0 ? "a" : "2147483647_a", "b"};
        EXPECT_EQ(listing(d.path()), after);
    }
}

// Undo takes back exactly what the program did, and only to the file it did it to.
TEST_F(Runs, UndoTouchesOnlyTheFileTheRunChanged) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> meanwhile;
        const char* reason; // empty: the undo succeeds
        std::set<std::string> after;
    };
    const Case cases[] = {
        {"nothing", [](const TempDir&) {}, "", {"a.txt"}},
        {"replaced by another file",
         [](const TempDir& d) {
             unlink((d / "b.txt").c_str());
             d.file("b.txt", "other");
         },
         "eine andere Datei", {"b.txt"}},
        {"a folder took the name",
         [](const TempDir& d) {
             rename((d / "b.txt").c_str(), (d / "moved").c_str());
             mkdir((d / "b.txt").c_str(), 0755);
         },
         "eine andere Datei", {"b.txt", "moved"}},
        {"renamed elsewhere", [](const TempDir& d) { rename((d / "b.txt").c_str(), (d / "c.txt").c_str()); },
         "nicht gefunden", {"c.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        d.file("a.txt", "mine");
        FileListModel m;
        UndoLog log;
        listFiles(m, d.path(), {"a.txt"});
        log.beginGroup(0);
        FileOperations(m, log).RenameItem(0, "b.txt", false);
        c.meanwhile(d);
        presenter.clear();
        const UndoOutcome out = UndoHeadGroup(log, m);
        EXPECT_EQ(listing(d.path()), c.after);
        if (*c.reason) {
            EXPECT_EQ(out.failed, 1);
            ASSERT_EQ(presenter.shown().size(), 1u);
            EXPECT_EQ(presenter.shown()[0].text.rfind("Bei der Datei '" + (d / "b.txt") + "'", 0), 0u);
            EXPECT_NE(presenter.shown()[0].text.find(c.reason), std::string::npos) << presenter.shown()[0].text;
        } else {
            EXPECT_EQ(TempDir::read(d / "a.txt"), "mine");
            EXPECT_TRUE(presenter.shown().empty());
        }
    }
}

TEST_F(Runs, UndoRestoresExactTimesAndPermissions) {
    ScopedTimeZone tz("Europe/Berlin");
    const std::string f = dir.file("a.txt");
    chmod(f.c_str(), 0664);
    const timespec exact{1700000000, 123456789};
    ASSERT_TRUE(setExactFileTimes(f, nullptr, &exact, &exact).ok());
    list({"a.txt"});
    ChangeTimes t;
    t.given[TIME_MODIFIED] = true;
    // 02:30 on the day summer time begins does not exist; 02:30 on the day it ends exists twice.
    for (FILETIME local : {calendarTime(2024, 3, 31, 2, 30, 0), calendarTime(2024, 10, 27, 2, 30, 0),
                           calendarTime(2024, 7, 1, 12, 0, 0)}) {
        t.local[TIME_MODIFIED] = local;
        changeAll(t, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
        FileTimes now;
        ASSERT_TRUE(readFileTimes(f, now).ok());
        FILETIME expected;
        ASSERT_TRUE(LocalFileTimeToFileTime(local, expected));
        EXPECT_EQ(now.lastWrite, expected);
        EXPECT_EQ(model.record(0)->modified, expected);
    }
    EXPECT_EQ(CellText(*model.record(0), COL_MODIFIED), "01.07.2024 12:00:00");
    EXPECT_EQ(CellText(*model.record(0), COL_ATTRIBUTES), "_R__");
    while (undo.hasEntries()) undoGroup();
    ExactFileTimes back;
    ASSERT_TRUE(readExactFileTimes(f, back).ok());
    EXPECT_EQ(back.lastWrite.tv_sec, exact.tv_sec);
    EXPECT_EQ(back.lastWrite.tv_nsec, exact.tv_nsec);
    EXPECT_EQ(back.lastAccess.tv_nsec, exact.tv_nsec); // untouched
    struct stat st {};
    stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(CellText(*model.record(0), COL_ATTRIBUTES), "____");
    EXPECT_TRUE(warnings().empty());
}

// A file is made writable before its times are written, and read-only only after.
TEST_F(Runs, ReadOnlyIsClearedFirstOrSetLast) {
    const std::string ro = dir.file("ro.txt");
    const std::string rw = dir.file("rw.txt");
    chmod(ro.c_str(), 0444);
    list({"ro.txt", "rw.txt"});
    ChangeTimes times;
    times.given[TIME_MODIFIED] = true;
    times.local[TIME_MODIFIED] = calendarTime(2014, 4, 1, 10, 0, 0);
    std::uint32_t a = 0;
    EXPECT_EQ(changeAll(times, 0, FILE_ATTRIBUTE_READONLY).okFiles, 2);
    getFileAttributes(ro, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(changeAll(times, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY).okFiles, 2);
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(changeAll(times, 0, 0).okFiles, 2); // a time alone leaves read-only as it is
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(warnings().empty());
    while (undo.hasEntries()) undoGroup();
    getFileAttributes(ro, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    getFileAttributes(rw, a);
    EXPECT_EQ(a & FILE_ATTRIBUTE_READONLY, 0u);
}

// On Linux a name is its bytes: trailing dots and Windows' forbidden characters are kept, and
// undo gives back exactly the old name.
TEST_F(Runs, NamesKeepTheirBytesOnLinux) {
    struct Case {
        const char* file;
        const char* pattern;
        const char* replacement;
        const char* renamed;
    };
    const Case cases[] = {
        {"note.", "^(note|x)", "\\1-new", "note-new."},
        {"x..", "^(note|x)", "\\1-new", "x-new.."},
        {"...", "$", "x", "...x"},
        {"a:b?.txt", "txt$", "md", "a:b?.md"},
        {"q\"<>|\\*.dat", "dat$", "bin", "q\"<>|\\*.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir d;
        d.file(c.file);
        FileListModel m;
        UndoLog log;
        listFiles(m, d.path(), {c.file});
        RunSettings s;
        s.kind = PATTERN_REGEXP;
        s.search = c.pattern;
        s.replacement = c.replacement;
        CVNRun run(m, log, observer);
        ASSERT_TRUE(run.prepare(s));
        EXPECT_EQ(run.runAll(0, -1).okFiles, 1);
        EXPECT_EQ(listing(d.path()), std::set<std::string>{c.renamed});
        UndoHeadGroup(log, m);
        EXPECT_EQ(listing(d.path()), std::set<std::string>{c.file});
        EXPECT_EQ(m.record(0)->name, c.file);
    }
    EXPECT_TRUE(warnings().empty());
}

TEST_F(Runs, AnExistingTargetIsNeverReplaced) {
    dir.file("a.txt", "alpha");
    dir.file("b.txt", "beta");
    list({"a.txt"});
    undo.beginGroup(0);
    EXPECT_FALSE(ops.RenameItem(0, "b.txt", false));
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text,
              "Bei der Datei '" + (dir / "a.txt") +
                  "' ist ein Fehler passiert. Die Datei konnte nicht zu 'b.txt' umbenannt werden. "
                  "Die Datei existiert bereits.\n");
    EXPECT_EQ(presenter.shown()[0].type, unsigned(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "beta");
    EXPECT_EQ(undo.headSize(), 0u);
    EXPECT_FALSE(ops.RenameItem(7, "c.txt", false)) << "no such row";
}

TEST_F(Runs, NamesAreCheckedAlsoInPreview) {
    dir.file("a.txt", "alpha");
    list({"a.txt"});
    const struct {
        std::string name;
        const char* reason;
    } bad[] = {{"", "ungültig"}, {".", "ungültig"}, {"..", "ungültig"}, {"a/b", "ungültig"},
               {std::string(256, 'n'), "zu lang"}};
    for (bool preview : {false, true}) {
        for (const auto& b : bad) {
            presenter.clear();
            EXPECT_FALSE(ops.RenameItem(0, b.name, preview));
            ASSERT_EQ(presenter.shown().size(), 1u);
            EXPECT_NE(presenter.shown()[0].text.find(b.reason), std::string::npos) << presenter.shown()[0].text;
        }
    }
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "alpha");
    EXPECT_EQ(model.record(0)->name, "a.txt");
}

// What a preview showed goes before a real run starts, so the real run renames the files the
// rows stand for.
TEST_F(Runs, PreviewTouchesNoFileAndARealRunStartsFromTheDisk) {
    dir.file("a.txt", "alpha");
    dir.file("c.txt", "gamma");
    list({"a.txt", "c.txt"});
    EXPECT_EQ(renameAll(PATTERN_REGEXP, "^a", "b", true).okFiles, 1);
    EXPECT_EQ(rowNames(model), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(listing(dir.path()), (std::set<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(renameAll(PATTERN_REGEXP, "txt", "bak").okFiles, 2);
    EXPECT_EQ(listing(dir.path()), (std::set<std::string>{"a.bak", "c.bak"}));
    EXPECT_EQ(rowNames(model), (std::vector<std::string>{"a.bak", "c.bak"}));
    EXPECT_EQ(TempDir::read(dir / "a.bak"), "alpha");
    undoGroup();
    EXPECT_EQ(listing(dir.path()), (std::set<std::string>{"a.txt", "c.txt"}));
    EXPECT_FALSE(undo.hasEntries()); // the preview's group went when the real run began
}

// A time box whose text is no time stops the change; tri-state boxes give the attribute mask.
TEST_F(Runs, FormInputs) {
    ChangeFormState form;
    form.times[TIME_ACCESSED].change = true;
    form.times[TIME_ACCESSED].timeValid = false;
    ChangeTimes times;
    int row = -1;
    EXPECT_FALSE(ReadChangeTimes(form, times, &row));
    EXPECT_EQ(row, TIME_ACCESSED);
    std::uint32_t value = 9, mask = 9;
    form.readOnly = {true, false};
    form.hidden = {true, true};
    form.system = {false, true};
    GetAttributeChange(form, value, mask);
    EXPECT_EQ(mask, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(value, FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(Runs, FolderWithoutWritePermission) {
    mkdir((dir / "ro").c_str(), 0755);
    dir.file("ro/a.txt", "alpha");
    chmod(dir.path().c_str(), 0755);
    EXPECT_CHILD_OK([&]() -> std::string {
        chmod((dir / "ro").c_str(), 0555);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return "SKIP: cannot drop root";
        ScriptedPresenter p;
        ScopedMessagePresenter use(p);
        FileListModel m;
        UndoLog log;
        addRows(m, dir / "ro", {"a.txt"});
        if (FileOperations(m, log).RenameItem(0, "b.txt", false)) return "renamed";
        if (p.shown().size() != 1 || p.shown()[0].text.find("Zugriff verweigert") == std::string::npos)
            return "message: " + (p.shown().empty() ? std::string() : p.shown()[0].text);
        return m.record(0)->name == "a.txt" ? "" : "row changed";
    });
    EXPECT_TRUE(exists("ro/a.txt"));
}

// On a FAT file system (fusefat where the kernel has no vfat) Windows' rules apply: its
// characters are refused, trailing dots go, and the summary says so.
TEST_F(Runs, WindowsRulesOnlyOnWindowsFileSystems) {
    const std::string image = dir / "fat.img";
    const std::string mnt = dir / "mnt";
    mkdir(mnt.c_str(), 0755);
    EXPECT_CHILD_OK(
        [&]() -> std::string {
            if (std::string skip = mountFatImage(image, mnt, true); !skip.empty()) return skip;
            ScriptedPresenter p(IDYES);
            ScopedMessagePresenter use(p);
            { std::ofstream(mnt + "/a.txt") << "a"; }
            { std::ofstream(mnt + "/b.txt") << "b"; }
            FileListModel m;
            UndoLog log;
            FollowingObserver o;
            listFiles(m, mnt, {"a.txt", "b.txt"});
            RunSettings s;
            s.kind = PATTERN_REGEXP;
            s.search = "^a\\.txt$|^b\\.txt$";
            s.replacement = "&";
            std::string result;
            auto runWith = [&](const char* search, const char* replacement) {
                s.search = search;
                s.replacement = replacement;
                CVNRun run(m, log, o);
                run.prepare(s);
                p.clear();
                return run.runAll(0, -1);
            };
            RunCounts c = runWith("^a\\.txt$", "a?.txt");
            if (c.errFiles != 1 || listing(mnt).count("a.txt") != 1) result = "a forbidden character was accepted";
            c = runWith("^a\\.txt$", "c. ");
            if (result.empty() && (c.okFiles != 1 || c.shortened != 1 || listing(mnt).count("c") != 1))
                result = "trailing dot and space not dropped";
            if (result.empty() && p.shown().back().text.find("Punkte oder Leerzeichen") == std::string::npos)
                result = "the summary does not say so: " + p.shown().back().text;
            c = runWith("^b", "B");
            if (result.empty() && (c.okFiles != 1 || listing(mnt).count("B.txt") != 1)) result = "case-only rename failed";
            umount2(mnt.c_str(), MNT_DETACH);
            return result;
        },
        true);
}
