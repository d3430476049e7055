#include <gtest/gtest.h>

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

#include "res/LoadString.h"
#include "core/runs/FindCommand.h"
#include "core/scan/FolderScan.h"
#include "tests/support/ChildProcess.h"
#include "tests/core/RunFixture.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"

namespace {

struct Scan {
    FileListModel list;
    CVNFileNameMatcher matcher;
    MessagePump pump{0};
    bool stop = false;
    bool quit = false;
    std::vector<std::uint32_t> ignored;
    std::vector<std::string> statusTexts;
    ScanContext ctx{list, matcher, pump, 0, stop, quit, ignored,
                    [this](const std::string& s) { statusTexts.push_back(s); }};

    // Paths relative to root, in list order.
    std::vector<std::string> run(const std::string& root, const std::string& pattern, bool subfolders,
                                 bool regex = false) {
        if (regex) {
            EXPECT_TRUE(matcher.compile(pattern, false));
        }
        ScanFolder(ctx, root, pattern, subfolders, regex);
        list.flushPending();
        std::vector<std::string> found;
        for (int i = 0; i < list.itemCount(); ++i)
            found.push_back(list.record(i)->folderText().substr(root.size()) + "/" + list.record(i)->name);
        return found;
    }
};

void makeTree(const TempDir& dir) {
    for (const char* d : {"sub", "sub/.hid", "sub/deeper", "empty"}) mkdir((dir / d).c_str(), 0755);
    for (const char* f : {"a.txt", "B.TXT", "c.doc", "page.html", "page.htm", ".hidden.txt", "Seite 10.txt",
                          "Seite 2.txt", "sub/d.txt", "sub/.hid/e.txt", "sub/deeper/f.txt", "sub/g.doc"})
        dir.file(f, "x");
    symlink("sub", (dir / "link-to-sub").c_str());
    symlink("a.txt", (dir / "link-to-a.txt").c_str());
    symlink("loop2.txt", (dir / "loop1.txt").c_str());
    symlink("loop1.txt", (dir / "loop2.txt").c_str());
    mkfifo((dir / "pipe.txt").c_str(), 0644);
}

} // namespace

class FolderScan : public ::testing::Test {
protected:
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

// Each folder's files in natural name order (case aside, numbers by value), then its subfolders
// in the same order: ext4's own hash order would number files at random in a counter run.
TEST_F(FolderScan, WildcardsMatchByTheProgramsOwnRulesInNameOrder) {
    TempDir dir;
    makeTree(dir);
    const std::vector<std::string> txt{"/.hidden.txt", "/a.txt", "/B.TXT", "/link-to-a.txt", "/loop1.txt",
                                       "/loop2.txt", "/Seite 2.txt", "/Seite 10.txt", "/sub/d.txt",
                                       "/sub/.hid/e.txt", "/sub/deeper/f.txt"};
    Scan s;
    EXPECT_EQ(s.run(dir.path(), "*.txt", true), txt);
    // Names alone (the command line's rename) must list the very same files: no pipe, no folder.
    Scan names;
    names.ctx.namesOnly = true;
    EXPECT_EQ(names.run(dir.path(), "*.txt", true), txt);
    EXPECT_TRUE(presenter.shown().empty());
    Scan htm;
    EXPECT_EQ(htm.run(dir.path(), "*.htm", false), (std::vector<std::string>{"/page.htm"}));
    Scan none;
    EXPECT_TRUE(none.run(dir.path(), "*.xyz", true).empty());
    EXPECT_TRUE(presenter.shown().empty()); // no matching file is no error
}

// A large folder's order keys are made on two threads: every file must still get its own.
TEST_F(FolderScan, ALargeFolderComesInNameOrderToo) {
    TempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 9000; ++i) names.push_back("/f" + std::to_string(i) + ".txt");
    for (const std::string& name : names) dir.file(name.substr(1));
    Scan s;
    EXPECT_EQ(s.run(dir.path(), "*.txt", false), names);
}

TEST_F(FolderScan, RegularExpressionsMatchWhatTheScanFinds) {
    TempDir dir;
    makeTree(dir);
    Scan s;
    EXPECT_EQ(s.run(dir.path(), "^[a-f]\\.(txt|doc)$", true, true),
              (std::vector<std::string>{"/a.txt", "/B.TXT", "/c.doc", "/sub/d.txt", "/sub/.hid/e.txt",
                                        "/sub/deeper/f.txt"}));
    EXPECT_EQ(s.statusTexts.front(), dir.path());
}

