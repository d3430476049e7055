#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <set>
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

std::set<std::string> asSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

void makeTree(const TempDir& dir) {
    for (const char* d : {"sub", "sub/.hid", "sub/deeper", "empty"}) mkdir((dir / d).c_str(), 0755);
    for (const char* f : {"a.txt", "b.TXT", "c.doc", "page.html", "page.htm", ".hidden.txt", "sub/d.txt",
                          "sub/.hid/e.txt", "sub/deeper/f.txt", "sub/g.doc"})
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

// Each folder's files in natural name order, then its subfolders in the same order: ext4's own
// hash order would number files at random in a counter run.
TEST_F(FolderScan, WildcardsMatchByTheProgramsOwnRulesInNameOrder) {
    TempDir dir;
    makeTree(dir);
    Scan s;
    EXPECT_EQ(s.run(dir.path(), "*.txt", true),
              (std::vector<std::string>{"/.hidden.txt", "/a.txt", "/b.TXT", "/link-to-a.txt", "/loop1.txt",
                                        "/loop2.txt", "/sub/d.txt", "/sub/.hid/e.txt", "/sub/deeper/f.txt"}));
    EXPECT_TRUE(presenter.shown().empty());
    Scan htm;
    EXPECT_EQ(htm.run(dir.path(), "*.htm", false), (std::vector<std::string>{"/page.htm"}));
    Scan none;
    EXPECT_TRUE(none.run(dir.path(), "*.xyz", true).empty());
    EXPECT_TRUE(presenter.shown().empty()); // no matching file is no error
}

TEST_F(FolderScan, RegularExpressionsAndFolderOrder) {
    TempDir dir;
    makeTree(dir);
    Scan s;
    auto found = s.run(dir.path(), "^[a-f]\\.(txt|doc)$", true, true);
    EXPECT_EQ(asSet(found), (std::set<std::string>{"/a.txt", "/b.TXT", "/c.doc", "/sub/d.txt",
                                                   "/sub/.hid/e.txt", "/sub/deeper/f.txt"}));
    // A folder's files come before its subfolders, and each subfolder is done before the next.
    auto pos = [&](const std::string& p) { return std::find(found.begin(), found.end(), p) - found.begin(); };
    EXPECT_LT(pos("/c.doc"), pos("/sub/d.txt"));
    EXPECT_LT(pos("/sub/d.txt"), pos("/sub/deeper/f.txt"));
    EXPECT_EQ(s.statusTexts.front(), dir.path());
    EXPECT_EQ(std::count(s.statusTexts.begin(), s.statusTexts.end(), dir / "link-to-sub"), 0);
}

TEST_F(FolderScan, MaxFilesStopsTheScanOnce) {
    for (int matching : {5, 3}) {
        SCOPED_TRACE(matching);
        TempDir dir;
        for (int i = 0; i < matching; ++i) dir.file("f" + std::to_string(i) + ".txt");
        presenter.clear();
        Scan s;
        s.ctx.maxFiles = 3;
        EXPECT_EQ(s.run(dir.path(), "*.txt", true).size(), 3u);
        EXPECT_TRUE(s.stop);
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].text, LoadString(133));
    }
    TempDir dir;
    for (int i = 0; i < 4; ++i) dir.file("f" + std::to_string(i) + ".txt");
    Scan unlimited;
    EXPECT_EQ(unlimited.run(dir.path(), "*.txt", true).size(), 4u); // 0 = no limit
    EXPECT_FALSE(unlimited.stop);
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

TEST_F(FolderScan, CountersNumberFilesInNameOrder) {
    TempDir dir;
    for (const char* f : {"Seite 10.txt", "c.txt", "Seite 2.txt", "B.txt", "a.txt"}) dir.file(f);
    Scan s;
    const std::vector<std::string> found = s.run(dir.path(), "*.txt", false);
    EXPECT_EQ(found, (std::vector<std::string>{"/a.txt", "/B.txt", "/c.txt", "/Seite 2.txt", "/Seite 10.txt"}));
    std::vector<std::string> names;
    for (const std::string& f : found) names.push_back(f.substr(1));
    EXPECT_EQ(previewRenameAll(names, PATTERN_REGEXP, "^(.*)\\.txt$", "Datei_:(001).txt"),
              (std::vector<std::string>{"Datei_001.txt", "Datei_002.txt", "Datei_003.txt", "Datei_004.txt",
                                        "Datei_005.txt"}));
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
