// Runs, file operations and undo of the core, on real files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/FileTimes.h"
#include "tests/core/RunFixture.h"
#include "tests/platform/TimeZone.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedPresenter.h"

namespace {

class Runs : public ::testing::Test, protected ListedFolder {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    RunCounts changeAll(const ChangeTimes& times, std::uint32_t value, std::uint32_t mask) {
        RunSettings s = renaming(PATTERN_WILDCARD, "*", "");
        s.rename = false;
        s.times = times;
        s.value = value;
        s.mask = mask;
        s.mode = VIEW_DATE_ATTRIBUTES;
        return run(s);
    }
    UndoOutcome undoGroup() { return UndoHeadGroup(undo, model); }
    std::vector<std::string> warnings() const {
        std::vector<std::string> w;
        for (const ShownMessage& m : presenter.shown())
            if ((m.type & MB_ICONMASK) == MB_ICONWARNING || (m.type & MB_ICONMASK) == MB_ICONERROR) w.push_back(m.text);
        return w;
    }

    FileOperations ops{model, undo};
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

} // namespace

// Each run ends and every file is renamed at most once, to the name its occurrences give. What
// stands in a new name's way (a name twice, a file there, a name the file system refuses) is
// found before anything changes and asked about once, and Nein changes nothing; a chain goes
// from its end, a swap and a longer cycle go through a temporary name; and one undo step brings
// every name back.
TEST_F(Runs, RunsEndAndGiveTheNamesAskedFor) {
    struct Case {
        std::vector<std::string> files;
        const char* pattern;
        const char* replacement;
        std::vector<std::pair<std::string, std::string>> moves; // old name, new name
        std::string question; // how the question begins; empty: none
        std::string summary;
    };
    const Case cases[] = {
        {{"abc"}, "$", ".", {{"abc", "abc."}}, "", "1 Datei(en) umbenannt."},
        {{"abc"}, "b*", ".", {{"abc", ".a.c."}}, "", "3 Vorkommnis(se) in 1 Datei(en) umbenannt."},
        {{"aaa", "baa"}, "a", "b", {}, "2 von 2 ",
         "0 Vorkommnis(se) in 0 Datei(en) umbenannt. 5 Vorkommnis(se) in 2 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"a.txt", "a_copy.txt"}, "_copy", "\\9", {}, "1 von 1 ",
         "0 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"abc.txt", "X"}, ".*", "X", {}, "1 von 2 ",
         "1 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"file.txt"}, ".*", "..", {}, "1 von 1 ", "0 Datei(en) umbenannt. 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"abcde"}, ".", "/", {}, "1 von 1 ",
         "0 Vorkommnis(se) in 0 Datei(en) umbenannt. 5 Vorkommnis(se) in 1 Datei(en) konnte(n) nicht umbenannt werden."},
        {{"1.txt", "2.txt"}, "^[0-9]", ":(2)", {{"1.txt", "2.txt"}, {"2.txt", "3.txt"}}, "", "2 Datei(en) umbenannt."},
        {{"ab", "ba"}, "^(.)(.)$", "\\2\\1", {{"ab", "ba"}, {"ba", "ab"}}, "", "2 Datei(en) umbenannt."},
        {{"abc", "bca", "cab"}, "^(.)(.)(.)$", "\\2\\3\\1", {{"abc", "bca"}, {"bca", "cab"}, {"cab", "abc"}}, "",
         "3 Datei(en) umbenannt."},
    };
    for (int answer : {IDYES, IDNO}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.pattern) + " -> " + c.replacement + (answer == IDNO ? ", Nein" : ""));
            const bool cancelled = answer == IDNO && !c.question.empty();
            ListedFolder f;
            f.add(c.files);
            presenter.clear();
            presenter.setDefaultAnswer(answer);
            EXPECT_EQ(f.run(renaming(PATTERN_REGEXP, c.pattern, c.replacement)).cancelled, cancelled);
            std::set<std::string> expected(c.files.begin(), c.files.end());
            if (!cancelled) {
                for (const auto& [from, to] : c.moves) expected.erase(from);
                for (const auto& [from, to] : c.moves) {
                    expected.insert(to);
                    EXPECT_EQ(TempDir::read(f.dir / to), from) << to;
                }
            }
            EXPECT_EQ(f.names(), expected);
            EXPECT_TRUE(warnings().empty());
            ASSERT_FALSE(presenter.shown().empty());
            const ShownMessage& first = presenter.shown().front();
            EXPECT_EQ((first.type & MB_ICONMASK) == MB_ICONQUESTION && first.text.rfind(c.question, 0) == 0,
                      !c.question.empty())
                << first.text;
            EXPECT_EQ(presenter.shown().back().text, cancelled ? first.text : c.summary);
            EXPECT_FALSE(cancelled && f.undo.hasEntries());
            if (f.undo.hasEntries()) UndoHeadGroup(f.undo, f.model);
            EXPECT_EQ(f.names(), std::set<std::string>(c.files.begin(), c.files.end()));
            for (const std::string& n : c.files) EXPECT_EQ(TempDir::read(f.dir / n), n);
        }
    }
}