TEST_F(FolderScan, MaxFilesStopsTheScanOnce) {
    const struct {
        int files, maxFiles;
        bool stops; // 0 is no limit
    } cases[] = {{5, 3, true}, {3, 3, true}, {4, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        TempDir dir;
        for (int i = 0; i < c.files; ++i) dir.file("f" + std::to_string(i) + ".txt");
        presenter.clear();
        Scan s;
        s.ctx.maxFiles = c.maxFiles;
        EXPECT_EQ(s.run(dir.path(), "*.txt", true).size(), c.stops ? 3u : 4u);
        EXPECT_EQ(s.stop, c.stops);
        ASSERT_EQ(presenter.shown().size(), c.stops ? 1u : 0u);
        for (const ShownMessage& m : presenter.shown()) EXPECT_EQ(m.text, LoadString(133));
    }
}

TEST_F(FolderScan, DeepTreesAreScannedToTheBottom) {
    TempDir dir;
    std::string folder = dir.path();
    for (int depth = 0; depth < 150; ++depth) {
        folder += "/d";
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    dir.file(folder.substr(dir.path().size() + 1) + "/bottom.txt");
    Scan s;
    auto found = s.run(dir.path(), "*.txt", true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size(), 150 * 2 + std::string("/bottom.txt").size());
}

TEST_F(FolderScan, ClosingTheWindowEndsTheScanAtOnce) {
    TempDir dir;
    makeTree(dir);
    Scan s;
    MessagePump::requestQuit(true);
    auto found = s.run(dir.path(), "*", true);
    MessagePump::requestQuit(false);
    EXPECT_TRUE(s.quit);
    EXPECT_TRUE(s.stop);
    EXPECT_TRUE(found.empty());
}

// Unreadable folders: message 145 once per error code when the user says Ja; Abbrechen stops.
TEST_F(FolderScan, UnreadableFoldersAskOncePerErrorCode) {
    TempDir dir;
    for (const char* d : {"one", "two", "three"}) {
        mkdir((dir / d).c_str(), 0755);
        dir.file(std::string(d) + "/x.txt");
        chmod((dir / d).c_str(), 0);
    }
    dir.file("ok.txt");
    chmod(dir.path().c_str(), 0755);
    EXPECT_CHILD_OK([&]() -> std::string {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return "SKIP: cannot drop root";
        ScriptedPresenter answers(IDNO);
        ScopedMessagePresenter use(answers);
        answers.answer({IDYES});
        Scan s;
        auto found = s.run(dir.path(), "*.txt", true);
        if (found != std::vector<std::string>{"/ok.txt"}) return "listed " + std::to_string(found.size());
        if (answers.shown().size() != 1) return "shown " + std::to_string(answers.shown().size());
        const auto& m = answers.shown()[0];
        if (m.text.find("Zugriff verweigert") == std::string::npos) return "text: " + m.text;
        if (m.type != (MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2)) return "type";
        if (s.ignored != std::vector<std::uint32_t>{ERROR_ACCESS_DENIED}) return "not ignored";
        answers.clear();
        answers.answer({IDCANCEL});
        Scan cancelled;
        cancelled.run(dir.path(), "*.txt", true);
        if (!cancelled.stop || answers.shown().size() != 1) return "Abbrechen did not stop";
        return "";
    });
}

TEST(NormalizeFolder, TrimsExpandsAndRefusesRelativePaths) {
    const std::string home = QDir::homePath().toStdString();
    struct Row {
        std::string in;
        bool ok;
        std::string out;
    };
    const Row rows[] = {
        {"/", true, "/"},
        {"//", true, "/"},
        {"/tmp/", true, "/tmp"},
        {"/tmp//", true, "/tmp"},
        {"/a/b", true, "/a/b"},
        {"~", true, home},
        {"~/x/", true, home + "/x"},
        {"rel/dir", false, ""},
        {"", false, ""},
        {"~user", false, ""},
    };
    for (const Row& r : rows) {
        std::string f = r.in;
        EXPECT_EQ(NormalizeFolder(f), r.ok) << r.in;
        if (r.ok) {
            EXPECT_EQ(f, r.out) << r.in;
        }
    }
}
