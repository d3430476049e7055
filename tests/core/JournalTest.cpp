// The undo journal: runs taken back after the program ended, after a crash, and never at the
// cost of another file.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/journal/Journal.h"
#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "tests/core/RunFixture.h"
#include "tests/platform/TimeZone.h"
#include "tests/support/ScriptedPresenter.h"

namespace {

// Alle Umbenennen of *.txt to *.bak over every file of folder, with the journal.
RunCounts renameAll(const std::string& folder, Journal& journal, RunObserver& observer) {
    FileListModel model;
    UndoLog undo;
    listFiles(model, folder);
    RunSettings s = renaming(PATTERN_WILDCARD, "*.txt", "*.bak");
    s.folder = folder;
    s.source = "cli";
    CVNRun run(model, undo, observer, &journal);
    EXPECT_TRUE(run.prepare(s));
    return run.runAll(0, -1);
}

std::set<std::string> numbered(int n, const char* ending) {
    std::set<std::string> names;
    for (int i = 0; i < n; ++i) names.insert("f" + std::to_string(i) + ending);
    return names;
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) files.file("f" + std::to_string(i) + ".txt", std::to_string(i));
    }
    TempDir files;
    TempDir state;
    FollowingObserver observer;
    HookPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

} // namespace

// A run taken back from a journal read afresh, as a later start of the program reads it. The
// run is started without standard input, as a service starts the command line: the journal's
// file may then be descriptor 0.
TEST_F(JournalTest, ARunIsTakenBackAfterTheProgramEnded) {
    const int input = dup(0);
    close(0);
    {
        Journal journal(state.path());
        EXPECT_EQ(renameAll(files.path(), journal, observer).okFiles, 5);
    }
    dup2(input, 0);
    close(input);
    EXPECT_EQ(listing(files.path()), numbered(5, ".bak"));
    Journal later(state.path());
    std::vector<JournalRun> runs = later.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].header.folder, files.path());
    EXPECT_EQ(runs[0].header.search, "*.txt");
    EXPECT_EQ(runs[0].changed(), 5);
    EXPECT_FALSE(runs[0].interrupted);
    // The list of a new Finden follows, its selection from row to row.
    struct Rows : UndoObserver {
        void undoingRow(int row, int) override { rows.push_back(row); }
        std::vector<int> rows;
    } seen;
    FileListModel shown;
    listFiles(shown, files.path());
    const UndoOutcome out = UndoJournalRun(later, runs[0].id, &shown, &seen);
    EXPECT_EQ(out.restored, 5);
    EXPECT_EQ(listing(files.path()), numbered(5, ".txt"));
    EXPECT_EQ(rowNames(shown), (std::vector<std::string>{"f0.txt", "f1.txt", "f2.txt", "f3.txt", "f4.txt"}));
    EXPECT_EQ(seen.rows, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(TempDir::read(files / "f3.txt"), "3");
    runs = later.runs();
    EXPECT_EQ(runs[0].undone(), 5);
    EXPECT_EQ(UndoJournalRun(later, runs[0].id).restored, 0); // nothing twice
    EXPECT_TRUE(presenter.shown().size() == 1u); // the run's summary only
}

// A run killed half way: the next start knows which files were renamed and takes them back.
TEST_F(JournalTest, ARunKilledHalfWayIsTakenBackCompletely) {
    for (int i = 5; i < 40; ++i) files.file("f" + std::to_string(i) + ".txt");
    const pid_t pid = fork();
    if (pid == 0) {
        struct Killer : RunObserver {
            void rowSelected(int, int) override {}
            void progress(int done, int) override {
                if (done >= 17) raise(SIGKILL);
            }
        } killer;
        Journal journal(state.path());
        renameAll(files.path(), journal, killer);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::set<std::string> after = listing(files.path());
    const auto renamed = std::count_if(after.begin(), after.end(), [](const std::string& n) { return n.ends_with(".bak"); });
    ASSERT_GE(renamed, 17);
    ASSERT_LT(renamed, 40);

    Journal later(state.path());
    const std::vector<JournalRun> runs = later.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].interrupted);
    EXPECT_EQ(runs[0].changed(), renamed);
    EXPECT_EQ(UndoJournalRun(later, runs[0].id).restored, renamed);
    EXPECT_EQ(listing(files.path()), numbered(40, ".txt"));
}

// A file that took a renamed file's name since is never touched; the others come back.
TEST_F(JournalTest, AReplacedFileIsSkippedAndNothingIsOverwritten) {
    Journal journal(state.path());
    renameAll(files.path(), journal, observer);
    unlink((files / "f1.bak").c_str());
    files.file("f1.bak", "someone else's");
    files.file("f2.txt", "new f2");
    presenter.clear();
    const UndoOutcome out = UndoJournalRun(journal, journal.runs()[0].id);
    EXPECT_EQ(out.restored, 3);
    EXPECT_EQ(out.failed, 2); // f1 replaced, f2's old name taken
    EXPECT_EQ(TempDir::read(files / "f1.bak"), "someone else's");
    EXPECT_EQ(TempDir::read(files / "f2.txt"), "new f2");
    EXPECT_EQ(TempDir::read(files / "f2.bak"), "2");
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_NE(presenter.shown()[0].text.find(files / "f2.bak"), std::string::npos);
    EXPECT_NE(presenter.shown()[1].text.find(files / "f1.bak"), std::string::npos);
    EXPECT_NE(presenter.shown()[1].text.find("eine andere Datei"), std::string::npos) << presenter.shown()[1].text;
}