// A failure found only while renaming (here: f2.txt vanished after Finden) ends the run under
// the abort policy.
TEST_F(Runs, TheAbortPolicyEndsAtTheFirstFailureWithoutASummary) {
    add({"f1.txt", "f2.txt", "f3.txt"});
    unlink((dir / "f2.txt").c_str());
    EXPECT_TRUE(run(renaming(PATTERN_REGEXP, "f", "g", 0)).aborted);
    EXPECT_EQ(presenter.shown().size(), 1u); // the failure of f2.txt, no summary
    EXPECT_EQ(names(), (std::set<std::string>{"g1.txt", "f3.txt"}));
    EXPECT_EQ(undo.groupCount(), 1u); // g1.txt can be taken back
}

// Thousands of failing files must not mean thousands of boxes: ten are shown, the rest counted
// in one message before the summary.
TEST_F(Runs, ManyFailuresAreShownUpToALimitAndCountedAfter) {
    std::vector<std::string> many;
    for (int i = 10; i < 25; ++i) many.push_back("f" + std::to_string(i) + ".txt");
    add(many);
    for (const std::string& n : many) unlink((dir / n).c_str());
    EXPECT_EQ(run(renaming(PATTERN_WILDCARD, "*.txt", "*.md")).errFiles, 15);
    const std::vector<std::string> w = warnings();
    ASSERT_EQ(w.size(), 11u);
    EXPECT_NE(w[9].find("f19.txt"), std::string::npos);
    EXPECT_EQ(w[10].rfind("Bei 5 weiteren Datei(en)", 0), 0u) << w[10];
    EXPECT_EQ(presenter.shown().size(), 12u); // and the summary
}

// A name that cannot be worked out (the counter leaves its range at the second file) is that
// file's failure: the abort policy stops before anything changes, the other goes on without it.
TEST_F(Runs, AFileWhoseNameCannotBeWorkedOutFailsAlone) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        ListedFolder f;
        f.add({"a", "b"});
        const RunCounts c = f.run(renaming(PATTERN_REGEXP, "^", ":(2147483647)_", mode));
        EXPECT_EQ(c.aborted, mode == 0);
        EXPECT_EQ(c.okFiles, mode);
        EXPECT_EQ(c.errFiles, mode); // counted for the summary, which only the other policy gives
        EXPECT_EQ(f.names(), (std::set<std::string>{mode == 0 ? "a" : "2147483647_a", "b"}));
    }
}

TEST_F(Runs, UndoRestoresExactTimesAndPermissions) {
    ScopedTimeZone tz("Europe/Berlin");
    const std::string f = dir.file("a.txt");
    chmod(f.c_str(), 0664);
    const timespec exact{1700000000, 123456789};
    ASSERT_TRUE(setExactFileTimes(f, nullptr, &exact, &exact).ok());
    add({"a.txt"});
    const FileListRecord listed = *model.record(0);
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
    EXPECT_EQ(model.record(0)->modified, listed.modified);
    EXPECT_EQ(model.record(0)->accessed, listed.accessed); // a column no run changed stays
    EXPECT_TRUE(warnings().empty());
}