// A run whose files all went elsewhere since: the window names the first files one message each
// and counts the rest in one, rather than a box per file to close; the command line names all.
// A slow first box takes the undo past its repaint pacing, which has no observer to repaint here.
TEST_F(JournalTest, ManyFilesThatCannotGoBackAreNamedUpToALimitAndCountedAfter) {
    for (int i = 5; i < 15; ++i) files.file("f" + std::to_string(i) + ".txt");
    Journal journal(state.path());
    renameAll(files.path(), journal, observer);
    for (const std::string& n : numbered(15, ".bak")) std::filesystem::rename(files / n, files / ("x" + n));
    for (const int shown : {kFailuresShown, INT_MAX}) {
        presenter.clear();
        presenter.onShow = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
        EXPECT_EQ(UndoJournalRun(journal, journal.runs()[0].id, nullptr, nullptr, shown).failed, 15);
        const std::vector<ShownMessage>& m = presenter.shown();
        ASSERT_EQ(m.size(), shown == INT_MAX ? 15u : std::size_t(kFailuresShown) + 1);
        EXPECT_NE(m[kFailuresShown - 1].text.find(".bak'"), std::string::npos);
        EXPECT_EQ(m.back().text.rfind("Weitere 5 Datei(en) konnten nicht", 0) == 0, shown != INT_MAX) << m.back().text;
    }
    EXPECT_EQ(listing(files.path()).count("xf14.bak"), 1u);
}

// A damaged run file is kept aside and never stops the program; a line cut off at a crash is
// simply not there.
TEST_F(JournalTest, ADamagedJournalIsKeptAsideAndNeverStopsTheProgram) {
    Journal journal(state.path());
    renameAll(files.path(), journal, observer);
    const std::string good = state / (journal.runs()[0].id + ".journal");
    { std::ofstream(good, std::ios::app) << "done\t3\t"; } // a line cut off
    { std::ofstream(state / "20000101-000000-1-1.journal") << "Orvane journal, format 1\nrun\tgarbage\n"; }
    { std::ofstream(state / "20000101-000000-1-2.journal") << "not a journal\n"; }
    { std::ofstream(state / "20000101-000000-1-3.journal") << "Orvane journal, format 1\nrun\tbad\\qescape\n"; }
    // A good start, then a line of no known kind, or a mark for an operation never written.
    const std::string start = "Orvane journal, format 1\nrun\t2000-01-01 00:00:00\tcli\t0\t0\t/x\ta\tb\n";
    { std::ofstream(state / "20000101-000000-1-4.journal") << start << "bogus\t1\n"; }
    { std::ofstream(state / "20000101-000000-1-5.journal") << start << "done\t7\n"; }
    presenter.clear();
    const std::vector<JournalRun> runs = journal.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].changed(), 5);
    std::size_t keptAside = 0;
    for (const auto& e : std::filesystem::directory_iterator(state.path()))
        keptAside += e.path().filename().string().find(".journal.damaged-") != std::string::npos;
    EXPECT_EQ(keptAside, 5u);
    // Said once, with their number; a single one by where it went.
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text.rfind("5 Aufzeichnungen", 0), 0u) << presenter.shown()[0].text;
    { std::ofstream(state / "20000101-000000-1-6.journal") << "not a journal\n"; }
    presenter.clear();
    journal.runs();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find(state / "20000101-000000-1-6.journal.damaged-"), std::string::npos);
    // A folder the journal cannot be written to: the run goes on without it.
    TempDir more;
    more.file("a.txt");
    Journal nowhere("/proc/orvane-no-journal");
    EXPECT_EQ(renameAll(more.path(), nowhere, observer).okFiles, 1);
    EXPECT_EQ(listing(more.path()), std::set<std::string>{"a.bak"});
}