// A file is made writable before its times are written, and read-only only after.
TEST_F(Runs, ReadOnlyIsClearedFirstOrSetLast) {
    add({"ro.txt", "rw.txt"});
    chmod((dir / "ro.txt").c_str(), 0444);
    const auto readOnly = [&](const char* name) {
        std::uint32_t a = 0;
        getFileAttributes(dir / name, a);
        return (a & FILE_ATTRIBUTE_READONLY) != 0;
    };
    ChangeTimes times;
    times.given[TIME_MODIFIED] = true;
    times.local[TIME_MODIFIED] = calendarTime(2014, 4, 1, 10, 0, 0);
    EXPECT_EQ(changeAll(times, 0, FILE_ATTRIBUTE_READONLY).okFiles, 2);
    EXPECT_FALSE(readOnly("ro.txt"));
    EXPECT_EQ(changeAll(times, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY).okFiles, 2);
    EXPECT_TRUE(readOnly("rw.txt"));
    EXPECT_EQ(changeAll(times, 0, 0).okFiles, 2); // a time alone leaves read-only as it is
    EXPECT_TRUE(readOnly("rw.txt"));
    // An attribute alone is one step per file to take back, without an empty time step.
    EXPECT_EQ(changeAll(ChangeTimes{}, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY).okFiles, 2);
    EXPECT_EQ(undo.headSize(), 2u);
    EXPECT_TRUE(warnings().empty());
    while (undo.hasEntries()) undoGroup();
    EXPECT_TRUE(readOnly("ro.txt"));
    EXPECT_FALSE(readOnly("rw.txt"));
}

// On Linux a name is its bytes: trailing dots and Windows' forbidden characters are kept, and
// undo gives back exactly the old name.
TEST_F(Runs, NamesKeepTheirBytesOnLinux) {
    const struct {
        const char* file;
        const char* pattern;
        const char* replacement;
        const char* renamed;
    } cases[] = {
        {"note.", "^(note|x)", "\\1-new", "note-new."},
        {"...", "$", "x", "...x"},
        {"a:b?.txt", "txt$", "md", "a:b?.md"},
        {"q\"<>|\\*.dat", "dat$", "bin", "q\"<>|\\*.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ListedFolder f;
        f.add({c.file});
        EXPECT_EQ(f.run(renaming(PATTERN_REGEXP, c.pattern, c.replacement)).okFiles, 1);
        EXPECT_EQ(f.names(), std::set<std::string>{c.renamed});
        UndoHeadGroup(f.undo, f.model);
        EXPECT_EQ(f.names(), std::set<std::string>{c.file});
        EXPECT_EQ(f.model.record(0)->name, c.file);
    }
    EXPECT_TRUE(warnings().empty());
}

TEST_F(Runs, AnExistingTargetIsNeverReplaced) {
    add({"a.txt"});
    dir.file("b.txt", "beta");
    undo.beginGroup(0);
    EXPECT_FALSE(ops.RenameItem(0, "b.txt", false));
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find("'" + (dir / "a.txt") + "'"), std::string::npos);
    EXPECT_NE(presenter.shown()[0].text.find("existiert bereits"), std::string::npos);
    EXPECT_EQ(presenter.shown()[0].type, unsigned(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(TempDir::read(dir / "a.txt"), "a.txt");
    EXPECT_EQ(TempDir::read(dir / "b.txt"), "beta");
    EXPECT_EQ(undo.headSize(), 0u);
    EXPECT_FALSE(ops.RenameItem(7, "c.txt", false)) << "no such row";
}

TEST_F(Runs, NamesAreCheckedAlsoInPreview) {
    add({"a.txt"});
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
    EXPECT_EQ(names(), std::set<std::string>{"a.txt"});
    EXPECT_EQ(model.record(0)->name, "a.txt");
}

// What a preview showed goes before a real run starts, so the real run renames the files the
// rows stand for.
TEST_F(Runs, PreviewTouchesNoFileAndARealRunStartsFromTheDisk) {
    add({"a.txt", "c.txt"});
    RunSettings preview = renaming(PATTERN_REGEXP, "^a", "b");
    preview.preview = true;
    EXPECT_EQ(run(preview).okFiles, 1);
    EXPECT_EQ(rowNames(model), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(run(renaming(PATTERN_REGEXP, "txt", "bak")).okFiles, 2);
    EXPECT_EQ(rowNames(model), (std::vector<std::string>{"a.bak", "c.bak"}));
    EXPECT_EQ(TempDir::read(dir / "a.bak"), "a.txt");
    undoGroup();
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "c.txt"}));
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
    EXPECT_TRUE(has("ro/a.txt"));
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
            std::string result;
            auto runWith = [&](const char* search, const char* replacement) {
                CVNRun run(m, log, o);
                run.prepare(renaming(PATTERN_REGEXP, search, replacement));
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