// The journal tells of files, not operations: a file that stepped aside so that a cycle of
// renames could go round, or whose time and attributes both changed, is one file.
TEST_F(JournalTest, EachFileOfARunCountsOnce) {
    Journal journal(state.path());
    ListedFolder folder;
    folder.add({"1.txt", "2.txt", "3.txt"});
    EXPECT_EQ(folder.run(renaming(PATTERN_WILDCARD, "*.txt", ":(3;-1).txt"), &journal).okFiles, 3);
    ASSERT_EQ(folder.names(), (std::set<std::string>{"1.txt", "2.txt", "3.txt"}));
    EXPECT_EQ(TempDir::read(folder.dir / "1.txt"), "3.txt");
    RunSettings change = renaming(PATTERN_WILDCARD, "*", "");
    change.rename = false;
    change.times.given[TIME_MODIFIED] = true;
    change.times.local[TIME_MODIFIED] = calendarTime(2014, 4, 1, 10, 0, 0);
    change.value = change.mask = FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(folder.run(change, &journal).okFiles, 3);

    std::vector<JournalRun> runs = journal.runs();
    ASSERT_EQ(runs.size(), 2u);
    const JournalRun &changed = runs[0], &renamed = runs[1];
    EXPECT_EQ(renamed.ops.size(), 3u);
    EXPECT_EQ(renamed.files(), 2);
    EXPECT_EQ(changed.ops.size(), 6u);
    EXPECT_EQ(changed.files(), 3);
    EXPECT_EQ(UndoJournalRun(journal, renamed.id).restored, 3);
    runs = journal.runs();
    EXPECT_EQ(runs[1].files(), 2);
    EXPECT_EQ(runs[1].filesUndone(), 2);
    EXPECT_EQ(runs[1].filesChanged(), 0);
    EXPECT_EQ(runs[0].filesChanged(), 3);
}

TEST_F(JournalTest, OnlyTheNewestRunsAreKept) {
    Journal journal(state.path());
    UndoRecord one;
    one.folder = std::make_shared<const std::string>(files.path());
    one.name = one.oldName = "f0.txt";
    for (std::size_t i = 0; i < Journal::kMaxRuns + 3; ++i) {
        journal.begin({"cli", 0, 1, files.path(), "x", "y"});
        journal.intent(one);
        journal.end();
    }
    EXPECT_EQ(journal.runs().size(), Journal::kMaxRuns);
    // A run that was never about to change anything (nothing matched) is not kept at all.
    journal.begin({"cli", 0, 1, files.path(), "x", "y"});
    const std::string empty = state / (journal.runId() + ".journal");
    journal.end();
    EXPECT_EQ(journal.runs().size(), Journal::kMaxRuns);
    EXPECT_FALSE(std::filesystem::exists(empty));
    // A run larger than all runs may take together drops the older ones, never itself: it
    // must still be there to be taken back.
    journal.begin({"cli", 0, 1, files.path(), "x", "y"});
    const std::string id = journal.runId();
    UndoRecord big;
    big.folder = std::make_shared<const std::string>(std::string(3000, 'f'));
    big.name = big.oldName = std::string(250, 'n');
    std::uint64_t seq = 1;
    while (seq != 0 && seq * 3500 < Journal::kMaxBytes) seq = journal.intent(big);
    ASSERT_NE(seq, 0u);
    journal.end();
    const std::vector<JournalRun> runs = journal.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].path.find(id), std::string::npos);
}

// Names with control characters and bytes that are no UTF-8 come back exactly; a number that is
// no number, or a run id that names another folder, is never taken at its word.
TEST_F(JournalTest, OddNamesComeBackAndBadLinesAreRefused) {
    TempDir odd;
    const std::string names[] = {"tab\there.txt", "stray\x89\x19.txt", "back\\slash\n.txt"};
    std::set<std::string> before;
    for (const std::string& n : names) before.insert(odd.file(n).substr(odd.path().size() + 1));
    Journal journal(state.path());
    EXPECT_EQ(renameAll(odd.path(), journal, observer).okFiles, 3);
    Journal later(state.path());
    EXPECT_EQ(UndoJournalRun(later, later.runs()[0].id).restored, 3);
    EXPECT_EQ(listing(odd.path()), before);
    // A name of backslashes alone is escaped like any other, or the run would read as damaged.
    UndoRecord slashes;
    slashes.folder = std::make_shared<const std::string>(odd.path());
    slashes.name = slashes.oldName = "\\\\";
    journal.begin({"cli", 0, 1, odd.path(), "x", "y"});
    journal.intent(slashes);
    journal.end();
    ASSERT_FALSE(later.runs().empty());
    EXPECT_EQ(later.runs()[0].ops.at(0).record.name, "\\\\");

    const std::string outside = state.path() + "-x.journal";
    { std::ofstream(outside) << "keep\n"; }
    later.markUndone("../" + std::filesystem::path(outside).stem().string(), {1});
    EXPECT_EQ(TempDir::read(outside), "keep\n");
    std::filesystem::remove(outside);

    const std::string file = state / (later.runs()[0].id + ".journal");
    std::string text = TempDir::read(file);
    const std::size_t op = text.find("\nop\t");
    ASSERT_NE(op, std::string::npos);
    std::size_t field = op;
    for (int i = 0; i < 5; ++i) field = text.find('\t', field + 1);
    text.insert(field + 1, "x");
    { std::ofstream(file, std::ios::trunc) << text; }
    EXPECT_EQ(Journal(state.path()).runs().size(), 1u) << "the damaged run is kept aside";
}
